#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstddef>

// The sending side's nesting count. Window procedures may send while a send of theirs is waiting for its
// answer, so sends nest on one stack; a SendScope counts one send for as long as it lives.
class SendScope {
public:
    explicit SendScope(int& Depth) : depth_(Depth) { ++depth_; }
    ~SendScope() { --depth_; }
    SendScope(const SendScope&) = delete;
    SendScope& operator=(const SendScope&) = delete;

private:
    int& depth_;
};

// How many SendCopyData calls of this process are running now, one inside the other.
int LinkSendDepth();

// Whether a wait may hand incoming messages to window procedures now: not once the deadline of the innermost
// send has passed. What arrives then stays queued for the next dispatch, where its procedure's sends have time.
bool LinkDispatchOpen();

// One entry of this process's stack of link calls: a send waiting for its answer, or a message being handled
// by a window procedure (from inside such a wait or from the event loop).
struct LinkCall {
    enum class Kind { Send, Dispatch };
    Kind What = Kind::Send;
    pid_t Peer = 0;  // the process a send goes to, or the one a message came from; 0 while not known
    // of a send: when the chain of sends it is nested in ends (a send begun late waits a little longer)
    std::chrono::steady_clock::time_point Deadline{};
};

// Keeps one entry on the stack for as long as it lives.
class LinkCallScope {
public:
    explicit LinkCallScope(const LinkCall& Call);
    ~LinkCallScope();
    LinkCallScope(const LinkCallScope&) = delete;
    LinkCallScope& operator=(const LinkCallScope&) = delete;

    void SetPeer(pid_t Peer);

private:
    size_t index_;
};
