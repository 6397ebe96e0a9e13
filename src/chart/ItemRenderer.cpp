#include "chart/ItemRenderer.h"

#include <algorithm>
#include <array>
#include <optional>

#include <QString>

#include "chart/MarkShapes.h"

namespace {

// Assigns a canvas setting only when it differs, counting the changes.
template <typename T> void Change(T& field, const T& value, int& changes)
{
    if (field == value)
        return;
    field = value;
    ++changes;
}

class ItemPainter {
public:
    ItemPainter(TCanvas& canvas, const ChartItemList& items, const ItemScene& scene, const ItemRenderSettings& settings)
        : canvas_(canvas), items_(items), scene_(scene), settings_(settings), marks_(canvas), boxes_(canvas)
    {
        for (std::size_t i = 0; i < linear_.size(); ++i) {
            linear_[i] = IsLinear(scene.Transforms[i]);
            fast_[i] = {FastLinearAxis::Of(scene.Transforms[i].X), FastLinearAxis::Of(scene.Transforms[i].Y)};
        }
    }

    void Draw(const ChartItem& item)
    {
        const int layer = std::clamp(int(item.Layer), 1, ChartLayerCount);
        if (!scene_.ClassVisible[item.Class] || !scene_.LayerVisible[std::size_t(layer - 1)])
            return;
        TPoint p1, p2;
        if (!PlotPixel(layer, item.x1, item.y1, p1))
            return;
        switch (item.Kind) {
        case TChartItemKind::Mark: DrawMarkItem(item, p1); break;
        case TChartItemKind::Rectangle:
            if (PlotPixel(layer, item.x2, item.y2, p2))
                DrawRectangleItem(item, p1, p2);
            break;
        case TChartItemKind::Text: DrawTextItem(item, p1); break;
        }
    }

    const ItemRenderStats& Stats() const { return stats_; }

private:
    // The item's pixel in plot-bitmap coordinates, clamped to the drawing reach; false for a NaN coordinate.
    // Inline for the common case that double precision settles; the rest goes the exact way, out of line.
    // (A flag and an out-parameter rather than an optional point: the optional's flag byte, written apart from
    // the point and read back with it, stalled the store forwarding once per item.)
    bool PlotPixel(int layer, double x, double y, TPoint& p) const
    {
        const auto index = std::size_t(layer - 1);
        std::int32_t px = 0, py = 0;
        if (linear_[index] && FastAxisPixel(fast_[index].X, x, px) && FastAxisPixel(fast_[index].Y, y, py)) {
            p = ToPlot(px, py);
            return true;
        }
        return ExactPlotPixel(index, x, y, p);
    }

    [[gnu::noinline]] bool ExactPlotPixel(std::size_t index, double x, double y, TPoint& p) const
    {
        const LayerTransform& t = scene_.Transforms[index];
        const PixelPosition exact =
            linear_[index] ? LinearWorldToPixel(t, x, y) : WorldToPixel(scene_.Geometry, t, x, y);
        if (!exact.Valid)
            return false;
        p = ToPlot(exact.X, exact.Y);
        return true;
    }

    TPoint ToPlot(std::int32_t x, std::int32_t y) const
    {
        return {ClampToDrawRange(x) - scene_.Geometry.MarginLeft, ClampToDrawRange(y) - scene_.Geometry.MarginTop};
    }

    struct FastLayer {
        FastLinearAxis X, Y;
    };

    void UsePen(const ChartItem& item)
    {
        Change(canvas_.Pen.Width, int(item.LineWidth), stats_.PenChanges);
        Change(canvas_.Pen.Color, item.Color, stats_.PenChanges);
        Change(canvas_.Pen.Style, item.PenStyle, stats_.PenChanges);
    }

    void DrawMarkItem(const ChartItem& item, TPoint p)
    {
        UsePen(item);
        marks_.Draw(item.MarkKind, p.X, p.Y);
    }

    void DrawRectangleItem(const ChartItem& item, TPoint p1, TPoint p2)
    {
        UsePen(item);
        Change(canvas_.Brush.Color, item.FillColor, stats_.BrushChanges);
        Change(canvas_.Brush.Style, bsSolid, stats_.BrushChanges);
        if (p1 == p2) {
            canvas_.SetPixel(p1.X, p1.Y, item.Color);
            return;
        }
        // the larger corner moves out by one, so that both corner pixels are covered
        (p2.X > p1.X ? p2.X : p1.X) += 1;
        (p2.Y > p1.Y ? p2.Y : p1.Y) += 1;
        if (!boxes_.HasTarget() || !boxes_.CopyMode() || canvas_.Pen.Style != psSolid || canvas_.Pen.Width > 1) {
            canvas_.Rectangle(p1.X, p1.Y, p2.X, p2.Y);
            return;
        }
        // the common box (histogram bars, cells), through the batch that looked up the scan lines once
        boxes_.SolidBox({p1.X, p1.Y, p2.X, p2.Y}, edge_.Of(item.Color), fill_.Of(item.FillColor));
    }

    // The last colour asked for and its pixel value.
    struct RgbOf {
        TColor Color = 0;
        QRgb Rgb = ToQRgb(0);
        QRgb Of(TColor color)
        {
            if (color != Color) {
                Color = color;
                Rgb = ToQRgb(color);
            }
            return Rgb;
        }
    };

    void DrawTextItem(const ChartItem& item, TPoint p)
    {
        Change(canvas_.Pen.Width, int(item.LineWidth), stats_.PenChanges);
        TFont font = canvas_.Font;
        font.SetColor(item.Color);
        font.SetStyle(settings_.TextFontStyle);
        if (item.Size == 0)
            font.SetHeight(0);  // no size: the font's default size, as a zero height gives
        else
            font.SetSize(item.Size);
        Change(canvas_.Font, font, stats_.FontChanges);
        Change(canvas_.Brush.Color, settings_.TextBkColor, stats_.BrushChanges);
        Change(canvas_.Brush.Style, settings_.TextBkStyle == tbSolid ? bsSolid : bsClear, stats_.BrushChanges);
        const QString text = QString::fromUtf8(items_.TextOf(item));
        const int w = canvas_.TextWidth(text);
        p.Y -= canvas_.TextHeight(text) / 2;
        if (settings_.TextAlignment == taRightJustify)
            p.X -= w;
        else if (settings_.TextAlignment == taCenter)
            p.X -= w / 2;
        canvas_.TextOut(p.X, p.Y, text);
    }

    TCanvas& canvas_;
    const ChartItemList& items_;
    const ItemScene& scene_;
    const ItemRenderSettings& settings_;
    MarkPainter marks_;
    std::array<bool, ChartLayerCount> linear_{};     // per layer: IsLinear
    std::array<FastLayer, ChartLayerCount> fast_{};  // per linear layer: its axes in double
    TPixelBatch boxes_;
    RgbOf edge_, fill_;
    ItemRenderStats stats_;
};

}  // namespace

ItemRenderStats RenderItems(
    TCanvas& Canvas, const ChartItemList& Items, const ItemScene& Scene, const ItemRenderSettings& Settings)
{
    Canvas.Pen.Width = Settings.LineWidth;
    Canvas.Pen.Color = Settings.ChartColor;
    Canvas.Pen.Style = psSolid;
    Canvas.Brush.Color = Settings.ChartColor;
    ItemPainter painter(Canvas, Items, Scene, Settings);
    const std::size_t count = std::min(std::size_t(std::max(Items.Count, 0)), Items.Items.size());
    for (std::size_t i = 0; i < count; ++i)
        painter.Draw(Items.Items[i]);
    return painter.Stats();
}
