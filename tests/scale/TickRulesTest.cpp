#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/os/DateTime.h"
#include "scale/Quarn_Scale.h"
#include "scale/TickRules.h"

namespace {

std::vector<ScaleTick> Walk(const TickSettings& s, CalendarMessage* message = nullptr)
{
    ScaleTicks result = ComputeTicks(s);
    if (message)
        *message = result.message;
    return std::move(result.ticks);
}

TickSettings Range(double low, double high, int minTicks = 3)
{
    TickSettings s;
    s.low = low;
    s.high = high;
    s.minTicks = minTicks;
    return s;
}

std::vector<double> Values(const std::vector<ScaleTick>& ticks, bool labelled)
{
    std::vector<double> v;
    for (const ScaleTick& t : ticks)
        if (t.labelled == labelled && t.drawn)
            v.push_back(t.value);
    return v;
}

std::vector<QString> Labels(const std::vector<ScaleTick>& ticks)
{
    std::vector<QString> v;
    for (const ScaleTick& t : ticks)
        if (t.labelled)
            v.push_back(t.label);
    return v;
}

void ExpectValues(const std::vector<double>& actual, const std::vector<double>& expected, double tol = 1e-9)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], tol) << "tick " << i;
}

struct StepRow {
    const char* name;
    double low, high;
    int minTicks;
    double step, first;
    int sub;
};

TEST(ChooseTickStep, PicksOneTwoOrFiveTimesAPowerOfTen)
{
    const StepRow rows[] = {
        {"0..100 by 3", 0, 100, 3, 20, 0, 4},
        {"0..1 by 10 is exactly 0.1", 0, 1, 10, 0.1, 0, 5},
        {"reversed 100..0", 100, 0, 3, -20, 100, 4},
        {"first tick moves forward to 20", 3, 97, 3, 20, 20, 4},
        {"raw step exactly 5 keeps mantissa 2", -7.5, 7.5, 3, 2, -6, 4},
        {"negative exponent", 0, 0.05, 3, 0.01, 0, 5},
        {"mantissa 5", 0, 1800, 3, 500, 0, 5},
        {"negative range", -1000, -10, 4, 200, -1000, 4},
    };
    for (const StepRow& r : rows) {
        SCOPED_TRACE(r.name);
        const TickStep t = ChooseTickStep(r.minTicks, r.high, r.low);
        EXPECT_TRUE(t.ok);
        EXPECT_NEAR(t.step, r.step, 1e-12 * std::fabs(r.step));
        EXPECT_NEAR(t.first, r.first, 1e-9);
        EXPECT_EQ(t.sub, r.sub);
    }
}

TEST(TickWalk, DegenerateRangesEndWithoutTicks)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Row {
        const char* name;
        double low, high;
    } rows[] = {{"1e17 to 1e17 + 1", 1e17, 1e17 + 1}, {"step below the precision", 1e17, 1e17 + 32},
        {"infinite high end", 0, inf}, {"infinite low end", -inf, 0}, {"NaN", nan, 1},
        {"overflowing width", -1.7e308, 1.7e308}, {"equal ends", 5, 5}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        for (TFigType type : {ftNum, ftTime, ftDateTime}) {
            for (bool logarithmic : {false, true}) {
                TickSettings s = Range(r.low, r.high);
                s.labelType = type;
                s.logarithmic = logarithmic;
                int drawn = 0;
                for (const ScaleTick& t : ComputeTicks(s).ticks)
                    drawn += t.drawn;
                EXPECT_EQ(drawn, 0) << "type " << int(type) << " log " << logarithmic;
            }
        }
    }
    TickSettings log = Range(0, 1000);
    log.logarithmic = true;
    EXPECT_TRUE(Walk(log).empty()) << "a logarithmic range reaching zero";
}

void ExpectSameTicks(const std::vector<ScaleTick>& actual, const std::vector<ScaleTick>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "tick " << i);
        EXPECT_EQ(actual[i].value, expected[i].value);
        EXPECT_EQ(actual[i].length, expected[i].length);
        EXPECT_EQ(actual[i].drawn, expected[i].drawn);
        EXPECT_EQ(actual[i].label, expected[i].label);
    }
}

TEST(TickWalk, TickCountsAboveWhatATickListHoldsWalkLikeTheLargest)
{
    struct Row {
        const char* name;
        TFigType type;
        bool logarithmic;
        double low, high;
        int minTicks;
    } rows[] = {
        {"linear, 2000", ftNum, false, 0, 100, 2000},
        {"linear, a billion", ftNum, false, 0, 100, 1000000000},
        {"linear, widest range", ftNum, false, -1e300, 1e300, 900},
        {"time of day, one day at 10 000", ftTime, false, 0, 86400, 10000},
        {"time of day, a billion", ftTime, false, 0, 2.5e6, 1000000000},
        {"calendar, one day", ftDateTime, false, 0, 1, 100000},
        {"calendar, ten years", ftDateTime, false, 0, 3653, 1000000000},
        {"logarithmic", ftNum, true, 1, 1e10, 1000},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TickSettings s = Range(r.low, r.high, r.minTicks);
        s.labelType = r.type;
        s.logarithmic = r.logarithmic;
        const auto ticks = Walk(s);
        s.minTicks = TScale::MaxTicks;
        ExpectSameTicks(ticks, Walk(s));
        EXPECT_LE(ticks.size(), 10000u);
        EXPECT_FALSE(Values(ticks, true).empty());
    }
    const auto linear = Walk(Range(0, 100, 1000000000));
    EXPECT_DOUBLE_EQ(Values(linear, true).back(), 100) << "the walk reaches the high end";
}

TEST(TickWalk, CountsBelowOneAskForNoSteps)
{
    for (TFigType type : {ftNum, ftTime, ftDateTime}) {
        for (int minTicks : {0, -3}) {
            SCOPED_TRACE(testing::Message() << "type " << int(type) << ", " << minTicks);
            // ten years: a whole step would be the year walk's
            TickSettings s = Range(0, 3653, minTicks);
            s.labelType = type;
            CalendarMessage message = CalendarMessage::InvalidScale;
            EXPECT_TRUE(Walk(s, &message).empty());
            EXPECT_EQ(message, CalendarMessage::None);
        }
    }
}

TEST(LinearTicks, ShortTicksRecordEveryPositionOnHorizontalScales)
{
    const auto ticks = Walk(Range(0, 100));
    std::vector<double> shortValues, mainValues;
    for (const ScaleTick& t : ticks) {
        if (t.length == TickLength::Short) {
            EXPECT_TRUE(t.recorded);
            shortValues.push_back(t.value);
        } else {
            EXPECT_FALSE(t.recorded) << "main positions are recorded by the short-tick pass";
            EXPECT_FALSE(t.eventBeforeLabel);
            mainValues.push_back(t.value);
        }
    }
    std::vector<double> expectedShort;
    for (int i = 0; i <= 20; ++i)
        expectedShort.push_back(5.0 * i);
    ExpectValues(shortValues, expectedShort);
    ExpectValues(mainValues, {0, 20, 40, 60, 80, 100});
    EXPECT_EQ(Labels(ticks), (std::vector<QString>{"0", "20", "40", "60", "80", "100"}));
}

TEST(LinearTicks, VerticalScalesRecordMainTicksAndReportThemFirst)
{
    TickSettings s = Range(0, 100);
    s.vertical = true;
    for (const ScaleTick& t : Walk(s)) {
        EXPECT_TRUE(t.recorded);
        if (t.labelled) {
            EXPECT_TRUE(t.eventBeforeLabel);
        }
    }
    s.shortTicks = false;
    const auto ticks = Walk(s);
    ExpectValues(Values(ticks, true), {0, 20, 40, 60, 80, 100});
    EXPECT_EQ(ticks.size(), 6u);
}

TEST(LinearTicks, ReversedRangeRunsFromLowEndDown)
{
    TickSettings s = Range(100, 0);
    s.shortTicks = false;
    const auto ticks = Walk(s);
    ExpectValues(Values(ticks, true), {100, 80, 60, 40, 20, 0});
    for (const ScaleTick& t : ticks)
        EXPECT_TRUE(t.recorded);
}

TEST(LinearTicks, LabelsUseAutomaticDecimalsInscriptsAndUserTexts)
{
    TickSettings s = Range(0, 1);
    s.shortTicks = false;
    EXPECT_EQ(Labels(Walk(s)), (std::vector<QString>{"0.00", "0.20", "0.40", "0.60", "0.80", "1.00"}));
    s = Range(0, 10);
    s.shortTicks = false;
    s.inscript = "& kg";
    EXPECT_EQ(Labels(Walk(s)).front(), "0.0 kg");
    EXPECT_EQ(Labels(Walk(s)).back(), "10.0 kg");
    s = Range(0, 2000000);
    s.shortTicks = false;
    const auto big = Labels(Walk(s));
    ASSERT_EQ(big.size(), 5u);
    EXPECT_EQ(big[0], "0.0");
    EXPECT_EQ(big[1], " 5.0E+05");
    EXPECT_EQ(big[2], " 1.0E+06");
    s = Range(0, 100);
    s.labelType = ftUserText;
    s.userTickText = "Mo|Tu|We";
    s.inscript = "ignored";
    EXPECT_EQ(Labels(Walk(s)), (std::vector<QString>{"Mo", "Tu", "We", "We", "We", "We"}));
    s.labelType = ftNoFigs;
    EXPECT_TRUE(Labels(Walk(s)).empty());
}

TEST(LinearTicks, NumberLabelsAreCutToFourteenCharactersBeforeTheInscript)
{
    TickSettings s = Range(0, 300);
    s.decPlaces = 12;
    EXPECT_EQ(Labels(Walk(s)),
        (std::vector<QString>{"0.000000000000", "100.0000000000", "200.0000000000", "300.0000000000"}));
    s.inscript = "& V";
    EXPECT_EQ(Labels(Walk(s)).back(), "300.0000000000 V");
}

TEST(AutoDecimals, FollowTheWidthOfTheRange)
{
    struct Row {
        int decPlaces;
        double low, high;
        int expected;
    } rows[] = {{-2, 0, 1, 2}, {-2, 0, 10, 1}, {-3, 0, 10, 1}, {-2, 0, 100, 0}, {-2, 0, 2000000, -1},
        {-2, 0, 0.0001, -1}, {-2, 0, 0.001, 5}, {3, 0, 1, 3}, {-1, 0, 1, -1}};
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.decPlaces << " " << r.low << ".." << r.high);
        EXPECT_EQ(AutoDecimals(r.decPlaces, r.high, r.low), r.expected);
    }
    EXPECT_EQ(AutoLogDecimals(-2, 100, 0.01), 3);
    EXPECT_EQ(AutoLogDecimals(-2, 1000, 1), 0);
    EXPECT_EQ(AutoLogDecimals(-2, 1e7, 1), -1);
    EXPECT_EQ(AutoLogDecimals(-3, 1000, 1), -3);
}

TEST(LogTicks, DecadesOnlyUnlessMinTicksAsksForMore)
{
    TickSettings s = Range(1, 1000);
    s.logarithmic = true;
    ExpectValues(Values(Walk(s), true), {1, 10, 100, 1000});
    EXPECT_TRUE(Values(Walk(s), false).empty());

    s.minTicks = 5;
    const auto ticks = Walk(s);
    ExpectValues(Values(ticks, true), {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000}, 1e-9);
    EXPECT_EQ(Values(ticks, false).size(), 18u);
    for (const ScaleTick& t : ticks) {
        EXPECT_TRUE(t.eventBeforeLabel);
        EXPECT_TRUE(t.recorded);
        EXPECT_EQ(t.length, t.labelled ? TickLength::Main : TickLength::Short);
    }
}

TEST(LogTicks, IntermediatesWithoutShortTicksDependOnOrientation)
{
    TickSettings s = Range(1, 100, 5);
    s.logarithmic = true;
    s.shortTicks = false;
    int reportedOnly = 0;
    for (const ScaleTick& t : Walk(s))
        reportedOnly += !t.drawn;
    EXPECT_EQ(reportedOnly, 12);
    s.vertical = true;
    for (const ScaleTick& t : Walk(s))
        EXPECT_TRUE(t.labelled);
    s.shortTicks = true;
    for (const ScaleTick& t : Walk(s))
        EXPECT_EQ(t.length, TickLength::Main) << "vertical short ticks are long";
}

TEST(LogTicks, LessThanADecadeFallsBackToLinearTicks)
{
    TickSettings s = Range(2, 15);
    s.logarithmic = true;
    s.shortTicks = false;
    ExpectValues(Values(Walk(s), true), {2, 4, 6, 8, 10, 12, 14});
}

TEST(LogTicks, NumberLabelsAreCutToFourteenCharacters)
{
    TickSettings s = Range(1, 1000);
    s.logarithmic = true;
    s.decPlaces = 12;
    EXPECT_EQ(Labels(Walk(s)),
        (std::vector<QString>{"1.000000000000", "10.00000000000", "100.0000000000", "1000.000000000"}));
}

TEST(LogTicks, LabelsDropTrailingZerosOrShowTheExponent)
{
    TickSettings s = Range(0.01, 100);
    s.logarithmic = true;
    EXPECT_EQ(Labels(Walk(s)), (std::vector<QString>{"0.01", "0.1", "1", "10", "100"}));
    s = Range(1, 10000);
    s.logarithmic = true;
    s.decPlaces = -3;
    EXPECT_EQ(Labels(Walk(s)), (std::vector<QString>{"0", "1", "2", "3", "4"}));
    s.minTicks = 10;
    s.labelType = ftUserText;
    s.userTickText = "a|b|c";
    const auto labels = Labels(Walk(s));
    ASSERT_GE(labels.size(), 4u);
    EXPECT_EQ(labels[0], "a");
    EXPECT_EQ(labels[1], "b") << "the empty label of tick 2 still counts";
    EXPECT_EQ(labels[3], "c");
}

TEST(TimeOfDayTicks, TwentySecondStepsWithFiveSecondShortTicks)
{
    TickSettings s = Range(0, 60);
    s.labelType = ftTime;
    const auto ticks = Walk(s);
    ExpectValues(Values(ticks, true), {0, 20, 40, 60});
    EXPECT_EQ(Labels(ticks), (std::vector<QString>{" 00:00:00", " 00:00:20", " 00:00:40", " 00:01:00"}));
    std::vector<double> shortDrawn;
    int reportedOnly = 0;
    for (const ScaleTick& t : ticks) {
        if (t.length != TickLength::Short)
            continue;
        if (t.drawn)
            shortDrawn.push_back(t.value);
        else
            ++reportedOnly;
        EXPECT_EQ(t.drawn, t.recorded);
    }
    ASSERT_EQ(shortDrawn.size(), 13u);
    EXPECT_DOUBLE_EQ(shortDrawn.back(), 60);
    EXPECT_GT(reportedOnly, 0) << "out-of-range short ticks are still reported";
}

TEST(TimeOfDayTicks, MillisecondsOnlyForSubSecondSteps)
{
    TickSettings s = Range(0, 1.5);
    s.labelType = ftTime;
    s.shortTicks = false;
    EXPECT_EQ(Labels(Walk(s)).at(1), " 00:00:00.500");
    s = Range(0, 3);
    s.labelType = ftTime;
    s.shortTicks = false;
    EXPECT_EQ(Labels(Walk(s)).at(1), " 00:00:01");
}

TEST(TimeOfDayTicks, OutOfStepTableRangesUseNumericTicks)
{
    for (double high : {0.002, 300000.0}) {
        SCOPED_TRACE(high);
        TickSettings s = Range(0, high);
        s.labelType = ftTime;
        s.shortTicks = false;
        TickSettings numeric = s;
        numeric.labelType = ftNum;
        const auto ticks = Walk(s);
        ExpectValues(Values(ticks, true), Values(Walk(numeric), true));
        EXPECT_FALSE(Labels(ticks).front().contains(':'));
    }
}

TEST(TimeOfDayTicks, TicksReachBothEndsOfTheRange)
{
    struct Row {
        const char* name;
        double low, high;
        std::vector<double> mains;
        double firstShort, lastShort;
    } rows[] = {
        {"reversed", 60, 0, {60, 40, 20, 0}, 60, 0},
        {"six-part step starting just before a tick", 59.5, 150.5, {60, 90, 120, 150}, 60, 150},
        {"negative low end", -50, 10, {-40, -20, 0}, -50, 10},
        {"reversed, positive high end", 50, -10, {40, 20, 0}, 50, -10},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TickSettings s = Range(r.low, r.high);
        s.labelType = ftTime;
        const auto ticks = Walk(s);
        ExpectValues(Values(ticks, true), r.mains);
        const auto shorts = Values(ticks, false);
        ASSERT_FALSE(shorts.empty());
        EXPECT_NEAR(shorts.front(), r.firstShort, 1e-9);
        EXPECT_NEAR(shorts.back(), r.lastShort, 1e-9);
    }
}

TEST(TimeOfDayTicks, RangesShiftedByWholeStepsKeepTheirTicks)
{
    struct Row {
        const char* name;
        double low, high;
        int minTicks;
        double shift;
    } rows[] = {
        {"an hour, 116 days on (1e7 s)", 0, 3600, 4, 116 * 86400.0},
        {"1000 s, 11 574 074 days on (1e12 s)", 0, 1000, 4, 11574074 * 86400.0},
        {"a twentieth of a second, 1e8 s on", 0, 0.05, 3, 1e8},
        {"ten milliseconds, 116 days on", 0, 0.01, 3, 116 * 86400.0},
        {"a minute reversed, 1157 days on", 60, 0, 3, 1157 * 86400.0},
        {"across zero, 116 days back", -50, 10, 3, -116 * 86400.0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TickSettings s = Range(r.low, r.high, r.minTicks);
        s.labelType = ftTime;
        const auto near = Walk(s);
        s.low += r.shift;
        s.high += r.shift;
        const auto far = Walk(s);
        const double width = std::fabs(r.high - r.low);
        for (bool labelled : {true, false}) {
            const auto expected = Values(near, labelled);
            auto shifted = Values(far, labelled);
            for (double& v : shifted)
                v -= r.shift;
            ASSERT_FALSE(expected.empty());
            ExpectValues(shifted, expected, 1e-6 * width);
        }
    }
}

double Day(int y, int m, int d)
{
    return EncodeDate(y, m, d);
}

TickSettings Calendar(double low, double high, bool vertical = false)
{
    TickSettings s = Range(low, high);
    s.labelType = ftDateTime;
    s.vertical = vertical;
    return s;
}

TEST(CalendarTicks, InvalidRangesAndTooSmallIntervalsGiveMessages)
{
    struct Row {
        const char* name;
        double low, high;
        bool vertical;
        CalendarMessage expected;
    } rows[] = {
        {"reversed", 100, 10, false, CalendarMessage::InvalidScale},
        {"before year 1", -693594, 0, false, CalendarMessage::InvalidScale},
        {"above 3000000", 0, 3000001, true, CalendarMessage::InvalidScale},
        {"half a second, horizontal", 40000, 40000 + 0.5 / 86400, false, CalendarMessage::BelowOneSecond},
        {"half a second, vertical", 40000, 40000 + 0.5 / 86400, true, CalendarMessage::None},
        {"a hundredth, vertical", 40000, 40000 + 0.02 / 86400, true, CalendarMessage::BelowOneSecond},
        {"days after the year 9999", 2958466, 2958500, false, CalendarMessage::None},
        {"years after the year 9999", 2958466, 2999000, true, CalendarMessage::None},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        CalendarMessage m;
        const auto ticks = Walk(Calendar(r.low, r.high, r.vertical), &m);
        EXPECT_EQ(m, r.expected);
        if (r.expected != CalendarMessage::None || r.low > 2958465) {
            EXPECT_TRUE(ticks.empty());
        }
    }
}

TEST(CalendarTicks, TenDaysGiveThreeDayStepsAlignedToTheFirstOfJanuary)
{
    const double jan1 = Day(2021, 1, 1);
    TickSettings s = Calendar(jan1 + 4, jan1 + 14);
    const auto ticks = Walk(s);
    ExpectValues(Values(ticks, true), {jan1 + 6, jan1 + 9, jan1 + 12});
    ExpectValues(
        Values(ticks, false), {jan1 + 4, jan1 + 5, jan1 + 7, jan1 + 8, jan1 + 10, jan1 + 11, jan1 + 13, jan1 + 14});
    EXPECT_EQ(Labels(ticks).front(), "07-" + ShortMonthName(1) + "-2021");
}

TEST(CalendarTicks, DayPhaseHoldsAcrossDayZero)
{
    TickSettings s = Calendar(-20, 20);
    s.minTicks = 4;  // per 10 days -> 7-day steps, one-day short ticks
    const auto mains = Values(Walk(s), true);
    ASSERT_GE(mains.size(), 5u);
    for (std::size_t i = 1; i < mains.size(); ++i)
        EXPECT_DOUBLE_EQ(mains[i] - mains[i - 1], 7);
}

TEST(CalendarTicks, NineHoursGiveThreeHourStepsWithHourShortTicks)
{
    const double day = Day(2022, 3, 14);
    TickSettings s = Calendar(day + 7.5 / 24, day + 16.5 / 24);
    const auto ticks = Walk(s);
    ExpectValues(Values(ticks, true), {day + 9.0 / 24, day + 12.0 / 24, day + 15.0 / 24}, 1e-9);
    ExpectValues(Values(ticks, false),
        {day + 8.0 / 24, day + 10.0 / 24, day + 11.0 / 24, day + 13.0 / 24, day + 14.0 / 24, day + 16.0 / 24}, 1e-9);
    EXPECT_EQ(Labels(ticks), (std::vector<QString>{"09:00", "12:00", "15:00"}));
}

TEST(CalendarTicks, ALowEndOnAWholeMinuteKeepsItsTick)
{
    // most such ends are not exact in binary; the tick must not move on by a unit
    for (int minute = 0; minute < 24 * 60; minute += 7) {
        TickSettings s = Calendar(40000 + minute / 1440.0, 40000 + (minute + 3) / 1440.0);
        s.shortTicks = false;
        const auto ticks = Walk(s);
        ASSERT_FALSE(ticks.empty());
        ASSERT_NEAR(ticks.front().value, s.low, 1e-9) << minute;
    }
}

TEST(CalendarTicks, AWholeNegativeDayStartsAtItsMidnight)
{
    TickSettings s = Calendar(-1, -0.625);
    s.shortTicks = false;
    ExpectValues(Values(Walk(s), true), {-1, -1 + 3.0 / 24, -1 + 6.0 / 24, -1 + 9.0 / 24}, 1e-9);
}

TEST(CalendarTicks, DateLineOncePerDayAcrossMidnight)
{
    const double day = Day(2022, 3, 14);
    TickSettings s = Calendar(day + 18.0 / 24, day + 1 + 6.0 / 24);
    s.shortTicks = false;
    std::vector<QString> dateLines;
    for (const ScaleTick& t : Walk(s))
        if (t.labelled)
            dateLines.push_back(t.hasDateLine ? t.dateLine : QString());
    const QString mar = ShortMonthName(3);
    EXPECT_EQ(dateLines, (std::vector<QString>{"14-" + mar + "-2022", "", "15-" + mar + "-2022", "", ""}));
    s.dateFormat.DateForTime = dtOnePerChart;
    int withDate = 0;
    for (const ScaleTick& t : Walk(s))
        withDate += t.hasDateLine;
    EXPECT_EQ(withDate, 1);
}

TEST(CalendarTicks, MonthsStartOnAStepMonthWithoutShortTicks)
{
    TickSettings s = Calendar(Day(2021, 2, 10), Day(2022, 2, 10));
    s.dateFormat.MonthName = false;
    s.dateFormat.DateSeparator = '/';
    auto ticks = Walk(s);
    EXPECT_EQ(Labels(ticks), (std::vector<QString>{"04/2021", "07/2021", "10/2021", "01/2022"}));
    EXPECT_EQ(Values(ticks, false).size(), 8u);
    s.shortTicks = false;
    EXPECT_EQ(Labels(Walk(s)), (std::vector<QString>{"04/2021", "07/2021", "10/2021", "01/2022"}));

    // a low end on the first of a step month keeps its tick with or without short ticks
    s = Calendar(Day(2021, 1, 1), Day(2022, 1, 1));
    s.dateFormat.MonthName = false;
    s.dateFormat.DateSeparator = '/';
    const std::vector<QString> quarters{"01/2021", "04/2021", "07/2021", "10/2021", "01/2022"};
    EXPECT_EQ(Labels(Walk(s)), quarters);
    s.shortTicks = false;
    EXPECT_EQ(Labels(Walk(s)), quarters);
}

TEST(CalendarTicks, FiveYearsGiveYearlyTicks)
{
    TickSettings s = Calendar(Day(2000, 6, 1), Day(2005, 6, 1));
    const auto ticks = Walk(s);
    EXPECT_TRUE(Values(ticks, false).empty());
    EXPECT_EQ(Labels(ticks), (std::vector<QString>{"2001", "2002", "2003", "2004", "2005"}));
}

TEST(CalendarTicks, YearsWithoutLeadingZerosAndShortTicksBetween)
{
    TickSettings s = Calendar(Day(1, 1, 1), Day(2000, 1, 1));
    // about 666 years per interval: main ticks every 500 years, short ones every 100
    const auto ticks = Walk(s);
    EXPECT_EQ(Labels(ticks), (std::vector<QString>{"500", "1000", "1500", "2000"}));
    EXPECT_EQ(Values(ticks, false).size(), 16u);
    s.dateFormat.YearLength = ylYY;
    EXPECT_EQ(Labels(Walk(s)).front(), "00");
}

TEST(CalendarTicks, YearWalkEndsOnTheLastDayOfYear9999)
{
    TickSettings s = Calendar(Day(9000, 1, 1), 3000000);
    s.shortTicks = false;
    const auto ticks = Walk(s);
    ASSERT_FALSE(ticks.empty());
    EXPECT_DOUBLE_EQ(ticks.back().value, 2958465);
    EXPECT_EQ(ticks.back().label, "9999");
    for (std::size_t i = 0; i + 1 < ticks.size(); ++i)
        EXPECT_LT(ticks[i].value, ticks.back().value);
}

}  // namespace
