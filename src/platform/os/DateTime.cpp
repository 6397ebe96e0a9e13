#include "platform/os/DateTime.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <vector>

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

namespace {

// One piece of a date/time pattern: literal text, a field written with `count` letters, or an
// am/pm marker (its text as the pattern spells it).
struct PatternToken {
    enum Kind { Literal, Year, Month, Day, Hour, Minute, Second, Millis, AmPm, AP, LocaleAmPm };
    Kind kind = Literal;
    int count = 0;
    QString text;
};

bool StartsWithAt(const QString& pattern, qsizetype at, QLatin1String what)
{
    return pattern.mid(at, what.size()).compare(what, Qt::CaseInsensitive) == 0;
}

// The am/pm marker at `at`, if there is one there.
std::optional<PatternToken> AmPmAt(const QString& pattern, qsizetype at)
{
    if (StartsWithAt(pattern, at, QLatin1String("am/pm")))
        return PatternToken{PatternToken::AmPm, 5, pattern.mid(at, 5)};
    if (StartsWithAt(pattern, at, QLatin1String("a/p")))
        return PatternToken{PatternToken::AP, 3, pattern.mid(at, 3)};
    if (StartsWithAt(pattern, at, QLatin1String("ampm")))
        return PatternToken{PatternToken::LocaleAmPm, 4, {}};
    return std::nullopt;
}

PatternToken::Kind FieldOf(QChar letter)
{
    switch (letter.unicode()) {
    case u'Y': return PatternToken::Year;
    case u'M': return PatternToken::Month;
    case u'D': return PatternToken::Day;
    case u'H': return PatternToken::Hour;
    case u'N': return PatternToken::Minute;
    case u'S': return PatternToken::Second;
    case u'Z': return PatternToken::Millis;
    default: return PatternToken::Literal;
    }
}

// Splits a pattern into tokens: quoted text, runs of one letter (an m run right after an h run
// means minutes), am/pm markers, and every other character as literal text.
std::vector<PatternToken> TokenizePattern(const QString& pattern)
{
    std::vector<PatternToken> tokens;
    const qsizetype n = pattern.size();
    QChar lastLetter;
    qsizetype i = 0;
    while (i < n) {
        const QChar c = pattern[i];
        if (c == u'"' || c == u'\'') {
            const qsizetype close = pattern.indexOf(c, i + 1);
            const qsizetype end = close < 0 ? n : close;
            tokens.push_back({PatternToken::Literal, 0, pattern.mid(i + 1, end - i - 1)});
            i = close < 0 ? n : close + 1;
            continue;
        }
        const QChar letter = c.toUpper();
        if (letter < u'A' || letter > u'Z') {
            tokens.push_back({PatternToken::Literal, 0, QString(c)});
            ++i;
            continue;
        }
        const QChar field = letter == u'M' && lastLetter == u'H' ? QChar(u'N') : letter;
        lastLetter = field;
        if (field == u'A') {
            // a marker is read whole; an "a" that starts none is one literal letter
            const std::optional<PatternToken> marker = AmPmAt(pattern, i);
            tokens.push_back(marker ? *marker : PatternToken{PatternToken::Literal, 1, QString(c)});
            i += marker ? marker->count : 1;
            continue;
        }
        qsizetype count = 1;
        while (i + count < n && pattern[i + count].toUpper() == letter)
            ++count;
        const PatternToken::Kind kind = FieldOf(field);
        tokens.push_back({kind, int(count), kind == PatternToken::Literal ? pattern.mid(i, count) : QString()});
        i += count;
    }
    return tokens;
}

struct DateTimeParts {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0, dayOfWeek = 0;
    bool twelveHour = false;
};

// One or two digits: the number as it is, or padded to two.
QString OneOrTwo(int value, int count)
{
    return count == 1 ? QString::number(value) : Padded(value, 2);
}

QString FormatToken(const PatternToken& t, const DateTimeParts& p)
{
    const bool pm = p.hour >= 12;
    switch (t.kind) {
    case PatternToken::Literal: return t.text;
    case PatternToken::Year: return t.count <= 2 ? Padded(p.year % 100, 2) : Padded(p.year, 4);
    case PatternToken::Month:
        return t.count <= 2 ? OneOrTwo(p.month, t.count)
            : t.count == 3  ? ShortMonthName(p.month)
                            : LongMonthName(p.month);
    case PatternToken::Day:
        return t.count <= 2 ? OneOrTwo(p.day, t.count)
            : t.count == 3  ? ShortDayName(p.dayOfWeek)
                            : LongDayName(p.dayOfWeek);
    case PatternToken::Hour: {
        // the 12-hour clock shows hour 0 as 12
        const int h = !p.twelveHour ? p.hour : (p.hour % 12 == 0 ? 12 : p.hour % 12);
        return OneOrTwo(h, t.count);
    }
    case PatternToken::Minute: return OneOrTwo(p.minute, t.count);
    case PatternToken::Second: return OneOrTwo(p.second, t.count);
    case PatternToken::Millis: return Padded(p.msec, std::min(t.count, 3));
    case PatternToken::AmPm: return pm ? t.text.mid(3, 2) : t.text.left(2);
    case PatternToken::AP: return pm ? t.text.mid(2, 1) : t.text.left(1);
    case PatternToken::LocaleAmPm: return pm ? QLocale().pmText() : QLocale().amText();
    }
    return QString();
}

}  // namespace

QString FormatDateTime(const QString& pattern, TDateTime value)
{
    const std::vector<PatternToken> tokens = TokenizePattern(pattern);
    DateTimeParts parts;
    // a value no calendar holds formats as the zeros it decodes to
    static_cast<void>(DecodeDate(value, parts.year, parts.month, parts.day));
    DecodeTime(value, parts.hour, parts.minute, parts.second, parts.msec);
    parts.dayOfWeek = DayOfWeek(value);
    // any am/pm marker puts every hour of the pattern on the 12-hour clock
    parts.twelveHour = std::any_of(tokens.begin(), tokens.end(), [](const PatternToken& t) {
        return t.kind == PatternToken::AmPm || t.kind == PatternToken::AP || t.kind == PatternToken::LocaleAmPm;
    });
    QString out;
    for (const PatternToken& t : tokens)
        out += FormatToken(t, parts);
    return out;
}
