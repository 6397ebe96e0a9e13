#pragma once

// Calendar values: days since 30 December 1899, the time of day as the
// fraction (day -693593 is 1 January of year 1, day 2958465 is 31 December
// 9999). The proleptic Gregorian calendar is used throughout.
//
// A negative value keeps the time of day in the magnitude of its fraction:
// -1.25 is 29 December 1899, 06:00 (the day is the value truncated toward
// zero). Values are rounded to whole milliseconds before they are split.

#include <cstdint>

#include <QString>

using TDateTime = double;

constexpr int DateDelta = 693594;        // days from 1 January of year 1 (day 1) to 30 December 1899
constexpr int MinDateTimeDay = -693593;  // 1 January of year 1
constexpr int MaxDateTimeDay = 2958465;  // 31 December 9999
constexpr int MaxDateTimeYear = 9999;    // the last year with a four-digit text
constexpr int HoursPerDay = 24;
constexpr int MinsPerDay = 1440;
constexpr int SecsPerDay = 86400;
constexpr std::int64_t MSecsPerDay = 86400000;

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);  // 0 for a month outside 1..12

// Years 1..MaxEncodableYear: calendar axes reach past 31 December 9999 (up to
// LastCalendarAxisDay), so dates beyond it encode and decode as well. The Try form
// reports an invalid date; the other throws std::invalid_argument.
constexpr int MaxEncodableYear = 999999;
constexpr double LastCalendarAxisDay = 3000000;
[[nodiscard]] bool TryEncodeDate(int year, int month, int day, TDateTime& result);
TDateTime EncodeDate(int year, int month, int day);
[[nodiscard]] bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result);
TDateTime EncodeTime(int hour, int minute, int second, int msec);

// Works for every day from 1 January of year 1 on; earlier values, and values
// no calendar can hold (NaN, beyond 1e11 days), give false and zeros.
[[nodiscard]] bool DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec);
// Day of the week, 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime value);

// Whole days and milliseconds of the day, rounded to the millisecond.
struct TTimeStamp {
    std::int32_t Time = 0;  // milliseconds since midnight
    std::int32_t Date = 0;  // days since 1 January of year 1, that day being 1
    friend bool operator==(const TTimeStamp&, const TTimeStamp&) = default;
};
TTimeStamp DateTimeToTimeStamp(TDateTime value);
TDateTime TimeStampToDateTime(const TTimeStamp& stamp);

// The local date and time now.
TDateTime Now();

// Month and day names of the current default locale (QLocale()).
QString ShortMonthName(int month);
QString LongMonthName(int month);
QString ShortDayName(int dayOfWeek);  // 1 = Sunday
QString LongDayName(int dayOfWeek);

// Pattern-based formatter. Letters (any case):
//   d dd ddd dddd   day, two-digit day, short and long day name
//   m mm mmm mmmm   month, two-digit month, short and long month name;
//                   m right after an h (letters only count) means minutes
//   yy yyyy         two-digit and four-digit year (y = yy, yyy = yyyy)
//   h hh            hour, two-digit hour
//   n nn  s ss      minutes, seconds (one or two digits)
//   z zz zzz        milliseconds with at least 1, 2 or 3 digits
//   am/pm a/p ampm  12-hour clock for every hour of the pattern, hour 0 shown as 12;
//                   am/pm and a/p keep the letter case of the pattern
//   "..." '...'     literal text
// Every other character, other letters included, is copied as it is.
QString FormatDateTime(const QString& pattern, TDateTime value);
