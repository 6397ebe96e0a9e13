// The rules of a chart axis's property object: ranges against MinRange, logarithmic refusals, label types, the
// orientation slots, and the copy to the scale control.

#include <gtest/gtest.h>

#include "chart/ChartScaleProps.h"
#include "scale/Quarn_Scale.h"
#include "translate/ComponentTranslation.h"

namespace {

// Counts the notifications of one object.
struct NotifyCounter {
    int count = 0;
    explicit NotifyCounter(TSettingsRecord& object)
    {
        object.OnChange = [this, &object](QObject* sender) {
            EXPECT_EQ(sender, &object);
            ++count;
        };
    }
};

enum class End { Low, High };

struct RangeCase {
    const char* name;
    double low, high;  // the range before
    double minRange;
    bool logarithmic;
    End end;
    double value;
    double expectLow, expectHigh;
};

TEST(ScaleProps, RangeSettersKeepMinRangeAndLogarithmicLimits)
{
    const RangeCase cases[] = {
        {"high just above low moves low down", 1, 5, 1e-10, false, End::High, 1 + 1e-11, 1 + 1e-11 - 1e-10, 1 + 1e-11},
        {"low onto high moves high up", 0, 1, 1e-10, false, End::Low, 1, 1, 1 + 1e-10},
        {"low within MinRange below high", 0, 10, 2, false, End::Low, 9, 9, 11},
        {"high within MinRange above low", 0, 10, 2, false, End::High, 1, -1, 1},
        {"an ordinary low", 0, 1, 1e-10, false, End::Low, -5, -5, 1},
        {"a high below low reverses the range", 0, 1, 1e-10, false, End::High, -3, 0, -3},
        {"log: low 0 is refused", 1, 100, 1e-10, true, End::Low, 0, 1, 100},
        {"log: a high below 1e-100 is refused", 1, 100, 1e-10, true, End::High, 1e-101, 1, 100},
        {"log: low 1e-100 is taken", 1, 100, 1e-10, true, End::Low, 1e-100, 1e-100, 100},
        {"log: low moved next to high stays above 0", 1, 100, 1, true, End::Low, 99.5, 99.5, 100.5},
        // the MinRange branch must not put an end below 1e-100 either
        {"log: low 0 next to a tiny high is refused", 1e-12, 5e-11, 1e-10, true, End::Low, 0, 1e-12, 5e-11},
        {"log: high pulling low below 0 is refused", 1e-12, 1, 1e-10, true, End::High, 5e-11, 1e-12, 1},
    };
    for (const RangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        TScaleProps props;
        props.SetMinRange(c.minRange);
        props.StoreRange(c.low, c.high);
        props.SetLogarithmic(c.logarithmic);
        props.LoadingDone();
        NotifyCounter notes(props);
        if (c.end == End::Low)
            props.SetRangeLow(c.value);
        else
            props.SetRangeHigh(c.value);
        EXPECT_DOUBLE_EQ(props.RangeLow(), c.expectLow);
        EXPECT_DOUBLE_EQ(props.RangeHigh(), c.expectHigh);
        EXPECT_EQ(notes.count, 1) << "stored and refused values both notify";
    }
}

struct MinRangeCase {
    const char* name;
    double low, high;
    double value;
    double expectMinRange, expectLow, expectHigh;
    int notes;
};

TEST(ScaleProps, MinRangeWidensANarrowerRangeAboutItsCentre)
{
    const MinRangeCase cases[] = {
        {"wider than the range", 0, 1, 2, 2, -0.5, 1.5, 1},
        {"a reversed range is widened ascending", 1, 0.5, 2, 2, -0.25, 1.75, 1},
        {"the range is wide enough", 0, 1, 0.5, 0.5, 0, 1, 0},
        {"exactly the range's width", 0, 1, 1, 1, 0, 1, 0},
        {"1e-100 is refused", 0, 1e-200, 1e-100, 1e-10, 0, 1e-200, 0},
        {"zero is refused", 0, 1, 0, 1e-10, 0, 1, 0},
        {"a negative width is refused", 0, 1, -4, 1e-10, 0, 1, 0},
    };
    for (const MinRangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        TScaleProps props;
        props.StoreRange(c.low, c.high);
        NotifyCounter notes(props);
        props.SetMinRange(c.value);
        EXPECT_DOUBLE_EQ(props.MinRange(), c.expectMinRange);
        EXPECT_DOUBLE_EQ(props.RangeLow(), c.expectLow);
        EXPECT_DOUBLE_EQ(props.RangeHigh(), c.expectHigh);
        EXPECT_EQ(notes.count, c.notes);
    }
}

struct LogCase {
    const char* name;
    bool loading;
    double low, high;
    TFigType labelType;
    bool value;
    bool expect;
};

TEST(ScaleProps, LogarithmicIsRefusedOnceLoadedForRangesAtZeroAndCalendarLabels)
{
    const LogCase cases[] = {
        {"while loading anything goes", true, 0, 1, ftNum, true, true},
        {"while loading even with calendar labels", true, 1, 10, ftDateTime, true, true},
        {"loaded, low at 0", false, 0, 1, ftNum, true, false},
        {"loaded, high below 1e-100", false, 1, 1e-101, ftNum, true, false},
        {"loaded, calendar labels", false, 1, 10, ftDateTime, true, false},
        {"loaded, positive range", false, 1, 10, ftNum, true, true},
        {"loaded, time labels are fine", false, 1e-100, 10, ftTime, true, true},
    };
    for (const LogCase& c : cases) {
        SCOPED_TRACE(c.name);
        TScaleProps props;
        props.SetLabelType(c.labelType);
        props.StoreRange(c.low, c.high);
        if (!c.loading)
            props.LoadingDone();
        NotifyCounter notes(props);
        props.SetLogarithmic(c.value);
        EXPECT_EQ(props.Logarithmic(), c.expect);
        EXPECT_EQ(notes.count, 1);
    }
}

TEST(ScaleProps, LinearIsAlwaysTaken)
{
    TScaleProps props;
    props.StoreRange(1, 10);
    props.SetLogarithmic(true);
    props.LoadingDone();
    props.StoreRange(0, 10);
    props.SetLogarithmic(false);
    EXPECT_FALSE(props.Logarithmic());
}

TEST(ScaleProps, LabelTypeAdjustsDecPlacesAndLogarithmic)
{
    TScaleProps props;
    props.StoreRange(1, 10);
    props.SetLogarithmic(true);
    props.SetDecPlaces(7);

    props.SetLabelType(ftNum);
    EXPECT_EQ(props.DecPlaces(), 7);
    EXPECT_TRUE(props.Logarithmic());

    props.SetLabelType(ftTime);
    EXPECT_EQ(props.DecPlaces(), 4);
    EXPECT_TRUE(props.Logarithmic());

    props.SetLabelType(ftDateTime);
    EXPECT_FALSE(props.Logarithmic());
    EXPECT_EQ(props.LabelType(), ftDateTime);
}

TEST(ScaleProps, DecPlacesAreLimited)
{
    const struct {
        int value, expect;
    } cases[] = {{20, 12}, {12, 12}, {-3, -3}, {-4, -3}, {0, 0}};
    TScaleProps props;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        props.SetDecPlaces(c.value);
        EXPECT_EQ(props.DecPlaces(), c.expect);
    }
}

TEST(ScaleProps, ScaleLocationSetsTheScaleType)
{
    TScalePropsHoriz x;
    x.SetScaleLocation(slTop);
    EXPECT_EQ(x.ScaleType(), sctXB);
    x.SetScaleLocation(slBottom);
    EXPECT_EQ(x.ScaleType(), sctXT);

    TScalePropsVert y;
    EXPECT_EQ(y.ScaleType(), sctXT) << "the default location leaves the type to the chart";
    y.SetScaleLocation(slLeft);
    EXPECT_EQ(y.ScaleType(), sctYR);
    y.SetScaleLocation(slRight);
    EXPECT_EQ(y.ScaleType(), sctYL);
    EXPECT_EQ(y.ScaleLocation(), slRight);
}

TEST(ScaleProps, ScalePosHasOneSlotPerOrientation)
{
    TScaleProps props;
    props.SetScaleType(sctXB);
    props.SetScalePos(30);
    props.SetScaleType(sctYL);
    EXPECT_EQ(props.ScalePos(), 0);
    props.SetScalePos(7);
    props.SetScaleType(sctXT);
    EXPECT_EQ(props.ScalePos(), 30);
    props.SetScaleType(sctYR);
    EXPECT_EQ(props.ScalePos(), 7);
}

TEST(ScaleProps, OwnedDateFormatStartsWithTheScaleDefaultsAndDoesNotNotify)
{
    TScaleProps props;
    EXPECT_EQ(props.DateFormat()->DateSeparator(), '-');
    EXPECT_EQ(props.DateFormat()->TimeSeparator(), ':');
    EXPECT_EQ(props.DateFormat()->DateForTime(), dtOnePerDay);
    NotifyCounter notes(props);
    props.DateFormat()->SetTimeFormat(tfAMPM);
    EXPECT_EQ(notes.count, 0);

    TDTLabel other;
    other.SetDateOrder(doYYMMDD);
    props.SetDateFormat(other);
    EXPECT_EQ(props.DateFormat()->DateOrder(), doYYMMDD);
    EXPECT_NE(props.DateFormat(), &other) << "the settings are copied, the record stays the own one";
    EXPECT_EQ(notes.count, 1);
}

TEST(ScaleProps, TranslationEntersBothAxisKinds)
{
    TScalePropsHoriz x;
    TScalePropsVert y;
    TDTLabel label;
    EXPECT_TRUE(IsScalePropsObject(&x));
    EXPECT_TRUE(IsScalePropsObject(&y));
    EXPECT_FALSE(IsScalePropsObject(&label));
}

TEST(ScaleProps, CopyToScaleMirrorsTheSettingsAndKeepsTheMargins)
{
    TScalePropsVert props;
    props.SetScaleLocation(slRight);
    props.SetRangeLow(2);
    props.SetRangeHigh(200);
    props.SetVisible(true);
    props.SetCaption(QStringLiteral("volts"));
    props.SetCaptionPosX(-3);
    props.SetCaptionPosY(9);
    props.SetCaptionAlignment(taLeftJustify);
    props.SetCaptionAnchor(uaSclBotRgt);
    props.SetColorScale(0x0000FF);
    props.SetLabelType(ftTime);
    props.SetDecPlaces(2);  // after ftTime: the scale must not fall back to 4
    props.SetLogarithmic(true);
    props.SetShortTicks(false);
    props.SetMinTicks(5);
    props.SetScaleInscript(QStringLiteral("~"));
    props.SetUserTickText(QStringLiteral("a\nb"));
    props.SetFont(TFont(QStringLiteral("Courier New"), 13));
    props.DateFormat()->SetYearLength(ylYY);

    TScale scale;
    scale.Loaded();
    scale.SetMarginLeft(11);
    scale.SetMarginTop(12);
    int paints = 0;
    scale.OnBeforeScaleRendered = [&](QObject*, TCanvas&) { ++paints; };
    CopyScalePropsTo(props, scale);

    EXPECT_EQ(scale.ScaleType(), sctYL);
    EXPECT_DOUBLE_EQ(scale.RangeLow(), 2);
    EXPECT_DOUBLE_EQ(scale.RangeHigh(), 200);
    EXPECT_TRUE(scale.Visible());
    EXPECT_EQ(scale.Caption(), QStringLiteral("volts"));
    EXPECT_EQ(scale.CaptionPosX(), -3);
    EXPECT_EQ(scale.CaptionPosY(), 9);
    EXPECT_EQ(scale.CaptionAlignment(), taLeftJustify);
    EXPECT_EQ(scale.CaptionAnchor(), uaSclBotRgt);
    EXPECT_EQ(scale.ColorScale(), TColor(0x0000FF));
    EXPECT_EQ(scale.LabelType(), ftTime);
    EXPECT_EQ(scale.DecPlaces(), 2);
    EXPECT_TRUE(scale.Logarithmic()) << "the range must be in before Logarithmic";
    EXPECT_FALSE(scale.ShortTicks());
    EXPECT_EQ(scale.MinTicks(), 5);
    EXPECT_EQ(scale.ScaleInscript(), QStringLiteral("~"));
    EXPECT_EQ(scale.UserTickText(), QStringLiteral("a\nb"));
    EXPECT_EQ(scale.Font().Name(), QStringLiteral("Courier New"));
    EXPECT_EQ(scale.Font().Height(), 13);
    EXPECT_EQ(scale.Font().Color(), TColor(0x0000FF)) << "the labels take the scale colour";
    EXPECT_EQ(scale.DateFormat()->YearLength(), ylYY);
    EXPECT_EQ(scale.DateFormat()->DateSeparator(), '-');
    EXPECT_EQ(scale.MarginLeft(), 11);
    EXPECT_EQ(scale.MarginTop(), 12);
    EXPECT_EQ(paints, 1) << "one paint for the whole copy";
    EXPECT_FALSE(scale.Suspended());
}

TEST(ScaleProps, TheChartsMarginsComeInWithTheSameOnePaint)
{
    TScalePropsHoriz props;
    props.SetVisible(true);
    TScale scale;
    scale.Loaded();
    scale.SetMarginTop(12);
    int paints = 0;
    int bottomWhenPainted = -1;
    scale.OnBeforeScaleRendered = [&](QObject*, TCanvas&) {
        ++paints;
        bottomWhenPainted = scale.MarginBottom();
    };
    CopyScalePropsTo(props, scale, {std::nullopt, 33, 5, 6});
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(bottomWhenPainted, 33);
    EXPECT_EQ(scale.MarginTop(), 12) << "a margin without a value stays";
    EXPECT_EQ(scale.MarginLeft(), 5);
    EXPECT_EQ(scale.MarginRight(), 6);
}

TEST(ScaleProps, CopyToASuspendedScaleLeavesItSuspended)
{
    TScalePropsHoriz props;
    props.SetVisible(true);
    TScale scale;
    scale.Loaded();
    scale.SetSuspended(true);
    int paints = 0;
    scale.OnBeforeScaleRendered = [&](QObject*, TCanvas&) { ++paints; };
    CopyScalePropsTo(props, scale);
    EXPECT_TRUE(scale.Suspended());
    EXPECT_EQ(paints, 0);
}

}  // namespace
