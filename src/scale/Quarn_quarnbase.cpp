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

TDTLabel::TDTLabel(QObject* parent) : QObject(parent)
{
}

void TDTLabel::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TDTLabel::SetTimeFormat(::TTimeFormat value)
{
    timeFormat_ = value;
    Changed();
}

void TDTLabel::SetDateSeparator(char value)
{
    if (value == dateSeparator_)
        return;
    dateSeparator_ = value;
    Changed();
}

void TDTLabel::SetTimeSeparator(char value)
{
    if (value == timeSeparator_)
        return;
    timeSeparator_ = value;
    Changed();
}

void TDTLabel::SetYearLength(::TYearLength value)
{
    if (value == yearLength_)
        return;
    yearLength_ = value;
    Changed();
}

void TDTLabel::SetMonthName(bool value)
{
    if (value == monthName_)
        return;
    monthName_ = value;
    Changed();
}

void TDTLabel::SetDateOrder(::TDateOrder value)
{
    dateOrder_ = value;
    Changed();
}

void TDTLabel::SetDateForTime(::TDateForTime value)
{
    if (value == dateForTime_)
        return;
    dateForTime_ = value;
    Changed();
}

void TDTLabel::ApplyScaleDefaults()
{
    timeFormat_ = tfHHMMSS;
    dateSeparator_ = '-';
    timeSeparator_ = ':';
    yearLength_ = ylYYYY;
    monthName_ = true;
    dateOrder_ = doDDMMYY;
    dateForTime_ = dtOnePerDay;
}

void TDTLabel::Assign(const TDTLabel& source)
{
    timeFormat_ = source.timeFormat_;
    dateSeparator_ = source.dateSeparator_;
    timeSeparator_ = source.timeSeparator_;
    yearLength_ = source.yearLength_;
    monthName_ = source.monthName_;
    dateOrder_ = source.dateOrder_;
    dateForTime_ = source.dateForTime_;
    Changed();
}

void DrawRectOutline(TCanvas& canvas, int left, int top, int right, int bottom)
{
    canvas.Polyline({{left, top}, {left, bottom}, {right, bottom}, {right, top}, {left, top}});
}

namespace {

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
    const TColor savedPen = canvas.Pen.Color;
    RingColors rings{};
    switch (static_cast<int>(style) % 128) {
    case fsSimple:
        canvas.Pen.Color = simpleColor;
        DrawRectOutline(canvas, left, top, right, bottom);
        canvas.Pen.Color = savedPen;
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
    canvas.Pen.Color = savedPen;
}

TCrossHair::TCrossHair(QObject* parent) : QObject(parent)
{
}

void TCrossHair::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TCrossHair::SetPosX(double value)
{
    posX_ = value;
    Changed();
}

void TCrossHair::SetPosY(double value)
{
    posY_ = value;
    Changed();
}

void TCrossHair::SetColor(TColor value)
{
    color_ = value;
    Changed();
}

void TCrossHair::SetMode(TCrossHMode value)
{
    mode_ = value;
    Changed();
}

void TCrossHair::SetLineType(TPenStyle value)
{
    lineType_ = value;
    Changed();
}

void TCrossHair::SetLineWid(int value)
{
    lineWid_ = value;
    Changed();
}

void TCrossHair::SetLayer(int value)
{
    layer_ = std::clamp(value, 1, 16);
    Changed();
}

TCustomTextLabel::TCustomTextLabel(QObject* parent) : QObject(parent)
{
}

void TCustomTextLabel::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TCustomTextLabel::SetPosX(double value)
{
    posX_ = value;
    Changed();
}

void TCustomTextLabel::SetPosY(double value)
{
    posY_ = value;
    Changed();
}

void TCustomTextLabel::SetLayer(int value)
{
    if (value >= 1 && value <= 16)
        layer_ = value;
    Changed();
}

void TCustomTextLabel::SetShadowDx(int value)
{
    shadowDx_ = value;
    Changed();
}

void TCustomTextLabel::SetShadowDy(int value)
{
    shadowDy_ = value;
    Changed();
}

void TCustomTextLabel::SetColorShadow(TColor value)
{
    colorShadow_ = value;
    Changed();
}

void TCustomTextLabel::SetAlignment(TAlignment value)
{
    alignment_ = value;
    Changed();
}

void TCustomTextLabel::SetVerticalAlignment(TVerticalAlignment value)
{
    verticalAlignment_ = value;
    Changed();
}

void TCustomTextLabel::SetAttachToData(TTxtLblAttachMode value)
{
    attachToData_ = value;
    Changed();
}

void TCustomTextLabel::SetColorBkg(TColor value)
{
    colorBkg_ = value;
    Changed();
}

void TCustomTextLabel::SetColorBorder(TColor value)
{
    colorBorder_ = value;
    Changed();
}

void TCustomTextLabel::SetTransparent(bool value)
{
    transparent_ = value;
    Changed();
}

void TCustomTextLabel::SetFont(const TFont& value)
{
    font_ = value;
    Changed();
}

void TCustomTextLabel::SetCaption(const QString& value)
{
    caption_ = value;
    Changed();
}

void TCustomTextLabel::SetMode(TTxtLblMode value)
{
    mode_ = value;
    Changed();
}

void TCustomTextLabel::SetVisible(bool value)
{
    visible_ = value;
    Changed();
}
