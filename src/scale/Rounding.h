#pragma once
// Rounding shared by the tick rules, the numeric label and the pixel positions of scales and charts.

#include <algorithm>
#include <cmath>
#include <cstdint>

// value rounded to the nearest integer, halves to the even neighbour, whatever the current
// floating-point rounding mode; infinities and NaN come back as they are.
inline double RoundHalfEven(double value)
{
    if (!std::isfinite(value))
        return value;
    const double lower = std::floor(value);
    const double diff = value - lower;  // exact: both lie within one unit of each other
    if (diff < 0.5)
        return lower;
    if (diff > 0.5)
        return lower + 1.0;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

// Pixel coordinates are 32-bit: a position far off the picture lands on the largest one or its negative.
constexpr double MaxPixelCoordinate = 2147483647.0;

// The smallest value a logarithmic axis takes; at or below it a value has no logarithm here.
constexpr double SmallestLogValue = 1e-100;

// A finite or infinite pixel position rounded to the nearest pixel (halves to even) within the 32-bit reach;
// NaN has no pixel and is the caller's to handle.
inline std::int32_t RoundToPixel(double position)
{
    return static_cast<std::int32_t>(RoundHalfEven(std::clamp(position, -MaxPixelCoordinate, MaxPixelCoordinate)));
}
