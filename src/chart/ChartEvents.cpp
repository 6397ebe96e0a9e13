// The chart's own mouse and key handlers, and what it gives its mouse logic.

#include <optional>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "chart/Quarn_rchart.h"

namespace {

std::optional<TMouseButton> ButtonOf(Qt::MouseButton Button)
{
    switch (Button) {
    case Qt::LeftButton: return mbLeft;
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return std::nullopt;
    }
}

TShiftState ShiftOf(const QInputEvent& Event, Qt::MouseButtons Buttons)
{
    return {Event.modifiers(), Buttons};
}

}  // namespace

void TCustomRChart::mousePressEvent(QMouseEvent* Event)
{
    const std::optional<TMouseButton> button = ButtonOf(Event->button());
    if (!button)
        return QWidget::mousePressEvent(Event);
    const QPoint mouse = Event->position().toPoint();
    if (OnMouseDown)
        OnMouseDown(this, *button, ShiftOf(*Event, Event->buttons()), mouse.x(), mouse.y());
    mouse_.Press(*button, mouse);
}

void TCustomRChart::mouseMoveEvent(QMouseEvent* Event)
{
    const QPoint mouse = Event->position().toPoint();
    const TShiftState shift = ShiftOf(*Event, Event->buttons());
    if (OnMouseMove)
        OnMouseMove(this, shift, mouse.x(), mouse.y());
    mouse_.Move(Event->buttons(), mouse);
    if (OnMouseMoveInChart) {
        const WorldPosition w = PixelToWorld(TChartData::CurrentLayer, mouse.x(), mouse.y());
        OnMouseMoveInChart(this, InsidePlot(geometry_, mouse), shift, w.X, w.Y);
    }
}

void TCustomRChart::mouseReleaseEvent(QMouseEvent* Event)
{
    const std::optional<TMouseButton> button = ButtonOf(Event->button());
    if (!button)
        return QWidget::mouseReleaseEvent(Event);
    const QPoint mouse = Event->position().toPoint();
    if (OnMouseUp)
        OnMouseUp(this, *button, ShiftOf(*Event, Event->buttons()), mouse.x(), mouse.y());
    mouse_.Release(*button, mouse);
}

void TCustomRChart::enterEvent(QEnterEvent* Event)
{
    QWidget::enterEvent(Event);
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TCustomRChart::leaveEvent(QEvent* Event)
{
    QWidget::leaveEvent(Event);
    mouse_.Leave();
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TCustomRChart::keyPressEvent(QKeyEvent* Event)
{
    if (!OnKeyDown)
        return QWidget::keyPressEvent(Event);
    int key = Event->key();
    OnKeyDown(this, key, ShiftOf(*Event, QGuiApplication::mouseButtons()));
}

bool TCustomRChart::focusNextPrevChild(bool)
{
    return false;
}

// --- what the mouse logic reaches ---

RangeEnds TCustomRChart::AxisRange(int Layer, bool Vertical) const
{
    const TScaleProps& axis = Vertical ? static_cast<const TScaleProps&>(*ScaleY(Layer)) : *ScaleX(Layer);
    return {axis.RangeLow(), axis.RangeHigh()};
}

bool TCustomRChart::AxisLogarithmic(int Layer, bool Vertical) const
{
    return Vertical ? ScaleY(Layer)->Logarithmic() : ScaleX(Layer)->Logarithmic();
}

void TCustomRChart::SetAxisRanges(int Layer, const RangeEnds& X, const RangeEnds& Y)
{
    SetLayerRanges(Layer, X.Low, X.High, Y.Low, Y.High);
}

void TCustomRChart::ZoomedOrPanned()
{
    if (OnZoomPan)
        OnZoomPan(this);
}

void TCustomRChart::CrossHairMoved(int Number)
{
    if (OnCrossHairMove)
        OnCrossHairMove(this, Number);
}

void TCustomRChart::TextLabelMoved(int Number)
{
    if (OnTextLabelMove)
        OnTextLabelMove(this, Number);
}

void TCustomRChart::ShowAnew(const QRect& Area)
{
    if (Area.isEmpty())
        update();
    else
        update(Area);
}
