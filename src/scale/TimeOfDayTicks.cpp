// Tick rules of time-of-day scales: steps from a millisecond to half a day, values in seconds.

#include <algorithm>
#include <cmath>
#include <iterator>

#include "platform/os/DateTime.h"
#include "scale/TickWalk.h"

namespace {

// Time-of-day ticks and ends count as equal within this fraction of a step, or within this many
// units of the last place of the ends where those are coarser.
constexpr double kTimeStepSlack = 1e-9;
constexpr double kTimeLastPlaces = 4;

struct TimeStepRow {
    double step;
    int sub;
};

// Seconds per main step and the short ticks in it; the last row, a whole day, is no time-of-day step.
constexpr TimeStepRow kTimeSteps[] = {{0.001, 5}, {0.002, 4}, {0.005, 5}, {0.01, 5}, {0.02, 4}, {0.05, 5}, {0.1, 5},
    {0.2, 4}, {0.5, 5}, {1, 5}, {2, 4}, {5, 5}, {10, 5}, {20, 4}, {30, 6}, {60, 6}, {120, 6}, {180, 6}, {300, 5},
    {600, 5}, {1200, 6}, {1800, 6}, {3600, 6}, {7200, 4}, {14400, 4}, {21600, 6}, {43200, 6}, {SecsPerDay, 6}};

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

}  // namespace

bool TimeOfDayWalk(const TickSettings& s, TickCollector& sink)
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
