// The real sewella program beside the stand-in host, each in a private link directory. SEWELLA_TRACE makes
// the program report its first painted window ("shown <title>") and handed-over parameters ("params: ...").

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QThread>

#include <csignal>
#include <functional>
#include <memory>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "LinkPeers.h"
#include "app/LessonZoom.h"
#include "platform/os/link/LinkTransport.h"

namespace {

void WriteFile(const QString& Path, const QByteArray& Bytes)
{
    QFile file(Path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Bytes);
}

// "register <handle> <mutex> <exe> <title>"
std::string RegisteredHandle(const std::string& Line)
{
    std::istringstream in(Line);
    std::string word, handle;
    in >> word >> handle;
    return handle;
}

const char* const Title = "LCG - Random Number Generator";

class LessonProcesses : public ::testing::Test {
protected:
    std::unique_ptr<Peer> StartHost(const QString& Suffix)
    {
        QDir().mkpath(Sandbox.Path("served"));
        auto host = std::make_unique<Peer>(LinkSandbox::HostProgram(),
            QStringList{"--suffix", Suffix, "--serve", Sandbox.Path("served")}, Sandbox.Environment());
        EXPECT_NE(host->WaitForLine("ready "), "") << host->Output();
        return host;
    }

    std::unique_ptr<Peer> StartLesson(const QStringList& Args, const QString& Program = {})
    {
        return std::make_unique<Peer>(Program.isEmpty() ? LinkSandbox::ClientProgram() : Program, Args,
            Sandbox.Environment({{"SEWELLA_TRACE", "1"}}));
    }

    LinkSandbox Sandbox;
};

}  // namespace

TEST_F(LessonProcesses, ASecondStartHandsItsCommandLineToTheFirstAndEnds)
{
    auto host = StartHost("p");
    auto first = StartLesson({"/serverhandle=p"});
    ASSERT_NE(first->WaitForLine("shown "), "") << first->Output();
    ASSERT_NE(host->WaitForLine("register "), "") << host->Output();

    auto second = StartLesson({"/serverhandle=p", "lesson 3"});
    EXPECT_EQ(second->WaitForExit(), 0);
    EXPECT_FALSE(second->HasSeen("shown")) << second->Output();
    const std::string params = first->WaitForLine("params: ");
    EXPECT_NE(params.find(" lesson 3"), std::string::npos) << first->Output();

    // without a host to name the first, a second start still ends at once
    host.reset();
    auto third = StartLesson({"alone"});
    EXPECT_EQ(third->WaitForExit(), 0);
    EXPECT_FALSE(third->HasSeen("shown"));
    EXPECT_NE(third->ErrorOutput().find("Sewella already runs; this start ends\n"), std::string::npos)
        << "a start from a terminal says why it ends";
    EXPECT_EQ(first->WaitForExit(200), -1) << "the first lesson runs on";
}

TEST_F(LessonProcesses, WithoutAHostASecondStartBringsTheFirstToTheFront)
{
    auto first = StartLesson({});
    ASSERT_NE(first->WaitForLine("shown "), "") << first->Output();
    auto second = StartLesson({"again"});
    EXPECT_EQ(second->WaitForExit(), 0);
    EXPECT_FALSE(second->HasSeen("shown"));
    EXPECT_EQ(first->WaitForLine("front"), "front") << first->Output();
    EXPECT_FALSE(first->HasSeen("params: ")) << "without a host nothing is handed over";
}

TEST_F(LessonProcesses, TheHostsQuitRequestClosesTheLesson)
{
    auto host = StartHost("bye");
    auto lesson = StartLesson({"/serverhandle=bye"});
    ASSERT_NE(lesson->WaitForLine("shown "), "") << lesson->Output();
    const std::string handle = RegisteredHandle(host->WaitForLine("register "));
    ASSERT_FALSE(handle.empty()) << host->Output();
    host->Send("quit " + handle);
    EXPECT_EQ(lesson->WaitForExit(), 0);
    EXPECT_NE(host->WaitForLine("unregister " + handle), "") << host->Output();
}

TEST_F(LessonProcesses, TheDictionaryComesFromTheHostOrFromBesideTheProgram)
{
    const QByteArray key = QByteArray("[") + Title + "]=";
    QDir().mkpath(Sandbox.Path("served"));
    WriteFile(Sandbox.Path("served/lesson.itl"), key + "Served title|$$\r\n");
    WriteFile(Sandbox.Path("lesson.itl"), key + "Local title|$$\r\n");
    const QString program = Sandbox.CopyClient("lesson");

    auto host = StartHost("dict");
    auto served = StartLesson({"/serverhandle=dict"}, program);
    EXPECT_EQ(served->WaitForLine("shown "), "shown Served title") << served->Output();
    served.reset();
    host.reset();

    auto local = StartLesson({}, program);
    EXPECT_EQ(local->WaitForLine("shown "), "shown Local title") << local->Output();
}

// A host whose link window exists but that does not answer is no host for the dictionary: the lesson starts
// with its own, and a second start still ends, both within the answer limit, never by abort.
TEST_F(LessonProcesses, AHostThatDoesNotAnswerIsNoHostForTheDictionary)
{
    const QByteArray key = QByteArray("[") + Title + "]=";
    WriteFile(Sandbox.Path("lesson.itl"), key + "Local title|$$\r\n");
    const QString program = Sandbox.CopyClient("lesson");
    const auto start = [&](const QStringList& Args) {
        return std::make_unique<Peer>(
            program, Args, Sandbox.Environment({{"SEWELLA_TRACE", "1"}, {"SEWELLA_ANSWER_LIMIT_MS", "400"}}));
    };

    for (const bool stopped : {false, true}) {
        SCOPED_TRACE(stopped ? "a stopped host" : "a host that acknowledges but never replies");
        QDir().mkpath(Sandbox.Path("served"));
        QStringList hostArgs{"--suffix", "mute", "--serve", Sandbox.Path("served")};
        if (!stopped)
            hostArgs << "--no-reply";
        Peer host(LinkSandbox::HostProgram(), hostArgs, Sandbox.Environment());
        ASSERT_NE(host.WaitForLine("ready "), "") << host.Output();
        if (stopped)
            ::kill(static_cast<pid_t>(host.Pid()), SIGSTOP);

        auto lesson = start({"/serverhandle=mute"});
        EXPECT_EQ(lesson->WaitForLine("shown ", 8000), "shown Local title") << lesson->ErrorOutput();
        EXPECT_NE(lesson->ErrorOutput().find("did not answer"), std::string::npos) << lesson->ErrorOutput();

        auto second = start({"/serverhandle=mute", "again"});
        EXPECT_EQ(second->WaitForExit(8000), 0) << second->ErrorOutput();
        EXPECT_FALSE(second->HasSeen("shown"));
        lesson->Kill();
        host.Kill();
    }
}

// Whatever stands where the link folder should be, the lesson starts alone, says why, and uses nothing of it.
TEST_F(LessonProcesses, ALinkFolderThatCannotBeUsedDoesNotStopTheLesson)
{
    struct Case {
        const char* Name;
        std::function<void(const QString& Folder)> Plant;
        QString RuntimeDir;
    };
    const QString elsewhere = Sandbox.Path("elsewhere");
    QDir().mkpath(elsewhere);
    std::vector<Case> cases = {
        {"a symbolic link", [&](const QString& Folder) { QFile::link(elsewhere, Folder); }, {}},
        {"a file", [](const QString& Folder) { WriteFile(Folder, "planted"); }, {}},
        {"a folder others may write",
            [](const QString& Folder) {
                QDir().mkpath(Folder);
                ::chmod(Folder.toLocal8Bit().constData(), 0777);
            },
            {}},
        {"a path too long for a socket", [](const QString&) {}, Sandbox.Path(QString(110, QLatin1Char('x')))},
    };
    if (::geteuid() == 0)  // only root can give a folder to another user
        cases.push_back({"another user's folder",
            [](const QString& Folder) {
                QDir().mkpath(Folder);
                ASSERT_EQ(::chown(Folder.toLocal8Bit().constData(), 4242, 4242), 0);
            },
            {}});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString runtime = c.RuntimeDir.isEmpty() ? Sandbox.Path(QString("run-") + c.Name) : c.RuntimeDir;
        QDir().mkpath(runtime);
        const QString folder = runtime + "/sewella-link";
        c.Plant(folder);
        Peer lesson(LinkSandbox::ClientProgram(), {},
            Sandbox.Environment({{"SEWELLA_TRACE", "1"}, {"XDG_RUNTIME_DIR", runtime}}));
        EXPECT_NE(lesson.WaitForLine("shown "), "") << lesson.ErrorOutput();
        EXPECT_NE(lesson.ErrorOutput().find("running without the host link"), std::string::npos)
            << lesson.ErrorOutput();
        lesson.Kill();
    }
    EXPECT_TRUE(QDir(elsewhere).isEmpty()) << "nothing is created through a planted link";
}

// Started with its standard streams closed, the program puts /dev/null on them before it opens a file of
// its own, so what it prints never lands in its link entry.
TEST_F(LessonProcesses, ClosedStandardStreamsAreReopenedOnTheNullDevice)
{
    Peer lesson("/bin/sh", {"-c", "exec \"$0\" <&- >&- 2>&-", LinkSandbox::ClientProgram()},
        Sandbox.Environment({{"SEWELLA_TRACE", "1"}}));
    const QString entries = Sandbox.Path("run/sewella-link");
    for (int i = 0; i < 100 && QDir(entries).entryList({"*.info"}, QDir::Files).isEmpty(); ++i)
        QThread::msleep(50);
    QThread::msleep(300);  // past the first paint and its trace line
    for (int fd = 0; fd <= 2; ++fd) {
        const QString target = QFile::symLinkTarget(QString("/proc/%1/fd/%2").arg(lesson.Pid()).arg(fd));
        EXPECT_EQ(target.toStdString(), "/dev/null") << "descriptor " << fd;
    }
    // the link window and the lesson's front door
    const QStringList infos = QDir(entries).entryList({"*.info"}, QDir::Files);
    ASSERT_EQ(infos.size(), 2);
    for (const QString& info : infos) {
        QFile entry(entries + "/" + info);
        ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
        EXPECT_TRUE(DecodeLinkEntryInfo(entry.readAll().toStdString())) << "the entry holds its class and title";
    }
}

TEST_F(LessonProcesses, HelpAndVersionAnswerOnlyAsTheFirstArgument)
{
    for (const auto& [option, answer] :
        {std::pair{"--version", "sewella " SEWELLA_VERSION}, std::pair{"--help", "Usage: sewella [PARAMETER...]"}}) {
        SCOPED_TRACE(option);
        const auto asked = StartLesson({option});
        EXPECT_EQ(asked->WaitForLine(answer), answer);
        EXPECT_EQ(asked->WaitForExit(), 0);
        EXPECT_FALSE(asked->HasSeen("shown")) << "no window";
    }
    const auto lesson = StartLesson({"lesson", "--version"});
    EXPECT_EQ(lesson->WaitForLine("shown "), std::string("shown ") + Title) << "a parameter like any other";
    lesson->Kill();
}

// --zoom takes its percentage for this start and the next ones; the arguments after it are the parameter list.
TEST_F(LessonProcesses, ZoomIsKeptForTheNextStartAndAWrongOneSaysSo)
{
    for (const char* wrong : {"250", "big"}) {
        const auto refused = StartLesson({"--zoom", wrong});
        EXPECT_EQ(refused->WaitForExit(), 2) << wrong;
        EXPECT_EQ(refused->ErrorOutput(), "sewella: --zoom takes a percentage from 100 to 200\n");
        EXPECT_FALSE(refused->HasSeen("shown")) << "no window";
    }
    const auto lesson = StartLesson({"--zoom", "150", "lesson"});
    EXPECT_EQ(lesson->WaitForLine("shown "), std::string("shown ") + Title);
    lesson->Kill();
    EXPECT_EQ(TLessonZoom::SavedPercent(), 150);
    TLessonZoom::SavePercent(TLessonZoom::MinPercent);
}
