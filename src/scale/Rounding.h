#pragma once
// Rounding shared by the tick rules and the numeric label.

#include <cmath>

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
