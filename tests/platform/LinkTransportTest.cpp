#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/os/link/LinkTransport.h"
#include "platform/os/LittleEndian.h"

namespace {

std::string Frame(uint32_t WParam, int32_t Tag, const std::string& Data)
{
    const auto header = EncodeLinkFrameHeader({WParam, Tag, static_cast<uint32_t>(Data.size())});
    return std::string(header.data(), header.size()) + Data;
}

TEST(LittleEndian, ValuesAreWrittenLowByteFirstAndReadBack)
{
    const struct {
        uint32_t value;
        std::string bytes;
    } rows[] = {
        {0, std::string(4, '\0')},
        {0x12345678, "\x78\x56\x34\x12"},
        {0x80000001, std::string("\x01\x00\x00\x80", 4)},
        {0xFFFFFFFF, "\xFF\xFF\xFF\xFF"},
        {LinkFrameMagic, "SWLK"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.value);
        char out[4];
        PutLittleEndian32(out, row.value);
        EXPECT_EQ(std::string(out, 4), row.bytes);
        EXPECT_EQ(GetLittleEndian32(row.bytes.data()), row.value);
    }
    EXPECT_EQ(Frame(0x01020304, -2, "").substr(0, 12), std::string("SWLK\x04\x03\x02\x01\xFE\xFF\xFF\xFF", 12));
}

TEST(LinkFrameReader, FrameFedInPiecesEqualsFrameFedWholeAndLeavesWhatFollows)
{
    for (const std::string& data : {std::string(), std::string("pay\0load", 8)}) {
        const std::string frame = Frame(0xfedcba98, -2, data);
        for (const size_t piece : {size_t{1}, size_t{3}, size_t{16}, frame.size()}) {
            SCOPED_TRACE(testing::Message() << data.size() << " bytes in pieces of " << piece);
            LinkFrameReader reader;
            for (size_t at = 0; at < frame.size(); at += piece) {
                EXPECT_EQ(reader.State(), LinkFrameReader::Status::NeedMore);
                reader.Feed(std::string_view(frame).substr(at, piece));
            }
            ASSERT_EQ(reader.State(), LinkFrameReader::Status::Complete);
            EXPECT_EQ(reader.Header().WParam, 0xfedcba98u);
            EXPECT_EQ(reader.Header().Tag, -2);
            EXPECT_EQ(reader.Data(), data);
            EXPECT_EQ(reader.Feed("trailing"), 0u);
        }
        LinkFrameReader whole;
        EXPECT_EQ(whole.Feed(frame + "trailing"), frame.size());
        EXPECT_EQ(whole.Data(), data);
    }
}

TEST(LinkFrameReader, EmptyPiecesTakeNothingAtAnyPoint)
{
    // an empty view without storage must not reach the byte copy (undefined behaviour, reported by
    // the sanitizers) while the header is incomplete, nor change the frame anywhere else
    const std::string frame = Frame(7, 9, "data");
    for (const size_t split : {size_t{0}, size_t{5}, LinkFrameHeaderSize, LinkFrameHeaderSize + 2}) {
        SCOPED_TRACE(split);
        LinkFrameReader reader;
        EXPECT_EQ(reader.Feed(std::string_view(frame).substr(0, split)), split);
        EXPECT_EQ(reader.Feed(std::string_view()), 0u);
        EXPECT_EQ(reader.Feed(std::string_view(frame).substr(split, 0)), 0u);
        EXPECT_EQ(reader.State(), LinkFrameReader::Status::NeedMore);
        EXPECT_EQ(reader.Feed(std::string_view(frame).substr(split)), frame.size() - split);
        ASSERT_EQ(reader.State(), LinkFrameReader::Status::Complete);
        EXPECT_EQ(reader.Data(), "data");
        EXPECT_EQ(reader.Header().Tag, 9);
    }
}

TEST(LinkFrameReader, BadMagicAndOversizedLengthAreMalformedBeforeAnyData)
{
    std::string badMagic = Frame(1, 2, "abc");
    badMagic[0] ^= 1;
    std::string oversized = Frame(1, 2, "");
    const uint32_t tooLong = LinkMaxDataSize + 1;
    for (int i = 0; i < 4; ++i)
        oversized[12 + static_cast<size_t>(i)] = static_cast<char>((tooLong >> (8 * i)) & 0xFF);
    for (const std::string& bytes : {badMagic, oversized}) {
        LinkFrameReader reader;
        reader.Feed(bytes);
        EXPECT_EQ(reader.State(), LinkFrameReader::Status::Malformed);
        EXPECT_TRUE(reader.Data().empty());
        EXPECT_FALSE(reader.Problem().empty());
    }
}

TEST(LinkEntryInfo, RoundTripsAnyBytes)
{
    const LinkEntryInfo info{4242, "Class\nWith newline", std::string("ti\0tle\n", 7)};
    const std::optional<LinkEntryInfo> back = DecodeLinkEntryInfo(EncodeLinkEntryInfo(info));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Pid, 4242);
    EXPECT_EQ(back->ClassName, info.ClassName);
    EXPECT_EQ(back->Title, info.Title);
}

TEST(LinkEntryInfo, IncompleteOrForgedEntriesAreRejected)
{
    const std::string good = EncodeLinkEntryInfo({7, "C", "T"});
    const std::string rows[] = {
        "",
        good.substr(0, good.size() - 1),
        good + "x",
        "sewella-link 1\npid 0\nclass 1\nC\ntitle 1\nT\n",
        "sewella-link 1\npid 7\nclass 5\nC\ntitle 1\nT\n",
        "sewella-link 1\npid 7\nclass 99999999\nC\ntitle 1\nT\n",
        "sewella-link 1\npid -7\nclass 1\nC\ntitle 1\nT\n",
        "sewella-link 2\npid 7\nclass 1\nC\ntitle 1\nT\n",
    };
    for (const std::string& row : rows) {
        SCOPED_TRACE(row);
        EXPECT_EQ(DecodeLinkEntryInfo(row), std::nullopt);
    }
}

TEST(LinkDirectoryRefusal, OnlyAnOwnDirectoryNobodyElseCanWriteIsUsed)
{
    const struct {
        bool isDirectory;
        uid_t owner;
        mode_t mode;
        bool refused;
    } rows[] = {
        {true, 1000, 0700, false},
        {true, 1000, 0755, false},
        {true, 1000, 0720, true},
        {true, 1000, 0702, true},
        {true, 1001, 0700, true},
        {false, 1000, 0700, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.isDirectory << " " << row.owner << " " << std::oct << row.mode);
        EXPECT_EQ(LinkDirectoryRefusal("/d", row.isDirectory, row.owner, row.mode, 1000).has_value(), row.refused);
    }
    EXPECT_TRUE(LinkPeerAllowed(1000, 1000));
    EXPECT_FALSE(LinkPeerAllowed(0, 1000));
}

}  // namespace
