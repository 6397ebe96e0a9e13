#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/os/UniqueFd.h"

// Helpers for the link transport's tests: a private link directory per test, and helper processes (the
// program link_test_helper beside this test, LinkTestHelper.cpp).

// Points XDG_RUNTIME_DIR at a fresh temporary directory for its lifetime and removes it afterwards.
class PrivateRuntimeDir {
public:
    PrivateRuntimeDir();
    ~PrivateRuntimeDir();
    PrivateRuntimeDir(const PrivateRuntimeDir&) = delete;
    PrivateRuntimeDir& operator=(const PrivateRuntimeDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string LinkDir() const { return path_ + "/sewella-link"; }

private:
    std::string path_;
    std::optional<std::string> saved_;
};

// One helper process; killed and reaped when the object goes, whatever happened.
class HelperProcess {
public:
    // Modes: "echo <title>" answers every message by sending one back to its sender (tag + 1000, same data)
    // during the send and quits on tag 99, destroying its window inside its procedure; "hang <title>" never
    // returns from its procedure; "idle <title>" has a window and waits to be killed; "starved <title>" has a
    // window whose procedure does nothing, under an open-file limit of 64 filled but for 4 descriptors, and serves
    // it from the event loop, "starved-polling <title>" the same from ProcessLinkMessages; "lock <name>" holds a
    // named mutex; "probe <name>" keeps asking whether that mutex exists; "send <hex handle> <tag>" sends one message
    // and exits 0 when it was delivered; "ask <hex handle>" prints "asking", sends "question" with tag 7 and its own
    // window's handle, then prints "answer <size>" for a message that reached its window during the send (else "no
    // answer") and exits 0 when the question was delivered. Helpers with a window print "ready <hex handle>", "lock"
    // prints "ready" or "busy".
    HelperProcess(const std::string& Mode, const std::string& Argument);
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    pid_t Pid() const { return pid_; }
    // The next line of the helper's output, without its newline; nullopt on timeout or end of output.
    std::optional<std::string> ReadLine(std::chrono::milliseconds Timeout);
    // The exit status (or 128 + signal), or nullopt if it has not ended within Timeout.
    std::optional<int> Wait(std::chrono::milliseconds Timeout);
    void Kill();

private:
    pid_t pid_ = 0;
    UniqueFd output_;
    std::string buffer_;
    bool reaped_ = false;
};

// The handle printed in a helper's "ready <hex>" line; 0 when the line is not one.
uint32_t ReadyHandle(const std::optional<std::string>& Line);
