#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <vector>

#include "chart/Quarn_rchart.h"
#include "platform/draw/MessageBox.h"
#include "translate/Babelfish2000.h"

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

TEST_F(RChartTest, TheRimNamesAreSecondNamesOfTheMargins)
{
    const struct {
        const char* rim;
        int (TCustomRChart::*margin)() const;
    } rows[] = {{"LRim", &TCustomRChart::MarginLeft}, {"RRim", &TCustomRChart::MarginRight},
        {"TRim", &TCustomRChart::MarginTop}, {"BRim", &TCustomRChart::MarginBottom}};
    int value = 21;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.rim);
        ASSERT_TRUE(chart.setProperty(row.rim, ++value));
        EXPECT_EQ((chart.*row.margin)(), value);
        EXPECT_EQ(chart.property(row.rim).toInt(), value);
    }
    EXPECT_EQ(chart.Geometry().PlotWidth(), 280 - 22 - 23);
}

TEST_F(RChartTest, ANewChartHasTheListedDefaults)
{
    EXPECT_EQ(chart.WindColor(), clBtnFace);
    EXPECT_EQ(chart.ChartColor(), 0xFFFFFFu);
    EXPECT_EQ(chart.ChartFrameColor(), 0u);
    EXPECT_EQ(chart.ShadowColor(), clGrayText);
    EXPECT_EQ(chart.ShadowBakColor(), clBtnFace);
    EXPECT_EQ(chart.ShadowWidth(), 0);
    EXPECT_EQ(chart.ShadowStyle(), ssFlying);
    EXPECT_EQ(chart.GridStyle(), gsNone);
    EXPECT_EQ(chart.GridDx(), 0);
    EXPECT_EQ(chart.CaptionPosY(), -15);
    EXPECT_EQ(chart.CaptionAlignment(), taRightJustify);
    EXPECT_EQ(chart.CaptionAnchorHoriz(), cahChartRight);
    EXPECT_EQ(chart.CaptionAnchorVert(), cavChartTop);
    EXPECT_FALSE(chart.Isometric());
    EXPECT_TRUE(chart.AutoRedraw());
    EXPECT_EQ(chart.TextBkColor(), 0xFFFFFFu);
    EXPECT_EQ(chart.TextAlignment(), taCenter);
    for (int n = 1; n <= TCustomRChart::CrossHairCount; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(chart.CrossHair(n)->Mode(), chOff);
        EXPECT_EQ(chart.CrossHair(n)->Layer(), n);
        EXPECT_EQ(chart.CrossHair(n)->LineWid(), 1);
    }
    for (int n = 1; n <= TCustomRChart::TextLabelCount; ++n) {
        SCOPED_TRACE(n);
        const TCustomTextLabel& label = *chart.TextLabel(n);
        EXPECT_EQ(label.Mode(), tlOff);
        EXPECT_EQ(label.AttachToData(), tlamBoth);
        EXPECT_EQ(label.VerticalAlignment(), vaBottom);
        EXPECT_EQ(label.ShadowDx(), 3);
        EXPECT_EQ(label.ColorShadow(), 0x808080u);
        EXPECT_TRUE(label.Font() == chart.Font());
        EXPECT_TRUE(label.Caption().isEmpty());
    }
}

// Layers 5..16 keep what the chart gives them; layers 1..4 are arranged by the first layout.
TEST_F(RChartTest, EachLayerHasItsOwnAxisColourSideAndDistance)
{
    const struct {
        int layer;
        TColor color;
        TScaleType x, y;
        int xPos, yPos;
    } rows[] = {
        {1, 0x000000, sctXT, sctYR, 0, 0},
        {2, 0x000080, sctXT, sctYR, 0, 0},
        {5, 0x800000, sctXT, sctYR, 60, 100},
        {6, 0x800080, sctXB, sctYL, 60, 100},
        {10, 0x0000FF, sctXB, sctYL, 120, 200},
        {16, 0xFFFFFF, sctXB, sctYL, 210, 350},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.layer);
        EXPECT_EQ(chart.ScaleX(row.layer)->ColorScale(), row.color);
        EXPECT_EQ(chart.ScaleY(row.layer)->ColorScale(), row.color);
        EXPECT_EQ(chart.ScaleX(row.layer)->ScaleType(), row.x);
        EXPECT_EQ(chart.ScaleY(row.layer)->ScaleType(), row.y);
        EXPECT_EQ(chart.ScaleX(row.layer)->ScalePos(), row.xPos);
        EXPECT_EQ(chart.ScaleY(row.layer)->ScalePos(), row.yPos);
    }
    EXPECT_TRUE(chart.Scale1X()->Visible());
    EXPECT_TRUE(chart.Scale1Y()->Visible());
    EXPECT_FALSE(chart.Scale2Y()->Visible());
    EXPECT_EQ(chart.ScaleX(20), chart.Scale1X());
    EXPECT_EQ(chart.ScaleControlX(7)->objectName(), "RC_FScale_X_7");
}

TEST_F(RChartTest, LayersOutsideTheRangeMapThroughTheNearestLayer)
{
    chart.SetLayerRanges(16, 0, 10, 0, 10);
    const PixelPosition own = chart.WorldToPixel(16, 5, 5);
    const PixelPosition beyond = chart.WorldToPixel(17, 5, 5);
    EXPECT_EQ(beyond.X, own.X);
    EXPECT_EQ(beyond.Y, own.Y);
    EXPECT_EQ(chart.WorldToPixel(0, 1, 1).X, chart.WorldToPixel(1, 1, 1).X);
}

TEST_F(RChartTest, TheShadowDoesNotAdjustIsometricRangesButMarginsDo)
{
    chart.SetIsometric(true);
    const double high = chart.Scale1Y()->RangeHigh();
    chart.SetShadowWidth(8);
    EXPECT_EQ(chart.Scale1Y()->RangeHigh(), high);
    chart.SetMarginTop(40);
    EXPECT_LT(chart.Scale1Y()->RangeHigh(), high);
}

TEST_F(RChartTest, TurningIsometricOnSetsTheSixteenRangesWithOnePaint)
{
    chart.show();
    for (bool autoRedraw : {false, true}) {
        SCOPED_TRACE(autoRedraw);
        chart.SetIsometric(false);
        chart.SetAutoRedraw(autoRedraw);
        chart.ScaleY(16)->SetRangeHigh(1000);
        int paints = 0;
        chart.OnScalesRendered = [&paints](QObject*, TCanvas*&, int, int) { ++paints; };
        chart.SetIsometric(true);
        EXPECT_EQ(paints, 1);
        EXPECT_LT(chart.ScaleY(16)->RangeHigh(), 1000);  // the last layer was adjusted too
        chart.OnScalesRendered = nullptr;
    }
    int paints = 0;
    chart.OnScalesRendered = [&paints](QObject*, TCanvas*&, int, int) { ++paints; };
    chart.SetUpdateSuspended(true);
    chart.SetIsometric(true);
    EXPECT_EQ(paints, 0);  // suspended: the ranges change, the picture waits
}

TEST_F(RChartTest, AnIsometricPlotWithoutWidthKeepsItsRanges)
{
    chart.SetMarginLeft(chart.Geometry().Width - chart.MarginRight() + 1);  // W = -1
    ASSERT_EQ(chart.Geometry().PlotWidth(), -1);
    const double high = chart.Scale1Y()->RangeHigh();
    chart.SetIsometric(true);
    EXPECT_EQ(chart.Scale1Y()->RangeHigh(), high);
    EXPECT_TRUE(std::isfinite(chart.ScaleY(16)->RangeHigh()));
}

TEST_F(RChartTest, ARangeChangeOfTheControllerResetsBothRangesOfAJoinedLayer)
{
    chart.JointLayers()->SetL03xControlledBy(1);
    chart.JointLayers()->SetL03yControlledBy(2);
    chart.SetLayerRanges(2, 0, 1, -4, 4);
    chart.Scale3Y()->StoreRange(100, 200);  // out of step with its controller
    chart.SetLayerRanges(1, 10, 20, 0, 1);
    EXPECT_EQ(chart.Scale3X()->RangeLow(), 10);
    EXPECT_EQ(chart.Scale3Y()->RangeLow(), -4);
    EXPECT_EQ(chart.Scale3Y()->RangeHigh(), 4);
}

TEST_F(RChartTest, ReadingAFormDefersPaintAndTransformsUntilLoaded)
{
    chart.BeginLoading();
    chart.SetChartColor(clYellow);
    chart.Scale1X()->SetRangeHigh(2);
    EXPECT_EQ(chart.WorldToPixel(1, 1, 0).X, 270);  // the transform of the old range
    EXPECT_NE(PixelAt(200, 50), clYellow);
    chart.Loaded();
    EXPECT_EQ(chart.WorldToPixel(1, 1, 0).X, 160);
    EXPECT_EQ(PixelAt(200, 50), clYellow);
}

TEST_F(RChartTest, AChartShownAgainPaintsWhatWasSetWhileHidden)
{
    chart.show();
    chart.SetVisible(false);
    chart.SetChartColor(clYellow);
    chart.SetVisible(true);
    EXPECT_EQ(PixelAt(200, 50), clYellow);
}

TEST_F(RChartTest, ResizingThroughTheWidgetKeepsTheMinimumPlot)
{
    chart.resize(10, 10);  // a hidden widget takes its new size when it is shown
    chart.show();
    EXPECT_EQ(chart.Geometry().Width, 140);
    EXPECT_EQ(chart.Geometry().Height, 68);
    EXPECT_EQ(chart.width(), 140);
    EXPECT_EQ(chart.Image().width(), 140);
    chart.resize(400, 10);
    EXPECT_EQ(chart.Geometry().Width, 400);
    EXPECT_EQ(chart.height(), 68);
}

TEST_F(RChartTest, ResizingAShownChartPaintsOnce)
{
    chart.show();
    int paints = 0;
    chart.OnScalesRendered = [&paints](QObject*, TCanvas*&, int, int) { ++paints; };
    chart.SetBounds(0, 0, 300, 220);
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(chart.Image().width(), 300);
}

TEST_F(RChartTest, ClearingRepaintsThePlotBackgroundFirst)
{
    chart.SetAutoRedraw(false);
    chart.SetUpdateSuspended(true);
    chart.BackGroundImg()->SetName(QStringLiteral("no-such-picture.bmp"));
    ASSERT_FALSE(chart.BackGroundImg()->Name().isEmpty());
    chart.ClearItems();  // the background step tries the picture once and forgets its name
    EXPECT_TRUE(chart.BackGroundImg()->Name().isEmpty());
}

TEST_F(RChartTest, AutoRedrawShowsItemsAndLabelChangesAtOnce)
{
    chart.AddMark(0, 0.5, 0.5);
    chart.SetDataColor(clRed);
    chart.AddMark(0, 0.25, 0.25);
    chart.ShowItems();
    const PixelPosition mark = chart.WorldToPixel(1, 0.25, 0.25);
    EXPECT_EQ(PixelAt(mark.X, mark.Y), clRed);
    TCustomTextLabel& label = *chart.TextLabel(1);
    label.SetCaption(QStringLiteral("label"));
    label.SetColorBkg(clBlue);
    label.SetPosX(0.5);
    label.SetPosY(0.5);
    label.SetVisible(true);
    label.SetMode(tlBox);  // the last change paints the box
    const PixelPosition anchor = chart.WorldToPixel(1, 0.5, 0.5);
    EXPECT_EQ(PixelAt(anchor.X, anchor.Y - 3), clBlue);
}

// The render events hand over the plot canvas with the plot's place in the control; a canvas handed back is
// drawn on up to the plot frame.
TEST_F(RChartTest, RenderEventsGetThePlotPlaceAndMayReplaceTheCanvas)
{
    TBitmap other(chart.Geometry().PlotWidth() + 1, chart.Geometry().PlotHeight() + 1);
    int top = -1, left = -1, scalesTop = -1;
    TCanvas* seenAfter = nullptr;
    chart.OnScalesRendered = [&](QObject*, TCanvas*&, int Top, int) { scalesTop = Top; };
    chart.OnBeforeRenderData = [&](QObject*, TCanvas*& Canvas, int Top, int Left) {
        top = Top;
        left = Left;
        Canvas = &other.Canvas();
    };
    chart.OnDataRendered = [&](QObject*, TCanvas*& Canvas, int, int) { seenAfter = Canvas; };
    chart.SetDataColor(clRed);
    chart.AddMark(0, 0.5, 0.5);
    chart.Paint();
    EXPECT_EQ(top, 16);
    EXPECT_EQ(left, 50);
    EXPECT_EQ(scalesTop, 0);
    EXPECT_EQ(seenAfter, &other.Canvas());
    const PixelPosition p = chart.WorldToPixel(1, 0.5, 0.5);
    EXPECT_EQ(other.Canvas().Pixel(p.X - 50, p.Y - 16), clRed);
    EXPECT_EQ(other.Canvas().Pixel(0, 0), 0u);  // the plot frame
    EXPECT_EQ(PixelAt(p.X, p.Y), clWhite);
}

TEST_F(RChartTest, TheGridKeepsTheTicksAHiddenAxisDrewLast)
{
    chart.SetGridStyle(gsVertLines);
    chart.SetGridColor(clRed);
    chart.Scale1X()->SetVisible(true);  // 0 to 1: lines every 0.05, at the short ticks
    const std::vector<double> drawn = chart.ScaleControlX(1)->LastTicks().list;
    ASSERT_GT(drawn.size(), 2u);
    chart.Scale1X()->SetVisible(false);
    chart.Scale1X()->SetRangeHigh(2);  // a painted axis would now tick every 0.1
    EXPECT_EQ(chart.ScaleControlX(1)->LastTicks().list, drawn);
    const auto column = [&](double x) { return chart.WorldToPixel(1, x, 0.5); };
    EXPECT_EQ(PixelAt(column(0.05).X, column(0.05).Y), clRed);
    EXPECT_NE(PixelAt(column(1.1).X, column(1.1).Y), clRed);
}

TEST_F(RChartTest, TheAxisCaptionsOfAChartAreTranslated)
{
    QWidget form;
    auto* owned = new TRChart(&form);
    owned->Scale1X()->SetCaption(QStringLiteral("BF_Time"));
    owned->ScaleY(9)->SetCaption(QStringLiteral("BF_Time"));
    owned->Scale2Y()->SetScaleInscript(QStringLiteral("BF_Time"));
    TBabelfish2000 dictionary;
    std::istringstream records("[time]=Zeit|$$");
    ASSERT_TRUE(dictionary.LoadFromStream(records));
    dictionary.TranslateComponent(&form);
    EXPECT_EQ(owned->Scale1X()->Caption(), "Zeit");
    EXPECT_EQ(owned->ScaleY(9)->Caption(), "Zeit");
    EXPECT_EQ(owned->Scale2Y()->ScaleInscript(), "Zeit");
    EXPECT_EQ(owned->ScaleControlX(1)->Caption(), "Zeit");  // the axis shows the new text
}

// Every look of the chart keeps its plot frame; with SEWELLA_CHART_PNG_DIR set the pictures are saved for a look.
TEST(RChartPictures, EveryLayoutShadowAndGridKeepsThePlotFrame)
{
    const char* dir = std::getenv("SEWELLA_CHART_PNG_DIR");
    const auto check = [dir](TCustomRChart& chart, const QString& name) {
        SCOPED_TRACE(name.toStdString());
        chart.SetUpdateSuspended(false);
        chart.Paint();
        const ChartGeometry& g = chart.Geometry();
        const QImage& image = chart.Image();
        for (const QPoint corner : {QPoint(g.MarginLeft, g.MarginTop),
                 QPoint(g.MarginLeft + g.PlotWidth(), g.MarginTop), QPoint(g.MarginLeft, g.MarginTop + g.PlotHeight()),
                 QPoint(g.MarginLeft + g.PlotWidth(), g.MarginTop + g.PlotHeight())})
            EXPECT_EQ(image.pixel(corner) & 0xFFFFFF, 0u) << corner.x() << "," << corner.y();
        if (dir)
            image.save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
    };
    const auto fill = [](TCustomRChart& chart) {
        chart.SetDataColor(clRed);
        chart.SetFillColor(clYellow);
        chart.AddRectangle(0.1, 0.1, 0.4, 0.3);
        chart.SetDataColor(clBlue);
        for (int k = 0; k <= 10; ++k)
            chart.AddMark(std::uint8_t(7 + k % 3), k / 10.0, k * k / 100.0);
        chart.AddText(10, QStringLiteral("text"), 0.7, 0.5);
    };
    {
        TRChart chart;
        fill(chart);
        check(chart, QStringLiteral("default"));
    }
    for (const TShadowStyle style : {ssFlying, ssBox}) {
        TRChart chart;
        chart.SetShadowWidth(8);
        chart.SetShadowStyle(style);
        chart.SetCaption(QStringLiteral("Caption"));
        fill(chart);
        check(chart, QStringLiteral("shadow%1").arg(int(style)));
    }
    for (int style = gsPoints; style <= gsDotLines; ++style) {
        TRChart chart;
        chart.SetGridStyle(TGridStyle(style));
        chart.SetGridColor(clGray);
        chart.SetGridDx(0.1);
        chart.SetGridDy(0.1);
        check(chart, QStringLiteral("grid%1").arg(style));
    }
    for (int layout = rcl_X1Bottom_Y1Left; layout <= rcl_X2Both_Y2Both; ++layout) {
        TRChart chart;
        chart.SetBounds(0, 0, 480, 320);
        chart.SetStandardLayout(TrcLayout(layout));
        chart.SetCaption(QStringLiteral("Layout %1").arg(layout));
        for (int n = 1; n <= 4; ++n) {
            chart.ScaleX(n)->SetCaption(QStringLiteral("X%1").arg(n));
            chart.ScaleY(n)->SetCaption(QStringLiteral("Y%1").arg(n));
        }
        fill(chart);
        check(chart, QStringLiteral("layout%1").arg(layout));
    }
}

}  // namespace
