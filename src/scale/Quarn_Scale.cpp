#include "scale/Quarn_Scale.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <QPaintEvent>
#include <QResizeEvent>

#include "scale/Rounding.h"

namespace {

// Time-of-day labels come with four decimals.
constexpr int kTimeDecPlaces = 4;

}  // namespace

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

template <typename T, typename V> void TScale::Store(T& field, V&& value, Unchanged unchanged)
{
    StoreSetting(field, std::forward<V>(value), unchanged, [this] { RepaintRequest(); });
}

template <typename T, typename V> void TScale::StoreLayout(T& field, V&& value, Unchanged unchanged)
{
    StoreSetting(field, std::forward<V>(value), unchanged, [this] {
        CalcTransform();
        RepaintRequest();
    });
}

void TScale::RepaintRequest()
{
    if (!settings_.transparent || hosted_)
        Paint();
    else
        update();
}

TScale::Extent TScale::AlongAxis() const
{
    const Settings& s = settings_;
    return IsVertical() ? Extent{height(), s.marginTop, s.marginBottom} : Extent{width(), s.marginLeft, s.marginRight};
}

TScale::Extent TScale::AcrossAxis() const
{
    const Settings& s = settings_;
    return IsVertical() ? Extent{width(), s.marginLeft, s.marginRight} : Extent{height(), s.marginTop, s.marginBottom};
}

TPoint TScale::At(int along, int across) const
{
    return IsVertical() ? TPoint{across, along} : TPoint{along, across};
}

int TScale::Side() const
{
    switch (settings_.scaleType) {
    case sctXT:
    case sctYL: return 1;
    case sctXB:
    case sctYR: return -1;
    }
    return 0;
}

int TScale::Outward(int base, int gap, int extent) const
{
    return Side() > 0 ? base + gap : base - extent - gap;
}

void TScale::CalcTransform()
{
    const Settings& s = settings_;
    if (loading_ || s.rangeHigh == s.rangeLow)
        return;
    transformSize_ = size();
    const Extent along = AlongAxis();
    const double span = along.Last() - along.First();
    if (span <= 0) {
        transform_ = {0.0, along.length / 2.0};
        return;
    }
    // horizontal scales run from the low end rightwards, vertical ones from the high end down
    const double from = IsVertical() ? s.rangeHigh : s.rangeLow;
    const double to = IsVertical() ? s.rangeLow : s.rangeHigh;
    if (!s.logarithmic) {
        transform_.factor = span / (to - from);
        transform_.offset = along.First() - from * transform_.factor;
    } else if (s.rangeHigh > 0 && s.rangeLow > 0) {
        transform_.factor = span / (std::log(to) - std::log(from));
        transform_.offset = along.First() - std::log(from) * transform_.factor;
    }
}

int TScale::ValueToPixel(double value) const
{
    double p;
    if (!settings_.logarithmic)
        p = transform_.factor * value + transform_.offset;
    else if (value > SmallestLogValue)
        p = transform_.factor * std::log(value) + transform_.offset;
    else
        p = settings_.rangeHigh >= settings_.rangeLow ? 0.0 : width();
    if (std::isnan(p))
        return 0;
    return RoundToPixel(p);
}

double TScale::TickValue(int index) const
{
    if (index < 1 || index > NumTicks())
        return 0.0;
    return tickList_[static_cast<std::size_t>(index - 1)];
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
    target_ = {canvas, offsetX, offsetY};
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
    Store(settings_.frameStyle, value, Unchanged::Skip);
}

void TScale::SetColorScale(TColor value)
{
    Store(settings_.colorScale, value, Unchanged::Skip);
}

void TScale::SetColorBackGnd(TColor value)
{
    Store(settings_.colorBackGnd, value, Unchanged::Skip);
}

void TScale::SetColorScheme(::TColorScheme value)
{
    StoreSetting(settings_.colorScheme, value, Unchanged::Skip, [this] {
        settings_.frameColors = FrameColorsOf(settings_.colorScheme);
        RepaintRequest();
    });
}

void TScale::SetLogarithmic(bool value)
{
    // once loaded, a range not wholly above zero or calendar labels refuse it; the scale still repaints
    const Settings& s = settings_;
    const bool usable = initializing_ ||
        (s.rangeLow >= SmallestLogValue && s.rangeHigh >= SmallestLogValue && s.labelType != ftDateTime);
    StoreLayout(settings_.logarithmic, value && !usable ? s.logarithmic : value, Unchanged::Apply);
}

// An empty range is widened by moving the other end one unit away.
void TScale::SetRangeHigh(double value)
{
    if (value == settings_.rangeLow)
        settings_.rangeLow = value + 1;
    StoreLayout(settings_.rangeHigh, value, Unchanged::Apply);
}

void TScale::SetRangeLow(double value)
{
    if (value == settings_.rangeHigh)
        settings_.rangeHigh = value + 1;
    StoreLayout(settings_.rangeLow, value, Unchanged::Apply);
}

void TScale::SetShortTicks(bool value)
{
    Store(settings_.shortTicks, value, Unchanged::Skip);
}

void TScale::SetMinTicks(int value)
{
    Store(settings_.minTicks, std::clamp(value, 2, 10), Unchanged::Apply);
}

void TScale::SetDecPlaces(int value)
{
    StoreLayout(settings_.decPlaces, std::clamp(value, -3, 12), Unchanged::Apply);
}

void TScale::SetShowBaseLine(bool value)
{
    Store(settings_.showBaseLine, value, Unchanged::Apply);
}

void TScale::SetTransparent(bool value)
{
    Store(settings_.transparent, value, Unchanged::Apply);
}

void TScale::SetLabelType(TFigType value)
{
    // calendar labels need a linear scale
    if (value == ftDateTime) {
        settings_.logarithmic = false;
        CalcTransform();
    } else if (value == ftTime) {
        settings_.decPlaces = kTimeDecPlaces;
    }
    Store(settings_.labelType, value, Unchanged::Apply);
}

void TScale::SetDateFormat(const TDTLabel& value)
{
    // the record notifies once, which is the repaint
    dateFormat_->Assign(value);
}

void TScale::SetMargin(int& margin, int value)
{
    StoreLayout(margin, std::max(0, value), Unchanged::Apply);
}

void TScale::SetMarginTop(int value)
{
    SetMargin(settings_.marginTop, value);
}
void TScale::SetMarginBottom(int value)
{
    SetMargin(settings_.marginBottom, value);
}
void TScale::SetMarginRight(int value)
{
    SetMargin(settings_.marginRight, value);
}
void TScale::SetMarginLeft(int value)
{
    SetMargin(settings_.marginLeft, value);
}

void TScale::SetCaptionPosX(int value)
{
    Store(settings_.captionPosX, value, Unchanged::Apply);
}
void TScale::SetCaptionPosY(int value)
{
    Store(settings_.captionPosY, value, Unchanged::Apply);
}
void TScale::SetCaptionAlignment(TAlignment value)
{
    Store(settings_.captionAlignment, value, Unchanged::Apply);
}
void TScale::SetCaptionAnchor(TScaleUnitAnchor value)
{
    Store(settings_.captionAnchor, value, Unchanged::Apply);
}
void TScale::SetUserTickText(const QString& value)
{
    Store(settings_.userTickText, value, Unchanged::Apply);
}
void TScale::SetScaleInscript(const QString& value)
{
    Store(settings_.scaleInscript, value, Unchanged::Apply);
}
void TScale::SetCaption(const QString& value)
{
    Store(settings_.caption, value, Unchanged::Apply);
}

void TScale::SetScaleType(::TScaleType value)
{
    StoreLayout(settings_.scaleType, value, Unchanged::Skip);
}

void TScale::SetVisible(bool value)
{
    StoreSetting(visible_, value, Unchanged::Apply, [this] {
        if (!hosted_ && parentWidget())
            QWidget::setVisible(visible_);
        RepaintRequest();
    });
}

void TScale::SetHosted(bool value)
{
    StoreSetting(hosted_, value, Unchanged::Skip, [this] {
        // a hosted scale paints into its host's picture and never appears as a widget of its own
        if (hosted_)
            QWidget::setVisible(false);
        RepaintRequest();
    });
}

void TScale::SetFont(const TFont& value)
{
    Store(font_, value, Unchanged::Apply);
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
    settings_ = source.settings_;
    transform_ = source.transform_;  // copied, not recomputed for this scale's size
    tickList_ = source.tickList_;
    target_ = source.target_;
    suspended_ = source.suspended_;
    OnScaleTickDrawn = source.OnScaleTickDrawn;
    {
        // one repaint at the end is enough
        const TNotifyEvent notify = dateFormat_->OnChange;
        dateFormat_->OnChange = nullptr;
        dateFormat_->Assign(*source.dateFormat_);
        dateFormat_->OnChange = notify;
    }
    RepaintRequest();
}
