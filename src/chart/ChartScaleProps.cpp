#include "chart/ChartScaleProps.h"

#include <algorithm>
#include <cmath>

#include "scale/Quarn_Scale.h"

namespace {

constexpr int kLowestDecPlaces = -3;
constexpr int kHighestDecPlaces = 12;
constexpr int kTimeDecPlaces = 4;
// a width this small or smaller is no width at all
constexpr double kSmallestMinRange = 1e-100;

bool IsHorizontal(TScaleType type)
{
    return type == sctXB || type == sctXT;
}

}  // namespace

TScaleProps::TScaleProps(QObject* parent) : TSettingsRecord(parent), dateFormat_(new TDTLabel(this))
{
    dateFormat_->ApplyScaleDefaults();
}

int TScaleProps::ScalePos() const
{
    return IsHorizontal(settings_.ScaleType) ? settings_.ScalePosHoriz : settings_.ScalePosVert;
}

void TScaleProps::SetCaption(const QString& value)
{
    Store(settings_.Caption, value, Unchanged::Apply);
}
void TScaleProps::SetCaptionPosX(int value)
{
    Store(settings_.CaptionPosX, value, Unchanged::Apply);
}
void TScaleProps::SetCaptionPosY(int value)
{
    Store(settings_.CaptionPosY, value, Unchanged::Apply);
}
void TScaleProps::SetCaptionAlignment(TAlignment value)
{
    Store(settings_.CaptionAlignment, value, Unchanged::Apply);
}
void TScaleProps::SetCaptionAnchor(TScaleUnitAnchor value)
{
    Store(settings_.CaptionAnchor, value, Unchanged::Apply);
}
void TScaleProps::SetColorScale(TColor value)
{
    Store(settings_.ColorScale, value, Unchanged::Apply);
}

void TScaleProps::SetDateFormat(const TDTLabel& value)
{
    if (&value != dateFormat_)
        dateFormat_->Assign(value);
    Changed();
}

void TScaleProps::SetDecPlaces(int value)
{
    Store(settings_.DecPlaces, std::clamp(value, kLowestDecPlaces, kHighestDecPlaces), Unchanged::Apply);
}

void TScaleProps::SetLogarithmic(bool value)
{
    // the loading state lets a form store Logarithmic before the ranges it depends on
    const ScaleAxisSettings& s = settings_;
    const bool refused = value && !loading_ &&
        (s.RangeLow < SmallestLogRangeValue || s.RangeHigh < SmallestLogRangeValue || s.LabelType == ftDateTime);
    Store(settings_.Logarithmic, refused ? s.Logarithmic : value, Unchanged::Apply);
}

void TScaleProps::SetLabelType(TFigType value)
{
    if (value == ftDateTime)
        settings_.Logarithmic = false;
    else if (value == ftTime)
        settings_.DecPlaces = kTimeDecPlaces;
    Store(settings_.LabelType, value, Unchanged::Apply);
}

void TScaleProps::SetFont(const TFont& value)
{
    Store(settings_.Font, value, Unchanged::Apply);
}
void TScaleProps::SetMinTicks(int value)
{
    Store(settings_.MinTicks, value, Unchanged::Apply);
}

void TScaleProps::StoreRangeEnds(double low, double high, double lowestChangedEnd)
{
    if (settings_.Logarithmic && lowestChangedEnd < SmallestLogRangeValue) {
        Changed();  // refused, but reported like any other call
        return;
    }
    settings_.RangeLow = low;
    settings_.RangeHigh = high;
    Changed();
}

void TScaleProps::SetRangeLow(double value)
{
    const double minRange = settings_.MinRange;
    if (std::abs(settings_.RangeHigh - value) < minRange)
        StoreRangeEnds(value, value + minRange, value);
    else
        StoreRangeEnds(value, settings_.RangeHigh, value);
}

void TScaleProps::SetRangeHigh(double value)
{
    const double minRange = settings_.MinRange;
    if (std::abs(settings_.RangeLow - value) < minRange)
        StoreRangeEnds(value - minRange, value, value - minRange);
    else
        StoreRangeEnds(settings_.RangeLow, value, value);
}

void TScaleProps::SetShortTicks(bool value)
{
    Store(settings_.ShortTicks, value, Unchanged::Apply);
}
void TScaleProps::SetScaleInscript(const QString& value)
{
    Store(settings_.ScaleInscript, value, Unchanged::Apply);
}

void TScaleProps::SetScalePos(int value)
{
    Store(
        IsHorizontal(settings_.ScaleType) ? settings_.ScalePosHoriz : settings_.ScalePosVert, value, Unchanged::Apply);
}

void TScaleProps::SetMinRange(double value)
{
    if (value <= kSmallestMinRange)
        return;
    settings_.MinRange = value;
    ScaleAxisSettings& s = settings_;
    if (std::abs(s.RangeHigh - s.RangeLow) >= value)
        return;
    const double centre = (s.RangeLow + s.RangeHigh) / 2;
    s.RangeLow = centre - value / 2;
    s.RangeHigh = centre + value / 2;
    Changed();
}

void TScaleProps::SetUserTickText(const QString& value)
{
    Store(settings_.UserTickText, value, Unchanged::Apply);
}
void TScaleProps::SetVisible(bool value)
{
    Store(settings_.Visible, value, Unchanged::Apply);
}

void TScaleProps::StoreRange(double low, double high)
{
    settings_.RangeLow = low;
    settings_.RangeHigh = high;
}

TScalePropsHoriz::TScalePropsHoriz(QObject* parent) : TScaleProps(parent)
{
}

void TScalePropsHoriz::SetScaleLocation(TScaleLocationHoriz value)
{
    StoreLocation(location_, value, value == slTop ? sctXB : sctXT);
}

TScalePropsVert::TScalePropsVert(QObject* parent) : TScaleProps(parent)
{
}

void TScalePropsVert::SetScaleLocation(TScaleLocationVert value)
{
    StoreLocation(location_, value, value == slLeft ? sctYR : sctYL);
}

HostedScaleMargins HostedScaleMarginsOf(const TScaleProps& props, const ChartGeometry& g)
{
    HostedScaleMargins m;
    const int pos = props.ScalePos();
    switch (props.ScaleType()) {
    case sctXB: m.Bottom = pos + g.Height - g.MarginTop - 1; break;
    case sctXT: m.Top = pos + g.Height - g.MarginBottom - g.ShadowWidth; break;
    case sctYL: m.Left = pos + g.Width - g.MarginRight - g.ShadowWidth; break;
    case sctYR: m.Right = pos + g.Width - g.MarginLeft - 1; break;
    }
    // an x axis is a TScalePropsHoriz whatever scale type it was given
    if (qobject_cast<const TScalePropsHoriz*>(&props)) {
        m.Left = g.MarginLeft;
        m.Right = g.MarginRight + g.ShadowWidth - 1;
    } else {
        m.Top = g.MarginTop;
        m.Bottom = g.MarginBottom + g.ShadowWidth - 1;
    }
    return m;
}

namespace {

void CopyMargins(const HostedScaleMargins& m, TScale& scale)
{
    if (m.Top)
        scale.SetMarginTop(*m.Top);
    if (m.Bottom)
        scale.SetMarginBottom(*m.Bottom);
    if (m.Left)
        scale.SetMarginLeft(*m.Left);
    if (m.Right)
        scale.SetMarginRight(*m.Right);
}

}  // namespace

void CopyScalePropsTo(const TScaleProps& props, TScale& scale, const HostedScaleMargins& margins)
{
    // every scale setter repaints: hold that back until the whole set is in
    const bool wasSuspended = scale.Suspended();
    scale.SetSuspended(true);
    const ScaleAxisSettings& s = props.Settings();
    scale.SetScaleType(s.ScaleType);
    scale.SetRangeLow(s.RangeLow);
    scale.SetRangeHigh(s.RangeHigh);
    scale.SetVisible(s.Visible);
    scale.SetCaption(s.Caption);
    scale.SetCaptionPosX(s.CaptionPosX);
    scale.SetCaptionPosY(s.CaptionPosY);
    scale.SetCaptionAlignment(s.CaptionAlignment);
    scale.SetCaptionAnchor(s.CaptionAnchor);
    scale.SetColorScale(s.ColorScale);
    // the label type goes first: on the scale it would overwrite DecPlaces (ftTime) and Logarithmic
    // (ftDateTime), which the property object already brought in line
    scale.SetLabelType(s.LabelType);
    scale.SetDecPlaces(s.DecPlaces);
    scale.SetLogarithmic(s.Logarithmic);
    scale.SetShortTicks(s.ShortTicks);
    scale.SetMinTicks(s.MinTicks);
    scale.SetScaleInscript(s.ScaleInscript);
    scale.SetUserTickText(s.UserTickText);
    TFont font = s.Font;
    font.SetColor(s.ColorScale);
    scale.SetFont(font);
    scale.SetDateFormat(*props.DateFormat());
    CopyMargins(margins, scale);
    scale.SetSuspended(wasSuspended);
}
