#pragma once
// Comparing a picture drawn at a device scale with the same picture drawn at scale 1.

#include <set>

#include <QImage>
#include <QRect>

// The first logical pixel inside Area whose block of Factor x Factor device pixels in Scaled is not uniformly the
// colour of that pixel in Plain; a null point when every block matches.
inline QPoint FirstBlockMismatch(const QImage& Plain, const QImage& Scaled, int Factor, const QRect& Area)
{
    for (int y = Area.top(); y <= Area.bottom(); ++y)
        for (int x = Area.left(); x <= Area.right(); ++x)
            for (int dy = 0; dy < Factor; ++dy)
                for (int dx = 0; dx < Factor; ++dx)
                    if (Scaled.pixel(x * Factor + dx, y * Factor + dy) != Plain.pixel(x, y))
                        return {x, y};
    return {-1, -1};
}

inline std::set<QRgb> ColoursOf(const QImage& Picture)
{
    std::set<QRgb> colours;
    for (int y = 0; y < Picture.height(); ++y)
        for (int x = 0; x < Picture.width(); ++x)
            colours.insert(Picture.pixel(x, y));
    return colours;
}
