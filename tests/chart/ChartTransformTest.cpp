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

// The double mapping of the item loop must give the exact path's pixel whenever it gives one: over random
// plots and values, at exact half pixels and their neighbours, and far out; and it must settle nearly all
// ordinary values, or it saves nothing.
TEST(ChartTransform, FastLinearAxisGivesTheExactPixelOrDefers)
{
    std::mt19937_64 random(11);
    std::uniform_int_distribution<int> size(20, 3000);
    std::uniform_real_distribution<double> unit(-1, 1);
    int decided = 0;  // of the random values
    auto check = [&](const LayerTransform& t, double x, double y) {
        const PixelPosition exact = LinearWorldToPixel(t, x, y);
        std::int32_t fx = 0, fy = 0;
        if (FastAxisPixel(FastLinearAxis::Of(t.X), x, fx) && FastAxisPixel(FastLinearAxis::Of(t.Y), y, fy)) {
            ASSERT_TRUE(exact.Valid) << std::setprecision(17) << x << ' ' << y;
            ASSERT_EQ(fx, exact.X) << std::setprecision(17) << x;
            ASSERT_EQ(fy, exact.Y) << std::setprecision(17) << y;
        }
    };
    for (int plot = 0; plot < 300; ++plot) {
        ChartGeometry g;
        g.Width = size(random);
        g.Height = size(random);
        g.MarginLeft = g.MarginRight = g.MarginTop = g.MarginBottom = 5;
        const double scale = std::pow(10.0, std::floor(unit(random) * 12));
        const double lowX = unit(random) * scale, lowY = unit(random) * scale;
        const LayerTransform t =
            ComputeLayerTransform(g, {lowX, lowX + scale * (1.5 + unit(random))}, {lowY, lowY - scale});
        for (int i = 0; i < 1000; ++i) {
            const double x = lowX + unit(random) * 3 * scale, y = lowY + unit(random) * 3 * scale;
            std::int32_t px = 0, py = 0;
            decided += FastAxisPixel(FastLinearAxis::Of(t.X), x, px) && FastAxisPixel(FastLinearAxis::Of(t.Y), y, py);
            check(t, x, y);
        }
        // values that land on a half pixel, or a few steps beside it, where the two precisions part
        for (int k = 0; k < 100; ++k) {
            const long double half = std::floor(unit(random) * 2 * g.Width) + 0.5L;
            double v = static_cast<double>((half - t.X.Offset) / t.X.Factor);
            for (int step = 0; step < 4; ++step)
                v = std::nextafter(v, -Inf);
            for (int step = -4; step <= 4; ++step, v = std::nextafter(v, Inf))
                check(t, v, lowY);
        }
        if (HasFatalFailure())
            return;
    }
    EXPECT_GT(decided, 300 * 1000 * 99 / 100);

    // plot width 4 and height 4 from 0 to 4: value v lands on the pixel edge 50 + v, halves are exact ties
    ChartGeometry g;
    g.Width = 64;
    g.Height = 52;
    g.MarginLeft = 50;
    g.MarginRight = 10;
    g.MarginTop = 16;
    g.MarginBottom = 32;
    const LayerTransform t = ComputeLayerTransform(g, {0, 4}, {0, 4});
    for (int n = -200; n <= 200; ++n)
        for (double v : {n + 0.5, double(n), n + 0.25})
            for (double d : {v, std::nextafter(v, Inf), std::nextafter(v, -Inf)})
                check(t, d, d);
    for (double far : {2e9, -2e9, 3e9, 1e300, -1e300, Inf, -Inf, NaN}) {
        std::int32_t pixel = 0;
        EXPECT_FALSE(FastAxisPixel(FastLinearAxis::Of(t.X), far, pixel)) << far;
    }
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

TEST(ChartTransform, ACachedLayerIsComputedAgainOnlyWhenItsGeometryOrARangeChanges)
{
    CachedLayerTransform cache;
    ChartGeometry g;
    AxisRange x{0, 10}, y{-1, 1};
    ASSERT_TRUE(cache.Update(g, x, y)) << "the first request computes";
    EXPECT_FALSE(cache.Update(g, x, y));
    const auto expectFresh = [&](const char* what) {
        SCOPED_TRACE(what);
        EXPECT_TRUE(cache.Update(g, x, y));
        const LayerTransform fresh = ComputeLayerTransform(g, x, y);
        EXPECT_EQ(cache.Transform().X.Factor, fresh.X.Factor);
        EXPECT_EQ(cache.Transform().Y.Offset, fresh.Y.Offset);
        EXPECT_EQ(cache.Transform().X.Logarithmic, fresh.X.Logarithmic);
    };
    g.ShadowWidth = 4;
    expectFresh("shadow");
    x.High = 20;
    expectFresh("x range");
    y.Low = -2;
    expectFresh("y range");
    x = {1, 100, true};
    expectFresh("logarithmic x");
}

}  // namespace
