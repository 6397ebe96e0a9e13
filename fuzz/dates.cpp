// The date/time pattern formatter and the calendar label formatter for any pattern and any value.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "FuzzValues.h"
#include "platform/os/DateTime.h"
#include "scale/TickLabels.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    FuzzedDataProvider input(Data, Size);
    const double value = FuzzDouble(input);
    const QString pattern = FuzzText(input, 64);

    // SEWELLA_FUZZ_SHOW=1 prints each input, to turn a crash file into a reproducer
    static const bool show = std::getenv("SEWELLA_FUZZ_SHOW") != nullptr;
    if (show)
        std::fprintf(stderr, "value %s, pattern \"%s\"\n", DescribeDouble(value).c_str(), qPrintable(pattern));

    const QString plain = FormatDateTime(pattern, value);
    const QString label = FormatDateTimeValue(pattern, value);
    // every pattern letter yields a bounded piece (a day name at most), so the text grows with the pattern only
    const qsizetype bound = 64 * (pattern.size() + 1);
    if (plain.size() > bound || label.size() > bound) {
        std::fprintf(stderr, "dates harness: %lld / %lld characters from a pattern of %lld, value %s\n",
            static_cast<long long>(plain.size()), static_cast<long long>(label.size()),
            static_cast<long long>(pattern.size()), DescribeDouble(value).c_str());
        std::abort();
    }
    return 0;
}
