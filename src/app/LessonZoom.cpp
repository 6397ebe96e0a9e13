#include "app/LessonZoom.h"

#include <algorithm>

#include <QEvent>
#include <QKeySequence>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QWidget>

#include "platform/draw/ScreenZoom.h"

namespace {

QSettings UserSettings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("sewella"), QStringLiteral("sewella"));
}

const QString ZoomKey = QStringLiteral("zoom");

// Before the window was first shown the window manager's frame is not known: room for a title bar.
constexpr QSize FrameAllowance(8, 40);

void AddShortcut(QWidget& Window, const QKeySequence& Keys, const std::function<void()>& Action)
{
    auto* shortcut = new QShortcut(Keys, &Window);
    shortcut->setContext(Qt::ApplicationShortcut);
    QObject::connect(shortcut, &QShortcut::activated, &Window, Action);
}

}  // namespace

TLessonZoom::TLessonZoom(QWidget& Window, QSize Largest) : QObject(&Window), window_(Window), largest_(Largest)
{
    window_.installEventFilter(this);
    const auto in = [this] { SetPercent((percent_ / StepPercent + 1) * StepPercent); };
    const auto out = [this] { SetPercent((percent_ + StepPercent - 1) / StepPercent * StepPercent - StepPercent); };
    AddShortcut(Window, QKeySequence::ZoomIn, in);
    AddShortcut(Window, QKeySequence(Qt::CTRL | Qt::Key_Equal), in);  // the plus key's own, unshifted
    AddShortcut(Window, QKeySequence::ZoomOut, out);
    AddShortcut(Window, QKeySequence(Qt::CTRL | Qt::Key_0), [this] { SetPercent(MinPercent); });
}

void TLessonZoom::SetPercent(int Requested)
{
    Requested = std::clamp(Requested, MinPercent, MaxPercent);
    SavePercent(Requested);
    Apply(Requested);
}

void TLessonZoom::ApplySaved()
{
    Apply(SavedPercent());
}

void TLessonZoom::Apply(int Requested)
{
    requested_ = Requested;
    QScreen* screen = window_.screen();
    if (screen == nullptr)
        return;
    if (zoomed_ != nullptr && zoomed_ != screen) {
        // moved to another screen (a projector beside the laptop): the zoom goes with the lesson
        SetScreenZoom(*zoomed_, 1);
        percent_ = MinPercent;
    }
    zoomed_ = screen;
    // the screen's free area and the frame as they are at 100 %
    const double now = percent_ / 100.0;
    const QSize available = screen->availableGeometry().size() * now;
    const QSize frame = window_.isVisible() ? (window_.frameGeometry().size() - window_.size()) * now : FrameAllowance;
    const int fitting = FittingPercent(Requested, largest_, frame, available);
    if (fitting == percent_)
        return;
    const double next = fitting / 100.0;
    percent_ = fitting;
    const QSize logical = window_.size();
    // the window grows or shrinks round its centre, which keeps its place on the screen
    const QPointF centre = QPointF(window_.frameGeometry().center() - screen->geometry().topLeft()) * now;
    SetScreenZoom(*screen, next);
    // the window system kept the window's pixels, so its logical size shrank: it takes its own again
    window_.setMinimumSize(0, 0);
    window_.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window_.setFixedSize(logical);
    const QRect outer = window_.frameGeometry();
    window_.move(
        (centre / next).toPoint() + screen->geometry().topLeft() - QPoint(outer.width() / 2, outer.height() / 2));
    KeepOnScreen(window_);
    if (OnChanged)
        OnChanged();
}

bool TLessonZoom::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::ScreenChangeInternal && zoomed_ != nullptr && zoomed_ != window_.screen())
        Apply(requested_);
    return QObject::eventFilter(Watched, Event);
}

int TLessonZoom::FittingPercent(int Requested, QSize Window, QSize Frame, QSize Available)
{
    const auto fits = [&](int percent) {
        const QSize outer = Window * (percent / 100.0) + Frame;
        return outer.width() <= Available.width() && outer.height() <= Available.height();
    };
    int percent = std::clamp(Requested, MinPercent, MaxPercent);
    while (percent > MinPercent && !fits(percent))
        percent = std::max(MinPercent, (percent - 1) / StepPercent * StepPercent);
    return percent;
}

std::optional<int> TLessonZoom::ParsePercent(const QString& Text)
{
    QString digits = Text.trimmed();
    if (digits.endsWith(QLatin1Char('%')))
        digits.chop(1);
    bool ok = false;
    const int percent = digits.toInt(&ok);
    if (!ok || percent < MinPercent || percent > MaxPercent)
        return std::nullopt;
    return percent;
}

int TLessonZoom::SavedPercent()
{
    const std::optional<int> saved = ParsePercent(UserSettings().value(ZoomKey).toString());
    return saved.value_or(MinPercent);
}

void TLessonZoom::SavePercent(int Percent)
{
    QSettings settings = UserSettings();
    settings.setValue(ZoomKey, Percent);
}

void KeepOnScreen(QWidget& Window)
{
    const QRect area = Window.screen()->availableGeometry();
    const QRect frame = Window.frameGeometry();
    const int left = std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width()));
    const int top = std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height()));
    if (left != frame.left() || top != frame.top())
        Window.move(left, top);
}
