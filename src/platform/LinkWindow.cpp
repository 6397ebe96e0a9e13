#include "platform/LinkWindow.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <variant>
#include <vector>

#include "platform/AnsiText.h"
#include "platform/LinkTransport.h"

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

struct LinkWindow::State {
    uint32_t Handle = 0;
    std::string ClassName;
    std::string Title;
    LinkWindowProc Proc;
    int ListenFd = -1;
    int InfoFd = -1;
    std::string SocketPath;
    std::string InfoPath;
    bool Closed = false;
    QPointer<QSocketNotifier> Notifier;
};

namespace {

using WindowState = LinkWindow::State;

// Connections waiting for their frame, per window; beyond this, the oldest overdue ones are dropped first.
constexpr size_t MaxConnectionsPerWindow = 16;
// Sends nested in window procedures beyond this depth no longer dispatch incoming messages, so a peer
// cannot drive the stack deeper and deeper.
constexpr int MaxDispatchDepth = 16;
// An entry that is not locked and not yet complete may be a window being created right now.
constexpr auto EntryCreationGrace = std::chrono::seconds(5);
constexpr size_t MaxEntrySize = 2 * LinkMaxNameLength + 256;

struct Connection {
    int Fd = -1;
    std::weak_ptr<WindowState> Window;
    LinkFrameReader Reader;
    Clock::time_point Started;
    bool Dispatching = false;
    bool Closed = false;
    QPointer<QSocketNotifier> Notifier;
};

// Window class names and titles are looked up without regard to letter case, as window systems do: the
// host-link client lower-cases the suffix it was given before it looks for the host's window.
struct LessIgnoringCase {
    bool operator()(std::string_view A, std::string_view B) const { return LessIgnoringAsciiCase(A, B); }
};

struct Transport {
    std::vector<std::shared_ptr<WindowState>> Windows;
    std::vector<std::shared_ptr<Connection>> Connections;
    std::set<std::string, LessIgnoringCase> Classes;
    milliseconds AnswerTimeout{10000};
    int SendDepth = 0;
    int Dispatched = 0;
};

Transport& TheTransport()
{
    // never destroyed: windows may outlive static destruction order
    static Transport* transport = new Transport;
    return *transport;
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

void CloseConnection(const std::shared_ptr<Connection>& C)
{
    if (C->Closed)
        return;
    C->Closed = true;
    DropNotifier(C->Notifier);
    ::close(C->Fd);
    C->Fd = -1;
    auto& list = TheTransport().Connections;
    list.erase(std::remove(list.begin(), list.end(), C), list.end());
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
        ++TheTransport().Dispatched;
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
    (void)::send(C->Fd, ack.data(), ack.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    CloseConnection(C);
}

void ReadConnection(const std::shared_ptr<Connection>& C)
{
    if (C->Closed || C->Dispatching)
        return;
    // modest: procedures may nest sends, and each level passes through here
    char buffer[16 * 1024];
    for (;;) {
        const ssize_t n = ::recv(C->Fd, buffer, sizeof buffer, MSG_DONTWAIT);
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
    const auto limit = TheTransport().AnswerTimeout;
    const std::vector<std::shared_ptr<Connection>> connections = TheTransport().Connections;
    for (const auto& c : connections) {
        if (c->Dispatching || now - c->Started < limit)
            continue;
        if (Window != nullptr && c->Window.lock().get() != Window)
            continue;
        DropOverdue(c);
    }
}

size_t ConnectionsOf(const WindowState* Window)
{
    size_t count = 0;
    for (const auto& c : TheTransport().Connections)
        if (!c->Dispatching && c->Window.lock().get() == Window)
            ++count;
    return count;
}

// Lets the event loop read the connection as its bytes arrive and drop it when they stop coming.
void WatchFromEventLoop(const std::shared_ptr<Connection>& C)
{
    C->Notifier = new QSocketNotifier(C->Fd, QSocketNotifier::Read);
    std::weak_ptr<Connection> weak = C;
    QObject::connect(C->Notifier.data(), &QSocketNotifier::activated, [weak] {
        if (const std::shared_ptr<Connection> connection = weak.lock())
            ReadConnection(connection);
    });
    QTimer::singleShot(TheTransport().AnswerTimeout, C->Notifier.data(), [weak] {
        const std::shared_ptr<Connection> connection = weak.lock();
        if (connection && !connection->Dispatching && !connection->Closed)
            DropOverdue(connection);
    });
}

void Accept(const std::shared_ptr<WindowState>& Window)
{
    while (!Window->Closed) {
        const int fd = ::accept4(Window->ListenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        ucred peer{};
        socklen_t length = sizeof peer;
        if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0 || !LinkPeerAllowed(peer.uid, ::geteuid())) {
            qWarning("link window %s: a connection from user %u was refused", LinkHandleName(Window->Handle).c_str(),
                static_cast<unsigned>(peer.uid));
            ::close(fd);
            continue;
        }
        if (ConnectionsOf(Window.get()) >= MaxConnectionsPerWindow)
            ReapOverdueConnections(Window.get());
        if (ConnectionsOf(Window.get()) >= MaxConnectionsPerWindow) {
            qWarning("link window %s: too many unfinished messages; a connection was refused",
                LinkHandleName(Window->Handle).c_str());
            ::close(fd);
            continue;
        }
        auto c = std::make_shared<Connection>();
        c->Fd = fd;
        c->Window = Window;
        c->Started = Clock::now();
        if (CanUseNotifiers())
            WatchFromEventLoop(c);
        TheTransport().Connections.push_back(c);
        // the frame is usually there already
        ReadConnection(c);
    }
}

using PollTarget = std::variant<std::shared_ptr<WindowState>, std::shared_ptr<Connection>>;

// Adds the descriptors of this process's windows that may deliver messages now.
void CollectOwnDescriptors(std::vector<pollfd>& Fds, std::vector<PollTarget>& Targets)
{
    Transport& transport = TheTransport();
    if (transport.SendDepth > MaxDispatchDepth)
        return;
    for (const auto& w : transport.Windows) {
        if (w->Closed)
            continue;
        Fds.push_back(pollfd{w->ListenFd, POLLIN, 0});
        Targets.emplace_back(w);
    }
    for (const auto& c : transport.Connections) {
        if (c->Closed || c->Dispatching)
            continue;
        Fds.push_back(pollfd{c->Fd, POLLIN, 0});
        Targets.emplace_back(c);
    }
}

void ServiceReady(const std::vector<pollfd>& Fds, const std::vector<PollTarget>& Targets, size_t First)
{
    for (size_t i = First; i < Fds.size(); ++i) {
        if (Fds[i].revents == 0)
            continue;
        const PollTarget& target = Targets[i - First];
        if (const auto* window = std::get_if<std::shared_ptr<WindowState>>(&target))
            Accept(*window);
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

std::string EntryPath(const std::string& Directory, uint32_t Handle, const char* Extension)
{
    return Directory + "/" + LinkHandleName(Handle) + Extension;
}

bool FillSocketAddress(sockaddr_un& Address, const std::string& Path)
{
    Address = sockaddr_un{};
    Address.sun_family = AF_UNIX;
    if (Path.size() >= sizeof Address.sun_path) {
        errno = ENAMETOOLONG;
        return false;
    }
    std::memcpy(Address.sun_path, Path.c_str(), Path.size() + 1);
    return true;
}

// True when someone else holds the entry's lock, and when that cannot be told: a live window's entry
// must never be taken for a crashed one's.
bool HeldByOther(int Fd)
{
    for (;;) {
        if (::flock(Fd, LOCK_EX | LOCK_NB) == 0)
            return false;
        if (errno != EINTR)
            return true;
    }
}

enum class EntryState { Alive, Stale, Absent };

// Looks at one entry; an entry whose owner is gone is removed. Info receives the entry's content when it
// is complete.
EntryState ProbeEntry(const std::string& Directory, uint32_t Handle, std::optional<LinkEntryInfo>* Info)
{
    const std::string infoPath = EntryPath(Directory, Handle, ".info");
    const int fd = ::open(infoPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return EntryState::Absent;
    const bool locked = HeldByOther(fd);
    std::string content(MaxEntrySize, '\0');
    const ssize_t n = ::pread(fd, content.data(), content.size(), 0);
    content.resize(n > 0 ? static_cast<size_t>(n) : 0);
    std::optional<LinkEntryInfo> decoded = DecodeLinkEntryInfo(content);
    EntryState state = EntryState::Alive;
    if (!locked) {
        struct stat status { };
        const bool old = ::fstat(fd, &status) == 0 &&
            ::time(nullptr) - status.st_mtime > std::chrono::seconds(EntryCreationGrace).count();
        if (decoded || old) {
            // socket first: whoever claims this handle next binds a fresh one
            ::unlink(EntryPath(Directory, Handle, ".sock").c_str());
            ::unlink(infoPath.c_str());
            state = EntryState::Stale;
        } else {
            state = EntryState::Absent;
        }
    }
    ::close(fd);
    if (Info)
        *Info = state == EntryState::Alive ? std::move(decoded) : std::nullopt;
    return state;
}

// A complete entry's socket listens from before its content is written until its owner removes it, so a
// refused connection means the window is gone even while its entry still looks held (another scanner
// may be holding a stale entry's lock for a moment).
bool Listening(const std::string& Socket)
{
    sockaddr_un address{};
    if (!FillSocketAddress(address, Socket))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return true;
    // a full backlog is a busy window, not a gone one
    const bool listening = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ||
        errno == EAGAIN || errno == EINTR;
    ::close(fd);
    return listening;
}

uint32_t RandomHandle()
{
    uint32_t value = 0;
    while (value == 0) {
        if (::getrandom(&value, sizeof value, 0) != sizeof value)
            value = static_cast<uint32_t>(Clock::now().time_since_epoch().count()) ^ static_cast<uint32_t>(::getpid());
    }
    return value;
}

bool WriteAll(int Fd, const std::string& Bytes)
{
    size_t done = 0;
    while (done < Bytes.size()) {
        const ssize_t n = ::pwrite(Fd, Bytes.data() + done, Bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

void ReleaseWindowResources(WindowState& S)
{
    DropNotifier(S.Notifier);
    if (S.ListenFd >= 0) {
        ::close(S.ListenFd);
        ::unlink(S.SocketPath.c_str());
    }
    if (S.InfoFd >= 0) {
        ::unlink(S.InfoPath.c_str());
        ::close(S.InfoFd);
    }
    S.ListenFd = -1;
    S.InfoFd = -1;
}

bool LockWaiting(int Fd)
{
    for (;;) {
        if (::flock(Fd, LOCK_EX) == 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

// Claims a fresh handle: its entry file, created exclusively and locked for the window's lifetime (a
// scanner holds the lock only for a moment). An entry that cannot be locked would be taken for a crashed
// owner's, so it is given up.
bool ClaimEntry(const std::string& Directory, WindowState& S)
{
    for (int attempt = 0; attempt < 64; ++attempt) {
        const uint32_t handle = RandomHandle();
        const std::string infoPath = EntryPath(Directory, handle, ".info");
        const int fd = ::open(infoPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd >= 0 && LockWaiting(fd)) {
            S.Handle = handle;
            S.InfoFd = fd;
            S.InfoPath = infoPath;
            return true;
        }
        const int error = errno;
        qWarning("link: cannot create a window entry in %s: %s", Directory.c_str(), std::strerror(error));
        if (fd >= 0) {
            ::unlink(infoPath.c_str());
            ::close(fd);
        }
        errno = error;
        return false;
    }
    errno = EEXIST;
    return false;
}

}  // namespace

LinkWindow::LinkWindow(std::shared_ptr<State> S) : FState(std::move(S))
{
}

std::unique_ptr<LinkWindow> LinkWindow::Create(
    const std::string& ClassName, const std::string& Title, LinkWindowProc Proc)
{
    if (ClassName.size() > LinkMaxNameLength || Title.size() > LinkMaxNameLength) {
        qWarning("link: a window class or title longer than %zu bytes was refused", LinkMaxNameLength);
        errno = ENAMETOOLONG;
        return nullptr;
    }
    const std::optional<std::string> directory = LinkDirectory();
    if (!directory)
        return nullptr;

    auto state = std::make_shared<State>();
    state->ClassName = ClassName;
    state->Title = Title;
    state->Proc = std::move(Proc);
    if (!ClaimEntry(*directory, *state))
        return nullptr;

    const auto fail = [&state](const char* What) -> std::unique_ptr<LinkWindow> {
        const int error = errno;
        qWarning("link: %s failed for %s: %s", What, state->SocketPath.c_str(), std::strerror(error));
        ReleaseWindowResources(*state);
        errno = error;
        return nullptr;
    };
    state->SocketPath = EntryPath(*directory, state->Handle, ".sock");
    sockaddr_un address{};
    if (!FillSocketAddress(address, state->SocketPath))
        return fail("naming the socket");
    state->ListenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (state->ListenFd < 0)
        return fail("socket");
    // a socket of that name can only be a crashed owner's leftover: the entry file is ours
    ::unlink(state->SocketPath.c_str());
    if (::bind(state->ListenFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return fail("bind");
    if (::listen(state->ListenFd, SOMAXCONN) != 0)
        return fail("listen");
    if (!WriteAll(state->InfoFd, EncodeLinkEntryInfo(LinkEntryInfo{::getpid(), ClassName, Title})))
        return fail("writing the window entry");

    if (CanUseNotifiers()) {
        state->Notifier = new QSocketNotifier(state->ListenFd, QSocketNotifier::Read);
        std::weak_ptr<State> weak = state;
        QObject::connect(state->Notifier.data(), &QSocketNotifier::activated, [weak] {
            if (const std::shared_ptr<State> window = weak.lock())
                Accept(window);
        });
    }
    TheTransport().Windows.push_back(state);
    return std::unique_ptr<LinkWindow>(new LinkWindow(state));
}

LinkWindow::~LinkWindow()
{
    FState->Closed = true;
    ReleaseWindowResources(*FState);
    Transport& transport = TheTransport();
    const std::vector<std::shared_ptr<Connection>> connections = transport.Connections;
    for (const auto& c : connections)
        if (!c->Dispatching && c->Window.lock() == FState)
            CloseConnection(c);
    transport.Windows.erase(
        std::remove(transport.Windows.begin(), transport.Windows.end(), FState), transport.Windows.end());
}

uint32_t LinkWindow::Handle() const
{
    return FState->Handle;
}

const std::string& LinkWindow::ClassName() const
{
    return FState->ClassName;
}

const std::string& LinkWindow::Title() const
{
    return FState->Title;
}

bool RegisterLinkWindowClass(const std::string& ClassName)
{
    if (!TheTransport().Classes.insert(ClassName).second) {
        errno = EEXIST;
        return false;
    }
    return true;
}

bool UnregisterLinkWindowClass(const std::string& ClassName)
{
    if (TheTransport().Classes.erase(ClassName) == 0) {
        errno = ENOENT;
        return false;
    }
    return true;
}

uint32_t FindLinkWindow(const std::optional<std::string>& ClassName, const std::optional<std::string>& Title)
{
    const std::optional<std::string> directory = LinkDirectory();
    if (!directory)
        return 0;
    DIR* dir = ::opendir(directory->c_str());
    if (dir == nullptr)
        return 0;
    std::vector<uint32_t> handles;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name.size() != 13 || name.substr(8) != ".info")
            continue;
        if (const std::optional<uint32_t> handle = ParseLinkHandleName(name.substr(0, 8)))
            handles.push_back(*handle);
    }
    ::closedir(dir);
    std::sort(handles.begin(), handles.end());
    uint32_t found = 0;
    for (const uint32_t handle : handles) {
        std::optional<LinkEntryInfo> info;
        if (ProbeEntry(*directory, handle, &info) != EntryState::Alive || !info)
            continue;
        if ((ClassName && !EqualIgnoringAsciiCase(info->ClassName, *ClassName)) ||
            (Title && !EqualIgnoringAsciiCase(info->Title, *Title)))
            continue;
        // go on: the scan also clears the stale entries behind this one
        if (found == 0 && Listening(EntryPath(*directory, handle, ".sock")))
            found = handle;
    }
    return found;
}

bool IsLinkWindow(uint32_t Handle)
{
    if (Handle == 0)
        return false;
    const std::optional<std::string> directory = LinkDirectory();
    return directory && ProbeEntry(*directory, Handle, nullptr) == EntryState::Alive;
}

milliseconds LinkAnswerTimeout()
{
    return TheTransport().AnswerTimeout;
}

void SetLinkAnswerTimeout(milliseconds Timeout)
{
    TheTransport().AnswerTimeout = std::max(Timeout, milliseconds(0));
}

namespace {

// Polls the send socket (index 0) together with this process's windows until Deadline; returns the
// send socket's events, 0 on timeout, -1 (errno set) when polling itself fails.
int WaitWithOwnWindows(int Fd, short Events, Clock::time_point Deadline)
{
    for (;;) {
        std::vector<pollfd> fds{pollfd{Fd, Events, 0}};
        std::vector<PollTarget> targets;
        CollectOwnDescriptors(fds, targets);
        const int ready = ::poll(fds.data(), fds.size(), RemainingMs(Deadline));
        if (ready < 0 && errno != EINTR)
            return -1;
        if (ready > 0)
            ServiceReady(fds, targets, 1);
        if (ready > 0 && fds[0].revents != 0)
            return fds[0].revents;
        if (Clock::now() >= Deadline) {
            // the answer may have come while our own windows' procedures ran past the deadline
            pollfd last{Fd, Events, 0};
            return ::poll(&last, 1, 0) > 0 ? last.revents : 0;
        }
    }
}

struct DepthGuard {
    DepthGuard() { ++TheTransport().SendDepth; }
    ~DepthGuard() { --TheTransport().SendDepth; }
};

bool ConnectWithin(int Fd, const sockaddr_un& Address, Clock::time_point Deadline)
{
    for (;;) {
        if (::connect(Fd, reinterpret_cast<const sockaddr*>(&Address), sizeof Address) == 0)
            return true;
        // a full backlog: the receiver is busy, try again until the deadline
        if (errno != EAGAIN && errno != EINTR)
            return false;
        if (Clock::now() >= Deadline) {
            errno = ETIMEDOUT;
            return false;
        }
        if (WaitWithOwnWindows(-1, 0, std::min(Deadline, Clock::now() + milliseconds(5))) < 0)
            return false;
    }
}

bool PeerIsSameUser(int Fd, const std::string& Socket)
{
    ucred peer{};
    socklen_t length = sizeof peer;
    if (::getsockopt(Fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && LinkPeerAllowed(peer.uid, ::geteuid()))
        return true;
    qWarning("link: the window at %s belongs to another user; nothing was sent", Socket.c_str());
    errno = EACCES;
    return false;
}

// Writes what is left of the header and the data; false on a connection error.
bool WriteSome(int Fd, const std::array<char, LinkFrameHeaderSize>& Header, const std::string& Data, size_t& Written)
{
    iovec parts[2];
    int count = 0;
    if (Written < Header.size())
        parts[count++] = iovec{const_cast<char*>(Header.data()) + Written, Header.size() - Written};
    const size_t dataDone = Written > Header.size() ? Written - Header.size() : 0;
    if (dataDone < Data.size())
        parts[count++] = iovec{const_cast<char*>(Data.data()) + dataDone, Data.size() - dataDone};
    msghdr message{};
    message.msg_iov = parts;
    message.msg_iovlen = static_cast<size_t>(count);
    const ssize_t n = ::sendmsg(Fd, &message, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0)
        Written += static_cast<size_t>(n);
    return n >= 0 || errno == EAGAIN || errno == EINTR;
}

// Reads what is left of the acknowledgement; false on a connection error or its end.
bool ReadSome(int Fd, std::array<char, LinkAckSize>& Ack, size_t& Filled)
{
    const ssize_t n = ::recv(Fd, Ack.data() + Filled, Ack.size() - Filled, MSG_DONTWAIT);
    if (n == 0)
        errno = ECONNRESET;
    if (n > 0)
        Filled += static_cast<size_t>(n);
    return n > 0 || (n < 0 && (errno == EAGAIN || errno == EINTR));
}

bool SendFrame(int Fd, const std::string& Socket, uint32_t WParam, int32_t Tag, const std::string& Data,
    Clock::time_point Deadline)
{
    sockaddr_un address{};
    if (!FillSocketAddress(address, Socket) || !ConnectWithin(Fd, address, Deadline) || !PeerIsSameUser(Fd, Socket))
        return false;
    const auto header = EncodeLinkFrameHeader(LinkFrameHeader{WParam, Tag, static_cast<uint32_t>(Data.size())});
    const size_t total = header.size() + Data.size();
    size_t written = 0;
    std::array<char, LinkAckSize> ack{};
    size_t ackFill = 0;
    while (ackFill < ack.size()) {
        const bool writing = written < total;
        const int events = WaitWithOwnWindows(Fd, writing ? POLLOUT : POLLIN, Deadline);
        if (events < 0)
            return false;
        if (events == 0) {
            qWarning("link: no answer from %s within %lld ms", Socket.c_str(),
                static_cast<long long>(TheTransport().AnswerTimeout.count()));
            errno = ETIMEDOUT;
            return false;
        }
        if (!(writing ? WriteSome(Fd, header, Data, written) : ReadSome(Fd, ack, ackFill)))
            return false;
    }
    return DecodeLinkAck(std::string_view(ack.data(), ack.size())) == LinkAckStatus::Handled;
}

}  // namespace

bool SendCopyData(uint32_t Target, uint32_t WParam, int32_t Tag, const std::string& Data)
{
    if (Target == 0) {
        errno = ENOENT;
        return false;
    }
    if (Data.size() > LinkMaxDataSize) {
        qWarning("link: a message of %zu bytes is larger than the limit and was not sent", Data.size());
        errno = EMSGSIZE;
        return false;
    }
    const std::optional<std::string> directory = LinkDirectory();
    if (!directory)
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const auto deadline = Clock::now() + TheTransport().AnswerTimeout;
    DepthGuard depth;
    const bool delivered = SendFrame(fd, EntryPath(*directory, Target, ".sock"), WParam, Tag, Data, deadline);
    const int error = errno;
    ::close(fd);
    errno = error;
    return delivered;
}

int ProcessLinkMessages(milliseconds Timeout)
{
    Transport& transport = TheTransport();
    const int before = transport.Dispatched;
    const auto deadline = Clock::now() + Timeout;
    for (;;) {
        std::vector<pollfd> fds;
        std::vector<PollTarget> targets;
        CollectOwnDescriptors(fds, targets);
        const int ready = ::poll(fds.data(), fds.size(), RemainingMs(deadline));
        if (ready > 0)
            ServiceReady(fds, targets, 0);
        else
            ReapOverdueConnections(nullptr);
        if (Clock::now() >= deadline || (ready < 0 && errno != EINTR))
            break;
        // a positive timeout waits for the first message, then returns
        if (transport.Dispatched != before)
            break;
    }
    return transport.Dispatched - before;
}
