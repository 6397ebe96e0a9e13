#include "chart/PlotBackground.h"

#include <algorithm>

#include <QImageReader>
#include <QPainter>

namespace {

bool TooLarge(const QSize& Size)
{
    return Size.width() > MaxBackgroundImageSide || Size.height() > MaxBackgroundImageSide ||
        std::int64_t(Size.width()) * Size.height() * 4 > MaxBackgroundImageBytes;
}

// Transparent parts show white, as on a freshly created bitmap.
QImage OnWhite(const QImage& Picture)
{
    if (!Picture.hasAlphaChannel())
        return Picture;
    QImage flat(Picture.size(), QImage::Format_RGB32);
    if (flat.isNull())
        return flat;
    flat.fill(Qt::white);
    {
        QPainter p(&flat);
        p.drawImage(QPoint(0, 0), Picture);
    }
    return flat;
}

void DrawImage(TCanvas& Canvas, int Width, int Height, TBkgFill Mode, const TBitmap& Image)
{
    switch (Mode) {
    case bfSimple:
        Canvas.Rectangle(0, 0, Width, Height);
        Canvas.Draw(0, 0, Image);
        return;
    case bfStretch: Canvas.StretchDraw({0, 0, Width, Height}, Image); return;
    case bfTile: {
        const int iw = Image.Width(), ih = Image.Height();
        if (iw <= 0 || ih <= 0)
            return;
        const int columns = (Width - 1) / iw + 1, rows = (Height - 1) / ih + 1;
        for (int row = 0; row < rows; ++row)
            for (int column = 0; column < columns; ++column)
                Canvas.Draw(column * iw, row * ih, Image);
        return;
    }
    }
}

}  // namespace

BackgroundImageStatus LoadBackgroundImage(BackgroundImage& Image, const QString& Name)
{
    if (Name.isEmpty())
        return BackgroundImageStatus::NoImage;
    if (Name == Image.LoadedName)
        return BackgroundImageStatus::Loaded;
    Image.LoadedName.clear();

    QImageReader reader(Name);
    reader.setAllocationLimit(int(MaxBackgroundImageBytes >> 20));
    // the header's size, before anything is decoded; a reader that cannot tell has the allocation limit
    const QSize announced = reader.size();
    if (announced.isValid() && TooLarge(announced))
        return BackgroundImageStatus::TooLarge;
    const QImage picture = reader.read();
    if (picture.isNull())
        return BackgroundImageStatus::Unreadable;
    if (TooLarge(picture.size()))
        return BackgroundImageStatus::TooLarge;
    const QImage flat = OnWhite(picture);
    if (flat.isNull())
        return BackgroundImageStatus::Unreadable;
    Image.Bitmap.Assign(flat);
    Image.LoadedName = Name;
    return BackgroundImageStatus::Loaded;
}

TRect BackgroundAreaRect(const ChartGeometry& G, const BackgroundSettings& Settings, const LayerTransform& Layer1,
    int PlotBitmapWidth, int PlotBitmapHeight)
{
    if (Settings.AreaMode == bamNone)
        return {};
    const PixelPosition topLeft = WorldToPixel(G, Layer1, Settings.AreaLeft, Settings.AreaTop);
    const PixelPosition bottomRight = WorldToPixel(G, Layer1, Settings.AreaRight, Settings.AreaBottom);
    if (!topLeft.Valid || !bottomRight.Valid)
        return {};
    const int xl = ClampToDrawRange(topLeft.X) - G.MarginLeft, yt = ClampToDrawRange(topLeft.Y) - G.MarginTop;
    const int xr = ClampToDrawRange(bottomRight.X) - G.MarginLeft;
    const int yb = ClampToDrawRange(bottomRight.Y) - G.MarginTop;
    const int w = PlotBitmapWidth, h = PlotBitmapHeight;
    TRect r;
    switch (Settings.AreaMode) {
    case bamNone: return {};
    case bamLeft: r = {0, 0, xl, h}; break;
    case bamRight: r = {xr, 0, w, h}; break;
    case bamTop: r = {0, 0, w, yt}; break;
    case bamBottom: r = {0, yb, w, h}; break;
    case bamVStripe: r = {xl, 0, xr, h}; break;
    case bamHStripe: r = {0, yt, w, yb}; break;
    case bamRect: r = {xl, yt, xr, yb}; break;
    }
    return r.Normalized();
}

BackgroundImageStatus DrawPlotBackground(TBitmap& Plot, const ChartGeometry& G, const PlotColors& Colors,
    const BackgroundSettings& Settings, BackgroundImage& Image, const LayerTransform& Layer1)
{
    const int width = std::max(0, G.PlotWidth() + 1), height = std::max(0, G.PlotHeight() + 1);
    Plot.SetSize(width, height);
    TCanvas& canvas = Plot.Canvas();
    canvas.Pen = TPen{Colors.ChartFrameColor, 1, psSolid, pmCopy};
    canvas.Brush = {Colors.ChartColor, bsSolid};

    const BackgroundImageStatus status = LoadBackgroundImage(Image, Settings.Name);
    if (status == BackgroundImageStatus::Loaded) {
        DrawImage(canvas, width, height, Settings.FillMode, Image.Bitmap);
        return status;
    }
    canvas.Rectangle(0, 0, width, height);  // the chart colour outlined in the frame colour
    if (status == BackgroundImageStatus::NoImage) {
        const TRect area = BackgroundAreaRect(G, Settings, Layer1, width, height);
        if (!area.IsEmpty()) {
            canvas.Pen.Color = Settings.AreaColor;
            canvas.Brush.Color = Settings.AreaColor;
            canvas.Rectangle(area);
        }
    }
    return status;
}
