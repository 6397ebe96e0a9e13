#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <limits>
#include <random>
#include <vector>

#include "chart/ChartTransform.h"

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

TEST(ChartTransform, DefaultPlotMapsTheRangeEndsToItsCorners)
{
    const ChartGeometry g;  // 280 x 200, margins 50/10/16/32
    const LayerTransform t = ComputeLayerTransform(g, {0, 1}, {0, 1});
    const PixelPosition low = WorldToPixel(g, t, 0, 0), high = WorldToPixel(g, t, 1, 1);
    EXPECT_EQ(low.X, 50);
    EXPECT_EQ(low.Y, 168);
    EXPECT_EQ(high.X, 270);
    EXPECT_EQ(high.Y, 16);
    const PixelPosition mirrored = WorldToPixel(g, ComputeLayerTransform(g, {1, 0}, {1, 0}), 0, 0);
    EXPECT_EQ(mirrored.X, 270);
    EXPECT_EQ(mirrored.Y, 16);
}

TEST(ChartTransform, HalfPixelsRoundToEven)
{
    ChartGeometry g;
    g.Width = 60 + 4;  // plot width 4: value v lands on 50 + v
    g.MarginLeft = 50;
    g.MarginRight = 10;
    const LayerTransform t = ComputeLayerTransform(g, {0, 4}, {0, 1});
    EXPECT_EQ(WorldToPixel(g, t, 0.5, 0).X, 50);
    EXPECT_EQ(WorldToPixel(g, t, 1.5, 0).X, 52);
    EXPECT_EQ(WorldToPixel(g, t, 2.5, 0).X, 52);
    EXPECT_EQ(WorldToPixel(g, t, 2.5000001, 0).X, 53);
}

// The item loop's rounding without library calls must give what the shared rounding gives, for every kind
// of value: halves (even and odd, either sign), their neighbours one step away, large and far values.
TEST(ChartTransform, FastPixelRoundingMatchesTheSharedRounding)
{
    std::vector<double> values{0.0, -0.0, 0.5, -0.5, 1.5, -1.5, 2.5, -2.5, 0.49999999999999994, 1e-300, -1e-300,
        4503599627370495.5, 2147483646.5, 2147483647.0, 2147483647.5, -2147483646.5, -2147483647.5, 1e300, -1e300, Inf,
        -Inf};
    for (int n = -70000; n <= 70000; n += 7)
        for (double v : {n + 0.5, n - 0.5, double(n)})
            for (double d : {v, std::nextafter(v, Inf), std::nextafter(v, -Inf)})
                values.push_back(d);
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> wide(-3e9, 3e9);
    for (int i = 0; i < 100000; ++i)
        values.push_back(wide(random));
    for (double v : values)
        ASSERT_EQ(RoundPositionToPixel(v), RoundToPixel(v)) << std::setprecision(17) << v;
}

TEST(ChartTransform, LogarithmicAxesAndValuesWithoutALogarithm)
{
    const ChartGeometry g;
    const LayerTransform t = ComputeLayerTransform(g, {1, 100, true}, {1, 100, true});
    EXPECT_EQ(WorldToPixel(g, t, 10, 10).X, 160);
    EXPECT_EQ(WorldToPixel(g, t, 10, 10).Y, 92);
    const PixelPosition zero = WorldToPixel(g, t, 0, -5);
    EXPECT_EQ(zero.X, 0);
    EXPECT_EQ(zero.Y, 200);
    const LayerTransform down = ComputeLayerTransform(g, {100, 1, true}, {100, 1, true});
    const PixelPosition zeroDown = WorldToPixel(g, down, 1e-100, 0);
    EXPECT_EQ(zeroDown.X, 280);
    EXPECT_EQ(zeroDown.Y, 0);
}

TEST(ChartTransform, HugeAndInfiniteValuesClampAndNaNHasNoPixel)
{
    const ChartGeometry g;
    const LayerTransform t = ComputeLayerTransform(g, {0, 1}, {0, 1});
    EXPECT_EQ(WorldToPixel(g, t, 1e300, -1e300).X, 2147483647);
    EXPECT_EQ(WorldToPixel(g, t, 1e300, -1e300).Y, 2147483647);
    EXPECT_EQ(WorldToPixel(g, t, -Inf, Inf).X, -2147483647);
    EXPECT_EQ(WorldToPixel(g, t, -Inf, Inf).Y, -2147483647);
    EXPECT_FALSE(WorldToPixel(g, t, NaN, 0).Valid);
    EXPECT_FALSE(WorldToPixel(g, t, 0, NaN).Valid);
    EXPECT_TRUE(WorldToPixel(g, t, 0, 0).Valid);
    EXPECT_EQ(ClampToDrawRange(2147483647), 30000);
    EXPECT_EQ(ClampToDrawRange(-2147483647), -30000);
}

TEST(ChartTransform, RangesWithoutWidthAndPlotsWithoutRoomMapToTheMiddle)
{
    ChartGeometry narrow;
    narrow.Width = 60;   // plot width 0
    narrow.Height = 48;  // plot height 0
    struct Row {
        const char* name;
        ChartGeometry geometry;
        AxisRange range;
    } rows[] = {
        {"equal ends", ChartGeometry{}, {3, 3}},
        {"infinite end", ChartGeometry{}, {0, Inf}},
        {"NaN end", ChartGeometry{}, {1, NaN}},
        {"log end at zero", ChartGeometry{}, {0, 10, true}},
        {"plot without room", narrow, {0, 1}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const LayerTransform t = ComputeLayerTransform(r.geometry, r.range, r.range);
        EXPECT_EQ(t.X.Factor, 0);
        EXPECT_EQ(t.Y.Factor, 0);
        const PixelPosition p = WorldToPixel(r.geometry, t, 5, 5);
        EXPECT_EQ(p.X, r.geometry.Width / 2);
        EXPECT_EQ(p.Y, r.geometry.Height / 2);
        const WorldPosition w = PixelToWorld(t, r.range, r.range, 10, 10);
        EXPECT_EQ(w.X, r.range.Low);
    }
}

TEST(ChartTransform, PixelToWorldInvertsWorldToPixel)
{
    const ChartGeometry g;
    const AxisRange x{-25, 75}, y{1, 1000, true};
    const LayerTransform t = ComputeLayerTransform(g, x, y);
    const WorldPosition corner = PixelToWorld(t, x, y, 50, 168);
    EXPECT_NEAR(corner.X, -25, 1e-9);
    EXPECT_NEAR(corner.Y, 1, 1e-9);
    const WorldPosition other = PixelToWorld(t, x, y, 270, 16);
    EXPECT_NEAR(other.X, 75, 1e-9);
    EXPECT_NEAR(other.Y, 1000, 1e-9);
}

}  // namespace
