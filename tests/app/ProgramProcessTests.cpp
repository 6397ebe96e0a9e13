// The real sewella program beside the stand-in host, each in a private link directory. SEWELLA_TRACE makes
// the program report its first painted window ("shown <title>") and handed-over parameters ("params: ...").

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <memory>
#include <sstream>

#include "LinkPeers.h"

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
    EXPECT_EQ(first->WaitForExit(200), -1) << "the first lesson runs on";
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
