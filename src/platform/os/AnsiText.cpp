#include "platform/os/AnsiText.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// 0x80..0x9F of Windows-1252; the unassigned bytes keep their own number.
constexpr std::array<char16_t, 32> kCp1252High{
    0x20AC,
    0x0081,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0x008D,
    0x017D,
    0x008F,
    0x0090,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0x009D,
    0x017E,
    0x0178,
};

bool IsContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        std::size_t len = 0;
        char32_t cp = 0;
        char32_t minimum = 0;
        if ((b & 0xE0) == 0xC0) {
            len = 2, cp = b & 0x1F, minimum = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            len = 3, cp = b & 0x0F, minimum = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            len = 4, cp = b & 0x07, minimum = 0x10000;
        } else {
            return false;
        }
        if (n - i < len)
            return false;
        for (std::size_t k = 1; k < len; ++k) {
            if (!IsContinuation(p[i + k]))
                return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

QChar Cp1252ToChar(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return QChar(kCp1252High[byte - 0x80]);
    return QChar(char16_t(byte));
}

QString FromAnsi(std::string_view bytes)
{
    if (IsValidUtf8(bytes))
        return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    QString result;
    result.reserve(qsizetype(bytes.size()));
    for (char c : bytes)
        result.append(Cp1252ToChar(static_cast<unsigned char>(c)));
    return result;
}

QString FromAnsi(const char* bytes)
{
    return bytes == nullptr ? QString() : FromAnsi(std::string_view(bytes, std::strlen(bytes)));
}

QString FromAnsi(const QByteArray& bytes)
{
    return FromAnsi(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

std::string ToAnsi(const QString& text)
{
    return text.toStdString();
}

std::string LowerAscii(std::string_view text)
{
    std::string lowered(text);
    for (char& c : lowered)
        c = LowerAscii(c);
    return lowered;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
        std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

bool LessIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return LowerAscii(x) < LowerAscii(y); });
}

std::size_t FindIgnoringAsciiCase(std::string_view haystack, std::string_view lowerNeedle, std::size_t from)
{
    if (lowerNeedle.size() > haystack.size())
        return std::string_view::npos;
    for (std::size_t i = from; i + lowerNeedle.size() <= haystack.size(); ++i) {
        std::size_t k = 0;
        while (k < lowerNeedle.size() && LowerAscii(haystack[i + k]) == lowerNeedle[k])
            ++k;
        if (k == lowerNeedle.size())
            return i;
    }
    return std::string_view::npos;
}
