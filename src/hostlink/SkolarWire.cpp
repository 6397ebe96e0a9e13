#include "hostlink/SkolarWire.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace {
// Julian day number of 31 December of year 0 in the proleptic Gregorian calendar, so that 1 January of
// year 1 becomes day 1.
constexpr qint64 JulianDayBeforeYearOne = 1721425;
}  // namespace

TSkolarStamp SkolarStampOf(const QDateTime& LocalTime)
{
    TSkolarStamp stamp;
    stamp.Time = LocalTime.time().msecsSinceStartOfDay();
    stamp.Date = static_cast<int32_t>(LocalTime.date().toJulianDay() - JulianDayBeforeYearOne);
    return stamp;
}

TSkolarStamp SkolarStampNow()
{
    return SkolarStampOf(QDateTime::currentDateTime());
}
