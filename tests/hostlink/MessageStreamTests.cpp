#include <gtest/gtest.h>

#include "hostlink/Entity.h"
#include "hostlink/SkolarMessageStream.h"
#include "hostlink/SkolarWire.h"

namespace {

std::string Bytes(std::initializer_list<int> Values)
{
    std::string s;
    for (int v : Values)
        s.push_back(static_cast<char>(v));
    return s;
}

TEST(SkolarMessageStream, ItemsAreLittleEndianAndStringsCarryALengthAndNoTerminator)
{
    TSkolarMessageStream msg;
    msg.WriteInteger(0x01020304);
    msg.WriteInteger(-2);
    msg.WriteFlag(true);
    msg.WriteString("");
    msg.WriteString("ab");
    EXPECT_EQ(msg.Content(), Bytes({4, 3, 2, 1, 0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 0, 2, 0, 0, 0, 'a', 'b'}));

    msg.SetPosition(0);
    EXPECT_EQ(msg.ReadInteger(), 0x01020304);
    EXPECT_EQ(msg.ReadInteger(), -2);
    EXPECT_TRUE(msg.ReadFlag());
    EXPECT_EQ(msg.ReadString(), "");
    EXPECT_EQ(msg.ReadString(), "ab");
    EXPECT_EQ(msg.Position(), msg.Size());

    msg.SetContent(Bytes({7}));
    EXPECT_TRUE(msg.ReadFlag()) << "any non-zero byte is true";

    // a negative length is the empty string and consumes only the length
    msg.SetContent(Bytes({0xFB, 0xFF, 0xFF, 0xFF, 77, 0, 0, 0}));
    EXPECT_EQ(msg.ReadString(), "");
    EXPECT_EQ(msg.ReadInteger(), 77);
}

TEST(SkolarMessageStream, ReadsPastTheEndFailWithTheStreamReadError)
{
    TSkolarMessageStream empty;
    EXPECT_THROW(empty.ReadInteger(), EReadError);
    EXPECT_THROW(empty.ReadFlag(), EReadError);
    EXPECT_THROW(empty.ReadString(), EReadError);

    // a length beyond the content (here a huge one) fails without allocating or consuming the bytes
    TSkolarMessageStream lying;
    lying.WriteInteger(0x7FFFFFFF);
    lying.Write("abc", 3);
    lying.SetPosition(0);
    EXPECT_THROW(lying.ReadString(), EReadError);

    TSkolarMessageStream partial;
    partial.Write("xy", 2);
    partial.SetPosition(0);
    EXPECT_THROW(partial.ReadInteger(), EReadError);
    EXPECT_EQ(partial.Position(), 0);
}

TEST(SkolarMessageStream, StringListTextSplitsAtCrLfOrEither)
{
    TSkolarMessageStream msg;
    msg.WriteStringList({"/a/b", "", "x y"});
    EXPECT_EQ(msg.Content(), "/a/b\r\n\r\nx y\r\n");
    msg.SetPosition(0);
    EXPECT_EQ(msg.ReadStringList(), (std::vector<std::string>{"/a/b", "", "x y"}));

    EXPECT_EQ(SplitStringListText("a\nb\rc\r\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitStringListText("a\n\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_TRUE(SplitStringListText("").empty());
}

TEST(Entity, EmptyRecordIsSixteenBytesAndATruncatedOneChangesNothing)
{
    TEntity entity;
    entity.Handle = 0x11223344;
    entity.MutexHandle = 5;
    TSkolarMessageStream msg;
    entity.WriteTo(msg);
    EXPECT_EQ(msg.Content(), Bytes({0x44, 0x33, 0x22, 0x11, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

    msg.SetContent(msg.Content().substr(0, 15));
    TEntity untouched;
    untouched.Handle = 42;
    EXPECT_THROW(untouched.ReadFrom(msg), EReadError);
    EXPECT_EQ(untouched.Handle, 42u);
    EXPECT_EQ(untouched.MutexHandle, 0u);
}

TEST(Entity, ARecordCutAnywhereFailsAndLeavesTheEntityAsItWas)
{
    TEntity sent;
    sent.Handle = 0x01020304;
    sent.MutexHandle = 0x0A0B0C0D;
    sent.SetExeName("/opt/lcg");
    sent.SetTitle("LCG");
    TSkolarMessageStream whole;
    sent.WriteTo(whole);
    ASSERT_EQ(whole.Size(), 4 + 4 + 4 + 8 + 4 + 3);

    for (int64_t cut = 0; cut < whole.Size(); ++cut) {
        SCOPED_TRACE(cut);
        TSkolarMessageStream msg;
        msg.SetContent(whole.Content().substr(0, static_cast<size_t>(cut)));
        TEntity kept;
        kept.Handle = 7;
        kept.MutexHandle = 8;
        kept.SetExeName("/old/exe");
        kept.SetTitle("Old");
        EXPECT_THROW(kept.ReadFrom(msg), EReadError);
        EXPECT_EQ(kept.Handle, 7u);
        EXPECT_EQ(kept.MutexHandle, 8u);
        EXPECT_EQ(kept.ExeName(), "/old/exe");
        EXPECT_EQ(kept.Title(), "Old");
    }

    TEntity received;
    whole.SetPosition(0);
    received.ReadFrom(whole);
    EXPECT_EQ(received.Handle, sent.Handle);
    EXPECT_EQ(received.MutexHandle, sent.MutexHandle);
    EXPECT_EQ(received.ExeName(), "/opt/lcg");
    EXPECT_EQ(received.Title(), "LCG");
    EXPECT_EQ(whole.Position(), whole.Size());
}

TEST(Entity, MutexNameUsesTheFileNameOnly)
{
    struct Row {
        const char* ExeName;
        const char* Expected;
    };
    const Row rows[] = {
        {"/usr/local/bin/sewella", "SK_sewella"},
        {"C:\\Program Files\\Sewella\\sewella.exe", "SK_sewella.exe"},
        {"sewella", "SK_sewella"},
        {"", "SK_"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.ExeName);
        TEntity entity;
        entity.SetExeName(row.ExeName);
        EXPECT_EQ(entity.MutexName(), row.Expected);
    }
}

TEST(SkolarWire, BlockIsTheStampThenTheContent)
{
    const std::string empty = EncodeSkolarBlock({1, 2}, "");
    EXPECT_EQ(empty, Bytes({1, 0, 0, 0, 2, 0, 0, 0}));

    const std::string block = EncodeSkolarBlock({-1, 700000}, "abc");
    const auto decoded = DecodeSkolarBlock(block);  // its content views the block
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->Stamp, (TTimeStamp{-1, 700000}));
    EXPECT_EQ(decoded->Content, "abc");

    EXPECT_FALSE(DecodeSkolarBlock(std::string(7, '\0')));
}

}  // namespace
