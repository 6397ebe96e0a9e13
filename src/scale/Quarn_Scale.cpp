#include "scale/Quarn_Scale.h"

#include <algorithm>
#include <cmath>

#include <QPaintEvent>
#include <QResizeEvent>

TScale::TScale(QWidget* parent) : QWidget(parent)
{
    suspended_ = true;
    ownCanvas_.SetTarget(&image_);
    dateFormat_ = new TDTLabel(this);
    dateFormat_->ApplyScaleDefaults();
    dateFormat_->OnChange = [this](QObject*) { RepaintRequest(); };
    tickList_.reserve(MaxTicks);
    resize(400, 400);
    CalcTransform();
    suspended_ = false;
}

TScale::~TScale()
{
    // the record is destroyed with this object; it must not call back into a dying scale
    dateFormat_->OnChange = nullptr;
}

void TScale::RepaintRequest()
{
    if (!transparent_ || hosted_)
        Paint();
    else
        update();
}

void TScale::CalcTransform()
{
    if (loading_ || rangeHigh_ == rangeLow_)
        return;
    transformSize_ = size();
    const bool logUsable = rangeHigh_ > 0 && rangeLow_ > 0;
    if (!IsVertical()) {
        const double span = width() - marginLeft_ - marginRight_ - 1;
        if (span <= 0) {
            factor_ = 0.0;
            offset_ = width() / 2.0;
        } else if (!logarithmic_) {
            factor_ = span / (rangeHigh_ - rangeLow_);
            offset_ = marginLeft_ - rangeLow_ * factor_;
        } else if (logUsable) {
            factor_ = span / (std::log(rangeHigh_) - std::log(rangeLow_));
            offset_ = marginLeft_ - std::log(rangeLow_) * factor_;
        }
    } else {
        const double span = height() - marginTop_ - marginBottom_ - 1;
        if (span <= 0) {
            factor_ = 0.0;
            offset_ = height() / 2.0;
        } else if (!logarithmic_) {
            factor_ = span / (rangeLow_ - rangeHigh_);
            offset_ = marginTop_ - rangeHigh_ * factor_;
        } else if (logUsable) {
            factor_ = span / (std::log(rangeLow_) - std::log(rangeHigh_));
            offset_ = marginTop_ - std::log(rangeHigh_) * factor_;
        }
    }
}

int TScale::ValueToPixel(double value) const
{
    double p;
    if (!logarithmic_)
        p = factor_ * value + offset_;
    else if (value > 1e-100)
        p = factor_ * std::log(value) + offset_;
    else
        p = rangeHigh_ >= rangeLow_ ? 0.0 : width();
    if (std::isnan(p))
        return 0;
    p = std::clamp(p, -2147483647.0, 2147483647.0);
    return static_cast<int>(std::nearbyint(p));
}

double TScale::TickValue(int index) const
{
    if (index < 1 || index > numTicks_)
        return 0.0;
    return tickList_[static_cast<std::size_t>(index - 1)];
}

void TScale::RecordTick(double value)
{
    if (numTicks_ >= MaxTicks)
        return;
    tickList_.push_back(value);
    ++numTicks_;
}

void TScale::SetSuspended(bool value)
{
    if (value == suspended_)
        return;
    suspended_ = value;
    if (!suspended_)
        RepaintRequest();
}

void TScale::ForcePaint()
{
    const bool was = suspended_;
    suspended_ = false;
    RepaintRequest();
    suspended_ = was;
}

void TScale::SetTargetCanvas(TCanvas* canvas, int offsetX, int offsetY)
{
    targetCanvas_ = canvas;
    targetOffsetX_ = offsetX;
    targetOffsetY_ = offsetY;
}

void TScale::BeginLoading()
{
    loading_ = true;
}

void TScale::Loaded()
{
    loading_ = false;
    CalcTransform();
    initializing_ = false;
    RepaintRequest();
}

void TScale::SetFrameStyle(::TFrameStyle value)
{
    if (value == frameStyle_)
        return;
    frameStyle_ = value;
    RepaintRequest();
}

void TScale::SetColorScale(TColor value)
{
    if (value == colorScale_)
        return;
    colorScale_ = value;
    RepaintRequest();
}

void TScale::SetColorBackGnd(TColor value)
{
    if (value == colorBackGnd_)
        return;
    colorBackGnd_ = value;
    RepaintRequest();
}

void TScale::SetColorScheme(::TColorScheme value)
{
    if (value == colorScheme_)
        return;
    colorScheme_ = value;
    if (value == csSystem) {
        shadowColor_ = clBtnShadow;
        highlightColor_ = clBtnHighlight;
    } else {
        shadowColor_ = 0x808080;
        highlightColor_ = 0xFFFFFF;
    }
    RepaintRequest();
}

void TScale::SetLogarithmic(bool value)
{
    if (!value)
        logarithmic_ = false;
    else if (initializing_ || (rangeLow_ >= 1e-100 && rangeHigh_ >= 1e-100 && labelType_ != ftDateTime))
        logarithmic_ = true;
    CalcTransform();
    RepaintRequest();
}

void TScale::SetRangeHigh(double value)
{
    rangeHigh_ = value;
    if (value == rangeLow_)
        rangeLow_ = value + 1;
    CalcTransform();
    RepaintRequest();
}

void TScale::SetRangeLow(double value)
{
    rangeLow_ = value;
    if (value == rangeHigh_)
        rangeHigh_ = value + 1;
    CalcTransform();
    RepaintRequest();
}

void TScale::SetShortTicks(bool value)
{
    if (value == shortTicks_)
        return;
    shortTicks_ = value;
    RepaintRequest();
}

void TScale::SetMinTicks(int value)
{
    minTicks_ = std::clamp(value, 2, 10);
    RepaintRequest();
}

void TScale::SetDecPlaces(int value)
{
    decPlaces_ = std::clamp(value, -3, 12);
    CalcTransform();
    RepaintRequest();
}

void TScale::SetShowBaseLine(bool value)
{
    showBaseLine_ = value;
    RepaintRequest();
}

void TScale::SetTransparent(bool value)
{
    transparent_ = value;
    RepaintRequest();
}

void TScale::SetLabelType(TFigType value)
{
    labelType_ = value;
    if (value == ftDateTime) {
        logarithmic_ = false;
        CalcTransform();
    } else if (value == ftTime) {
        decPlaces_ = 4;
    }
    RepaintRequest();
}

void TScale::SetDateFormat(const TDTLabel& value)
{
    // the record notifies once, which is the repaint
    dateFormat_->Assign(value);
}

void TScale::SetMargin(int& margin, int value)
{
    margin = std::max(0, value);
    CalcTransform();
    RepaintRequest();
}

void TScale::SetMarginTop(int value)
{
    SetMargin(marginTop_, value);
}
void TScale::SetMarginBottom(int value)
{
    SetMargin(marginBottom_, value);
}
void TScale::SetMarginRight(int value)
{
    SetMargin(marginRight_, value);
}
void TScale::SetMarginLeft(int value)
{
    SetMargin(marginLeft_, value);
}

void TScale::SetCaptionPosX(int value)
{
    captionPosX_ = value;
    RepaintRequest();
}

void TScale::SetCaptionPosY(int value)
{
    captionPosY_ = value;
    RepaintRequest();
}

void TScale::SetCaptionAlignment(TAlignment value)
{
    captionAlignment_ = value;
    RepaintRequest();
}

void TScale::SetCaptionAnchor(TScaleUnitAnchor value)
{
    captionAnchor_ = value;
    RepaintRequest();
}

void TScale::SetUserTickText(const QString& value)
{
    userTickText_ = value;
    RepaintRequest();
}

void TScale::SetScaleInscript(const QString& value)
{
    scaleInscript_ = value;
    RepaintRequest();
}

void TScale::SetCaption(const QString& value)
{
    caption_ = value;
    RepaintRequest();
}

void TScale::SetScaleType(::TScaleType value)
{
    if (value == scaleType_)
        return;
    scaleType_ = value;
    CalcTransform();
    RepaintRequest();
}

void TScale::SetVisible(bool value)
{
    visible_ = value;
    if (!hosted_ && parentWidget())
        QWidget::setVisible(value);
    RepaintRequest();
}

void TScale::SetHosted(bool value)
{
    if (value == hosted_)
        return;
    hosted_ = value;
    // a hosted scale paints into its host's picture and never appears as a widget of its own
    if (hosted_)
        QWidget::setVisible(false);
    RepaintRequest();
}

void TScale::SetFont(const TFont& value)
{
    font_ = value;
    RepaintRequest();
}

void TScale::SetBounds(int left, int top, int width, int height)
{
    setGeometry(left, top, std::max(0, width), std::max(0, height));
    CalcTransform();
    RepaintRequest();
}

void TScale::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    CalcTransform();
    RepaintRequest();
}

void TScale::Assign(const TScale& source)
{
    if (&source == this)
        return;
    frameStyle_ = source.frameStyle_;
    colorBackGnd_ = source.colorBackGnd_;
    colorScale_ = source.colorScale_;
    frameColor_ = source.frameColor_;
    shadowColor_ = source.shadowColor_;
    highlightColor_ = source.highlightColor_;
    colorScheme_ = source.colorScheme_;
    OnScaleTickDrawn = source.OnScaleTickDrawn;
    logarithmic_ = source.logarithmic_;
    factor_ = source.factor_;
    offset_ = source.offset_;
    rangeHigh_ = source.rangeHigh_;
    rangeLow_ = source.rangeLow_;
    shortTicks_ = source.shortTicks_;
    numTicks_ = source.numTicks_;
    minTicks_ = source.minTicks_;
    decPlaces_ = source.decPlaces_;
    showBaseLine_ = source.showBaseLine_;
    transparent_ = source.transparent_;
    labelType_ = source.labelType_;
    {
        // one repaint at the end is enough
        const TNotifyEvent notify = dateFormat_->OnChange;
        dateFormat_->OnChange = nullptr;
        dateFormat_->Assign(*source.dateFormat_);
        dateFormat_->OnChange = notify;
    }
    marginTop_ = source.marginTop_;
    marginBottom_ = source.marginBottom_;
    marginRight_ = source.marginRight_;
    marginLeft_ = source.marginLeft_;
    captionPosX_ = source.captionPosX_;
    captionPosY_ = source.captionPosY_;
    userTickText_ = source.userTickText_;
    scaleInscript_ = source.scaleInscript_;
    tickList_ = source.tickList_;
    caption_ = source.caption_;
    captionAnchor_ = source.captionAnchor_;
    captionAlignment_ = source.captionAlignment_;
    targetCanvas_ = source.targetCanvas_;
    targetOffsetX_ = source.targetOffsetX_;
    targetOffsetY_ = source.targetOffsetY_;
    scaleType_ = source.scaleType_;
    suspended_ = source.suspended_;
    RepaintRequest();
}
