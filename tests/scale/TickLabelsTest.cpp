#include <gtest/gtest.h>

#include "platform/os/DateTime.h"
#include "scale/TickLabels.h"

namespace {

TEST(FormatTickNumber, FixedAndExponentForms)
{
    struct Row {
        double value;
        int decimals;
        const char* expected;
    } rows[] = {
        {0.2, 2, "0.20"},
        {-1.25, 2, "-1.25"},
        {20, 0, "20"},
        {-0.001, 2, "0.00"},
        {1000000, -1, " 1.0E+06"},
        {500000, -1, " 5.0E+05"},
        {-0.000123, -1, "-1.2E-04"},
        {0, -1, " 0.0E+00"},
        {9.96, -1, " 1.0E+01"},
        {-1.0e-120, -1, "********"},
        {3e150, -1, "********"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.value << " with " << r.decimals);
        EXPECT_EQ(FormatTickNumber(r.value, r.decimals), QString(r.expected));
    }
}

TEST(ApplyInscript, WrapsAroundTheAmpersandOrPrefixes)
{
    struct Row {
        const char *label, *inscript, *expected;
    } rows[] = {{"20", "& kg", "20 kg"}, {"20", "(&)", "(20)"}, {"20", "$", "$20"}, {"20", "&%", "20%"},
        {"20", "ab", "ab20"}, {"", "& kg", ""}, {"20", "", "20"}, {"5", "a&b&c", "a5b&c"}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.inscript);
        EXPECT_EQ(ApplyInscript(r.label, r.inscript), QString(r.expected));
    }
}

TEST(UserTickItem, PicksTheNthItemAndRepeatsTheLast)
{
    EXPECT_EQ(UserTickItem("Mo|Tu|We", 1), "Mo");
    EXPECT_EQ(UserTickItem("Mo|Tu|We", 3), "We");
    EXPECT_EQ(UserTickItem("Mo|Tu|We", 5), "We");
    EXPECT_EQ(UserTickItem("a||b", 2), "");
    EXPECT_EQ(UserTickItem("a|", 2), "");
    EXPECT_EQ(UserTickItem("", 1), "");
}

TEST(FormatTimeOfDay, SignHoursMinutesSecondsAndMilliseconds)
{
    EXPECT_EQ(FormatTimeOfDay(-75.5, true), "-00:01:15.500");
    EXPECT_EQ(FormatTimeOfDay(3725, false), " 01:02:05");
    EXPECT_EQ(FormatTimeOfDay(360000, false), " 100:00:00");
    // a tick summed a hair below a whole second keeps that second
    EXPECT_EQ(FormatTimeOfDay(2.9999999999, false), " 00:00:03");
    EXPECT_EQ(FormatTimeOfDay(0.7 - 1e-12, true), " 00:00:00.700");
}

TEST(FormatTimeOfDay, HoursBeyondALongLongAreStars)
{
    const struct {
        double seconds;
        bool withMillis;
        const char* text;
    } rows[] = {
        {1e22, false, " 2777777777777777664:00:00"},  // hours still shown, to the precision of a double
        {1e23, false, " **:**:**"},
        {-1e23, true, "-**:**:**.***"},
        {9223372036854775808.0 * 3600.0, false, " **:**:**"},  // 2^63 hours
        {-1e308, false, "-**:**:**"},
        {1.7976931348623157e308, true, " **:**:**.***"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.seconds);
        EXPECT_EQ(FormatTimeOfDay(row.seconds, row.withMillis), row.text);
    }
}

TEST(DatePattern, OrderAndYearLength)
{
    struct Row {
        TDateOrder order;
        TYearLength year;
        bool monthName;
        const char* expected;
    } rows[] = {
        {doMMDDYY, ylYYYY, true, "mmm\"-\"dd\"-\"yyyy"},
        {doDDMMYY, ylYY, false, "dd\"-\"mm\"-\"yy"},
        {doYYMMDD, ylYYYY, false, "yyyy\"-\"mm\"-\"dd"},
        {doMMDDYY, ylNone, true, "mmm\"-\"dd"},
        {doDDMMYY, ylNone, false, "dd\"-\"mm"},
        {doYYMMDD, ylNone, false, "mm\"-\"dd"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.expected);
        DateLabelFormat f;
        f.DateOrder = r.order;
        f.YearLength = r.year;
        f.MonthName = r.monthName;
        EXPECT_EQ(DatePattern(f), QString(r.expected));
    }
}

TEST(FormatDateTimeValue, NegativeValuesKeepTheirTimeOfDay)
{
    // -1.25 is 18:00 on 28 December 1899
    EXPECT_EQ(FormatDateTimeValue("dd\".\"mm\".\"yyyy hh:nn", -1.25), "28.12.1899 18:00");
    EXPECT_EQ(FormatDateTimeValue("dd\".\"mm\".\"yyyy hh:nn", 1e-9), "30.12.1899 00:00");
    EXPECT_EQ(FormatDateTimeValue("dd\".\"mm\".\"yyyy hh:nn", 2.5), "01.01.1900 12:00");
}

TEST(SubDayTimePattern, ClockStylesPerMode)
{
    const double eight = EncodeDate(2020, 1, 1) + 8.0 / 24;
    const double eightOFive = eight + 5.0 / 1440;
    struct Row {
        SubDayMode mode;
        TTimeFormat format;
        double value;
        const char* expected;
    } rows[] = {
        {SubDayMode::Hours, tfHHMMSS, eight, "08:00"},
        {SubDayMode::Hours, tfHHhMM, eight, "8h"},
        {SubDayMode::Minutes, tfHHhMM, eightOFive, "8h05"},
        {SubDayMode::Hours, tfAMPM, EncodeDate(2020, 1, 1), "12am"},
        {SubDayMode::Minutes, tfAMPM, eightOFive + 0.5, "8:05pm"},
        {SubDayMode::Seconds, tfHHMMSS, eightOFive + 7.0 / 86400, "08:05:07"},
        {SubDayMode::Seconds, tfAMPM, eightOFive + 7.0 / 86400, "8:05.07am"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.expected);
        EXPECT_EQ(FormatDateTimeValue(SubDayTimePattern(r.mode, r.format, ':'), r.value), QString(r.expected));
    }
}

TEST(MonthAndYearLabels, FollowOrderAndYearLength)
{
    DateLabelFormat f;
    f.MonthName = false;
    f.DateSeparator = '/';
    EXPECT_EQ(FormatDateTimeValue(MonthPattern(f), EncodeDate(2021, 4, 1)), "04/2021");
    f.DateOrder = doYYMMDD;
    EXPECT_EQ(FormatDateTimeValue(MonthPattern(f), EncodeDate(2021, 4, 1)), "2021/04");
    f.YearLength = ylNone;
    EXPECT_EQ(FormatDateTimeValue(MonthPattern(f), EncodeDate(2021, 4, 1)), "04");
    EXPECT_EQ(YearLabel(850, ylYYYY), "850");
    EXPECT_EQ(YearLabel(2005, ylYY), "05");
    EXPECT_EQ(YearLabel(2005, ylNone), "");
}

}  // namespace
