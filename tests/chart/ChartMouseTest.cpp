#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include "chart/ChartMouse.h"
#include "chart/Quarn_rchart.h"

namespace {

// --- the steps as plain arithmetic ---

TEST(ChartMouseSteps, PanMovesLinearRangesAndScalesLogarithmicOnesOrRefuses)
{
    struct Row {
        const char* name;
        RangeEnds start, present;
        bool logarithmic;
        double fraction;
        std::optional<RangeEnds> expected;
    };
    const Row rows[] = {
        {"a quarter of the plot to the right", {0, 100}, {0, 100}, false, -0.25, RangeEnds{-25, 75}},
        {"the present width sets the step", {0, 100}, {0, 200}, false, 0.5, RangeEnds{100, 200}},
        {"a mirrored axis moves the other way", {100, 0}, {100, 0}, false, 0.25, RangeEnds{75, -25}},
        {"a third of a logarithmic decade triple", {1, 1000}, {1, 1000}, true, 1.0 / 3, RangeEnds{10, 10000}},
        {"a logarithmic range stays positive", {1e-90, 1e-80}, {1e-90, 1e-80}, true, -2, std::nullopt},
        {"a logarithmic range stays finite", {1e200, 1e300}, {1e200, 1e300}, true, 1, std::nullopt},
        {"a plot of no width", {0, 100}, {0, 100}, false, INFINITY, std::nullopt},
        {"no width and no move", {0, 100}, {0, 100}, false, NAN, std::nullopt},
        {"a step that closes the range", {0, 1}, {0, 1}, false, 1e300, std::nullopt},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::optional<RangeEnds> got = PannedRange(r.start, r.present, r.logarithmic, r.fraction);
        ASSERT_EQ(got.has_value(), r.expected.has_value());
        if (got) {
            EXPECT_NEAR(got->Low, r.expected->Low, 1e-9 * std::abs(r.expected->Low) + 1e-12);
            EXPECT_NEAR(got->High, r.expected->High, 1e-9 * std::abs(r.expected->High) + 1e-12);
        }
    }
}

TEST(ChartMouseSteps, ZoomScalesAboutTheCentreAndNeverByZeroOrLess)
{
    EXPECT_EQ(ZoomedRange({0, 10}, 0.5, false), (RangeEnds{2.5, 7.5}));
    EXPECT_EQ(ZoomedRange({10, 0}, 2, false), (RangeEnds{15, -5}));
    EXPECT_EQ(ZoomedRange({0, 10}, 0, false), std::nullopt);
    EXPECT_EQ(ZoomedRange({0, 10}, -0.5, false), std::nullopt);
    EXPECT_EQ(ZoomedRange({0, 10}, NAN, false), std::nullopt);
    // widened about its centre, a logarithmic range would reach below zero
    EXPECT_EQ(ZoomedRange({1, 100}, 3, true), std::nullopt);

    const ZoomFactors right = ZoomDragFactors({100, 50}, {170, 150}, 280, 200, false);
    EXPECT_DOUBLE_EQ(right.X, 0.75);
    EXPECT_DOUBLE_EQ(right.Y, 1.5);
    EXPECT_DOUBLE_EQ(ZoomDragFactors({100, 50}, {170, 150}, 280, 200, true).Y, 0.75);
    EXPECT_TRUE(std::isnan(ZoomDragFactors({0, 0}, {5, 5}, 0, 0, false).X));
}

TEST(ChartMouseSteps, ZoomCornerStaysInThePlotAndIsSquareWhenIsometric)
{
    const ChartGeometry g;  // plot 50..270 by 16..168
    struct Row {
        QPoint start, mouse;
        bool isometric;
        QPoint corner;
    };
    const Row rows[] = {
        {{100, 50}, {300, 500}, false, {270, 168}}, {{100, 50}, {-10, -10}, false, {50, 16}},
        {{100, 50}, {140, 70}, true, {140, 90}},     // right and down
        {{100, 50}, {60, 70}, true, {60, 90}},       // left and down
        {{100, 100}, {140, 60}, true, {140, 60}},    // right and up
        {{100, 100}, {60, 60}, true, {60, 60}},      // left and up
        {{100, 150}, {150, 151}, true, {150, 168}},  // squared, then clamped
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.mouse.x() << "," << r.mouse.y());
        EXPECT_EQ(ZoomCorner(g, r.start, r.mouse, r.isometric), r.corner);
    }
    EXPECT_EQ(ZoomOutline({200, 50}, {100, 120}), QRect(QPoint(100, 50), QPoint(199, 119)));
    EXPECT_TRUE(ZoomOutline({100, 50}, {100, 120}).isEmpty());
}

// --- the chart under a mouse ---

// A chart with both axes of every layer at 0..100 and updates running; moves without a button are sent by hand
// (QTest moves the real cursor for those).
struct ChartMouseTest : ::testing::Test {
    ChartMouseTest()
    {
        chart.SetUpdateSuspended(false);
        for (int layer = 1; layer <= 3; ++layer)
            chart.SetLayerRanges(layer, 0, 100, 0, 100);
        chart.SetMouseCursorFixed(false);
        SetAppCursor(crDefault);
    }
    ~ChartMouseTest() override { SetAppCursor(crDefault); }

    void Hover(QPoint at) { Hover(chart, at); }
    static void Hover(TRChart& target, QPoint at)
    {
        QMouseEvent move(QEvent::MouseMove, at, target.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&target, &move);
    }
    // Press, a first move that marks the drag start, the moves, release at the last point.
    void Drag(QPoint from, std::vector<QPoint> moves)
    {
        QTest::mousePress(&chart, Qt::LeftButton, {}, from);
        QTest::mouseMove(&chart, from);
        for (QPoint to : moves)
            QTest::mouseMove(&chart, to);
        QTest::mouseRelease(&chart, Qt::LeftButton, {}, moves.empty() ? from : moves.back());
    }
    RangeEnds X(int layer = 1) const { return {chart.ScaleX(layer)->RangeLow(), chart.ScaleX(layer)->RangeHigh()}; }
    RangeEnds Y(int layer = 1) const { return {chart.ScaleY(layer)->RangeLow(), chart.ScaleY(layer)->RangeHigh()}; }

    TRChart chart;
    int zoomPans = 0;
};

TEST_F(ChartMouseTest, EachModeShowsItsCursorInsideThePlotAndTheDefaultOutside)
{
    struct Row {
        TMouseActMode mode;
        std::optional<TCursor> inside;  // nullopt: left as it was
    };
    const Row rows[] = {{maNone, crCross}, {maPan, crChartHand}, {maPanHoriz, crChartHand}, {maPanVert, crChartHand},
        {maRubberBand, std::nullopt}, {maZoom, std::nullopt}, {maZoomWind, crChartZoomWindow},
        {maZoomWindPos, crChartZoomPosition}, {maZoomDrag, crChartZoomDrag}, {maDragCrossH, crDefault},
        {maDragLabel, crDefault}, {maRotate, std::nullopt}, {maRotZOnly, std::nullopt}};
    for (const Row& r : rows) {
        SCOPED_TRACE(int(r.mode));
        chart.SetMouseAction(r.mode);
        chart.SetMouseCursorFixed(false);
        SetAppCursor(crHourGlass);
        Hover({150, 100});
        EXPECT_EQ(AppCursor(), r.inside.value_or(crHourGlass));
        Hover({20, 100});
        EXPECT_EQ(AppCursor(), crDefault);
        chart.SetMouseCursorFixed(true);
        SetAppCursor(crHourGlass);
        Hover({150, 100});
        EXPECT_EQ(AppCursor(), crDefault);
    }
}

TEST_F(ChartMouseTest, TheCursorsAreOurPicturesAndLeavingTheChartPutsTheDefaultBack)
{
    for (TCursor slot : {crChartHand, crChartZoomWindow, crChartZoomDrag, crChartZoomPosition}) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(CursorOf(slot).shape(), Qt::BitmapCursor);
        EXPECT_EQ(CursorOf(slot).hotSpot(), QPoint(16, 16));
    }
    chart.SetMouseAction(maPan);
    Hover({150, 100});
    ASSERT_EQ(AppCursor(), crChartHand);
    int left = 0;
    chart.OnMouseLeave = [&](QObject* sender) { left += sender == &chart; };
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&chart, &leave);
    EXPECT_EQ(AppCursor(), crDefault);
    EXPECT_EQ(left, 1);
    // a cursor the application set stays when the chart had set none
    chart.SetMouseAction(maRubberBand);
    SetAppCursor(crHourGlass);
    QApplication::sendEvent(&chart, &leave);
    EXPECT_EQ(AppCursor(), crHourGlass);
    SetAppCursor(crDefault);
    {
        TRChart gone;
        gone.SetMouseCursorFixed(false);
        gone.SetMouseAction(maZoomDrag);
        Hover(gone, {150, 100});
        ASSERT_EQ(AppCursor(), crChartZoomDrag);
    }
    EXPECT_EQ(AppCursor(), crDefault);
}

TEST_F(ChartMouseTest, TwiceSizedCursorPicturesAreDrawnNotEnlarged)
{
    for (const char* name : {"CURHAND", "CURZOOMW", "CURZOOMD", "CURZOOMP"}) {
        SCOPED_TRACE(name);
        const QImage once = CursorPicture(QLatin1String(name), 1);
        const QImage twice = CursorPicture(QLatin1String(name), 2);
        ASSERT_EQ(once.size(), QSize(32, 32));
        ASSERT_EQ(twice.size(), QSize(64, 64));
        EXPECT_EQ(twice.devicePixelRatio(), 2);
        const QImage enlarged = once.convertToFormat(QImage::Format_ARGB32).scaled(64, 64);
        EXPECT_NE(twice.convertToFormat(QImage::Format_ARGB32), enlarged);
    }
}

TEST_F(ChartMouseTest, PanningRightByAQuarterOfThePlotShiftsTheRangeDown)
{
    chart.SetMouseAction(maPan);
    chart.OnZoomPan = [&](QObject*) { ++zoomPans; };
    const int quarter = chart.Geometry().PlotWidth() / 4;  // 220 / 4 = 55
    Drag({100, 100}, {{100 + quarter, 100}});
    EXPECT_EQ(X(), (RangeEnds{-25, 75}));
    EXPECT_EQ(Y(), (RangeEnds{0, 100}));
    EXPECT_EQ(zoomPans, 1);
    EXPECT_FALSE(chart.Mouse().DragStarted());
}

TEST_F(ChartMouseTest, PanModesMoveTheirAxesLinearOrLogarithmic)
{
    const int w = chart.Geometry().PlotWidth(), h = chart.Geometry().PlotHeight();
    chart.ScaleX(1)->SetRangeLow(1);
    chart.SetLayerRanges(1, 1, 1000, 0, 100);
    chart.ScaleX(1)->SetLogarithmic(true);
    ASSERT_TRUE(chart.ScaleX(1)->Logarithmic());
    chart.SetMouseAction(maPanHoriz);
    Drag({200, 60}, {{200 - w / 2, 60 + h / 2}});  // left by half the plot: one and a half decades up
    EXPECT_NEAR(X().Low, std::sqrt(1000.0), 1e-9);
    EXPECT_NEAR(X().High, 1000 * std::sqrt(1000.0), 1e-6);
    EXPECT_EQ(Y(), (RangeEnds{0, 100}));

    chart.SetMouseAction(maPanVert);
    const RangeEnds x = X();
    Drag({200, 60}, {{100, 60 + h / 2}});  // down by half the plot: the range moves up by half
    EXPECT_EQ(X(), x);
    EXPECT_EQ(Y(), (RangeEnds{50, 150}));
}

TEST_F(ChartMouseTest, PanningOutsideThePlotWaitsAndAReleaseEndsTheDrag)
{
    chart.SetMouseAction(maPan);
    QTest::mousePress(&chart, Qt::LeftButton, {}, {100, 100});
    QTest::mouseMove(&chart, {100, 100});
    QTest::mouseMove(&chart, {20, 100});  // in the margin: no step
    EXPECT_EQ(X(), (RangeEnds{0, 100}));
    QTest::mouseMove(&chart, {155, 100});
    EXPECT_EQ(X(), (RangeEnds{-25, 75}));
    QTest::mouseRelease(&chart, Qt::LeftButton, {}, {155, 100});
    // pressed again without a move in between: a new drag, measured from its own start
    Drag({200, 100}, {{200, 100 + chart.Geometry().PlotHeight() / 4}});
    EXPECT_EQ(X(), (RangeEnds{-25, 75}));
    EXPECT_EQ(Y(), (RangeEnds{25, 125}));
}

TEST_F(ChartMouseTest, OnlyLayerOneMovesAndALayerJoinedToItFollows)
{
    chart.JointLayers()->SetL02xControlledBy(1);
    chart.SetMouseAction(maPan);
    Drag({100, 100}, {{155, 100}});
    EXPECT_EQ(X(1), (RangeEnds{-25, 75}));
    EXPECT_EQ(X(2), (RangeEnds{-25, 75}));
    EXPECT_EQ(X(3), (RangeEnds{0, 100}));
    EXPECT_TRUE(chart.Mouse().MouseEnabled(1));
    EXPECT_FALSE(chart.Mouse().MouseEnabled(2));
}

TEST_F(ChartMouseTest, PanOnAPlotOfNoWidthLeavesTheRange)
{
    chart.SetMarginLeft(270);  // W = 280 - 270 - 10 = 0
    ASSERT_EQ(chart.Geometry().PlotWidth(), 0);
    chart.SetMouseAction(maPanHoriz);
    Drag({200, 100}, {{270, 100}});
    EXPECT_EQ(X(), (RangeEnds{0, 100}));
}

TEST_F(ChartMouseTest, ZoomDragNarrowsXMovingRightAndWidensYMovingDown)
{
    chart.SetMouseAction(maZoomDrag);
    chart.OnZoomPan = [&](QObject*) { ++zoomPans; };
    Drag({100, 40}, {{170, 140}});  // 70 / 280 right, 100 / 200 down
    EXPECT_EQ(X(), (RangeEnds{12.5, 87.5}));
    EXPECT_EQ(Y(), (RangeEnds{-25, 125}));
    EXPECT_EQ(zoomPans, 1);
}

TEST_F(ChartMouseTest, ZoomDragFromOutsideNeverClosesAnAxis)
{
    chart.SetMouseAction(maZoomDrag);
    // started left of the control; the drag reaches the control's whole width: a zoom factor of 0 for x
    Drag({-20, 100}, {{260, 100}});
    EXPECT_EQ(X(), (RangeEnds{0, 100}));
    EXPECT_EQ(Y(), (RangeEnds{0, 100}));
    Drag({-100, 100}, {{260, 100}});  // beyond it: no mirrored axis either
    EXPECT_EQ(X(), (RangeEnds{0, 100}));
}

TEST_F(ChartMouseTest, ZoomWindowFromRightToLeftFollowsTheDragOrKeepsTheDirection)
{
    const QPoint start{200, 50}, end{100, 120};
    const WorldPosition a = chart.PixelToWorld(1, start.x(), start.y());
    const WorldPosition b = chart.PixelToWorld(1, end.x(), end.y());
    chart.OnZoomPan = [&](QObject*) { ++zoomPans; };
    chart.SetMouseAction(maZoomWind);
    Drag(start, {end});
    EXPECT_EQ(X(), (RangeEnds{a.X, b.X}));
    EXPECT_GT(X().Low, X().High);
    EXPECT_EQ(Y(), (RangeEnds{a.Y, b.Y}));  // drawn downwards: the upper value is RangeLow
    EXPECT_EQ(zoomPans, 1);

    chart.SetLayerRanges(1, 0, 100, 0, 100);
    chart.SetMouseAction(maZoomWindPos);
    Drag(start, {end});
    EXPECT_EQ(X(), (RangeEnds{b.X, a.X}));
    EXPECT_EQ(Y(), (RangeEnds{b.Y, a.Y}));

    chart.SetLayerRanges(1, 100, 0, 0, 100);  // a mirrored x axis stays mirrored
    const WorldPosition ma = chart.PixelToWorld(1, start.x(), start.y());
    const WorldPosition mb = chart.PixelToWorld(1, end.x(), end.y());
    Drag(start, {end});
    EXPECT_EQ(X(), (RangeEnds{mb.X, ma.X}));
    EXPECT_GT(X().Low, X().High);
}

TEST_F(ChartMouseTest, IsometricZoomRectangleIsSquare)
{
    chart.SetIsometric(true);
    chart.SetMouseAction(maZoomWind);
    QTest::mousePress(&chart, Qt::LeftButton, {}, {100, 60});
    for (QPoint to : {QPoint(150, 75), QPoint(60, 100), QPoint(130, 20)}) {
        QTest::mouseMove(&chart, to);
        const QRect r = chart.Mouse().ZoomRectangle();
        EXPECT_EQ(r.width(), r.height());
        EXPECT_FALSE(r.isEmpty());
    }
    QTest::mouseRelease(&chart, Qt::RightButton, {}, {130, 20});
    QTest::mouseRelease(&chart, Qt::LeftButton, {}, {130, 20});
}

TEST_F(ChartMouseTest, ZoomWindowIgnoresNoSizeRightCancelsMiddleChangesNothing)
{
    chart.SetMouseAction(maZoomWind);
    chart.OnZoomPan = [&](QObject*) { ++zoomPans; };
    Drag({100, 60}, {{100, 90}});  // no width
    EXPECT_EQ(X(), (RangeEnds{0, 100}));
    EXPECT_FALSE(chart.Mouse().ZoomDragging());

    QTest::mousePress(&chart, Qt::LeftButton, {}, {100, 60});
    QTest::mouseMove(&chart, {160, 90});
    QTest::mousePress(&chart, Qt::MiddleButton, {}, {160, 90});
    QTest::mouseRelease(&chart, Qt::MiddleButton, {}, {160, 90});
    EXPECT_TRUE(chart.Mouse().ZoomDragging());
    QTest::mousePress(&chart, Qt::RightButton, {}, {160, 90});
    QTest::mouseRelease(&chart, Qt::RightButton, {}, {160, 90});
    EXPECT_FALSE(chart.Mouse().ZoomDragging());
    QTest::mouseRelease(&chart, Qt::LeftButton, {}, {160, 90});
    EXPECT_EQ(X(), (RangeEnds{0, 100}));
    EXPECT_EQ(Y(), (RangeEnds{0, 100}));
    EXPECT_EQ(zoomPans, 0);

    // no window starts in the margin
    QTest::mousePress(&chart, Qt::LeftButton, {}, {20, 60});
    EXPECT_FALSE(chart.Mouse().ZoomDragging());
    QTest::mouseRelease(&chart, Qt::LeftButton, {}, {20, 60});
}

TEST_F(ChartMouseTest, ZoomRectangleIsDrawnInvertedOverThePictureAndNeverIntoIt)
{
    chart.SetMouseAction(maZoomWind);
    const QImage before = chart.Image().copy();
    QTest::mousePress(&chart, Qt::LeftButton, {}, {100, 60});
    QTest::mouseMove(&chart, {160, 100});
    const QImage shown = chart.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(chart.Image(), before);
    const auto inverted = [&](int x, int y) { return (before.pixel(x, y) ^ 0xFFFFFF) | 0xFF000000; };
    for (QPoint p : {QPoint(100, 60), QPoint(159, 60), QPoint(100, 99), QPoint(159, 99), QPoint(130, 60),
             QPoint(100, 80), QPoint(159, 80)}) {
        SCOPED_TRACE(testing::Message() << p.x() << "," << p.y());
        EXPECT_EQ(shown.pixel(p), inverted(p.x(), p.y()));
    }
    for (QPoint p : {QPoint(130, 80), QPoint(160, 100), QPoint(99, 60)})
        EXPECT_EQ(shown.pixel(p), before.pixel(p));
    QTest::mouseRelease(&chart, Qt::RightButton, {}, {160, 100});
    QTest::mouseRelease(&chart, Qt::LeftButton, {}, {160, 100});
    EXPECT_EQ(chart.grab().toImage().convertToFormat(QImage::Format_RGB32).pixel(100, 60), before.pixel(100, 60));
}

TEST_F(ChartMouseTest, CrossHairDragMovesCrossHairOneWhenAllAreOff)
{
    chart.SetMouseAction(maDragCrossH);
    int moved = 0;
    chart.OnCrossHairMove = [&](QObject*, int which) { moved = which; };
    Drag({100, 60}, {{160, 90}});
    const WorldPosition w = chart.PixelToWorld(1, 160, 90);
    EXPECT_EQ(chart.CrossHair1()->PosX(), w.X);
    EXPECT_EQ(chart.CrossHair1()->PosY(), w.Y);
    EXPECT_EQ(moved, 1);
}

TEST_F(ChartMouseTest, CrossHairDragTakesTheNearestLineInItsOwnLayer)
{
    chart.SetLayerRanges(3, 0, 10, 0, 10);
    chart.CrossHair2()->SetMode(chVert);  // layer 2: x = 50 lies at pixel 160
    chart.CrossHair2()->SetPosX(50);
    chart.CrossHair3()->SetMode(chHoriz);  // layer 3: y = 5 lies at pixel 92
    chart.CrossHair3()->SetPosY(5);
    chart.CrossHair4()->SetMode(chOff);
    chart.SetMouseAction(maDragCrossH);
    Drag({150, 91}, {{150, 120}});  // 10 pixels from crosshair 2, one from crosshair 3
    EXPECT_EQ(chart.Mouse().SelectedCrossHair(), 3);
    EXPECT_NEAR(chart.CrossHair3()->PosY(), chart.PixelToWorld(3, 150, 120).Y, 1e-12);
    EXPECT_EQ(chart.CrossHair2()->PosX(), 50);
    Drag({158, 20}, {{200, 20}});  // 2 pixels from crosshair 2, 72 from crosshair 3
    EXPECT_EQ(chart.Mouse().SelectedCrossHair(), 2);
    EXPECT_NEAR(chart.CrossHair2()->PosX(), chart.PixelToWorld(2, 200, 20).X, 1e-12);
}

TEST_F(ChartMouseTest, LabelDragTakesTheNearestShownLabelAndMovesItByItsAttachMode)
{
    struct Row {
        TTxtLblAttachMode attach;
        bool worldX, worldY;
    };
    const Row rows[] = {
        {tlamNone, false, false}, {tlamXOnly, true, false}, {tlamYOnly, false, true}, {tlamBoth, true, true}};
    chart.SetMouseAction(maDragLabel);
    TCustomTextLabel& far = *chart.TextLabel(1);
    far.SetAttachToData(tlamNone);
    far.SetPosX(260);
    far.SetPosY(160);
    far.SetMode(tlBox);
    far.SetVisible(true);
    TCustomTextLabel& label = *chart.TextLabel(7);
    chart.TextLabel(8)->SetMode(tlBox);  // invisible: never competes although nearest
    int moved = 0;
    chart.OnTextLabelMove = [&](QObject*, int which) { moved = which; };
    for (const Row& r : rows) {
        SCOPED_TRACE(int(r.attach));
        label.SetAttachToData(r.attach);
        label.SetMode(tlsimple);
        label.SetVisible(true);
        // the anchor at pixel (100, 80), given as world or pixel per axis
        const WorldPosition anchor = chart.PixelToWorld(1, 100, 80);
        label.SetPosX(r.worldX ? anchor.X : 100);
        label.SetPosY(r.worldY ? anchor.Y : 80);
        chart.TextLabel(8)->SetPosX(r.worldX ? anchor.X : 100);
        chart.TextLabel(8)->SetPosY(r.worldY ? anchor.Y : 80);
        moved = 0;
        Drag({103, 82}, {{150, 120}});
        EXPECT_EQ(chart.Mouse().SelectedTextLabel(), 7);
        EXPECT_EQ(moved, 7);
        const WorldPosition w = chart.PixelToWorld(1, 150, 120);
        EXPECT_DOUBLE_EQ(label.PosX(), r.worldX ? w.X : 150);
        EXPECT_DOUBLE_EQ(label.PosY(), r.worldY ? w.Y : 120);
        EXPECT_EQ(far.PosX(), 260);
    }
}

TEST_F(ChartMouseTest, MovesReportTheWorldPositionAndWhetherInsideThePlot)
{
    std::vector<std::pair<bool, WorldPosition>> reports;
    std::vector<QString> order;
    chart.OnMouseMove = [&](QObject*, TShiftState, int, int) { order.push_back("move"); };
    chart.OnMouseMoveInChart = [&](QObject* sender, bool inside, TShiftState shift, double x, double y) {
        EXPECT_EQ(sender, &chart);
        EXPECT_TRUE(shift.Keys.testFlag(Qt::ShiftModifier));
        order.push_back("in chart");
        reports.push_back({inside, {x, y}});
    };
    for (QPoint p : {QPoint(160, 92), QPoint(20, 92)}) {
        QMouseEvent move(QEvent::MouseMove, p, chart.mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::ShiftModifier);
        QApplication::sendEvent(&chart, &move);
    }
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_TRUE(reports[0].first);
    EXPECT_DOUBLE_EQ(reports[0].second.X, 50);
    EXPECT_DOUBLE_EQ(reports[0].second.Y, 50);
    EXPECT_FALSE(reports[1].first);
    EXPECT_DOUBLE_EQ(reports[1].second.X, chart.PixelToWorld(1, 20, 92).X);
    EXPECT_EQ(order, (std::vector<QString>{"move", "in chart", "move", "in chart"}));
}

TEST_F(ChartMouseTest, ButtonsAndEnteringReachTheApplication)
{
    std::vector<std::pair<TMouseButton, bool>> buttons;  // button, down
    int entered = 0;
    chart.OnMouseDown = [&](QObject*, TMouseButton b, TShiftState, int x, int) { buttons.push_back({b, x == 120}); };
    chart.OnMouseUp = [&](QObject*, TMouseButton b, TShiftState, int, int) { buttons.push_back({b, false}); };
    chart.OnMouseEnter = [&](QObject*) { ++entered; };
    QTest::mouseClick(&chart, Qt::RightButton, {}, {120, 50});
    QTest::mouseClick(&chart, Qt::MiddleButton, {}, {120, 50});
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), chart.mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(&chart, &enter);
    EXPECT_EQ(buttons,
        (std::vector<std::pair<TMouseButton, bool>>{
            {mbRight, true}, {mbRight, false}, {mbMiddle, true}, {mbMiddle, false}}));
    EXPECT_EQ(entered, 1);
}

TEST_F(ChartMouseTest, AFocusedChartReceivesTabAndArrowKeys)
{
    QWidget form;
    auto* edit = new QLineEdit(&form);
    chart.setParent(&form);
    chart.setFocusPolicy(Qt::StrongFocus);
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    chart.setFocus();
    ASSERT_TRUE(chart.hasFocus());
    std::vector<int> keys;
    chart.OnKeyDown = [&](QObject*, int& key, TShiftState) { keys.push_back(key); };
    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down})
        QTest::keyClick(&chart, key);
    EXPECT_EQ(keys, (std::vector<int>{Qt::Key_Tab, Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down}));
    EXPECT_TRUE(chart.hasFocus());
    EXPECT_FALSE(edit->hasFocus());
    chart.setParent(nullptr);
}

}  // namespace
