#pragma once
// Helpers of the chart's pixel tests: small plot bitmaps read back as pictures and counts.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/draw/Bitmap.h"

// Rows of the area: '#' for the ink colour, '.' for white, 'o' for anything else.
inline std::vector<std::string> Picture(const TBitmap& bitmap, TRect area, TColor ink)
{
    std::vector<std::string> rows;
    for (int y = area.Top; y < area.Bottom; ++y) {
        std::string row;
        for (int x = area.Left; x < area.Right; ++x) {
            const TColor c = bitmap.Canvas().Pixel(x, y);
            row += c == ink ? '#' : c == clWhite ? '.' : 'o';
        }
        rows.push_back(row);
    }
    return rows;
}

inline int CountPixels(const TBitmap& bitmap, TColor color)
{
    int n = 0;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            n += bitmap.Canvas().Pixel(x, y) == color ? 1 : 0;
    return n;
}

// The first pixel where two pictures differ, as text for a failure message; empty when they are equal.
inline std::string FirstDifference(const TBitmap& a, const TBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return "sizes differ";
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Canvas().Pixel(x, y) != b.Canvas().Pixel(x, y))
                return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")";
    return {};
}
