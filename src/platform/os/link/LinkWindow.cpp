#include "platform/os/link/LinkWindow.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QtGlobal>

#include <cerrno>

#include "platform/os/LastError.h"
#include "platform/os/link/LinkDirectory.h"
#include "platform/os/link/LinkReceiver.h"
#include "platform/os/link/LinkTransport.h"

namespace {

// Closes the window's socket and entry file and removes both names.
void ReleaseWindowFiles(LinkWindow::State& S)
{
    if (S.ListenFd) {
        S.ListenFd.Reset();
        ::unlink(S.SocketPath.c_str());
    }
    if (S.InfoFd) {
        ::unlink(S.InfoPath.c_str());
        S.InfoFd.Reset();
    }
}

LinkWindowCreation Refused(LinkWindowCreation::Status Outcome, std::string Error)
{
    qWarning("link: %s", Error.c_str());
    return LinkWindowCreation{Outcome, nullptr, std::move(Error)};
}

// Binds and opens the listening socket of a window whose entry is claimed, then writes the entry; the
// error text when any step fails.
std::optional<std::string> OpenWindowSocket(LinkWindow::State& S)
{
    const auto failed = [&S](const char* What, const std::string& Reason) {
        return std::string(What) + " failed for " + S.SocketPath + ": " + Reason;
    };
    sockaddr_un address{};
    if (!FillSocketAddress(address, S.SocketPath))
        return failed("naming the socket", GetErrorString(ENAMETOOLONG));
    S.ListenFd.Reset(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!S.ListenFd)
        return failed("socket", GetErrorString(errno));
    // a socket of that name can only be a crashed owner's leftover: the entry file is ours
    ::unlink(S.SocketPath.c_str());
    if (::bind(S.ListenFd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return failed("bind", GetErrorString(errno));
    if (::listen(S.ListenFd.Get(), SOMAXCONN) != 0)
        return failed("listen", GetErrorString(errno));
    const std::string entry = EncodeLinkEntryInfo(LinkEntryInfo{::getpid(), S.ClassName, S.Title});
    if (std::optional<std::string> reason = WriteLinkEntry(S.InfoFd.Get(), entry))
        return failed("writing the window entry", *reason);
    return std::nullopt;
}

}  // namespace

LinkWindow::LinkWindow(std::shared_ptr<State> S) : state_(std::move(S))
{
}

LinkWindowCreation LinkWindow::Create(const std::string& ClassName, const std::string& Title, LinkWindowProc Proc)
{
    if (ClassName.size() > LinkMaxNameLength || Title.size() > LinkMaxNameLength)
        return Refused(LinkWindowCreation::Status::NameTooLong,
            "a window class or title longer than " + std::to_string(LinkMaxNameLength) + " bytes was refused");
    std::string error;
    const std::optional<std::string> directory = LinkDirectory(&error);
    if (!directory)
        return LinkWindowCreation{LinkWindowCreation::Status::Unusable, nullptr, std::move(error)};
    LinkEntryClaim claim = ClaimLinkEntry(*directory);
    if (claim.Handle == 0)
        return Refused(LinkWindowCreation::Status::Unusable, std::move(claim.Error));

    auto state = std::make_shared<State>();
    state->Handle = claim.Handle;
    state->ClassName = ClassName;
    state->Title = Title;
    state->Proc = std::move(Proc);
    state->InfoFd = std::move(claim.Fd);
    state->InfoPath = std::move(claim.Path);
    state->SocketPath = LinkEntryPath(*directory, state->Handle, ".sock");
    if (std::optional<std::string> failure = OpenWindowSocket(*state)) {
        ReleaseWindowFiles(*state);
        return Refused(LinkWindowCreation::Status::Unusable, std::move(*failure));
    }
    StartReceiving(state);
    return LinkWindowCreation{
        LinkWindowCreation::Status::Created, std::unique_ptr<LinkWindow>(new LinkWindow(state)), {}};
}

LinkWindow::~LinkWindow()
{
    state_->Closed = true;
    StopReceiving(state_);
    ReleaseWindowFiles(*state_);
}

uint32_t LinkWindow::Handle() const
{
    return state_->Handle;
}

const std::string& LinkWindow::ClassName() const
{
    return state_->ClassName;
}

const std::string& LinkWindow::Title() const
{
    return state_->Title;
}
