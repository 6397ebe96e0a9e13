#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "chart/Quarn_rchart.h"
#include "platform/MessageBox.h"

namespace {

// A chart whose window has been created: updates run, every setter repaints.
struct RChartTest : ::testing::Test {
    RChartTest() { chart.SetUpdateSuspended(false); }

    TColor PixelAt(int x, int y) const { return chart.Image().isNull() ? 0 : FromQRgb(chart.Image().pixel(x, y)); }
    static TColor FromQRgb(QRgb rgb) { return RGBColor(qRed(rgb), qGreen(rgb), qBlue(rgb)); }

    TRChart chart;
};

TEST_F(RChartTest, ANewChartHasTheListedGeometryAndMapsItsPlotCorners)
{
    const ChartGeometry& g = chart.Geometry();
    EXPECT_EQ(g.Width, 280);
    EXPECT_EQ(g.Height, 200);
    EXPECT_EQ(chart.MarginLeft(), 50);
    EXPECT_EQ(chart.MarginRight(), 10);
    EXPECT_EQ(chart.MarginTop(), 16);
    EXPECT_EQ(chart.MarginBottom(), 32);
    const PixelPosition low = chart.WorldToPixel(1, chart.Scale1X()->RangeLow(), chart.Scale1Y()->RangeLow());
    const PixelPosition high = chart.WorldToPixel(1, chart.Scale1X()->RangeHigh(), chart.Scale1Y()->RangeHigh());
    EXPECT_EQ(low.X, 50);
    EXPECT_EQ(low.Y, 168);
    EXPECT_EQ(high.X, 270);
    EXPECT_EQ(high.Y, 16);
}

TEST_F(RChartTest, SizeAndShadowStayWithinTheirLimits)
{
    chart.SetShadowWidth(40);
    EXPECT_EQ(chart.ShadowWidth(), 32);
    chart.SetShadowWidth(-1);
    EXPECT_EQ(chart.ShadowWidth(), 0);
    chart.SetBounds(0, 0, 10, 10);
    EXPECT_EQ(chart.Geometry().Width, 50 + 10 + 80);
    EXPECT_EQ(chart.Geometry().Height, 16 + 32 + 20);
    EXPECT_EQ(chart.Image().width(), 140);
}

TEST_F(RChartTest, ItemsAppearAtTheirPixelsAfterShowItems)
{
    chart.SetAutoRedraw(false);
    chart.SetUpdateSuspended(true);
    chart.ClearItems();
    chart.SetDataColor(clRed);
    chart.SetFillColor(clBlue);
    chart.AddRectangle(0.25, 0.25, 0.5, 0.5);
    chart.AddMark(0, 0.75, 0.75);
    chart.ShowItems();
    chart.SetUpdateSuspended(false);
    EXPECT_EQ(PixelAt(105, 130), clRed);   // outline corner at (0.25, 0.25)
    EXPECT_EQ(PixelAt(130, 110), clBlue);  // inside the fill
    EXPECT_EQ(PixelAt(215, 54), clRed);    // the one-pixel mark
    EXPECT_EQ(PixelAt(240, 40), clWhite);  // the plot's own colour
    if (const char* out = std::getenv("SEWELLA_CHART_PNG"))
        chart.Image().save(out);
}

TEST_F(RChartTest, WhileSuspendedNothingIsPaintedAndResumingPaintsOnce)
{
    chart.SetUpdateSuspended(true);
    chart.SetChartColor(clYellow);
    EXPECT_NE(PixelAt(200, 50), clYellow);
    chart.SetUpdateSuspended(false);
    EXPECT_EQ(PixelAt(200, 50), clYellow);
}

TEST_F(RChartTest, TheSecondStandardLayoutRowIsApplied)
{
    chart.SetStandardLayout(rcl_X2Both_Y2Both);
    EXPECT_EQ(chart.MarginLeft(), 50);
    EXPECT_EQ(chart.MarginRight(), 50);
    EXPECT_EQ(chart.MarginTop(), 48);
    EXPECT_EQ(chart.MarginBottom(), 40);
    EXPECT_TRUE(chart.Scale1X()->Visible());
    EXPECT_TRUE(chart.Scale2X()->Visible());
    EXPECT_TRUE(chart.Scale1Y()->Visible());
    EXPECT_TRUE(chart.Scale2Y()->Visible());
    EXPECT_EQ(chart.ScaleControlX(2)->ScaleType(), sctXB);  // along the top
    EXPECT_EQ(chart.ScaleControlY(2)->ScaleType(), sctYL);  // along the right
}

TEST_F(RChartTest, AJoinedLayerFollowsItsControllersRange)
{
    chart.JointLayers()->SetL02xControlledBy(1);
    chart.SetLayerRanges(1, -25, 75, 0, 1);
    EXPECT_EQ(chart.Scale2X()->RangeLow(), -25);
    EXPECT_EQ(chart.Scale2X()->RangeHigh(), 75);
    EXPECT_EQ(chart.Scale3X()->RangeLow(), 0);
    chart.SetLayerRanges(2, 5, 6, 7, 8);  // its x axis is layer 1's
    EXPECT_EQ(chart.Scale2X()->RangeLow(), -25);
    EXPECT_EQ(chart.Scale2Y()->RangeLow(), 7);
}

TEST_F(RChartTest, ARangeWithoutWidthMapsToTheMiddleInsteadOfDividingByZero)
{
    chart.SetLayerRanges(1, 3, 3, 0, 1);
    EXPECT_EQ(chart.WorldToPixel(1, 3, 0).X, 140);
    EXPECT_EQ(chart.PixelToWorld(1, 99, 0).X, 3);
}

TEST_F(RChartTest, ACrossHairIsDrawnUnlessItTouchesTheFrame)
{
    TCrossHair& hair = *chart.CrossHair1();
    hair.SetColor(clRed);
    hair.SetPosX(0.5);
    hair.SetPosY(0.5);
    hair.SetMode(chBoth);
    const PixelPosition p = chart.WorldToPixel(1, 0.5, 0.5);
    EXPECT_EQ(PixelAt(p.X, 30), clRed);
    EXPECT_EQ(PixelAt(100, p.Y), clRed);
    hair.SetPosX(0);  // on the left frame: no vertical line
    EXPECT_NE(PixelAt(50, 30), clRed);
}

TEST_F(RChartTest, SharingRefusalsAreShownAsMessages)
{
    TMessageRecorder messages;
    TRChart user, other;
    user.SetUseDataOf(&chart);
    chart.SetUseDataOf(&other);
    chart.SetUseDataOf(&chart);
    ASSERT_EQ(messages.Messages().size(), 2u);
    EXPECT_EQ(messages.Messages()[0], "RChart: Cannot use foreign data. Other RCharts are using my own data.");
    EXPECT_EQ(messages.Messages()[1], "RChart: Cannot share data with myself");
    EXPECT_EQ(user.UseDataOf(), &chart);
}

TEST_F(RChartTest, DestroyedChartsLeaveTheirSharingGroup)
{
    auto user = std::make_unique<TRChart>();
    user->SetUseDataOf(&chart);
    auto owner = std::make_unique<TRChart>();
    user.reset();
    chart.AddMark(0, 0, 0);  // would touch the destroyed user if it were still listed
    TRChart late;
    late.SetUseDataOf(owner.get());
    owner.reset();
    EXPECT_EQ(late.UseDataOf(), nullptr);
    late.AddMark(0, 0, 0);
    EXPECT_EQ(late.Items().Count, 1);
}

}  // namespace
