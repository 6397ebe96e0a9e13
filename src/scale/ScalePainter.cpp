// Painting of TScale: background, ticks handed over by the tick rules, labels, caption,
// base line and frame, into the scale's own picture or into a host's canvas.

#include <algorithm>

#include <QPaintEvent>
#include <QPainter>

#include "scale/Quarn_Scale.h"

namespace {

constexpr int kMainTickHorizontal = 7;
constexpr int kMainTickVertical = 6;
constexpr int kShortTick = 4;
constexpr TColor kFrameFace = 0xC0C0C0;

}  // namespace

int TScale::BasePosition(int ox, int oy) const
{
    switch (scaleType_) {
    case sctXB: return oy + height() - marginBottom_ - 1;
    case sctXT: return oy + marginTop_;
    case sctYL: return ox + marginLeft_;
    case sctYR: return ox + width() - marginRight_ - 1;
    }
    return oy + height() - marginBottom_ - 1;
}

TickSettings TScale::CurrentTickSettings() const
{
    TickSettings s;
    s.low = rangeLow_;
    s.high = rangeHigh_;
    s.minTicks = minTicks_;
    s.shortTicks = shortTicks_;
    s.vertical = IsVertical();
    s.logarithmic = logarithmic_;
    s.labelType = labelType_;
    s.decPlaces = decPlaces_;
    s.inscript = scaleInscript_;
    s.userTickText = userTickText_;
    s.dateFormat = DateLabelFormatOf(*dateFormat_);
    return s;
}

void TScale::PrepareOwnImage(bool transparent)
{
    const QImage::Format format = transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (image_.size() != size() || image_.format() != format)
        image_ = QImage(std::max(0, width()), std::max(0, height()), format);
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
    TCanvas* target = targetCanvas_;
    int ox = 0;
    int oy = 0;
    if (target) {
        ox = targetOffsetX_;
        oy = targetOffsetY_;
    } else {
        PrepareOwnImage(transparent_);
        target = &ownCanvas_;
    }
    target->Font = font_;
    if (OnBeforeScaleRendered)
        OnBeforeScaleRendered(this, *target);

    if (transparent_) {
        target->Pen.Color = colorScale_;
        const int base = BasePosition(ox, oy);
        PaintAxis(*target, base);
        if (showBaseLine_)
            DrawBaseLine(*target, base);
        if (OnAfterScaleRendered)
            OnAfterScaleRendered(this, *target);
    } else {
        TBitmap bitmap(std::max(0, width()), std::max(0, height()));
        TCanvas& canvas = bitmap.Canvas();
        canvas.Font = font_;
        canvas.Pen.Color = colorBackGnd_;
        canvas.Brush.Color = colorBackGnd_;
        canvas.Brush.Style = bsSolid;
        canvas.FillRect(TRect{0, 0, width(), height()});
        canvas.Pen.Color = colorScale_;
        const int base = BasePosition(0, 0);
        PaintAxis(canvas, base);
        if (showBaseLine_)
            DrawBaseLine(canvas, base);
        if (OnAfterScaleRendered)
            OnAfterScaleRendered(this, canvas);
        DrawFrame(canvas, frameStyle_, 0, 0, width() - 1, height() - 1, frameColor_, frameColor_, shadowColor_,
            kFrameFace, highlightColor_);
        if (targetCanvas_)
            targetCanvas_->Draw(ox, oy, bitmap);
        else
            ownCanvas_.Draw(0, 0, bitmap);
    }
    if (!targetCanvas_ && !inPaintEvent_)
        update();
}

void TScale::paintEvent(QPaintEvent*)
{
    // a transparent scale is drawn when the window system asks, over its parent's background
    if (!hosted_ && (transparent_ || (!targetCanvas_ && image_.size() != size()))) {
        inPaintEvent_ = true;
        Paint();
        inPaintEvent_ = false;
    }
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

void TScale::PaintAxis(TCanvas& canvas, int base)
{
    // the brush colour is the background's already in opaque mode; a host's canvas keeps its own
    canvas.Brush.Style = transparent_ ? bsClear : bsSolid;
    numTicks_ = 0;
    tickList_.clear();
    const CalendarMessage message =
        WalkTicks(CurrentTickSettings(), [&](const ScaleTick& tick) { DrawTick(canvas, base, tick); });
    if (message != CalendarMessage::None)
        DrawCalendarMessage(canvas, base, message);
    DrawCaption(canvas, base);
}

void TScale::DrawBaseLine(TCanvas& canvas, int base) const
{
    if (IsVertical()) {
        canvas.MoveTo(base, marginTop_);
        canvas.LineTo(base, height() - marginBottom_ - 1);
    } else {
        canvas.MoveTo(marginLeft_, base);
        canvas.LineTo(width() - marginRight_ - 1, base);
    }
}

void TScale::DrawTick(TCanvas& canvas, int base, const ScaleTick& tick)
{
    const int pos = ValueToPixel(tick.value);
    if (tick.recorded)
        RecordTick(tick.value);
    if (tick.drawn) {
        const bool isMain = tick.length == TickLength::Main;
        const int length = !isMain ? kShortTick : (IsVertical() ? kMainTickVertical : kMainTickHorizontal);
        switch (scaleType_) {
        case sctXB:
            canvas.MoveTo(pos, base);
            canvas.LineTo(pos, base - length);
            break;
        case sctXT:
            canvas.MoveTo(pos, base);
            canvas.LineTo(pos, base + length);
            break;
        case sctYL:
            canvas.MoveTo(base, pos);
            canvas.LineTo(base + length, pos);
            break;
        case sctYR:
            canvas.MoveTo(base, pos);
            canvas.LineTo(base - length, pos);
            break;
        }
    }
    const int chartX = IsVertical() ? base : pos;
    const int chartY = IsVertical() ? pos : base;
    auto report = [&] {
        if (OnScaleTickDrawn)
            OnScaleTickDrawn(this, canvas, scaleType_, tick.value, chartX, chartY);
    };
    if (tick.eventBeforeLabel) {
        report();
        DrawTickLabel(canvas, base, pos, tick);
    } else {
        DrawTickLabel(canvas, base, pos, tick);
        report();
    }
}

void TScale::DrawTickLabel(TCanvas& canvas, int base, int pos, const ScaleTick& tick) const
{
    if (!tick.labelled || !tick.drawn)
        return;
    if (IsVertical()) {
        DrawVerticalLabels(canvas, base, pos, tick);
        return;
    }
    DrawHorizontalLabel(canvas, base, pos, tick.label);
    if (tick.hasDateLine) {
        // one line further from the axis than the time label
        const int h = canvas.TextHeight(tick.dateLine);
        DrawHorizontalLabel(canvas, scaleType_ == sctXT ? base + h : base - h, pos, tick.dateLine);
    }
}

void TScale::DrawHorizontalLabel(TCanvas& canvas, int lineBase, int pos, const QString& text) const
{
    if (text.isEmpty())
        return;
    const int half = canvas.TextWidth(text) / 2;
    // centred on the tick, but kept 2 pixels inside either edge
    const int left = pos + half < width() - 2 ? pos - std::min(pos - 2, half) : width() - 2 * half - 2;
    const int top = scaleType_ == sctXT ? lineBase + 7 : lineBase - canvas.TextHeight(text) - 7;
    canvas.TextOut(left, top, text);
}

void TScale::DrawVerticalLabels(TCanvas& canvas, int base, int pos, const ScaleTick& tick) const
{
    auto leftEdge = [&](const QString& text) {
        return scaleType_ == sctYL ? base + 8 : base - canvas.TextWidth(text) - 8;
    };
    if (!tick.label.isEmpty()) {
        const int h = tick.calendarLabel ? canvas.TextHeight(tick.label) : canvas.TextHeight(QStringLiteral("0"));
        canvas.TextOut(leftEdge(tick.label), pos - h / 2, tick.label);
    }
    if (tick.hasDateLine && !tick.dateLine.isEmpty()) {
        // one line above the time label
        const int h = canvas.TextHeight(tick.dateLine);
        canvas.TextOut(leftEdge(tick.dateLine), pos - 3 * (h / 2), tick.dateLine);
    }
}

void TScale::DrawCaption(TCanvas& canvas, int base) const
{
    if (caption_.isEmpty())
        return;
    int x = captionPosX_;
    int y = captionPosY_;
    if (!IsVertical()) {
        switch (captionAnchor_) {
        case uaSclTopLft: x += marginLeft_; break;
        case uaSclCenter: x += marginLeft_ + (width() - marginLeft_ - marginRight_) / 2; break;
        case uaSclBotRgt: x += width() - marginRight_; break;
        }
        y += base;
    } else {
        switch (captionAnchor_) {
        case uaSclTopLft: y += marginTop_; break;
        case uaSclCenter: y += marginTop_ + (height() - marginTop_ - marginBottom_) / 2; break;
        case uaSclBotRgt: y += height() - marginBottom_; break;
        }
        x += base;
    }
    const int w = canvas.TextWidth(caption_);
    if (captionAlignment_ == taRightJustify)
        x -= w;
    else if (captionAlignment_ == taCenter)
        x -= w / 2;
    canvas.TextOut(x, y, caption_);
}

void TScale::DrawCalendarMessage(TCanvas& canvas, int base, CalendarMessage message) const
{
    const int m = ValueToPixel((rangeLow_ + rangeHigh_) / 2);
    const bool invalid = message == CalendarMessage::InvalidScale;
    if (!IsVertical()) {
        const QString text =
            invalid ? QStringLiteral("invalid DateTime scale") : QStringLiteral("DateTime range is below 1 second");
        canvas.TextOut(m - canvas.TextWidth(text) / 2, base + 7, text);
        return;
    }
    const QStringList lines = invalid
        ? QStringList{QStringLiteral("invalid"), QStringLiteral("DateTime"), QStringLiteral("scale")}
        : QStringList{QStringLiteral("DateTime"), QStringLiteral("range is"), QStringLiteral("below 1"),
              QStringLiteral("second")};
    const int h = canvas.TextHeight(QStringLiteral("T"));
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        const int left = scaleType_ == sctYL ? base + 2 : base - canvas.TextWidth(line) - 2;
        canvas.TextOut(left, m - h + i * h, line);
    }
}
