#include "platform/os/link/LinkReceiver.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <variant>
#include <vector>

#include "platform/os/LastError.h"
#include "platform/os/link/LinkSender.h"
#include "platform/os/link/LinkTransport.h"

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

using WindowState = LinkWindow::State;

// Connections waiting for their frame. Each has its own limits (the answer limit in time, its announced
// length in memory); the counts below only bound descriptors. One process may keep this many unfinished at a
// window: its further connections are refused, so a peer that stalls its own sends harms no one else.
constexpr size_t MaxConnectionsPerPeer = 16;
// All processes together: beyond this the oldest unfinished connection of the window makes way for the new
// one (a well-behaved sender writes its frame at once, so the oldest is the likeliest to be stalled).
constexpr size_t MaxConnectionsPerWindow = 256;
// Sends nested in window procedures beyond this depth no longer dispatch incoming messages, so a peer
// cannot drive the stack deeper and deeper.
constexpr int MaxDispatchDepth = 16;
// How long a window leaves its listening socket alone when accepting lacks a descriptor, unless one of our
// connections closes first.
constexpr milliseconds AcceptPause{200};

struct Connection {
    UniqueFd Fd;
    std::weak_ptr<WindowState> Window;
    LinkFrameReader Reader;
    pid_t Peer = 0;
    Clock::time_point Started;
    bool Dispatching = false;
    bool Closed = false;
    QPointer<QSocketNotifier> Notifier;
};

struct Receiver {
    std::vector<std::shared_ptr<WindowState>> Windows;
    std::vector<std::shared_ptr<Connection>> Connections;
    int Dispatched = 0;
};

Receiver& TheReceiver()
{
    // never destroyed: windows may outlive static destruction order
    static Receiver* receiver = new Receiver;
    return *receiver;
}

void DropNotifier(QPointer<QSocketNotifier>& Notifier)
{
    if (!Notifier)
        return;
    QSocketNotifier* notifier = Notifier.data();
    Notifier.clear();
    notifier->setEnabled(false);
    // the notifier may be the one whose signal is running right now
    if (QCoreApplication::instance())
        notifier->deleteLater();
    else
        delete notifier;
}

bool CanUseNotifiers()
{
    QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

void ResumeAccepting(WindowState& Window)
{
    Window.AcceptPausedUntil = {};
    if (Window.Notifier && !Window.Closed)
        Window.Notifier->setEnabled(true);
}

// Whether Window's listening socket is watched now; ends a pause whose time is up.
bool Accepting(WindowState& Window)
{
    if (Window.AcceptPausedUntil == Clock::time_point{})
        return true;
    if (Clock::now() < Window.AcceptPausedUntil)
        return false;
    ResumeAccepting(Window);
    return true;
}

// A connection accept cannot take stays in the backlog and keeps the socket readable: watching it now would
// only spin until a descriptor is free.
void PauseAccepting(const std::shared_ptr<WindowState>& Window, int Error)
{
    if (!Window->WarnedOutOfDescriptors)
        qWarning("link window %s: cannot accept a connection (%s); new connections wait until a descriptor is free",
            LinkHandleName(Window->Handle).c_str(), GetErrorString(Error).c_str());
    Window->WarnedOutOfDescriptors = true;
    const Clock::time_point until = Clock::now() + AcceptPause;
    Window->AcceptPausedUntil = until;
    if (!Window->Notifier)
        return;
    Window->Notifier->setEnabled(false);
    std::weak_ptr<WindowState> weak = Window;
    QTimer::singleShot(AcceptPause, Window->Notifier.data(), [weak, until] {
        // a later pause has its own timer
        if (const std::shared_ptr<WindowState> window = weak.lock(); window && window->AcceptPausedUntil == until)
            ResumeAccepting(*window);
    });
}

void CloseConnection(const std::shared_ptr<Connection>& C)
{
    if (C->Closed)
        return;
    C->Closed = true;
    DropNotifier(C->Notifier);
    C->Fd.Reset();
    auto& list = TheReceiver().Connections;
    list.erase(std::remove(list.begin(), list.end(), C), list.end());
    // the descriptor just freed may take a connection that is waiting
    for (const auto& window : TheReceiver().Windows)
        if (window->AcceptPausedUntil != Clock::time_point{})
            ResumeAccepting(*window);
}

void Dispatch(const std::shared_ptr<Connection>& C)
{
    C->Dispatching = true;
    if (C->Notifier)
        C->Notifier->setEnabled(false);
    LinkAckStatus status = LinkAckStatus::Dropped;
    // the state, and with it the procedure, stays alive while it runs even if the window is destroyed
    if (const std::shared_ptr<WindowState> window = C->Window.lock(); window && !window->Closed) {
        const LinkFrameHeader& header = C->Reader.Header();
        ++TheReceiver().Dispatched;
        const LinkCallScope call(LinkCall{LinkCall::Kind::Dispatch, C->Peer, {}});
        try {
            window->Proc(header.WParam, header.Tag, C->Reader.Data());
            status = LinkAckStatus::Handled;
        } catch (const std::exception& e) {
            qWarning("link window %s: a message with tag %d was dropped: %s", LinkHandleName(window->Handle).c_str(),
                header.Tag, e.what());
        } catch (...) {
            qWarning("link window %s: a message with tag %d was dropped: unknown exception",
                LinkHandleName(window->Handle).c_str(), header.Tag);
        }
    }
    const auto ack = EncodeLinkAck(status);
    // the connection's send buffer is empty: this never blocks, and a vanished sender costs nothing
    (void)::send(C->Fd.Get(), ack.data(), ack.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    CloseConnection(C);
}

void ReadConnection(const std::shared_ptr<Connection>& C)
{
    if (C->Closed || C->Dispatching)
        return;
    // modest: procedures may nest sends, and each level passes through here
    char buffer[16 * 1024];
    for (;;) {
        const ssize_t n = ::recv(C->Fd.Get(), buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0) {
            C->Reader.Feed(std::string_view(buffer, static_cast<size_t>(n)));
            if (C->Reader.State() == LinkFrameReader::Status::Malformed) {
                qWarning("link: a malformed message was dropped: %s", C->Reader.Problem().c_str());
                CloseConnection(C);
                return;
            }
            if (C->Reader.State() == LinkFrameReader::Status::Complete) {
                Dispatch(C);
                return;
            }
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        if (C->Reader.Received() > 0)
            qWarning("link: a truncated message (%zu bytes) was dropped", C->Reader.Received());
        CloseConnection(C);
        return;
    }
}

void DropOverdue(const std::shared_ptr<Connection>& C)
{
    qWarning("link: a message that did not arrive within the answer limit was dropped");
    CloseConnection(C);
}

void ReapOverdueConnections(const WindowState* Window)
{
    const auto now = Clock::now();
    const auto limit = LinkAnswerTimeout();
    const std::vector<std::shared_ptr<Connection>> connections = TheReceiver().Connections;
    for (const auto& c : connections) {
        if (c->Dispatching || now - c->Started < limit)
            continue;
        if (Window != nullptr && c->Window.lock().get() != Window)
            continue;
        DropOverdue(c);
    }
}

// The unfinished connections of Window, oldest first; only those of process Peer unless Peer is 0.
std::vector<std::shared_ptr<Connection>> UnfinishedAt(const WindowState* Window, pid_t Peer = 0)
{
    std::vector<std::shared_ptr<Connection>> found;
    for (const auto& c : TheReceiver().Connections)
        if (!c->Dispatching && c->Window.lock().get() == Window && (Peer == 0 || c->Peer == Peer))
            found.push_back(c);
    return found;
}

// Whether a new connection from process Peer may wait for its frame at Window; makes room when it may.
bool AdmitConnection(const WindowState* Window, pid_t Peer)
{
    if (UnfinishedAt(Window).size() >= MaxConnectionsPerWindow)
        ReapOverdueConnections(Window);
    if (UnfinishedAt(Window, Peer).size() >= MaxConnectionsPerPeer) {
        qWarning("link window %s: too many unfinished messages from process %ld; a connection was refused",
            LinkHandleName(Window->Handle).c_str(), static_cast<long>(Peer));
        return false;
    }
    const std::vector<std::shared_ptr<Connection>> all = UnfinishedAt(Window);
    if (all.size() >= MaxConnectionsPerWindow) {
        qWarning("link window %s: too many unfinished messages; the oldest was dropped",
            LinkHandleName(Window->Handle).c_str());
        CloseConnection(all.front());
    }
    return true;
}

// Lets the event loop read the connection as its bytes arrive and drop it when they stop coming.
void WatchFromEventLoop(const std::shared_ptr<Connection>& C)
{
    C->Notifier = new QSocketNotifier(C->Fd.Get(), QSocketNotifier::Read);
    std::weak_ptr<Connection> weak = C;
    QObject::connect(C->Notifier.data(), &QSocketNotifier::activated, [weak] {
        if (const std::shared_ptr<Connection> connection = weak.lock())
            ReadConnection(connection);
    });
    QTimer::singleShot(LinkAnswerTimeout(), C->Notifier.data(), [weak] {
        const std::shared_ptr<Connection> connection = weak.lock();
        if (connection && !connection->Dispatching && !connection->Closed)
            DropOverdue(connection);
    });
}

// Serves a connection just accepted at Window, unless its peer is another user or has too many waiting.
void TakeConnection(const std::shared_ptr<WindowState>& Window, UniqueFd Fd)
{
    ucred peer{};
    socklen_t length = sizeof peer;
    if (::getsockopt(Fd.Get(), SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0 ||
        !LinkPeerAllowed(peer.uid, ::geteuid())) {
        qWarning("link window %s: a connection from user %u was refused", LinkHandleName(Window->Handle).c_str(),
            static_cast<unsigned>(peer.uid));
        return;
    }
    if (!AdmitConnection(Window.get(), peer.pid))
        return;
    auto c = std::make_shared<Connection>();
    c->Fd = std::move(Fd);
    c->Peer = peer.pid;
    c->Window = Window;
    c->Started = Clock::now();
    if (CanUseNotifiers())
        WatchFromEventLoop(c);
    TheReceiver().Connections.push_back(c);
    // the frame is usually there already
    ReadConnection(c);
}

// Who accepts: the event loop, or a wait, which stops handing messages to procedures at its deadline.
enum class AcceptFrom { EventLoop, Wait };

void Accept(const std::shared_ptr<WindowState>& Window, AcceptFrom From)
{
    while (!Window->Closed && (From == AcceptFrom::EventLoop || LinkDispatchOpen())) {
        UniqueFd fd(::accept4(Window->ListenFd.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (fd) {
            TakeConnection(Window, std::move(fd));
            continue;
        }
        const int error = errno;
        if (error == EINTR)
            continue;
        if (error == EMFILE || error == ENFILE)
            PauseAccepting(Window, error);
        else if (error == EAGAIN || error == EWOULDBLOCK)
            Window->WarnedOutOfDescriptors = false;
        return;
    }
}

using PollTarget = std::variant<std::shared_ptr<WindowState>, std::shared_ptr<Connection>>;

// Adds the descriptors of this process's windows that may deliver messages now; returns when a window whose
// listening socket is left alone for a while is to be watched again.
Clock::time_point CollectOwnDescriptors(std::vector<pollfd>& Fds, std::vector<PollTarget>& Targets)
{
    Clock::time_point resume = Clock::time_point::max();
    if (LinkSendDepth() > MaxDispatchDepth || !LinkDispatchOpen())
        return resume;
    for (const auto& w : TheReceiver().Windows) {
        if (w->Closed)
            continue;
        if (!Accepting(*w)) {
            resume = std::min(resume, w->AcceptPausedUntil);
            continue;
        }
        Fds.push_back(pollfd{w->ListenFd.Get(), POLLIN, 0});
        Targets.emplace_back(w);
    }
    for (const auto& c : TheReceiver().Connections) {
        if (c->Closed || c->Dispatching)
            continue;
        Fds.push_back(pollfd{c->Fd.Get(), POLLIN, 0});
        Targets.emplace_back(c);
    }
    return resume;
}

void ServiceReady(const std::vector<pollfd>& Fds, const std::vector<PollTarget>& Targets, size_t First)
{
    for (size_t i = First; i < Fds.size(); ++i) {
        if (Fds[i].revents == 0)
            continue;
        // a procedure may have run past the deadline of the send that waits; the rest stays queued
        if (!LinkDispatchOpen())
            break;
        const PollTarget& target = Targets[i - First];
        if (const auto* window = std::get_if<std::shared_ptr<WindowState>>(&target))
            Accept(*window, AcceptFrom::Wait);
        else
            ReadConnection(std::get<std::shared_ptr<Connection>>(target));
    }
    ReapOverdueConnections(nullptr);
}

int RemainingMs(Clock::time_point Deadline)
{
    const auto left = std::chrono::duration_cast<milliseconds>(Deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 1000 * 1000));
}

}  // namespace

void StartReceiving(const std::shared_ptr<LinkWindow::State>& Window)
{
    if (CanUseNotifiers()) {
        Window->Notifier = new QSocketNotifier(Window->ListenFd.Get(), QSocketNotifier::Read);
        std::weak_ptr<WindowState> weak = Window;
        QObject::connect(Window->Notifier.data(), &QSocketNotifier::activated, [weak] {
            if (const std::shared_ptr<WindowState> window = weak.lock())
                Accept(window, AcceptFrom::EventLoop);
        });
    }
    TheReceiver().Windows.push_back(Window);
}

void StopReceiving(const std::shared_ptr<LinkWindow::State>& Window)
{
    DropNotifier(Window->Notifier);
    Receiver& receiver = TheReceiver();
    const std::vector<std::shared_ptr<Connection>> connections = receiver.Connections;
    for (const auto& c : connections)
        if (!c->Dispatching && c->Window.lock() == Window)
            CloseConnection(c);
    receiver.Windows.erase(
        std::remove(receiver.Windows.begin(), receiver.Windows.end(), Window), receiver.Windows.end());
}

OwnWindowsPoll PollWithOwnWindows(int Fd, short Events, Clock::time_point Deadline)
{
    std::vector<pollfd> fds{pollfd{Fd, Events, 0}};
    std::vector<PollTarget> targets;
    const Clock::time_point resume = CollectOwnDescriptors(fds, targets);
    const int ready = ::poll(fds.data(), fds.size(), RemainingMs(std::min(Deadline, resume)));
    if (ready < 0)
        return OwnWindowsPoll{ready, 0, errno};
    if (ready > 0)
        ServiceReady(fds, targets, 1);
    return OwnWindowsPoll{ready, ready > 0 ? fds[0].revents : short(0), 0};
}

int ProcessLinkMessages(milliseconds Timeout)
{
    Receiver& receiver = TheReceiver();
    const int before = receiver.Dispatched;
    const auto deadline = Clock::now() + Timeout;
    for (;;) {
        const OwnWindowsPoll result = PollWithOwnWindows(-1, 0, deadline);
        if (result.Ready <= 0)
            ReapOverdueConnections(nullptr);
        if (Clock::now() >= deadline || (result.Ready < 0 && result.Error != EINTR))
            break;
        // a positive timeout waits for the first message, then returns
        if (receiver.Dispatched != before)
            break;
    }
    return receiver.Dispatched - before;
}
