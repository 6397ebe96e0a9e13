#include <string>

#include <gtest/gtest.h>

#include "platform/os/AnsiText.h"

namespace {

TEST(AnsiText, BytesDecodeAsUtf8WhenValidOtherwiseAsWindows1252)
{
    using namespace std::string_literals;
    struct Row {
        const char* name;
        std::string bytes;
        QString text;
    } rows[] = {
        {"ascii", "x[i]=(a+b*x[i-1]) mod c", QStringLiteral("x[i]=(a+b*x[i-1]) mod c")},
        {"utf-8",
            "Gr\xc3\xbc\xc3\x9f"
            "e",
            QStringLiteral("Grüße")},
        {"cp1252",
            "Gr\xfc\xdf"
            "e",
            QStringLiteral("Grüße")},
        {"degree sign byte", "12\xb0", QStringLiteral("12°")},
        {"euro and quotes", "\x80 \x93q\x94", QStringLiteral("€ “q”")},
        {"unassigned byte", "\x81", QString(QChar(0x81))},
        {"truncated sequence", "\xc3", QStringLiteral("Ã")},
        {"valid pair beside a lone high byte", "\xc3\xa4 \xe4", QStringLiteral("Ã¤ ä")},
        {"overlong slash", "\xc0\xaf", QStringLiteral("À¯")},
        {"surrogate", "\xed\xa0\x80", QStringLiteral("í\u00a0€")},
        {"above U+10FFFF", "\xf4\x90\x80\x80", QStringLiteral("ô\u0090€€")},
        {"four-byte utf-8", "\xf0\x9f\x98\x80", QString::fromUtf8("\xf0\x9f\x98\x80")},
        {"embedded zero", "a\0b"s, QString::fromUtf16(u"a\0b", 3)},
        {"empty", "", QString()},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(FromAnsi(std::string_view(r.bytes)), r.text);
        EXPECT_EQ(FromAnsi(QByteArray(r.bytes.data(), qsizetype(r.bytes.size()))), r.text);
    }
}

TEST(AnsiText, WritingIsUtf8AndRoundTrips)
{
    EXPECT_EQ(ToAnsi(QStringLiteral("12° 30'")), "12\xc2\xb0 30'");
    for (const char* s : {"", "plain",
             "Gr\xc3\xbc\xc3\x9f"
             "e",
             "\xe2\x82\xac"})
        EXPECT_EQ(ToAnsi(FromAnsi(s)), s);
    EXPECT_EQ(FromAnsi(ToAnsi(QStringLiteral("Gr\u00fc\u00dfe \u20ac"))), QStringLiteral("Gr\u00fc\u00dfe \u20ac"));
}

TEST(AnsiText, NullPointerIsTheEmptyText)
{
    EXPECT_TRUE(FromAnsi(static_cast<const char*>(nullptr)).isEmpty());
}

TEST(AnsiText, Cp1252TableCoversTheSpecialRow)
{
    EXPECT_EQ(Cp1252ToChar(0x80), QChar(0x20AC));
    EXPECT_EQ(Cp1252ToChar(0x8A), QChar(0x0160));
    EXPECT_EQ(Cp1252ToChar(0x9F), QChar(0x0178));
    EXPECT_EQ(Cp1252ToChar(0x9D), QChar(0x009D));
    EXPECT_EQ(Cp1252ToChar(0xA0), QChar(0x00A0));
    EXPECT_EQ(Cp1252ToChar(0xFF), QChar(0x00FF));
    EXPECT_EQ(Cp1252ToChar('A'), QChar('A'));
}

TEST(AnsiText, CaseFoldingTouchesAsciiLettersOnly)
{
    EXPECT_EQ(LowerAscii("Memo_1 \xc3\x84Z@[`{"), "memo_1 \xc3\x84z@[`{");
    EXPECT_TRUE(EqualIgnoringAsciiCase("TmnxServer", "tmnxSERVER"));
    EXPECT_FALSE(EqualIgnoringAsciiCase("\xc3\x84", "\xc3\xa4"));
    EXPECT_FALSE(EqualIgnoringAsciiCase("abc", "abcd"));
    EXPECT_TRUE(LessIgnoringAsciiCase("Apple", "banana"));
    EXPECT_FALSE(LessIgnoringAsciiCase("APPLE", "apple"));
    EXPECT_FALSE(LessIgnoringAsciiCase("apple", "APPLE"));
}

TEST(AnsiText, FindingIgnoresCaseFromTheGivenPosition)
{
    EXPECT_EQ(FindIgnoringAsciiCase("a|$$b|$$", "|$$"), 1u);
    EXPECT_EQ(FindIgnoringAsciiCase("xAbCab", "abc"), 1u);
    EXPECT_EQ(FindIgnoringAsciiCase("xAbCabc", "abc", 2), 4u);
    EXPECT_EQ(FindIgnoringAsciiCase("ab", "abc"), std::string_view::npos);
    EXPECT_EQ(FindIgnoringAsciiCase("abc", "abd"), std::string_view::npos);
}

}  // namespace
