// The insight panel on the real lesson window: opening and closing, following the lesson, its sentences for
// the current generator, its examples and the overlays it switches on.

#include "LessonWindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QScreen>
#include <QTest>

#include <cmath>
#include <cstdlib>

#include "app/InsightPanel.h"
#include "app/LessonViews.h"
#include "platform/draw/Color.h"

namespace {

class InsightLesson : public LessonWindow {
protected:
    InsightLesson()
    {
        EXPECT_TRUE(Form.Demon()->Translator().LoadFromFile(std::string(SEWELLA_DATA_DIR) + "/sewella.en.itl"));
        Form.show();
        QApplication::setActiveWindow(&Form);
    }

    TInsightPanel& OpenPanel()
    {
        if (!Form.InsightPanel() || !Form.InsightPanel()->isVisible())
            Form.SBInsight->click();
        return *Form.InsightPanel();
    }

    // Whether a shown sentence of the panel says Text.
    bool PanelSays(const QString& Text)
    {
        for (const QLabel* label : Form.InsightPanel()->findChildren<QLabel*>())
            if (label->isVisible() && label->text().contains(Text))
                return true;
        return false;
    }

    template <typename T> T* PanelControl(const QString& Text)
    {
        for (T* control : Form.InsightPanel()->findChildren<T*>())
            if (control->text() == Text)
                return control;
        ADD_FAILURE() << "no control " << Text.toStdString();
        return nullptr;
    }

    QImage Picture() const { return Form.RChart1->Image().copy(); }
};

QRgb Rgb(TColor Color)
{
    return ToQColor(Color).rgb();
}

}  // namespace

TEST_F(InsightLesson, ButtonAndCtrlIOpenThePanelBesideTheLessonOnlyInTheChartLayout)
{
    EXPECT_FALSE(Form.SBInsight->isVisible()) << "step 1 has the text layout";
    QTest::keyClick(&Form, Qt::Key_I, Qt::ControlModifier);
    EXPECT_TRUE(!Form.InsightPanel() || !Form.InsightPanel()->isVisible());

    GoToFreeStep();
    TInsightPanel& panel = OpenPanel();
    ASSERT_TRUE(panel.isVisible());
    EXPECT_TRUE(Form.SBInsight->isChecked());
    EXPECT_EQ(panel.height(), Form.height());
    const QRect screen = Form.screen()->availableGeometry();
    // the test screen is small: left of the lesson when moved right, right of it when moved left
    Form.move(screen.right() + 1 - Form.frameGeometry().width(), screen.top());
    EXPECT_EQ(panel.frameGeometry().topRight(), Form.frameGeometry().topLeft() - QPoint(1, 0));
    EXPECT_GE(panel.width(), TInsightPanel::MinimumWidth);
    Form.move(screen.topLeft());
    EXPECT_EQ(panel.frameGeometry().topLeft(), Form.frameGeometry().topRight() + QPoint(1, 0));
    Form.move(screen.center() - Form.rect().center());
    EXPECT_TRUE(screen.contains(panel.frameGeometry())) << "a screen with no room beside the lesson";

    QTest::keyClick(&Form, Qt::Key_I, Qt::ControlModifier);
    EXPECT_FALSE(panel.isVisible());
    EXPECT_FALSE(Form.SBInsight->isChecked());
    QTest::keyClick(&Form, Qt::Key_I, Qt::ControlModifier);
    EXPECT_TRUE(panel.isVisible());
    Form.SBReset->click();
    EXPECT_FALSE(panel.isVisible()) << "the text layout closes it";
    EXPECT_FALSE(Form.SBInsight->isVisible());
}

TEST_F(InsightLesson, SentencesFollowEverySliderChange)
{
    struct Case {
        int A, B, C, X;
        std::vector<const char*> Says;
    } const cases[] = {
        {20, 30, 906, 15,
            {"Series length 151 = 1 + 150", "x[152] = 470 is x[2] again", "\u2717 gcd(a, c) = gcd(20, 906) = 2",
                "\u2717 The prime factor 2 of c = 906 (prime factors 2, 3, 151) does not divide b - 1 = 29.",
                "\u2713 4 does not divide c = 906", "the longest cycle holds 150 of the 906 values",
                "splits the 906 values into 2 cycles of lengths 150, 1; your seed runs into one of length 150, as 900",
                "The 150 points lie on 7 parallel lines"}},
        {7, 281, 1000, 1,
            {"Series length 1000: the seed itself lies on a cycle of 1000 values", "\u2713 4 divides c = 1000",
                "Full period: every seed runs through all 1000 values", "one single cycle of length 1000",
                "Every value appears exactly once"}},
        {0, 7, 997, 1,
            {"With a = 0 the value 0 always leads to 0 again, so no cycle can hold all 997 values; the longest cycle "
             "holds 996."}},
        {1, 7, 12, 0,
            {"Series length 6: the seed itself lies on a cycle", "\u2717 4 divides c = 12 but not b - 1 = 6."}},
    };
    GoToFreeStep();
    OpenPanel();
    for (const Case& row : cases) {
        SCOPED_TRACE(row.C);
        SetParameters(row.A, row.B, row.C, row.X);
        for (const char* sentence : row.Says)
            EXPECT_TRUE(PanelSays(QString::fromUtf8(sentence))) << sentence;
    }
}

TEST_F(InsightLesson, ExamplesSetTheSlidersOnlyAtTheFreeStep)
{
    Form.SBReset->click();
    ClickNext(11);
    OpenPanel();
    QPushButton* good = PanelControl<QPushButton>(QStringLiteral("A good one: c = 1000, b = 281, a = 7"));
    ASSERT_TRUE(good);
    EXPECT_FALSE(good->isVisible()) << "step 12 keeps its generator";
    ClickNext(1);
    ASSERT_TRUE(good->isVisible());
    good->click();
    EXPECT_EQ((std::vector<int>{TForm1::RevPos(Form.ScrollBarA), TForm1::RevPos(Form.ScrollBarB),
                  TForm1::RevPos(Form.ScrollBarC), TForm1::RevPos(Form.ScrollBarX)}),
        (std::vector<int>{7, 281, 1000, 1}));
    EXPECT_EQ(Form.Lesson().SeriesLength(), 1000);
    EXPECT_TRUE(PanelSays(QStringLiteral("Full period: every seed")));
}

TEST_F(InsightLesson, LinesLieUnderTheMarksOnTheirFamilyAndOffLeavesThePicture)
{
    GoToFreeStep();
    SetParameters(20, 30, 906, 15);
    Form.TabControl1->TabBar()->setCurrentIndex(2);
    const QImage lesson = Picture();
    OpenPanel();
    EXPECT_EQ(Picture(), lesson) << "the panel alone changes no picture";
    PanelControl<QCheckBox>(QStringLiteral("show the lines"))->setChecked(true);
    const QImage lined = Picture();
    const TLessonOverlays& o = Form.Views().Overlays();
    ASSERT_TRUE(o.Lines);
    const double pixel = 906.0 / Form.RChart1->Geometry().PlotWidth();
    int changed = 0;
    for (int y = 0; y < lined.height(); ++y)
        for (int x = 0; x < lined.width(); ++x) {
            if (lined.pixel(x, y) == lesson.pixel(x, y))
                continue;
            ++changed;
            ASSERT_EQ(lesson.pixel(x, y), Rgb(clWhite)) << "only the plot's background is drawn over, at " << x;
            ASSERT_EQ(lined.pixel(x, y), Rgb(TLessonViews::LatticeLineColor));
            const WorldPosition w = Form.RChart1->PixelToWorld(1, x, y);
            const double off = double(o.S1) * w.X + double(o.S2) * w.Y - double(o.S2 * o.A);
            const double distance = std::abs(off - std::round(off / o.C) * o.C) / std::hypot(o.S1, o.S2);
            ASSERT_LE(distance, 1.5 * pixel) << "at " << x << ", " << y;
        }
    EXPECT_GT(changed, 100);
    PanelControl<QCheckBox>(QStringLiteral("show the lines"))->setChecked(false);
    EXPECT_EQ(Picture(), lesson);
}

TEST_F(InsightLesson, ExpectedCountCrossesEveryBarAndStaysInRange)
{
    GoToFreeStep();
    SetParameters(20, 30, 932, 15);
    Form.TabControl1->TabBar()->setCurrentIndex(1);
    const QImage lesson = Picture();
    OpenPanel();
    PanelControl<QCheckBox>(QStringLiteral("show the expected count"))->setChecked(true);
    const QImage counted = Picture();
    const std::vector<double>& expected = Form.Views().Overlays().Expected;
    ASSERT_EQ(expected.size(), 31u);
    const double width = 932.0 / 30;
    for (std::size_t k = 1; k < expected.size(); ++k) {
        SCOPED_TRACE(k);
        const PixelPosition p = Form.RChart1->WorldToPixel(1, (double(k) - 0.5) * width, expected[k]);
        EXPECT_EQ(counted.pixel(p.X, p.Y), Rgb(TLessonViews::ExpectedCountColor));
    }
    PanelControl<QCheckBox>(QStringLiteral("show the expected count"))->setChecked(false);
    EXPECT_EQ(Picture(), lesson);

    // 1, 3, 2, 6, 4, 5: two values in each bar, but the first bin holds three of the seven values
    SetParameters(0, 3, 7, 1);
    PanelControl<QCheckBox>(QStringLiteral("show the expected count"))->setChecked(true);
    EXPECT_GT(Form.RChart1->Scale1Y()->RangeHigh(), 6.0 * 3 / 7);
}

TEST_F(InsightLesson, GermanSentencesWriteDecimalCommas)
{
    ASSERT_TRUE(Form.Demon()->Translator().LoadFromFile(std::string(SEWELLA_DATA_DIR) + "/sewella.de.itl"));
    GoToFreeStep();
    SetParameters(20, 30, 932, 15);
    OpenPanel();
    EXPECT_TRUE(PanelSays(QString::fromUtf8("\u03c7\u00b2 = 17,86 mit 29 Freiheitsgraden, p = 0,9472.")));
}
