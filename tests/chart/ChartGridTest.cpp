#include <gtest/gtest.h>

#include <vector>

#include "chart/ChartGrid.h"
#include "chart/PlotPixels.h"
#include "platform/draw/Bitmap.h"

namespace {

std::vector<double> Values(const AxisRange& range, double spacing, std::vector<double> ticks = {})
{
    std::vector<double> out;
    GridSequence seq(range, spacing, ticks);
    while (const std::optional<double> v = seq.Next())
        out.push_back(*v);
    return out;
}

struct SequenceCase {
    const char* name;
    AxisRange range;
    double spacing;
    std::vector<double> ticks;
    std::vector<double> expected;
};

TEST(GridSequence, GivesTheGridValuesBelowTheUpperEnd)
{
    const SequenceCase cases[] = {
        {"linear step 1", {0, 5}, 1, {}, {0, 1, 2, 3, 4}},
        {"linear, first multiple of the step", {0.5, 3.5}, 1, {}, {1, 2, 3}},
        {"reversed range runs upward", {5, 0}, 2, {}, {0, 2, 4}},
        {"negative spacing on a linear axis steps by its size", {0.5, 3}, -1, {}, {0, 1, 2}},
        {"log decades", {1, 1000, true}, -1, {}, {1, 10, 100}},
        {"log decades from inside one", {3, 300, true}, -1, {}, {10, 100}},
        {"log 1-2-5", {1, 1000, true}, -2, {}, {2, 5, 10, 20, 50, 100, 200, 500}},
        {"log 1-2-5 from 3", {3, 300, true}, -2, {}, {5, 10, 20, 50, 100, 200}},
        {"log 1-2-5 from 7", {7, 30, true}, -2, {}, {10, 20}},
        {"log digits", {1, 40, true}, -3, {}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 20, 30}},
        {"log digits from 250", {250, 700, true}, -3, {}, {200, 300, 400, 500, 600}},
        {"other negative: from the lower end, then digits", {2.4, 6, true}, -7, {}, {2.4, 3, 4, 5}},
        {"positive step on a log axis", {1, 45, true}, 10, {}, {10, 20, 30, 40}},
        {"ticks of the scale", {0, 5}, 0, {1, 2.5, 4}, {1, 2.5, 4}},
        {"ticks stop at the upper end", {0, 5}, 0, {1, 5, 6}, {1}},
        {"no ticks: the lower end", {2, 5}, 0, {}, {2}},
        {"log axis through zero has no grid", {0, 100, true}, -1, {}, {}},
    };
    for (const SequenceCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<double> got = Values(c.range, c.spacing, c.ticks);
        ASSERT_EQ(got.size(), c.expected.size());
        for (std::size_t i = 0; i < got.size(); ++i)
            EXPECT_NEAR(got[i], c.expected[i], 1e-9 * c.expected[i]) << i;
    }
}

TEST(GridSequence, StopsAfterAThousandValues)
{
    const std::vector<double> linear = Values({0, 5000}, 1);
    ASSERT_EQ(linear.size(), 1000u);
    EXPECT_EQ(linear.back(), 999);
    EXPECT_EQ(Values({1, 1e300, true}, -3).size(), 1000u);
    EXPECT_EQ(Values({0, 1}, 1e-300).size(), 1000u);
}

TEST(GridSequence, AStepLostInRoundingEndsTheAxis)
{
    EXPECT_EQ(Values({1e20, 2e20}, 1).size(), 1u);
}

// A 50 x 50 plot 10 from the left and 5 from the top; both axes run 0..5, ten pixels a unit.
struct GridPlot {
    ChartGeometry geometry{60, 55, 10, 0, 5, 0, 0};
    LayerTransform transform = ComputeLayerTransform(geometry, {0, 5}, {0, 5});
    TBitmap bitmap{51, 51};

    void Draw(TGridStyle style, GridAxis x, GridAxis y)
    {
        DrawGrid(bitmap.Canvas(), {style, clRed, clAqua}, geometry, transform, x, y);
    }
    int InColumn(int x, TColor c) const
    {
        int n = 0;
        for (int y = 0; y < 51; ++y)
            n += bitmap.Canvas().Pixel(x, y) == c ? 1 : 0;
        return n;
    }
    int InRow(int y, TColor c) const
    {
        int n = 0;
        for (int x = 0; x < 51; ++x)
            n += bitmap.Canvas().Pixel(x, y) == c ? 1 : 0;
        return n;
    }
};

TEST(ChartGrid, DottedLinesAtEveryUnitBelowTheUpperEnd)
{
    GridPlot g;
    g.Draw(gsDotLines, {{0, 5}, 1, {}}, {{0, 5}, 1, {}});
    for (int v = 0; v < 5; ++v) {
        SCOPED_TRACE(v);
        EXPECT_GT(g.InColumn(v * 10, clRed), 10);
        EXPECT_GT(g.InColumn(v * 10, clAqua), 10);  // the gaps take the brush
        EXPECT_GT(g.InRow(50 - v * 10, clRed), 10);
        EXPECT_GT(g.InRow(50 - v * 10, clAqua), 10);
    }
    EXPECT_EQ(g.InColumn(50, clRed), 0);
    EXPECT_EQ(g.InRow(0, clRed), 0);
    for (int y = 0; y < 51; ++y)  // between the vertical lines only the horizontal ones
        if (y % 10 != 0) {
            EXPECT_NE(g.bitmap.Canvas().Pixel(5, y), clRed) << y;
        }
    EXPECT_EQ(g.bitmap.Canvas().Pen.Style, psSolid);
}

TEST(ChartGrid, SolidLinesRunFromTheLowEndUpToTheHighEnd)
{
    GridPlot g;
    g.Draw(gsVertLines, {{0, 5}, 2, {}}, {{0, 5}, 1, {}});
    for (const int x : {0, 20, 40})
        EXPECT_EQ(g.InColumn(x, clRed), 50) << x;  // rows 50 up to 1: the line leaves out its end
    EXPECT_EQ(g.bitmap.Canvas().Pixel(0, 0), clWhite);
    EXPECT_EQ(CountPixels(g.bitmap, clRed), 150);

    GridPlot h;
    const double ticks[] = {1.5};
    h.Draw(gsHorizLines, {{0, 5}, 1, {}}, {{0, 5}, 0, ticks});
    EXPECT_EQ(h.InRow(35, clRed), 50);
    EXPECT_EQ(CountPixels(h.bitmap, clRed), 50);
}

TEST(ChartGrid, PointsSitOnEveryCrossingUpToAThousand)
{
    GridPlot g;
    g.Draw(gsPoints, {{0, 5}, 1, {}}, {{0, 5}, 1, {}});
    EXPECT_EQ(CountPixels(g.bitmap, clRed), 25);
    EXPECT_EQ(g.bitmap.Canvas().Pixel(40, 10), clRed);

    ChartGeometry big{200, 200, 0, 0, 0, 0, 0};
    TBitmap bitmap(201, 201);
    DrawGrid(bitmap.Canvas(), {gsPoints, clRed, clWhite}, big, ComputeLayerTransform(big, {0, 200}, {0, 200}),
        {{0, 200}, 1, {}}, {{0, 200}, 1, {}});
    EXPECT_EQ(CountPixels(bitmap, clRed), 1000);
}

TEST(ChartGrid, NoneDrawsNothing)
{
    GridPlot g;
    g.Draw(gsNone, {{0, 5}, 1, {}}, {{0, 5}, 1, {}});
    EXPECT_EQ(CountPixels(g.bitmap, clWhite), 51 * 51);
}

}  // namespace
