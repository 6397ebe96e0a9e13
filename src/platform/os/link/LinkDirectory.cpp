#include "platform/os/link/LinkDirectory.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <QtGlobal>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "platform/os/AnsiText.h"
#include "platform/os/LastError.h"
#include "platform/os/link/LinkTransport.h"
#include "platform/os/link/LinkWindow.h"

namespace {

// An entry that is not locked and not yet complete may be a window being created right now.
constexpr auto EntryCreationGrace = std::chrono::seconds(5);
constexpr size_t MaxEntrySize = 2 * LinkMaxNameLength + 256;

// Window class names and titles are looked up without regard to letter case, as window systems do: the
// host-link client lower-cases the suffix it was given before it looks for the host's window.
struct LessIgnoringCase {
    bool operator()(std::string_view A, std::string_view B) const { return LessIgnoringAsciiCase(A, B); }
};

std::set<std::string, LessIgnoringCase>& RegisteredClasses()
{
    // never destroyed, like the windows that may use them
    static auto* classes = new std::set<std::string, LessIgnoringCase>;
    return *classes;
}

std::nullopt_t RefuseLinkDirectory(const std::string& Text, std::string* Error)
{
    // every look-up asks again; the same refusal is said once
    static std::string lastSaid;
    if (Text != lastSaid) {
        lastSaid = Text;
        qWarning("%s", Text.c_str());
    }
    if (Error)
        *Error = Text;
    return std::nullopt;
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
    const std::string infoPath = LinkEntryPath(Directory, Handle, ".info");
    const UniqueFd fd(::open(infoPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (!fd)
        return EntryState::Absent;
    const bool locked = HeldByOther(fd.Get());
    std::string content(MaxEntrySize, '\0');
    const ssize_t n = ::pread(fd.Get(), content.data(), content.size(), 0);
    content.resize(n > 0 ? static_cast<size_t>(n) : 0);
    std::optional<LinkEntryInfo> decoded = DecodeLinkEntryInfo(content);
    EntryState state = EntryState::Alive;
    if (!locked) {
        struct stat status { };
        const bool old = ::fstat(fd.Get(), &status) == 0 &&
            ::time(nullptr) - status.st_mtime > std::chrono::seconds(EntryCreationGrace).count();
        if (decoded || old) {
            // socket first: whoever claims this handle next binds a fresh one
            ::unlink(LinkEntryPath(Directory, Handle, ".sock").c_str());
            ::unlink(infoPath.c_str());
            state = EntryState::Stale;
        } else {
            state = EntryState::Absent;
        }
    }
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
    const UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd)
        return true;
    // a full backlog is a busy window, not a gone one
    return ::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 || errno == EAGAIN ||
        errno == EINTR;
}

uint32_t RandomHandle()
{
    uint32_t value = 0;
    while (value == 0) {
        if (::getrandom(&value, sizeof value, 0) != sizeof value)
            value = static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                static_cast<uint32_t>(::getpid());
    }
    return value;
}

// 0 once the entry is locked, else the error number of the failed lock.
int LockWaiting(int Fd)
{
    for (;;) {
        if (::flock(Fd, LOCK_EX) == 0)
            return 0;
        if (errno != EINTR)
            return errno;
    }
}

std::vector<uint32_t> EntryHandles(const std::string& Directory)
{
    std::vector<uint32_t> handles;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(Directory.c_str()), &::closedir);
    if (!dir)
        return handles;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name.size() != 13 || name.substr(8) != ".info")
            continue;
        if (const std::optional<uint32_t> handle = ParseLinkHandleName(name.substr(0, 8)))
            handles.push_back(*handle);
    }
    std::sort(handles.begin(), handles.end());
    return handles;
}

}  // namespace

std::string LinkEntryPath(const std::string& Directory, uint32_t Handle, const char* Extension)
{
    return Directory + "/" + LinkHandleName(Handle) + Extension;
}

bool FillSocketAddress(sockaddr_un& Address, const std::string& Path)
{
    Address = sockaddr_un{};
    Address.sun_family = AF_UNIX;
    if (Path.size() >= sizeof Address.sun_path)
        return false;
    std::memcpy(Address.sun_path, Path.c_str(), Path.size() + 1);
    return true;
}

LinkEntryClaim ClaimLinkEntry(const std::string& Directory)
{
    LinkEntryClaim claim;
    for (int attempt = 0; attempt < 64; ++attempt) {
        const uint32_t handle = RandomHandle();
        std::string path = LinkEntryPath(Directory, handle, ".info");
        UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
        const int openError = fd ? 0 : errno;
        if (openError == EEXIST)
            continue;
        // an entry that cannot be locked would be taken for a crashed owner's, so it is given up
        const int error = fd ? LockWaiting(fd.Get()) : openError;
        if (error != 0) {
            claim.Error = "cannot create a window entry in " + Directory + ": " + GetErrorString(error);
            if (fd)
                ::unlink(path.c_str());
            return claim;
        }
        claim.Handle = handle;
        claim.Fd = std::move(fd);
        claim.Path = std::move(path);
        return claim;
    }
    claim.Error = "cannot create a window entry in " + Directory + ": " + GetErrorString(EEXIST);
    return claim;
}

std::optional<std::string> WriteLinkEntry(int Fd, const std::string& Bytes)
{
    size_t done = 0;
    while (done < Bytes.size()) {
        const ssize_t n = ::pwrite(Fd, Bytes.data() + done, Bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return GetErrorString(errno);
        if (n == 0)
            return "the entry file took no more bytes";
        done += static_cast<size_t>(n);
    }
    return std::nullopt;
}

std::optional<std::string> LinkDirectory(std::string* Error)
{
    const std::string path = LinkDirectoryPath();
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return RefuseLinkDirectory("cannot create the link directory " + path + ": " + GetErrorString(errno), Error);
    struct stat status { };
    // lstat: a symbolic link planted in its place is refused as "not a directory"
    if (::lstat(path.c_str(), &status) != 0)
        return RefuseLinkDirectory("cannot examine the link directory " + path + ": " + GetErrorString(errno), Error);
    const bool isDirectory = S_ISDIR(status.st_mode);
    if (std::optional<std::string> refusal =
            LinkDirectoryRefusal(path, isDirectory, status.st_uid, status.st_mode, geteuid()))
        return RefuseLinkDirectory(*refusal + "; refusing to use it", Error);
    return path;
}

LinkClassRegistration RegisterLinkWindowClass(const std::string& ClassName)
{
    using Status = LinkClassRegistration::Status;
    if (!RegisteredClasses().insert(ClassName).second)
        return LinkClassRegistration{Status::AlreadyRegistered, GetErrorString(EEXIST)};
    return LinkClassRegistration{Status::Registered, {}};
}

bool UnregisterLinkWindowClass(const std::string& ClassName)
{
    return RegisteredClasses().erase(ClassName) != 0;
}

uint32_t FindLinkWindow(const std::optional<std::string>& ClassName, const std::optional<std::string>& Title)
{
    const std::optional<std::string> directory = LinkDirectory();
    if (!directory)
        return 0;
    uint32_t found = 0;
    for (const uint32_t handle : EntryHandles(*directory)) {
        std::optional<LinkEntryInfo> info;
        if (ProbeEntry(*directory, handle, &info) != EntryState::Alive || !info)
            continue;
        if ((ClassName && !EqualIgnoringAsciiCase(info->ClassName, *ClassName)) ||
            (Title && !EqualIgnoringAsciiCase(info->Title, *Title)))
            continue;
        // go on: the scan also clears the stale entries behind this one
        if (found == 0 && Listening(LinkEntryPath(*directory, handle, ".sock")))
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
