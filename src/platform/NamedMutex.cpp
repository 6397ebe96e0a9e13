#include "platform/NamedMutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/LinkWindow.h"

namespace {

int OpenLockFile(const std::string& Name)
{
    const std::optional<std::string> directory = LinkDirectory();
    if (!directory)
        return -1;
    const std::string path = *directory + "/" + NamedMutexFileName(Name);
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
}

bool LockNow(int Fd)
{
    for (;;) {
        if (::flock(Fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

} // namespace

std::string NamedMutexFileName(const std::string& Name)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string file = "mutex-";
    for (const char c : Name) {
        const auto u = static_cast<unsigned char>(c);
        const bool plain = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_'
                           || u == '-' || u == '.';
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
    const int fd = OpenLockFile(Name);
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
    const int fd = OpenLockFile(Name);
    if (fd < 0)
        return false;
    const bool held = !LockNow(fd) && errno == EWOULDBLOCK;
    // closing drops the probe's own lock, if it got one
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
