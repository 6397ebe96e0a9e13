#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>
#include <QTemporaryDir>

#include "platform/draw/Bitmap.h"
#include "platform/draw/Canvas.h"
#include "platform/draw/PixelRasterizer.h"
#include "platform/draw/TextStamp.h"

namespace {

constexpr TColor kBack = clWhite;

class CanvasTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        bmp.SetSize(20, 20);
        c().RestoreState(TCanvasState{});
        c().Brush.Color = kBack;
        c().FillRect({0, 0, 20, 20});
    }
    TCanvas& c() { return bmp.Canvas(); }

    // Every pixel of the bitmap whose colour differs from the background, as "x,y" rows.
    std::vector<TPoint> Painted() const
    {
        std::vector<TPoint> out;
        for (int y = 0; y < bmp.Height(); ++y)
            for (int x = 0; x < bmp.Width(); ++x)
                if (bmp.Canvas().Pixel(x, y) != kBack)
                    out.push_back({x, y});
        return out;
    }
    TRect PaintedBounds() const
    {
        const auto pts = Painted();
        if (pts.empty())
            return {};
        TRect r{pts[0].X, pts[0].Y, pts[0].X + 1, pts[0].Y + 1};
        for (const TPoint& p : pts)
            r = {std::min(r.Left, p.X), std::min(r.Top, p.Y), std::max(r.Right, p.X + 1), std::max(r.Bottom, p.Y + 1)};
        return r;
    }

    TBitmap bmp;
};

// The picture of the bitmap's top-left corner: '.' background, 'R' red, 'B' blue, '?' anything else.
std::vector<std::string> Picture(const TCanvas& canvas, int width, int height)
{
    std::vector<std::string> rows;
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            const TColor p = canvas.Pixel(x, y);
            row += p == kBack ? '.' : p == clRed ? 'R' : p == clBlue ? 'B' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

TEST_F(CanvasTest, RectangleOutlinesWithThePenAndFillsWithTheBrushInsideItsBox)
{
    struct Row {
        const char* name;
        TPen pen;
        TBrushStyle brush;
        TRect box;
        std::vector<std::string> picture;
    } rows[] = {
        {"right and bottom excluded", {clRed}, bsSolid, {1, 1, 6, 5},
            {".......", ".RRRRR.", ".RBBBR.", ".RBBBR.", ".RRRRR.", "......."}},
        {"clear brush, corners reversed", {clRed}, bsClear, {6, 5, 1, 1},
            {".......", ".RRRRR.", ".R...R.", ".R...R.", ".RRRRR.", "......."}},
        {"clear pen fills the whole box", {clRed, 1, psClear}, bsSolid, {1, 1, 4, 3},
            {".......", ".BBB...", ".BBB...", ".......", ".......", "......."}},
        {"one pixel", {clRed}, bsSolid, {2, 2, 3, 3},
            {".......", ".......", "..R....", ".......", ".......", "......."}},
        {"one row", {clRed}, bsSolid, {1, 2, 6, 3}, {".......", ".......", ".RRRRR.", ".......", ".......", "......."}},
        {"empty", {clRed}, bsSolid, {3, 1, 3, 5}, {".......", ".......", ".......", ".......", ".......", "......."}},
        {"wide inside frame", {clRed, 2, psInsideFrame}, bsSolid, {0, 0, 7, 6},
            {"RRRRRRR", "RRRRRRR", "RRBBBRR", "RRBBBRR", "RRRRRRR", "RRRRRRR"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        SetUp();
        c().Pen = r.pen;
        c().Brush = {clBlue, r.brush};
        c().Rectangle(r.box);
        EXPECT_EQ(Picture(c(), 7, 6), r.picture);
        EXPECT_EQ(PaintedBounds(), PaintedBounds().Intersected({0, 0, 7, 6}));
    }
}

// Under xor each pixel of the box is combined with what is there exactly once: the inside with the
// brush colour, the edge with the pen colour (a clear pen: the whole box with the brush colour).
TEST_F(CanvasTest, XorRectangleCombinesFillAndOutlineWithTheBackgroundOnce)
{
    struct Row {
        const char* name;
        TPenStyle pen;
        TPenMode mode;
        TRect box;
    } rows[] = {
        {"outline and fill", psSolid, pmXor, {2, 3, 11, 9}},
        {"not xor", psSolid, pmNotXor, {2, 3, 11, 9}},
        {"clear pen", psClear, pmXor, {4, 1, 9, 7}},
        {"inside frame", psInsideFrame, pmXor, {3, 3, 6, 6}},
        {"two by two", psSolid, pmXor, {5, 5, 7, 7}},
        {"one row", psSolid, pmXor, {1, 10, 8, 11}},
        {"over the corner", psSolid, pmXor, {-3, 14, 6, 25}},
    };
    auto background = [](int x, int y) { return TColor((x * 37 + y * 91) * 0x010305 & 0xFFFFFF); };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        SetUp();
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                c().SetPixel(x, y, background(x, y));
        c().Pen = {clRed, 1, r.pen, r.mode};
        c().Brush = {clBlue, bsSolid};
        c().Rectangle(r.box);
        const TRect inner{r.box.Left + 1, r.box.Top + 1, r.box.Right - 1, r.box.Bottom - 1};
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                TColor want = background(x, y);
                if (r.box.Contains(x, y)) {
                    const TColor by = r.pen == psClear || inner.Contains(x, y) ? clBlue : clRed;
                    want = r.mode == pmXor ? want ^ by : ~(want ^ by) & 0xFFFFFF;
                }
                ASSERT_EQ(c().Pixel(x, y), want) << x << "," << y;
            }
    }
}

// In copy mode a box is written row by row in one pass; every size and every cut by the picture's edges or
// the clip must leave the same pixels as the fill and the four edges one after the other.
TEST_F(CanvasTest, CopyRectangleOfEverySizeAndCutHasItsEdgesInThePenAndItsInsideInTheBrush)
{
    const TRect boxes[] = {{5, 5, 6, 6}, {5, 5, 6, 11}, {5, 5, 12, 6}, {5, 5, 7, 7}, {5, 5, 7, 10}, {5, 5, 8, 8},
        {3, 4, 13, 11}, {-4, 2, 6, 9}, {14, -3, 25, 8}, {2, 15, 9, 26}, {-2, -2, 22, 22}, {11, 9, 10, 8}};
    const std::optional<TRect> clips[] = {std::nullopt, TRect{4, 6, 12, 10}};
    auto background = [](int x, int y) { return TColor((x * 37 + y * 91) * 0x010305 & 0xFFFFFF); };
    for (const TRect& box : boxes)
        for (const std::optional<TRect>& clip : clips)
            for (TBrushStyle brush : {bsSolid, bsClear}) {
                SCOPED_TRACE(testing::Message() << box.Left << "," << box.Top << "," << box.Right << "," << box.Bottom
                                                << (clip ? " clipped" : "") << (brush ? " clear" : ""));
                SetUp();
                for (int y = 0; y < 20; ++y)
                    for (int x = 0; x < 20; ++x)
                        c().SetPixel(x, y, background(x, y));
                if (clip)
                    c().SetClipRect(*clip);
                c().Pen = {clRed, 1, psSolid, pmCopy};
                c().Brush = {clBlue, brush};
                c().Rectangle(box);
                c().ClearClipRect();
                const TRect b = box.Normalized();
                const TRect inner{b.Left + 1, b.Top + 1, b.Right - 1, b.Bottom - 1};
                for (int y = 0; y < 20; ++y)
                    for (int x = 0; x < 20; ++x) {
                        TColor want = background(x, y);
                        if (b.Contains(x, y) && (!clip || clip->Contains(x, y)))
                            want = !inner.Contains(x, y) ? clRed : (brush == bsSolid ? clBlue : want);
                        ASSERT_EQ(c().Pixel(x, y), want) << x << "," << y;
                    }
            }
}

// Runs are written in stores of several pixels: every length and start must set exactly its own pixels,
// whatever lies to either side.
TEST(PixelFill, EveryRunSetsExactlyItsPixels)
{
    constexpr QRgb Guard = 0x12345678u, Ink = 0xFF00FF00u;
    for (int start = 0; start < 4; ++start)
        for (int n = 0; n <= 70; ++n) {
            std::vector<QRgb> line(80, Guard);
            PixelRaster::FillPixels(line.data() + start, n, Ink);
            for (int i = 0; i < int(line.size()); ++i)
                ASSERT_EQ(line[std::size_t(i)], i >= start && i < start + n ? Ink : Guard)
                    << "start " << start << " length " << n << " pixel " << i;
        }
}

TEST_F(CanvasTest, FillRectUsesTheBrushOnlyAndIgnoresThePenMode)
{
    c().Pen.Color = clRed;
    c().Pen.Mode = pmXor;
    c().Brush.Color = clBlue;
    c().FillRect({3, 3, 6, 5});
    c().FillRect({3, 3, 6, 5});
    EXPECT_EQ(PaintedBounds(), (TRect{3, 3, 6, 5}));
    for (const TPoint& p : Painted())
        EXPECT_EQ(c().Pixel(p.X, p.Y), clBlue);
    c().Brush.Style = bsClear;
    c().FillRect({10, 10, 12, 12});
    EXPECT_EQ(c().Pixel(10, 10), kBack);
}

TEST_F(CanvasTest, LineLeavesOutItsEndPointWhichBecomesTheCurrentPoint)
{
    struct Row {
        const char* name;
        TPoint from, to;
        std::size_t pixels;
        TPenStyle style = psSolid;
    } rows[] = {
        {"horizontal", {2, 5}, {8, 5}, 6},
        {"vertical up", {4, 12}, {4, 3}, 9},
        {"diagonal", {1, 1}, {6, 6}, 5},
        {"steep", {10, 0}, {12, 9}, 9},
        {"zero length", {7, 7}, {7, 7}, 0},
        {"clear pen", {0, 0}, {10, 10}, 0, psClear},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        SetUp();
        c().Pen.Color = clBlack;
        c().Pen.Style = r.style;
        c().MoveTo(r.from.X, r.from.Y);
        c().LineTo(r.to.X, r.to.Y);
        EXPECT_EQ(Painted().size(), r.pixels);
        EXPECT_EQ(c().Pixel(r.to.X, r.to.Y), kBack);
        if (r.pixels > 0) {
            EXPECT_EQ(c().Pixel(r.from.X, r.from.Y), clBlack);
        }
        EXPECT_EQ(c().PenPos(), r.to);
    }
}

TEST_F(CanvasTest, PolylineSegmentsMeetWithoutGapsOrOverlapAndLeaveTheCurrentPoint)
{
    c().Pen.Mode = pmXor;
    c().Pen.Color = clWhite;  // xor with white turns the background black
    c().MoveTo(15, 15);
    c().Polyline({{2, 2}, {10, 2}, {10, 8}, {2, 8}, {2, 2}});
    const auto pts = Painted();
    EXPECT_EQ(pts.size(), 28u);  // each perimeter pixel exactly once
    for (const TPoint& p : pts)
        EXPECT_EQ(c().Pixel(p.X, p.Y), clBlack);
    EXPECT_EQ(c().PenPos(), (TPoint{15, 15}));
}

TEST_F(CanvasTest, XorModeDrawnTwiceRestoresThePicture)
{
    c().Pen.Mode = pmXor;
    c().Pen.Color = clWhite;
    c().Brush.Style = bsClear;
    c().Rectangle(3, 3, 12, 10);
    EXPECT_EQ(PaintedBounds(), (TRect{3, 3, 12, 10}));
    c().Rectangle(3, 3, 12, 10);
    EXPECT_TRUE(Painted().empty());
    c().Ellipse(2, 3, 17, 12);
    EXPECT_EQ(PaintedBounds(), (TRect{2, 3, 17, 12}));
    c().Ellipse(2, 3, 17, 12);
    EXPECT_TRUE(Painted().empty());
}

TEST_F(CanvasTest, DashStylesFollowTheClassicPatternsWithGapsInTheBrushColour)
{
    struct Row {
        TPenStyle style;
        const char* pattern;  // '#' on, '.' off, from the start point
    } rows[] = {
        {psDot, "###...###...###...###...##"},
        {psDash, "##################......##"},
        {psDashDot, "#########......###......##"},
        {psDashDotDot, "#########...###...###...##"},
        {psSolid, "##########################"},
        {psInsideFrame, "##########################"},
    };
    for (const Row& r : rows)
        for (TBrushStyle brush : {bsClear, bsSolid}) {
            SCOPED_TRACE(::testing::Message() << "style " << int(r.style) << " brush " << int(brush));
            SetUp();
            const int n = int(std::strlen(r.pattern));
            bmp.SetSize(n + 2, 3);
            c().FillRect({0, 0, n + 2, 3});
            c().Pen.Style = r.style;
            c().Brush = {clYellow, brush};
            c().MoveTo(0, 1);
            c().LineTo(n, 1);
            const TColor gap = brush == bsSolid ? clYellow : kBack;
            for (int x = 0; x < n; ++x)
                EXPECT_EQ(c().Pixel(x, 1), r.pattern[x] == '#' ? clBlack : gap) << "x = " << x;
            EXPECT_EQ(c().Pixel(n, 1), kBack);
        }
}

TEST_F(CanvasTest, WidePenDrawsAThickLine)
{
    c().Pen.Width = 3;
    c().MoveTo(5, 10);
    c().LineTo(15, 10);
    EXPECT_EQ(c().Pixel(10, 9), clBlack);
    EXPECT_EQ(c().Pixel(10, 10), clBlack);
    EXPECT_EQ(c().Pixel(10, 11), clBlack);
    EXPECT_EQ(c().Pixel(10, 13), kBack);
}

TEST_F(CanvasTest, PolygonIsClosedAndFilledWithTheBrush)
{
    c().Pen.Color = clRed;
    c().Brush.Color = clBlue;
    // the filled diamond of the chart marks, n = 3, centred on (10, 10)
    c().Polygon({{7, 10}, {10, 13}, {13, 10}, {10, 7}});
    EXPECT_EQ(PaintedBounds(), (TRect{7, 7, 14, 14}));
    EXPECT_EQ(c().Pixel(7, 10), clRed);
    EXPECT_EQ(c().Pixel(10, 7), clRed);
    EXPECT_EQ(c().Pixel(10, 10), clBlue);
    EXPECT_EQ(c().Pixel(8, 8), kBack);
}

TEST_F(CanvasTest, EllipseStaysInItsBoxAndTouchesEverySide)
{
    for (TBrushStyle brush : {bsSolid, bsClear})
        for (TPenStyle pen : {psSolid, psClear, psDot})
            for (int w = 1; w <= 13; ++w)
                for (int h : {1, 2, 3, 4, 5, 7, 8, 12}) {
                    if (pen == psClear && brush == bsClear)
                        continue;
                    SCOPED_TRACE(
                        ::testing::Message() << w << " x " << h << " brush " << int(brush) << " pen " << int(pen));
                    SetUp();
                    c().Pen.Style = pen;
                    c().Brush.Style = brush;
                    c().Brush.Color = clBlue;
                    c().Ellipse(3, 4, 3 + w, 4 + h);
                    if (pen == psDot) {
                        // gaps may fall on an edge; the outline still stays inside
                        const TRect b = PaintedBounds();
                        EXPECT_EQ(b.Intersected({3, 4, 3 + w, 4 + h}), b);
                    } else {
                        EXPECT_EQ(PaintedBounds(), (TRect{3, 4, 3 + w, 4 + h}));
                    }
                }
}

TEST_F(CanvasTest, SmallCirclesOfTheChartMarksAreRound)
{
    c().Pen.Color = clRed;
    c().Brush.Color = clBlue;
    c().Ellipse(1, 1, 6, 6);  // mark 16 and 26: (x-2, y-2, x+3, y+3)
    const char* expected[] = {
        ".###.",
        "#ooo#",
        "#ooo#",
        "#ooo#",
        ".###.",
    };
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const TColor want = expected[y][x] == '#' ? clRed : expected[y][x] == 'o' ? clBlue : kBack;
            EXPECT_EQ(c().Pixel(x + 1, y + 1), want) << x << "," << y;
        }
}

TEST_F(CanvasTest, DottedEllipseOutlineAlternatesPenAndBrushColours)
{
    c().Pen.Style = psDot;
    c().Brush.Color = clYellow;
    c().Ellipse(0, 0, 20, 20);
    int pen = 0;
    int gap = 0;
    for (int x = 0; x < 20; ++x) {
        pen += c().Pixel(x, 0) == clBlack;
        gap += c().Pixel(x, 0) == clYellow;
    }
    EXPECT_GT(pen, 0);
    EXPECT_GT(gap, 0);
    EXPECT_EQ(c().Pixel(10, 10), clYellow);
}

TEST_F(CanvasTest, TrianglesOfTheChartMarksFillExactlyTheirVertexBox)
{
    struct Row {
        TPoint a, b, c;
    } rows[] = {
        {{7, 10}, {10, 13}, {13, 10}},  // 30: pointing down
        {{6, 7}, {10, 14}, {14, 7}},    // 34
        {{6, 13}, {10, 6}, {14, 13}},   // 36: pointing up
        {{13, 8}, {8, 10}, {13, 12}},   // 41: pointing left
        {{6, 7}, {13, 10}, {6, 13}},    // 47: pointing right
    };
    for (TBrushStyle brush : {bsSolid, bsClear})
        for (const Row& r : rows) {
            SCOPED_TRACE(::testing::Message() << r.a.X << "," << r.a.Y << " brush " << int(brush));
            SetUp();
            c().Brush.Style = brush;
            c().Brush.Color = clBlue;
            c().Polygon({r.a, r.b, r.c});
            const int l = std::min({r.a.X, r.b.X, r.c.X});
            const int t = std::min({r.a.Y, r.b.Y, r.c.Y});
            const int rt = std::max({r.a.X, r.b.X, r.c.X}) + 1;
            const int bt = std::max({r.a.Y, r.b.Y, r.c.Y}) + 1;
            EXPECT_EQ(PaintedBounds(), (TRect{l, t, rt, bt}));
            for (const TPoint& v : {r.a, r.b, r.c})
                EXPECT_EQ(c().Pixel(v.X, v.Y), clBlack);
        }
}

TEST_F(CanvasTest, PixelsOutsideTheBitmapReadInvalidAndWritesAreIgnored)
{
    c().SetPixel(-1, 3, clRed);
    c().SetPixel(20, 3, clRed);
    c().SetPixel(3, 3, clRed);
    EXPECT_EQ(Painted(), (std::vector<TPoint>{{3, 3}}));
    EXPECT_EQ(c().Pixel(3, 3), clRed);
    EXPECT_EQ(c().Pixel(-1, 0), TCanvas::InvalidPixel);
    EXPECT_EQ(c().Pixel(0, 20), TCanvas::InvalidPixel);
}

TEST_F(CanvasTest, DrawingFarOutsideTheBitmapIsClippedQuickly)
{
    c().Brush.Style = bsClear;
    c().Ellipse(-30000, -30000, 30000, 30000);
    c().Rectangle(-5, -5, 25, 25);
    c().MoveTo(-2147483647, 10);
    c().LineTo(2147483647, 10);
    c().MoveTo(3, -2000000000);
    c().LineTo(3, 2000000000);
    EXPECT_EQ(c().Pixel(0, 10), clBlack);
    EXPECT_EQ(c().Pixel(19, 10), clBlack);
    EXPECT_EQ(c().Pixel(3, 0), clBlack);
    EXPECT_EQ(c().Pixel(3, 19), clBlack);
    EXPECT_EQ(c().Pixel(10, 5), kBack);
}

TEST_F(CanvasTest, ClippedLinesKeepTheirPixelsAndDashPhase)
{
    // the same line drawn whole on a wide bitmap and clipped on this one
    struct Row {
        TPoint from, to;
        TPenStyle style;
    } rows[] = {
        {{-37, -11}, {55, 29}, psSolid},
        {{50, 3}, {-41, 17}, psDashDot},
        {{4, -60}, {13, 70}, psDot},
        {{-7, 25}, {25, -9}, psDash},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(int(r.style));
        SetUp();
        TBitmap wide(200, 200);
        wide.Canvas().Pen.Style = r.style;
        wide.Canvas().Brush.Style = bsClear;
        wide.Canvas().MoveTo(r.from.X + 100, r.from.Y + 100);
        wide.Canvas().LineTo(r.to.X + 100, r.to.Y + 100);
        c().Pen.Style = r.style;
        c().Brush.Style = bsClear;
        c().MoveTo(r.from.X, r.from.Y);
        c().LineTo(r.to.X, r.to.Y);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                ASSERT_EQ(c().Pixel(x, y), wide.Canvas().Pixel(x + 100, y + 100)) << x << "," << y;
    }
}

// A dashed outline that comes into view part-way through its pattern, after segments that lie
// wholly or partly outside the bitmap or the clip, shows the dashes of the same outline drawn whole.
TEST_F(CanvasTest, DashPhaseRunsOnThroughClippedSegmentsAndCorners)
{
    struct Row {
        const char* name;
        std::optional<TRect> clip;
        TPenStyle style;
    } rows[] = {
        {"bitmap edge, dash-dot", std::nullopt, psDashDot},
        {"bitmap edge, dash-dot-dot", std::nullopt, psDashDotDot},
        {"clip rect, dash", TRect{3, 2, 17, 16}, psDash},
        {"clip rect, dash-dot", TRect{5, 4, 13, 15}, psDashDot},
    };
    const std::vector<TPoint> path{{-30, 3}, {-5, 3}, {-5, 12}, {14, 12}, {14, -6}, {40, 10}, {-8, 17}};
    auto draw = [&](TCanvas& canvas, int offset, const Row& r) {
        canvas.Pen.Style = r.style;
        canvas.Brush = {clYellow, bsSolid};  // gaps show too, so a shifted pattern cannot hide
        std::vector<TPoint> moved;
        for (const TPoint& p : path)
            moved.push_back({p.X + offset, p.Y + offset});
        canvas.Polyline(moved);
        canvas.Brush.Style = bsClear;
        canvas.Rectangle(-6 + offset, 4 + offset, 26 + offset, 12 + offset);
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        SetUp();
        TBitmap whole(200, 200);
        draw(whole.Canvas(), 100, r);
        if (r.clip)
            c().SetClipRect(*r.clip);
        draw(c(), 0, r);
        const TRect visible = r.clip.value_or(TRect{0, 0, 20, 20});
        int dashes = 0;
        int gaps = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                const TColor want = visible.Contains(x, y) ? whole.Canvas().Pixel(x + 100, y + 100) : kBack;
                ASSERT_EQ(c().Pixel(x, y), want) << x << "," << y;
                dashes += want == clBlack;
                gaps += want == clYellow;
            }
        EXPECT_GT(dashes, 3);
        EXPECT_GT(gaps, 3);
    }
}

TEST_F(CanvasTest, ClipRectLimitsEveryPrimitive)
{
    c().SetClipRect({5, 5, 10, 10});
    c().Brush.Color = clBlue;
    c().Rectangle(0, 0, 20, 20);
    c().MoveTo(0, 7);
    c().LineTo(20, 7);
    c().Ellipse(0, 0, 20, 20);
    c().SetPixel(2, 2, clRed);
    EXPECT_EQ(PaintedBounds(), (TRect{5, 5, 10, 10}));
    c().ClearClipRect();
    c().SetPixel(2, 2, clRed);
    EXPECT_EQ(c().Pixel(2, 2), clRed);
}

TEST_F(CanvasTest, SaverRestoresPenBrushFontAndClip)
{
    c().Pen.Color = clRed;
    c().Brush.Style = bsClear;
    c().Font.SetHeight(20);
    {
        TCanvasSaver saver(c());
        c().Pen = TPen{clBlue, 4, psDot, pmXor};
        c().Brush = TBrush{clGreen, bsSolid};
        c().Font.SetName(QStringLiteral("Courier New"));
        c().SetClipRect({0, 0, 1, 1});
    }
    EXPECT_EQ(c().Pen, (TPen{clRed, 1, psSolid, pmCopy}));
    EXPECT_EQ(c().Brush.Style, bsClear);
    EXPECT_EQ(c().Font.Name(), QStringLiteral("Arial"));
    EXPECT_EQ(c().Font.Height(), 20);
    EXPECT_FALSE(c().ClipRect().has_value());
}

class CanvasTextTest : public CanvasTest {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        bmp.SetSize(120, 40);
        c().Brush.Color = kBack;
        c().FillRect({0, 0, 120, 40});
        c().Font.SetName(QStringLiteral("Arial"));
        c().Font.SetHeight(13);
    }
};

TEST_F(CanvasTextTest, TextMeasuresFromTheFontMetrics)
{
    const int h = c().TextHeight(QStringLiteral("0"));
    EXPECT_GE(h, 13);
    EXPECT_LE(h, 17);
    EXPECT_EQ(c().TextHeight(QString()), h);
    EXPECT_EQ(c().TextWidth(QString()), 0);
    EXPECT_GT(c().TextWidth(QStringLiteral("WWW")), c().TextWidth(QStringLiteral("iii")));
    EXPECT_EQ(c().TextWidth(QStringLiteral("00")), 2 * c().TextWidth(QStringLiteral("0")));
    EXPECT_EQ(c().TextExtent(QStringLiteral("12")), (TPoint{c().TextWidth(QStringLiteral("12")), h}));
}

TEST_F(CanvasTextTest, PointSizesBecomePixelsAtNinetySixDotsPerInch)
{
    TFont f;
    f.SetSize(8);
    EXPECT_EQ(f.Height(), 11);
    f.SetSize(12);
    EXPECT_EQ(f.Height(), 16);
    f.SetHeight(-13);
    EXPECT_EQ(f.Height(), 13);
    EXPECT_EQ(f.Size(), 10);
    EXPECT_EQ(f.ToQFont().pixelSize(), 13);
    f.SetHeight(0);
    EXPECT_EQ(f.Size(), 8);
    EXPECT_EQ(f.Height(), 11);
    EXPECT_EQ(TFont::FromQFont(f.ToQFont(), clRed), (TFont(f.Name(), 11, 0, clRed)));
}

TEST_F(CanvasTextTest, SolidBrushFillsTheTextCellBeforeTheText)
{
    c().Brush.Color = clYellow;
    c().Font.SetColor(clBlack);
    c().TextOut(10, 5, QStringLiteral("Hx"));
    const int w = c().TextWidth(QStringLiteral("Hx"));
    const int h = c().TextHeight(QStringLiteral("Hx"));
    EXPECT_EQ(PaintedBounds(), (TRect{10, 5, 10 + w, 5 + h}));
    bool sawText = false;
    for (int y = 5; y < 5 + h; ++y)
        for (int x = 10; x < 10 + w; ++x) {
            const TColor p = c().Pixel(x, y);
            EXPECT_TRUE(p == clYellow || p == clBlack) << x << "," << y;
            sawText = sawText || p == clBlack;
        }
    EXPECT_TRUE(sawText);
    EXPECT_EQ(c().PenPos(), (TPoint{10 + w, 5}));
}

TEST_F(CanvasTextTest, ClearBrushDrawsGlyphsOnlyInTheFontColourInsideTheCell)
{
    c().Brush.Style = bsClear;
    c().Font.SetColor(clRed);
    c().TextOut(20, 10, QStringLiteral("Hg"));
    const TRect cell{20, 10, 20 + c().TextWidth(QStringLiteral("Hg")), 10 + c().TextHeight(QStringLiteral("Hg"))};
    const auto pts = Painted();
    ASSERT_FALSE(pts.empty());
    for (const TPoint& p : pts) {
        EXPECT_EQ(c().Pixel(p.X, p.Y), clRed);
        EXPECT_TRUE(cell.Contains(p.X, p.Y)) << p.X << "," << p.Y;
    }
    // the H reaches from the ascent line close to the top down to the baseline
    const TRect b = PaintedBounds();
    EXPECT_LE(b.Top, cell.Top + 4);
    EXPECT_GE(b.Bottom, cell.Bottom - 4);  // the descender of g
}

// What QPainter itself draws for TextOut: the canvas keeps the pixels of a text it wrote once and writes them
// again from there, which must give the same picture wherever the text lands, clipped or not.
QImage PainterTextOut(
    QImage image, const TFont& font, TBrush brush, std::optional<TRect> clip, int x, int y, const QString& text)
{
    const QFontMetrics m(font.ToQFont());
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    if (clip)
        p.setClipRect(QRect(clip->Left, clip->Top, clip->Width(), clip->Height()));
    if (brush.Style == bsSolid)
        p.fillRect(QRect(x, y, m.horizontalAdvance(text), m.ascent() + m.descent()), ToQColor(brush.Color));
    p.setFont(font.ToQFont());
    p.setPen(ToQColor(font.Color()));
    p.drawText(x, y + m.ascent(), text);
    return image;
}

TEST_F(CanvasTextTest, TextWrittenAgainFromItsKeptPixelsMatchesQPainterAnywhere)
{
    const struct {
        const char* Face;
        int Height;
        TFontStyles Style;
        const char* Text;
        TPoint At;
        std::optional<TRect> Clip;
        TBrushStyle Brush;
    } rows[] = {
        {"Arial", 13, 0, "0.25", {10, 5}, std::nullopt, bsClear},
        {"Arial", 11, fsBold, "1000", {3, 20}, std::nullopt, bsSolid},
        {"Arial", 16, fsItalic | fsUnderline, "Wfjg", {-4, -6}, std::nullopt, bsClear},  // cut by the edges
        {"Courier New", 12, fsStrikeOut, "x[1] = 0", {90, 30}, std::nullopt, bsSolid},   // past right and bottom
        {"Arial", 13, 0, "-1.5E-3", {20, 8}, TRect{25, 10, 50, 18}, bsSolid},
        {"Times New Roman", 20, fsBold | fsItalic, "\u00c4gypten \u00df", {5, 2}, std::nullopt, bsClear},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Text);
        const QString text = QString::fromUtf8(row.Text);
        c().Font = TFont(QString::fromLatin1(row.Face), row.Height, row.Style, clNavy);
        c().Brush = TBrush{clYellow, row.Brush};
        if (row.Clip)
            c().SetClipRect(*row.Clip);
        else
            c().ClearClipRect();
        for (int pass = 0; pass < 2; ++pass) {  // the second pass writes the kept pixels
            c().Brush.Color = kBack;
            c().Brush.Style = bsSolid;
            c().FillRect({0, 0, 120, 40});
            c().Brush = TBrush{clYellow, row.Brush};
            const QImage before = bmp.Image().copy();
            c().TextOut(row.At.X, row.At.Y, text);
            const QImage expected = PainterTextOut(before, c().Font, c().Brush, row.Clip, row.At.X, row.At.Y, text);
            EXPECT_EQ(bmp.Image(), expected) << "pass " << pass;
            EXPECT_EQ(c().PenPos(), (TPoint{row.At.X + c().TextWidth(text), row.At.Y}));
        }
    }
}

// A text of a huge font is drawn by QPainter straight into the target, never through a scratch image of its
// whole cell, which would take gigabytes.
TEST_F(CanvasTextTest, HugeTextsAreNotKeptAndStillDrawAsQPainterDrawsThem)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(100);
    EXPECT_TRUE(TextStamp(font, 80, 100, 70, QStringLiteral("W")).Exact());
    font.setPixelSize(3000);
    EXPECT_FALSE(TextStamp(font, 2400, 3000, 20000, QStringLiteral("WWWWWWW")).Exact()) << "a 0.9-gigabyte scratch";
    EXPECT_FALSE(TextStamp(font, 2400, 3000, std::numeric_limits<int>::max(), QStringLiteral("W")).Exact());

    c().Font = TFont(QStringLiteral("Arial"), 3000, 0, clNavy);
    c().Brush = TBrush{clYellow, bsClear};
    const QImage before = bmp.Image().copy();
    c().TextOut(-500, -1500, QStringLiteral("W"));
    EXPECT_EQ(bmp.Image(), PainterTextOut(before, c().Font, c().Brush, std::nullopt, -500, -1500, QStringLiteral("W")));
    EXPECT_NE(bmp.Image(), before) << "the glyph covers part of the bitmap";
}

TEST_F(CanvasTextTest, TextRectFillsAndClipsToItsRectangle)
{
    c().Brush.Color = clAqua;
    c().TextRect({10, 10, 30, 20}, 5, 8, QStringLiteral("WWWWWWWW"));
    EXPECT_EQ(PaintedBounds(), (TRect{10, 10, 30, 20}));
    int glyph = 0;
    for (int y = 10; y < 20; ++y)
        for (int x = 10; x < 30; ++x) {
            const TColor p = c().Pixel(x, y);
            EXPECT_TRUE(p == clAqua || p == clBlack) << x << "," << y;
            glyph += p == clBlack;
        }
    EXPECT_GT(glyph, 0);
}

TEST_F(CanvasTest, DrawCopiesABitmapAtItsOwnSize)
{
    TBitmap src(3, 2);
    src.Canvas().Brush.Color = clRed;
    src.Canvas().FillRect({0, 0, 3, 2});
    src.Canvas().SetPixel(2, 1, clBlue);
    c().Pen.Mode = pmXor;  // copies ignore the pen mode
    c().Draw(5, 6, src);
    EXPECT_EQ(PaintedBounds(), (TRect{5, 6, 8, 8}));
    EXPECT_EQ(c().Pixel(5, 6), clRed);
    EXPECT_EQ(c().Pixel(7, 7), clBlue);
}

TEST_F(CanvasTest, StretchDrawScalesOntoTheDestinationRectangle)
{
    TBitmap src(2, 1);
    src.Canvas().SetPixel(0, 0, clRed);
    src.Canvas().SetPixel(1, 0, clBlue);
    c().StretchDraw({4, 4, 12, 8}, src);
    EXPECT_EQ(PaintedBounds(), (TRect{4, 4, 12, 8}));
    EXPECT_EQ(c().Pixel(4, 4), clRed);
    EXPECT_EQ(c().Pixel(7, 7), clRed);
    EXPECT_EQ(c().Pixel(8, 4), clBlue);
    EXPECT_EQ(c().Pixel(11, 7), clBlue);
}

TEST_F(CanvasTest, CopyRectTakesPartOfAnotherCanvasAndMayOverlapItself)
{
    c().SetPixel(1, 1, clRed);
    c().SetPixel(2, 1, clBlue);
    c().CopyRect({10, 10, 12, 11}, c(), {1, 1, 3, 2});
    EXPECT_EQ(c().Pixel(10, 10), clRed);
    EXPECT_EQ(c().Pixel(11, 10), clBlue);
    c().CopyRect({2, 1, 4, 2}, c(), {1, 1, 3, 2});
    EXPECT_EQ(c().Pixel(2, 1), clRed);
    EXPECT_EQ(c().Pixel(3, 1), clBlue);
}

TEST(CanvasOnForeignImage, OtherPixelFormatsAreTakenOverAsThirtyTwoBit)
{
    for (QImage::Format format : {QImage::Format_RGB16, QImage::Format_Indexed8, QImage::Format_ARGB32}) {
        SCOPED_TRACE(int(format));
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::white);
        image = image.convertToFormat(format);
        TCanvas canvas(&image);
        canvas.Pen.Color = clRed;
        canvas.MoveTo(0, 2);
        canvas.LineTo(8, 2);
        EXPECT_EQ(canvas.Pixel(5, 2), clRed);
        EXPECT_EQ(canvas.Pixel(5, 3), clWhite);
        EXPECT_TRUE(image.depth() == 32);
    }
}

// The target is checked when it is set: another format is converted there, a picture with
// transparent parts keeps them, and reading pixels never copies or converts the picture.
TEST(CanvasOnForeignImage, TheTargetIsTakenOverWhenSetAndOnlyReadByPixel)
{
    QImage indexed(4, 4, QImage::Format_RGB32);
    indexed.fill(Qt::white);
    indexed = indexed.convertToFormat(QImage::Format_Indexed8);
    TCanvas canvas(&indexed);
    EXPECT_EQ(indexed.format(), QImage::Format_RGB32);

    QImage transparent(4, 4, QImage::Format_ARGB32_Premultiplied);
    transparent.fill(Qt::transparent);
    canvas.SetTarget(&transparent);
    EXPECT_EQ(transparent.format(), QImage::Format_ARGB32_Premultiplied);
    canvas.SetPixel(1, 1, clRed);
    EXPECT_EQ(canvas.Pixel(1, 1), clRed);
    EXPECT_EQ(qAlpha(transparent.pixel(2, 2)), 0);

    const QImage shared = transparent;
    const TCanvas& reader = canvas;
    EXPECT_EQ(reader.Pixel(1, 1), clRed);
    EXPECT_EQ(shared.constBits(), transparent.constBits());

    QImage null;
    canvas.SetTarget(&null);
    canvas.Rectangle(0, 0, 4, 4);
    EXPECT_EQ(canvas.Width(), 0);
    EXPECT_EQ(canvas.Pixel(0, 0), TCanvas::InvalidPixel);
    EXPECT_TRUE(null.isNull());
}

TEST(CanvasWithoutTarget, EveryPrimitiveIsANoOp)
{
    TCanvas canvas;
    canvas.Rectangle(0, 0, 5, 5);
    canvas.MoveTo(0, 0);
    canvas.LineTo(3, 3);
    canvas.Ellipse(0, 0, 4, 4);
    canvas.Polygon({{0, 0}, {2, 2}, {0, 2}});
    canvas.SetPixel(0, 0, clRed);
    EXPECT_EQ(canvas.Pixel(0, 0), TCanvas::InvalidPixel);
    EXPECT_EQ(canvas.Width(), 0);
    EXPECT_EQ(canvas.PenPos(), (TPoint{3, 3}));
}

}  // namespace

TEST(FontSize, ExtremeSizesGiveTheLargestHeightInsteadOfOverflowing)
{
    // a chart text item carries any 32-bit size into its font
    constexpr int most = std::numeric_limits<int>::max();
    constexpr int least = std::numeric_limits<int>::min();
    const struct {
        const char* name;
        bool inPoints;
        int value;
        int height;
    } rows[] = {
        {"8 points", true, 8, 11},
        {"-12 points", true, -12, 16},
        {"largest points", true, most, most},
        {"points one step beyond a height in range", true, most / 96 * 72 + 72, most},
        {"most negative points", true, least, most},
        {"most negative pixels", false, least, most},
        {"-20 pixels", false, -20, 20},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TFont font;
        if (row.inPoints)
            font.SetSize(row.value);
        else
            font.SetHeight(row.value);
        EXPECT_EQ(font.Height(), row.height);
        EXPECT_GT(font.Size(), 0);
    }
}
