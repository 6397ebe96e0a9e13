#include <new>
#include <stdexcept>

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/draw/Bitmap.h"

namespace {

struct BitmapTest : ::testing::Test { };

TEST_F(BitmapTest, NewBitmapIsWhiteAtNinetySixDotsPerInch)
{
    TBitmap b(4, 3);
    EXPECT_EQ(b.Width(), 4);
    EXPECT_EQ(b.Height(), 3);
    EXPECT_EQ(b.Image().format(), QImage::Format_RGB32);
    EXPECT_EQ(b.Image().logicalDpiY(), 96);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(b.Canvas().Pixel(x, y), clWhite);
}

TEST_F(BitmapTest, ResizingKeepsTheOverlapAndTheCanvasStaysBound)
{
    TBitmap b(3, 3);
    b.Canvas().SetPixel(1, 1, clRed);
    b.Canvas().Pen.Color = clBlue;
    b.SetSize(6, 2);
    EXPECT_EQ(b.Canvas().Pixel(1, 1), clRed);
    EXPECT_EQ(b.Canvas().Pixel(5, 1), clWhite);
    EXPECT_EQ(b.Canvas().Width(), 6);
    EXPECT_EQ(b.Canvas().Pen.Color, clBlue);
    b.Canvas().MoveTo(0, 0);
    b.Canvas().LineTo(6, 0);
    EXPECT_EQ(b.Canvas().Pixel(5, 0), clBlue);
}

TEST_F(BitmapTest, ZeroSizeIsAnEmptyPictureThatIgnoresDrawing)
{
    TBitmap b(5, 5);
    b.SetSize(0, 5);
    EXPECT_TRUE(b.Empty());
    b.Canvas().Rectangle(0, 0, 5, 5);
    b.Canvas().TextOut(0, 0, QStringLiteral("x"));
    EXPECT_EQ(b.Canvas().Pixel(0, 0), TCanvas::InvalidPixel);
    b.SetSize(2, 2);
    EXPECT_EQ(b.Canvas().Pixel(1, 1), clWhite);
}

TEST_F(BitmapTest, ImpossibleSizesFailAtCreation)
{
    EXPECT_THROW(TBitmap(-1, 5), std::invalid_argument);
    TBitmap b(2, 2);
    EXPECT_THROW(b.SetSize(3, -4), std::invalid_argument);
    EXPECT_EQ(b.Width(), 2);
    EXPECT_THROW(b.SetSize(1000000, 1000000), std::bad_alloc);
    EXPECT_EQ(b.Width(), 2);
}

TEST_F(BitmapTest, LoadsPicturesFlattenedOntoWhite)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage src(3, 2, QImage::Format_ARGB32);
    src.fill(Qt::transparent);
    src.setPixel(0, 0, qRgb(255, 0, 0));
    src.setPixel(2, 1, qRgb(0, 0, 255));
    for (const char* ext : {"png", "bmp"}) {
        SCOPED_TRACE(ext);
        const QString path = dir.filePath(QStringLiteral("pic.") + QLatin1String(ext));
        ASSERT_TRUE(src.save(path));
        TBitmap b;
        ASSERT_TRUE(b.LoadFromFile(path));
        EXPECT_EQ(b.Width(), 3);
        EXPECT_EQ(b.Height(), 2);
        EXPECT_EQ(b.Canvas().Pixel(0, 0), clRed);
        EXPECT_EQ(b.Canvas().Pixel(2, 1), clBlue);
        if (QLatin1String(ext) == QLatin1String("png")) {
            EXPECT_EQ(b.Canvas().Pixel(1, 0), clWhite);
        }
    }
    // JPEG is lossy: a plain picture comes back close to its colour
    QImage plain(8, 8, QImage::Format_RGB32);
    plain.fill(qRgb(200, 40, 40));
    const QString jpeg = dir.filePath(QStringLiteral("pic.jpg"));
    ASSERT_TRUE(plain.save(jpeg));
    TBitmap b;
    ASSERT_TRUE(b.LoadFromFile(jpeg));
    const TColor p = b.Canvas().Pixel(4, 4);
    EXPECT_NEAR(GetRValue(p), 200, 8);
    EXPECT_NEAR(GetGValue(p), 40, 8);
    EXPECT_NEAR(GetBValue(p), 40, 8);
}

TEST_F(BitmapTest, AFileThatCannotBeReadLeavesTheBitmapAlone)
{
    QTemporaryDir dir;
    const QString junk = dir.filePath(QStringLiteral("junk.png"));
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a picture");
    f.close();
    TBitmap b(2, 2);
    b.Canvas().SetPixel(0, 0, clRed);
    EXPECT_FALSE(b.LoadFromFile(junk));
    EXPECT_FALSE(b.LoadFromFile(dir.filePath(QStringLiteral("missing.bmp"))));
    EXPECT_FALSE(b.LoadFromFile(QString()));
    EXPECT_EQ(b.Width(), 2);
    EXPECT_EQ(b.Canvas().Pixel(0, 0), clRed);
}

TEST_F(BitmapTest, AssignCopiesThePictureOnly)
{
    TBitmap a(2, 1);
    a.Canvas().SetPixel(1, 0, clGreen);
    TBitmap b(7, 7);
    b.Canvas().Pen.Color = clRed;
    b.Assign(a);
    EXPECT_EQ(b.Width(), 2);
    EXPECT_EQ(b.Canvas().Pixel(1, 0), clGreen);
    EXPECT_EQ(b.Canvas().Pen.Color, clRed);
    a.Canvas().SetPixel(1, 0, clBlue);
    EXPECT_EQ(b.Canvas().Pixel(1, 0), clGreen);
    b.Assign(b);
    EXPECT_EQ(b.Canvas().Pixel(1, 0), clGreen);
}

TEST_F(BitmapTest, TheCanvasFollowsEveryNewPicture)
{
    TBitmap b;
    EXPECT_EQ(b.Canvas().Width(), 0);
    QImage picture(3, 2, QImage::Format_RGB16);
    picture.fill(Qt::red);
    b.Assign(picture);
    EXPECT_EQ(b.Canvas().Width(), 3);
    EXPECT_EQ(b.Canvas().Pixel(2, 1), clRed);
    b.Canvas().SetPixel(0, 0, clBlue);
    EXPECT_EQ(b.Canvas().Pixel(0, 0), clBlue);
    b.Assign(QImage());
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Canvas().Width(), 0);
    b.Canvas().Rectangle(0, 0, 3, 2);
    EXPECT_EQ(b.Canvas().Pixel(0, 0), TCanvas::InvalidPixel);
}

}  // namespace
