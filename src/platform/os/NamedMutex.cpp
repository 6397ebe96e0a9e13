#include "platform/os/NamedMutex.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/os/LastError.h"
#include "platform/os/link/LinkWindow.h"

namespace {

std::optional<std::string> LockFilePath(const std::string& Name, std::string* Error)
{
    const std::optional<std::string> directory = LinkDirectory(Error);
    if (!directory)
        return std::nullopt;
    return *directory + "/" + NamedMutexFileName(Name);
}

struct flock WholeFile(short Type)
{
    struct flock lock { };
    lock.l_type = Type;
    lock.l_whence = SEEK_SET;
    return lock;
}

struct [[nodiscard]] LockResult {
    enum class Status { Locked, Held, Failed } Outcome;
    std::string Error;  // the system's text when Failed
};

// An open-file-description lock: like flock, it belongs to this open file (so a second open in the same
// process conflicts with it) and the kernel drops it when the holder ends; unlike flock, it can be tested
// without being taken, so asking whether the mutex exists never makes an owner fail.
LockResult LockNow(int Fd)
{
    struct flock lock = WholeFile(F_WRLCK);
    for (;;) {
        if (::fcntl(Fd, F_OFD_SETLK, &lock) == 0)
            return {LockResult::Status::Locked, {}};
        if (errno == EACCES || errno == EAGAIN)
            return {LockResult::Status::Held, {}};
        if (errno != EINTR)
            return {LockResult::Status::Failed, GetErrorString(errno)};
    }
}

NamedMutexAcquisition NotAcquired(NamedMutexAcquisition::Status Outcome, std::string Error)
{
    return NamedMutexAcquisition{Outcome, nullptr, std::move(Error)};
}

}  // namespace

std::string NamedMutexFileName(const std::string& Name)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string file = "mutex-";
    for (const char c : Name) {
        const auto u = static_cast<unsigned char>(c);
        const bool plain = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' ||
            u == '-' || u == '.';
        if (plain) {
            file += c;
        } else {
            file += '%';
            file += digits[u >> 4];
            file += digits[u & 0xF];
        }
    }
    return file + ".lock";
}

NamedMutexAcquisition NamedMutex::TryAcquire(const std::string& Name)
{
    using Status = NamedMutexAcquisition::Status;
    std::string error;
    const std::optional<std::string> path = LockFilePath(Name, &error);
    if (!path)
        return NotAcquired(Status::Unusable, std::move(error));
    UniqueFd fd(::open(path->c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd)
        return NotAcquired(Status::Unusable, "cannot open the lock file " + *path + ": " + GetErrorString(errno));
    const LockResult lock = LockNow(fd.Get());
    switch (lock.Outcome) {
    case LockResult::Status::Held:
        return NotAcquired(Status::HeldByAnother, "the mutex " + Name + " is held by another owner");
    case LockResult::Status::Failed:
        return NotAcquired(Status::Unusable, "cannot lock the lock file " + *path + ": " + lock.Error);
    case LockResult::Status::Locked: break;
    }
    static uint32_t serial = 0;
    return NamedMutexAcquisition{
        Status::Acquired, std::unique_ptr<NamedMutex>(new NamedMutex(std::move(fd), ++serial, Name)), {}};
}

bool NamedMutex::Exists(const std::string& Name)
{
    const std::optional<std::string> path = LockFilePath(Name, nullptr);
    if (!path)
        return false;
    const UniqueFd fd(::open(path->c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (!fd)
        return false;
    struct flock lock = WholeFile(F_WRLCK);
    return ::fcntl(fd.Get(), F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
}

NamedMutex::NamedMutex(UniqueFd Fd, uint32_t Handle, std::string Name)
    : fd_(std::move(Fd)), handle_(Handle), name_(std::move(Name))
{
}
