// The tick rules of an axis for any ends (infinite, NaN, huge, tiny, reversed), every label type and any tick
// count and decimals. A walk must end, and must not visit more ticks than any axis can show.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "FuzzValues.h"
#include "scale/TickLabels.h"
#include "scale/TickRules.h"

namespace {

constexpr long MaxVisits = 10000;

void Describe(const TickSettings& s)
{
    std::fprintf(stderr,
        "  low %s\n  high %s\n  minTicks %d, labelType %d, decPlaces %d, logarithmic %d, "
        "shortTicks %d, vertical %d\n  date format: time %d, year %d, order %d, date for time %d, "
        "month name %d\n",
        DescribeDouble(s.low).c_str(), DescribeDouble(s.high).c_str(), s.minTicks, int(s.labelType), s.decPlaces,
        s.logarithmic, s.shortTicks, s.vertical, int(s.dateFormat.TimeFormat), int(s.dateFormat.YearLength),
        int(s.dateFormat.DateOrder), int(s.dateFormat.DateForTime), s.dateFormat.MonthName);
}

TickSettings SettingsFrom(FuzzedDataProvider& Input)
{
    TickSettings s;
    s.low = FuzzDouble(Input);
    s.high = FuzzDouble(Input);
    // most axes have a handful of ticks, and a walk over thousands is slow: any count comes in one input of four
    s.minTicks = Input.ConsumeIntegralInRange(0, 3) != 0 ? Input.ConsumeIntegralInRange(-3, 20) : FuzzInt(Input);
    s.shortTicks = Input.ConsumeBool();
    s.vertical = Input.ConsumeBool();
    s.logarithmic = Input.ConsumeBool();
    s.labelType = static_cast<TFigType>(Input.ConsumeIntegralInRange<int>(ftNoFigs, ftUserText));
    s.decPlaces = FuzzInt(Input);
    s.dateFormat.TimeFormat = static_cast<TTimeFormat>(Input.ConsumeIntegralInRange<int>(tfHHMMSS, tfAMPM));
    s.dateFormat.DateSeparator = Input.ConsumeIntegral<char>();
    s.dateFormat.TimeSeparator = Input.ConsumeIntegral<char>();
    s.dateFormat.YearLength = static_cast<TYearLength>(Input.ConsumeIntegralInRange<int>(ylNone, ylYYYY));
    s.dateFormat.MonthName = Input.ConsumeBool();
    s.dateFormat.DateOrder = static_cast<TDateOrder>(Input.ConsumeIntegralInRange<int>(doMMDDYY, doYYMMDD));
    s.dateFormat.DateForTime = static_cast<TDateForTime>(Input.ConsumeIntegralInRange<int>(dtNone, dtAllTicks));
    s.inscript = FuzzText(Input, 16);
    s.userTickText = FuzzText(Input, 64);
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    FuzzedDataProvider input(Data, Size);
    const TickSettings s = SettingsFrom(input);

    // SEWELLA_FUZZ_SHOW=1 prints the settings of each input, to turn a crash file into a reproducer
    static const bool show = std::getenv("SEWELLA_FUZZ_SHOW") != nullptr;
    if (show)
        Describe(s);

    long visits = 0;
    // only the walk's end matters here, not the message it has for the scale
    static_cast<void>(WalkTicks(s, [&](const ScaleTick&) {
        if (++visits > MaxVisits) {
            std::fprintf(stderr, "ticks harness: one walk visited more than %ld ticks\n", MaxVisits);
            Describe(s);
            std::abort();
        }
    }));

    // The label texts the walks use, on the ends themselves: any value must give a text.
    for (const double v : {s.low, s.high}) {
        FormatTickNumber(v, s.decPlaces);
        FormatTimeOfDay(v, s.minTicks % 2 == 0);
    }
    return 0;
}
