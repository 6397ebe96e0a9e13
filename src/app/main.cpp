// Sewella: the lesson window with its host link; the About dialog greets the learner at start.

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <unistd.h>

#include "app/AboutBox.h"
#include "app/Mainform.h"
#include "app/LessonZoom.h"
#include "app/ProgramGuard.h"
#include "app/WorksheetExport.h"
#include "hostlink/TarvosDemon.h"
#include "platform/os/link/LinkWindow.h"

namespace {

void Say(const QString& Line)
{
    std::fputs((Line + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
}

// For tests and start-up measurements only, switched on by the environment: SEWELLA_TRACE reports the first
// painted main window with its title, every parameter list a second start hands over and every time the window
// was brought to the front;
// SEWELLA_EXIT_AT_FIRST_PAINT ends the program right after that first paint.
class Trace : public QObject {
public:
    Trace(TForm1& Form, bool ExitAtFirstPaint) : QObject(&Form), form_(Form), exitAtFirstPaint_(ExitAtFirstPaint)
    {
        Form.installEventFilter(this);
        Form.OnBroughtToFront = [] { Say(QStringLiteral("front")); };
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

constexpr const char* Usage = R"(Usage: sewella [PARAMETER...]
       sewella --zoom PERCENT [PARAMETER...]
       sewella --help | --version
       sewella --export FILE --view VIEW --a A --b B --c C --x1 X1 [--scale 1|2|3] [--lang en|de]

Sewella teaches the linear congruential random-number generator x[i] = (a + b*x[i-1]) mod c in thirteen
steps, with its series length, a random area, a histogram and a correlation graph.

Options, recognised only as the first argument:
  --help       print this help and exit
  --version    print the version and exit
  --zoom PERCENT
               enlarge the whole lesson, from 100 to 200 (a projector's back row); kept for the next start,
               as are Ctrl+Plus, Ctrl+Minus and Ctrl+0 in the lesson. A window too large for the screen takes
               the largest step of 25 that fits. The arguments after it are the lesson's parameter list
  --export FILE
               write, without a window, the picture the lesson shows for these values as PNG, or for a FILE
               ending in .csv its numbers (the series, and the bins with --view histogram); then exit
    --view     random-area, histogram or correlation
    --a, --b, --c, --x1
               the generator: c from 1 to 1000, a and x1 below c, b up to c and at most 999
    --scale    1, 2 or 3: the picture at that many times its size, drawn at that size
    --lang     en or de: the language of the picture's texts (else as for the lesson)
               A wrong option or value prints one line naming it and exits with status 2.

Any other arguments form the parameter list of the lesson. An e-learning host that starts the lesson adds
/serverhandle=HANDLE to link it; a second start hands its parameter list to the running lesson and ends.

Environment:
  LANGUAGE, LC_ALL, LC_MESSAGES, LANG
               the first one set chooses the language: German when it begins with "de", else English
  XDG_RUNTIME_DIR
               holds the host link's folder sewella-link (else /tmp/sewella-link-UID is used)
  XDG_CONFIG_HOME, XDG_CONFIG_DIRS
               where the host's registration is looked for; SEWELLA_REGISTRY_PATH replaces both
               (the kept zoom is in XDG_CONFIG_HOME all the same)
  SEWELLA_ANSWER_LIMIT_MS
               shortens the 10 s the lesson waits for the host's answers (for tests)
  SEWELLA_TRACE, SEWELLA_EXIT_AT_FIRST_PAINT
               report the first painted window and every parameter list handed over; end after that first
               paint (for tests and start-up measurements)

Files:
  $XDG_CONFIG_HOME/sewella/sewella.ini (else ~/.config/sewella/sewella.ini)
               the zoom kept for the next start
  sewella.itl beside the program, else ../share/sewella/LANGUAGE/sewella.itl from the program's folder
               the dictionary with every text of the lesson (LANGUAGE is en or de)
  ../share/doc/sewella/README.md from the program's folder
               the documentation the About dialog opens
)";

// Qt ends the process with abort() when no window system can be reached; where that is plain beforehand, the
// program says so instead.
bool NoDisplayToShowOn()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return false;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return runtime.isEmpty() || !QFileInfo::exists(runtime + QStringLiteral("/wayland-0"));
}

// --export's work, without a display: exit status 2 for a wrong command line, 1 when the file was not written.
int ExportWorksheet(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const std::variant<TExportRequest, QString> parsed = ParseExportRequest(arguments);
    if (const QString* wrong = std::get_if<QString>(&parsed)) {
        std::fprintf(stderr, "sewella: %s\n", qPrintable(*wrong));
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    try {
        TGuardedApplication application(argc, argv);
        return RunExport(std::get<TExportRequest>(parsed), QCoreApplication::applicationFilePath().toStdString());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sewella: the export failed: %s\n", e.what());
        return 1;
    }
}

// --help, --version and --export, only as the first argument: every other command line is the lesson's
// parameter list.
std::optional<int> AnswerInformationRequest(int argc, char** argv)
{
    if (argc < 2)
        return std::nullopt;
    if (std::strcmp(argv[1], "--export") == 0)
        return ExportWorksheet(argc, argv);
    if (std::strcmp(argv[1], "--help") == 0) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::fputs("sewella " SEWELLA_VERSION "\n", stdout);
        return 0;
    }
    return std::nullopt;
}

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

// --zoom PERCENT: kept for this and every later start; the arguments after it are the parameter list.
std::optional<int> TakeZoomOption(int& argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--zoom") != 0)
        return std::nullopt;
    const std::optional<int> percent =
        argc > 2 ? TLessonZoom::ParsePercent(QString::fromLocal8Bit(argv[2])) : std::nullopt;
    if (!percent) {
        std::fprintf(stderr, "sewella: --zoom takes a percentage from %d to %d\n", TLessonZoom::MinPercent,
            TLessonZoom::MaxPercent);
        return 2;
    }
    TLessonZoom::SavePercent(*percent);
    std::copy(argv + 3, argv + argc + 1, argv + 1);  // the terminating null included
    argc -= 2;
    return std::nullopt;
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
    if (const std::optional<int> answered = AnswerInformationRequest(argc, argv))
        return std::fflush(stdout) == 0 ? *answered : 1;
    if (const std::optional<int> wrong = TakeZoomOption(argc, argv))
        return *wrong;
    if (NoDisplayToShowOn()) {
        std::fputs("sewella: no display to show the lesson on: DISPLAY and WAYLAND_DISPLAY are not set "
                   "(./run starts it under xvfb-run; --export needs no display)\n",
            stderr);
        return 1;
    }
    TGuardedApplication application(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Sewella"));
    // the desktop entry, icons and software-centre entry carry this id
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.sewella.Sewella"));
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
