#include "numlab/NumLabText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/os/DateTime.h"
#include "scale/Rounding.h"

namespace {

constexpr QChar kDegree(0x00B0);

// The signed 32-bit range: the zero-padded integer display shows values within it.
constexpr double kInt32Low = -2147483648.0;
constexpr double kInt32High = 2147483647.0;

// Bounds of the displays that work on 32-bit patterns (hexadecimal, binary, octal): signed or
// unsigned values.
constexpr double kPatternLow = kInt32Low;
constexpr double kPatternHigh = 4294967295.0;

// 2^63: the first value a signed 64-bit integer cannot hold.
constexpr double kInt64Limit = 9223372036854775808.0;

QString Printf(const char* format, int digits, double value)
{
    char buffer[512];
    const int n = std::snprintf(buffer, sizeof buffer, format, digits, value);
    if (n >= 0 && n < static_cast<int>(sizeof buffer))
        return QString::fromLatin1(buffer, n);
    std::string big(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(big.data(), big.size(), format, digits, value);
    big.resize(static_cast<std::size_t>(n));
    return QString::fromStdString(big);
}

// Rounding can leave "-0.00"; a value that shows as zero carries no sign.
QString DropNegativeZero(QString text)
{
    if (text.startsWith(u'-') &&
        std::all_of(text.begin() + 1, text.end(), [](QChar c) { return c == u'0' || c == u'.' || c == u','; }))
        text.remove(0, 1);
    return text;
}

QString NonFinite(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

QString Fixed(double value, int decimals)
{
    if (!std::isfinite(value))
        return NonFinite(value);
    return DropNegativeZero(Printf("%.*f", decimals, value));
}

QString General(double value, int digits)
{
    if (!std::isfinite(value))
        return NonFinite(value);
    return DropNegativeZero(Printf("%.*G", std::max(digits, 1), value));
}

QString Exponent(double value, int digits)
{
    if (!std::isfinite(value))
        return NonFinite(value);
    if (value == 0.0)
        value = 0.0;  // a negative zero shows no sign
    return Printf("%.*E", std::max(digits, 1) - 1, value);
}

// Low bits of the rounded value as a two's-complement pattern; the caller has checked the range.
std::uint64_t Pattern(double value)
{
    return static_cast<std::uint64_t>(static_cast<std::int64_t>(RoundHalfEven(value)));
}

QString LastDigits(std::uint64_t pattern, int base, int digits)
{
    QString text = QString::number(pattern, base).toUpper();
    if (text.size() < digits)
        text = QString(digits - text.size(), u'0') + text;
    return text.right(digits);
}

QString RightAligned(const QString& text, int width)
{
    return text.rightJustified(width, u' ');
}

// The integer part of a degree value, truncated toward zero; a negative value keeps its sign
// even when the whole degrees are 0, so that -0.5 does not read as +0.5.
QString WholeDegrees(double value)
{
    const QString whole = Fixed(std::trunc(value), 0);
    return (value < 0 && !whole.startsWith(u'-')) ? u'-' + whole : whole;
}

// Degrees alone, with minutes, or with minutes and seconds; d decimals on the last part.
QString DegreeText(double value, TDisplay type, int d)
{
    if (type == dtDeg)
        return Fixed(value, d) + kDegree;
    const double minutes = (std::fabs(value) - std::trunc(std::fabs(value))) * 60.0;
    const QString degrees = WholeDegrees(value) + kDegree + u' ';
    if (type == dtDegMin)
        return degrees + RightAligned(Fixed(minutes, d), d + 3) + u'\'';
    const double seconds = (minutes - std::trunc(minutes)) * 60.0;
    return degrees + RightAligned(Fixed(std::trunc(minutes), 0), 2) + QStringLiteral("' ") +
        RightAligned(Fixed(seconds, d), d + 3) + u'"';
}

// The text of the display type alone; false when the value is out of the type's range.
bool DisplayText(double value, const TNumLabTextSettings& s, QString& text)
{
    const int p = std::clamp(s.Precision, 0, MaxNumLabPrecision);
    const bool patternRange = value >= kPatternLow && value <= kPatternHigh;  // false for NaN
    switch (s.DisplayType) {
    case dtFloat: text = General(value, p); return true;
    case dtFixP: text = Fixed(value, p); return true;
    case dtExp: text = Exponent(value, p); return true;
    case dtHex:
        if (!patternRange)
            return false;
        text = LastDigits(Pattern(value), 16, std::min(p, 8));
        return true;
    case dtZeroInt: {
        if (!(value >= kInt32Low && value <= kInt32High))
            return false;
        const auto n = static_cast<std::int64_t>(RoundHalfEven(value));
        const QString digits = QString::number(n < 0 ? -n : n).rightJustified(p, u'0');
        text = n < 0 ? u'-' + digits : digits;
        return true;
    }
    case dtInt: {
        const double r = RoundHalfEven(value);
        if (!(r >= -kInt64Limit && r < kInt64Limit))
            return false;
        text = QString::number(static_cast<std::int64_t>(r));
        return true;
    }
    case dtDateTime: {
        // Only the years 1 to 9999 have a four-digit text; the decoder rounds to the millisecond
        // as the formatter does, so a value just short of a boundary is judged by its shown day.
        int year = 0, month = 0, day = 0;
        if (!DecodeDate(value, year, month, day) || year > MaxDateTimeYear)
            return false;
        text = FormatDateTime(s.DTFormat, value);
        return true;
    }
    case dtState: text = s.StateText; return true;
    case dtBin:
        if (!patternRange)
            return false;
        text = LastDigits(Pattern(value), 2, p);
        return true;
    case dtOct:
        if (!patternRange)
            return false;
        text = LastDigits(Pattern(value), 8, std::min(p, 11));
        return true;
    case dtDeg:
    case dtDegMin:
    case dtDegMinSec:
        if (!std::isfinite(value))
            return false;
        text = DegreeText(value, s.DisplayType, std::min(p, 8));
        return true;
    }
    return false;
}

}  // namespace

QString NumLabValueText(double value, const TNumLabTextSettings& settings)
{
    QString text;
    // The indicator is shown as it is: no separator replacement and no plus sign in front.
    if (!DisplayText(value, settings, text))
        return settings.OverflowIndicator;
    switch (settings.DisplayType) {
    case dtHex:
    case dtDateTime:
    case dtState:
    case dtBin: return text;
    default: break;
    }
    if (settings.Comma)
        text.replace(u'.', u',');
    else
        text.replace(u',', u'.');
    if (settings.ForcePlusSign && value > 0)
        text.prepend(u'+');
    return text;
}
