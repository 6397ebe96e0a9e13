#include "platform/LinkSender.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cerrno>

#include "platform/LinkDirectory.h"
#include "platform/LinkReceiver.h"
#include "platform/LinkTransport.h"
#include "platform/LinkWindow.h"
#include "platform/UniqueFd.h"

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

struct Sender {
    milliseconds AnswerTimeout{10000};
    int Depth = 0;
};

Sender& TheSender()
{
    // never destroyed, like the receiver: windows that outlive static destruction still ask for the limit
    static Sender* sender = new Sender;
    return *sender;
}

// Polls the send socket together with this process's windows until Deadline; returns the send socket's
// events, 0 on timeout, -1 (errno set) when polling itself fails.
int WaitWithOwnWindows(int Fd, short Events, Clock::time_point Deadline)
{
    for (;;) {
        const OwnWindowsPoll result = PollWithOwnWindows(Fd, Events, Deadline);
        if (result.Ready < 0 && result.Error != EINTR)
            return -1;
        if (result.Ready > 0 && result.Events != 0)
            return result.Events;
        if (Clock::now() >= Deadline) {
            // the answer may have come while our own windows' procedures ran past the deadline
            pollfd last{Fd, Events, 0};
            return ::poll(&last, 1, 0) > 0 ? last.revents : 0;
        }
    }
}

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
                static_cast<long long>(TheSender().AnswerTimeout.count()));
            errno = ETIMEDOUT;
            return false;
        }
        if (!(writing ? WriteSome(Fd, header, Data, written) : ReadSome(Fd, ack, ackFill)))
            return false;
    }
    return DecodeLinkAck(std::string_view(ack.data(), ack.size())) == LinkAckStatus::Handled;
}

}  // namespace

int LinkSendDepth()
{
    return TheSender().Depth;
}

milliseconds LinkAnswerTimeout()
{
    return TheSender().AnswerTimeout;
}

void SetLinkAnswerTimeout(milliseconds Timeout)
{
    TheSender().AnswerTimeout = std::max(Timeout, milliseconds(0));
}

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
    const UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd)
        return false;
    const auto deadline = Clock::now() + TheSender().AnswerTimeout;
    const SendScope scope(TheSender().Depth);
    return SendFrame(fd.Get(), LinkEntryPath(*directory, Target, ".sock"), WParam, Tag, Data, deadline);
}
