#pragma once

#include <cstdint>
#include <memory>
#include <string>

// A named mutex shared by the processes of one user: an exclusive open-file-description lock on the file
// "mutex-<name>.lock" in the link directory. The kernel releases it when the holding process ends, however
// it ends.
class NamedMutex {
public:
    // Creates the mutex owned by this object. nullptr when another owner holds it (errno EWOULDBLOCK; this
    // process's own earlier NamedMutex of the same name counts as another owner) or when the lock file
    // cannot be used (errno says why).
    static std::unique_ptr<NamedMutex> TryAcquire(const std::string& Name);

    // True when some owner holds the mutex of that name right now ("it already exists").
    static bool Exists(const std::string& Name);

    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // A non-zero value identifying this mutex within the process.
    uint32_t Handle() const { return FHandle; }
    const std::string& Name() const { return FName; }

private:
    NamedMutex(int Fd, uint32_t Handle, std::string Name);
    int FFd;
    uint32_t FHandle;
    std::string FName;
};

// The lock file name for a mutex name: characters other than letters, digits, '_', '-' and '.' are written
// as %XX, so no name can leave the directory.
std::string NamedMutexFileName(const std::string& Name);
