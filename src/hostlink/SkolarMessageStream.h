#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "hostlink/Entity.h"
#include "hostlink/SkolarWire.h"

class TSkolarMessageStream;

// What sends a message: the host-link component. The message itself knows nothing of windows.
class IMessageSender {
public:
    // Stamps Request and sends it synchronously to Target's window; the reply that arrives meanwhile with the
    // same stamp is copied into Reply when one is given.
    virtual void Send(const TEntity& Target, TSkolarMessageStream& Request, TSkolarMessageStream* Reply) = 0;

protected:
    ~IMessageSender() = default;
};

// The host link's exception: a message text only.
class ESkolar : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reading past the end of a message's content.
class EReadError : public std::runtime_error {
public:
    EReadError() : std::runtime_error("Stream read error") { }
};

// One host-link message: a growable in-memory byte stream holding the content (never the stamp), plus the
// envelope data that travels beside it. A plain value.
class TSkolarMessageStream {
public:
    TTimeStamp Stamp;
    int32_t Code = 0;
    // On a received message: the sender, whose Handle is the envelope's wParam.
    TEntity& Entity() { return entity_; }
    const TEntity& Entity() const { return entity_; }

    // Stream operations.
    int64_t Size() const { return static_cast<int64_t>(data_.size()); }
    int64_t Position() const { return position_; }
    // Any position from 0 on; beyond the end a later write fills the gap with zero bytes.
    void SetPosition(int64_t Position);
    void Clear();
    void Write(const void* Buffer, size_t Count);
    // Reads up to Count bytes and returns how many were read.
    size_t Read(void* Buffer, size_t Count);
    // Reads exactly Count bytes or, when fewer are left, nothing: EReadError.
    void ReadBuffer(void* Buffer, size_t Count);

    void WriteInteger(int32_t Value);
    int32_t ReadInteger();
    void WriteFlag(bool Value) { WriteByte(Value ? 1 : 0); }
    bool ReadFlag() { return ReadByte() != 0; }
    void WriteByte(uint8_t Value);
    uint8_t ReadByte();
    // A 4-byte length, then the bytes; a length of 0 or less is the empty string and nothing follows.
    void WriteString(std::string_view S);
    void ReadString(std::string& S);
    std::string ReadString();
    // The plain text form: every line followed by CR LF; the reader splits at CR, LF or the pair and runs to
    // the end of the content.
    void WriteStringList(const std::vector<std::string>& Lines);
    std::vector<std::string> ReadStringList();
    // The bytes from the position to the end.
    std::string ReadRest();

    const std::string& Content() const { return data_; }
    // Replaces the content; the position becomes 0.
    void SetContent(std::string_view Bytes);

    // Sends this message through Sender to the target's window; a given reply is filled when a reply arrives.
    void SendTo(IMessageSender& Sender, const TEntity& Target, TSkolarMessageStream* Reply);
    // Copies stamp, entity data, code and content; the position becomes 0.
    void AssignFrom(const TSkolarMessageStream& Other);
    // Fills this message from a received copy-data block: the code from its tag, the stamp and content from
    // the block, the sender from wParam. False, changing nothing, for a block shorter than the stamp.
    [[nodiscard]] bool SetFromBlock(uint32_t WParam, int32_t Tag, std::string_view Block);

private:
    std::string data_;
    int64_t position_ = 0;
    TEntity entity_;
};

// Splits the plain text form of a string list at CR, LF or CR LF; a final line needs no line break.
std::vector<std::string> SplitStringListText(std::string_view Text);
std::string JoinStringListText(const std::vector<std::string>& Lines);
