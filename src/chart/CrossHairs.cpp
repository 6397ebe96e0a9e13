#include "chart/CrossHairs.h"

#include <algorithm>

namespace {

void DrawCrossHair(TCanvas& Canvas, const ChartGeometry& G, const TCrossHair& Hair,
    std::span<const LayerTransform, ChartLayerCount> Layers, int Dx, int Dy)
{
    const int layer = std::clamp(Hair.Layer(), FirstChartLayer, LastChartLayer);
    const PixelPosition p = WorldToPixel(G, Layers[layer - 1], Hair.PosX(), Hair.PosY());
    if (!p.Valid)
        return;
    Canvas.Pen.Color = Hair.Color();
    Canvas.Pen.Width = Hair.LineWid();
    Canvas.Pen.Style = Hair.LineType();
    const int d = Hair.LineWid() / 2;
    // the plot frame's inner edges, narrowed by half the line width so that the line cannot cover the frame
    const int left = G.MarginLeft + d, right = G.Width - G.MarginRight - G.ShadowWidth - d;
    const int top = G.MarginTop + d, bottom = G.Height - G.MarginBottom - G.ShadowWidth - d;
    const TCrossHMode mode = Hair.Mode();
    if ((mode == chHoriz || mode == chBoth) && top < p.Y && p.Y < bottom) {
        Canvas.MoveTo(left + 1 - Dx, p.Y - Dy);
        Canvas.LineTo(right - Dx, p.Y - Dy);
    }
    if ((mode == chVert || mode == chBoth) && left < p.X && p.X < right) {
        Canvas.MoveTo(p.X - Dx, top + 1 - Dy);
        Canvas.LineTo(p.X - Dx, bottom - Dy);
    }
}

}  // namespace

void DrawCrossHairs(TCanvas& Canvas, const ChartGeometry& G, std::span<const TCrossHair* const> CrossHairs,
    std::span<const LayerTransform, ChartLayerCount> Layers, int Dx, int Dy)
{
    const TPen kept = Canvas.Pen;
    for (const TCrossHair* hair : CrossHairs) {
        if (hair != nullptr && hair->Mode() != chOff)
            DrawCrossHair(Canvas, G, *hair, Layers, Dx, Dy);
    }
    Canvas.Pen = kept;
}
