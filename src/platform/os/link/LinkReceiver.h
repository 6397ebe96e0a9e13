#pragma once

// The receiving side of link windows: the listening sockets of this process's windows, the connections
// waiting for their frame, reading, dispatch to the window procedure and the acknowledgement.

#include <QPointer>
#include <QSocketNotifier>

#include <chrono>
#include <memory>
#include <string>

#include "platform/os/link/LinkWindow.h"
#include "platform/os/UniqueFd.h"

struct LinkWindow::State {
    uint32_t Handle = 0;
    std::string ClassName;
    std::string Title;
    LinkWindowProc Proc;
    UniqueFd ListenFd;
    UniqueFd InfoFd;
    std::string SocketPath;
    std::string InfoPath;
    bool Closed = false;
    QPointer<QSocketNotifier> Notifier;
    // While the process is out of descriptors the listening socket is left alone until then, or until one of our
    // connections closes: a connection accept cannot take keeps the socket readable.
    std::chrono::steady_clock::time_point AcceptPausedUntil{};
    bool WarnedOutOfDescriptors = false;  // until the backlog has been emptied
};

// Serves a window whose socket listens: from the event loop when there is one on this thread, and from
// every wait of this process's sends and of ProcessLinkMessages.
void StartReceiving(const std::shared_ptr<LinkWindow::State>& Window);

// Stops serving it; its connections not yet dispatched are closed unanswered.
void StopReceiving(const std::shared_ptr<LinkWindow::State>& Window);

// Polls Fd for Events (Fd -1: nothing) together with this process's windows until Deadline at the latest,
// serving the windows that are ready. Returns poll's count (-1 when polling failed, with the error number),
// and Fd's events.
struct OwnWindowsPoll {
    int Ready = 0;
    short Events = 0;
    int Error = 0;
};
OwnWindowsPoll PollWithOwnWindows(int Fd, short Events, std::chrono::steady_clock::time_point Deadline);
