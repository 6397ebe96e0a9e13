#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

#include "LinkTestSupport.h"
#include "platform/os/link/LinkTransport.h"
#include "platform/os/LastError.h"
#include "platform/os/link/LinkSender.h"
#include "platform/os/link/LinkWindow.h"
#include "platform/os/NamedMutex.h"
#include "platform/os/Process.h"

namespace {

using namespace std::chrono_literals;

struct Received {
    uint32_t WParam;
    int32_t Tag;
    std::string Data;
};

class LinkWindowTest : public ::testing::Test {
protected:
    void TearDown() override { SetLinkAnswerTimeout(10s); }

    // A window that records what reaches it.
    std::unique_ptr<LinkWindow> RecordingWindow(const std::string& Title = "recorder")
    {
        auto window = LinkWindow::Create("RecorderClass", Title, [this](uint32_t W, int32_t T, const std::string& D) {
            received.push_back({W, T, D});
        }).Window;
        EXPECT_NE(window, nullptr);
        return window;
    }

    // A raw connection to one of our windows, for frames no SendCopyData would write.
    int ConnectRaw(uint32_t Handle)
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = runtime.LinkDir() + "/" + LinkHandleName(Handle) + ".sock";
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        return fd;
    }

    // A listening socket in a window's place, for peers that no LinkWindow would be.
    int RawListener(uint32_t Handle, int Backlog)
    {
        EXPECT_TRUE(LinkDirectory().has_value());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = runtime.LinkDir() + "/" + LinkHandleName(Handle) + ".sock";
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(::listen(fd, Backlog), 0);
        return fd;
    }

    PrivateRuntimeDir runtime;
    std::vector<Received> received;
};

int OpenDescriptors()
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

TEST_F(LinkWindowTest, MessageToOwnWindowIsDispatchedAndAcknowledged)
{
    const auto window = RecordingWindow();
    const std::string big(LinkMaxDataSize, 'x');
    const struct {
        const char* name;
        std::string data;
    } rows[] = {{"empty", ""}, {"bytes with zeros", std::string("a\0b\xff", 4)}, {"largest allowed", big}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        received.clear();
        EXPECT_TRUE(SendCopyData(window->Handle(), 0x1234abcd, -7, row.data));
        ASSERT_EQ(received.size(), 1u);
        EXPECT_EQ(received[0].WParam, 0x1234abcdu);
        EXPECT_EQ(received[0].Tag, -7);
        EXPECT_TRUE(received[0].Data == row.data);
    }
}

TEST_F(LinkWindowTest, UndeliverableSendFailsAtOnce)
{
    const auto window = RecordingWindow();
    const struct {
        const char* name;
        uint32_t target;
        size_t size;
        LinkSendResult::Status outcome;
        std::string reason;
    } rows[] = {
        {"no target", 0, 1, LinkSendResult::Status::NoSuchWindow, "handle 0"},
        {"no such window", 0x0badf00d, 1, LinkSendResult::Status::NoSuchWindow, GetErrorString(ENOENT)},
        {"data over the limit, nothing sent", window->Handle(), LinkMaxDataSize + 1, LinkSendResult::Status::TooLarge,
            "larger than the limit"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const LinkSendResult result = SendCopyData(row.target, 1, 1, std::string(row.size, 'x'));
        EXPECT_FALSE(result);
        EXPECT_EQ(result.Outcome, row.outcome);
        EXPECT_NE(result.Error.find(row.reason), std::string::npos) << result.Error;
    }
    EXPECT_TRUE(received.empty());
}

TEST_F(LinkWindowTest, HandlesAreNonZeroAndDistinct)
{
    std::vector<std::unique_ptr<LinkWindow>> windows;
    for (int i = 0; i < 20; ++i)
        windows.push_back(RecordingWindow());
    for (size_t i = 0; i < windows.size(); ++i) {
        EXPECT_NE(windows[i]->Handle(), 0u);
        EXPECT_TRUE(IsLinkWindow(windows[i]->Handle()));
        for (size_t j = 0; j < i; ++j)
            EXPECT_NE(windows[i]->Handle(), windows[j]->Handle());
    }
    const uint32_t gone = windows[0]->Handle();
    windows[0].reset();
    EXPECT_FALSE(IsLinkWindow(gone));
    EXPECT_FALSE(std::filesystem::exists(runtime.LinkDir() + "/" + LinkHandleName(gone) + ".sock"));
}

TEST_F(LinkWindowTest, FindMatchesClassAndTitleIgnoringLetterCaseOnly)
{
    const auto a = LinkWindow::Create("ClassA", "", [](uint32_t, int32_t, const std::string&) {}).Window;
    const auto b = LinkWindow::Create("ServerClassK1", "ServerK1", [](uint32_t, int32_t, const std::string&) {}).Window;
    ASSERT_TRUE(a && b);
    EXPECT_EQ(FindLinkWindow("ClassA", ""), a->Handle());
    EXPECT_EQ(FindLinkWindow("ClassA", std::nullopt), a->Handle());
    EXPECT_EQ(FindLinkWindow("ServerClassK1", "ServerK1"), b->Handle());
    EXPECT_EQ(FindLinkWindow(std::nullopt, "ServerK1"), b->Handle());
    // a client lower-cases the suffix it was started with
    EXPECT_EQ(FindLinkWindow("serverclassk1", "serverk1"), b->Handle());
    EXPECT_EQ(FindLinkWindow("ServerClassK1", ""), 0u);
    EXPECT_EQ(FindLinkWindow("ServerClassK1", "ServerK"), 0u);
    EXPECT_EQ(FindLinkWindow("Class", std::nullopt), 0u);
}

TEST_F(LinkWindowTest, SecondRegistrationOfAClassIsRefused)
{
    ASSERT_TRUE(RegisterLinkWindowClass("LinkTestClass"));
    const LinkClassRegistration again = RegisterLinkWindowClass("LinkTestClass");
    EXPECT_EQ(again.Outcome, LinkClassRegistration::Status::AlreadyRegistered);
    EXPECT_EQ(again.Error, GetErrorString(EEXIST));
    EXPECT_FALSE(RegisterLinkWindowClass("linktestclass"));
    EXPECT_TRUE(RegisterLinkWindowClass("LinkTestOtherClass"));
    EXPECT_TRUE(UnregisterLinkWindowClass("LINKTESTCLASS"));
    EXPECT_FALSE(UnregisterLinkWindowClass("LinkTestClass"));
    EXPECT_TRUE(RegisterLinkWindowClass("LinkTestClass"));
    static_cast<void>(UnregisterLinkWindowClass("LinkTestClass"));
    static_cast<void>(UnregisterLinkWindowClass("LinkTestOtherClass"));
}

TEST_F(LinkWindowTest, MalformedFramesAreDroppedAndTheWindowGoesOn)
{
    const auto window = RecordingWindow();
    const auto header = [](uint32_t Magic, uint32_t Length) {
        std::string bytes(EncodeLinkFrameHeader({1, 2, Length}).data(), LinkFrameHeaderSize);
        for (int i = 0; i < 4; ++i)
            bytes[static_cast<size_t>(i)] = static_cast<char>((Magic >> (8 * i)) & 0xFF);
        return bytes;
    };
    const struct {
        const char* name;
        std::string bytes;
    } rows[] = {
        {"garbage", std::string(64, '\x5a')},
        {"oversized length", header(LinkFrameMagic, LinkMaxDataSize + 1) + "abc"},
        {"largest length, truncated", header(LinkFrameMagic, 0xFFFFFFFF)},
        {"truncated data", header(LinkFrameMagic, 100) + std::string(10, 'd')},
        {"truncated header", header(LinkFrameMagic, 4).substr(0, 9)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const int fd = ConnectRaw(window->Handle());
        ASSERT_EQ(::send(fd, row.bytes.data(), row.bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(row.bytes.size()));
        ::shutdown(fd, SHUT_WR);
        ProcessLinkMessages(50ms);
        char answer[8];
        EXPECT_LE(::recv(fd, answer, sizeof answer, MSG_DONTWAIT), 0) << "a malformed frame got an answer";
        ::close(fd);
        EXPECT_TRUE(received.empty());
    }
    EXPECT_TRUE(SendCopyData(window->Handle(), 5, 6, "still works"));
    EXPECT_EQ(received.size(), 1u);
}

TEST_F(LinkWindowTest, StalledConnectionIsDroppedAfterTheAnswerLimit)
{
    const auto window = RecordingWindow();
    SetLinkAnswerTimeout(100ms);
    const int fd = ConnectRaw(window->Handle());
    ASSERT_EQ(::send(fd, "SWL", 3, MSG_NOSIGNAL), 3);
    QEventLoop loop;
    QTimer::singleShot(600ms, &loop, &QEventLoop::quit);
    loop.exec();
    char answer[8];
    EXPECT_EQ(::recv(fd, answer, sizeof answer, MSG_DONTWAIT), 0) << "the connection is still open";
    ::close(fd);
}

TEST_F(LinkWindowTest, ProcedureMaySendNestedMessages)
{
    const auto inner = RecordingWindow("inner");
    const auto outer = LinkWindow::Create("Outer", "", [&](uint32_t WParam, int32_t Tag, const std::string& Data) {
        EXPECT_TRUE(SendCopyData(inner->Handle(), WParam, Tag + 1, Data + "!"));
    }).Window;
    ASSERT_TRUE(outer);
    EXPECT_TRUE(SendCopyData(outer->Handle(), 9, 1, "hi"));
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].Tag, 2);
    EXPECT_EQ(received[0].Data, "hi!");
}

TEST_F(LinkWindowTest, SendDepthCountsTheSendsRunningOneInsideTheOther)
{
    std::vector<int> seen;
    const auto inner = LinkWindow::Create("Inner", "", [&](uint32_t, int32_t, const std::string&) {
        seen.push_back(LinkSendDepth());
    }).Window;
    const auto outer = LinkWindow::Create("Outer", "", [&](uint32_t, int32_t, const std::string&) {
        seen.push_back(LinkSendDepth());
        EXPECT_TRUE(SendCopyData(inner->Handle(), 0, 1, "nested"));
        seen.push_back(LinkSendDepth());
    }).Window;
    ASSERT_TRUE(inner && outer);
    EXPECT_EQ(LinkSendDepth(), 0);
    EXPECT_TRUE(SendCopyData(outer->Handle(), 0, 1, "outer"));
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 1}));
    // a send that fails, here for want of a window, leaves no count behind
    EXPECT_FALSE(SendCopyData(0x0badf00d, 0, 1, "nobody"));
    EXPECT_EQ(LinkSendDepth(), 0);
}

TEST_F(LinkWindowTest, EndlesslyNestedSendsStopWhenDeepAndTheOuterOnesAreDelivered)
{
    // a procedure that always sends to its own window again would recurse until the stack ends; the
    // deepest send gives up at the answer limit, and the answers to the outer ones, which came while the
    // inner procedures ran past their deadlines, still count
    SetLinkAnswerTimeout(200ms);
    int depth = 0;
    int deepest = 0;
    std::unique_ptr<LinkWindow> window;
    window = LinkWindow::Create("Recursive", "", [&](uint32_t, int32_t, const std::string&) {
        ++depth;
        deepest = std::max(deepest, depth);
        static_cast<void>(SendCopyData(window->Handle(), 0, 1, "again"));  // only the nesting depth counts
        --depth;
    }).Window;
    ASSERT_TRUE(window);
    EXPECT_TRUE(SendCopyData(window->Handle(), 0, 1, "start"));
    EXPECT_GT(deepest, 1);
    EXPECT_LT(deepest, 100);
}

// A message reaches our window from another process while a send of ours waits for a peer that never
// accepts; the window's procedure sends on. Its send shares the waiting send's deadline, and a second send
// to the silent peer is refused at once, while a peer that talks to us during the wait is still served.
TEST_F(LinkWindowTest, SendsNestedInAWaitEndWithinTheFirstSendsLimit)
{
    using Clock = std::chrono::steady_clock;
    HelperProcess silent("idle", "silent"), otherSilent("idle", "other"), echo("echo", "echo");
    const uint32_t silentPeer = ReadyHandle(silent.ReadLine(10s));
    const uint32_t otherPeer = ReadyHandle(otherSilent.ReadLine(10s));
    const uint32_t echoPeer = ReadyHandle(echo.ReadLine(10s));
    ASSERT_TRUE(silentPeer != 0 && otherPeer != 0 && echoPeer != 0);
    const auto limit = 2000ms;
    SetLinkAnswerTimeout(limit);
    const struct {
        const char* name;
        uint32_t outer, nested;
        LinkSendResult::Status outcome;
        Clock::duration longest;  // the nested send's own time
    } rows[] = {
        {"another silent peer", silentPeer, otherPeer, LinkSendResult::Status::TimedOut, limit},
        {"the same silent peer", silentPeer, silentPeer, LinkSendResult::Status::TimedOut, 300ms},
        {"the peer that is talking to us", echoPeer, echoPeer, LinkSendResult::Status::Delivered, limit},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::optional<LinkSendResult> nested;
        Clock::time_point nestedStart{}, nestedEnd{};
        const auto window = LinkWindow::Create("Nesting", "", [&](uint32_t, int32_t Tag, const std::string&) {
            if (Tag != 5 || nested)
                return;
            std::this_thread::sleep_for(600ms);
            nestedStart = Clock::now();
            nested = SendCopyData(row.nested, 0, 6, "nested");
            nestedEnd = Clock::now();
        }).Window;
        ASSERT_TRUE(window);
        std::unique_ptr<HelperProcess> sender;
        if (row.outer != echoPeer)
            sender = std::make_unique<HelperProcess>("send", LinkHandleName(window->Handle()) + " 5");
        const auto start = Clock::now();
        // the echo peer answers with tag 5 + 1000; make its answer the one that starts the nested send
        const LinkSendResult outer = SendCopyData(row.outer, window->Handle(), row.outer == echoPeer ? -995 : 1, "x");
        ASSERT_TRUE(nested.has_value()) << "no message reached the window during the send";
        EXPECT_EQ(nested->Outcome, row.outcome) << nested->Error;
        EXPECT_LT(nestedEnd - nestedStart, row.longest);
        // by the outer send's deadline, however late the message came
        EXPECT_LT(nestedEnd - start, limit + 200ms);
        EXPECT_EQ(bool(outer), row.outer == echoPeer) << outer.Error;
    }
}

// A question whose procedure runs out the first send's deadline in a nested send still gets its whole answer
// after that deadline, and a question that comes meanwhile waits for the next dispatch instead of nesting in
// that late answer; each asking process expects its answer before its own send returns.
TEST_F(LinkWindowTest, QuestionsHandledAsNestedSendsUnwindAreAnsweredInFull)
{
    HelperProcess silent("idle", "silent"), otherSilent("idle", "other");
    const uint32_t silentPeer = ReadyHandle(silent.ReadLine(10s));
    const uint32_t otherPeer = ReadyHandle(otherSilent.ReadLine(10s));
    ASSERT_TRUE(silentPeer != 0 && otherPeer != 0);
    SetLinkAnswerTimeout(1000ms);
    // larger than a socket buffer: an answer cut off by a deadline cannot arrive whole
    const std::string answer(4u << 20, 'a');
    std::unique_ptr<HelperProcess> late;
    std::vector<int> depths;  // of the sends waiting when each question was handled
    std::unique_ptr<LinkWindow> window;
    window = LinkWindow::Create("Nesting", "", [&](uint32_t WParam, int32_t, const std::string&) {
        depths.push_back(LinkSendDepth());
        if (!late) {
            EXPECT_EQ(SendCopyData(otherPeer, 0, 6, "nested").Outcome, LinkSendResult::Status::TimedOut);
            late = std::make_unique<HelperProcess>("ask", LinkHandleName(window->Handle()));
            EXPECT_EQ(late->ReadLine(10s), "asking");
            std::this_thread::sleep_for(100ms);
        }
        EXPECT_TRUE(SendCopyData(WParam, window->Handle(), 1007, answer));
    }).Window;
    ASSERT_TRUE(window);
    HelperProcess first("ask", LinkHandleName(window->Handle()));
    EXPECT_EQ(first.ReadLine(10s), "asking");
    EXPECT_EQ(SendCopyData(silentPeer, 0, 1, "x").Outcome, LinkSendResult::Status::TimedOut);
    ASSERT_TRUE(late) << "no question reached the window during the send";
    ProcessLinkMessages(5s);
    EXPECT_EQ(depths, (std::vector<int>{1, 0}));
    for (HelperProcess* asker : {&first, late.get()}) {
        EXPECT_EQ(asker->ReadLine(10s), "answer " + std::to_string(answer.size()));
        EXPECT_EQ(asker->Wait(10s), 0);
    }
}

TEST_F(LinkWindowTest, ReplyDuringSendReachesUsBeforeSendReturns)
{
    HelperProcess echo("echo", "echo-title");
    const uint32_t peer = ReadyHandle(echo.ReadLine(10s));
    ASSERT_NE(peer, 0u);
    EXPECT_EQ(FindLinkWindow("HelperClass", "echo-title"), peer);
    const auto window = RecordingWindow();
    EXPECT_TRUE(SendCopyData(peer, window->Handle(), 7, "question"));
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].WParam, peer);
    EXPECT_EQ(received[0].Tag, 1007);
    EXPECT_EQ(received[0].Data, "question");

    // the peer destroys its window inside its procedure and ends
    EXPECT_TRUE(SendCopyData(peer, window->Handle(), 99, ""));
    EXPECT_EQ(echo.Wait(10s), 0);
    EXPECT_FALSE(IsLinkWindow(peer));
}

TEST_F(LinkWindowTest, MessageFromAnotherProcessArrivesThroughTheEventLoop)
{
    const auto window = RecordingWindow();
    HelperProcess sender("send", LinkHandleName(window->Handle()) + " 42");
    QEventLoop loop;
    QTimer::singleShot(10s, &loop, &QEventLoop::quit);
    QTimer poller;
    QObject::connect(&poller, &QTimer::timeout, &loop, [&] {
        if (!received.empty())
            loop.quit();
    });
    poller.start(5);
    loop.exec();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].Tag, 42);
    EXPECT_EQ(received[0].Data, "from the helper");
    EXPECT_EQ(sender.Wait(10s), 0) << "the sender saw no acknowledgement";
}

TEST_F(LinkWindowTest, PeerThatNeverAnswersEndsTheSendWithinTheLimit)
{
    HelperProcess hang("hang", "");
    const uint32_t peer = ReadyHandle(hang.ReadLine(10s));
    ASSERT_NE(peer, 0u);
    SetLinkAnswerTimeout(300ms);
    const auto start = std::chrono::steady_clock::now();
    const LinkSendResult result = SendCopyData(peer, 0, 1, "anyone there?");
    EXPECT_EQ(result.Outcome, LinkSendResult::Status::TimedOut) << result.Error;
    EXPECT_NE(result.Error.find("no answer"), std::string::npos) << result.Error;
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

TEST_F(LinkWindowTest, MisbehavingPeerEndsTheSendWithinTheLimitAndCannotKillUs)
{
    constexpr uint32_t peer = 0x00c0ffee;
    const std::string big(4u << 20, 'x');
    const std::string small = "x";
    SetLinkAnswerTimeout(300ms);
    using Status = LinkSendResult::Status;
    enum class Peer { Silent, ReadsAndCloses, AnswersGarbage, Gone };
    const struct {
        const char* name;
        int backlog;
        Peer peer;
        int fillers;
        const std::string& data;
        Status outcome;
        std::vector<std::string> reasons;  // the text holds one of them
    } rows[] = {
        {"never accepts, frame larger than the socket buffer", 4, Peer::Silent, 0, big, Status::TimedOut,
            {"no answer"}},
        {"backlog full", 0, Peer::Silent, 1, small, Status::TimedOut, {"accepted no connection"}},
        {"accepts and closes while we write (no SIGPIPE)", 4, Peer::ReadsAndCloses, 0, big, Status::ConnectionLost,
            {GetErrorString(EPIPE), GetErrorString(ECONNRESET)}},
        {"answers with something other than an acknowledgement", 4, Peer::AnswersGarbage, 0, small, Status::Failed,
            {"acknowledgement"}},
        {"listener gone, socket file left", 4, Peer::Gone, 0, small, Status::NoSuchWindow,
            {GetErrorString(ECONNREFUSED)}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const int listener = RawListener(peer, row.backlog);
        std::vector<int> fillers;
        for (int i = 0; i < row.fillers; ++i)
            fillers.push_back(ConnectRaw(peer));
        if (row.peer == Peer::Gone)
            ::close(listener);
        std::thread acceptor;
        if (row.peer == Peer::ReadsAndCloses || row.peer == Peer::AnswersGarbage) {
            acceptor = std::thread([listener, answer = row.peer == Peer::AnswersGarbage] {
                const int fd = ::accept(listener, nullptr, nullptr);
                char some[64];
                // the small frame is read whole before the garbage goes back
                size_t got = 0;
                while (answer && got < LinkFrameHeaderSize + 1) {
                    const ssize_t n = ::read(fd, some, sizeof some);
                    if (n <= 0)
                        break;
                    got += static_cast<size_t>(n);
                }
                if (answer)
                    (void)::send(fd, "garbage!", LinkAckSize, MSG_NOSIGNAL);
                else
                    (void)::read(fd, some, sizeof some);
                ::close(fd);
            });
        }
        const auto start = std::chrono::steady_clock::now();
        const LinkSendResult result = SendCopyData(peer, 0, 1, row.data);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
        EXPECT_EQ(result.Outcome, row.outcome) << result.Error;
        EXPECT_TRUE(std::any_of(row.reasons.begin(), row.reasons.end(), [&](const std::string& Reason) {
            return result.Error.find(Reason) != std::string::npos;
        })) << result.Error;
        if (acceptor.joinable())
            acceptor.join();
        for (const int fd : fillers)
            ::close(fd);
        if (row.peer != Peer::Gone)
            ::close(listener);
        std::filesystem::remove(runtime.LinkDir() + "/" + LinkHandleName(peer) + ".sock");
    }
}

// A procedure that throws drops only that message; one that destroys its own window still acknowledges
// its message; neither, nor a stalled or refused send, nor a mutex, leaves a descriptor behind.
TEST_F(LinkWindowTest, ThrowingOrSelfDestroyingProceduresLeaveNoDescriptorBehind)
{
    SetLinkAnswerTimeout(50ms);
    const auto cycle = [this] {
        std::unique_ptr<LinkWindow> window;
        window = LinkWindow::Create("Cycle", "", [&window](uint32_t, int32_t Tag, const std::string& Data) {
            if (Tag == 1)
                throw std::runtime_error("dropped");
            window.reset();
            // nothing of the window is touched after this, but the data stays readable during the call
            EXPECT_EQ(Data, "destroys the window");
        }).Window;
        ASSERT_TRUE(window);
        const uint32_t handle = window->Handle();
        EXPECT_EQ(FindLinkWindow("Cycle", ""), handle);
        EXPECT_EQ(SendCopyData(handle, 0, 1, "thrown").Outcome, LinkSendResult::Status::Dropped);
        const int stalled = ConnectRaw(handle);
        ::close(stalled);
        EXPECT_TRUE(SendCopyData(handle, 0, 2, "destroys the window"));
        EXPECT_EQ(window, nullptr);
        EXPECT_FALSE(IsLinkWindow(handle));
        EXPECT_EQ(SendCopyData(handle, 0, 3, "gone").Outcome, LinkSendResult::Status::NoSuchWindow);
        const int listener = RawListener(0x00c0ffee, 1);
        EXPECT_EQ(SendCopyData(0x00c0ffee, 0, 3, "never accepted").Outcome, LinkSendResult::Status::TimedOut);
        ::close(listener);
        std::filesystem::remove(runtime.LinkDir() + "/00c0ffee.sock");
        ProcessLinkMessages(0ms);
        const auto mutex = NamedMutex::TryAcquire("cycle").Mutex;
        EXPECT_EQ(NamedMutex::TryAcquire("cycle").Mutex, nullptr);
        EXPECT_TRUE(NamedMutex::Exists("cycle"));
    };
    cycle();
    const int before = OpenDescriptors();
    for (int i = 0; i < 20; ++i)
        cycle();
    EXPECT_EQ(OpenDescriptors(), before);
}

// Signals arrive every 200 microseconds while it lives, without SA_RESTART, so blocking calls see EINTR.
class SignalStorm {
public:
    SignalStorm()
    {
        struct sigaction action { };
        action.sa_handler = [](int) {};
        ::sigaction(SIGALRM, &action, &saved_);
        const itimerval often{{0, 200}, {0, 200}};
        ::setitimer(ITIMER_REAL, &often, nullptr);
    }
    ~SignalStorm()
    {
        const itimerval off{};
        ::setitimer(ITIMER_REAL, &off, nullptr);
        ::sigaction(SIGALRM, &saved_, nullptr);
    }

private:
    struct sigaction saved_ { };
};

TEST_F(LinkWindowTest, InterruptedCallsAreResumed)
{
    HelperProcess echo("echo", "");
    const uint32_t peer = ReadyHandle(echo.ReadLine(10s));
    ASSERT_NE(peer, 0u);
    const auto window = RecordingWindow();
    const std::string data(200000, 'y');
    SignalStorm storm;
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(SendCopyData(peer, window->Handle(), 1, data)) << i;
        ASSERT_TRUE(SendCopyData(window->Handle(), 0, 2, "own")) << i;
    }
    EXPECT_EQ(received.size(), 100u);
    EXPECT_EQ(WaitForProcess(StartProcess("sh", {"-c", "sleep 0.1; exit 4"})), 4);
}

TEST_F(LinkWindowTest, FailingPollEndsTheSendInsteadOfSpinning)
{
    // poll refuses more descriptors than the open-file limit allows: a limit below the number of our windows,
    // but above a free low descriptor for the send's own socket, makes every poll of the send fail
    const int spare = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(spare, 0);
    std::vector<std::unique_ptr<LinkWindow>> windows;
    for (int i = 0; i < 40; ++i)
        windows.push_back(RecordingWindow());
    ::close(spare);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit low = saved;
    low.rlim_cur = static_cast<rlim_t>(spare + 1);
    SetLinkAnswerTimeout(300ms);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    const LinkSendResult result = SendCopyData(windows[0]->Handle(), 0, 1, "x");
    ::setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(result.Outcome, LinkSendResult::Status::Failed);
    EXPECT_NE(result.Error.find(GetErrorString(EINVAL)), std::string::npos) << result.Error;
}

// The user and system time a process has used so far.
std::chrono::milliseconds CpuTime(pid_t Pid)
{
    std::ifstream in("/proc/" + std::to_string(Pid) + "/stat");
    const std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // the fields after the command name, which may hold spaces and ends with the last ')', begin with the third
    std::istringstream fields(stat.substr(stat.rfind(')') + 1));
    std::string skipped;
    for (int field = 3; field < 14; ++field)
        fields >> skipped;
    long long user = 0, system = 0;
    fields >> user >> system;
    return std::chrono::milliseconds((user + system) * 1000 / ::sysconf(_SC_CLK_TCK));
}

// A process out of descriptors, with a connection waiting that it cannot accept, waits instead of spinning, and
// serves again once its stalled connections are gone.
TEST_F(LinkWindowTest, ProcessOutOfDescriptorsWaitsInsteadOfSpinning)
{
    for (const char* mode : {"starved", "starved-polling"}) {
        SCOPED_TRACE(mode);
        HelperProcess helper(mode, "");
        const uint32_t peer = ReadyHandle(helper.ReadLine(10s));
        ASSERT_NE(peer, 0u);
        // more than its four spare descriptors: the rest stay in its backlog
        std::vector<UniqueFd> stalled;
        for (int i = 0; i < 8; ++i)
            stalled.emplace_back(ConnectRaw(peer));
        std::this_thread::sleep_for(200ms);
        const auto before = CpuTime(helper.Pid());
        std::this_thread::sleep_for(1s);
        EXPECT_LT(CpuTime(helper.Pid()) - before, 300ms);
        stalled.clear();
        EXPECT_TRUE(SendCopyData(peer, 0, 1, "served"));
    }
}

TEST_F(LinkWindowTest, EntriesOfAKilledProcessAreRemoved)
{
    uint32_t dead = 0;
    {
        HelperProcess idle("idle", "crashing");
        dead = ReadyHandle(idle.ReadLine(10s));
        ASSERT_NE(dead, 0u);
        EXPECT_TRUE(IsLinkWindow(dead));
    }
    const std::string base = runtime.LinkDir() + "/" + LinkHandleName(dead);
    ASSERT_TRUE(std::filesystem::exists(base + ".info"));
    EXPECT_EQ(FindLinkWindow("HelperClass", "crashing"), 0u);
    EXPECT_FALSE(std::filesystem::exists(base + ".info"));
    EXPECT_FALSE(std::filesystem::exists(base + ".sock"));
    EXPECT_FALSE(IsLinkWindow(dead));
    EXPECT_EQ(SendCopyData(dead, 0, 1, "x").Outcome, LinkSendResult::Status::NoSuchWindow);
}

TEST_F(LinkWindowTest, StaleEntryHeldByAnotherScannerIsNotFound)
{
    // a crashed window's entry, locked for a moment by a scanner of another process that is about to
    // remove it: its socket no longer listens
    ASSERT_TRUE(LinkDirectory().has_value());
    const std::string base = runtime.LinkDir() + "/0badf00d";
    const int entry = ::open((base + ".info").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(entry, 0);
    const std::string content = EncodeLinkEntryInfo({1, "CrashedClass", "crashed"});
    ASSERT_EQ(::write(entry, content.data(), content.size()), static_cast<ssize_t>(content.size()));
    ::close(RawListener(0x0badf00d, 1));
    ASSERT_EQ(::flock(entry, LOCK_EX), 0);
    EXPECT_EQ(FindLinkWindow("CrashedClass", "crashed"), 0u);
    const auto live =
        LinkWindow::Create("CrashedClass", "crashed", [](uint32_t, int32_t, const std::string&) {}).Window;
    ASSERT_TRUE(live);
    EXPECT_EQ(FindLinkWindow("CrashedClass", "crashed"), live->Handle());
    ::close(entry);
}

TEST_F(LinkWindowTest, UnsafeDirectoryIsRefused)
{
    const std::string dir = runtime.LinkDir();
    ASSERT_TRUE(LinkDirectory().has_value());
    struct stat status { };
    ASSERT_EQ(::stat(dir.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);

    ASSERT_EQ(::chmod(dir.c_str(), 0770), 0);
    std::string error;
    EXPECT_FALSE(LinkDirectory(&error).has_value());
    EXPECT_NE(error.find("writable by other users"), std::string::npos) << error;
    const LinkWindowCreation creation = LinkWindow::Create("C", "T", [](uint32_t, int32_t, const std::string&) {});
    EXPECT_EQ(creation.Outcome, LinkWindowCreation::Status::Unusable);
    EXPECT_EQ(creation.Window, nullptr);
    EXPECT_EQ(creation.Error, error);
    ASSERT_EQ(::chmod(dir.c_str(), 0700), 0);

    std::filesystem::remove_all(dir);
    std::filesystem::create_directory(runtime.Path() + "/elsewhere");
    std::filesystem::create_directory_symlink(runtime.Path() + "/elsewhere", dir);
    EXPECT_FALSE(LinkDirectory(&error).has_value());
    EXPECT_NE(error.find("is not a directory"), std::string::npos) << error;
    std::filesystem::remove(dir);

    if (::geteuid() == 0) {
        std::filesystem::create_directory(dir);
        ASSERT_EQ(::chown(dir.c_str(), 65534, 65534), 0);
        ::chmod(dir.c_str(), 0700);
        EXPECT_FALSE(LinkDirectory(&error).has_value());
        EXPECT_NE(error.find("belongs to user 65534"), std::string::npos) << error;
    }
}

TEST_F(LinkWindowTest, CreateSaysWhyItCannot)
{
    const std::string tooLong(LinkMaxNameLength + 1, 'n');
    // a socket address holds about a hundred bytes; a deep enough runtime directory cannot name one
    const std::string deep = runtime.Path() + "/" + std::string(120, 'd');
    std::filesystem::create_directory(deep);
    const struct {
        const char* name;
        std::string runtimeDir;
        std::string className;
        std::string title;
        LinkWindowCreation::Status outcome;
        std::string reason;
    } rows[] = {
        {"class too long", runtime.Path(), tooLong, "T", LinkWindowCreation::Status::NameTooLong, "longer than"},
        {"title too long", runtime.Path(), "C", tooLong, LinkWindowCreation::Status::NameTooLong, "longer than"},
        {"socket path too long", deep, "C", "T", LinkWindowCreation::Status::Unusable, GetErrorString(ENAMETOOLONG)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ::setenv("XDG_RUNTIME_DIR", row.runtimeDir.c_str(), 1);
        const LinkWindowCreation creation =
            LinkWindow::Create(row.className, row.title, [](uint32_t, int32_t, const std::string&) {});
        ::setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
        EXPECT_EQ(creation.Outcome, row.outcome);
        EXPECT_EQ(creation.Window, nullptr);
        EXPECT_NE(creation.Error.find(row.reason), std::string::npos) << creation.Error;
    }
    // the entry claimed before the socket failed is not left behind
    EXPECT_TRUE(std::filesystem::is_empty(deep + "/sewella-link"));
}

TEST_F(LinkWindowTest, ConnectionFromAnotherUserIsClosedUnread)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to run a peer as another user";
    const auto window = RecordingWindow();
    // let the other user reach the socket at all; the check under test is the peer's identity
    ASSERT_EQ(::chmod(runtime.Path().c_str(), 0711), 0);
    ASSERT_EQ(::chmod(runtime.LinkDir().c_str(), 0711), 0);
    const std::string socketPath = runtime.LinkDir() + "/" + LinkHandleName(window->Handle()) + ".sock";
    ASSERT_EQ(::chmod(socketPath.c_str(), 0777), 0);
    const std::string frame = std::string(EncodeLinkFrameHeader({1, 2, 3}).data(), LinkFrameHeaderSize) + "abc";

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(10);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            ::_exit(11);
        (void)::send(fd, frame.data(), frame.size(), MSG_NOSIGNAL);
        char answer[8];
        ::_exit(::recv(fd, answer, sizeof answer, 0) > 0 ? 12 : 0);
    }
    int status = -1;
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (::waitpid(child, &status, WNOHANG) == 0 && std::chrono::steady_clock::now() < deadline)
        ProcessLinkMessages(20ms);
    if (!WIFEXITED(status)) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    EXPECT_TRUE(received.empty());
}

TEST_F(LinkWindowTest, WindowOfAnotherUserIsSentNothing)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to run a peer as another user";
    ASSERT_TRUE(LinkDirectory().has_value());
    const std::string socketPath = runtime.LinkDir() + "/00c0ffee.sock";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    // the peer names its socket in our directory, then listens as the other user: a peer's identity is
    // the one it had when it began to listen
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::setgid(65534) != 0 ||
            ::setuid(65534) != 0 || ::listen(fd, 4) != 0)
            ::_exit(10);
        (void)::write(ready[1], "r", 1);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char signal = 0;
    const bool listening = ::read(ready[0], &signal, 1) == 1;
    ::close(ready[0]);
    const LinkSendResult result = listening ? SendCopyData(0x00c0ffee, 0, 1, "secret") : LinkSendResult{};
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    std::filesystem::remove(socketPath);
    ASSERT_TRUE(listening);
    EXPECT_EQ(result.Outcome, LinkSendResult::Status::OtherUser) << result.Error;
    EXPECT_NE(result.Error.find("another user"), std::string::npos) << result.Error;
}

}  // namespace
