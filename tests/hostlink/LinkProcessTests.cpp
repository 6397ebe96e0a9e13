#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>

#include <memory>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sstream>

#include "LinkPeers.h"
#include "hostlink/SkolarMessageStream.h"
#include "hostlink/SkolarWire.h"
#include "platform/os/DateTime.h"
#include "platform/os/link/LinkTransport.h"
#include "platform/os/UniqueFd.h"

namespace {

// "running <handle> <caption>"
uint32_t RunningHandle(const std::string& Line)
{
    std::istringstream in(Line);
    std::string word;
    unsigned long handle = 0;
    in >> word >> handle;
    return static_cast<uint32_t>(handle);
}

void WriteFile(const QString& Path, const QByteArray& Bytes)
{
    QFile file(Path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Bytes);
}

class LinkProcesses : public ::testing::Test {
protected:
    std::unique_ptr<Peer> StartHost(const QString& Suffix, QStringList Extra = {})
    {
        QStringList args{"--suffix", Suffix, "--serve", Sandbox.Path("served")};
        args += Extra;
        QDir().mkpath(Sandbox.Path("served"));
        auto host = std::make_unique<Peer>(LinkSandbox::HostProgram(), args, Sandbox.Environment());
        const std::string ready = host->WaitForLine("ready ");
        EXPECT_NE(ready, "") << host->Output();
        HostHandle = RunningHandle(ready);
        return host;
    }

    std::unique_ptr<Peer> StartClient(
        const QStringList& Args, const std::map<QString, QString>& Env = {}, const QString& Program = {})
    {
        return std::make_unique<Peer>(
            Program.isEmpty() ? LinkSandbox::ClientProgram() : Program, Args, Sandbox.Environment(Env));
    }

    // A connection to a window of the sandbox, made by hand as a misbehaving process of the same user would.
    UniqueFd ConnectTo(uint32_t Handle)
    {
        UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path =
            Sandbox.Path("run").toStdString() + "/sewella-link/" + LinkHandleName(Handle) + ".sock";
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        EXPECT_EQ(::connect(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << path;
        return fd;
    }

    // Asks the running client for a string and expects the host's answer within a second.
    void ExpectPromptAnswer(Peer& Client, const std::string& Text)
    {
        QElapsedTimer timer;
        timer.start();
        Client.Send("string " + Text);
        EXPECT_EQ(Client.WaitForLine("string: ", 5000), "string: " + Text) << Client.Output();
        EXPECT_LT(timer.elapsed(), 1000);
    }

    LinkSandbox Sandbox;
    uint32_t HostHandle = 0;
};

TEST_F(LinkProcesses, AServerClientNeedsAHostWindowButNotItsAnswers)
{
    auto alone = StartClient({}, {{"LINKCLIENT_USE_SERVER", "1"}});
    EXPECT_EQ(alone->WaitForLine("error: "), "error: Skolar server application is not running");
    EXPECT_EQ(alone->WaitForExit(), 3);

    // the dictionary request goes unanswered: the client takes its own and says so
    auto host = StartHost("mute", {"--no-reply"});
    auto unanswered = StartClient({"/serverhandle=mute"}, {{"LINKCLIENT_USE_SERVER", "1"}});
    EXPECT_NE(unanswered->WaitForLine("running "), "") << unanswered->Output();
    EXPECT_NE(unanswered->ErrorOutput().find("host did not answer"), std::string::npos);
}

TEST_F(LinkProcesses, HostAnswersEveryRequestDuringTheSend)
{
    auto host = StartHost("q", {"--string", "colour=Farbe", "--variable", "Level=3"});
    WriteFile(Sandbox.Path("served/hello.txt"), QByteArray("hi\0there", 8));
    WriteFile(Sandbox.Path("outside.txt"), "secret");
    auto client = StartClient({"/serverhandle=q"}, {{"LINKCLIENT_USE_SERVER", "1"}});
    const uint32_t handle = RunningHandle(client->WaitForLine("running "));
    ASSERT_NE(handle, 0u) << client->Output();

    const std::string served = QDir(Sandbox.Path("served")).absolutePath().toStdString();
    struct Row {
        std::string Command, Expected;
    };
    const Row rows[] = {
        {"resolve /somewhere/lesson.dat", "resolve: " + served + "/lesson.dat"},
        {"string colour", "string: Farbe"},
        {"variable Level", "variable: 3"},
        {"variable TarvosHomeDir", "variable: " + served + "/"},
        {"file hello.txt", std::string("file: hi\0there", 14)},
        {"file ../outside.txt", "file: none"},
        {"entity-title LinkClient", "entity: " + std::to_string(handle) + " "},
        {"entity-handle " + std::to_string(handle), "entity: " + std::to_string(handle) + " "},
        // the host starts the program, so only the host could know its exit code
        {"execute /bin/false wait", "execute: -1"},
        {"execute /no/such/program", "error: Could not execute \"/no/such/program.\""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Command);
        client->Send(row.Command);
        const std::string line = client->WaitForLine(row.Expected.substr(0, row.Expected.find(':') + 1));
        EXPECT_EQ(line.substr(0, row.Expected.size()), row.Expected);
    }
}

TEST_F(LinkProcesses, DictionaryComesFromTheHostOrFromBesideTheProgram)
{
    // a program name without an extension: the dictionary is the name with ".itl" appended
    QDir().mkpath(Sandbox.Path("served"));
    WriteFile(Sandbox.Path("served/lesson.itl"), "[Caption]=Served caption|$$\r\n");
    auto host = StartHost("dict");
    const QString program = Sandbox.CopyClient("lesson");
    WriteFile(Sandbox.Path("lesson.itl"), "[caption]=Local caption|$$\r\n");

    auto served = StartClient({"/serverhandle=dict"}, {{"LINKCLIENT_USE_SERVER", "1"}}, program);
    const std::string fromHost = served->WaitForLine("running ");
    EXPECT_NE(fromHost.find(" Served caption"), std::string::npos) << served->Output();
    EXPECT_EQ(host->WaitForLine("get file "),
        "get file " + QDir(Sandbox.Path("served")).absoluteFilePath("lesson.itl").toStdString());
    served->Send("close");
    EXPECT_EQ(served->WaitForExit(), 0);

    auto local = StartClient({}, {}, program);
    const std::string running = local->WaitForLine("running ");
    EXPECT_NE(running.find(" Local caption"), std::string::npos) << local->Output();
}

TEST_F(LinkProcesses, WithoutADictionaryBesideItAnInstalledProgramTakesTheOneOfTheUsersLanguage)
{
    QDir().mkpath(Sandbox.Path("bin"));
    const QString program = Sandbox.CopyClient("bin/lesson");
    for (const char* language : {"en", "de"}) {
        QDir().mkpath(Sandbox.Path(QString("share/lesson/") + language));
        WriteFile(Sandbox.Path(QString("share/lesson/%1/lesson.itl").arg(language)),
            QByteArray("[Caption]=Caption ") + language + "|$$\r\n");
    }
    const auto captionWith = [&](const std::map<QString, QString>& Locale) {
        std::map<QString, QString> env{{"LANGUAGE", ""}, {"LC_ALL", ""}, {"LC_MESSAGES", ""}, {"LANG", ""}};
        for (const auto& [name, value] : Locale)
            env[name] = value;
        auto client = StartClient({}, env, program);
        const std::string running = client->WaitForLine("running ");
        client->Send("close");
        client->WaitForExit();
        // "running <handle> <caption>"
        const size_t handleEnd = running.find(' ', std::string("running ").size());
        return handleEnd == std::string::npos ? running : running.substr(handleEnd + 1);
    };
    EXPECT_EQ(captionWith({{"LANGUAGE", "de:en"}, {"LANG", "en_US.UTF-8"}}), "Caption de");
    EXPECT_EQ(captionWith({{"LANG", "de_DE.UTF-8"}}), "Caption de");
    EXPECT_EQ(captionWith({{"LANG", "fr_FR.UTF-8"}}), "Caption en");
    EXPECT_EQ(captionWith({}), "Caption en");

    WriteFile(Sandbox.Path("bin/lesson.itl"), "[caption]=Beside the program|$$\r\n");
    EXPECT_EQ(captionWith({{"LANG", "de_DE.UTF-8"}}), "Beside the program");
}

TEST_F(LinkProcesses, SecondInstanceHandsItsParametersToTheFirstAndEnds)
{
    auto host = StartHost("p");
    auto first = StartClient({"/serverhandle=p"}, {{"LINKCLIENT_USE_SERVER", "1"}});
    ASSERT_NE(first->WaitForLine("running "), "") << first->Output();
    ASSERT_NE(host->WaitForLine("register "), "");

    // the last switch names the host, whatever its letter case; only the lower-case one leaves the list
    auto second = StartClient({"/serverhandle=elsewhere", "lesson 3", "/ServerHandle=P"});
    EXPECT_EQ(second->WaitForExit(), 0);
    EXPECT_FALSE(second->HasSeen("running")) << second->Output();
    const std::string params = first->WaitForLine("params: ");
    EXPECT_NE(
        params.find(QFileInfo(LinkSandbox::ClientProgram()).fileName().toStdString() + " lesson 3 /ServerHandle=P"),
        std::string::npos)
        << params;
    EXPECT_EQ(params.find("elsewhere"), std::string::npos);
    EXPECT_EQ(host->WaitForLine("query entity title "), "query entity title LinkClient");
}

TEST_F(LinkProcesses, OneInstanceRunsUnlessMultiStartUntilItEnds)
{
    auto first = StartClient({});
    ASSERT_NE(first->WaitForLine("running "), "") << first->Output();
    // without the host the second ends at once and hands nothing over
    auto second = StartClient({"ignored"});
    EXPECT_EQ(second->WaitForExit(), 0);
    EXPECT_FALSE(second->HasSeen("running"));
    first->Send("translate ping");
    EXPECT_EQ(first->WaitForLine("translate: "), "translate: ping");
    EXPECT_FALSE(first->HasSeen("params:"));

    auto beside = StartClient({}, {{"LINKCLIENT_MULTISTART", "1"}});
    EXPECT_NE(beside->WaitForLine("running "), "") << beside->Output();

    // a killed instance leaves no lock behind
    ::kill(static_cast<pid_t>(first->Pid()), SIGKILL);
    EXPECT_EQ(first->WaitForExit(), -2);
    auto next = StartClient({});
    EXPECT_NE(next->WaitForLine("running "), "") << next->Output();
}

TEST_F(LinkProcesses, TwentySimultaneousStartsLeaveOneInstance)
{
    std::vector<std::unique_ptr<Peer>> starts;
    for (int i = 0; i < 20; ++i)
        starts.push_back(StartClient({QString::number(i)}));
    std::vector<int> outcome(starts.size(), 0);  // 1 running, 2 ended normally, 3 anything else
    QElapsedTimer timer;
    timer.start();
    int undecided = static_cast<int>(starts.size());
    while (undecided > 0 && timer.elapsed() < 20000) {
        for (size_t i = 0; i < starts.size(); ++i) {
            if (outcome[i] != 0)
                continue;
            const int rc = starts[i]->WaitForExit(20);
            if (rc == -1 && starts[i]->WaitForLine("running ", 1).empty())
                continue;
            outcome[i] = rc == -1 ? 1 : rc == 0 && !starts[i]->HasSeen("running") ? 2 : 3;
            --undecided;
        }
    }
    EXPECT_EQ(std::count(outcome.begin(), outcome.end(), 1), 1);
    EXPECT_EQ(std::count(outcome.begin(), outcome.end(), 2), 19);
}

TEST_F(LinkProcesses, ARegisteredClientAcceptsTheQuitAndSignsOff)
{
    auto host = StartHost("bye");
    // the suffix is lower-cased for the lookup
    auto client = StartClient({"/serverhandle=BYE"}, {{"LINKCLIENT_USE_SERVER", "1"}});
    const uint32_t handle = RunningHandle(client->WaitForLine("running "));
    ASSERT_NE(handle, 0u) << client->Output();
    EXPECT_NE(host->WaitForLine("register " + std::to_string(handle) + " "), "");
    host->Send("quit " + std::to_string(handle));
    EXPECT_EQ(client->WaitForLine("quit: "), "quit: serverdown=0");
    EXPECT_NE(client->WaitForLine("freed"), "");
    EXPECT_EQ(client->WaitForLine("exit "), "exit 0");
    EXPECT_EQ(client->WaitForExit(), 0);
    // the host did not announce its own end, so the client signed off
    EXPECT_NE(host->WaitForLine("unregister " + std::to_string(handle)), "");
}

TEST_F(LinkProcesses, RefusedQuitKeepsRunningAndRemembersServerDown)
{
    auto host = StartHost("stay");
    auto client =
        StartClient({"/serverhandle=stay"}, {{"LINKCLIENT_USE_SERVER", "1"}, {"LINKCLIENT_REFUSE_QUIT", "1"}});
    const uint32_t handle = RunningHandle(client->WaitForLine("running "));
    ASSERT_NE(handle, 0u);
    host->Send("quit " + std::to_string(handle) + " down");
    EXPECT_EQ(client->WaitForLine("quit: "), "quit: serverdown=1");
    client->Send("translate still here");
    EXPECT_EQ(client->WaitForLine("translate: "), "translate: still here");
    EXPECT_FALSE(client->HasSeen("freed"));

    client->Send("close");
    EXPECT_EQ(client->WaitForExit(), 0);
    host->Send("list");
    host->WaitForLine("list end");
    EXPECT_FALSE(host->HasSeen("unregister ")) << host->Output();
}

TEST_F(LinkProcesses, MalformedFramesAreDroppedAndTheClientGoesOn)
{
    auto host = StartHost("junk");
    auto client =
        StartClient({"/serverhandle=junk"}, {{"LINKCLIENT_USE_SERVER", "1"}, {"LINKCLIENT_REFUSE_QUIT", "1"}});
    const std::string h = std::to_string(RunningHandle(client->WaitForLine("running ")));
    const std::string stamp = "0102030405060708";
    const std::string frames[] = {
        "raw " + h + " 4096 0102",                     // shorter than the stamp
        "raw " + h + " 4096 " + stamp,                 // quit without its flag
        "raw " + h + " 4097 " + stamp + "ffffff7f",    // unasked reply with a huge string length
        "raw " + h + " 4101 " + stamp + "00ff0d0a0d",  // binary parameter list
        "raw " + h + " 12345 " + stamp + "00",         // unknown code: handed to the owner
        "raw " + h + " 4096 ",                         // empty block
    };
    for (const std::string& frame : frames) {
        SCOPED_TRACE(frame);
        host->Send(frame);
        EXPECT_EQ(host->WaitForLine("raw sent "), "raw sent ok");
    }
    EXPECT_NE(client->WaitForLine("message: 12345 1"), "");
    client->Send("translate alive");
    EXPECT_EQ(client->WaitForLine("translate: "), "translate: alive");
    EXPECT_FALSE(client->HasSeen("quit: "));
    EXPECT_FALSE(client->HasSeen("freed"));
}

TEST_F(LinkProcesses, AHungHostCostsNoMoreThanTheAnswerLimit)
{
    auto host = StartHost("slow");
    auto client = StartClient({"/serverhandle=slow"}, {{"LINKCLIENT_ANSWER_TIMEOUT_MS", "300"}});
    ASSERT_NE(client->WaitForLine("running "), "") << client->Output();
    host->Send("delay 1200");
    ASSERT_NE(host->WaitForLine("delay "), "");

    QElapsedTimer timer;
    timer.start();
    client->Send("string late");
    EXPECT_EQ(client->WaitForLine("error: "), "error: Stream read error");
    EXPECT_LT(timer.elapsed(), 1000);

    // the late answer arrives after the send gave up; it must not pass for the next request's
    host->Send("delay 0");
    ASSERT_NE(host->WaitForLine("delay ", 4000), "");
    client->Send("string next");
    EXPECT_EQ(client->WaitForLine("string: "), "string: next");
}

// Processes of the same user that hold connections open, or name a peer that never acknowledges, must
// not keep the host from serving everyone else.
TEST_F(LinkProcesses, TwentyConnectionsStalledInTheHeaderLockNoSenderOut)
{
    auto host = StartHost("crowd");
    auto client = StartClient({"/serverhandle=crowd"}, {{"LINKCLIENT_USE_SERVER", "1"}});
    ASSERT_NE(client->WaitForLine("running "), "") << client->Output();
    const auto header = EncodeLinkFrameHeader({1, msgQueryString, 100});
    std::vector<UniqueFd> stalled;
    for (int i = 0; i < 20; ++i) {
        stalled.push_back(ConnectTo(HostHandle));
        ASSERT_EQ(::send(stalled.back().Get(), header.data(), header.size() / 2, MSG_NOSIGNAL), 8);
    }
    ExpectPromptAnswer(*client, "through");
    ExpectPromptAnswer(*client, "again");
}

TEST_F(LinkProcesses, RequestsNamingAHungPeerDoNotHoldUpOthers)
{
    auto host = StartHost("hung");
    auto client = StartClient({"/serverhandle=hung"}, {{"LINKCLIENT_USE_SERVER", "1"}});
    ASSERT_NE(client->WaitForLine("running "), "") << client->Output();
    auto frozen = StartClient({}, {{"LINKCLIENT_MULTISTART", "1"}});
    const uint32_t hung = RunningHandle(frozen->WaitForLine("running "));
    ASSERT_NE(hung, 0u) << frozen->Output();
    ASSERT_EQ(::kill(static_cast<pid_t>(frozen->Pid()), SIGSTOP), 0);

    // each request asks the host to answer the frozen window; nobody reads the acknowledgements
    TSkolarMessageStream request;
    request.WriteString("for the frozen one");
    const std::string block = EncodeSkolarBlock(DateTimeToTimeStamp(Now()), request.Content());
    const auto header = EncodeLinkFrameHeader({hung, msgQueryString, static_cast<uint32_t>(block.size())});
    const std::string frame = std::string(header.data(), header.size()) + block;
    std::vector<UniqueFd> requests;
    for (int i = 0; i < 20; ++i) {
        requests.push_back(ConnectTo(HostHandle));
        ASSERT_EQ(::send(requests.back().Get(), frame.data(), frame.size(), MSG_NOSIGNAL),
            static_cast<ssize_t>(frame.size()));
    }
    ASSERT_NE(host->WaitForLine("query string for the frozen one"), "");
    ExpectPromptAnswer(*client, "valid");
    // every one of them was handled long before the first one's answer limit
    for (int i = 1; i < 20; ++i)
        EXPECT_NE(host->WaitForLine("query string for the frozen one", 2000), "") << i;
}

}  // namespace
