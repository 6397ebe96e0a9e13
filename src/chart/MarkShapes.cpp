#include "chart/MarkShapes.h"

#include <QImage>

#include "platform/os/AnsiText.h"
#include "platform/draw/Color.h"

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

// The inked pixels of a pattern as offsets from its centre, worked out when the program is compiled.
struct PatternPixels {
    int Count = 0;
    std::array<std::int8_t, 49> Dx{}, Dy{};
};

constexpr PatternPixels PixelsOf(const MarkPatternRows& rows)
{
    PatternPixels p;
    for (int r = 0; r < int(rows.size()); ++r)
        for (int b = 0; b < 7; ++b)
            if ((rows[std::size_t(r)] >> b & 1) != 0) {
                p.Dx[std::size_t(p.Count)] = std::int8_t(PatternReach - b);
                p.Dy[std::size_t(p.Count)] = std::int8_t(r - PatternReach);
                ++p.Count;
            }
    return p;
}

struct PatternEntry {
    const MarkPatternRows* Rows;
    PatternPixels Pixels;
};

constexpr PatternEntry Entry(const MarkPatternRows& rows)
{
    return {&rows, PixelsOf(rows)};
}

// codes 1-6, 18 and 25
constexpr std::array<PatternEntry, 8> PatternTable{Entry(SmallPlus), Entry(Plus2), Entry(Plus3), Entry(SmallX),
    Entry(X2), Entry(X3), Entry(Checkerboard), Entry(BoldX)};

const PatternEntry* PatternOf(std::uint8_t kind)
{
    switch (kind) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6: return &PatternTable[kind - 1];
    case 18: return &PatternTable[6];
    case 25: return &PatternTable[7];
    default: return nullptr;
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
    const PatternEntry* entry = PatternOf(Kind);
    return entry != nullptr ? entry->Rows : nullptr;
}

namespace {

// Marks 1-47 that are not pixel patterns, and the character marks.
void DrawShapeMark(TCanvas& Canvas, std::uint8_t Kind, int X, int Y)
{
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

}  // namespace

void DrawMark(TCanvas& Canvas, std::uint8_t Kind, int X, int Y)
{
    MarkPainter(Canvas).Draw(Kind, X, Y);
}

MarkPainter::MarkPainter(TCanvas& Canvas)
    : canvas_(Canvas), batch_(Canvas), penColor_(Canvas.Pen.Color), penRgb_(0xFF000000u | ToQRgb(Canvas.Pen.Color))
{
    const TRect& area = batch_.Area();
    // the xor modes and fractional scales take the careful way, pixel by pixel
    if (batch_.CanStamp())
        inner_ = {
            area.Left + PatternReach, area.Top + PatternReach, area.Right - PatternReach, area.Bottom - PatternReach};
}

QRgb MarkPainter::PenRgb()
{
    if (canvas_.Pen.Color != penColor_) {
        penColor_ = canvas_.Pen.Color;
        penRgb_ = 0xFF000000u | ToQRgb(penColor_);
    }
    return penRgb_;
}

bool MarkPainter::ListPattern(std::uint8_t kind)
{
    const PatternEntry* pattern = PatternOf(kind);
    if (pattern == nullptr)
        return false;
    const PatternPixels& p = pattern->Pixels;
    listedKind_ = kind;
    listedCount_ = p.Count;
    for (std::size_t i = 0; i < std::size_t(p.Count); ++i)
        offsets_[i] = batch_.Offset(p.Dx[i], p.Dy[i]);
    return true;
}

void MarkPainter::DrawAnyMark(std::uint8_t kind, int x, int y)
{
    if (kind == 0) {
        batch_.Pixel(x, y, PenRgb());
        return;
    }
    if (kind != listedKind_ && !ListPattern(kind)) {
        DrawShapeMark(canvas_, kind, x, y);
        return;
    }
    const QRgb rgb = PenRgb();
    if (inner_.Contains(x, y)) {
        WritePattern(x, y);
        return;
    }
    const PatternPixels& p = PatternOf(kind)->Pixels;
    for (std::size_t i = 0; i < std::size_t(p.Count); ++i)
        batch_.PatternPixel(x, y, p.Dx[i], p.Dy[i], rgb);
}
