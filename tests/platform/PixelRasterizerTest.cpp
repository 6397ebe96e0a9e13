#include <algorithm>
#include <optional>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "platform/draw/PixelRasterizer.h"

namespace {

constexpr int Side = 24;
constexpr QRgb Background = 0xFF101010u, Edge = 0xFF0000FFu, Fill = 0xFF00FF00u;

// The rule the box writer keeps, pixel by pixel: inside the bounds, the box's outermost pixels in the edge
// colour, the rest in the fill colour (or left alone without a fill).
QRgb Expected(int x, int y, const TRect& bounds, const TRect& box, bool filled)
{
    if (!bounds.Contains(x, y) || !box.Contains(x, y))
        return Background;
    const bool onEdge = x == box.Left || x == box.Right - 1 || y == box.Top || y == box.Bottom - 1;
    return onEdge ? Edge : (filled ? Fill : Background);
}

}  // namespace

// Boxes of every width and height from 1 up, anywhere on and off a clip, with and without a fill: the row
// loops with their short-run stores must cover exactly the pixels of the rule, never one beside them.
TEST(PixelRasterizer, SolidBoxesCoverExactlyTheirEdgeAndInsidePixelsWithinTheBounds)
{
    std::minstd_rand random(7);
    std::uniform_int_distribution<int> corner(-4, Side + 4), size(1, 60), bound(0, Side);
    std::vector<QRgb> pixels(std::size_t(Side * Side));
    for (int trial = 0; trial < 3000; ++trial) {
        const int x = corner(random), y = corner(random);
        const TRect box{x, y, x + size(random) % (Side + 2) + 1, y + size(random) % (Side + 2) + 1};
        const int bx = bound(random) / 2, by = bound(random) / 2;
        const TRect bounds = trial % 3 == 0
            ? TRect{0, 0, Side, Side}
            : TRect{bx, by, std::min(Side, bx + bound(random) / 2 + 1), std::min(Side, by + bound(random) / 2 + 1)};
        const bool filled = trial % 5 != 0;
        std::fill(pixels.begin(), pixels.end(), Background);
        PixelRaster::WriteSolidBox(pixels.data(), Side, bounds, box, Edge & 0xFFFFFFu,
            filled ? std::optional<QRgb>(Fill & 0xFFFFFFu) : std::nullopt);
        for (int py = 0; py < Side; ++py)
            for (int px = 0; px < Side; ++px)
                ASSERT_EQ(pixels[std::size_t(py * Side + px)], Expected(px, py, bounds, box, filled))
                    << "pixel " << px << "," << py << " box " << box.Left << "," << box.Top << "-" << box.Right << ","
                    << box.Bottom << " bounds " << bounds.Left << "," << bounds.Top << "-" << bounds.Right << ","
                    << bounds.Bottom << (filled ? " filled" : " hollow");
    }
}
