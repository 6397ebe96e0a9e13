#pragma once
// Label texts of axis ticks: numbers, inscripts, user texts, times of day and calendar values.
// Pure functions of their arguments, so the tick rules and the chart's axis settings share them.

#include <QString>

#include "scale/Quarn_quarnbase.h"

// Fixed notation with `decimals` digits (0..12), or for a negative count the short exponent
// form " 1.0E+06"; an exponent that needs more than two digits gives a row of "*".
QString FormatTickNumber(double value, int decimals);

// The inscript wraps a label around its first "&", or is put in front of it.
QString ApplyInscript(const QString& label, const QString& inscript);

// Item n (1-based) of a "|"-separated list; past the end the last item again.
QString UserTickItem(const QString& text, int n);

// Sign character, then hh:nn:ss, optionally with ".zzz".
QString FormatTimeOfDay(double seconds, bool withMillis);

// Pattern of the date line under sub-day calendar labels (and of day labels).
QString DatePattern(const DateLabelFormat& format);
QString DatePattern(const TDTLabel& label);

// Calendar values less than this many days apart (under a millisecond) count as equal: a tick
// summed a hair past the end of a range is still on it, one a hair off day 0 is day 0.
constexpr double CalendarSlack = 1e-8;

// Formats a calendar value (days since 30 December 1899) with a date/time pattern; negative
// values keep their time of day as a fraction of the day before.
QString FormatDateTimeValue(const QString& pattern, double value);

enum class SubDayMode { Hours, Minutes, Seconds, Hundredths };
QString SubDayTimePattern(SubDayMode mode, TTimeFormat format, char timeSeparator);
QString MonthPattern(const DateLabelFormat& format);
// The year label of 1 January of `year`: empty without a year length, two digits, or the
// year without leading zeros.
QString YearLabel(int year, TYearLength length);
