#pragma once

// The host-link wire format, shared by the client component and the stand-in host: message codes, the
// 8-byte stamp envelope and the little-endian item encodings. One copy-data block is the stamp followed by
// the message content; the copy-data tag carries the message code and wParam the sender's link window.

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "platform/os/DateTime.h"
#include "platform/os/LittleEndian.h"

constexpr int32_t msgQuit = 0x1000;
constexpr int32_t msgReply = 0x1001;
constexpr int32_t msgRegister = 0x1002;
constexpr int32_t msgUnregister = 0x1003;
constexpr int32_t msgQueryEntity = 0x1004;
constexpr int32_t msgParams = 0x1005;
constexpr int32_t msgExecute = 0x1006;
constexpr int32_t msgGetFile = 0x1007;
constexpr int32_t msgResolveFileName = 0x1008;
constexpr int32_t msgQueryString = 0x1009;
constexpr int32_t msgGetVariable = 0x100A;

// Kinds of a msgQueryEntity request.
constexpr uint8_t QueryEntityByHandle = 1;
constexpr uint8_t QueryEntityByTitle = 2;

// The class and title of the host's link window are these prefixes followed by the host's suffix.
inline constexpr std::string_view SkolarServerWindowClassPrefix = "ThisIsTheSkolarServerComponentWindowClass";
inline constexpr std::string_view SkolarServerWindowNamePrefix = "ThisIsTheSkolarServerComponentWindow";
inline constexpr std::string_view SkolarClientWindowClass = "ThisIsTheSkolarClientComponentWindowClass";

// The correlation key of a request and its reply is the time stamp of the local time it was sent at:
// milliseconds of the day, then the day number counted from 1 January of year 1 (day 1).
constexpr size_t SkolarStampSize = 8;

inline void AppendInt32LE(std::string& Out, int32_t Value)
{
    char bytes[4];
    PutLittleEndian32(bytes, static_cast<uint32_t>(Value));
    Out.append(bytes, 4);
}

inline int32_t DecodeInt32LE(const char* Bytes)
{
    return static_cast<int32_t>(GetLittleEndian32(Bytes));
}

// One copy-data block: the stamp bytes, then the content.
inline std::string EncodeSkolarBlock(const TTimeStamp& Stamp, std::string_view Content)
{
    std::string block;
    block.reserve(SkolarStampSize + Content.size());
    AppendInt32LE(block, Stamp.Time);
    AppendInt32LE(block, Stamp.Date);
    block.append(Content);
    return block;
}

struct TSkolarBlock {
    TTimeStamp Stamp;
    std::string_view Content;
};

// A block shorter than the stamp is no message. The content views Block, which must outlive it.
[[nodiscard]] inline std::optional<TSkolarBlock> DecodeSkolarBlock(std::string_view Block)
{
    if (Block.size() < SkolarStampSize)
        return std::nullopt;
    TSkolarBlock result;
    result.Stamp.Time = DecodeInt32LE(Block.data());
    result.Stamp.Date = DecodeInt32LE(Block.data() + 4);
    result.Content = Block.substr(SkolarStampSize);
    return result;
}
