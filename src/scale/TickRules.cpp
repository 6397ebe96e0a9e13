// The choice of rule family and the one result every family fills; the families live in
// LinearTicks.cpp, TimeOfDayTicks.cpp and CalendarTicks.cpp.

#include "scale/TickRules.h"

#include <algorithm>

#include "scale/TickWalk.h"

void TickCollector::operator()(const ScaleTick& tick)
{
    if (left_ == 0)
        return;
    --left_;
    out_.ticks.push_back(tick);
    if (tick.recorded && out_.Count() < MaxTicks)
        out_.list.push_back(tick.value);
}

ScaleTicks ComputeTicks(const TickSettings& settings)
{
    // the rules serve at most as many steps as the tick list holds; a count below zero asks for none
    TickSettings s = settings;
    s.minTicks = std::clamp(s.minTicks, 0, MaxTicks);
    ScaleTicks result;
    result.list.reserve(MaxTicks);
    TickCollector sink(result);
    if (s.labelType == ftDateTime)
        result.message = CalendarWalk(s, sink);
    else if (s.labelType == ftTime && TimeOfDayWalk(s, sink))
        return result;
    else if (s.logarithmic)
        LogWalk(s, sink);
    else
        LinearWalk(s, sink);
    return result;
}
