// Sewella: the lesson window with its host link; the About dialog greets the learner at start.

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <unistd.h>

#include "app/AboutBox.h"
#include "app/Mainform.h"
#include "app/ProgramGuard.h"
#include "hostlink/TarvosDemon.h"
#include "platform/os/link/LinkWindow.h"

namespace {

void Say(const QString& Line)
{
    std::fputs((Line + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
}

// For tests and start-up measurements only, switched on by the environment: SEWELLA_TRACE reports the first
// painted main window with its title and every parameter list a second start hands over;
// SEWELLA_EXIT_AT_FIRST_PAINT ends the program right after that first paint.
class Trace : public QObject {
public:
    Trace(TForm1& Form, bool ExitAtFirstPaint) : QObject(&Form), form_(Form), exitAtFirstPaint_(ExitAtFirstPaint)
    {
        Form.installEventFilter(this);
        if (TmnxDemonClient* demon = Form.Demon()) {
            auto raise = demon->OnParamsChange;
            demon->OnParamsChange = [raise](TmnxCustomDemon* Sender) {
                Say(QStringLiteral("params: ") + Sender->Params().join(QLatin1Char(' ')));
                if (raise)
                    raise(Sender);
            };
        }
    }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            // reported once the paint has been done
            QTimer::singleShot(0, this, [this] {
                Say(QStringLiteral("shown ") + form_.windowTitle());
                if (exitAtFirstPaint_)
                    ::_exit(0);
            });
        }
        return QObject::eventFilter(Watched, Event);
    }

private:
    TForm1& form_;
    bool exitAtFirstPaint_;
    bool painted_ = false;
};

// Tests shorten the host link's answer limit with SEWELLA_ANSWER_LIMIT_MS; nothing lengthens it.
void ApplyAnswerLimitFromEnvironment()
{
    const char* text = std::getenv("SEWELLA_ANSWER_LIMIT_MS");
    if (!text)
        return;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end != text && *end == '\0' && value > 0 && std::chrono::milliseconds(value) < LinkAnswerTimeout())
        SetLinkAnswerTimeout(std::chrono::milliseconds(value));
}

int RunLesson()
{
    TForm1 form(QApplication::arguments());
    auto* about = new TFrmAbout(&form);
    // each first showing of the main window fills and translates the About dialog; the About button shows it
    // again as it is
    form.OnFirstShow = [about](TForm1* Sender) {
        if (TmnxDemonClient* demon = Sender->Demon())
            FillAboutBox(*about, demon->Translator());
        about->exec();
    };
    form.OnAbout = [about](TForm1*) { about->exec(); };
    const bool exitAtFirstPaint = std::getenv("SEWELLA_EXIT_AT_FIRST_PAINT") != nullptr;
    if (exitAtFirstPaint || std::getenv("SEWELLA_TRACE"))
        new Trace(form, exitAtFirstPaint);
    form.show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv)
{
    OpenStandardStreams();
    TGuardedApplication application(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Sewella"));
    ApplyAnswerLimitFromEnvironment();
    try {
        return RunLesson();
    } catch (const std::exception& e) {
        ReportFatal(QStringLiteral("the lesson could not start"), e);
    } catch (...) {
        ReportFatal(QStringLiteral("the lesson could not start"), std::runtime_error("an unknown error"));
    }
    return 1;
}
