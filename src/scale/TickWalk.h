#pragma once
// Shared by the rule families of TickRules: the visit budget every walk draws from, and the walks.

#include "scale/TickRules.h"

// Far above what any rule visits on a sound range (at most a few hundred, a few thousand for
// logarithmic ranges over hundreds of decades); it only keeps a degenerate range from hanging.
constexpr int kMaxVisits = 20000;

// One whole walk hands on at most this many ticks: far more than the tick list holds with the
// short ticks between, however many loops the rule runs.
constexpr int kMaxWalkVisits = 10000;

// Collects ticks into the result until the walk has used up its visits, then drops them; the
// loops ask Spent() to stop early.
class TickCollector {
public:
    explicit TickCollector(ScaleTicks& out) : out_(out) { }
    void operator()(const ScaleTick& tick);
    bool Spent() const { return left_ == 0; }

private:
    ScaleTicks& out_;
    int left_ = kMaxWalkVisits;
};

// The walks take a tick count already bounded to 0..MaxTicks.
void LinearWalk(const TickSettings& s, TickCollector& sink);
void LogWalk(const TickSettings& s, TickCollector& sink);
// Returns false when the range is outside what time-of-day steps serve.
bool TimeOfDayWalk(const TickSettings& s, TickCollector& sink);
CalendarMessage CalendarWalk(const TickSettings& s, TickCollector& sink);
