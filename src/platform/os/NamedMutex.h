#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/os/UniqueFd.h"

struct NamedMutexAcquisition;

// A named mutex shared by the processes of one user: an exclusive open-file-description lock on the file
// "mutex-<name>.lock" in the link directory. The kernel releases it when the holding process ends, however
// it ends.
class NamedMutex {
public:
    // Creates the mutex owned by this object, or says why not: another owner holds it (this process's own
    // earlier NamedMutex of the same name counts as another owner), or the lock file cannot be used.
    static NamedMutexAcquisition TryAcquire(const std::string& Name);

    // True when some owner holds the mutex of that name right now ("it already exists").
    static bool Exists(const std::string& Name);

    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // A non-zero value identifying this mutex within the process.
    uint32_t Handle() const { return handle_; }
    const std::string& Name() const { return name_; }

private:
    NamedMutex(UniqueFd Fd, uint32_t Handle, std::string Name);
    // the lock file stays when the mutex goes: removing it could let two owners lock different files of
    // the same name
    UniqueFd fd_;
    uint32_t handle_;
    std::string name_;
};

struct [[nodiscard]] NamedMutexAcquisition {
    enum class Status {
        Acquired,
        HeldByAnother,
        Unusable,  // the link directory or the lock file cannot be used
    };
    Status Outcome = Status::Unusable;
    std::unique_ptr<NamedMutex> Mutex;  // set when Acquired
    std::string Error;                  // why not, with the system's text
};

// The lock file name for a mutex name: characters other than letters, digits, '_', '-' and '.' are written
// as %XX, so no name can leave the directory.
std::string NamedMutexFileName(const std::string& Name);
