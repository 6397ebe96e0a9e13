#include "platform/os/link/LinkTransport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>

#include "platform/os/LittleEndian.h"

namespace {

// Reads "<word> <decimal>\n" at Pos; advances Pos past it.
std::optional<uint64_t> ReadNumberLine(std::string_view Bytes, size_t& Pos, std::string_view Word)
{
    if (Bytes.substr(Pos, Word.size()) != Word || Bytes.substr(Pos + Word.size(), 1) != " ")
        return std::nullopt;
    const size_t start = Pos + Word.size() + 1;
    const size_t end = Bytes.find('\n', start);
    if (end == std::string_view::npos || end == start || end - start > 10)
        return std::nullopt;
    uint64_t value = 0;
    const auto [last, error] = std::from_chars(Bytes.data() + start, Bytes.data() + end, value);
    if (error != std::errc() || last != Bytes.data() + end)
        return std::nullopt;
    Pos = end + 1;
    return value;
}

std::optional<std::string> ReadSizedField(std::string_view Bytes, size_t& Pos, std::string_view Word)
{
    const std::optional<uint64_t> length = ReadNumberLine(Bytes, Pos, Word);
    if (!length || *length > LinkMaxNameLength || Bytes.size() - Pos < *length + 1 || Bytes[Pos + *length] != '\n')
        return std::nullopt;
    std::string value(Bytes.substr(Pos, *length));
    Pos += *length + 1;
    return value;
}

}  // namespace

std::array<char, LinkFrameHeaderSize> EncodeLinkFrameHeader(const LinkFrameHeader& Header)
{
    std::array<char, LinkFrameHeaderSize> bytes{};
    PutLittleEndian32(bytes.data(), LinkFrameMagic);
    PutLittleEndian32(bytes.data() + 4, Header.WParam);
    PutLittleEndian32(bytes.data() + 8, static_cast<uint32_t>(Header.Tag));
    PutLittleEndian32(bytes.data() + 12, Header.Length);
    return bytes;
}

std::array<char, LinkAckSize> EncodeLinkAck(LinkAckStatus Status)
{
    std::array<char, LinkAckSize> bytes{};
    PutLittleEndian32(bytes.data(), LinkAckMagic);
    PutLittleEndian32(bytes.data() + 4, static_cast<uint32_t>(Status));
    return bytes;
}

std::optional<LinkAckStatus> DecodeLinkAck(std::string_view Bytes)
{
    if (Bytes.size() != LinkAckSize || GetLittleEndian32(Bytes.data()) != LinkAckMagic)
        return std::nullopt;
    return GetLittleEndian32(Bytes.data() + 4) == static_cast<uint32_t>(LinkAckStatus::Handled)
        ? LinkAckStatus::Handled
        : LinkAckStatus::Dropped;
}

size_t LinkFrameReader::Feed(std::string_view Bytes)
{
    size_t taken = 0;
    // an empty view may have no storage behind it at all
    if (status_ != Status::NeedMore || Bytes.empty())
        return 0;
    if (headerFill_ < LinkFrameHeaderSize) {
        const size_t part = std::min(Bytes.size(), LinkFrameHeaderSize - headerFill_);
        std::memcpy(headerBytes_.data() + headerFill_, Bytes.data(), part);
        headerFill_ += part;
        taken = part;
        if (headerFill_ < LinkFrameHeaderSize)
            return taken;
        if (GetLittleEndian32(headerBytes_.data()) != LinkFrameMagic) {
            status_ = Status::Malformed;
            problem_ = "the frame does not begin with the link magic";
            return taken;
        }
        header_.WParam = GetLittleEndian32(headerBytes_.data() + 4);
        header_.Tag = static_cast<int32_t>(GetLittleEndian32(headerBytes_.data() + 8));
        header_.Length = GetLittleEndian32(headerBytes_.data() + 12);
        if (header_.Length > LinkMaxDataSize) {
            status_ = Status::Malformed;
            problem_ = "the frame announces " + std::to_string(header_.Length) + " bytes, more than the limit of " +
                std::to_string(LinkMaxDataSize);
            return taken;
        }
    }
    const size_t part = std::min(Bytes.size() - taken, static_cast<size_t>(header_.Length) - data_.size());
    data_.append(Bytes.data() + taken, part);
    taken += part;
    if (data_.size() == header_.Length)
        status_ = Status::Complete;
    return taken;
}

std::string EncodeLinkEntryInfo(const LinkEntryInfo& Info)
{
    return "sewella-link 1\npid " + std::to_string(Info.Pid) + "\nclass " + std::to_string(Info.ClassName.size()) +
        "\n" + Info.ClassName + "\ntitle " + std::to_string(Info.Title.size()) + "\n" + Info.Title + "\n";
}

std::optional<LinkEntryInfo> DecodeLinkEntryInfo(std::string_view Bytes)
{
    constexpr std::string_view version = "sewella-link 1\n";
    if (Bytes.substr(0, version.size()) != version)
        return std::nullopt;
    size_t pos = version.size();
    const std::optional<uint64_t> pid = ReadNumberLine(Bytes, pos, "pid");
    if (!pid || *pid == 0 || *pid > 0x7FFFFFFF)
        return std::nullopt;
    std::optional<std::string> className = ReadSizedField(Bytes, pos, "class");
    if (!className)
        return std::nullopt;
    std::optional<std::string> title = ReadSizedField(Bytes, pos, "title");
    if (!title || pos != Bytes.size())
        return std::nullopt;
    return LinkEntryInfo{static_cast<pid_t>(*pid), std::move(*className), std::move(*title)};
}

std::string LinkHandleName(uint32_t Handle)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string name(8, '0');
    for (int i = 7; i >= 0; --i, Handle >>= 4)
        name[static_cast<size_t>(i)] = digits[Handle & 0xF];
    return name;
}

std::optional<uint32_t> ParseLinkHandleName(std::string_view Name)
{
    if (Name.size() != 8)
        return std::nullopt;
    uint32_t value = 0;
    for (const char c : Name) {
        uint32_t digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<uint32_t>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<uint32_t>(c - 'a' + 10);
        else
            return std::nullopt;
        value = (value << 4) | digit;
    }
    if (value == 0)
        return std::nullopt;
    return value;
}

std::string LinkDirectoryPath()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/')
        return std::string(runtime) + "/sewella-link";
    return "/tmp/sewella-link-" + std::to_string(geteuid());
}

std::optional<std::string> LinkDirectoryRefusal(
    const std::string& Path, bool IsDirectory, uid_t Owner, mode_t Mode, uid_t Self)
{
    if (!IsDirectory)
        return "the link directory " + Path + " is not a directory";
    if (Owner != Self)
        return "the link directory " + Path + " belongs to user " + std::to_string(Owner) + ", not to user " +
            std::to_string(Self);
    if ((Mode & (S_IWGRP | S_IWOTH)) != 0)
        return "the link directory " + Path + " is writable by other users";
    return std::nullopt;
}

bool LinkPeerAllowed(uid_t Peer, uid_t Self)
{
    return Peer == Self;
}
