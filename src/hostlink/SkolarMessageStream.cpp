#include "hostlink/SkolarMessageStream.h"

#include <algorithm>

void TSkolarMessageStream::SetPosition(int64_t Position)
{
    position_ = std::max<int64_t>(0, Position);
}

void TSkolarMessageStream::Clear()
{
    data_.clear();
    position_ = 0;
}

void TSkolarMessageStream::Write(const void* Buffer, size_t Count)
{
    if (Count == 0)
        return;
    const auto pos = static_cast<size_t>(position_);
    if (data_.size() < pos + Count)
        data_.resize(pos + Count, '\0');
    std::memcpy(data_.data() + pos, Buffer, Count);
    position_ += static_cast<int64_t>(Count);
}

size_t TSkolarMessageStream::Read(void* Buffer, size_t Count)
{
    if (position_ >= Size())
        return 0;
    const size_t available = data_.size() - static_cast<size_t>(position_);
    const size_t n = std::min(Count, available);
    std::memcpy(Buffer, data_.data() + position_, n);
    position_ += static_cast<int64_t>(n);
    return n;
}

void TSkolarMessageStream::ReadBuffer(void* Buffer, size_t Count)
{
    const int64_t available = std::max<int64_t>(0, Size() - position_);
    if (static_cast<uint64_t>(available) < Count)
        throw EReadError();
    Read(Buffer, Count);
}

void TSkolarMessageStream::WriteInteger(int32_t Value)
{
    std::string bytes;
    AppendInt32LE(bytes, Value);
    Write(bytes.data(), bytes.size());
}

int32_t TSkolarMessageStream::ReadInteger()
{
    char bytes[4];
    ReadBuffer(bytes, 4);
    return DecodeInt32LE(bytes);
}

void TSkolarMessageStream::WriteByte(uint8_t Value)
{
    Write(&Value, 1);
}

uint8_t TSkolarMessageStream::ReadByte()
{
    uint8_t value = 0;
    ReadBuffer(&value, 1);
    return value;
}

void TSkolarMessageStream::WriteString(std::string_view S)
{
    WriteInteger(static_cast<int32_t>(S.size()));
    Write(S.data(), S.size());
}

void TSkolarMessageStream::ReadString(std::string& S)
{
    const int32_t length = ReadInteger();
    if (length <= 0) {
        S.clear();
        return;
    }
    // the length comes from a peer: check it against what is there before allocating anything
    if (Size() - position_ < length)
        throw EReadError();
    S.assign(data_, static_cast<size_t>(position_), static_cast<size_t>(length));
    position_ += length;
}

std::string TSkolarMessageStream::ReadString()
{
    std::string s;
    ReadString(s);
    return s;
}

void TSkolarMessageStream::WriteStringList(const std::vector<std::string>& Lines)
{
    const std::string text = JoinStringListText(Lines);
    Write(text.data(), text.size());
}

std::vector<std::string> TSkolarMessageStream::ReadStringList()
{
    return SplitStringListText(ReadRest());
}

std::string TSkolarMessageStream::ReadRest()
{
    if (position_ >= Size())
        return {};
    std::string rest = data_.substr(static_cast<size_t>(position_));
    position_ = Size();
    return rest;
}

void TSkolarMessageStream::SetContent(std::string_view Bytes)
{
    data_.assign(Bytes);
    position_ = 0;
}

void TSkolarMessageStream::SendTo(IMessageSender& Sender, const TEntity& Target, TSkolarMessageStream* Reply)
{
    Sender.Send(Target, *this, Reply);
}

void TSkolarMessageStream::AssignFrom(const TSkolarMessageStream& Other)
{
    if (&Other == this) {
        position_ = 0;
        return;
    }
    Stamp = Other.Stamp;
    entity_.Assign(&Other.entity_);
    Code = Other.Code;
    data_ = Other.data_;
    position_ = 0;
}

bool TSkolarMessageStream::SetFromBlock(uint32_t WParam, int32_t Tag, std::string_view Block)
{
    const auto block = DecodeSkolarBlock(Block);
    if (!block)
        return false;
    Code = Tag;
    Stamp = block->Stamp;
    SetContent(block->Content);
    entity_.Handle = WParam;
    return true;
}

std::vector<std::string> SplitStringListText(std::string_view Text)
{
    std::vector<std::string> lines;
    size_t i = 0;
    while (i < Text.size()) {
        const size_t start = i;
        while (i < Text.size() && Text[i] != '\r' && Text[i] != '\n')
            ++i;
        lines.emplace_back(Text.substr(start, i - start));
        if (i < Text.size() && Text[i] == '\r')
            ++i;
        if (i < Text.size() && Text[i] == '\n')
            ++i;
    }
    return lines;
}

std::string JoinStringListText(const std::vector<std::string>& Lines)
{
    std::string text;
    for (const std::string& line : Lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}
