#pragma once

#include <unistd.h>

#include <utility>

// Owns one file descriptor and closes it exactly once: in the destructor, on Reset, or when another one is
// moved over it. -1 means "none".
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int Fd) : fd_(Fd) { }
    UniqueFd(UniqueFd&& Other) noexcept : fd_(Other.Release()) { }
    UniqueFd& operator=(UniqueFd&& Other) noexcept
    {
        if (this != &Other)
            Reset(Other.Release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { Reset(); }

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    explicit operator bool() const { return Valid(); }

    // Gives the descriptor up without closing it.
    int Release() { return std::exchange(fd_, -1); }

    // Closes the descriptor held (if any) and takes Fd instead.
    void Reset(int Fd = -1)
    {
        const int old = std::exchange(fd_, Fd);
        // not retried on EINTR: on Linux the descriptor is gone whatever close returns
        if (old >= 0)
            ::close(old);
    }

private:
    int fd_ = -1;
};
