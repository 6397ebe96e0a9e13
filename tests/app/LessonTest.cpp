#include "app/USewella.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr TEnabled None{false, false, false, false, false};
constexpr TEnabled SeedOnly{false, false, false, true, false};
constexpr TEnabled All{true, true, true, true, true};

// The learner's way to the free step: through steps 10 and 12, so c = 906, a = 20, b = 30, x[1] = 15.
void WalkToLastStep(TLesson& lesson)
{
    while (lesson.Next()) { }
}

struct StepExpectation {
    int step;
    const char* formula;
    int seriesLength;
    TLayout layout;
    TView view;
    TEnabled enabled;
    const char* line2;
};

TEST(Lesson, CreationShowsStepOne)
{
    TLesson lesson;
    EXPECT_EQ(lesson.CurrentStep(), 1);
    EXPECT_EQ(lesson.FormulaText(), "x[i]=(1+4*x[i-1]) mod 17; x[1]=5");
    EXPECT_EQ(lesson.SeriesLength(), 4);
    EXPECT_EQ(lesson.Lines()[0], "x[i]=(a+b*x[i-1])mod c");
    EXPECT_EQ(lesson.Lines()[1], "");
    EXPECT_EQ(lesson.MemoKey(), "memo_1");
    EXPECT_FALSE(lesson.ResetAllowed());
    EXPECT_TRUE(lesson.NextAllowed());
}

TEST(Lesson, WalkingAllStepsWithNext)
{
    const char* const first = "x[i]=(1+4*x[i-1]) mod 17; x[1]=5";
    const char* const histogram = "x[i]=(20+30*x[i-1]) mod 932; x[1]=15";
    const char* const correlation = "x[i]=(20+30*x[i-1]) mod 906; x[1]=15";
    const StepExpectation steps[] = {
        {1, first, 4, TLayout::Text, TView::RandomArea, None, ""},
        {2, first, 4, TLayout::Text, TView::RandomArea, None, "a=1; b=4; c=7; x[1]=5"},
        {3, first, 4, TLayout::Text, TView::RandomArea, None, "x[2]=(1+4*5) mod 7=0"},
        {7, first, 4, TLayout::Text, TView::RandomArea, None, "x[6]=(1+4*0) mod 7=1"},
        {8, first, 4, TLayout::Chart, TView::RandomArea, None, ""},
        {9, first, 4, TLayout::Chart, TView::RandomArea, SeedOnly, ""},
        {10, histogram, 118, TLayout::Chart, TView::Histogram, None, ""},
        {11, histogram, 118, TLayout::Chart, TView::RandomArea, None, ""},
        {12, correlation, 151, TLayout::Chart, TView::Correlation, None, ""},
        {13, correlation, 151, TLayout::Chart, TView::Correlation, All, ""},
    };
    TLesson lesson;
    int notifications = 0;
    lesson.OnNewSequence = [&](const TLesson&) { ++notifications; };
    for (const auto& expected : steps) {
        SCOPED_TRACE(expected.step);
        while (lesson.CurrentStep() < expected.step)
            ASSERT_TRUE(lesson.Next());
        EXPECT_EQ(lesson.FormulaText(), expected.formula);
        EXPECT_EQ(lesson.SeriesLength(), expected.seriesLength);
        EXPECT_EQ(lesson.Layout(), expected.layout);
        EXPECT_EQ(lesson.SelectedView(), expected.view);
        EXPECT_EQ(lesson.Enabled(), expected.enabled);
        EXPECT_EQ(lesson.Lines()[1], expected.line2);
        EXPECT_EQ(lesson.MemoKey(), "memo_" + std::to_string(expected.step));
        EXPECT_EQ(lesson.ResetAllowed(), expected.step != 1);
        EXPECT_EQ(lesson.NextAllowed(), expected.step != 13);
    }
    EXPECT_EQ(notifications, 12) << "every step builds and reports one new sequence";
}

TEST(Lesson, StepSevenShowsTheContinuedSeries)
{
    TLesson lesson;
    lesson.GotoStep(7);
    EXPECT_EQ(lesson.Lines()[0], "x[i]=(a+b*x[i-1]) mod c");
    EXPECT_EQ(lesson.Lines()[2], "5, 0, 1, 5, 0, 1,...");
    lesson.GotoStep(8);
    EXPECT_EQ(lesson.Lines()[0], "") << "lines are replaced on every step";
}

TEST(Lesson, NextIsRefusedAtTheLastStepAndResetAtTheFirst)
{
    TLesson lesson;
    int notifications = 0;
    lesson.OnNewSequence = [&](const TLesson&) { ++notifications; };
    EXPECT_FALSE(lesson.Reset());
    EXPECT_EQ(lesson.CurrentStep(), 1);
    lesson.GotoStep(13);
    notifications = 0;
    EXPECT_FALSE(lesson.Next());
    EXPECT_EQ(lesson.CurrentStep(), 13);
    EXPECT_EQ(notifications, 0);
}

TEST(Lesson, ResetFromTheLastStepRestoresStepOne)
{
    TLesson lesson;
    lesson.GotoStep(13);
    lesson.SetA(7);
    ASSERT_TRUE(lesson.Reset());
    EXPECT_EQ(lesson.CurrentStep(), 1);
    EXPECT_EQ(lesson.FormulaText(), "x[i]=(1+4*x[i-1]) mod 17; x[1]=5");
    EXPECT_EQ(lesson.Layout(), TLayout::Text);
    EXPECT_EQ(lesson.SelectedView(), TView::RandomArea);
    EXPECT_EQ(lesson.Enabled(), None);
}

TEST(Lesson, ChangingCCouplesTheOtherParameters)
{
    TLesson lesson;
    WalkToLastStep(lesson);
    lesson.SetA(500);
    lesson.SetX(600);
    ASSERT_EQ(lesson.A().Value(), 500);
    lesson.SetC(10);
    EXPECT_EQ(lesson.A().Value(), 9);
    EXPECT_EQ(lesson.A().Max(), 9);
    EXPECT_EQ(lesson.X1().Value(), 9);
    EXPECT_EQ(lesson.B().Max(), 10) << "b may reach c itself";
    EXPECT_EQ(lesson.B().Value(), 10);
    EXPECT_EQ(lesson.FormulaText(), "x[i]=(9+10*x[i-1]) mod 10; x[1]=9");
    lesson.SetC(1000);
    EXPECT_EQ(lesson.A().Value(), 9) << "widening a range keeps the values";
    EXPECT_EQ(lesson.A().Max(), 999);
}

TEST(Lesson, UserValuesAreClampedToTheirRanges)
{
    TLesson lesson;
    WalkToLastStep(lesson);
    lesson.SetA(5000);
    EXPECT_EQ(lesson.A().Value(), 905);
    lesson.SetB(-3);
    EXPECT_EQ(lesson.B().Value(), 0);
    lesson.SetB(5000);
    EXPECT_EQ(lesson.B().Value(), 999) << "b keeps its range until the user changes c";
    lesson.SetC(0);
    EXPECT_EQ(lesson.C().Value(), 1);
    EXPECT_EQ(lesson.A().Value(), 0);
    EXPECT_EQ(lesson.SeriesLength(), 1);
}

TEST(Lesson, StepsNeverNarrowBAndRaiseItsMaximumToTheirOwnB)
{
    TLesson lesson;
    lesson.GotoStep(13);
    lesson.SetB(500);
    lesson.GotoStep(1);  // c = 17
    EXPECT_EQ(lesson.B().Max(), 999) << "a step narrows a and x[1] to c - 1, never b";
    EXPECT_EQ(lesson.A().Max(), 16);

    // a user's c narrows b; the replayed lesson must still reach the b its texts describe
    lesson.GotoStep(13);
    lesson.SetC(20);
    ASSERT_EQ(lesson.B().Max(), 20);
    lesson.GotoStep(10);
    EXPECT_EQ(lesson.B().Value(), 30);
    EXPECT_EQ(lesson.B().Max(), 30);
    EXPECT_EQ(lesson.A().Max(), 931);
    EXPECT_EQ(lesson.SeriesLength(), 118);
    lesson.GotoStep(12);
    EXPECT_EQ(lesson.SeriesLength(), 151);
}

TEST(Lesson, EveryUserChangeRebuildsAndReports)
{
    TLesson lesson;
    WalkToLastStep(lesson);
    int lastLength = 0;
    lesson.OnNewSequence = [&](const TLesson& l) { lastLength = l.SeriesLength(); };
    lesson.SetC(932);
    EXPECT_EQ(lastLength, 118);
    lesson.SetC(906);
    EXPECT_EQ(lastLength, 151);
    lesson.SetX(0);
    EXPECT_EQ(lesson.FormulaText(), "x[i]=(20+30*x[i-1]) mod 906; x[1]=0");
    EXPECT_EQ(lastLength, lesson.SeriesLength());
}

}  // namespace
