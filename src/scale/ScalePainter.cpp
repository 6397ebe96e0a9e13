// Painting of TScale: background, ticks handed over by the tick rules, labels, caption,
// base line and frame, into the scale's own picture or into a host's canvas.

#include <algorithm>

#include <QPaintEvent>
#include <QPainter>

#include "scale/Quarn_Scale.h"

namespace {

// Tick lengths in pixels.
constexpr int kMainTickHorizontal = 7;
constexpr int kMainTickVertical = 6;
constexpr int kShortTick = 4;
// From the base line to the near edge of the labels: on horizontal scales the main tick's
// length, on vertical ones two pixels past the main tick.
constexpr int kHorizontalLabelGap = 7;
constexpr int kVerticalLabelGap = 8;
// Horizontal labels stay this far inside the control's left and right edges.
constexpr int kLabelEdgeMargin = 2;
// From the base line to the lines of a vertical scale's calendar message.
constexpr int kVerticalMessageGap = 2;
constexpr TColor kFrameFace = 0xC0C0C0;

void Line(TCanvas& canvas, TPoint from, TPoint to)
{
    canvas.MoveTo(from.X, from.Y);
    canvas.LineTo(to.X, to.Y);
}

}  // namespace

int TScale::BasePosition(int ox, int oy) const
{
    const Extent across = AcrossAxis();
    const int origin = IsVertical() ? ox : oy;
    return origin + (Side() > 0 ? across.First() : across.Last());
}

TickSettings TScale::CurrentTickSettings() const
{
    const Settings& s = settings_;
    TickSettings t;
    t.low = s.rangeLow;
    t.high = s.rangeHigh;
    t.minTicks = s.minTicks;
    t.shortTicks = s.shortTicks;
    t.vertical = IsVertical();
    t.logarithmic = s.logarithmic;
    t.labelType = s.labelType;
    t.decPlaces = s.decPlaces;
    t.inscript = s.scaleInscript;
    t.userTickText = s.userTickText;
    t.dateFormat = dateFormat_->Format();
    return t;
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
    if (!target_.canvas)
        PrepareOwnImage(settings_.transparent);
    TCanvas& target = target_.canvas ? *target_.canvas : ownCanvas_;
    const TPoint origin = target_.canvas ? TPoint{target_.offsetX, target_.offsetY} : TPoint{0, 0};
    target.Font = font_;
    if (OnBeforeScaleRendered)
        OnBeforeScaleRendered(this, target);

    if (settings_.transparent) {
        RenderScale(target, BasePosition(origin.X, origin.Y));
    } else {
        // drawn whole on a bitmap of its own, background and frame included, then copied
        TBitmap bitmap(std::max(0, width()), std::max(0, height()));
        TCanvas& canvas = bitmap.Canvas();
        canvas.Font = font_;
        canvas.Pen.Color = settings_.colorBackGnd;
        canvas.Brush.Color = settings_.colorBackGnd;
        canvas.Brush.Style = bsSolid;
        canvas.FillRect(TRect{0, 0, width(), height()});
        RenderScale(canvas, BasePosition(0, 0));
        const TFrameColors& c = settings_.frameColors;
        DrawFrame(canvas, settings_.frameStyle, 0, 0, width() - 1, height() - 1, c.frame, c.frame, c.shadow, kFrameFace,
            c.highlight);
        target.Draw(origin.X, origin.Y, bitmap);
    }
    if (!target_.canvas && !inPaintEvent_)
        update();
}

void TScale::paintEvent(QPaintEvent*)
{
    // a transparent scale is drawn when the window system asks, over its parent's background
    if (!hosted_ && (settings_.transparent || (!target_.canvas && image_.size() != size()))) {
        inPaintEvent_ = true;
        Paint();
        inPaintEvent_ = false;
    }
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

void TScale::RenderScale(TCanvas& canvas, int base)
{
    canvas.Pen.Color = settings_.colorScale;
    PaintAxis(canvas, base);
    if (settings_.showBaseLine)
        DrawBaseLine(canvas, base);
    if (OnAfterScaleRendered)
        OnAfterScaleRendered(this, canvas);
}

void TScale::PaintAxis(TCanvas& canvas, int base)
{
    // the brush colour is the background's already in opaque mode; a host's canvas keeps its own
    canvas.Brush.Style = settings_.transparent ? bsClear : bsSolid;
    const ScaleTicks ticks = ComputeTicks(CurrentTickSettings());
    tickList_ = ticks.list;
    for (const ScaleTick& tick : ticks.ticks)
        DrawTick(canvas, base, tick);
    if (ticks.message != CalendarMessage::None)
        DrawCalendarMessage(canvas, base, ticks.message);
    DrawCaption(canvas, base);
}

void TScale::DrawBaseLine(TCanvas& canvas, int base) const
{
    const Extent along = AlongAxis();
    Line(canvas, At(along.First(), base), At(along.Last(), base));
}

void TScale::DrawTick(TCanvas& canvas, int base, const ScaleTick& tick)
{
    const int pos = ValueToPixel(tick.value);
    if (tick.drawn) {
        const bool isMain = tick.length == TickLength::Main;
        const int length = !isMain ? kShortTick : (IsVertical() ? kMainTickVertical : kMainTickHorizontal);
        Line(canvas, At(pos, base), At(pos, base + Side() * length));
    }
    const TPoint onChart = At(pos, base);
    auto report = [&] {
        if (OnScaleTickDrawn)
            OnScaleTickDrawn(this, canvas, settings_.scaleType, tick.value, onChart.X, onChart.Y);
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
        DrawHorizontalLabel(canvas, Side() > 0 ? base + h : base - h, pos, tick.dateLine);
    }
}

void TScale::DrawHorizontalLabel(TCanvas& canvas, int lineBase, int pos, const QString& text) const
{
    if (text.isEmpty())
        return;
    const int half = canvas.TextWidth(text) / 2;
    const int m = kLabelEdgeMargin;
    // centred on the tick, but kept inside either edge
    const int left = pos + half < width() - m ? pos - std::min(pos - m, half) : width() - 2 * half - m;
    canvas.TextOut(left, Outward(lineBase, kHorizontalLabelGap, canvas.TextHeight(text)), text);
}

void TScale::DrawVerticalLabels(TCanvas& canvas, int base, int pos, const ScaleTick& tick) const
{
    auto leftEdge = [&](const QString& text) { return Outward(base, kVerticalLabelGap, canvas.TextWidth(text)); };
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

// Where along the axis the caption's anchor lies.
int TScale::CaptionAnchorOffset() const
{
    const Extent along = AlongAxis();
    switch (settings_.captionAnchor) {
    case uaSclTopLft: return along.startMargin;
    case uaSclCenter: return along.startMargin + (along.length - along.startMargin - along.endMargin) / 2;
    case uaSclBotRgt: return along.length - along.endMargin;
    }
    return 0;
}

void TScale::DrawCaption(TCanvas& canvas, int base) const
{
    const Settings& s = settings_;
    if (s.caption.isEmpty())
        return;
    const TPoint anchor = At(CaptionAnchorOffset(), base);
    int x = anchor.X + s.captionPosX;
    const int y = anchor.Y + s.captionPosY;
    const int w = canvas.TextWidth(s.caption);
    if (s.captionAlignment == taRightJustify)
        x -= w;
    else if (s.captionAlignment == taCenter)
        x -= w / 2;
    canvas.TextOut(x, y, s.caption);
}

void TScale::DrawCalendarMessage(TCanvas& canvas, int base, CalendarMessage message) const
{
    const int m = ValueToPixel((settings_.rangeLow + settings_.rangeHigh) / 2);
    const bool invalid = message == CalendarMessage::InvalidScale;
    if (!IsVertical()) {
        const QString text =
            invalid ? QStringLiteral("invalid DateTime scale") : QStringLiteral("DateTime range is below 1 second");
        canvas.TextOut(m - canvas.TextWidth(text) / 2, base + kHorizontalLabelGap, text);
        return;
    }
    const QStringList lines = invalid
        ? QStringList{QStringLiteral("invalid"), QStringLiteral("DateTime"), QStringLiteral("scale")}
        : QStringList{QStringLiteral("DateTime"), QStringLiteral("range is"), QStringLiteral("below 1"),
              QStringLiteral("second")};
    const int h = canvas.TextHeight(QStringLiteral("T"));
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        canvas.TextOut(Outward(base, kVerticalMessageGap, canvas.TextWidth(line)), m - h + i * h, line);
    }
}
