#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "chart/CrossHairs.h"
#include "platform/draw/Bitmap.h"

namespace {

// 60 x 40, margins 10, 5, 6, 8: the plot frame runs x 10..55, y 6..32. Layer 1 maps world (v, w) to pixel
// (10 + v, 32 - w); layer 2 has ranges twice as long, so the same world point lies half as far in.
struct CrossHairChart {
    ChartGeometry Geometry;
    std::array<LayerTransform, ChartLayerCount> Layers;
    std::array<std::unique_ptr<TCrossHair>, 4> Hairs;
    std::array<const TCrossHair*, 4> HairPointers{};

    CrossHairChart()
    {
        Geometry.Width = 60;
        Geometry.Height = 40;
        Geometry.MarginLeft = 10;
        Geometry.MarginRight = 5;
        Geometry.MarginTop = 6;
        Geometry.MarginBottom = 8;
        for (LayerTransform& t : Layers)
            t = ComputeLayerTransform(Geometry, {0, 45}, {0, 26});
        Layers[1] = ComputeLayerTransform(Geometry, {0, 90}, {0, 52});
        for (int i = 0; i < 4; ++i) {
            Hairs[i] = std::make_unique<TCrossHair>();
            HairPointers[i] = Hairs[i].get();
        }
    }

    // a crosshair through control pixel (x, y) of layer 1
    TCrossHair& Set(int Index, TCrossHMode Mode, int X, int Y, TColor Color, int Width = 1)
    {
        TCrossHair& h = *Hairs[Index];
        h.SetMode(Mode);
        h.SetPosX(X - 10);
        h.SetPosY(32 - Y);
        h.SetColor(Color);
        h.SetLineWid(Width);
        return h;
    }

    void Draw(TBitmap& Picture, int Dx = 0, int Dy = 0)
    {
        DrawCrossHairs(Picture.Canvas(), Geometry, HairPointers, Layers, Dx, Dy);
    }
};

int CountColour(const TBitmap& b, TColor c)
{
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            n += b.Canvas().Pixel(x, y) == c ? 1 : 0;
    return n;
}

TEST(CrossHairs, LinesRunInsideThePlotFrameAndLeaveItsPixelsFree)
{
    CrossHairChart chart;
    chart.Set(0, chHoriz, 30, 20, clRed);
    chart.Set(1, chVert, 25, 15, clBlue);
    TBitmap picture(60, 40);
    chart.Draw(picture);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 60; ++x) {
            SCOPED_TRACE(testing::Message() << x << "," << y);
            const TColor c = picture.Canvas().Pixel(x, y);
            if (x == 25 && y >= 7 && y <= 31)
                ASSERT_EQ(c, clBlue);  // drawn after the horizontal line, so also where they cross
            else if (y == 20 && x >= 11 && x <= 54)
                ASSERT_EQ(c, clRed);
            else
                ASSERT_EQ(c, clWhite);
        }
    }
}

TEST(CrossHairs, ModesChooseTheLinesAndOffLeavesThePictureAlone)
{
    struct Row {
        TCrossHMode Mode;
        bool Horizontal, Vertical;
    };
    const Row rows[] = {{chOff, false, false}, {chHoriz, true, false}, {chVert, false, true}, {chBoth, true, true}};
    for (const Row& r : rows) {
        SCOPED_TRACE(int(r.Mode));
        CrossHairChart chart;
        chart.Set(2, r.Mode, 30, 20, clRed);
        TBitmap picture(60, 40);
        chart.Draw(picture);
        EXPECT_EQ(picture.Canvas().Pixel(40, 20) == clRed, r.Horizontal);
        EXPECT_EQ(picture.Canvas().Pixel(30, 10) == clRed, r.Vertical);
    }
}

TEST(CrossHairs, ALineTouchingTheFrameWithinHalfItsWidthIsLeftOut)
{
    // the frame lies on y 6 and 32, x 10 and 55; d = width div 2
    struct Row {
        int Width, At;
        bool Drawn;
    };
    const Row rows[] = {
        {1, 6, false},
        {1, 7, true},
        {1, 31, true},
        {1, 32, false},
        {3, 7, false},
        {3, 8, true},
        {3, 30, true},
        {3, 31, false},
        {4, 8, false},
        {4, 9, true},
        {4, 29, true},
        {4, 30, false},
        {1, -100, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "width " << r.Width << " at y " << r.At);
        CrossHairChart chart;
        chart.Set(0, chHoriz, 30, r.At, clRed, r.Width);
        TBitmap picture(60, 40);
        chart.Draw(picture);
        EXPECT_EQ(CountColour(picture, clRed) > 0, r.Drawn);
    }
    for (const Row& r : rows) {
        // the same distances from the left and right frame edges (x 10 and 55)
        const int at = r.At <= 20 ? r.At + 4 : r.At + 23;
        SCOPED_TRACE(testing::Message() << "width " << r.Width << " at x " << at);
        CrossHairChart chart;
        chart.Set(0, chVert, at, 20, clRed, r.Width);
        TBitmap picture(60, 40);
        chart.Draw(picture);
        EXPECT_EQ(CountColour(picture, clRed) > 0, r.Drawn);
    }
}

TEST(CrossHairs, WideLinesStopShortOfTheFrameByHalfTheirWidth)
{
    CrossHairChart chart;
    chart.Set(0, chVert, 30, 20, clRed, 3);
    TBitmap picture(60, 40);
    picture.Canvas().Pen.Width = 1;
    chart.Draw(picture);
    // the line runs from y 6 + 1 + 1 towards 32 - 1, three pixels wide about x 30
    EXPECT_EQ(picture.Canvas().Pixel(30, 20), clRed);
    EXPECT_EQ(picture.Canvas().Pixel(29, 20), clRed);
    EXPECT_EQ(picture.Canvas().Pixel(31, 20), clRed);
    for (int x = 0; x < 60; ++x) {
        EXPECT_EQ(picture.Canvas().Pixel(x, 6), clWhite) << x;
        EXPECT_EQ(picture.Canvas().Pixel(x, 32), clWhite) << x;
    }
}

TEST(CrossHairs, OffsetPicturesAndLayersPlaceTheLines)
{
    CrossHairChart chart;
    chart.Set(0, chBoth, 30, 20, clRed).SetLayer(2);  // layer 2: world (20, 12) lies at pixel (20, 26)
    TBitmap plot(46, 27);                             // the plot bitmap, control pixel (10, 6) at its origin
    chart.Draw(plot, 10, 6);
    EXPECT_EQ(plot.Canvas().Pixel(10, 20), clRed);  // vertical line at control x 20
    EXPECT_EQ(plot.Canvas().Pixel(10, 1), clRed);
    EXPECT_EQ(plot.Canvas().Pixel(10, 0), clWhite);
    EXPECT_EQ(plot.Canvas().Pixel(1, 20), clRed);  // horizontal line at control y 26
    EXPECT_EQ(plot.Canvas().Pixel(0, 20), clWhite);
    EXPECT_EQ(plot.Canvas().Pixel(44, 20), clRed);
    EXPECT_EQ(plot.Canvas().Pixel(45, 20), clWhite);
    EXPECT_EQ(CountColour(plot, clRed), 44 + 25 - 1);
}

TEST(CrossHairs, LaterCrossHairsDrawOverEarlierOnes)
{
    CrossHairChart chart;
    chart.Set(0, chHoriz, 30, 20, clRed);
    chart.Set(3, chHoriz, 30, 20, clBlue);
    TBitmap picture(60, 40);
    chart.Draw(picture);
    EXPECT_EQ(picture.Canvas().Pixel(30, 20), clBlue);
    EXPECT_EQ(CountColour(picture, clRed), 0);
}

TEST(CrossHairs, TheCanvasPenIsRestored)
{
    CrossHairChart chart;
    chart.Set(0, chBoth, 30, 20, clRed, 3).SetLineType(psDot);
    TBitmap picture(60, 40);
    const TPen before{clGreen, 2, psDash, pmCopy};
    picture.Canvas().Pen = before;
    chart.Draw(picture);
    EXPECT_EQ(picture.Canvas().Pen, before);
    EXPECT_GT(CountColour(picture, clRed), 0);
}

}  // namespace
