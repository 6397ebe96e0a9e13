#include "app/LessonSlider.h"

#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

TLessonSlider::TLessonSlider(QWidget* Parent) : QScrollBar(Qt::Vertical, Parent)
{
    setFocusPolicy(Qt::TabFocus);
}

void TLessonSlider::keyPressEvent(QKeyEvent* Event)
{
    // positions run downwards, values upwards: a larger value is a step towards the minimum position
    SliderAction action = SliderNoAction;
    switch (Event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Right: action = SliderSingleStepSub; break;
    case Qt::Key_Down:
    case Qt::Key_Left: action = SliderSingleStepAdd; break;
    case Qt::Key_PageUp: action = SliderPageStepSub; break;
    case Qt::Key_PageDown: action = SliderPageStepAdd; break;
    case Qt::Key_Home: action = SliderToMaximum; break;
    case Qt::Key_End: action = SliderToMinimum; break;
    default: QScrollBar::keyPressEvent(Event); return;
    }
    triggerAction(action);
    Event->accept();
}

void TLessonSlider::paintEvent(QPaintEvent* Event)
{
    QScrollBar::paintEvent(Event);
    if (!hasFocus())
        return;
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect().adjusted(1, 1, -1, -1);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}
