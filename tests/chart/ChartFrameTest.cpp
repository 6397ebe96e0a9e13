#include <gtest/gtest.h>

#include "chart/ChartFrame.h"
#include "platform/draw/Bitmap.h"

namespace {

constexpr TColor Wind = 0x102030, Shadow = 0x405060, ShadowBak = 0x708090, CaptionColor = 0x0000FF;

// 60 x 40 with margins 10, 5, 6, 8: a plot area of 45 - S by 26 - S pixels
ChartGeometry SmallGeometry(int ShadowWidth)
{
    ChartGeometry g;
    g.Width = 60;
    g.Height = 40;
    g.MarginLeft = 10;
    g.MarginRight = 5;
    g.MarginTop = 6;
    g.MarginBottom = 8;
    g.ShadowWidth = ShadowWidth;
    return g;
}

ChartFrameStyle PlainStyle(TShadowStyle ShadowStyle)
{
    ChartFrameStyle s;
    s.WindColor = Wind;
    s.ShadowColor = Shadow;
    s.ShadowBakColor = ShadowBak;
    s.ShadowStyle = ShadowStyle;
    s.Font = TFont(QStringLiteral("Liberation Sans"), 12, 0, CaptionColor);
    return s;
}

TEST(ChartFrame, WithoutAShadowTheWholeControlIsTheWindowColour)
{
    for (const TShadowStyle style : {ssFlying, ssBox}) {
        SCOPED_TRACE(int(style));
        TBitmap frame(60, 40);
        DrawChartFrame(frame.Canvas(), SmallGeometry(0), PlainStyle(style));
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x)
                ASSERT_EQ(frame.Canvas().Pixel(x, y), Wind) << x << "," << y;
    }
}

// The part the plot bitmap will cover keeps what it held; the rest is the picture drawn without the hole,
// shadow and caption included, also where the covered part reaches past the control.
TEST(ChartFrame, TheCoveredPartIsLeftAsItWasAndTheRestIsDrawnAsWithoutIt)
{
    const TRect covers[] = {{10, 6, 56, 33}, {-5, 20, 30, 70}, {0, 0, 60, 40}, {70, 0, 80, 10}, {20, 20, 20, 30}};
    ChartFrameStyle style = PlainStyle(ssBox);
    style.Caption = QStringLiteral("Wq");
    style.CaptionAnchorHoriz = cahChartLeft;
    style.CaptionPosY = 2;
    for (const TRect& cover : covers) {
        SCOPED_TRACE(testing::Message() << cover.Left << "," << cover.Top << "," << cover.Right << "," << cover.Bottom);
        TBitmap whole(60, 40), holed(60, 40);
        holed.Canvas().Brush.Color = clLime;
        holed.Canvas().FillRect({0, 0, 60, 40});
        DrawChartFrame(whole.Canvas(), SmallGeometry(3), style);
        DrawChartFrame(holed.Canvas(), SmallGeometry(3), style, cover);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x) {
                const TColor was = whole.Canvas().Pixel(x, y);
                const TColor under = was == Wind ? clLime : was;  // only the background is left out
                ASSERT_EQ(holed.Canvas().Pixel(x, y), cover.Contains(x, y) ? under : was) << x << "," << y;
            }
    }
}

TEST(ChartFrame, ShadowBandsCornersAndOutlineByStyle)
{
    // S = 3 on 60 x 40: the face's outline runs along x 0 and 57, y 0 and 37; the corner squares are
    // x 57..59 y 0..2 and x 0..2 y 37..39. A flying band starts straight S pixels in (its edge in the shadow
    // colour); a box band starts in the corner with a diagonal, and all its edges are black.
    struct Probe {
        int X, Y;
        TColor Flying, Box;
    };
    const Probe probes[] = {
        {30, 20, Wind, Wind},           // the face
        {0, 0, clBlack, clBlack},       // outline corners
        {57, 37, clBlack, clBlack},     //
        {57, 1, clBlack, clBlack},      // the outline's right edge crosses the corner square
        {0, 39, ShadowBak, ShadowBak},  // lower left corner square
        {1, 38, ShadowBak, clBlack},    // ... cut by the box band's diagonal
        {2, 39, Shadow, clBlack},       // the flying band's straight left edge; the box band's bottom edge
        {30, 38, Shadow, Shadow},       // inside the bottom band
        {30, 39, Shadow, clBlack},      // its bottom edge
        {59, 0, ShadowBak, ShadowBak},  // upper right corner square
        {58, 1, ShadowBak, clBlack},    // ... cut by the box band's diagonal
        {58, 2, Shadow, Shadow},        // the flying band's straight top edge; inside the box band
        {58, 20, Shadow, Shadow},       // inside the right band
        {59, 20, Shadow, clBlack},      // its right edge
        {59, 39, Shadow, clBlack},      // the bands' common corner
        {56, 36, Wind, Wind},           // just inside the outline
    };
    for (const TShadowStyle style : {ssFlying, ssBox}) {
        TBitmap frame(60, 40);
        DrawChartFrame(frame.Canvas(), SmallGeometry(3), PlainStyle(style));
        for (const Probe& p : probes) {
            SCOPED_TRACE(testing::Message() << (style == ssBox ? "box " : "flying ") << p.X << "," << p.Y);
            EXPECT_EQ(frame.Canvas().Pixel(p.X, p.Y), style == ssBox ? p.Box : p.Flying);
        }
    }
}

TEST(ChartFrame, CaptionAnchorsByTable)
{
    ChartGeometry g = SmallGeometry(3);
    g.Width = 61;  // plot 43 x 23: both halves are cut
    struct HorizRow {
        TCaptionAnchorHoriz Anchor;
        int X;
    };
    struct VertRow {
        TCaptionAnchorVert Anchor;
        int Y;
    };
    const HorizRow horiz[] = {
        {cahControlLeft, 0}, {cahChartLeft, 10}, {cahChartCenter, 31}, {cahChartRight, 53}, {cahControlRight, 61}};
    const VertRow vert[] = {
        {cavControlTop, 0}, {cavChartTop, 6}, {cavChartCenter, 17}, {cavChartBottom, 32}, {cavControlBottom, 40}};
    ChartFrameStyle style = PlainStyle(ssFlying);
    style.CaptionPosX = 2;
    style.CaptionPosY = -3;
    for (const HorizRow& h : horiz) {
        for (const VertRow& v : vert) {
            SCOPED_TRACE(testing::Message() << int(h.Anchor) << " " << int(v.Anchor));
            style.CaptionAnchorHoriz = h.Anchor;
            style.CaptionAnchorVert = v.Anchor;
            EXPECT_EQ(CaptionAnchorPoint(g, style), (TPoint{h.X + 2, v.Y - 3}));
        }
    }
}

TEST(ChartFrame, CentredAnchorsOfANegativePlotTruncateTowardZero)
{
    ChartGeometry g = SmallGeometry(0);
    g.MarginRight = 53;   // W = -3
    g.MarginBottom = 39;  // H = -5
    ChartFrameStyle style = PlainStyle(ssFlying);
    style.CaptionPosY = 0;
    style.CaptionAnchorHoriz = cahChartCenter;
    style.CaptionAnchorVert = cavChartCenter;
    EXPECT_EQ(CaptionAnchorPoint(g, style), (TPoint{10 - 1, 6 - 2}));
    EXPECT_EQ(AlignedTextLeft(10, 7, taCenter), 7);
    EXPECT_EQ(AlignedTextLeft(10, 7, taRightJustify), 3);
    EXPECT_EQ(AlignedTextLeft(10, 7, taLeftJustify), 10);
    EXPECT_EQ(AlignedTextLeft(-10, 7, taCenter), -13);
}

TEST(ChartFrame, CaptionIsWrittenInTheChartFontAtItsAlignedPosition)
{
    const ChartGeometry g = SmallGeometry(0);
    for (const TAlignment alignment : {taLeftJustify, taRightJustify, taCenter}) {
        SCOPED_TRACE(int(alignment));
        ChartFrameStyle style = PlainStyle(ssFlying);
        style.Caption = QStringLiteral("Hx1");
        style.CaptionAlignment = alignment;
        style.CaptionAnchorHoriz = cahChartCenter;  // x 32
        style.CaptionAnchorVert = cavChartTop;      // y 6
        style.CaptionPosY = -4;
        TBitmap frame(60, 40);
        DrawChartFrame(frame.Canvas(), g, style);

        // the same text written by hand where the alignment puts it, on the same background
        TBitmap expected(60, 40);
        TCanvas& c = expected.Canvas();
        c.Brush = {Wind, bsSolid};
        c.FillRect({0, 0, 60, 40});
        c.Font = style.Font;
        c.Brush.Style = bsClear;
        const int w = c.TextWidth(style.Caption);
        const int left = alignment == taLeftJustify ? 32 : (alignment == taRightJustify ? 32 - w : 32 - w / 2);
        c.TextOut(left, 2, style.Caption);
        EXPECT_EQ(frame.Image(), expected.Image());

        bool hasCaptionColour = false;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x)
                hasCaptionColour = hasCaptionColour || frame.Canvas().Pixel(x, y) == CaptionColor;
        EXPECT_TRUE(hasCaptionColour);
    }
}

TEST(ChartFrame, PlotFrameOutlinesThePlotBitmapBothEndsIncluded)
{
    const ChartGeometry g = SmallGeometry(0);  // W 45, H 26
    const int W = g.PlotWidth(), H = g.PlotHeight();
    TBitmap plot(W + 3, H + 3);  // a spare pixel row and column beyond the plot bitmap
    plot.Canvas().Pen.Width = 1;
    DrawPlotFrame(plot.Canvas(), g, clRed);
    for (int y = 0; y < H + 3; ++y) {
        for (int x = 0; x < W + 3; ++x) {
            const bool onFrame = (x <= W && y <= H) && (x == 0 || y == 0 || x == W || y == H);
            ASSERT_EQ(plot.Canvas().Pixel(x, y), onFrame ? clRed : clWhite) << x << "," << y;
        }
    }
    EXPECT_EQ(plot.Canvas().Pen.Color, clRed);
}

}  // namespace
