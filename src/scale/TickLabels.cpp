#include "scale/TickLabels.h"

#include <cmath>
#include <cstdio>

#include "platform/os/DateTime.h"

namespace {

QString Quoted(char c)
{
    return QStringLiteral("\"") + QChar::fromLatin1(c) + QStringLiteral("\"");
}

QString FixedNotation(double value, int decimals)
{
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    QString text = QString::fromLatin1(buffer);
    // a value that rounds to zero has no sign
    if (text.startsWith(QLatin1Char('-'))) {
        bool allZero = true;
        for (QChar c : text)
            if (c.isDigit() && c != QLatin1Char('0'))
                allZero = false;
        if (allZero)
            text.remove(0, 1);
    }
    return text;
}

QString ExponentNotation(double value)
{
    // two significant digits, four exponent digits, then shortened to two
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.1E", std::fabs(value));
    QString body = QString::fromLatin1(buffer);  // d.dE+xx or d.dE+xxx
    const int ePos = body.indexOf(QLatin1Char('E'));
    const QString mantissa = body.left(ePos);
    const QChar expSign = body.at(ePos + 1);
    QString digits = body.mid(ePos + 2);
    while (digits.size() < 4)
        digits.prepend(QLatin1Char('0'));
    QString text = (value < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + mantissa + QStringLiteral("E") + expSign;
    if (digits.startsWith(QStringLiteral("00")))
        return text + digits.mid(2);
    text += digits.mid(2);
    return QString(text.size(), QLatin1Char('*'));
}

// 2^63: the first count of hours that does not fit in a long long.
constexpr double kHoursBeyondLongLong = 9223372036854775808.0;

}  // namespace

QString FormatTickNumber(double value, int decimals)
{
    if (!std::isfinite(value))
        return QString();
    if (decimals < 0)
        return ExponentNotation(value);
    return FixedNotation(value, std::min(decimals, 12));
}

QString ApplyInscript(const QString& label, const QString& inscript)
{
    if (label.isEmpty())
        return label;
    const int amp = inscript.indexOf(QLatin1Char('&'));
    if (amp < 0)
        return inscript + label;
    return inscript.left(amp) + label + inscript.mid(amp + 1);
}

QString UserTickItem(const QString& text, int n)
{
    if (text.isEmpty())
        return QString();
    const QStringList items = text.split(QLatin1Char('|'));
    if (n < 1)
        n = 1;
    if (n > items.size())
        n = static_cast<int>(items.size());
    return items.at(n - 1);
}

QString FormatTimeOfDay(double seconds, bool withMillis)
{
    if (!std::isfinite(seconds))
        return QString();
    // whole milliseconds first, so a tick computed a hair below a full second keeps its second
    const double totalMs = std::round(std::fabs(seconds) * 1000.0);
    const double wholeSeconds = std::floor(totalMs / 1000.0);
    const double hours = std::floor(wholeSeconds / 3600.0);
    // hours beyond a long long: the digits are shown as "*", as a number label shows an exponent
    // too long for it
    if (!(hours < kHoursBeyondLongLong)) {
        QString stars = seconds >= 0 ? QStringLiteral(" **:**:**") : QStringLiteral("-**:**:**");
        if (withMillis)
            stars += QStringLiteral(".***");
        return stars;
    }
    const long long ms = static_cast<long long>(std::fmod(totalMs, 1000.0));
    const long long h = static_cast<long long>(hours);
    const long long rest = static_cast<long long>(wholeSeconds - 3600.0 * static_cast<double>(h));
    const long long m = rest / 60;
    const long long s = rest % 60;
    QString text = seconds >= 0 ? QStringLiteral(" ") : QStringLiteral("-");
    text += QStringLiteral("%1:%2:%3")
                .arg(h, 2, 10, QLatin1Char('0'))
                .arg(m, 2, 10, QLatin1Char('0'))
                .arg(s, 2, 10, QLatin1Char('0'));
    if (withMillis)
        text += QStringLiteral(".%1").arg(ms, 3, 10, QLatin1Char('0'));
    return text;
}

QString DatePattern(const DateLabelFormat& format)
{
    const QString d = Quoted(format.DateSeparator);
    const QString m = format.MonthName ? QStringLiteral("mmm") : QStringLiteral("mm");
    const QString dd = QStringLiteral("dd");
    if (format.YearLength == ylNone) {
        return format.DateOrder == doDDMMYY ? dd + d + m : m + d + dd;
    }
    const QString y = format.YearLength == ylYY ? QStringLiteral("yy") : QStringLiteral("yyyy");
    switch (format.DateOrder) {
    case doMMDDYY: return m + d + dd + d + y;
    case doDDMMYY: return dd + d + m + d + y;
    case doYYMMDD: return y + d + m + d + dd;
    }
    return dd + d + m + d + y;
}

QString DatePattern(const TDTLabel& label)
{
    return DatePattern(label.Format());
}

QString FormatDateTimeValue(const QString& pattern, double value)
{
    if (std::fabs(value) < CalendarSlack)
        value = 0.0;
    if (value < 0) {
        const double day = std::floor(value);
        value = day - (value - day);
    }
    return FormatDateTime(pattern, value);
}

QString SubDayTimePattern(SubDayMode mode, TTimeFormat format, char timeSeparator)
{
    const QString t = Quoted(timeSeparator);
    const QString h = QStringLiteral("h\"h\"");
    switch (format) {
    case tfHHMMSS:
        switch (mode) {
        case SubDayMode::Hours:
        case SubDayMode::Minutes: return QStringLiteral("hh") + t + QStringLiteral("nn");
        case SubDayMode::Seconds: return QStringLiteral("hh") + t + QStringLiteral("nn") + t + QStringLiteral("ss");
        case SubDayMode::Hundredths:
            return QStringLiteral("hh") + t + QStringLiteral("nn") + t + QStringLiteral("ss.zz");
        }
        break;
    case tfHHhMM:
        switch (mode) {
        case SubDayMode::Hours: return h;
        case SubDayMode::Minutes: return h + QStringLiteral("nn");
        case SubDayMode::Seconds: return h + QStringLiteral("nn") + t + QStringLiteral("ss");
        case SubDayMode::Hundredths: return h + QStringLiteral("nn") + t + QStringLiteral("ss.zz");
        }
        break;
    case tfAMPM:
        switch (mode) {
        case SubDayMode::Hours: return QStringLiteral("ham/pm");
        case SubDayMode::Minutes: return QStringLiteral("h") + t + QStringLiteral("nnam/pm");
        case SubDayMode::Seconds: return QStringLiteral("h") + t + QStringLiteral("nn\".\"ssam/pm");
        case SubDayMode::Hundredths: return QStringLiteral("h") + t + QStringLiteral("nn\".\"ss.zzam/pm");
        }
        break;
    }
    return QStringLiteral("hh") + t + QStringLiteral("nn");
}

QString MonthPattern(const DateLabelFormat& format)
{
    const QString m = format.MonthName ? QStringLiteral("mmm") : QStringLiteral("mm");
    if (format.YearLength == ylNone)
        return m;
    const QString d = Quoted(format.DateSeparator);
    const QString y = format.YearLength == ylYY ? QStringLiteral("yy") : QStringLiteral("yyyy");
    return format.DateOrder == doYYMMDD ? y + d + m : m + d + y;
}

QString YearLabel(int year, TYearLength length)
{
    switch (length) {
    case ylNone: return QString();
    case ylYY: return QStringLiteral("%1").arg(year % 100, 2, 10, QLatin1Char('0'));
    case ylYYYY: return QString::number(year);
    }
    return QString::number(year);
}
