#include "platform/os/link/LinkSender.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include "platform/os/LastError.h"
#include "platform/os/link/LinkDirectory.h"
#include "platform/os/link/LinkReceiver.h"
#include "platform/os/link/LinkTransport.h"
#include "platform/os/link/LinkWindow.h"
#include "platform/os/UniqueFd.h"

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

// The least time a send nested in another's wait gets, however late it begins: a procedure still running at the
// first send's deadline gets its reply out whole. Waits past that deadline dispatch nothing, so no send begins
// inside this time and it does not add up along the chain.
constexpr milliseconds NestedSendGrace{500};

struct Sender {
    milliseconds AnswerTimeout{10000};
    int Depth = 0;
    std::vector<LinkCall> Calls;
};

Sender& TheSender()
{
    // never destroyed, like the receiver: windows that outlive static destruction still ask for the limit
    static Sender* sender = new Sender;
    return *sender;
}

using Status = LinkSendResult::Status;

// A step of a send: nullopt when it went well, else the send's result.
using SendFailure = std::optional<LinkSendResult>;

LinkSendResult Undelivered(Status Outcome, std::string Error)
{
    return LinkSendResult{Outcome, std::move(Error)};
}

std::string LimitText()
{
    return std::to_string(TheSender().AnswerTimeout.count()) + " ms";
}

// The send socket's events once it is ready, 0 at the deadline.
struct SendWait {
    short Events = 0;
    int Error = 0;  // the error number when polling itself failed
};

// Polls the send socket together with this process's windows until Deadline.
SendWait WaitWithOwnWindows(int Fd, short Events, Clock::time_point Deadline)
{
    for (;;) {
        const OwnWindowsPoll result = PollWithOwnWindows(Fd, Events, Deadline);
        if (result.Ready < 0 && result.Error != EINTR)
            return SendWait{0, result.Error};
        if (result.Ready > 0 && result.Events != 0)
            return SendWait{result.Events, 0};
        if (Clock::now() >= Deadline) {
            // the answer may have come while our own windows' procedures ran past the deadline
            pollfd last{Fd, Events, 0};
            return SendWait{::poll(&last, 1, 0) > 0 ? last.revents : short(0), 0};
        }
    }
}

LinkSendResult WaitFailed(const std::string& Socket, int Error)
{
    return Undelivered(Status::Failed, "cannot wait for the window at " + Socket + ": " + GetErrorString(Error));
}

SendFailure ConnectWithin(int Fd, const std::string& Socket, Clock::time_point Deadline)
{
    sockaddr_un address{};
    if (!FillSocketAddress(address, Socket))
        return Undelivered(Status::Failed, "cannot name the socket " + Socket + ": " + GetErrorString(ENAMETOOLONG));
    for (;;) {
        if (::connect(Fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
            return std::nullopt;
        const int error = errno;
        // no socket file, or nobody listening on it: the window is gone
        if (error == ENOENT || error == ECONNREFUSED)
            return Undelivered(Status::NoSuchWindow, "no window listens at " + Socket + ": " + GetErrorString(error));
        // a full backlog: the receiver is busy, try again until the deadline
        if (error != EAGAIN && error != EINTR)
            return Undelivered(Status::Failed, "cannot connect to " + Socket + ": " + GetErrorString(error));
        if (Clock::now() >= Deadline)
            return Undelivered(
                Status::TimedOut, "the window at " + Socket + " accepted no connection within " + LimitText());
        const SendWait wait = WaitWithOwnWindows(-1, 0, std::min(Deadline, Clock::now() + milliseconds(5)));
        if (wait.Error != 0)
            return WaitFailed(Socket, wait.Error);
    }
}

SendFailure PeerIsSameUser(int Fd, const std::string& Socket, pid_t& Pid)
{
    ucred peer{};
    socklen_t length = sizeof peer;
    if (::getsockopt(Fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && LinkPeerAllowed(peer.uid, ::geteuid())) {
        Pid = peer.pid;
        return std::nullopt;
    }
    qWarning("link: the window at %s belongs to another user; nothing was sent", Socket.c_str());
    return Undelivered(Status::OtherUser, "the window at " + Socket + " belongs to another user; nothing was sent");
}

// A write or read that failed: the receiver broke the connection, or something else went wrong.
LinkSendResult TransferFailed(const char* What, const std::string& Socket, int Error)
{
    const bool lost = Error == EPIPE || Error == ECONNRESET;
    return Undelivered(lost ? Status::ConnectionLost : Status::Failed,
        std::string("cannot ") + What + " the window at " + Socket + ": " + GetErrorString(Error));
}

// Writes what is left of the header and the data.
SendFailure WriteSome(int Fd, const std::string& Socket, const std::array<char, LinkFrameHeaderSize>& Header,
    const std::string& Data, size_t& Written)
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
    if (n < 0 && errno != EAGAIN && errno != EINTR)
        return TransferFailed("write to", Socket, errno);
    if (n > 0)
        Written += static_cast<size_t>(n);
    return std::nullopt;
}

// Reads what is left of the acknowledgement.
SendFailure ReadSome(int Fd, const std::string& Socket, std::array<char, LinkAckSize>& Ack, size_t& Filled)
{
    const ssize_t n = ::recv(Fd, Ack.data() + Filled, Ack.size() - Filled, MSG_DONTWAIT);
    if (n == 0)
        return Undelivered(
            Status::ConnectionLost, "the window at " + Socket + " closed the connection before it answered");
    if (n < 0 && errno != EAGAIN && errno != EINTR)
        return TransferFailed("read the answer of", Socket, errno);
    if (n > 0)
        Filled += static_cast<size_t>(n);
    return std::nullopt;
}

LinkSendResult Acknowledged(const std::string& Socket, const std::array<char, LinkAckSize>& Ack)
{
    const std::optional<LinkAckStatus> status = DecodeLinkAck(std::string_view(Ack.data(), Ack.size()));
    if (!status)
        return Undelivered(
            Status::Failed, "the window at " + Socket + " answered with something other than an acknowledgement");
    if (*status != LinkAckStatus::Handled)
        return Undelivered(Status::Dropped, "the window at " + Socket + " dropped the message");
    return LinkSendResult{Status::Delivered, {}};
}

// One answer limit from now, but never later than a send this one is nested in: a chain of sends made while
// handling messages ends within the limit of its first send (each send waits at most NestedSendGrace past it).
Clock::time_point ChainDeadline()
{
    const Clock::time_point own = Clock::now() + TheSender().AnswerTimeout;
    const std::vector<LinkCall>& calls = TheSender().Calls;
    for (auto it = calls.rbegin(); it != calls.rend(); ++it)
        if (it->What == LinkCall::Kind::Send)
            return std::min(own, it->Deadline);
    return own;
}

// When a send whose chain ends at Chain stops waiting.
Clock::time_point WaitDeadline(Clock::time_point Chain)
{
    return std::max(Chain, Clock::now() + std::min(NestedSendGrace, TheSender().AnswerTimeout));
}

// True when a send further out is still waiting for Target's answer and Target has sent us nothing since:
// the peer is busy or hung, cannot answer this send before that one, and waiting would only nest deeper.
// A peer that sends to us while we wait for it is alive and handles our nested sends in its own wait.
bool AwaitingSilentPeer(pid_t Target)
{
    if (Target == 0 || Target == ::getpid())
        return false;
    const std::vector<LinkCall>& calls = TheSender().Calls;
    // the innermost entry is this send itself
    for (size_t i = calls.size() - 1; i-- > 0;) {
        if (calls[i].Peer != Target)
            continue;
        return calls[i].What == LinkCall::Kind::Send;
    }
    return false;
}

LinkSendResult SendFrame(int Fd, const std::string& Socket, uint32_t WParam, int32_t Tag, const std::string& Data,
    Clock::time_point Deadline, LinkCallScope& Call)
{
    if (SendFailure failure = ConnectWithin(Fd, Socket, Deadline))
        return std::move(*failure);
    pid_t target = 0;
    if (SendFailure failure = PeerIsSameUser(Fd, Socket, target))
        return std::move(*failure);
    if (AwaitingSilentPeer(target)) {
        qWarning("link: %s has not answered an earlier message yet; nothing was sent", Socket.c_str());
        return Undelivered(Status::TimedOut,
            "no answer from " + Socket + ": it has not answered an earlier message yet; nothing was sent");
    }
    Call.SetPeer(target);
    const auto header = EncodeLinkFrameHeader(LinkFrameHeader{WParam, Tag, static_cast<uint32_t>(Data.size())});
    const size_t total = header.size() + Data.size();
    size_t written = 0;
    std::array<char, LinkAckSize> ack{};
    size_t ackFill = 0;
    while (ackFill < ack.size()) {
        const bool writing = written < total;
        const SendWait wait = WaitWithOwnWindows(Fd, writing ? POLLOUT : POLLIN, Deadline);
        if (wait.Error != 0)
            return WaitFailed(Socket, wait.Error);
        if (wait.Events == 0) {
            qWarning("link: no answer from %s within %lld ms", Socket.c_str(),
                static_cast<long long>(TheSender().AnswerTimeout.count()));
            return Undelivered(Status::TimedOut, "no answer from " + Socket + " within " + LimitText());
        }
        SendFailure failure =
            writing ? WriteSome(Fd, Socket, header, Data, written) : ReadSome(Fd, Socket, ack, ackFill);
        if (failure)
            return std::move(*failure);
    }
    return Acknowledged(Socket, ack);
}

}  // namespace

int LinkSendDepth()
{
    return TheSender().Depth;
}

bool LinkDispatchOpen()
{
    const std::vector<LinkCall>& calls = TheSender().Calls;
    for (auto it = calls.rbegin(); it != calls.rend(); ++it)
        if (it->What == LinkCall::Kind::Send)
            return Clock::now() < it->Deadline;
    return true;
}

LinkCallScope::LinkCallScope(const LinkCall& Call) : index_(TheSender().Calls.size())
{
    TheSender().Calls.push_back(Call);
}

LinkCallScope::~LinkCallScope()
{
    TheSender().Calls.resize(index_);
}

void LinkCallScope::SetPeer(pid_t Peer)
{
    TheSender().Calls[index_].Peer = Peer;
}

milliseconds LinkAnswerTimeout()
{
    return TheSender().AnswerTimeout;
}

void SetLinkAnswerTimeout(milliseconds Timeout)
{
    TheSender().AnswerTimeout = std::max(Timeout, milliseconds(0));
}

LinkSendResult SendCopyData(uint32_t Target, uint32_t WParam, int32_t Tag, const std::string& Data)
{
    if (Target == 0)
        return Undelivered(Status::NoSuchWindow, "no window to send to (handle 0)");
    if (Data.size() > LinkMaxDataSize) {
        qWarning("link: a message of %zu bytes is larger than the limit and was not sent", Data.size());
        return Undelivered(Status::TooLarge,
            "a message of " + std::to_string(Data.size()) + " bytes is larger than the limit of " +
                std::to_string(LinkMaxDataSize) + " bytes; nothing was sent");
    }
    std::string error;
    const std::optional<std::string> directory = LinkDirectory(&error);
    if (!directory)
        return Undelivered(Status::Failed, std::move(error));
    const UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd)
        return Undelivered(Status::Failed, "cannot create a socket: " + GetErrorString(errno));
    const SendScope scope(TheSender().Depth);
    const Clock::time_point chain = ChainDeadline();
    LinkCallScope call(LinkCall{LinkCall::Kind::Send, 0, chain});
    return SendFrame(
        fd.Get(), LinkEntryPath(*directory, Target, ".sock"), WParam, Tag, Data, WaitDeadline(chain), call);
}
