#include <cmath>
#include <limits>
#include <stdexcept>

#include <gtest/gtest.h>

#include <QDate>
#include <QLocale>

#include "platform/os/DateTime.h"

namespace {

struct CLocale : ::testing::Test {
    void SetUp() override { QLocale::setDefault(QLocale::c()); }
};

TEST(DateTime, KnownDaysOfTheCalendar)
{
    struct Row {
        int y, m, d;
        double day;
    } rows[] = {
        {1899, 12, 30, 0},
        {1899, 12, 31, 1},
        {1900, 1, 1, 2},
        {1900, 3, 1, 61},
        {2000, 1, 1, 36526},
        {2000, 2, 29, 36585},
        {1, 1, 1, MinDateTimeDay},
        {9999, 12, 31, MaxDateTimeDay},
        {1582, 10, 15, -115858},
        {1899, 12, 29, -1},
        // calendar axes reach day 3000000, past the last day of year 9999
        {10000, 1, 1, MaxDateTimeDay + 1},
        {10113, 9, 19, 3000000},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(::testing::Message() << r.y << "-" << r.m << "-" << r.d);
        EXPECT_EQ(EncodeDate(r.y, r.m, r.d), r.day);
        int y = 0, m = 0, d = 0;
        EXPECT_TRUE(DecodeDate(r.day < 0 ? r.day - 0.75 : r.day + 0.75, y, m, d));
        EXPECT_EQ(y, r.y);
        EXPECT_EQ(m, r.m);
        EXPECT_EQ(d, r.d);
    }
}

TEST(DateTime, InvalidDatesAndTimesAreRefused)
{
    const int dates[][3] = {
        {1900, 2, 29}, {2023, 4, 31}, {0, 1, 1}, {MaxEncodableYear + 1, 1, 1}, {2020, 13, 1}, {2020, 1, 0}};
    const int times[][4] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {-1, 0, 0, 0}};
    TDateTime out = 42;
    for (const auto& d : dates) {
        SCOPED_TRACE(::testing::Message() << d[0] << "-" << d[1] << "-" << d[2]);
        EXPECT_FALSE(TryEncodeDate(d[0], d[1], d[2], out));
        EXPECT_THROW(EncodeDate(d[0], d[1], d[2]), std::invalid_argument);
    }
    for (const auto& t : times) {
        SCOPED_TRACE(::testing::Message() << t[0] << ":" << t[1] << ":" << t[2] << "." << t[3]);
        EXPECT_FALSE(TryEncodeTime(t[0], t[1], t[2], t[3], out));
        EXPECT_THROW(EncodeTime(t[0], t[1], t[2], t[3]), std::invalid_argument);
    }
    EXPECT_EQ(out, 42);
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(2023, 0), 0);
}

TEST(DateTime, EncodeAndDecodeAgreeOverTheWholeRange)
{
    for (int day = MinDateTimeDay; day <= MaxDateTimeDay; day += 997) {
        int y = 0, m = 0, d = 0;
        ASSERT_TRUE(DecodeDate(day, y, m, d)) << day;
        ASSERT_EQ(EncodeDate(y, m, d), day) << y << "-" << m << "-" << d;
    }
}

// A negative value keeps its time of day in the magnitude of the fraction; values are
// rounded to the millisecond, which may carry into the next day.
TEST(DateTime, ValuesSplitIntoDateAndTime)
{
    struct Row {
        double value;
        bool valid;
        int y, m, d, h, n, s, ms;
    } rows[] = {
        {-1.25, true, 1899, 12, 29, 6, 0, 0, 0},
        {-2.75, true, 1899, 12, 28, 18, 0, 0, 0},  // how the scale formats 18:00 of day -2
        {-0.5, true, 1899, 12, 30, 12, 0, 0, 0},
        {EncodeDate(2021, 3, 4) + EncodeTime(13, 45, 30, 250), true, 2021, 3, 4, 13, 45, 30, 250},
        {1.0 - 1e-10, true, 1899, 12, 31, 0, 0, 0, 0},
        {MinDateTimeDay - 1, false, 0, 0, 0, 0, 0, 0, 0},
        {std::numeric_limits<double>::quiet_NaN(), false, 0, 0, 0, 0, 0, 0, 0},
        {1e300, false, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.value);
        int y = -1, m = -1, d = -1, h = -1, n = -1, s = -1, ms = -1;
        EXPECT_EQ(DecodeDate(r.value, y, m, d), r.valid);
        EXPECT_EQ(y, r.y);
        EXPECT_EQ(m, r.m);
        EXPECT_EQ(d, r.d);
        if (r.valid) {
            DecodeTime(r.value, h, n, s, ms);
            EXPECT_EQ(h, r.h);
            EXPECT_EQ(n, r.n);
            EXPECT_EQ(s, r.s);
            EXPECT_EQ(ms, r.ms);
        }
    }
}

TEST(DateTime, TimeStampsCountDaysFromYearOne)
{
    const TTimeStamp epoch = DateTimeToTimeStamp(0.5);
    EXPECT_EQ(epoch.Date, 693594);
    EXPECT_EQ(epoch.Time, 43200000);
    EXPECT_EQ(DateTimeToTimeStamp(MinDateTimeDay).Date, 1);
    const TTimeStamp early = DateTimeToTimeStamp(EncodeDate(1899, 12, 30) + EncodeTime(1, 2, 3, 4));
    EXPECT_EQ(early.Date, DateDelta);
    EXPECT_EQ(early.Time, ((1 * 60 + 2) * 60 + 3) * 1000 + 4);
    EXPECT_EQ(DateTimeToTimeStamp(EncodeDate(2000, 1, 1)).Date, 730120);
    for (double v : {0.0, 36526.125, -1.25, -693593.0, 2958465.999}) {
        SCOPED_TRACE(v);
        EXPECT_NEAR(TimeStampToDateTime(DateTimeToTimeStamp(v)), v, 1e-8);
    }
}

TEST(DateTime, DayOfWeekCountsFromSunday)
{
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7);  // Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 1, 1)), 2);    // Monday
    EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 2);
    EXPECT_EQ(DayOfWeek(EncodeDate(2021, 3, 7) + 0.9), 1);
}

TEST(DateTime, NowIsTodayInLocalTime)
{
    const QDate today = QDate::currentDate();
    int y = 0, m = 0, d = 0;
    ASSERT_TRUE(DecodeDate(Now(), y, m, d));
    // allow the date to roll over between the two readings
    const QDate got(y, m, d);
    EXPECT_LE(std::abs(got.daysTo(today)), 1);
}

TEST_F(CLocale, FormatDateTimePatterns)
{
    const TDateTime v = EncodeDate(2021, 3, 4) + EncodeTime(5, 6, 7, 8);
    const TDateTime afternoon = EncodeDate(2021, 3, 4) + EncodeTime(13, 5, 0, 0);
    const TDateTime halfPastMidnight = EncodeDate(2021, 3, 4) + EncodeTime(0, 30, 0, 0);
    const TDateTime eight = EncodeTime(8, 5, 0, 0);
    struct Row {
        const char* pattern;
        TDateTime value;
        const char* expected;
    } rows[] = {
        {"yyyy-mm-dd hh:nn:ss.zzz", v, "2021-03-04 05:06:07.008"},
        {"d/m/yy h:n:s.z", v, "4/3/21 5:6:7.8"},
        {"hh:mm", v, "05:06"},  // m right after an hour means minutes
        {"mm hh mm", v, "03 05 06"},
        {"mmm-dd, yyyy", v, "Mar-04, 2021"},  // the numeric label's default
        {"mmmm dddd ddd", v, "March Thursday Thu"},
        {"h:nn am/pm", halfPastMidnight, "12:30 am"},
        {"h:nn am/pm", afternoon, "1:05 pm"},
        {"hh AM/PM", EncodeTime(12, 0, 0, 0), "12 PM"},
        {"ham/pm", eight, "8am"},
        {"h\"h\"nn", eight, "8h05"},
        {"hh\":\"nn", eight, "08:05"},
        {"am/pm hh", afternoon, "pm 01"},
        {"h a/p", afternoon, "1 p"},
        {"h A/P", eight, "8 A"},
        {"ss.zz", EncodeTime(0, 0, 1, 50), "01.50"},
        {"ss.zz", EncodeTime(0, 0, 1, 5), "01.05"},
        {"ss.zz", EncodeTime(0, 0, 1, 500), "01.500"},
        {"yyyy yy", EncodeDate(850, 6, 1), "0850 50"},
        {"'dd' \"mm\" dd", v, "dd mm 04"},
        {"x-q!", v, "x-q!"},
        {"dd \"unterminated", v, "04 unterminated"},
        {"dd.mm.yyyy hh:nn", -2.75, "28.12.1899 18:00"},
        {"", v, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.pattern);
        EXPECT_EQ(FormatDateTime(QString::fromUtf8(r.pattern), r.value), QString::fromUtf8(r.expected));
    }
}

TEST_F(CLocale, FormatDateTimeTokenBoundaries)
{
    const TDateTime v = EncodeDate(2021, 3, 4) + EncodeTime(5, 6, 7, 8);
    const TDateTime afternoon = EncodeDate(2021, 3, 4) + EncodeTime(13, 5, 0, 0);
    struct Row {
        const char* pattern;
        TDateTime value;
        const char* expected;
    } rows[] = {
        {"h:m", v, "5:6"},                        // only letters break the hour-minute link
        {"hxm", v, "5x3"},                        // another letter does: m is the month again
        {"HH:MM", v, "05:06"},                    // letters in any case
        {"y yyy mmmmm", v, "21 2021 March"},      // short and long runs round to the nearest form
        {"zzzz", v, "008"},                       // at most three digits of milliseconds
        {"aam/pm h", afternoon, "apm 1"},         // an a that starts no marker is a letter
        {"h a", afternoon, "13 a"},               // and keeps the 24-hour clock
        {"hh \"am/pm\"", afternoon, "13 am/pm"},  // a quoted marker is text
        {"h ampm", afternoon, "1 PM"},            // the locale's marker
        {"h AMPM", EncodeTime(9, 0, 0, 0), "9 AM"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.pattern);
        EXPECT_EQ(FormatDateTime(QString::fromUtf8(r.pattern), r.value), QString::fromUtf8(r.expected));
    }
}

TEST_F(CLocale, MonthAndDayNamesFollowTheDefaultLocale)
{
    EXPECT_EQ(ShortMonthName(1), QStringLiteral("Jan"));
    EXPECT_EQ(LongMonthName(12), QStringLiteral("December"));
    EXPECT_EQ(ShortDayName(1), QStringLiteral("Sun"));
    EXPECT_EQ(LongDayName(7), QStringLiteral("Saturday"));
    EXPECT_TRUE(ShortMonthName(0).isEmpty());
    EXPECT_TRUE(ShortMonthName(13).isEmpty());
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(LongMonthName(3), QStringLiteral("März"));
    EXPECT_EQ(FormatDateTime(QStringLiteral("mmmm"), EncodeDate(2021, 3, 4)), QStringLiteral("März"));
    QLocale::setDefault(QLocale::c());
}

}  // namespace
