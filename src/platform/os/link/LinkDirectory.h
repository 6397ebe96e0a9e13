#pragma once

// The window directory's internals, shared by the link window, its receiver and the sender: entry paths,
// socket addresses and claiming a fresh handle. The public face (FindLinkWindow, IsLinkWindow, the class
// registry, LinkDirectory) is in LinkWindow.h.

#include <sys/un.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/os/UniqueFd.h"

// "<Directory>/<8 hex digits><Extension>", the socket (".sock") or entry file (".info") of a window.
std::string LinkEntryPath(const std::string& Directory, uint32_t Handle, const char* Extension);

// False when Path is too long for a socket address (the system would say ENAMETOOLONG).
[[nodiscard]] bool FillSocketAddress(sockaddr_un& Address, const std::string& Path);

// A fresh handle with its entry file, created exclusively and locked for the window's lifetime.
struct [[nodiscard]] LinkEntryClaim {
    uint32_t Handle = 0;  // 0 when none could be claimed; Error says why
    UniqueFd Fd;
    std::string Path;
    std::string Error;
};
LinkEntryClaim ClaimLinkEntry(const std::string& Directory);

// Writes the complete entry content at the start of the entry file; the system's text when it cannot.
[[nodiscard]] std::optional<std::string> WriteLinkEntry(int Fd, const std::string& Bytes);
