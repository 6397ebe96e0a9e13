#pragma once

#include <QScrollBar>

// A parameter slider of the lesson: a vertical scroll bar whose top end is the largest value. The keys act on
// the value, not on the thumb's position: Up and Right make it larger, Down and Left smaller, Page Up and Page
// Down move by the large step, Home and End go to the smallest and the largest value. It takes the focus from
// the keyboard only, and shows it then.
class TLessonSlider : public QScrollBar {
    Q_OBJECT

public:
    explicit TLessonSlider(QWidget* Parent = nullptr);

    // The value the slider stands for: Max + Min - Position.
    int LessonValue() const { return maximum() + minimum() - value(); }
    void SetLessonValue(int Value) { setValue(maximum() + minimum() - Value); }

protected:
    void keyPressEvent(QKeyEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;
};
