// The link frame reader on the bytes of a connection, cut into arbitrary pieces; also the other texts a peer
// controls: the acknowledgement, the entry file beside a link window and its handle name.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/os/link/LinkTransport.h"

namespace {

void Fail(const char* why)
{
    std::fprintf(stderr, "linkframe harness: %s\n", why);
    std::abort();
}

void CheckFinished(const LinkFrameReader& Reader)
{
    if (Reader.State() == LinkFrameReader::Status::Malformed && Reader.Problem().empty())
        Fail("a malformed frame without a reason");
    if (Reader.Data().size() > Reader.Header().Length || Reader.Data().size() > LinkMaxDataSize)
        Fail("more data than the frame announced");
    if (Reader.State() == LinkFrameReader::Status::Complete && Reader.Data().size() != Reader.Header().Length)
        Fail("a complete frame of the wrong length");
}

bool SameResult(const LinkFrameReader& A, const LinkFrameReader& B)
{
    return A.State() == B.State() && A.Received() == B.Received() && A.Data() == B.Data() &&
        A.Header().WParam == B.Header().WParam && A.Header().Tag == B.Header().Tag &&
        A.Header().Length == B.Header().Length;
}

// The other peer-controlled texts of the link: the acknowledgement, the entry file and the handle name.
void CheckOtherTexts(std::string_view Bytes)
{
    if (const auto ack = DecodeLinkAck(Bytes.substr(0, LinkAckSize)); ack && Bytes.size() >= LinkAckSize) {
        const auto encoded = EncodeLinkAck(*ack);
        if (*ack == LinkAckStatus::Handled && std::memcmp(encoded.data(), Bytes.data(), LinkAckSize) != 0)
            Fail("a handled acknowledgement does not encode back to its bytes");
    }
    if (const auto info = DecodeLinkEntryInfo(Bytes)) {
        // numbers may carry leading zeros, so only the fields are checked, not the bytes
        if (info->Pid <= 0 || info->ClassName.size() > LinkMaxNameLength || info->Title.size() > LinkMaxNameLength)
            Fail("an accepted entry file with an impossible field");
    }
    if (const auto handle = ParseLinkHandleName(Bytes.substr(0, 8))) {
        if (*handle == 0 || LinkHandleName(*handle) != Bytes.substr(0, 8))
            Fail("an accepted handle name does not name its handle");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    FuzzedDataProvider input(Data, Size);
    const uint8_t mode = input.ConsumeIntegral<uint8_t>();
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    const std::string_view all(bytes);

    // The whole connection in one piece.
    LinkFrameReader whole;
    const size_t wholeTaken = whole.Feed(all);
    CheckFinished(whole);
    if (wholeTaken > all.size() || whole.Received() != wholeTaken)
        Fail("took more than it was given, or counted other bytes than it took");
    if (whole.State() == LinkFrameReader::Status::Complete) {
        const auto header = EncodeLinkFrameHeader(whole.Header());
        if (std::memcmp(header.data(), bytes.data(), header.size()) != 0)
            Fail("the decoded header does not encode back to the bytes");
    }

    // The same bytes in pieces whose sizes follow the input; a piece may be empty.
    LinkFrameReader pieces;
    if ((mode & 2) != 0)
        pieces.Feed(std::string_view());
    size_t offset = 0;
    uint32_t seed = mode;
    while (offset < all.size() && pieces.State() == LinkFrameReader::Status::NeedMore) {
        seed = seed * 1103515245u + 12345u;
        const size_t size = std::min<size_t>(all.size() - offset, (seed >> 16) % 23);
        const size_t taken = pieces.Feed(all.substr(offset, size));
        if (taken > size)
            Fail("took more than the piece");
        offset += taken;
    }
    if ((mode & 1) != 0)
        pieces.Feed(all.substr(offset, 0));
    CheckFinished(pieces);
    if (!SameResult(whole, pieces))
        Fail("the frame read in pieces differs from the frame read at once");
    if (pieces.State() != LinkFrameReader::Status::NeedMore && pieces.Feed(all) != 0)
        Fail("a finished reader took more bytes");

    CheckOtherTexts(all);
    return 0;
}
