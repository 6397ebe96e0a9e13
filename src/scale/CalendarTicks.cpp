// Tick rules of calendar scales: hundredths of a second up to hours within a day, then days,
// months and years; values are days since 30 December 1899.

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "platform/os/DateTime.h"
#include "scale/Rounding.h"
#include "scale/TickWalk.h"

namespace {

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

void WalkSubDay(const TickSettings& s, SubDayMode mode, TickCollector& sink)
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

void WalkDays(const TickSettings& s, TickCollector& sink)
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

void WalkMonths(const TickSettings& s, TickCollector& sink)
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

void WalkYears(const TickSettings& s, TickCollector& sink)
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

CalendarMessage CalendarWalk(const TickSettings& s, TickCollector& sink)
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
