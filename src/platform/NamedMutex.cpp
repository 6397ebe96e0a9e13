#include "platform/NamedMutex.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/LinkWindow.h"

namespace {

std::optional<std::string> LockFilePath(const std::string& Name)
{
    const std::optional<std::string> directory = LinkDirectory();
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

// An open-file-description lock: like flock, it belongs to this open file (so a second open in the same
// process conflicts with it) and the kernel drops it when the holder ends; unlike flock, it can be tested
// without being taken, so asking whether the mutex exists never makes an owner fail.
bool LockNow(int Fd)
{
    struct flock lock = WholeFile(F_WRLCK);
    for (;;) {
        if (::fcntl(Fd, F_OFD_SETLK, &lock) == 0)
            return true;
        if (errno == EACCES || errno == EAGAIN) {
            errno = EWOULDBLOCK;
            return false;
        }
        if (errno != EINTR)
            return false;
    }
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

std::unique_ptr<NamedMutex> NamedMutex::TryAcquire(const std::string& Name)
{
    const std::optional<std::string> path = LockFilePath(Name);
    if (!path)
        return nullptr;
    const int fd = ::open(path->c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return nullptr;
    if (!LockNow(fd)) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return nullptr;
    }
    static uint32_t serial = 0;
    return std::unique_ptr<NamedMutex>(new NamedMutex(fd, ++serial, Name));
}

bool NamedMutex::Exists(const std::string& Name)
{
    const std::optional<std::string> path = LockFilePath(Name);
    if (!path)
        return false;
    const int fd = ::open(path->c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct flock lock = WholeFile(F_WRLCK);
    const bool held = ::fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

NamedMutex::NamedMutex(int Fd, uint32_t Handle, std::string Name) : FFd(Fd), FHandle(Handle), FName(std::move(Name))
{
}

NamedMutex::~NamedMutex()
{
    // the lock file stays: removing it could let two owners lock different files of the same name
    ::close(FFd);
}
