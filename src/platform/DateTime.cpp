#include "platform/DateTime.h"

#include <cmath>
#include <stdexcept>

#include <QDateTime>
#include <QLocale>

namespace {

// Howard Hinnant's civil-calendar conversions, counted from 1970-01-01.
constexpr std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + std::int64_t(doe) - 719468;
}

struct Civil {
    std::int64_t year;
    unsigned month;
    unsigned day;
};

constexpr Civil CivilFromDays(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {std::int64_t(yoe) + era * 400 + (m <= 2), m, d};
}

constexpr std::int64_t kEpochOffset = DaysFromCivil(1899, 12, 30);  // day 0 of TDateTime, from 1970
static_assert(DaysFromCivil(1, 1, 1) - kEpochOffset == MinDateTimeDay);
static_assert(DaysFromCivil(9999, 12, 31) - kEpochOffset == MaxDateTimeDay);

// Rounded to the millisecond; false for values no calendar can hold.
bool SplitMs(TDateTime value, std::int64_t& day, std::int64_t& msOfDay)
{
    if (!std::isfinite(value) || std::fabs(value) > 1e11)
        return false;
    const std::int64_t ms = std::llround(value * double(MSecsPerDay));
    day = ms / MSecsPerDay;  // toward zero
    msOfDay = (ms < 0 ? -ms : ms) % MSecsPerDay;
    return true;
}

QString Padded(std::int64_t v, int digits)
{
    return QStringLiteral("%1").arg(v, digits, 10, QLatin1Char('0'));
}

}  // namespace

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& result)
{
    if (year < 1 || year > MaxEncodableYear || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    result = double(DaysFromCivil(year, unsigned(month), unsigned(day)) - kEpochOffset);
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime result = 0;
    if (!TryEncodeDate(year, month, day, result))
        throw std::invalid_argument(
            "invalid date " + std::to_string(year) + "-" + std::to_string(month) + "-" + std::to_string(day));
    return result;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 || msec > 999)
        return false;
    result = double(((hour * 60 + minute) * 60 + second) * 1000 + msec) / double(MSecsPerDay);
    return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec)
{
    TDateTime result = 0;
    if (!TryEncodeTime(hour, minute, second, msec, result))
        throw std::invalid_argument("invalid time");
    return result;
}

bool DecodeDate(TDateTime value, int& year, int& month, int& day)
{
    year = month = day = 0;
    std::int64_t d = 0;
    std::int64_t ms = 0;
    if (!SplitMs(value, d, ms) || d < MinDateTimeDay)
        return false;
    const Civil c = CivilFromDays(d + kEpochOffset);
    year = int(c.year);
    month = int(c.month);
    day = int(c.day);
    return true;
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec)
{
    std::int64_t d = 0;
    std::int64_t ms = 0;
    if (!SplitMs(value, d, ms))
        ms = 0;
    hour = int(ms / 3600000);
    minute = int(ms / 60000 % 60);
    second = int(ms / 1000 % 60);
    msec = int(ms % 1000);
}

int DayOfWeek(TDateTime value)
{
    std::int64_t d = 0;
    std::int64_t ms = 0;
    if (!SplitMs(value, d, ms))
        return 0;
    const std::int64_t serial = d + DateDelta;  // 1 January of year 1 (a Monday) is 1
    return int(((serial % 7) + 7) % 7) + 1;
}

TTimeStamp DateTimeToTimeStamp(TDateTime value)
{
    std::int64_t d = 0;
    std::int64_t ms = 0;
    if (!SplitMs(value, d, ms))
        return {};
    return {std::int32_t(ms), std::int32_t(d + DateDelta)};
}

TDateTime TimeStampToDateTime(const TTimeStamp& stamp)
{
    const double day = double(stamp.Date) - DateDelta;
    const double time = double(stamp.Time) / double(MSecsPerDay);
    return day < 0 ? day - time : day + time;
}

TDateTime Now()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return double(DaysFromCivil(d.year(), unsigned(d.month()), unsigned(d.day())) - kEpochOffset) +
        double(t.msecsSinceStartOfDay()) / double(MSecsPerDay);
}

QString ShortMonthName(int month)
{
    return month >= 1 && month <= 12 ? QLocale().monthName(month, QLocale::ShortFormat) : QString();
}

QString LongMonthName(int month)
{
    return month >= 1 && month <= 12 ? QLocale().monthName(month, QLocale::LongFormat) : QString();
}

// QLocale counts Monday as 1 and Sunday as 7.
QString ShortDayName(int dayOfWeek)
{
    return dayOfWeek >= 1 && dayOfWeek <= 7
        ? QLocale().dayName(dayOfWeek == 1 ? 7 : dayOfWeek - 1, QLocale::ShortFormat)
        : QString();
}

QString LongDayName(int dayOfWeek)
{
    return dayOfWeek >= 1 && dayOfWeek <= 7 ? QLocale().dayName(dayOfWeek == 1 ? 7 : dayOfWeek - 1, QLocale::LongFormat)
                                            : QString();
}

QString FormatDateTime(const QString& pattern, TDateTime value)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
    DecodeDate(value, year, month, day);
    DecodeTime(value, hour, minute, second, msec);
    const int dow = DayOfWeek(value);

    QString out;
    const qsizetype n = pattern.size();
    QChar lastLetter;
    qsizetype i = 0;

    auto startsWith = [&](qsizetype at, QLatin1String what) {
        return pattern.mid(at, what.size()).compare(what, Qt::CaseInsensitive) == 0;
    };
    // Any am/pm marker outside quotes puts every hour of the pattern on the 12-hour clock.
    const bool twelveHour = [&] {
        QChar quote;
        for (qsizetype k = 0; k < n; ++k) {
            const QChar c = pattern[k];
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
            } else if (c == u'"' || c == u'\'') {
                quote = c;
            } else if ((c == u'a' || c == u'A') &&
                (startsWith(k, QLatin1String("am/pm")) || startsWith(k, QLatin1String("a/p")) ||
                    startsWith(k, QLatin1String("ampm")))) {
                return true;
            }
        }
        return false;
    }();

    while (i < n) {
        const QChar c = pattern[i];
        if (c == u'"' || c == u'\'') {
            const qsizetype close = pattern.indexOf(c, i + 1);
            const qsizetype end = close < 0 ? n : close;
            out += pattern.mid(i + 1, end - i - 1);
            i = close < 0 ? n : close + 1;
            continue;
        }
        QChar token = c.toUpper();
        if (token < u'A' || token > u'Z') {
            out += c;
            ++i;
            continue;
        }
        if (token == u'M' && lastLetter == u'H')
            token = QChar(u'N');
        lastLetter = token;

        qsizetype count = 1;
        while (i + count < n && pattern[i + count].toUpper() == c.toUpper())
            ++count;

        switch (token.unicode()) {
        case u'Y': out += count <= 2 ? Padded(year % 100, 2) : Padded(year, 4); break;
        case u'M':
            if (count == 1)
                out += QString::number(month);
            else if (count == 2)
                out += Padded(month, 2);
            else if (count == 3)
                out += ShortMonthName(month);
            else
                out += LongMonthName(month);
            break;
        case u'D':
            if (count == 1)
                out += QString::number(day);
            else if (count == 2)
                out += Padded(day, 2);
            else if (count == 3)
                out += ShortDayName(dow);
            else
                out += LongDayName(dow);
            break;
        case u'H': {
            int h = hour;
            if (twelveHour) {
                h = hour % 12;
                if (h == 0)
                    h = 12;
            }
            out += count == 1 ? QString::number(h) : Padded(h, 2);
            break;
        }
        case u'N': out += count == 1 ? QString::number(minute) : Padded(minute, 2); break;
        case u'S': out += count == 1 ? QString::number(second) : Padded(second, 2); break;
        case u'Z': out += Padded(msec, int(count > 3 ? 3 : count)); break;
        case u'A':
            if (startsWith(i, QLatin1String("am/pm"))) {
                out += hour >= 12 ? pattern.mid(i + 3, 2) : pattern.mid(i, 2);
                i += 5;
            } else if (startsWith(i, QLatin1String("a/p"))) {
                out += hour >= 12 ? pattern[i + 2] : pattern[i];
                i += 3;
            } else if (startsWith(i, QLatin1String("ampm"))) {
                out += hour >= 12 ? QLocale().pmText() : QLocale().amText();
                i += 4;
            } else {
                out += c;
                i += 1;
            }
            continue;
        default: out += pattern.mid(i, count); break;
        }
        i += count;
    }
    return out;
}
