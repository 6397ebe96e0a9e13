#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <limits>

#include "chart/ChartFrame.h"
#include "chart/ItemRenderer.h"
#include "chart/PlotPixels.h"
#include "platform/draw/Bitmap.h"

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// A plot of 40 x 40 pixels 10 from the left and 5 from the top; layer 1 maps 0..4 onto it (10 pixels a
// unit, y upward), so world (x, y) lies on plot pixel (10x, 40 - 10y). Layer 2 maps 0..40 (a pixel a unit).
struct Plot {
    ChartGeometry geometry{50, 45, 10, 0, 5, 0, 0};
    std::array<LayerTransform, ChartLayerCount> transforms;
    std::array<bool, 256> classVisible;
    std::array<bool, ChartLayerCount> layerVisible;
    ItemRenderSettings settings;
    ChartItemList items;
    TBitmap bitmap{41, 41};

    Plot()
    {
        transforms.fill(ComputeLayerTransform(geometry, {0, 4}, {0, 4}));
        transforms[1] = ComputeLayerTransform(geometry, {0, 40}, {0, 40});
        classVisible.fill(true);
        layerVisible.fill(true);
    }
    ChartItem& Add(TChartItemKind kind, double x1, double y1, TColor color)
    {
        ChartItem item;
        item.Kind = kind;
        item.x1 = x1;
        item.y1 = y1;
        item.Color = color;
        item.LineWidth = 1;
        items.Items.push_back(item);
        items.Count = int(items.Items.size());
        return items.Items.back();
    }
    ChartItem& Mark(std::uint8_t kind, double x, double y, TColor color)
    {
        ChartItem& item = Add(TChartItemKind::Mark, x, y, color);
        item.MarkKind = kind;
        return item;
    }
    ChartItem& Rectangle(double x1, double y1, double x2, double y2, TColor color, TColor fill)
    {
        ChartItem& item = Add(TChartItemKind::Rectangle, x1, y1, color);
        item.x2 = x2;
        item.y2 = y2;
        item.FillColor = fill;
        return item;
    }
    ChartItem& Text(const char* text, int size, double x, double y, TColor color)
    {
        ChartItem& item = Add(TChartItemKind::Text, x, y, color);
        item.Text = std::uint32_t(items.Texts.size());
        std::snprintf(items.Texts.emplace_back().data(), sizeof(ChartItemText), "%s", text);
        item.Size = size;
        return item;
    }
    ItemRenderStats Render()
    {
        return RenderItems(bitmap.Canvas(), items, {geometry, transforms, classVisible, layerVisible}, settings);
    }
    TColor At(int x, int y) const { return bitmap.Canvas().Pixel(x, y); }
};

TEST(ItemRenderer, MarksLandOnTheirPlotPixelInTheirColour)
{
    Plot p;
    p.Mark(0, 1, 1, clRed);
    p.Mark(0, 10, 30, clBlue).Layer = 2;
    p.Render();
    EXPECT_EQ(p.At(10, 30), clRed);
    EXPECT_EQ(p.At(10, 10), clBlue);
    EXPECT_EQ(CountPixels(p.bitmap, clWhite), 41 * 41 - 2);
}

// A pen mode set before the items are drawn (as a chart's OnBeforeRenderData may) holds for every kind of
// item: drawn twice in xor mode, each one leaves the picture as it was.
TEST(ItemRenderer, InXorModeEveryKindOfItemDrawnTwiceLeavesThePictureAsItWas)
{
    const std::pair<const char*, std::function<void(Plot&)>> kinds[] = {
        {"one-pixel mark", [](Plot& p) { p.Mark(0, 1, 1, clRed); }},
        {"pattern mark inside", [](Plot& p) { p.Mark(2, 2, 2, clRed); }},
        {"pattern mark at the edge", [](Plot& p) { p.Mark(2, 0, 0, clRed); }},
        {"shaped mark", [](Plot& p) { p.Mark(7, 2, 2, clRed); }},
        {"box", [](Plot& p) { p.Rectangle(1, 1, 3, 3, clRed, clYellow); }},
    };
    for (const auto& [name, add] : kinds) {
        SCOPED_TRACE(name);
        Plot p;
        add(p);
        p.bitmap.Canvas().Pen.Mode = pmXor;
        p.Render();
        EXPECT_LT(CountPixels(p.bitmap, clWhite), 41 * 41) << "drawn once, the item shows";
        p.Render();
        EXPECT_EQ(CountPixels(p.bitmap, clWhite), 41 * 41) << "drawn again, it is gone";
    }
}

TEST(ItemRenderer, ARectangleWithBothCornersOnOnePixelIsThatPixelInTheItemColour)
{
    Plot p;
    p.Rectangle(1, 1, 1.04, 0.96, clRed, clYellow);
    p.Render();
    EXPECT_EQ(Picture(p.bitmap, {9, 29, 12, 32}, clRed), (std::vector<std::string>{"...", ".#.", "..."}));
}

TEST(ItemRenderer, RectanglesCoverBothCornerPixels)
{
    struct Case {
        const char* name;
        double x1, y1, x2, y2;
        TRect covered;  // plot pixels, right and bottom excluded
    };
    const Case cases[] = {
        {"(0,0)-(1,1)", 0, 0, 1, 1, {0, 30, 11, 41}},
        {"(1,1)-(0,0)", 1, 1, 0, 0, {0, 30, 11, 41}},
        {"(1,0)-(0,1)", 1, 0, 0, 1, {0, 30, 11, 41}},
        {"one column", 2, 1, 2, 3, {20, 10, 21, 31}},
        {"one row", 1, 2, 3, 2, {10, 20, 31, 21}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Plot p;
        p.Rectangle(c.x1, c.y1, c.x2, c.y2, clRed, clYellow);
        p.Render();
        for (int y = 0; y < 41; ++y)
            for (int x = 0; x < 41; ++x) {
                const bool edge =
                    x == c.covered.Left || x == c.covered.Right - 1 || y == c.covered.Top || y == c.covered.Bottom - 1;
                const TColor want = !c.covered.Contains(x, y) ? clWhite : edge ? clRed : clYellow;
                ASSERT_EQ(p.At(x, y), want) << x << "," << y;
            }
    }
}

TEST(ItemRenderer, TextsAreAlignedByTheirWidthAndRaisedByHalfTheirHeight)
{
    struct Case {
        TAlignment alignment;
        TTextBkStyle background;
    };
    const Case cases[] = {{taCenter, tbClear}, {taRightJustify, tbClear}, {taLeftJustify, tbSolid}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.alignment));
        Plot p;
        p.settings.TextAlignment = c.alignment;
        p.settings.TextBkStyle = c.background;
        p.settings.TextBkColor = clAqua;
        p.settings.TextFontStyle = fsBold;
        p.Text("Hg", 10, 2, 2, clBlue);
        p.Render();

        TBitmap reference(41, 41);
        TCanvas& r = reference.Canvas();
        r.Font.SetSize(10);
        r.Font.SetStyle(fsBold);
        r.Font.SetColor(clBlue);
        r.Brush.Color = clAqua;
        r.Brush.Style = c.background == tbSolid ? bsSolid : bsClear;
        const int w = r.TextWidth("Hg"), h = r.TextHeight("Hg");
        const int x = c.alignment == taCenter ? 20 - w / 2 : c.alignment == taRightJustify ? 20 - w : 20;
        r.TextOut(x, 20 - h / 2, "Hg");
        EXPECT_GT(CountPixels(p.bitmap, clBlue), 0);
        EXPECT_EQ(FirstDifference(p.bitmap, reference), "");
    }
}

TEST(ItemRenderer, ATextWithoutASizeTakesTheDefaultSize)
{
    Plot p;
    p.bitmap.Canvas().Font.SetSize(20);
    p.Text("Hg", 0, 2, 2, clBlue);
    p.Render();
    TBitmap reference(41, 41);
    TCanvas& r = reference.Canvas();
    r.Font.SetColor(clBlue);
    r.Brush.Style = bsClear;
    r.TextOut(20 - r.TextWidth("Hg") / 2, 20 - r.TextHeight("Hg") / 2, "Hg");
    EXPECT_EQ(FirstDifference(p.bitmap, reference), "");
}

TEST(ItemRenderer, ItemsWithANaNCoordinateDrawNothing)
{
    Plot p;
    p.Mark(3, NaN, 1, clRed);
    p.Rectangle(0, 0, 1, NaN, clRed, clYellow);
    p.Rectangle(NaN, 0, 1, 1, clRed, clYellow);
    p.Text("x", 10, 1, NaN, clRed);
    p.Mark(0, 1, 1, clBlue);
    p.Render();
    EXPECT_EQ(CountPixels(p.bitmap, clRed) + CountPixels(p.bitmap, clYellow), 0);
    EXPECT_EQ(p.At(10, 30), clBlue);
}

TEST(ItemRenderer, ItemsOfAHiddenClassOrLayerAreSkipped)
{
    Plot p;
    p.Mark(0, 1, 1, clRed).Class = 7;
    p.Mark(0, 2, 2, clRed).Layer = 3;
    p.Mark(0, 3, 3, clBlue).Class = 8;
    p.classVisible[7] = false;
    p.layerVisible[2] = false;
    p.Render();
    EXPECT_EQ(CountPixels(p.bitmap, clRed), 0);
    EXPECT_EQ(p.At(30, 10), clBlue);
}

TEST(ItemRenderer, FarItemsAreClampedToTheDrawingReach)
{
    Plot p;
    p.Rectangle(1, 1, 1e12, -1e12, clRed, clYellow);
    p.Render();
    EXPECT_EQ(p.At(10, 30), clRed);
    EXPECT_EQ(p.At(40, 40), clYellow);
}

TEST(ItemRenderer, SettingsChangeOnlyWhereAnItemNeedsAnotherValue)
{
    Plot p;
    for (int i = 0; i < 10; ++i)
        p.Mark(1, i % 4, 2, clRed);
    const ItemRenderStats marks = p.Render();
    EXPECT_EQ(marks.PenChanges, 1);  // the colour, once
    EXPECT_EQ(marks.BrushChanges, 0);

    Plot q;
    q.Rectangle(0, 0, 1, 1, clRed, clYellow);
    q.Rectangle(2, 2, 3, 3, clRed, clYellow);
    q.Text("a", 8, 1, 3, clRed);
    q.Text("b", 8, 3, 1, clRed);
    q.Mark(1, 2, 1, clRed).LineWidth = 2;
    const ItemRenderStats mixed = q.Render();
    EXPECT_EQ(mixed.PenChanges, 2);    // red, then the mark's width
    EXPECT_EQ(mixed.BrushChanges, 3);  // yellow; the texts' white, clear
    EXPECT_EQ(mixed.FontChanges, 1);
}

// The carried-over state must not leak: a filled mark after a rectangle fills in its own colour, and a
// rectangle after a clear-background text is filled again.
TEST(ItemRenderer, ItemsAfterAnotherKindStillHaveTheirOwnColours)
{
    Plot p;
    p.Rectangle(0, 0, 1, 1, clBlue, clYellow);
    p.Mark(9, 2, 2, clRed);
    p.Text("t", 8, 3, 3, clGreen);
    p.Rectangle(3, 0, 4, 1, clBlue, clAqua);
    p.Render();
    EXPECT_EQ(p.At(20, 20), clRed);
    EXPECT_EQ(p.At(5, 35), clYellow);
    EXPECT_EQ(p.At(35, 35), clAqua);
}

TEST(ItemRenderer, ThePlotFrameIncludesBothEnds)
{
    Plot p;
    DrawPlotFrame(p.bitmap.Canvas(), p.geometry, clRed);
    EXPECT_EQ(CountPixels(p.bitmap, clRed), 4 * 40);
    for (const TPoint corner : {TPoint{0, 0}, TPoint{40, 0}, TPoint{40, 40}, TPoint{0, 40}})
        EXPECT_EQ(p.At(corner.X, corner.Y), clRed);
}

}  // namespace
