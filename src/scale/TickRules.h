#pragma once
// The tick rules of an axis: pure functions from a range and its settings to the ticks they
// visit, in drawing order. The painter draws what it is handed; the rules know no pixels.

#include <vector>

#include <QString>

#include "scale/Quarn_quarnbase.h"
#include "scale/TickLabels.h"

// What a scale's tick list holds; the rules serve at most this many steps.
constexpr int MaxTicks = 50;

struct TickStep {
    double step = 0.0;   // signed: negative on a reversed range
    double first = 0.0;  // first multiple of step not before the low end
    int sub = 1;         // sub-intervals per step
    bool ok = true;      // false: the range cannot be divided (not finite, or below the precision)
};

TickStep ChooseTickStep(int minTicks, double high, double low);

// Decimals of numeric labels; -1 is the exponent form.
int AutoDecimals(int decPlaces, double high, double low);
int AutoLogDecimals(int decPlaces, double high, double low);

enum class TickLength { Short, Main };

// One visited tick as the painter receives it.
struct ScaleTick {
    double value = 0.0;
    TickLength length = TickLength::Main;
    bool drawn = true;      // false: only reported through the tick-drawn event
    bool recorded = true;   // appended to the tick list
    bool labelled = false;  // a main tick whose label (possibly empty) is drawn
    QString label;
    bool hasDateLine = false;
    QString dateLine;
    bool eventBeforeLabel = false;
    bool calendarLabel = false;  // vertical placement by the label's own height
};

enum class [[nodiscard]] CalendarMessage;  // apart: clang-format 14 garbles it on the definition
enum class CalendarMessage { None, InvalidScale, BelowOneSecond };

struct TickSettings {
    double low = 0.0;
    double high = 100.0;
    int minTicks = 3;
    bool shortTicks = true;
    bool vertical = false;
    bool logarithmic = false;
    TFigType labelType = ftNum;
    int decPlaces = -2;
    QString inscript;
    QString userTickText;
    DateLabelFormat dateFormat;
};

// The ticks of one range: every visited tick in drawing order, the tick list (the values of the
// recorded ticks, the first MaxTicks of them) and the message of a calendar range that cannot be
// served.
struct ScaleTicks {
    std::vector<ScaleTick> ticks;
    std::vector<double> list;
    CalendarMessage message = CalendarMessage::None;

    int Count() const { return static_cast<int>(list.size()); }
};

// Runs the rule the settings select (calendar, time of day, logarithmic or linear). Every rule
// takes minTicks as 0..MaxTicks (0 asks for no steps, which leaves logarithmic scales their
// decades) and visits at most 10 000 ticks.
ScaleTicks ComputeTicks(const TickSettings& settings);
