// The tick rules of an axis for any ends (infinite, NaN, huge, tiny, reversed), every label type and any tick
// count and decimals. A walk must end, and must not visit more ticks than any axis can show.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "FuzzValues.h"
#include "scale/TickRules.h"

namespace {

constexpr long MaxVisits = 10000;

void Describe(const TickSettings& s)
{
    std::fprintf(stderr, "  low %s\n  high %s\n  minTicks %d, labelType %d, decPlaces %d, logarithmic %d, "
                         "shortTicks %d, vertical %d\n  date format: time %d, year %d, order %d, date for time %d, "
                         "month name %d\n",
        DescribeDouble(s.low).c_str(), DescribeDouble(s.high).c_str(), s.minTicks, int(s.labelType), s.decPlaces,
        s.logarithmic, s.shortTicks, s.vertical, int(s.dateFormat.TimeFormat), int(s.dateFormat.YearLength),
        int(s.dateFormat.DateOrder), int(s.dateFormat.DateForTime), s.dateFormat.MonthName);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    FuzzedDataProvider input(Data, Size);
    TickSettings s;
    s.low = FuzzDouble(input);
    s.high = FuzzDouble(input);
    s.minTicks = FuzzInt(input);
    s.shortTicks = input.ConsumeBool();
    s.vertical = input.ConsumeBool();
    s.logarithmic = input.ConsumeBool();
    s.labelType = static_cast<TFigType>(input.ConsumeIntegralInRange<int>(ftNoFigs, ftUserText));
    s.decPlaces = FuzzInt(input);
    s.dateFormat.TimeFormat = static_cast<TTimeFormat>(input.ConsumeIntegralInRange<int>(tfHHMMSS, tfAMPM));
    s.dateFormat.DateSeparator = input.ConsumeIntegral<char>();
    s.dateFormat.TimeSeparator = input.ConsumeIntegral<char>();
    s.dateFormat.YearLength = static_cast<TYearLength>(input.ConsumeIntegralInRange<int>(ylNone, ylYYYY));
    s.dateFormat.MonthName = input.ConsumeBool();
    s.dateFormat.DateOrder = static_cast<TDateOrder>(input.ConsumeIntegralInRange<int>(doMMDDYY, doYYMMDD));
    s.dateFormat.DateForTime = static_cast<TDateForTime>(input.ConsumeIntegralInRange<int>(dtNone, dtAllTicks));
    s.inscript = FuzzText(input, 16);
    s.userTickText = FuzzText(input, 64);

    long visits = 0;
    WalkTicks(s, [&](const ScaleTick&) {
        if (++visits > MaxVisits) {
            std::fprintf(stderr, "ticks harness: one walk visited more than %ld ticks\n", MaxVisits);
            Describe(s);
            std::abort();
        }
    });
    return 0;
}
