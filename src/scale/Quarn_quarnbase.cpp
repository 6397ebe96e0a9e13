#include "scale/Quarn_quarnbase.h"

#include <algorithm>

// Out of line so that the exception classes have one home for their type information.
EQuarnError::EQuarnError(const std::string& message) : std::runtime_error(message)
{
}
EQuarnError::~EQuarnError() = default;

EQuarnRChartError::EQuarnRChartError(const std::string& message) : EQuarnError(message)
{
}
EQuarnRChartError::~EQuarnRChartError() = default;

TFrameColors FrameColorsOf(TColorScheme scheme)
{
    if (scheme == csSystem)
        return {clBlack, clBtnShadow, clBtnHighlight};
    return {clBlack, clGray, clWhite};
}

TDTLabel::TDTLabel(QObject* parent) : TSettingsRecord(parent)
{
}

void TDTLabel::SetTimeFormat(::TTimeFormat value)
{
    Store(format_.TimeFormat, value, Unchanged::Apply);
}
void TDTLabel::SetDateSeparator(char value)
{
    Store(format_.DateSeparator, value, Unchanged::Skip);
}
void TDTLabel::SetTimeSeparator(char value)
{
    Store(format_.TimeSeparator, value, Unchanged::Skip);
}
void TDTLabel::SetYearLength(::TYearLength value)
{
    Store(format_.YearLength, value, Unchanged::Skip);
}
void TDTLabel::SetMonthName(bool value)
{
    Store(format_.MonthName, value, Unchanged::Skip);
}
void TDTLabel::SetDateOrder(::TDateOrder value)
{
    Store(format_.DateOrder, value, Unchanged::Apply);
}
void TDTLabel::SetDateForTime(::TDateForTime value)
{
    Store(format_.DateForTime, value, Unchanged::Skip);
}

void TDTLabel::ApplyScaleDefaults()
{
    format_ = DateLabelFormat{};
}

void TDTLabel::Assign(const TDTLabel& source)
{
    format_ = source.format_;
    Changed();
}

void DrawRectOutline(TCanvas& canvas, int left, int top, int right, int bottom)
{
    canvas.Polyline({{left, top}, {left, bottom}, {right, bottom}, {right, top}, {left, top}});
}

namespace {

// A style value is read modulo 128: 128 + fsLowered still draws a lowered frame.
constexpr int kFrameStyleModulus = 128;

struct RingColors {
    TColor outerTopLeft;
    TColor outerBottomRight;
    TColor innerTopLeft;
    TColor innerBottomRight;
};

}  // namespace

void DrawFrame(TCanvas& canvas, TFrameStyle style, int left, int top, int right, int bottom, TColor simpleColor,
    TColor darkColor, TColor shadowColor, TColor faceColor, TColor highlightColor)
{
    const TCanvasSaver saved(canvas);
    RingColors rings{};
    switch (static_cast<int>(style) % kFrameStyleModulus) {
    case fsSimple:
        canvas.Pen.Color = simpleColor;
        DrawRectOutline(canvas, left, top, right, bottom);
        return;
    case fsLowered: rings = {shadowColor, highlightColor, darkColor, faceColor}; break;
    case fsRaised: rings = {highlightColor, darkColor, faceColor, shadowColor}; break;
    case fsEmbossed: rings = {highlightColor, shadowColor, shadowColor, highlightColor}; break;
    case fsEngraved: rings = {shadowColor, highlightColor, highlightColor, shadowColor}; break;
    default: return;
    }
    const int l = left, t = top, r = right, b = bottom;
    canvas.Pen.Color = rings.outerTopLeft;
    canvas.MoveTo(l, b);
    canvas.LineTo(l, t);
    canvas.LineTo(r + 1, t);
    canvas.MoveTo(r, t + 1);
    canvas.Pen.Color = rings.outerBottomRight;
    canvas.LineTo(r, b);
    canvas.LineTo(l - 1, b);
    canvas.Pen.Color = rings.innerTopLeft;
    canvas.MoveTo(l + 1, b - 1);
    canvas.LineTo(l + 1, t + 1);
    canvas.LineTo(r, t + 1);
    canvas.MoveTo(r - 1, t + 2);
    canvas.Pen.Color = rings.innerBottomRight;
    canvas.LineTo(r - 1, b - 1);
    canvas.LineTo(l, b - 1);
}

TCrossHair::TCrossHair(QObject* parent) : TSettingsRecord(parent)
{
}

void TCrossHair::SetPosX(double value)
{
    Store(posX_, value, Unchanged::Apply);
}
void TCrossHair::SetPosY(double value)
{
    Store(posY_, value, Unchanged::Apply);
}
void TCrossHair::SetColor(TColor value)
{
    Store(color_, value, Unchanged::Apply);
}
void TCrossHair::SetMode(TCrossHMode value)
{
    Store(mode_, value, Unchanged::Apply);
}
void TCrossHair::SetLineType(TPenStyle value)
{
    Store(lineType_, value, Unchanged::Apply);
}
void TCrossHair::SetLineWid(int value)
{
    Store(lineWid_, value, Unchanged::Apply);
}
void TCrossHair::SetLayer(int value)
{
    Store(layer_, std::clamp(value, FirstChartLayer, LastChartLayer), Unchanged::Apply);
}

TCustomTextLabel::TCustomTextLabel(QObject* parent) : TSettingsRecord(parent)
{
}

void TCustomTextLabel::SetPosX(double value)
{
    Store(posX_, value, Unchanged::Apply);
}
void TCustomTextLabel::SetPosY(double value)
{
    Store(posY_, value, Unchanged::Apply);
}

void TCustomTextLabel::SetLayer(int value)
{
    // another layer is refused, but the call still notifies
    const bool known = value >= FirstChartLayer && value <= LastChartLayer;
    Store(layer_, known ? value : layer_, Unchanged::Apply);
}

void TCustomTextLabel::SetShadowDx(int value)
{
    Store(shadowDx_, value, Unchanged::Apply);
}
void TCustomTextLabel::SetShadowDy(int value)
{
    Store(shadowDy_, value, Unchanged::Apply);
}
void TCustomTextLabel::SetColorShadow(TColor value)
{
    Store(colorShadow_, value, Unchanged::Apply);
}
void TCustomTextLabel::SetAlignment(TAlignment value)
{
    Store(alignment_, value, Unchanged::Apply);
}
void TCustomTextLabel::SetVerticalAlignment(TVerticalAlignment value)
{
    Store(verticalAlignment_, value, Unchanged::Apply);
}
void TCustomTextLabel::SetAttachToData(TTxtLblAttachMode value)
{
    Store(attachToData_, value, Unchanged::Apply);
}
void TCustomTextLabel::SetColorBkg(TColor value)
{
    Store(colorBkg_, value, Unchanged::Apply);
}
void TCustomTextLabel::SetColorBorder(TColor value)
{
    Store(colorBorder_, value, Unchanged::Apply);
}
void TCustomTextLabel::SetTransparent(bool value)
{
    Store(transparent_, value, Unchanged::Apply);
}
void TCustomTextLabel::SetFont(const TFont& value)
{
    Store(font_, value, Unchanged::Apply);
}
void TCustomTextLabel::SetCaption(const QString& value)
{
    Store(caption_, value, Unchanged::Apply);
}
void TCustomTextLabel::SetMode(TTxtLblMode value)
{
    Store(mode_, value, Unchanged::Apply);
}
void TCustomTextLabel::SetVisible(bool value)
{
    Store(visible_, value, Unchanged::Apply);
}
