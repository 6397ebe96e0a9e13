#pragma once

// The window directory's internals, shared by the link window, its receiver and the sender: entry paths,
// socket addresses and claiming a fresh handle. The public face (FindLinkWindow, IsLinkWindow, the class
// registry, LinkDirectory) is in LinkWindow.h.

#include <sys/un.h>

#include <cstdint>
#include <string>

#include "platform/UniqueFd.h"

// "<Directory>/<8 hex digits><Extension>", the socket (".sock") or entry file (".info") of a window.
std::string LinkEntryPath(const std::string& Directory, uint32_t Handle, const char* Extension);

// False (errno ENAMETOOLONG, so a failed send can be described) when Path does not fit a socket address.
bool FillSocketAddress(sockaddr_un& Address, const std::string& Path);

// A fresh handle with its entry file, created exclusively and locked for the window's lifetime.
struct LinkEntryClaim {
    uint32_t Handle = 0;  // 0 when none could be claimed; Error says why
    UniqueFd Fd;
    std::string Path;
    std::string Error;
};
LinkEntryClaim ClaimLinkEntry(const std::string& Directory);

// Writes the complete entry content at the start of the entry file; false with errno on failure.
bool WriteLinkEntry(int Fd, const std::string& Bytes);
