#include "chart/TextLabelPainter.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include <QStringList>

#include "scale/Rounding.h"

namespace {

// Far outside any bitmap, yet small enough that box and text offsets cannot overflow.
constexpr double LabelReach = 1e6;

int ToLabelPixel(double value)
{
    return int(std::clamp(RoundHalfEven(value), -LabelReach, LabelReach));
}

// The anchor in plot-bitmap pixels; none when a coordinate it needs is NaN.
std::optional<TPoint> LabelAnchor(
    const TCustomTextLabel& label, const ChartGeometry& geometry, const LayerTransform& transform)
{
    const TTxtLblAttachMode mode = label.AttachToData();
    const bool worldX = mode == tlamXOnly || mode == tlamBoth, worldY = mode == tlamYOnly || mode == tlamBoth;
    PixelPosition world;
    if (worldX || worldY) {
        world = WorldToPixel(geometry, transform, label.PosX(), label.PosY());
        if (!world.Valid)
            return std::nullopt;
    }
    const double x = worldX ? world.X : label.PosX(), y = worldY ? world.Y : label.PosY();
    if (std::isnan(x) || std::isnan(y))
        return std::nullopt;
    return TPoint{ToLabelPixel(x) - geometry.MarginLeft, ToLabelPixel(y) - geometry.MarginTop};
}

// How far a line is indented within a block of width w.
int LineIndent(TAlignment alignment, int blockWidth, int lineWidth)
{
    if (alignment == taRightJustify)
        return blockWidth - lineWidth;
    if (alignment == taCenter)
        return (blockWidth - lineWidth) / 2;
    return 0;
}

void DrawBox(TCanvas& canvas, const TRect& box, const TCustomTextLabel& label)
{
    switch (label.Mode()) {
    case tlsimple:
    case tlUnderline:
        if (!label.Transparent()) {
            TCanvasSaver keep(canvas);
            canvas.Pen.Color = label.ColorBkg();
            canvas.Rectangle(box);
        }
        break;
    case tlBox: canvas.Rectangle(box); break;
    case tlShadow: {
        {
            TCanvasSaver keep(canvas);
            canvas.Pen.Color = label.ColorShadow();
            canvas.Brush.Color = label.ColorShadow();
            canvas.Rectangle(box.Left + label.ShadowDx(), box.Top + label.ShadowDy(), box.Right + label.ShadowDx(),
                box.Bottom + label.ShadowDy());
        }
        canvas.Rectangle(box);
        break;
    }
    default: break;
    }
}

}  // namespace

void DrawTextLabel(
    TCanvas& Canvas, const TCustomTextLabel& Label, const ChartGeometry& Geometry, const LayerTransform& Transform)
{
    if (Label.Mode() == tlOff)
        return;
    std::optional<TPoint> anchor = LabelAnchor(Label, Geometry, Transform);
    if (!anchor)
        return;
    Canvas.Font = Label.Font();
    Canvas.Pen.Color = Label.ColorBorder();
    Canvas.Pen.Style = psSolid;
    Canvas.Brush.Color = Label.ColorBkg();
    Canvas.Brush.Style = Label.Transparent() ? bsClear : bsSolid;

    const QString caption = Label.Caption();
    const QStringList lines = caption.split(QLatin1Char('\n'));
    const int n = int(lines.size());
    int w = 0;
    for (const QString& line : lines)
        w = std::max(w, Canvas.TextWidth(line));
    if (w == 0)
        w = Canvas.TextWidth(caption);
    const int h = Canvas.TextHeight(caption);

    int ax = anchor->X, ay = anchor->Y;
    if (Label.VerticalAlignment() == vaTop)
        ay += h;
    else if (Label.VerticalAlignment() == vaCenter)
        ay += h / 2;
    ax -= LineIndent(Label.Alignment(), w, 0);

    DrawBox(Canvas, {ax - 4, ay - n * h - 2, ax + w + 4, ay + 2}, Label);
    if (Label.Mode() == tlUnderline) {
        Canvas.MoveTo(ax, ay);
        Canvas.LineTo(ax + w, ay);
    }
    for (int k = 0; k < n; ++k) {
        const QString& line = lines[k];
        Canvas.TextOut(ax + LineIndent(Label.Alignment(), w, Canvas.TextWidth(line)), ay - (n - k) * h, line);
    }
}

void DrawTextLabels(TCanvas& Canvas, std::span<const TCustomTextLabel* const> Labels, const ChartGeometry& Geometry,
    std::span<const LayerTransform, ChartLayerCount> Transforms, std::span<const bool, ChartLayerCount> LayerVisible)
{
    Canvas.Pen.Width = 1;
    for (auto it = Labels.rbegin(); it != Labels.rend(); ++it) {
        const TCustomTextLabel* label = *it;
        if (label == nullptr || label->Mode() == tlOff || !label->Visible())
            continue;
        const int layer = std::clamp(label->Layer(), FirstChartLayer, LastChartLayer);
        if (!LayerVisible[std::size_t(layer - 1)])
            continue;
        DrawTextLabel(Canvas, *label, Geometry, Transforms[std::size_t(layer - 1)]);
    }
}
