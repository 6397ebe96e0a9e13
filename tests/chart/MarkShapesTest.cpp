#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <set>
#include <utility>

#include <QDir>
#include <QTemporaryDir>

#include "chart/MarkShapes.h"
#include "platform/os/AnsiText.h"
#include "platform/draw/Bitmap.h"
#include "chart/PlotPixels.h"

namespace {

constexpr TColor Ink = clRed;
constexpr TColor Paper = clYellow;  // the brush before the mark

struct MarkCanvas {
    TBitmap bitmap{15, 15};
    MarkCanvas()
    {
        bitmap.Canvas().Pen.Color = Ink;
        bitmap.Canvas().Brush.Color = Paper;
    }
    TCanvas& Canvas() { return bitmap.Canvas(); }
    std::vector<std::string> Around(int x, int y, int reach = 4)
    {
        return Picture(bitmap, {x - reach, y - reach, x + reach + 1, y + reach + 1}, Ink);
    }
};

// The pixel-pattern marks, row by row from the top, bit 6 leftmost.
struct PatternCase {
    int code;
    unsigned char rows[7];
};
constexpr PatternCase Patterns[] = {
    {1, {0x00, 0x00, 0x08, 0x1C, 0x08, 0x00, 0x00}},
    {2, {0x00, 0x08, 0x08, 0x3E, 0x08, 0x08, 0x00}},
    {3, {0x08, 0x08, 0x08, 0x7F, 0x08, 0x08, 0x08}},
    {4, {0x00, 0x00, 0x14, 0x08, 0x14, 0x00, 0x00}},
    {5, {0x00, 0x22, 0x14, 0x08, 0x14, 0x22, 0x00}},
    {6, {0x41, 0x22, 0x14, 0x08, 0x14, 0x22, 0x41}},
    {18, {0x55, 0x2A, 0x55, 0x2A, 0x55, 0x2A, 0x55}},
    {25, {0x63, 0x77, 0x3E, 0x1C, 0x3E, 0x77, 0x63}},
};

// The expected picture of a pattern centred in a 9 x 9 area, as Picture draws it.
std::vector<std::string> PatternPicture(const PatternCase& p)
{
    std::vector<std::string> rows(9, std::string(9, '.'));
    for (int r = 0; r < 7; ++r)
        for (int b = 0; b < 7; ++b)
            if ((p.rows[r] >> b & 1) != 0)
                rows[std::size_t(r + 1)][std::size_t(4 + 3 - b)] = '#';
    return rows;
}

TEST(MarkShapes, PatternMarksSetExactlyTheirTablePixels)
{
    for (const PatternCase& p : Patterns) {
        SCOPED_TRACE(p.code);
        MarkCanvas c;
        DrawMark(c.Canvas(), std::uint8_t(p.code), 7, 7);
        EXPECT_EQ(c.Around(7, 7), PatternPicture(p));
        int bits = 0;
        for (const unsigned char row : p.rows)
            bits += __builtin_popcount(row);
        EXPECT_EQ(CountPixels(c.bitmap, Ink), bits);
    }
}

// The fast path writes scan lines directly; clipped targets and marks over the edge go pixel by pixel.
TEST(MarkShapes, PatternMarksOverTheEdgeOrUnderAClipKeepTheirPixelsInside)
{
    for (const PatternCase& p : Patterns) {
        SCOPED_TRACE(p.code);
        MarkCanvas whole, clipped, edge;
        DrawMark(whole.Canvas(), std::uint8_t(p.code), 7, 7);
        clipped.Canvas().SetClipRect({0, 0, 15, 8});
        DrawMark(clipped.Canvas(), std::uint8_t(p.code), 7, 7);
        DrawMark(edge.Canvas(), std::uint8_t(p.code), 1, 13);
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 15; ++x) {
                const bool inked = whole.bitmap.Canvas().Pixel(x, y) == Ink;
                EXPECT_EQ(clipped.bitmap.Canvas().Pixel(x, y) == Ink, inked && y < 8) << x << "," << y;
                const int wx = x + 6, wy = y - 6;  // the same pixel of the mark drawn at (7, 7)
                const bool edgeInked = wx < 15 && wy >= 0 && whole.bitmap.Canvas().Pixel(wx, wy) == Ink;
                EXPECT_EQ(edge.bitmap.Canvas().Pixel(x, y) == Ink, edgeInked) << x << "," << y;
            }
    }
}

// The general path the scan-line writer must match: each pattern pixel set through the canvas, which checks
// the picture and the clip pixel by pixel.
void DrawPatternPixelByPixel(TCanvas& canvas, const PatternCase& p, int x, int y)
{
    for (int r = 0; r < 7; ++r)
        for (int b = 0; b < 7; ++b)
            if ((p.rows[r] >> b & 1) != 0)
                canvas.SetPixel(x + 3 - b, y - 3 + r, canvas.Pen.Color);
}

// Centres from well outside the picture to well inside, on every side, so that marks lie wholly inside,
// cross each edge and corner, or miss the picture.
TEST(MarkShapes, PatternMarksInsideAcrossAndBeyondTheEdgesMatchPixelByPixelDrawing)
{
    const std::optional<TRect> clips[] = {std::nullopt, TRect{2, 3, 9, 8}, TRect{9, 8, 2, 3}, TRect{4, 4, 4, 9}};
    for (const PatternCase& p : Patterns)
        for (const std::optional<TRect>& clip : clips)
            for (int y = -5; y <= 15; ++y)
                for (int x = -5; x <= 16; ++x) {
                    TBitmap fast(12, 11), general(12, 11);
                    for (TBitmap* b : {&fast, &general}) {
                        b->Canvas().Pen.Color = Ink;
                        if (clip)
                            b->Canvas().SetClipRect(*clip);
                    }
                    DrawMark(fast.Canvas(), std::uint8_t(p.code), x, y);
                    DrawPatternPixelByPixel(general.Canvas(), p, x, y);
                    ASSERT_EQ(FirstDifference(fast, general), "")
                        << "code " << p.code << " at " << x << "," << y << (clip ? " clipped" : "");
                }
}

// One painter for a whole list draws what one DrawMark call per mark draws, across pen colour changes
// (system colours too) and shapes drawn through the canvas in between.
TEST(MarkShapes, APainterForManyMarksMatchesSingleCalls)
{
    const TColor colours[] = {clRed, clBlue, TColor(0x80000005), clBlue, TColor(0x80000008)};
    TBitmap together(40, 30), single(40, 30);
    MarkPainter painter(together.Canvas());
    for (int i = 0; i < 300; ++i) {
        const std::uint8_t kind = std::uint8_t(i % 7 == 0 ? i % 48 : (i % 3 == 0 ? 0 : 2 + i % 2 * 23));
        const int x = (i * 7) % 46 - 3, y = (i * 11) % 36 - 3;
        together.Canvas().Pen.Color = colours[i / 4 % 5];
        single.Canvas().Pen.Color = colours[i / 4 % 5];
        painter.Draw(kind, x, y);
        DrawMark(single.Canvas(), kind, x, y);
    }
    EXPECT_EQ(FirstDifference(together, single), "");
}

// At a fractional scale a pattern pixel is a square block beside the centre's block, so every mark of a kind
// keeps one shape wherever its centre falls between device pixels.
TEST(MarkShapes, PatternMarksKeepOneShapeAtFractionalScales)
{
    for (const double factor : {1.25, 1.5, 1.75}) {
        const TDeviceScale scale = TDeviceScale::Of(factor);
        for (const PatternCase& pattern : Patterns) {
            SCOPED_TRACE(testing::Message() << factor << " code " << pattern.code);
            TBitmap bitmap(72, 20, scale);
            bitmap.Canvas().Pen.Color = Ink;
            MarkPainter painter(bitmap.Canvas());
            const int centres[] = {5, 19, 33, 47, 61};  // far enough apart for the window below
            for (const int x : centres)
                painter.Draw(std::uint8_t(pattern.code), x, 5 + x % 7);
            std::set<std::pair<int, int>> first;
            for (const int x : centres) {
                std::set<std::pair<int, int>> shape;
                const int cx = scale.Device(x), cy = scale.Device(5 + x % 7);
                for (int dy = -8; dy <= 8; ++dy)
                    for (int dx = -8; dx <= 8; ++dx)
                        if (bitmap.Image().pixel(cx + dx, cy + dy) == qRgb(255, 0, 0))
                            shape.insert({dx, dy});
                EXPECT_FALSE(shape.empty());
                if (x == centres[0])
                    first = shape;
                EXPECT_EQ(shape, first) << "centre " << x;
            }
        }
    }
}

TEST(MarkShapes, CodeZeroIsOnePixel)
{
    MarkCanvas c;
    DrawMark(c.Canvas(), 0, 3, 4);
    EXPECT_EQ(c.bitmap.Canvas().Pixel(3, 4), Ink);
    EXPECT_EQ(CountPixels(c.bitmap, Ink), 1);
}

struct ShapeCase {
    int code;
    std::vector<std::string> picture;  // 9 x 9 around the centre
};

TEST(MarkShapes, SquaresAndLineMarksCoverTheirCorners)
{
    const ShapeCase cases[] = {
        {7,
            {
                ".........",
                ".........",
                ".........",
                "...###...",
                "...###...",
                "...###...",
                ".........",
                ".........",
                ".........",
            }},
        {9,
            {
                ".........",
                ".#######.",
                ".#######.",
                ".#######.",
                ".#######.",
                ".#######.",
                ".#######.",
                ".#######.",
                ".........",
            }},
        {10,
            {
                ".........",
                ".........",
                ".........",
                "...###...",
                "...#.#...",
                "...###...",
                ".........",
                ".........",
                ".........",
            }},
        {11,
            {
                ".........",
                ".........",
                "..#####..",
                "..#...#..",
                "..#...#..",
                "..#...#..",
                "..#####..",
                ".........",
                ".........",
            }},
        {19,
            {
                ".........",
                "....#....",
                "...#.#...",
                "..#...#..",
                ".#.....#.",
                "..#...#..",
                "...#.#...",
                "....#....",
                ".........",
            }},
        {20,
            {
                ".........",
                ".........",
                ".........",
                ".........",
                "....#....",
                "...#.#...",
                "..#...#..",
                ".........",
                ".........",
            }},
        {23,
            {
                ".........",
                ".#.....#.",
                "..#...#..",
                "...#.#...",
                "....#....",
                ".........",
                ".........",
                ".........",
                ".........",
            }},
        {37,
            {
                "....#....",
                "....#....",
                "....#....",
                "....#....",
                ".#######.",
                ".........",
                ".........",
                ".........",
                ".........",
            }},
        {38,
            {
                ".........",
                ".........",
                ".#######.",
                "....#....",
                "....#....",
                "....#....",
                ".#######.",
                ".........",
                ".........",
            }},
    };
    for (const ShapeCase& s : cases) {
        SCOPED_TRACE(s.code);
        MarkCanvas c;
        DrawMark(c.Canvas(), std::uint8_t(s.code), 7, 7);
        EXPECT_EQ(c.Around(7, 7), s.picture);
    }
}

// Filled polygons and ellipses are rasterised by the canvas; what a mark decides is where its outline lies,
// whether the inside is filled in the pen colour, and that nothing lies outside its box.
struct OutlineCase {
    int code;
    bool filled;
    TRect box;                  // relative to the centre, right and bottom excluded
    std::vector<TPoint> inked;  // relative to the centre
    TPoint inside;              // a pixel within the outline
};

TEST(MarkShapes, FilledShapesFillInThePenColourAndHollowOnesLeaveTheInside)
{
    const OutlineCase cases[] = {
        {15, true, {-3, -3, 4, 4}, {{-3, 0}, {3, 0}, {0, 3}, {0, -3}}, {0, 0}},
        {13, true, {-1, -1, 2, 2}, {{-1, 0}, {1, 0}, {0, 1}, {0, -1}}, {0, 0}},
        {24, true, {-3, -3, 4, 4}, {{-3, 0}, {3, 0}, {0, 3}, {0, -3}}, {0, 0}},
        {17, false, {-3, -3, 4, 4}, {{-3, 0}, {3, 0}, {0, 3}, {0, -3}}, {0, 0}},
        {26, true, {-2, -2, 3, 3}, {{-2, 0}, {2, 0}, {0, 2}, {0, -2}}, {0, 0}},
        {16, false, {-2, -2, 3, 3}, {{-2, 0}, {2, 0}, {0, 2}, {0, -2}}, {0, 0}},
        {30, true, {-3, 0, 4, 4}, {{-3, 0}, {3, 0}, {0, 3}}, {0, 1}},
        {32, false, {-3, 0, 4, 4}, {{-3, 0}, {3, 0}, {0, 3}}, {0, 1}},
        {34, true, {-4, -3, 5, 5}, {{-4, -3}, {4, -3}, {0, 4}}, {0, 0}},
        {36, true, {-4, -4, 5, 4}, {{-4, 3}, {4, 3}, {0, -4}}, {0, 0}},
        {35, false, {-4, -4, 5, 4}, {{-4, 3}, {4, 3}, {0, -4}}, {0, 0}},
        {43, true, {-3, -3, 5, 4}, {{4, -3}, {-3, 0}, {4, 3}}, {2, 0}},
        {46, false, {-4, -3, 4, 4}, {{-4, -3}, {3, 0}, {-4, 3}}, {-2, 0}},
    };
    for (const OutlineCase& s : cases) {
        SCOPED_TRACE(s.code);
        MarkCanvas c;
        DrawMark(c.Canvas(), std::uint8_t(s.code), 7, 7);
        for (const TPoint& p : s.inked)
            EXPECT_EQ(c.bitmap.Canvas().Pixel(7 + p.X, 7 + p.Y), Ink) << p.X << "," << p.Y;
        EXPECT_EQ(c.bitmap.Canvas().Pixel(7 + s.inside.X, 7 + s.inside.Y), s.filled ? Ink : clWhite);
        EXPECT_EQ(CountPixels(c.bitmap, Paper), 0);
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 15; ++x)
                if (!s.box.Contains(x - 7, y - 7)) {
                    EXPECT_EQ(c.bitmap.Canvas().Pixel(x, y), clWhite) << x << "," << y;
                }
    }
}

TEST(MarkShapes, EveryShapeLeavesTheBrushColourAndHollowOnesASolidBrush)
{
    for (int code = 0; code < 48; ++code) {
        SCOPED_TRACE(code);
        for (const TBrushStyle before : {bsSolid, bsClear}) {
            MarkCanvas c;
            c.Canvas().Brush.Style = before;
            DrawMark(c.Canvas(), std::uint8_t(code), 7, 7);
            EXPECT_EQ(c.Canvas().Brush.Color, Paper);
            const bool hollow = code == 10 || code == 11 || code == 12 || code == 16 || code == 17 || code == 19 ||
                code == 27 || code == 31 || code == 32 || code == 33 || code == 35 || code == 39 || code == 40 ||
                code == 42 || code == 44 || code == 46;
            EXPECT_EQ(c.Canvas().Brush.Style, hollow ? bsSolid : before);
        }
    }
}

TEST(MarkShapes, CharacterMarksAreCentredByTheirTextSize)
{
    for (const int code : {int('A'), int('x'), 0xE4}) {
        SCOPED_TRACE(code);
        TBitmap mark(40, 40), reference(40, 40);
        for (TBitmap* b : {&mark, &reference}) {
            b->Canvas().Font.SetColor(clBlue);
            b->Canvas().Brush.Style = bsClear;
        }
        DrawMark(mark.Canvas(), std::uint8_t(code), 20, 21);
        const QString text(Cp1252ToChar(std::uint8_t(code)));
        TCanvas& r = reference.Canvas();
        r.TextOut(20 - r.TextWidth(text) / 2, 21 - r.TextHeight(text) / 2, text);
        EXPECT_GT(CountPixels(mark, clBlue), 0);
        EXPECT_EQ(FirstDifference(mark, reference), "");
    }
}

// Draws all 256 marks, 16 to a row, into one picture (written where SEWELLA_MARK_GALLERY points, for looking
// at); each of the fixed shapes must show.
TEST(MarkShapes, GalleryOfAllMarksShowsEveryShape)
{
    constexpr int Cell = 24;
    TBitmap gallery(16 * Cell, 16 * Cell);
    TCanvas& c = gallery.Canvas();
    c.Pen.Color = clNavy;
    c.Font.SetColor(clNavy);
    c.Brush.Color = clYellow;
    for (int code = 0; code < 256; ++code)
        DrawMark(c, std::uint8_t(code), code % 16 * Cell + Cell / 2, code / 16 * Cell + Cell / 2);
    for (int code = 0; code < 48; ++code) {
        const TRect cell{code % 16 * Cell, code / 16 * Cell, code % 16 * Cell + Cell, code / 16 * Cell + Cell};
        int inked = 0;
        for (int y = cell.Top; y < cell.Bottom; ++y)
            for (int x = cell.Left; x < cell.Right; ++x)
                inked += c.Pixel(x, y) == clNavy ? 1 : 0;
        EXPECT_GT(inked, 0) << code;
    }
    QTemporaryDir dir;
    const char* wanted = std::getenv("SEWELLA_MARK_GALLERY");
    const QString path = wanted != nullptr ? QString::fromLocal8Bit(wanted) : dir.filePath("marks.png");
    ASSERT_TRUE(gallery.Image().save(path));
}

}  // namespace
