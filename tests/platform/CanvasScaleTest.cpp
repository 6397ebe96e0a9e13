#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "../support/BlockPictures.h"
#include "platform/draw/Bitmap.h"

namespace {

constexpr int Size = 40;

// The same drawing calls on a picture at each scale.
QImage DrawnAt(double Factor, const std::function<void(TCanvas&)>& Draw)
{
    TBitmap bitmap(Size, Size, TDeviceScale::Of(Factor));
    Draw(bitmap.Canvas());
    return bitmap.Image();
}

void ThinShapes(TCanvas& C)
{
    C.Pen.Color = clNavy;
    C.Brush.Color = clYellow;
    C.Rectangle(2, 3, 17, 11);
    C.Ellipse(20, 2, 31, 13);
    C.Polygon({{3, 30}, {12, 20}, {18, 36}});
    C.Pen.Style = psDash;
    C.MoveTo(1, 15);
    C.LineTo(39, 38);
    C.Pen.Style = psSolid;
    C.Pen.Mode = pmXor;
    C.Pen.Color = clRed;
    C.Polyline({{22, 18}, {36, 18}, {36, 32}});
    C.Pen.Mode = pmCopy;
    C.SetPixel(38, 2, clGreen);
    C.Brush.Color = clAqua;
    C.FillRect({24, 34, 30, 39});
    C.Pen.Width = 3;
    C.MoveTo(26, 24);
    C.LineTo(31, 27);
}

int RunLength(const QImage& Picture, int X, int Y, int Dx, int Dy, QRgb Colour)
{
    int n = 0;
    while (X >= 0 && Y >= 0 && X < Picture.width() && Y < Picture.height() && Picture.pixel(X, Y) == Colour) {
        ++n;
        X += Dx;
        Y += Dy;
    }
    return n;
}

}  // namespace

TEST(ScaledCanvas, WholeScalesDrawEveryPixelAsABlock)
{
    const QImage plain = DrawnAt(1, ThinShapes);
    for (const int factor : {2, 3}) {
        SCOPED_TRACE(factor);
        const QImage scaled = DrawnAt(factor, ThinShapes);
        ASSERT_EQ(scaled.size(), plain.size() * factor);
        EXPECT_EQ(scaled.devicePixelRatio(), factor);
        EXPECT_EQ(FirstBlockMismatch(plain, scaled, factor, plain.rect()), QPoint(-1, -1));
    }
}

// At every scale a one-pixel line, wherever it lies, is Block device pixels wide and has no gap along it (in the
// xor modes too, where no device pixel may flip twice), a filled box leaves no gap between its edge and its inside,
// and the picture keeps its logical size.
TEST(ScaledCanvas, LinesAndEdgesAreOneBlockWideEverywhere)
{
    for (const double factor : {1.1, 1.25, 1.5, 1.75, 2.0, 2.2, 3.0}) {
        SCOPED_TRACE(factor);
        const TDeviceScale scale = TDeviceScale::Of(factor);
        for (int size = 1; size < 64; ++size)
            EXPECT_EQ(TBitmap(size, 3, scale).Width(), size);
        const QImage picture = DrawnAt(factor, [](TCanvas& C) {
            C.Pen.Color = clBlack;
            for (int i = 0; i < 6; ++i) {
                C.MoveTo(1, 1 + 3 * i);
                C.LineTo(20, 1 + 3 * i);
                C.MoveTo(21 + 3 * i, 1);
                C.LineTo(21 + 3 * i, 20);
            }
            C.Brush.Color = clYellow;
            C.Rectangle(3, 23, 30, 37);
            C.Pen.Mode = pmXor;
            C.Pen.Color = clWhite;
            C.MoveTo(1, 38);
            C.LineTo(30, 38);
        });
        const QRgb black = qRgb(0, 0, 0), yellow = qRgb(255, 255, 0);
        const int length = scale.Device(20) - scale.Device(1);
        for (int i = 0; i < 6; ++i) {
            EXPECT_GE(RunLength(picture, scale.Device(1), scale.Device(1 + 3 * i), 1, 0, black), length) << i;
            EXPECT_EQ(RunLength(picture, scale.Device(5), scale.Device(1 + 3 * i), 0, 1, black), scale.Block) << i;
            EXPECT_EQ(RunLength(picture, scale.Device(21 + 3 * i), scale.Device(5), 1, 0, black), scale.Block) << i;
        }
        const int edge = RunLength(picture, scale.Device(3), scale.Device(30), 1, 0, black);
        EXPECT_EQ(edge, scale.Block);
        EXPECT_EQ(picture.pixel(scale.Device(3) + edge, scale.Device(30)), yellow);
        EXPECT_EQ(
            RunLength(picture, scale.Device(1), scale.Device(38), 1, 0, black), scale.Device(30) - scale.Device(1));
    }
}

// Text at scale 2 is the font at twice the size, not the scale-1 glyphs enlarged, and only in the font colour.
TEST(ScaledCanvas, TextHasRealGlyphsInTheFontColourOnly)
{
    const auto write = [](TCanvas& C) {
        C.Brush.Style = bsClear;
        C.Font = TFont(QStringLiteral("Liberation Sans"), 13);
        C.TextOut(2, 10, QStringLiteral("8.0 Ag"));
    };
    const QImage plain = DrawnAt(1, write);
    const QImage scaled = DrawnAt(2, write);
    EXPECT_EQ(ColoursOf(scaled), (std::set<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
    EXPECT_NE(FirstBlockMismatch(plain, scaled, 2, plain.rect()), QPoint(-1, -1));
    const auto inkRows = [](const QImage& Picture) {
        int first = Picture.height(), last = -1;
        for (int y = 0; y < Picture.height(); ++y)
            for (int x = 0; x < Picture.width(); ++x)
                if (Picture.pixel(x, y) == qRgb(0, 0, 0)) {
                    first = std::min(first, y);
                    last = std::max(last, y);
                }
        return last - first + 1;
    };
    EXPECT_NEAR(inkRows(scaled), 2 * inkRows(plain), 2);
}
