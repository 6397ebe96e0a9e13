#include "scale/ScalePainter.h"

#include <algorithm>

#include <QStringList>

#include "platform/draw/Bitmap.h"

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

class ScalePainter::Pass {
public:
    Pass(const ScalePainter& painter, const ScaleScene& scene)
        : painter_(painter), scene_(scene), s_(scene.settings), geometry_(scene.settings, scene.width, scene.height)
    {
    }

    const ScaleGeometry& Geometry() const { return geometry_; }
    // Ticks, message, caption and base line, then the after-rendered event.
    void Render(TCanvas& canvas, int base) const;

private:
    int Pixel(double value) const { return ValueToPixel(scene_.transform, s_, scene_.width, value); }
    void DrawTick(TCanvas& canvas, int base, const ScaleTick& tick) const;
    void ReportTick(TCanvas& canvas, const ScaleTick& tick, TPoint onChart) const;
    void DrawTickLabel(TCanvas& canvas, int base, int pos, const ScaleTick& tick) const;
    void DrawHorizontalLabel(TCanvas& canvas, int lineBase, int pos, const QString& text) const;
    void DrawVerticalLabels(TCanvas& canvas, int base, int pos, const ScaleTick& tick) const;
    void DrawCaption(TCanvas& canvas, int base) const;
    int CaptionAnchorOffset() const;
    void DrawCalendarMessage(TCanvas& canvas, int base, CalendarMessage message) const;
    void DrawBaseLine(TCanvas& canvas, int base) const;

    const ScalePainter& painter_;
    const ScaleScene& scene_;
    const ScaleSettings& s_;
    ScaleGeometry geometry_;
};

void ScalePainter::Paint(TCanvas& target, TPoint origin, const ScaleScene& scene) const
{
    const Pass pass(*this, scene);
    const ScaleSettings& s = scene.settings;
    if (s.transparent) {
        pass.Render(target, pass.Geometry().BasePosition(origin));
        return;
    }
    // drawn whole on a bitmap of its own, background and frame included, then copied
    const int width = std::max(0, scene.width), height = std::max(0, scene.height);
    TBitmap bitmap(width, height, target.Scale());
    TCanvas& canvas = bitmap.Canvas();
    canvas.Font = scene.font;
    canvas.Pen.Color = s.colorBackGnd;
    canvas.Brush.Color = s.colorBackGnd;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(TRect{0, 0, scene.width, scene.height});
    pass.Render(canvas, pass.Geometry().BasePosition({0, 0}));
    const TFrameColors& c = s.frameColors;
    DrawFrame(canvas, s.frameStyle, 0, 0, scene.width - 1, scene.height - 1, c.frame, c.frame, c.shadow, kFrameFace,
        c.highlight);
    target.Draw(origin.X, origin.Y, bitmap);
}

void ScalePainter::Pass::Render(TCanvas& canvas, int base) const
{
    canvas.Pen.Color = s_.colorScale;
    // the brush colour is the background's already in opaque mode; a host's canvas keeps its own
    canvas.Brush.Style = s_.transparent ? bsClear : bsSolid;
    for (const ScaleTick& tick : scene_.ticks.ticks)
        DrawTick(canvas, base, tick);
    if (scene_.ticks.message != CalendarMessage::None)
        DrawCalendarMessage(canvas, base, scene_.ticks.message);
    DrawCaption(canvas, base);
    if (s_.showBaseLine)
        DrawBaseLine(canvas, base);
    if (painter_.afterRendered_)
        painter_.afterRendered_(painter_.sender_, canvas);
}

void ScalePainter::Pass::DrawBaseLine(TCanvas& canvas, int base) const
{
    const ScaleExtent along = geometry_.AlongAxis();
    Line(canvas, geometry_.At(along.First(), base), geometry_.At(along.Last(), base));
}

void ScalePainter::Pass::DrawTick(TCanvas& canvas, int base, const ScaleTick& tick) const
{
    const int pos = Pixel(tick.value);
    if (tick.drawn) {
        const bool isMain = tick.length == TickLength::Main;
        const int length = !isMain ? kShortTick : (geometry_.IsVertical() ? kMainTickVertical : kMainTickHorizontal);
        Line(canvas, geometry_.At(pos, base), geometry_.At(pos, base + geometry_.Side() * length));
    }
    const TPoint onChart = geometry_.At(pos, base);
    if (tick.eventBeforeLabel) {
        ReportTick(canvas, tick, onChart);
        DrawTickLabel(canvas, base, pos, tick);
    } else {
        DrawTickLabel(canvas, base, pos, tick);
        ReportTick(canvas, tick, onChart);
    }
}

void ScalePainter::Pass::ReportTick(TCanvas& canvas, const ScaleTick& tick, TPoint onChart) const
{
    if (painter_.tickDrawn_)
        painter_.tickDrawn_(painter_.sender_, canvas, s_.scaleType, tick.value, onChart.X, onChart.Y);
}

void ScalePainter::Pass::DrawTickLabel(TCanvas& canvas, int base, int pos, const ScaleTick& tick) const
{
    if (!tick.labelled || !tick.drawn)
        return;
    if (geometry_.IsVertical()) {
        DrawVerticalLabels(canvas, base, pos, tick);
        return;
    }
    DrawHorizontalLabel(canvas, base, pos, tick.label);
    if (tick.hasDateLine) {
        // one line further from the axis than the time label
        const int h = canvas.TextHeight(tick.dateLine);
        DrawHorizontalLabel(canvas, geometry_.Side() > 0 ? base + h : base - h, pos, tick.dateLine);
    }
}

void ScalePainter::Pass::DrawHorizontalLabel(TCanvas& canvas, int lineBase, int pos, const QString& text) const
{
    if (text.isEmpty())
        return;
    const int half = canvas.TextWidth(text) / 2;
    const int m = kLabelEdgeMargin;
    const int width = scene_.width;
    // centred on the tick, but kept inside either edge
    const int left = pos + half < width - m ? pos - std::min(pos - m, half) : width - 2 * half - m;
    canvas.TextOut(left, geometry_.Outward(lineBase, kHorizontalLabelGap, canvas.TextHeight(text)), text);
}

void ScalePainter::Pass::DrawVerticalLabels(TCanvas& canvas, int base, int pos, const ScaleTick& tick) const
{
    auto leftEdge = [&](const QString& text) {
        return geometry_.Outward(base, kVerticalLabelGap, canvas.TextWidth(text));
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

// Where along the axis the caption's anchor lies.
int ScalePainter::Pass::CaptionAnchorOffset() const
{
    const ScaleExtent along = geometry_.AlongAxis();
    switch (s_.captionAnchor) {
    case uaSclTopLft: return along.startMargin;
    case uaSclCenter: return along.startMargin + (along.length - along.startMargin - along.endMargin) / 2;
    case uaSclBotRgt: return along.length - along.endMargin;
    }
    return 0;
}

void ScalePainter::Pass::DrawCaption(TCanvas& canvas, int base) const
{
    if (s_.caption.isEmpty())
        return;
    const TPoint anchor = geometry_.At(CaptionAnchorOffset(), base);
    int x = anchor.X + s_.captionPosX;
    const int y = anchor.Y + s_.captionPosY;
    const int w = canvas.TextWidth(s_.caption);
    if (s_.captionAlignment == taRightJustify)
        x -= w;
    else if (s_.captionAlignment == taCenter)
        x -= w / 2;
    canvas.TextOut(x, y, s_.caption);
}

void ScalePainter::Pass::DrawCalendarMessage(TCanvas& canvas, int base, CalendarMessage message) const
{
    const int m = Pixel((s_.rangeLow + s_.rangeHigh) / 2);
    const bool invalid = message == CalendarMessage::InvalidScale;
    if (!geometry_.IsVertical()) {
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
        canvas.TextOut(geometry_.Outward(base, kVerticalMessageGap, canvas.TextWidth(line)), m - h + i * h, line);
    }
}
