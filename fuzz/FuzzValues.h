#pragma once
// Values the harnesses draw from their input: doubles that reach the edges (infinities, NaN, the largest and
// smallest magnitudes, the calendar's and int's limits) as often as ordinary ones, and texts as Qt strings.

#include <fuzzer/FuzzedDataProvider.h>

#include <QString>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

inline double FuzzDouble(FuzzedDataProvider& Input)
{
    using limits = std::numeric_limits<double>;
    static const double edges[] = {0.0, -0.0, 1.0, -1.0, 0.5, limits::infinity(), -limits::infinity(),
        limits::quiet_NaN(), -limits::quiet_NaN(), limits::max(), -limits::max(), limits::min(), limits::denorm_min(),
        limits::epsilon(), 1e308, -1e308, 1e-308, 2147483647.0, 2147483648.0, -2147483648.0, -2147483649.0,
        4294967296.0, 9.2233720368547758e18, -9.2233720368547758e18, 1e7, -1e7, 5e9, 86400.0, 86399.999, 1e11, -1e11,
        2958465.0, 2958466.0, -693593.0, -693594.0, 3000000.0, 1e15, 1e-9};
    switch (Input.ConsumeIntegralInRange(0, 3)) {
    case 0: return Input.PickValueInArray(edges);
    case 1: return std::bit_cast<double>(Input.ConsumeIntegral<uint64_t>());
    case 2: return Input.ConsumeFloatingPoint<double>();
    default: return static_cast<double>(Input.ConsumeIntegralInRange<int32_t>(-100000, 100000)) / 8.0;
    }
}

// Any int, but the small ones and the extremes more often than the rest.
inline int FuzzInt(FuzzedDataProvider& Input)
{
    switch (Input.ConsumeIntegralInRange(0, 2)) {
    case 0: return Input.ConsumeIntegralInRange(-3, 20);
    case 1:
        return Input.PickValueInArray({std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), -1000, 1000,
            10000, 1000000, 1000000000});
    default: return Input.ConsumeIntegral<int>();
    }
}

// Bytes as the user's text: UTF-8 when valid, as the text crossing reads it; Latin-1 otherwise.
inline QString FuzzText(FuzzedDataProvider& Input, size_t MaxLength)
{
    const std::string bytes = Input.ConsumeRandomLengthString(MaxLength);
    return Input.ConsumeBool() ? QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()))
                               : QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline std::string DescribeDouble(double Value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.17g (bits 0x%016llx)", Value,
        static_cast<unsigned long long>(std::bit_cast<uint64_t>(Value)));
    return text;
}
