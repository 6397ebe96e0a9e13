// The lesson with the keyboard alone: the real window, driven by key events as a learner types them.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeySequence>
#include <QLabel>
#include <QTabBar>
#include <QTest>

#include <fstream>
#include <map>
#include <sstream>

#include "LessonWindowFixture.h"
#include "app/AboutBox.h"
#include "app/LessonSlider.h"

namespace {

class KeyboardLesson : public LessonWindow {
protected:
    KeyboardLesson()
    {
        Form.show();
        QApplication::setActiveWindow(&Form);
    }

    // The widgets Tab visits from the Exit button, in order, until it comes back.
    std::vector<QWidget*> TabCycle()
    {
        std::vector<QWidget*> cycle;
        Form.SBExit->setFocus();
        for (QWidget* at = Form.SBExit; cycle.size() < 20;) {
            cycle.push_back(at);
            QTest::keyClick(at, Qt::Key_Tab);
            at = QApplication::focusWidget();
            if (!at || at == Form.SBExit)
                break;
        }
        return cycle;
    }
};

QChar Mnemonic(const QString& Text)
{
    const QKeySequence sequence = QKeySequence::mnemonic(Text);
    return sequence.isEmpty() ? QChar() : QChar(sequence[0].key()).toUpper();
}

}  // namespace

TEST_F(KeyboardLesson, SpaceOnNextWalksAllStepsAndTabFollowsTheWindow)
{
    ASSERT_EQ(Form.Lesson().CurrentStep(), 1);
    EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::focusWidget() == Form.SBNext; }, 2000))
        << "after the first showing (and its About dialog) the focus is on Next";
    EXPECT_EQ(TabCycle(), (std::vector<QWidget*>{Form.SBExit, Form.SBAbout, Form.SBNext}))
        << "Reset is disabled at step 1, the chart's controls hidden";
    Form.SBNext->setFocus();
    for (int step = 2; step <= 13; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        ASSERT_EQ(Form.Lesson().CurrentStep(), step);
    }
    EXPECT_EQ(TabCycle(),
        (std::vector<QWidget*>{Form.SBExit, Form.SBAbout, Form.SBReset, Form.TabControl1->TabBar(), Form.RChart1,
            Form.SBInsight, Form.ScrollBarA, Form.ScrollBarB, Form.ScrollBarC, Form.ScrollBarX}));
}

TEST_F(KeyboardLesson, SliderKeysActOnTheValueThoughTheSliderRunsUpsideDown)
{
    GoToFreeStep();
    SetParameters(1, 4, 17, 5);
    struct Case {
        Qt::Key Key;
        int Expected;
    } const cases[] = {
        {Qt::Key_Up, 18},
        {Qt::Key_Right, 19},
        {Qt::Key_Down, 18},
        {Qt::Key_Left, 17},
        {Qt::Key_PageUp, 22},
        {Qt::Key_PageDown, 17},
        {Qt::Key_End, 1000},
        {Qt::Key_Home, 1},
    };
    Form.ScrollBarC->setFocus();
    for (const Case& c : cases) {
        QTest::keyClick(Form.ScrollBarC, c.Key);
        EXPECT_EQ(Form.Lesson().C().Value(), c.Expected) << QKeySequence(c.Key).toString().toStdString();
    }
}

TEST(KeyboardAbout, TabReachesBothLinksAndReturnOpensThemEscapeCloses)
{
    TFrmAbout about;
    std::vector<QString> opened;
    about.ShellOpen = [&opened](const QString& Address) { opened.push_back(Address); };
    about.show();
    QApplication::setActiveWindow(&about);
    ASSERT_EQ(QApplication::focusWidget(), about.BButOK) << "Return closes the dialog at once";
    QTest::keyClick(about.BButOK, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), about.LblHomePage);
    QTest::keyClick(about.LblHomePage, Qt::Key_Return);
    QTest::keyClick(about.LblHomePage, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), about.LblSimus);
    QTest::keyClick(about.LblSimus, Qt::Key_Space);
    EXPECT_EQ(opened.size(), 2u);
    EXPECT_TRUE(about.isVisible());
    QTest::keyClick(about.LblSimus, Qt::Key_Escape);
    EXPECT_FALSE(about.isVisible());
}

TEST(ShippedCaptions, GiveEveryButtonItsOwnMnemonic)
{
    for (const char* language : {"en", "de"}) {
        SCOPED_TRACE(language);
        std::ifstream file(std::string(SEWELLA_DATA_DIR) + "/sewella." + language + ".itl", std::ios::binary);
        TBabelfish2000 dictionary;
        ASSERT_TRUE(dictionary.LoadFromStream(file));
        TForm1 form(QStringList{QCoreApplication::applicationFilePath()});
        TFrmAbout about;
        for (QPushButton* button : {form.SBExit, form.SBAbout, form.SBReset, form.SBNext})
            button->setText("BF_" + button->text());
        dictionary.TranslateComponent(&form);
        form.show();
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(&form, QKeySequence::mnemonic(form.SBNext->text())[0].key(), Qt::AltModifier);
        // a mnemonic presses its button visibly: the click follows a moment later
        EXPECT_TRUE(QTest::qWaitFor([&form] { return form.Lesson().CurrentStep() == 2; }, 2000))
            << "the mnemonic of Next";
        FillAboutBox(about, dictionary);
        std::map<QChar, QString> taken;
        for (QPushButton* button : {form.SBExit, form.SBAbout, form.SBReset, form.SBNext}) {
            const QChar letter = Mnemonic(button->text());
            EXPECT_FALSE(letter.isNull()) << button->text().toStdString();
            EXPECT_TRUE(taken.emplace(letter, button->text()).second) << button->text().toStdString();
        }
        EXPECT_FALSE(Mnemonic(about.BButOK->text()).isNull());
        EXPECT_FALSE(about.windowTitle().contains('&')) << "a title shows no mnemonic marker";
    }
}
