// The value text of a numeric label for any value bits and any settings.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "FuzzValues.h"
#include "numlab/NumLabText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    FuzzedDataProvider input(Data, Size);
    TNumLabTextSettings settings;
    settings.DisplayType = static_cast<TDisplay>(input.ConsumeIntegralInRange<int>(dtFloat, dtDegMinSec));
    settings.Precision = FuzzInt(input);
    settings.Comma = input.ConsumeBool();
    settings.ForcePlusSign = input.ConsumeBool();
    const double value = FuzzDouble(input);
    if (input.ConsumeBool()) {
        settings.StateText = FuzzText(input, 16);
        settings.OverflowIndicator = FuzzText(input, 16);
        settings.DTFormat = FuzzText(input, 32);
    }

    // SEWELLA_FUZZ_SHOW=1 prints each input, to turn a crash file into a reproducer
    static const bool show = std::getenv("SEWELLA_FUZZ_SHOW") != nullptr;
    if (show)
        std::fprintf(stderr, "type %d, precision %d, comma %d, plus %d, value %s, format \"%s\"\n",
            int(settings.DisplayType), settings.Precision, settings.Comma, settings.ForcePlusSign,
            DescribeDouble(value).c_str(), qPrintable(settings.DTFormat));

    const QString text = NumLabValueText(value, settings);
    // a label box holds a line, not a page: no display type may make the text run away
    if (text.size() > 4096) {
        std::fprintf(stderr, "numlab harness: %lld characters for type %d, precision %d, value %s\n",
            static_cast<long long>(text.size()), int(settings.DisplayType), settings.Precision,
            DescribeDouble(value).c_str());
        std::abort();
    }
    return 0;
}
