#pragma once
// The teacher's enlargement of the whole lesson for a projector: a percentage on top of the screen's own scale,
// chosen with Ctrl+Plus, Ctrl+Minus and Ctrl+0 or by --zoom, kept in the user's settings for the next start, and
// never so large that the lesson window leaves the screen.

#include <functional>
#include <optional>

#include <QObject>
#include <QPointer>
#include <QScreen>
#include <QSize>
#include <QString>

class QWidget;

class TLessonZoom : public QObject {
public:
    static constexpr int MinPercent = 100;
    static constexpr int MaxPercent = 200;
    static constexpr int StepPercent = 25;

    // Window is the lesson window, whose fixed logical size grows with the zoom, up to Largest in its largest
    // layout; the keys work in every window of the program.
    TLessonZoom(QWidget& Window, QSize Largest);

    int Percent() const { return percent_; }
    // After the zoom changed: the windows that follow the lesson window's place take theirs anew.
    std::function<void()> OnChanged;
    // The requested percentage or, where the window would not fit the screen's free area, the largest step
    // below it that fits; the request is kept in the settings.
    void SetPercent(int Requested);
    // The kept percentage, without keeping it again.
    void ApplySaved();

    // The largest of Requested and the steps below it at which a window of this logical size, with a frame of
    // this size, fits the area; sizes at 100 %. MinPercent when none does.
    static int FittingPercent(int Requested, QSize Window, QSize Frame, QSize Available);
    // "150" or "150%" within MinPercent..MaxPercent.
    static std::optional<int> ParsePercent(const QString& Text);
    static int SavedPercent();
    static void SavePercent(int Percent);

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void Apply(int Requested);

    QWidget& window_;
    QSize largest_;
    QPointer<QScreen> zoomed_;  // the screen the zoom was set on
    int requested_ = MinPercent;
    int percent_ = MinPercent;
};

// Moves a top-level window, frame included, to the nearest place where it lies wholly in its screen's free area
// (its top-left corner, where it is larger).
void KeepOnScreen(QWidget& Window);
