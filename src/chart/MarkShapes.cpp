#include "chart/MarkShapes.h"

#include <QImage>

#include "platform/AnsiText.h"
#include "platform/Color.h"

namespace {

constexpr MarkPatternRows SmallPlus{0x00, 0x00, 0x08, 0x1C, 0x08, 0x00, 0x00};
constexpr MarkPatternRows Plus2{0x00, 0x08, 0x08, 0x3E, 0x08, 0x08, 0x00};
constexpr MarkPatternRows Plus3{0x08, 0x08, 0x08, 0x7F, 0x08, 0x08, 0x08};
constexpr MarkPatternRows SmallX{0x00, 0x00, 0x14, 0x08, 0x14, 0x00, 0x00};
constexpr MarkPatternRows X2{0x00, 0x22, 0x14, 0x08, 0x14, 0x22, 0x00};
constexpr MarkPatternRows X3{0x41, 0x22, 0x14, 0x08, 0x14, 0x22, 0x41};
constexpr MarkPatternRows Checkerboard{0x55, 0x2A, 0x55, 0x2A, 0x55, 0x2A, 0x55};
constexpr MarkPatternRows BoldX{0x63, 0x77, 0x3E, 0x1C, 0x3E, 0x77, 0x63};

constexpr int PatternReach = 3;  // a pattern covers x - 3 .. x + 3 and y - 3 .. y + 3

// Pattern marks are the bulk of a scatter chart: where the whole pattern lies in an unclipped target, its
// rows are written straight into the scan lines without a bounds check per pixel.
void DrawPattern(TCanvas& canvas, const MarkPatternRows& rows, int x, int y)
{
    const TColor color = canvas.Pen.Color;
    QImage* image = canvas.Target();
    const bool inside = image != nullptr && !canvas.ClipRect() && x - PatternReach >= 0 && y - PatternReach >= 0 &&
        x + PatternReach < image->width() && y + PatternReach < image->height();
    if (!inside) {
        for (int r = 0; r < int(rows.size()); ++r)
            for (int b = 0; b < 7; ++b)
                if ((rows[r] >> b & 1) != 0)
                    canvas.SetPixel(x + PatternReach - b, y - PatternReach + r, color);
        return;
    }
    const QRgb rgb = 0xFF000000u | ToQRgb(color);
    uchar* const bits = image->bits();  // one detach check for the whole mark, not one per row
    const qsizetype stride = image->bytesPerLine();
    for (int r = 0; r < int(rows.size()); ++r) {
        if (rows[r] == 0)
            continue;
        QRgb* right = reinterpret_cast<QRgb*>(bits + (y - PatternReach + r) * stride) + x + PatternReach;
        for (int b = 0; b < 7; ++b)
            if ((rows[r] >> b & 1) != 0)
                right[-b] = rgb;
    }
}

void DrawCharacter(TCanvas& canvas, std::uint8_t kind, int x, int y)
{
    const QString text(Cp1252ToChar(kind));
    canvas.TextOut(x - canvas.TextWidth(text) / 2, y - canvas.TextHeight(text) / 2, text);
}

enum class MarkFill { Filled, Hollow, Outline };

MarkFill FillOf(std::uint8_t kind)
{
    switch (kind) {
    case 7:
    case 8:
    case 9:
    case 13:
    case 14:
    case 15:
    case 24:
    case 26:
    case 28:
    case 29:
    case 30:
    case 34:
    case 36:
    case 41:
    case 43:
    case 45:
    case 47: return MarkFill::Filled;
    case 20:
    case 21:
    case 22:
    case 23:
    case 37:
    case 38: return MarkFill::Outline;
    default: return MarkFill::Hollow;
    }
}

void Line(TCanvas& canvas, int x0, int y0, int x1, int y1)
{
    canvas.Polyline({{x0, y0}, {x1, y1}});
}

// A closed chain of lines through four corners, the first corner drawn once.
void Loop(TCanvas& canvas, TPoint a, TPoint b, TPoint c, TPoint d)
{
    canvas.Polyline({a, b, c, d, a});
}

void DrawTriangleOrCross(TCanvas& canvas, std::uint8_t kind, int x, int y)
{
    switch (kind) {
    case 29:
    case 30:
    case 31:
    case 32: {
        const int n = (kind - 29) % 2 + 2;
        canvas.Polygon({{x - n, y}, {x, y + n}, {x + n, y}});
        break;
    }
    case 33:
    case 34: canvas.Polygon({{x - 4, y - 3}, {x, y + 4}, {x + 4, y - 3}}); break;
    case 35:
    case 36: canvas.Polygon({{x - 4, y + 3}, {x, y - 4}, {x + 4, y + 3}}); break;
    case 37:
        Line(canvas, x - 3, y, x + 4, y);
        Line(canvas, x, y, x, y - 8);
        break;
    case 38:
        Line(canvas, x - 3, y - 2, x + 4, y - 2);
        Line(canvas, x - 3, y + 2, x + 4, y + 2);
        Line(canvas, x, y - 2, x, y + 2);
        break;
    case 39:
        canvas.Ellipse(x - 3, y - 3, x + 4, y + 4);
        Line(canvas, x - 3, y, x + 4, y);
        Line(canvas, x, y - 3, x, y + 4);
        break;
    case 40:
    case 41: canvas.Polygon({{x + 3, y - 2}, {x - 2, y}, {x + 3, y + 2}}); break;
    case 42:
    case 43: canvas.Polygon({{x + 4, y - 3}, {x - 3, y}, {x + 4, y + 3}}); break;
    case 44:
    case 45: canvas.Polygon({{x - 3, y - 2}, {x + 2, y}, {x - 3, y + 2}}); break;
    case 46:
    case 47: canvas.Polygon({{x - 4, y - 3}, {x + 3, y}, {x - 4, y + 3}}); break;
    default: break;
    }
}

void DrawShape(TCanvas& canvas, std::uint8_t kind, int x, int y)
{
    switch (kind) {
    case 7:
    case 8:
    case 9: {
        const int n = kind - 6;
        canvas.Rectangle(x - n, y - n, x + n + 1, y + n + 1);
        break;
    }
    case 10:
    case 11:
    case 12: {
        const int n = kind - 9;
        Loop(canvas, {x - n, y - n}, {x - n, y + n}, {x + n, y + n}, {x + n, y - n});
        break;
    }
    case 13:
    case 14:
    case 15: {
        const int n = kind - 12;
        canvas.Polygon({{x - n, y}, {x, y + n}, {x + n, y}, {x, y - n}});
        break;
    }
    case 16:
    case 26: canvas.Ellipse(x - 2, y - 2, x + 3, y + 3); break;
    case 17:
    case 24: canvas.Ellipse(x - 3, y - 3, x + 4, y + 4); break;
    case 19: Loop(canvas, {x - 3, y}, {x, y + 3}, {x + 3, y}, {x, y - 3}); break;
    case 20:
    case 21:
    case 22:
    case 23: {
        const int n = kind % 2 == 0 ? 3 : 4;
        const int dy = kind <= 21 ? n : -n;
        Line(canvas, x, y, x - n, y + dy);
        Line(canvas, x, y, x + n, y + dy);
        break;
    }
    case 27:
    case 28: canvas.Ellipse(x - 2, y - 2, x + 2, y + 2); break;
    default: DrawTriangleOrCross(canvas, kind, x, y); break;
    }
}

}  // namespace

const MarkPatternRows* MarkPattern(std::uint8_t Kind)
{
    switch (Kind) {
    case 1: return &SmallPlus;
    case 2: return &Plus2;
    case 3: return &Plus3;
    case 4: return &SmallX;
    case 5: return &X2;
    case 6: return &X3;
    case 18: return &Checkerboard;
    case 25: return &BoldX;
    default: return nullptr;
    }
}

void DrawMark(TCanvas& Canvas, std::uint8_t Kind, int X, int Y)
{
    if (Kind == 0) {
        Canvas.SetPixel(X, Y, Canvas.Pen.Color);
        return;
    }
    if (const MarkPatternRows* rows = MarkPattern(Kind)) {
        DrawPattern(Canvas, *rows, X, Y);
        return;
    }
    if (Kind >= 48) {
        DrawCharacter(Canvas, Kind, X, Y);
        return;
    }
    const TColor brushColor = Canvas.Brush.Color;
    const MarkFill fill = FillOf(Kind);
    if (fill == MarkFill::Filled)
        Canvas.Brush.Color = Canvas.Pen.Color;
    else if (fill == MarkFill::Hollow)
        Canvas.Brush.Style = bsClear;
    DrawShape(Canvas, Kind, X, Y);
    if (fill == MarkFill::Hollow)
        Canvas.Brush.Style = bsSolid;
    Canvas.Brush.Color = brushColor;
}
