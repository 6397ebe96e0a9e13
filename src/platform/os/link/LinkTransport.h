#pragma once

// The wire format of link windows and the link directory's layout, defined once for both ends.
//
// One connection carries one message. The sender writes a frame:
//   offset 0  uint32  LinkFrameMagic
//   offset 4  uint32  wParam (the sender's window handle)
//   offset 8  int32   tag
//   offset 12 uint32  length of the data, at most LinkMaxDataSize
//   offset 16         the data
// and the receiver, after its window procedure has returned, answers with an acknowledgement:
//   offset 0  uint32  LinkAckMagic
//   offset 4  uint32  LinkAckStatus
// All integers are little-endian. A malformed frame is closed without an answer.
//
// In the link directory, the window with handle 0x0012abcd is the socket "0012abcd.sock" and the entry file
// "0012abcd.info" (claimed with O_EXCL, flock-ed by its owner while it lives), which holds
//   "sewella-link 1\n" "pid <decimal>\n" "class <length>\n" <class bytes> "\n" "title <length>\n" <title> "\n"

#include <sys/types.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/os/link/LinkWindow.h"

inline constexpr uint32_t LinkFrameMagic = 0x4B4C5753;  // "SWLK"
inline constexpr uint32_t LinkAckMagic = 0x414C5753;    // "SWLA"
inline constexpr size_t LinkFrameHeaderSize = 16;
inline constexpr size_t LinkAckSize = 8;

enum class [[nodiscard]] LinkAckStatus : uint32_t;  // apart: clang-format 14 garbles it on the definition
enum class LinkAckStatus : uint32_t {
    Handled = 0,
    Dropped = 1,  // the window procedure threw, or the window went away before dispatch
};

struct LinkFrameHeader {
    uint32_t WParam = 0;
    int32_t Tag = 0;
    uint32_t Length = 0;
};

std::array<char, LinkFrameHeaderSize> EncodeLinkFrameHeader(const LinkFrameHeader& Header);
std::array<char, LinkAckSize> EncodeLinkAck(LinkAckStatus Status);
// nullopt for a wrong magic; a status other than Handled reads as Dropped.
[[nodiscard]] std::optional<LinkAckStatus> DecodeLinkAck(std::string_view Bytes);

// Collects one frame from the bytes of a connection, all or nothing. Memory grows only with the bytes
// actually received, never beyond the announced (checked) length.
class LinkFrameReader {
public:
    enum class [[nodiscard]] Status;  // apart: clang-format 14 garbles it on the definition
    enum class Status { NeedMore, Complete, Malformed };

    // Takes what it needs of Bytes; returns how many bytes it took. Bytes after a complete frame are left.
    size_t Feed(std::string_view Bytes);
    Status State() const { return status_; }
    // Why the frame is malformed, for the warning.
    const std::string& Problem() const { return problem_; }
    // Bytes received so far (to tell an empty connection from a truncated frame).
    size_t Received() const { return headerFill_ + data_.size(); }
    const LinkFrameHeader& Header() const { return header_; }
    const std::string& Data() const { return data_; }

private:
    Status status_ = Status::NeedMore;
    std::string problem_;
    std::array<char, LinkFrameHeaderSize> headerBytes_{};
    size_t headerFill_ = 0;
    LinkFrameHeader header_;
    std::string data_;
};

struct LinkEntryInfo {
    pid_t Pid = 0;
    std::string ClassName;
    std::string Title;
};

std::string EncodeLinkEntryInfo(const LinkEntryInfo& Info);
// nullopt for anything but a complete, well-formed entry.
[[nodiscard]] std::optional<LinkEntryInfo> DecodeLinkEntryInfo(std::string_view Bytes);

// "0012abcd" for 0x0012abcd; the parse accepts exactly eight lower-case hex digits naming a non-zero value.
std::string LinkHandleName(uint32_t Handle);
[[nodiscard]] std::optional<uint32_t> ParseLinkHandleName(std::string_view Name);

// Where the link directory lives for the current environment (without creating or checking it).
std::string LinkDirectoryPath();

// Why a directory with these properties must not be used, or nullopt when it is fine.
[[nodiscard]] std::optional<std::string> LinkDirectoryRefusal(
    const std::string& Path, bool IsDirectory, uid_t Owner, mode_t Mode, uid_t Self);

// A connection is served only when its peer runs as the same user.
bool LinkPeerAllowed(uid_t Peer, uid_t Self);
