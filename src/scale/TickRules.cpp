#include "scale/TickRules.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <optional>

#include "platform/DateTime.h"
#include "scale/Quarn_Scale.h"
#include "scale/Rounding.h"

namespace {

// Far above what any rule visits on a sound range (at most a few hundred, a few thousand for
// logarithmic ranges over hundreds of decades); it only keeps a degenerate range from hanging.
constexpr int kMaxVisits = 20000;

// One whole walk hands on at most this many ticks: far more than the tick list holds with the
// short ticks between, however many loops the rule runs.
constexpr int kMaxWalkVisits = 10000;

// Hands ticks on to the caller's sink until the walk has used up its visits, then drops them;
// the loops ask Spent() to stop early.
class VisitBudget {
public:
    explicit VisitBudget(const TickSink& sink) : sink_(sink) { }
    void operator()(const ScaleTick& tick)
    {
        if (left_ == 0)
            return;
        --left_;
        sink_(tick);
    }
    bool Spent() const { return left_ == 0; }

private:
    const TickSink& sink_;
    int left_ = kMaxWalkVisits;
};

// The rules serve at most as many steps as the tick list holds; a count below zero is taken as
// zero, which asks for no steps.
TickSettings WithBoundedTickCount(const TickSettings& settings)
{
    TickSettings s = settings;
    s.minTicks = std::clamp(s.minTicks, 0, TScale::MaxTicks);
    return s;
}

// Bounds of the logarithmic walk are widened by one part in 10^9, so that a
// tick summed or multiplied a few units of the last place past a bound still counts as on it.
constexpr double kJustBelowOne = 1.0 - 1e-9;
static_assert(kJustBelowOne == 0.999999999);

// Time-of-day ticks and ends count as equal within this fraction of a step, or within this many
// units of the last place of the ends where those are coarser.
constexpr double kTimeStepSlack = 1e-9;
constexpr double kTimeLastPlaces = 4;

// Number labels are cut to 14 characters: "0." and the twelve decimals a scale allows.
constexpr qsizetype kMaxNumberLabelLength = 14;

// A tick nearer to zero than this fraction of the range's width is labelled as zero.
constexpr double kZeroFraction = 1e-14;
// Up to this width zero is labelled with the label's decimals; beyond, as "0" or "0.0".
constexpr double kWidestDecimalZero = 100000;

// A tick within this fraction of a step beyond either end of a numeric range is still on it.
constexpr double kStepSlack = 0.001;

// The logarithm of a step is taken as whole when its fraction lies this close to 0 or 1.
constexpr double kLogFractionSlack = 1e-10;

// Numeric labels switch to the exponent form for ranges at least this wide or at most this narrow.
constexpr double kExponentFromWidth = 1000000;
constexpr double kExponentUpToWidth = 0.0001;

// Calendar units in days. Horizontal scales choose their rule by the rounded values, which lie
// a little off the exact ones that vertical scales use; a range per tick between the two picks
// a different rule, so they are kept apart.
constexpr double kHundredthOfSecond = 1.0 / (100.0 * SecsPerDay);
constexpr double kSecond = 1.0 / SecsPerDay;
constexpr double kMinute = 1.0 / MinsPerDay;
constexpr double kSecondRounded = 1.1574e-5;
constexpr double kMinuteRounded = 6.9444e-4;
constexpr double kHourRounded = 0.041667;
constexpr double kDaysPerYear = 365.25;              // Julian average, leap days included
constexpr double kDaysPerMonth = kDaysPerYear / 12;  // 30.4375
constexpr int kDaysPerWeek = 7;
constexpr int kMonthsPerYear = 12;
// Above this many days per tick a rule of whole months takes over from days, then years.
constexpr double kLongestDayStep = 30;
constexpr double kLongestMonthStep = 366;

long long FloorMod(long long a, long long b)
{
    const long long r = a % b;
    return r < 0 ? r + b : r;
}

struct CalendarDate {
    int year = 1, month = 1, day = 1;
};

CalendarDate DateOf(double value)
{
    CalendarDate d;
    // the calendar walk runs only over ranges from the first calendar day on, where every day decodes
    static_cast<void>(DecodeDate(std::floor(value), d.year, d.month, d.day));
    return d;
}

double DayOf(int year, int month, int day)
{
    return EncodeDate(year, month, day);
}

// User texts replace a numeric label; otherwise the inscript goes around it.
QString UserOrInscribedLabel(const TickSettings& s, const QString& label, int n)
{
    if (s.labelType == ftUserText)
        return UserTickItem(s.userTickText, n);
    return ApplyInscript(label, s.inscript);
}

QString NumericLabel(const TickSettings& s, double v, int decimals, int n)
{
    QString label;
    const double width = s.high - s.low;
    if (std::fabs(v / width) < kZeroFraction) {
        if (std::fabs(width) <= kWidestDecimalZero)
            label = FormatTickNumber(0.0, decimals);
        else
            label = decimals == 0 ? QStringLiteral("0") : QStringLiteral("0.0");
    } else {
        label = FormatTickNumber(v, decimals);
    }
    label.truncate(kMaxNumberLabelLength);
    return UserOrInscribedLabel(s, label, n);
}

void StripTrailingZeros(QString& label)
{
    if (!label.contains(QLatin1Char('.')) || label.contains(QLatin1Char('e')) || label.contains(QLatin1Char('E')))
        return;
    while (label.endsWith(QLatin1Char('0')))
        label.chop(1);
    if (label.endsWith(QLatin1Char('.')))
        label.chop(1);
}

// The label of a labelled logarithmic tick `multiplier` × 10^decade, before user texts and
// inscripts: the decade's exponent alone (-3, and then only at a decade's start) or the number.
QString LogNumberLabel(const TickSettings& s, double v, int multiplier, int decade, int decimals)
{
    if (s.decPlaces == -3)
        return multiplier == 1 ? QString::number(decade) : QString();
    QString label = FormatTickNumber(v, decimals);
    label.truncate(kMaxNumberLabelLength);
    if (s.decPlaces == -2)
        StripTrailingZeros(label);
    return label;
}

struct TimeStepRow {
    double step;
    int sub;
};

// Seconds per main step and the short ticks in it; the last row, a whole day, is no time-of-day step.
constexpr TimeStepRow kTimeSteps[] = {{0.001, 5}, {0.002, 4}, {0.005, 5}, {0.01, 5}, {0.02, 4}, {0.05, 5}, {0.1, 5},
    {0.2, 4}, {0.5, 5}, {1, 5}, {2, 4}, {5, 5}, {10, 5}, {20, 4}, {30, 6}, {60, 6}, {120, 6}, {180, 6}, {300, 5},
    {600, 5}, {1200, 6}, {1800, 6}, {3600, 6}, {7200, 4}, {14400, 4}, {21600, 6}, {43200, 6}, {SecsPerDay, 6}};

struct SubDayRow {
    double unitsPerDay;
    int mainSteps[6];
    int minorSteps[6];
};

const SubDayRow& SubDayRowOf(SubDayMode mode)
{
    static const SubDayRow hours{HoursPerDay, {1, 2, 3, 6, 8, 12}, {1, 1, 1, 2, 2, 3}};
    static const SubDayRow minutes{MinsPerDay, {1, 2, 5, 10, 20, 30}, {1, 1, 1, 2, 5, 10}};
    static const SubDayRow seconds{SecsPerDay, {1, 2, 5, 10, 20, 30}, {1, 1, 1, 2, 5, 10}};
    static const SubDayRow hundredths{100.0 * SecsPerDay, {1, 2, 5, 10, 20, 50}, {1, 1, 1, 5, 10, 10}};
    switch (mode) {
    case SubDayMode::Hours: return hours;
    case SubDayMode::Minutes: return minutes;
    case SubDayMode::Seconds: return seconds;
    case SubDayMode::Hundredths: return hundredths;
    }
    return hours;
}

ScaleTick CalendarTick(double v, bool isMain)
{
    ScaleTick t;
    t.value = v;
    t.length = isMain ? TickLength::Main : TickLength::Short;
    t.labelled = isMain;
    t.calendarLabel = true;
    return t;
}

// Labels are made from the value rounded to the millisecond, so a tick summed a hair below
// midnight still reads 00:00 of the new day.
double ShownCalendarValue(double v)
{
    constexpr double kMsPerDay = static_cast<double>(MSecsPerDay);
    return std::round(v * kMsPerDay) / kMsPerDay;
}

// The first main tick at or after `low`, a whole multiple of `mainUnits` counted from the
// low end's own midnight (also for negative days).
double SubDayFirstTick(double low, double units, double mainUnits, double slack)
{
    const double f = low - std::floor(low);
    const double e = std::ceil(units * f - slack);
    const double rem = std::fmod(e, mainUnits);
    const double pad = (e == 0 || rem == 0) ? 0.0 : mainUnits - rem;
    return std::floor(low) + std::ceil(pad + units * f - slack) / units;
}

// Which labelled sub-day ticks get the extra date line.
class DateLineRule {
public:
    explicit DateLineRule(TDateForTime mode) : mode_(mode) { }
    bool Wants(int dayOfMonth)
    {
        bool wanted = false;
        switch (mode_) {
        case dtNone: break;
        case dtOnePerChart: wanted = !anyLabel_; break;
        case dtOnePerDay: wanted = !anyDateLine_ || dayOfMonth != lastDay_; break;
        case dtAllTicks: wanted = true; break;
        }
        anyLabel_ = true;
        if (wanted) {
            anyDateLine_ = true;
            lastDay_ = dayOfMonth;
        }
        return wanted;
    }

private:
    TDateForTime mode_;
    bool anyLabel_ = false;
    bool anyDateLine_ = false;
    int lastDay_ = 0;
};

void WalkSubDay(const TickSettings& s, SubDayMode mode, VisitBudget& sink)
{
    const SubDayRow& row = SubDayRowOf(mode);
    const double units = row.unitsPerDay;
    const double per = (s.high - s.low) / s.minTicks;
    int column = 0;
    for (int i = 5; i >= 0; --i) {
        if (units * per >= row.mainSteps[i]) {
            column = i;
            break;
        }
    }
    // A low end on a whole unit (10:07) is rarely exact in binary; without a little slack the
    // ceiling moves its tick one unit on, half of the time.
    constexpr double kSlack = 1e-3;  // units
    const double first = SubDayFirstTick(s.low, units, row.mainSteps[column], kSlack);
    const double lowLimit = s.low - kSlack / units;
    const double mainStep = row.mainSteps[column] / units;
    const double minorStep = row.minorSteps[column] / units;

    double start = first;
    if (s.shortTicks) {
        for (int back = 1; start > s.low && back < kMaxVisits; ++back)
            start = first - back * minorStep;
    }
    const double increment = s.shortTicks ? minorStep : mainStep;
    const QString timePattern = SubDayTimePattern(mode, s.dateFormat.TimeFormat, s.dateFormat.TimeSeparator);
    const QString datePattern = DatePattern(s.dateFormat);
    DateLineRule dateLines(s.dateFormat.DateForTime);
    for (int j = 0; j < kMaxVisits && !sink.Spent(); ++j) {
        const double v = start + j * increment;
        if (!(v - s.high < CalendarSlack))
            break;
        if (v < lowLimit)
            continue;
        const double q = v / mainStep;
        const bool isMain = !s.shortTicks || std::fabs(q - RoundHalfEven(q)) <= 0.1;
        ScaleTick t = CalendarTick(v, isMain);
        if (isMain) {
            const double shown = ShownCalendarValue(v);
            t.label = FormatDateTimeValue(timePattern, shown);
            t.hasDateLine = dateLines.Wants(DateOf(std::fabs(shown) < CalendarSlack ? 0.0 : shown).day);
            if (t.hasDateLine)
                t.dateLine = FormatDateTimeValue(datePattern, shown);
        }
        sink(t);
    }
}

// The largest of the ascending steps not above `per`, at least the first.
template <std::size_t N> int LargestStepNotAbove(const int (&steps)[N], double per)
{
    int step = steps[0];
    for (int candidate : steps)
        if (candidate <= per)
            step = candidate;
    return step;
}

void WalkDays(const TickSettings& s, VisitBudget& sink)
{
    static constexpr int kSteps[] = {1, 2, 3, 7, 14, 28};
    const int step = LargestStepNotAbove(kSteps, (s.high - s.low) / s.minTicks);
    const double janFirst = DayOf(DateOf(s.low).year, 1, 1);
    const double first = janFirst + step * std::floor(std::trunc(s.low - janFirst) / step);
    // a floored remainder keeps the phase of main ticks across day 0 (30 December 1899)
    const long long phase = FloorMod(static_cast<long long>(RoundHalfEven(first)), step);
    const int minor = step <= kDaysPerWeek ? 1 : kDaysPerWeek;
    const int increment = s.shortTicks ? minor : step;
    const QString pattern = DatePattern(s.dateFormat);
    for (int j = 0; j < kMaxVisits && !sink.Spent(); ++j) {
        const double v = first + static_cast<double>(j) * increment;
        if (!(v - s.high < CalendarSlack))
            break;
        if (v < s.low)
            continue;
        const bool isShort = s.shortTicks && FloorMod(static_cast<long long>(RoundHalfEven(v)), step) != phase;
        ScaleTick t = CalendarTick(v, !isShort);
        if (!isShort)
            t.label = FormatDateTimeValue(pattern, v);
        sink(t);
    }
}

void WalkMonths(const TickSettings& s, VisitBudget& sink)
{
    static constexpr int kSteps[] = {1, 2, 3, 4, 6};
    const int step = LargestStepNotAbove(kSteps, (s.high - s.low) / kDaysPerMonth / s.minTicks);
    CalendarDate d = DateOf(s.low);
    int year = d.year;
    int month = d.month;
    auto advance = [&](int months) {
        month += months;
        while (month > kMonthsPerYear) {
            month -= kMonthsPerYear;
            ++year;
        }
    };
    // Without short ticks the walk starts on a step month; a low end on the first of a step
    // month is that start itself, as it is with short ticks.
    const bool startsOnStepMonth = month % step == 1 && DayOf(year, month, 1) >= s.low;
    if (step > 1 && !s.shortTicks && !startsOnStepMonth) {
        do
            advance(1);
        while (month % step != 1);
    }
    const QString pattern = MonthPattern(s.dateFormat);
    for (int j = 0; j < kMaxVisits && !sink.Spent() && year <= MaxDateTimeYear; ++j) {
        const double v = DayOf(year, month, 1);
        if (!(v - s.high < CalendarSlack))
            break;
        if (v >= s.low) {
            const bool isShort = s.shortTicks && step > 1 && month % step != 1;
            ScaleTick t = CalendarTick(v, !isShort);
            if (!isShort)
                t.label = FormatDateTimeValue(pattern, v);
            sink(t);
        }
        advance(s.shortTicks ? 1 : step);
    }
}

void WalkYears(const TickSettings& s, VisitBudget& sink)
{
    const double a = std::max(1.0, (s.high - s.low) / kDaysPerYear / s.minTicks);
    const double l = std::log10(a);
    const double mantissa = std::pow(10.0, l - std::trunc(l));
    const int g = mantissa < 2 ? 1 : (mantissa < 5 ? 2 : 5);
    const int h = static_cast<int>(RoundHalfEven(std::trunc(std::pow(10.0, std::trunc(l))) * g));
    int p = h;
    if (s.shortTicks && h > 1)
        p = static_cast<int>(RoundHalfEven(g == 5 ? h / 5.0 : h / 2.0));
    if (p < 1)
        p = 1;
    const int lowYear = DateOf(s.low).year;
    int year = (lowYear + p - 1) / p * p;
    if (year == lowYear && s.low > DayOf(lowYear, 1, 1))
        year += p;
    for (int j = 0; j < kMaxVisits && !sink.Spent(); ++j) {
        const bool last = year > MaxDateTimeYear;
        if (last)
            year = MaxDateTimeYear;
        const double v = last ? MaxDateTimeDay : DayOf(year, 1, 1);
        if (!(v - s.high < CalendarSlack))
            break;
        const bool isShort = s.shortTicks && year % h != 0;
        ScaleTick t = CalendarTick(v, !isShort);
        if (!isShort)
            t.label = YearLabel(year, s.dateFormat.YearLength);
        sink(t);
        if (last || v >= MaxDateTimeDay)
            break;
        year += p;
    }
}

}  // namespace

namespace {

struct StepMantissa {
    double value;
    int sub;
};

// e is the fractional part of the logarithm of the raw step, in 0..1.
StepMantissa MantissaOf(double e)
{
    if (e < std::log10(2.0) + kLogFractionSlack)
        return {1, 5};
    if (e < std::log10(5.0) + kLogFractionSlack)
        return {2, 4};
    return {5, 5};
}

// The first multiple of step not before `low` by more than a thousandth of a step; none when
// the step cannot move values this large or the walk leaves the finite numbers.
std::optional<double> FirstMultipleFrom(double low, double step)
{
    const double dir = step > 0 ? 1.0 : -1.0;
    double first = (std::trunc(low / step) - 1.0) * step;
    for (int guard = 0; dir * (low - first) > kStepSlack * std::fabs(step); ++guard) {
        const double next = first + step;
        if (next == first || guard >= kMaxVisits || !std::isfinite(next))
            return std::nullopt;
        first = next;
    }
    if (!std::isfinite(first))
        return std::nullopt;
    return first;
}

}  // namespace

TickStep ChooseTickStep(int minTicks, double high, double low)
{
    TickStep result;
    if (high == low) {
        result.first = low;
        return result;
    }
    const double width = std::fabs(high - low);
    if (!std::isfinite(width) || minTicks < 1) {
        result.ok = false;
        return result;
    }
    double d = std::log10(width / minTicks);
    double e = d - std::trunc(d);
    if (std::fabs(e) < kLogFractionSlack || std::fabs(e) > 1.0 - kLogFractionSlack) {
        d = RoundHalfEven(d);
        e = 0.0;
    }
    if (d < 0 && e != 0)
        d -= 1.0;
    if (e < 0)
        e += 1.0;
    const StepMantissa mantissa = MantissaOf(e);
    const long double power = std::exp(std::log(10.0L) *
        (static_cast<long double>(std::trunc(d)) + std::log10(static_cast<long double>(mantissa.value))));
    result.step = (low < high ? 1.0 : -1.0) * static_cast<double>(power);
    result.sub = mantissa.sub;
    const std::optional<double> first = FirstMultipleFrom(low, result.step);
    result.ok = first.has_value();
    if (first)
        result.first = *first;
    return result;
}

int AutoDecimals(int decPlaces, double high, double low)
{
    if (decPlaces != -2 && decPlaces != -3)
        return decPlaces;
    const double w = std::fabs(high - low);
    if (w >= kExponentFromWidth || w <= kExponentUpToWidth)
        return -1;
    if (w >= 100)
        return 0;
    return 2 - static_cast<int>(RoundHalfEven(std::log(w) / 2.5));
}

int AutoLogDecimals(int decPlaces, double high, double low)
{
    if (decPlaces != -2)
        return decPlaces;
    const double lo = std::min(high, low);
    const double hi = std::max(high, low);
    if (hi - lo >= kExponentFromWidth || hi - lo <= kExponentUpToWidth)
        return -1;
    if (lo >= 1)
        return 0;
    return 1 - static_cast<int>(RoundHalfEven(std::log10(std::fabs(lo))));
}

namespace {

void LinearWalk(const TickSettings& s, VisitBudget& sink)
{
    const TickStep ts = ChooseTickStep(s.minTicks, s.high, s.low);
    if (!ts.ok || ts.step == 0.0)
        return;
    const double step = ts.step;
    const double first = ts.first;
    const double minor = step / ts.sub;
    if (first + minor == first)
        return;
    const double dir = s.high > s.low ? 1.0 : -1.0;

    if (s.shortTicks) {
        for (int j = 0; j < kMaxVisits && !sink.Spent(); ++j) {
            const double v = first - step + j * minor;
            if (dir * s.low <= dir * v) {
                ScaleTick t;
                t.value = v;
                t.length = TickLength::Short;
                sink(t);
            }
            if (!(dir * (first - step + (j + 1) * minor - s.high) <= kStepSlack * std::fabs(minor)))
                break;
        }
    }
    const int decimals = AutoDecimals(s.decPlaces, s.high, s.low);
    for (int j = 0; j < kMaxVisits && !sink.Spent(); ++j) {
        ScaleTick t;
        t.value = first + j * step;
        t.recorded = s.vertical || !s.shortTicks;
        t.eventBeforeLabel = s.vertical;
        if (s.labelType != ftNoFigs) {
            t.labelled = true;
            t.label = NumericLabel(s, t.value, decimals, j + 1);
        }
        sink(t);
        if (!(dir * (first + (j + 1) * step - s.high) <= kStepSlack * std::fabs(step)))
            break;
    }
}

void LogWalk(const TickSettings& s, VisitBudget& sink)
{
    if (!(s.low > 0 && s.high > 0) || !std::isfinite(s.low) || !std::isfinite(s.high))
        return;
    const double ratio = s.high / s.low;
    const double decades = std::isfinite(ratio) && ratio > 0 ? std::fabs(std::log10(ratio))
                                                             : std::fabs(std::log10(s.high) - std::log10(s.low));
    if (decades < 1) {
        LinearWalk(s, sink);
        return;
    }
    const double lo = std::min(s.low, s.high);
    const double hi = std::max(s.low, s.high);
    const int decimals = AutoLogDecimals(s.decPlaces, s.high, s.low);
    int decade = static_cast<int>(std::floor(std::log10(lo * kJustBelowOne)));
    const double base = std::pow(10.0, decade);
    const bool intermediates = s.minTicks > decades + 0.5;
    int labelled = 0;

    auto visit = [&](double v, int multiplier, bool isMain, bool drawn) {
        if (!(lo < v / kJustBelowOne && hi > v * kJustBelowOne))
            return;
        ScaleTick t;
        t.value = v;
        t.drawn = drawn;
        t.eventBeforeLabel = true;
        t.length = isMain || s.vertical ? TickLength::Main : TickLength::Short;
        if (isMain && s.labelType != ftNoFigs) {
            t.labelled = true;
            t.label = UserOrInscribedLabel(s, LogNumberLabel(s, v, multiplier, decade, decimals), ++labelled);
        }
        sink(t);
    };

    double m = 1.0;
    for (int guard = 0; guard < kMaxVisits && !sink.Spent(); ++guard) {
        const double decadeValue = base * m;
        visit(decadeValue, 1, true, true);
        if (intermediates) {
            for (int i = 2; i <= 9; ++i) {
                if (i == 2 || i == 5)
                    visit(i * decadeValue, i, true, true);
                else if (s.shortTicks)
                    visit(i * decadeValue, i, false, true);
                else if (!s.vertical)
                    visit(i * decadeValue, i, false, false);
            }
        }
        m *= 10.0;
        ++decade;
        if (!(hi >= kJustBelowOne * base * m))
            break;
    }
}

// Ends and ticks this close count as equal: a billionth of a step, or a few units of the last
// place of the ends where those are coarser, so that a tick summed a hair past an end is still on
// it wherever the range lies. A tolerance relative to the values instead would grow with the
// distance from zero and move or drop ticks far from it.
double TimeOfDaySlack(double lo, double hi, double step)
{
    const double largest = std::max(std::fabs(lo), std::fabs(hi));
    const double lastPlace = largest - std::nextafter(largest, 0.0);
    return std::max(kTimeStepSlack * step, kTimeLastPlaces * lastPlace);
}

bool TimeOfDayWalk(const TickSettings& s, VisitBudget& sink)
{
    const double raw = std::fabs(s.high - s.low) / s.minTicks;
    // the largest step not above the raw step; none, or a whole day, is no time-of-day scale
    const TimeStepRow* row = nullptr;
    for (const TimeStepRow& r : kTimeSteps)
        if (r.step <= raw)
            row = &r;
    if (row == nullptr || row == &kTimeSteps[std::size(kTimeSteps) - 1])
        return false;
    const double dir = s.high > s.low ? 1.0 : -1.0;
    const double step = dir * row->step;
    const double minor = step / row->sub;
    const double lo = std::min(s.low, s.high);
    const double hi = std::max(s.low, s.high);
    const double slack = TimeOfDaySlack(lo, hi, row->step);
    // The first tick is the multiple of step at or before the low end in walking order (a
    // quotient a hair below a whole number counts as that number); cutting toward zero instead
    // would start after a negative low end and lose its short ticks.
    const double first = std::floor(s.low / step + slack / row->step) * step;
    // a step too small to move values this large: no ticks rather than a pile at one place
    if (first + minor == first || s.low + minor == s.low)
        return true;
    // The count runs from the first tick, so that a six-part step starting almost a step early
    // still reaches the high end.
    const int count = static_cast<int>(std::clamp(std::trunc((s.high - first) / minor) + 5, 0.0, double(kMaxVisits)));
    // the tolerance widens the range at both ends, also when it runs backwards
    const double lowLimit = lo - slack;
    const double highLimit = hi + slack;
    auto inRange = [&](double v) { return lowLimit <= v && v <= highLimit; };
    const bool withMillis = row->step < 1;

    if (s.shortTicks) {
        for (int j = 0; j <= count && !sink.Spent(); ++j) {
            ScaleTick t;
            t.value = first + j * minor;
            t.length = TickLength::Short;
            t.drawn = t.recorded = inRange(t.value);
            sink(t);
        }
    }
    for (int j = 0; j <= count && !sink.Spent(); ++j) {
        const double v = first + j * minor;
        const double q = v / step;
        const double r = std::round(q);
        if (!(std::fabs(q - r) < 0.01) || !inRange(v))
            continue;
        ScaleTick t;
        t.value = v;
        t.recorded = s.vertical || !s.shortTicks;
        if (s.labelType != ftNoFigs) {
            t.labelled = true;
            t.label = FormatTimeOfDay(v, withMillis);
        }
        sink(t);
    }
    return true;
}

CalendarMessage CalendarWalk(const TickSettings& s, VisitBudget& sink)
{
    if (!(s.high >= s.low && s.low >= MinDateTimeDay && s.high <= LastCalendarAxisDay))
        return CalendarMessage::InvalidScale;
    // no steps asked for: no ticks, rather than one step as wide as the whole calendar
    if (s.minTicks < 1)
        return CalendarMessage::None;
    const double per = (s.high - s.low) / s.minTicks;
    // vertical scales go down to hundredths of a second, horizontal ones to seconds
    const double smallest = s.vertical ? kHundredthOfSecond : kSecondRounded;
    const double secondsUpTo = s.vertical ? kMinute : kMinuteRounded;
    if (per <= smallest)
        return CalendarMessage::BelowOneSecond;
    // whole days, months and years exist up to 31 December 9999 only
    if (per > 1 && s.low > MaxDateTimeDay)
        return CalendarMessage::None;
    if (s.vertical && per <= kSecond)
        WalkSubDay(s, SubDayMode::Hundredths, sink);
    else if (per <= secondsUpTo)
        WalkSubDay(s, SubDayMode::Seconds, sink);
    else if (per <= kHourRounded)
        WalkSubDay(s, SubDayMode::Minutes, sink);
    else if (per <= 1)
        WalkSubDay(s, SubDayMode::Hours, sink);
    else if (per <= kLongestDayStep)
        WalkDays(s, sink);
    else if (per <= kLongestMonthStep)
        WalkMonths(s, sink);
    else
        WalkYears(s, sink);
    return CalendarMessage::None;
}

}  // namespace

CalendarMessage WalkTicks(const TickSettings& settings, const TickSink& sink)
{
    const TickSettings s = WithBoundedTickCount(settings);
    VisitBudget budget(sink);
    if (s.labelType == ftDateTime)
        return CalendarWalk(s, budget);
    if (s.labelType == ftTime && TimeOfDayWalk(s, budget))
        return CalendarMessage::None;
    if (s.logarithmic)
        LogWalk(s, budget);
    else
        LinearWalk(s, budget);
    return CalendarMessage::None;
}

void WalkLinearTicks(const TickSettings& settings, const TickSink& sink)
{
    VisitBudget budget(sink);
    LinearWalk(WithBoundedTickCount(settings), budget);
}

void WalkLogTicks(const TickSettings& settings, const TickSink& sink)
{
    VisitBudget budget(sink);
    LogWalk(WithBoundedTickCount(settings), budget);
}

bool WalkTimeOfDayTicks(const TickSettings& settings, const TickSink& sink)
{
    VisitBudget budget(sink);
    return TimeOfDayWalk(WithBoundedTickCount(settings), budget);
}

CalendarMessage WalkCalendarTicks(const TickSettings& settings, const TickSink& sink)
{
    VisitBudget budget(sink);
    return CalendarWalk(WithBoundedTickCount(settings), budget);
}
