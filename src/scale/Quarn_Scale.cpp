#include "scale/Quarn_Scale.h"

#include <algorithm>
#include <utility>

#include <QPaintEvent>
#include <QPainter>
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

void TScale::CalcTransform()
{
    const ScaleSettings& s = settings_;
    if (loading_ || s.rangeHigh == s.rangeLow)
        return;
    transformSize_ = size();
    transform_ = TransformFor(Geometry(), s, transform_);
}

int TScale::ValueToPixel(double value) const
{
    return ::ValueToPixel(transform_, settings_, width(), value);
}

double TScale::TickValue(int index) const
{
    if (index < 1 || index > NumTicks())
        return 0.0;
    return lastTicks_->list[static_cast<std::size_t>(index - 1)];
}

void TScale::PrepareOwnImage(bool transparent)
{
    const QImage::Format format = transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    const TDeviceScale scale = TDeviceScale::Of(devicePixelRatioF());
    if (OwnImageStale() || image_.format() != format) {
        image_ = QImage(scale.DeviceSize(std::max(0, width())), scale.DeviceSize(std::max(0, height())), format);
        image_.setDevicePixelRatio(scale.Factor);
    }
    image_.fill(transparent ? QColor(Qt::transparent) : QColor(Qt::white));
    ownCanvas_.SetTarget(&image_);
}

void TScale::Paint()
{
    if (!visible_ || loading_ || suspended_)
        return;
    // a hidden widget resized directly gets no resize event
    if (size() != transformSize_)
        CalcTransform();
    if (!target_.canvas)
        PrepareOwnImage(settings_.transparent);
    TCanvas& target = target_.canvas ? *target_.canvas : ownCanvas_;
    const TPoint origin = target_.canvas ? TPoint{target_.offsetX, target_.offsetY} : TPoint{0, 0};
    target.Font = font_;
    if (OnBeforeScaleRendered)
        OnBeforeScaleRendered(this, target);
    const auto ticks =
        std::make_shared<const ScaleTicks>(ComputeTicks(TickSettingsOf(settings_, dateFormat_->Format())));
    lastTicks_ = ticks;
    painter_.Paint(target, origin, {settings_, transform_, width(), height(), font_, *ticks});
    if (!target_.canvas && !inPaintEvent_)
        update();
}

bool TScale::event(QEvent* event)
{
    // a transparent stand-alone scale is drawn when the window system asks, over its parent's background
    if (event->type() == QEvent::Paint && !hosted_ && (settings_.transparent || (!target_.canvas && OwnImageStale()))) {
        inPaintEvent_ = true;
        Paint();
        inPaintEvent_ = false;
    }
    return QWidget::event(event);
}

// The picture no longer fits the control's size or the screen's scale.
bool TScale::OwnImageStale() const
{
    const TDeviceScale scale = TDeviceScale::Of(devicePixelRatioF());
    return image_.size() != QSize(scale.DeviceSize(std::max(0, width())), scale.DeviceSize(std::max(0, height()))) ||
        TDeviceScale::Of(image_.devicePixelRatio()) != scale;
}

void TScale::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
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
    const ScaleSettings& s = settings_;
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
    lastTicks_ = source.lastTicks_;
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
