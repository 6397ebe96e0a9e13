#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "chart/PlotBackground.h"

namespace {

constexpr TColor ChartColour = 0xF0F0F0, FrameColour = 0x202020, AreaColour = 0x00C000;

// 40 x 30 with margins of 5: a plot of 30 x 20 (bitmap 31 x 21). Layer 1 maps world x to plot u = x and
// world y to plot v = 20 - y.
ChartGeometry AreaGeometry()
{
    ChartGeometry g;
    g.Width = 40;
    g.Height = 30;
    g.MarginLeft = g.MarginRight = g.MarginTop = g.MarginBottom = 5;
    return g;
}

LayerTransform AreaLayer(const ChartGeometry& g)
{
    return ComputeLayerTransform(g, {0, 30}, {0, 20});
}

class PlotBackground : public testing::Test {
protected:
    QTemporaryDir dir;
    ChartGeometry geometry = AreaGeometry();
    PlotColors colours{ChartColour, FrameColour};
    BackgroundSettings settings;
    BackgroundImage image;
    TBitmap plot;

    QString Path(const char* name) const { return dir.filePath(QLatin1String(name)); }

    // a picture whose pixel (x, y) has the colour Colour(x, y)
    static TColor Colour(int x, int y) { return TColor(0x100000 * (x + 1) + 0x40 * (y + 1)); }
    QString WritePicture(const char* name, int w, int h)
    {
        QImage picture(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                picture.setPixel(x, y, ToQRgb(Colour(x, y)));
        EXPECT_TRUE(picture.save(Path(name), "PNG"));
        return Path(name);
    }
    QString WriteSolid(const char* name, int w, int h, TColor c)
    {
        QImage picture(w, h, QImage::Format_RGB32);
        picture.fill(ToQColor(c));
        EXPECT_TRUE(picture.save(Path(name), "PNG"));
        return Path(name);
    }

    BackgroundImageStatus Draw()
    {
        return DrawPlotBackground(plot, geometry, colours, settings, image, AreaLayer(geometry));
    }

    TColor At(int u, int v) const { return plot.Canvas().Pixel(u, v); }

    // the plot filled with the chart colour, outlined in the frame colour, and inside rect the area colour
    void ExpectPlainPlot(const TRect& area = {})
    {
        ASSERT_EQ(plot.Width(), 31);
        ASSERT_EQ(plot.Height(), 21);
        for (int v = 0; v < 21; ++v) {
            for (int u = 0; u < 31; ++u) {
                const bool edge = u == 0 || v == 0 || u == 30 || v == 20;
                const TColor expected = area.Contains(u, v) ? AreaColour : (edge ? FrameColour : ChartColour);
                ASSERT_EQ(At(u, v), expected) << u << "," << v;
            }
        }
    }
};

std::uint32_t Crc32(const QByteArray& bytes)
{
    std::uint32_t crc = 0xFFFFFFFF;
    for (const char ch : bytes) {
        crc ^= std::uint8_t(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void AppendBigEndian(QByteArray& bytes, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.append(char((v >> shift) & 0xFF));
}

void AppendChunk(QByteArray& file, const char* type, const QByteArray& data)
{
    AppendBigEndian(file, std::uint32_t(data.size()));
    const QByteArray typed = QByteArray(type) + data;
    file.append(typed);
    AppendBigEndian(file, Crc32(typed));
}

// A valid PNG header announcing a picture of the given size, with next to no picture data after it.
QByteArray PngHeader(std::uint32_t Width, std::uint32_t Height)
{
    QByteArray file("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    AppendBigEndian(header, Width);
    AppendBigEndian(header, Height);
    header.append("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace
    AppendChunk(file, "IHDR", header);
    AppendChunk(file, "IDAT", QByteArray("\x78\x9c\x03\x00\x00\x00\x00\x01", 8));  // an empty stream
    AppendChunk(file, "IEND", {});
    return file;
}

TEST_F(PlotBackground, PlotBitmapIsThePlotAreaWithItsFrameAndNeverNegative)
{
    EXPECT_EQ(Draw(), BackgroundImageStatus::NoImage);
    EXPECT_EQ(plot.Width(), 31);
    EXPECT_EQ(plot.Height(), 21);
    geometry.MarginRight = 40;   // W = -5
    geometry.MarginBottom = 24;  // H = -1
    EXPECT_EQ(Draw(), BackgroundImageStatus::NoImage);
    EXPECT_EQ(plot.Width(), 0);
    EXPECT_EQ(plot.Height(), 0);
}

TEST_F(PlotBackground, AreaModesByTable)
{
    // area x 10..20, y 5..15 in world units: u 10..20, v 5..15
    settings.AreaLeft = 10;
    settings.AreaRight = 20;
    settings.AreaTop = 15;
    settings.AreaBottom = 5;
    settings.AreaColor = AreaColour;
    struct Row {
        TBGAreaMode Mode;
        TRect Area;
    };
    const Row rows[] = {
        {bamNone, {}},
        {bamLeft, {0, 0, 10, 21}},
        {bamRight, {20, 0, 31, 21}},
        {bamTop, {0, 0, 31, 5}},
        {bamBottom, {0, 15, 31, 21}},
        {bamVStripe, {10, 0, 20, 21}},
        {bamHStripe, {0, 5, 31, 15}},
        {bamRect, {10, 5, 20, 15}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(int(r.Mode));
        settings.AreaMode = r.Mode;
        EXPECT_EQ(Draw(), BackgroundImageStatus::NoImage);
        ExpectPlainPlot(r.Area);
        EXPECT_EQ(BackgroundAreaRect(geometry, settings, AreaLayer(geometry), 31, 21), r.Area);
    }
}

TEST_F(PlotBackground, AreaEdgesFarOutAreClampedMirroredAreasNormalisedAndNaNEdgesDrawNothing)
{
    settings.AreaColor = AreaColour;
    settings.AreaMode = bamRect;
    settings.AreaLeft = -1e300;  // clamped to control x -30000
    settings.AreaRight = 20;
    settings.AreaTop = 15;
    settings.AreaBottom = 5;
    EXPECT_EQ(BackgroundAreaRect(geometry, settings, AreaLayer(geometry), 31, 21), (TRect{-30005, 5, 20, 15}));
    EXPECT_EQ(Draw(), BackgroundImageStatus::NoImage);
    ExpectPlainPlot({0, 5, 20, 15});

    settings.AreaLeft = 20;  // left and right swapped
    settings.AreaRight = 10;
    EXPECT_EQ(Draw(), BackgroundImageStatus::NoImage);
    ExpectPlainPlot({10, 5, 20, 15});

    settings.AreaTop = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(Draw(), BackgroundImageStatus::NoImage);
    ExpectPlainPlot();
}

TEST_F(PlotBackground, SimpleImageSitsInTheTopLeftCornerOverThePlainPlot)
{
    settings.Name = WritePicture("simple.png", 3, 2);
    settings.FillMode = bfSimple;
    EXPECT_EQ(Draw(), BackgroundImageStatus::Loaded);
    for (int v = 0; v < 21; ++v) {
        for (int u = 0; u < 31; ++u) {
            const bool edge = u == 0 || v == 0 || u == 30 || v == 20;
            const TColor expected = (u < 3 && v < 2) ? Colour(u, v) : (edge ? FrameColour : ChartColour);
            ASSERT_EQ(At(u, v), expected) << u << "," << v;
        }
    }
}

TEST_F(PlotBackground, TiledImageCoversThePlotToItsLastPixel)
{
    // 31 x 21 from a 3 x 2 picture: (31 - 1) div 3 + 1 = 11 columns, (21 - 1) div 2 + 1 = 11 rows; the last
    // column and row are cut
    settings.Name = WritePicture("tile.png", 3, 2);
    settings.FillMode = bfTile;
    EXPECT_EQ(Draw(), BackgroundImageStatus::Loaded);
    for (int v = 0; v < 21; ++v)
        for (int u = 0; u < 31; ++u)
            ASSERT_EQ(At(u, v), Colour(u % 3, v % 2)) << u << "," << v;

    geometry.Width = 41;  // 32 x 21: exactly 11 columns, none cut
    EXPECT_EQ(Draw(), BackgroundImageStatus::Loaded);
    for (int v = 0; v < 21; ++v)
        ASSERT_EQ(At(31, v), Colour(31 % 3, v % 2)) << v;
}

TEST_F(PlotBackground, StretchedImageFillsTheWholePlot)
{
    settings.Name = WritePicture("stretch.png", 2, 1);
    settings.FillMode = bfStretch;
    EXPECT_EQ(Draw(), BackgroundImageStatus::Loaded);
    for (int v = 0; v < 21; ++v) {
        EXPECT_EQ(At(0, v), Colour(0, 0)) << v;
        EXPECT_EQ(At(14, v), Colour(0, 0)) << v;
        EXPECT_EQ(At(17, v), Colour(1, 0)) << v;
        EXPECT_EQ(At(30, v), Colour(1, 0)) << v;
    }
}

TEST_F(PlotBackground, TransparentPartsOfAnImageShowWhite)
{
    QImage picture(2, 2, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    ASSERT_TRUE(picture.save(Path("alpha.png"), "PNG"));
    settings.Name = Path("alpha.png");
    settings.FillMode = bfTile;
    EXPECT_EQ(Draw(), BackgroundImageStatus::Loaded);
    EXPECT_EQ(At(0, 0), clRed);
    EXPECT_EQ(At(1, 1), clWhite);
}

TEST_F(PlotBackground, RefusedImagesLeaveThePlainPlotAndNoLoadedName)
{
    QFile text(Path("notes.png"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("this is not a picture\n");
    text.close();
    QFile huge(Path("huge.png"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    huge.write(PngHeader(100000, 100000));
    huge.close();
    const QString wide = WriteSolid("wide.png", MaxBackgroundImageSide + 1, 1, clRed);
    const QString good = WriteSolid("good.png", 2, 2, clRed);

    struct Row {
        QString Name;
        BackgroundImageStatus Status;
    };
    const Row rows[] = {
        {Path("missing.png"), BackgroundImageStatus::Unreadable},
        {Path("notes.png"), BackgroundImageStatus::Unreadable},
        {Path("huge.png"), BackgroundImageStatus::TooLarge},
        {wide, BackgroundImageStatus::TooLarge},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Name.toStdString());
        settings.Name = good;  // a picture loaded before must not show through
        settings.FillMode = bfTile;
        ASSERT_EQ(Draw(), BackgroundImageStatus::Loaded);
        settings.Name = r.Name;
        settings.AreaMode = bamLeft;  // no area either: the image was asked for
        const BackgroundImageStatus status = Draw();
        EXPECT_EQ(status, r.Status);
        EXPECT_TRUE(IsRefused(status));
        EXPECT_TRUE(image.LoadedName.isEmpty());
        ExpectPlainPlot();
    }
}

TEST_F(PlotBackground, AnImageIsReadOnceAndAgainOnlyUnderAnotherName)
{
    settings.Name = WriteSolid("a.png", 2, 2, clRed);
    settings.FillMode = bfStretch;
    EXPECT_EQ(Draw(), BackgroundImageStatus::Loaded);
    EXPECT_EQ(At(15, 10), clRed);

    WriteSolid("a.png", 2, 2, clBlue);  // the file changes behind the chart's back
    EXPECT_EQ(Draw(), BackgroundImageStatus::Loaded);
    EXPECT_EQ(At(15, 10), clRed);

    settings.Name = WriteSolid("b.png", 2, 2, clLime);
    EXPECT_EQ(Draw(), BackgroundImageStatus::Loaded);
    EXPECT_EQ(At(15, 10), clLime);
    EXPECT_EQ(image.LoadedName, settings.Name);
}

}  // namespace
