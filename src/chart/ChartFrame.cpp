#include "chart/ChartFrame.h"

namespace {

int CaptionAnchorX(const ChartGeometry& G, TCaptionAnchorHoriz Anchor)
{
    switch (Anchor) {
    case cahControlLeft: return 0;
    case cahChartLeft: return G.MarginLeft;
    case cahChartCenter: return G.MarginLeft + G.PlotWidth() / 2;
    case cahChartRight: return G.Width - G.MarginRight - G.ShadowWidth;
    case cahControlRight: return G.Width;
    }
    return 0;
}

int CaptionAnchorY(const ChartGeometry& G, TCaptionAnchorVert Anchor)
{
    switch (Anchor) {
    case cavControlTop: return 0;
    case cavChartTop: return G.MarginTop;
    case cavChartCenter: return G.MarginTop + G.PlotHeight() / 2;
    case cavChartBottom: return G.Height - G.MarginBottom;
    case cavControlBottom: return G.Height;
    }
    return 0;
}

// The two bands below and to the right of the control's face, and the corner squares beside them. w and h are
// the canvas's own size, the face's outline follows the control's.
void DrawShadow(TCanvas& Canvas, const ChartGeometry& G, const ChartFrameStyle& Style)
{
    const int S = G.ShadowWidth;
    const int w = Canvas.Width(), h = Canvas.Height();

    Canvas.Brush = {Style.ShadowBakColor, bsSolid};
    Canvas.Pen.Color = Style.ShadowBakColor;
    Canvas.Rectangle(w - S, 0, w, S);
    Canvas.Rectangle(0, h - S, S, h);

    // a flying shadow starts S pixels in, without an outline; a box shadow is outlined in black from the corner
    const bool box = Style.ShadowStyle == ssBox;
    const int e = box ? 0 : S - 1;
    Canvas.Brush.Color = Style.ShadowColor;
    Canvas.Pen.Color = box ? clBlack : Style.ShadowColor;
    Canvas.Polygon({{e, h - S}, {S - 1, h - 1}, {w - 1, h - 1}, {w - S, h - S}});
    Canvas.Polygon({{w - S, h - S}, {w - 1, h - 1}, {w - 1, S - 1}, {w - S, e}});

    Canvas.Pen.Color = clBlack;
    const int right = G.Width - S, bottom = G.Height - S;
    Canvas.Polyline({{0, 0}, {right, 0}, {right, bottom}, {0, bottom}, {0, 0}});
}

// The face in the brush colour (a box whose pen and brush are both the wind colour), but for the part of it
// that covered holds.
void FillAround(TCanvas& Canvas, const TRect& Face, const TRect& Covered)
{
    const TRect c = Covered.Normalized().Intersected(Face);
    if (c.IsEmpty()) {
        Canvas.FillRect(Face);
        return;
    }
    Canvas.FillRect({Face.Left, Face.Top, Face.Right, c.Top});
    Canvas.FillRect({Face.Left, c.Bottom, Face.Right, Face.Bottom});
    Canvas.FillRect({Face.Left, c.Top, c.Left, c.Bottom});
    Canvas.FillRect({c.Right, c.Top, Face.Right, c.Bottom});
}

void DrawCaption(TCanvas& Canvas, const ChartGeometry& G, const ChartFrameStyle& Style)
{
    Canvas.Pen.Color = Style.ChartFrameColor;
    Canvas.Brush.Style = bsClear;
    Canvas.Font = Style.Font;
    const TPoint anchor = CaptionAnchorPoint(G, Style);
    Canvas.TextOut(
        AlignedTextLeft(anchor.X, Canvas.TextWidth(Style.Caption), Style.CaptionAlignment), anchor.Y, Style.Caption);
}

}  // namespace

TPoint CaptionAnchorPoint(const ChartGeometry& G, const ChartFrameStyle& Style)
{
    return {Style.CaptionPosX + CaptionAnchorX(G, Style.CaptionAnchorHoriz),
        Style.CaptionPosY + CaptionAnchorY(G, Style.CaptionAnchorVert)};
}

int AlignedTextLeft(int X, int TextWidth, TAlignment Alignment)
{
    switch (Alignment) {
    case taRightJustify: return X - TextWidth;
    case taCenter: return X - TextWidth / 2;
    case taLeftJustify: break;
    }
    return X;
}

void DrawChartFrame(TCanvas& Canvas, const ChartGeometry& G, const ChartFrameStyle& Style, const TRect& Covered)
{
    Canvas.Pen = TPen{Style.WindColor, 1, psSolid, pmCopy};
    Canvas.Brush = {Style.WindColor, bsSolid};
    FillAround(Canvas, {0, 0, G.Width, G.Height}, Covered);
    if (G.ShadowWidth > 0)
        DrawShadow(Canvas, G, Style);
    DrawCaption(Canvas, G, Style);
}

void DrawPlotFrame(TCanvas& Canvas, const ChartGeometry& G, TColor ChartFrameColor)
{
    Canvas.Pen.Color = ChartFrameColor;
    Canvas.Pen.Style = psSolid;
    const int W = G.PlotWidth(), H = G.PlotHeight();
    Canvas.Polyline({{0, 0}, {W, 0}, {W, H}, {0, H}, {0, 0}});
}
