#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>

#include <cerrno>
#include <functional>
#include <map>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "hostlink/TarvosDemon.h"
#include "platform/os/LastError.h"
#include "platform/os/link/LinkWindow.h"
#include "platform/os/Process.h"

namespace {

std::string Bytes(std::initializer_list<int> Values)
{
    std::string s;
    for (int v : Values)
        s.push_back(static_cast<char>(v));
    return s;
}

std::string ErrorOf(const std::function<void()>& Action)
{
    try {
        Action();
    } catch (const ESkolar& e) {
        return e.what();
    }
    return "(no ESkolar)";
}

// A host window inside the test process: records each request and answers with the reply its Answer gives.
class FakeHost {
public:
    struct Request {
        int32_t Code;
        std::string Content;
    };

    explicit FakeHost(const std::string& Suffix)
    {
        window_ = LinkWindow::Create(std::string(SkolarServerWindowClassPrefix) + Suffix,
            std::string(SkolarServerWindowNamePrefix) + Suffix,
            [this](uint32_t WParam, int32_t Tag, const std::string& Data) {
                const auto block = DecodeSkolarBlock(Data);
                Requests.push_back({Tag, std::string(block->Content)});
                if (BeforeReply)
                    BeforeReply(WParam);
                if (Answer)
                    if (auto reply = Answer(Requests.back()))
                        static_cast<void>(
                            SendCopyData(WParam, window_->Handle(), msgReply, EncodeSkolarBlock(block->Stamp, *reply)));
            }).Window;
    }
    uint32_t Handle() const { return window_->Handle(); }
    void SendTo(uint32_t Target, int32_t Code, const std::string& Content)
    {
        // what the component makes of the message is what the tests look at, not whether it took it
        static_cast<void>(SendCopyData(Target, Handle(), Code, EncodeSkolarBlock({1, 2}, Content)));
    }

    std::vector<Request> Requests;
    std::function<std::optional<std::string>(const Request&)> Answer;
    std::function<void(uint32_t Client)> BeforeReply;

private:
    std::unique_ptr<LinkWindow> window_;
};

QString ExePath()
{
    return QCoreApplication::applicationFilePath();
}

TEST(DemonRules, ServerSuffixComesFromTheRegistryElseTheLastSwitch)
{
    struct Row {
        const char* Name;
        std::string Registry;
        QStringList CommandLine;
        std::string Expected;
    };
    const Row rows[] = {
        {"last switch wins", "", {"prog", "/serverhandle=one", "x", "/serverhandle=Two"}, "two"},
        {"other letter case counts", "", {"prog", "/ServerHandle=ABC"}, "abc"},
        {"zero registry value consults the line", "00000000", {"prog", "/serverhandle=s"}, "s"},
        {"registry value wins", "Reg1", {"prog", "/serverhandle=s"}, "Reg1"},
        {"program path is not an argument", "", {"/serverhandle=p"}, ""},
        {"no switch keeps the registry value", "00000000", {"prog", "a"}, "00000000"},
        {"marker alone", "", {"prog", "/serverhandle="}, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(TmnxCustomDemon::ServerSuffix(row.Registry, row.CommandLine), row.Expected);
    }
}

TEST(DemonRules, InstalledDictionaryLanguageFollowsTheLocaleVariablesInOrder)
{
    struct Row {
        const char* Name;
        std::map<std::string, std::string> Environment;
        const char* Expected;
    };
    const Row rows[] = {
        {"nothing set", {}, "en"},
        {"LANG alone", {{"LANG", "de_DE.UTF-8"}}, "de"},
        {"LC_MESSAGES before LANG", {{"LC_MESSAGES", "fr_FR"}, {"LANG", "de_DE"}}, "en"},
        {"LC_ALL before LC_MESSAGES", {{"LC_ALL", "de_AT"}, {"LC_MESSAGES", "en_GB"}}, "de"},
        {"LANGUAGE first", {{"LANGUAGE", "de"}, {"LC_ALL", "en_US.UTF-8"}}, "de"},
        {"only LANGUAGE's first entry counts", {{"LANGUAGE", "en_GB:de"}, {"LANG", "de_DE"}}, "en"},
        {"an empty first entry is skipped", {{"LANGUAGE", ":de:en"}}, "de"},
        {"an empty variable is passed over", {{"LANGUAGE", ""}, {"LC_ALL", ""}, {"LANG", "de_CH"}}, "de"},
        {"a language other than German", {{"LANG", "nl_NL"}}, "en"},
        {"the C locale", {{"LC_ALL", "C"}, {"LANG", "de_DE"}}, "en"},
        {"one letter", {{"LANG", "d"}}, "en"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const auto environment = [&row](const char* Name) {
            const auto found = row.Environment.find(Name);
            return found == row.Environment.end() ? std::string() : found->second;
        };
        EXPECT_EQ(TmnxCustomDemon::DictionaryLanguage(environment), row.Expected);
    }
}

TEST(DemonRules, InstalledDictionaryLiesInTheShareTreeBesideTheProgramsDirectory)
{
    EXPECT_EQ(TmnxCustomDemon::InstalledDictionaryPath("/usr/bin/sewella", "de"), "/usr/share/sewella/de/sewella.itl");
    EXPECT_EQ(
        TmnxCustomDemon::InstalledDictionaryPath("/opt/x/bin/lesson.exe", "en"), "/opt/x/share/lesson/en/lesson.itl");
    EXPECT_EQ(TmnxCustomDemon::InstalledDictionaryPath("", "en"), "");
}

TEST(DemonClient, ParamStrBoundsAndTheExecutablePath)
{
    TmnxDemonClient demon(nullptr, {"argv0", "first", "/serverhandle=zz", "second"});
    EXPECT_EQ(demon.ParamCount(), 2);
    EXPECT_EQ(demon.ParamStr(0), ExePath());
    EXPECT_EQ(demon.ParamStr(2), "second");
    EXPECT_EQ(ErrorOf([&] { demon.ParamStr(3); }), "Illegal \"ParamStr\" parameter: 3");
    EXPECT_EQ(ErrorOf([&] { demon.ParamStr(-1); }), "Illegal \"ParamStr\" parameter: -1");

    // a second instance's list replaces Params, but index 0 stays this program
    FakeHost peer("params");
    peer.SendTo(demon.OwnEntity().Handle, msgParams, "/elsewhere/other\r\nx\r\n");
    EXPECT_EQ(demon.Params(), (QStringList{"/elsewhere/other", "x"}));
    EXPECT_EQ(demon.ParamCount(), 1);
    EXPECT_EQ(demon.ParamStr(0), ExePath());

    // a list without even the program's line is dropped
    int changes = 0;
    demon.OnParamsChange = [&](TmnxCustomDemon*) { ++changes; };
    peer.SendTo(demon.OwnEntity().Handle, msgParams, "");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(demon.ParamCount(), 1);
    EXPECT_EQ(demon.ParamStr(0), ExePath());
}

TEST(DemonClient, ASecondComponentInOneProcessIsRefused)
{
    TmnxDemonClient first(nullptr, {"p"});
    EXPECT_EQ(ErrorOf([] { TmnxDemonClient second(nullptr, {"p"}); }), GetErrorString(EEXIST));
    EXPECT_TRUE(first.OwnEntity().IsAlive());
}

TEST(DemonClient, LocalHostVariablesAreTheProgramDirectory)
{
    TmnxDemonClient demon(nullptr, {"p"});
    demon.SetUseTarvosServer(false);
    const std::string dir = QFileInfo(ExePath()).absolutePath().toStdString() + "/";
    EXPECT_EQ(demon.GetHostVariable("TarvosHomeDir"), dir);
    EXPECT_EQ(demon.GetHostVariable("TarvosWorkArea"), dir);
    EXPECT_EQ(demon.GetHostVariable("tarvoshomedir"), "");
    EXPECT_EQ(demon.GetHostVariable("Other"), "");
}

TEST(DemonClient, EntityQueriesByTitleAndByHandle)
{
    FakeHost host("kinds");
    TEntity answer;
    answer.Handle = 77;
    answer.MutexHandle = 5;
    answer.SetExeName("/x/lcg");
    answer.SetTitle("LCG");
    host.Answer = [&](const FakeHost::Request& R) -> std::optional<std::string> {
        if (R.Content.size() > 1 && R.Content[0] == 2 && R.Content.substr(5) == "LCG") {
            TSkolarMessageStream reply;
            answer.WriteTo(reply);
            return reply.Content();
        }
        return std::string();
    };
    TmnxDemonClient demon(nullptr, {"p", "/serverhandle=kinds"});
    ASSERT_EQ(demon.ServerEntity().Handle, host.Handle());

    const std::unique_ptr<TEntity> found = demon.FindEntityByName("LCG");
    ASSERT_EQ(host.Requests.size(), 1u);
    EXPECT_EQ(host.Requests[0].Code, msgQueryEntity);
    EXPECT_EQ(host.Requests[0].Content, Bytes({2, 3, 0, 0, 0, 'L', 'C', 'G'}));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->Handle, 77u);
    EXPECT_EQ(found->MutexHandle, 5u);
    EXPECT_EQ(found->ExeName(), "/x/lcg");
    EXPECT_EQ(found->Title(), "LCG");

    EXPECT_EQ(demon.FindEntityByHandle(0x01020304), nullptr);
    EXPECT_EQ(host.Requests[1].Content, Bytes({1, 4, 3, 2, 1}));
    EXPECT_TRUE(demon.PendingReplies().empty());

    // a truncated record is no answer
    host.Answer = [](const FakeHost::Request&) -> std::optional<std::string> { return Bytes({1, 0, 0}); };
    EXPECT_EQ(demon.FindEntityByName("LCG"), nullptr);
}

TEST(DemonClient, EmptyNamesAreRefreshedFromTheHost)
{
    FakeHost host("refresh");
    std::string answeredTitle = "Nine";
    host.Answer = [&](const FakeHost::Request& R) -> std::optional<std::string> {
        TSkolarMessageStream reply;
        TEntity e;
        e.Handle = 9;
        e.SetExeName("/bin/nine");
        e.SetTitle(R.Content[0] == 1 ? answeredTitle : "");
        e.WriteTo(reply);
        return reply.Content();
    };
    TmnxDemonClient demon(nullptr, {"p", "/serverhandle=refresh"});
    TEntity entity;
    entity.Handle = 9;
    // reading or writing an entity asks nobody
    EXPECT_EQ(entity.Title(), "");
    TSkolarMessageStream record;
    entity.WriteTo(record);
    EXPECT_EQ(record.Size(), 16);
    EXPECT_TRUE(host.Requests.empty());

    demon.RefreshEmptyNames(entity);
    EXPECT_EQ(entity.Title(), "Nine");
    EXPECT_EQ(entity.MutexName(), "SK_nine");
    ASSERT_EQ(host.Requests.size(), 1u);
    EXPECT_EQ(host.Requests[0].Content, Bytes({1, 9, 0, 0, 0}));
    demon.RefreshEmptyNames(entity);
    EXPECT_EQ(host.Requests.size(), 1u) << "nothing left to refresh";

    // each empty name asks once: an answer without a title is asked again for it
    answeredTitle.clear();
    TEntity untitled;
    untitled.Handle = 9;
    demon.RefreshEmptyNames(untitled);
    EXPECT_EQ(untitled.ExeName(), "/bin/nine");
    EXPECT_EQ(host.Requests.size(), 3u);

    TEntity none;
    demon.RefreshEmptyNames(none);
    EXPECT_EQ(host.Requests.size(), 3u) << "no window, no question";
}

TEST(DemonClient, UnaskedRepliesNeitherMatchLaterRequestsNorPileUp)
{
    FakeHost host("flood");
    TmnxDemonClient demon(nullptr, {"p", "/serverhandle=flood"});
    for (int i = 0; i < 100; ++i)
        host.SendTo(demon.OwnEntity().Handle, msgReply, Bytes({4, 0, 0, 0, 'j', 'u', 'n', 'k'}));
    EXPECT_LE(demon.PendingReplies().size(), TmnxCustomDemon::MaxPendingReplies);
    // no reply to these: the entity query finds nothing, the string request cannot read its answer
    host.Answer = [](const FakeHost::Request&) -> std::optional<std::string> { return std::nullopt; };
    EXPECT_EQ(demon.FindEntityByName("LinkClient"), nullptr);
    EXPECT_THROW(demon.QueryString("x"), EReadError);
    EXPECT_EQ(host.Requests.size(), 2u);
}

TEST(DemonClient, ExecuteWaitsForTheStartedProgramOrFails)
{
    FakeHost host("exec");
    int32_t pid = 0;
    host.Answer = [&](const FakeHost::Request&) -> std::optional<std::string> {
        TSkolarMessageStream reply;
        reply.WriteInteger(pid);
        return reply.Content();
    };
    TmnxDemonClient demon(nullptr, {"p", "/serverhandle=exec"});
    // started here, so its exit code can be known
    pid = StartProcess("/bin/sh", {"-c", "exit 3"});
    ASSERT_NE(pid, 0);
    EXPECT_EQ(demon.Execute("sh", "", true, 0), 3);
    EXPECT_EQ(demon.Execute("sh", "", false, 0), pid) << "without waiting the identifier comes back";

    pid = 0x7FFFFFF0;  // beyond any process number: it cannot be opened for waiting
    EXPECT_EQ(ErrorOf([&] { demon.Execute("gone", "", true, 0); }), "Could not execute \"gone.\"");
    pid = 0;
    EXPECT_EQ(ErrorOf([&] { demon.Execute("nothing", "", false, 0); }), "Could not execute \"nothing.\"");
}

std::string StringItem(const std::string& S)
{
    std::string bytes;
    AppendInt32LE(bytes, static_cast<int32_t>(S.size()));
    return bytes + S;
}

TEST(DemonClient, RequestsCarryTheirItemsInOrderAndRepliesAreReadSo)
{
    FakeHost host("order");
    host.Answer = [](const FakeHost::Request& R) -> std::optional<std::string> {
        TSkolarMessageStream reply;
        if (R.Code == msgRegister || R.Code == msgUnregister)
            return std::nullopt;
        if (R.Code == msgExecute)
            reply.WriteInteger(4242);
        else if (R.Code == msgGetFile)
            reply.WriteFlag(false);
        else
            reply.WriteString(R.Code == msgResolveFileName ? "/srv/lesson.exe" : "answer");
        return reply.Content();
    };
    const std::string exe = ExePath().toStdString();
    uint32_t handle = 0, mutexHandle = 0;
    {
        TmnxDemonClient demon(nullptr, {"p", "/serverhandle=order"});
        demon.ExitProcess = [](int) { ADD_FAILURE() << "no other instance runs"; };
        demon.Loaded();
        handle = demon.OwnEntity().Handle;
        mutexHandle = demon.OwnEntity().MutexHandle;
        EXPECT_NE(mutexHandle, 0u);
        EXPECT_EQ(demon.Execute("prog", "a b", false, 0x01020304), 4242);
        EXPECT_EQ(demon.QueryString("q"), "answer");
        EXPECT_EQ(demon.GetHostVariable("TarvosHomeDir"), "answer");
    }
    const auto record = [&](uint32_t Mutex) {
        std::string bytes;
        AppendInt32LE(bytes, static_cast<int32_t>(handle));
        AppendInt32LE(bytes, static_cast<int32_t>(Mutex));
        return bytes + StringItem(exe) + StringItem("HostlinkTests");
    };
    const FakeHost::Request expected[] = {
        {msgRegister, record(0)},
        {msgResolveFileName, StringItem(exe)},
        {msgGetFile, StringItem("/srv/lesson.itl")},
        {msgExecute, StringItem("prog") + StringItem("a b") + Bytes({0, 4, 3, 2, 1})},
        {msgQueryString, StringItem("q")},
        {msgGetVariable, StringItem("TarvosHomeDir")},
        {msgUnregister, record(mutexHandle)},
    };
    ASSERT_EQ(host.Requests.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(host.Requests[i].Code, expected[i].Code);
        EXPECT_EQ(host.Requests[i].Content, expected[i].Content);
    }
}

TEST(DemonClient, QuitDuringASendFreesTheComponentOnlyAfterwards)
{
    FakeHost host("late");
    auto* demon = new TmnxDemonClient(nullptr, {"p", "/serverhandle=late"});
    QPointer<TmnxDemonClient> alive(demon);
    bool quitSeen = false;
    demon->OnQuitMsgReceived = [&](TmnxCustomDemon*, bool, bool&) { quitSeen = true; };
    host.BeforeReply = [&](uint32_t Client) { host.SendTo(Client, msgQuit, Bytes({1})); };
    host.Answer = [](const FakeHost::Request&) -> std::optional<std::string> {
        TSkolarMessageStream reply;
        reply.WriteString("answer");
        return reply.Content();
    };
    EXPECT_EQ(demon->ResolveFileName("q"), "answer");
    EXPECT_TRUE(quitSeen);
    EXPECT_TRUE(alive);
    EXPECT_TRUE(demon->ServerDown());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(alive);
    // the host announced its end: no sign-off reached it
    EXPECT_EQ(host.Requests.size(), 1u);
}

TEST(DemonClient, RegistryValueTakesPrecedenceOverTheCommandLine)
{
    FakeHost fromRegistry("reg"), fromLine("line");
    const QString registry = QString::fromLocal8Bit(qgetenv("SEWELLA_REGISTRY_PATH"));
    QDir(registry).mkpath("Quellwerk");
    const QString ini = registry + "/Quellwerk/tarvos.ini";
    const auto writeValue = [&](const char* Value) {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray("[demon]\nViewerHandle=") + Value + "\n");
    };

    writeValue("reg");
    {
        TmnxDemonClient demon(nullptr, {"p", "/serverhandle=line"});
        EXPECT_EQ(demon.ServerEntity().Handle, fromRegistry.Handle());
    }
    writeValue("00000000");
    {
        TmnxDemonClient demon(nullptr, {"p", "/serverhandle=line"});
        EXPECT_EQ(demon.ServerEntity().Handle, fromLine.Handle());
    }
    QFile::remove(ini);
}

}  // namespace
