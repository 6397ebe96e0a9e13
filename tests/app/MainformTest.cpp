#include "LessonWindowFixture.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>

#include "numlab/Quarn_NumLab.h"

namespace {

struct StepView {
    int Step;
    bool Chart;
    int Tab;
    int A, B, C, X;
    TEnabled Enabled;
    const char* LastLine;
};

constexpr TEnabled None{false, false, false, false, false};

int ScreenHeight(const QWidget& Window)
{
    return Window.screen()->geometry().bottom() + 1;
}

}  // namespace

TEST_F(LessonWindow, StartsWithTheFirstFormulaAndLengthInTheTextLayout)
{
    EXPECT_EQ(Form.Edit1->text(), "x[i]=(1+4*x[i-1]) mod 17; x[1]=5");
    EXPECT_EQ(Form.NumLab1->Value(), 4);
    EXPECT_EQ(Form.height(), TForm1::TextLayoutHeight);
    EXPECT_EQ(Form.width(), TForm1::ClientWidth);
    EXPECT_TRUE(Form.TabControl1->isHidden());
    EXPECT_TRUE(Form.Edit1->isHidden());
    EXPECT_TRUE(Form.NumLab1->isHidden());
    EXPECT_FALSE(Form.Edit2->isHidden());
    EXPECT_EQ(Form.Edit2->text(), "x[i]=(a+b*x[i-1])mod c");
    EXPECT_FALSE(Form.SBReset->isEnabled());
    EXPECT_TRUE(Form.SBNext->isEnabled());
    // without a dictionary every text shows its key, the marker of a translatable caption removed
    EXPECT_EQ(Form.Memo1->toPlainText(), "memo_1");
    EXPECT_EQ(Form.windowTitle(), "LCG - Random Number Generator");
    EXPECT_EQ(Form.SBNext->text(), "Next");
    EXPECT_EQ(Form.NumLab1->LeftText(), "Series length");
    EXPECT_EQ(Form.TabControl1->Tabs(), QStringList({"Random Area", "Histogram", "Correlation Graph"}));
}

TEST_F(LessonWindow, EveryStepShowsItsLayoutViewSlidersAndFlags)
{
    const TEnabled seed{false, false, false, true, false};
    const TEnabled all{true, true, true, true, true};
    const StepView steps[] = {
        {1, false, 0, 1, 4, 17, 5, None, ""},
        {2, false, 0, 1, 4, 17, 5, None, "5"},
        {7, false, 0, 1, 4, 17, 5, None, "5, 0, 1, 5, 0, 1,..."},
        {8, true, 0, 1, 4, 17, 5, None, ""},
        {9, true, 0, 1, 4, 17, 5, seed, ""},
        {10, true, 1, 20, 30, 932, 15, None, ""},
        {11, true, 0, 20, 30, 932, 15, None, ""},
        {12, true, 2, 20, 30, 906, 15, None, ""},
        {13, true, 2, 20, 30, 906, 15, all, ""},
    };
    int at = 1;
    for (const StepView& row : steps) {
        SCOPED_TRACE(row.Step);
        ClickNext(row.Step - at);
        at = row.Step;
        EXPECT_EQ(Form.InChartLayout(), row.Chart);
        EXPECT_EQ(Form.TabControl1->isHidden(), !row.Chart);
        EXPECT_EQ(Form.RChart1->Visible(), row.Chart) << "a hidden chart paints nothing";
        EXPECT_EQ(Form.Edit4->isHidden(), row.Chart);
        EXPECT_EQ(Form.Edit4->text(), row.LastLine);
        EXPECT_EQ(Form.TabControl1->TabIndex(), row.Tab);
        EXPECT_EQ(TForm1::RevPos(Form.ScrollBarA), row.A);
        EXPECT_EQ(TForm1::RevPos(Form.ScrollBarB), row.B);
        EXPECT_EQ(TForm1::RevPos(Form.ScrollBarC), row.C);
        EXPECT_EQ(TForm1::RevPos(Form.ScrollBarX), row.X);
        EXPECT_EQ(Form.ScrollBarA->maximum(), row.C - 1);
        EXPECT_EQ(Form.ScrollBarX->maximum(), row.C - 1);
        EXPECT_EQ(Form.ScrollBarB->maximum(), 999);
        EXPECT_EQ(Form.ScrollBarA->isEnabled(), row.Enabled.A);
        EXPECT_EQ(Form.ScrollBarB->isEnabled(), row.Enabled.B);
        EXPECT_EQ(Form.ScrollBarC->isEnabled(), row.Enabled.C);
        EXPECT_EQ(Form.ScrollBarX->isEnabled(), row.Enabled.X1);
        EXPECT_EQ(Form.TabControl1->isEnabled(), row.Enabled.Tabs);
        EXPECT_EQ(Form.SBNext->isEnabled(), row.Step != 13);
        EXPECT_EQ(Form.SBReset->isEnabled(), row.Step != 1);
        EXPECT_EQ(Form.Memo1->toPlainText().toStdString(), "memo_" + std::to_string(row.Step));
    }
    EXPECT_EQ(Form.Edit1->text(), "x[i]=(20+30*x[i-1]) mod 906; x[1]=15");
    EXPECT_EQ(Form.NumLab1->Value(), 151);
}

TEST_F(LessonWindow, StepEightGrowsTheWindowAndMovesItUpButNeverAboveTheScreen)
{
    const struct {
        int Top, Expected;
    } rows[] = {{300, 185}, {50, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Top);
        Form.SBReset->click();
        ClickNext(6);
        Form.move(20, row.Top);
        ClickNext(1);
        EXPECT_EQ(Form.height(), TForm1::ChartLayoutHeight);
        EXPECT_EQ(Form.y(), row.Expected);
        EXPECT_EQ(Form.x(), 20);
        EXPECT_FALSE(Form.RChart1->isHidden());
        EXPECT_EQ(Form.Edit1->text(), "x[i]=(1+4*x[i-1]) mod 17; x[1]=5");
        ClickNext(1);  // a step that leaves the layout does not move the window
        EXPECT_EQ(Form.y(), row.Expected);
    }
}

TEST_F(LessonWindow, ResetMovesTheWindowDownButKeepsItsLowerEdgeOnTheScreen)
{
    const int bottom = ScreenHeight(Form);
    const int outer = TForm1::TextLayoutHeight + Form.frameGeometry().height() - Form.height();
    const struct {
        int Top, Expected;
    } rows[] = {{100, 215}, {bottom - 300, bottom - outer}, {bottom - outer - 114, bottom - outer},
        {bottom - outer - 116, bottom - outer - 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Top);
        ClickNext(7);
        Form.move(0, row.Top);
        Form.SBReset->click();
        EXPECT_EQ(Form.height(), TForm1::TextLayoutHeight);
        EXPECT_EQ(Form.y(), row.Expected);
        EXPECT_EQ(Form.Lesson().CurrentStep(), 1);
    }
    // from the text layout Reset does not move
    ClickNext(3);
    Form.move(0, 100);
    Form.SBReset->click();
    EXPECT_EQ(Form.y(), 100);
}

TEST_F(LessonWindow, TheCSliderNarrowsTheOtherSliders)
{
    GoToFreeStep();
    Drag(Form.ScrollBarC, 1000);
    Drag(Form.ScrollBarA, 500);
    Drag(Form.ScrollBarX, 700);
    ASSERT_EQ(Form.Lesson().A().Value(), 500);
    Drag(Form.ScrollBarC, 10);
    EXPECT_EQ(TForm1::RevPos(Form.ScrollBarA), 9);
    EXPECT_EQ(Form.ScrollBarA->maximum(), 9);
    EXPECT_EQ(Form.ScrollBarB->maximum(), 10);
    EXPECT_EQ(TForm1::RevPos(Form.ScrollBarB), 10) << "b = 30 becomes the new maximum c";
    EXPECT_EQ(TForm1::RevPos(Form.ScrollBarX), 9);
    EXPECT_EQ(Form.Edit1->text(), "x[i]=(9+10*x[i-1]) mod 10; x[1]=9");
    EXPECT_EQ(Form.NumLab1->Value(), Form.Lesson().SeriesLength());
}

TEST_F(LessonWindow, AnUnchangedScrollValueChangesAndDrawsNothing)
{
    GoToFreeStep();
    Drag(Form.ScrollBarA, 7);
    const QString formula = Form.Edit1->text();
    const int paints = Paints;
    const int step = Form.Lesson().CurrentStep();
    for (QScrollBar* slider : {Form.ScrollBarA, Form.ScrollBarB, Form.ScrollBarC, Form.ScrollBarX})
        emit slider->valueChanged(slider->value());  // the end-of-scroll notification
    EXPECT_EQ(Paints, paints);
    EXPECT_EQ(Form.Edit1->text(), formula);
    EXPECT_EQ(Form.Lesson().CurrentStep(), step);

    Drag(Form.ScrollBarA, 8);
    EXPECT_EQ(Paints, paints + 1) << "one slider step, one picture";
    EXPECT_EQ(Form.Edit1->text(), "x[i]=(8+30*x[i-1]) mod 906; x[1]=15");
}

TEST_F(LessonWindow, ASliderMovedBackToAValueHandledBeforeAStepIsShown)
{
    ClickNext(8);  // step 9: only the seed is free
    Drag(Form.ScrollBarX, 8);
    ASSERT_EQ(Form.Lesson().X1().Value(), 8);
    ClickNext(4);  // steps 10 and 12 set x[1] = 15
    ASSERT_EQ(Form.Lesson().X1().Value(), 15);
    Drag(Form.ScrollBarX, 8);
    EXPECT_EQ(Form.Lesson().X1().Value(), 8);
    EXPECT_EQ(Form.Edit1->text(), "x[i]=(20+30*x[i-1]) mod 906; x[1]=8");
}

TEST_F(LessonWindow, TheReplayedLessonReachesItsOwnBAfterAUserChangedC)
{
    GoToFreeStep();
    Drag(Form.ScrollBarC, 20);
    ASSERT_EQ(Form.ScrollBarB->maximum(), 20);
    Form.SBReset->click();
    ClickNext(9);
    EXPECT_EQ(TForm1::RevPos(Form.ScrollBarB), 30);
    EXPECT_EQ(Form.Edit1->text(), "x[i]=(20+30*x[i-1]) mod 932; x[1]=15");
    EXPECT_EQ(Form.NumLab1->Value(), 118);
}

TEST_F(LessonWindow, ATabChangeDrawsTheNewViewOnce)
{
    GoToFreeStep();
    for (int tab : {0, 1, 2}) {
        SCOPED_TRACE(tab);
        const int paints = Paints;
        Form.TabControl1->TabBar()->setCurrentIndex(tab);
        EXPECT_EQ(Paints, paints + 1);
    }
}

TEST_F(LessonWindow, TheFirstShowingAsksForTheAboutDialogOnceFromTheEventLoop)
{
    int calls = 0;
    bool visibleThen = false;
    Form.OnFirstShow = [&](TForm1* Sender) {
        ++calls;
        visibleThen = Sender->isVisible();
    };
    Form.show();
    EXPECT_EQ(calls, 0) << "not from inside the show event";
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(visibleThen);
    Form.hide();
    Form.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(Form.Lesson().CurrentStep(), 1);
}
