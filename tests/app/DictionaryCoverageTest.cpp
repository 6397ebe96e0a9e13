// Every key the lesson looks up while a learner walks all steps and views, collected by the dictionary's own
// capture, must be in both shipped dictionaries: a key missing there shows as raw key text on screen.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPushButton>
#include <QTabBar>

#include <algorithm>
#include <string>
#include <vector>

#include "app/AboutBox.h"
#include "app/LessonChartMenu.h"
#include "app/LessonViews.h"
#include "app/Mainform.h"
#include "platform/draw/MessageBox.h"
#include "translate/Babelfish2000.h"

namespace {

// A capture line is "[key]=key|$$".
std::string KeyOfCaptureLine(const std::string& Line)
{
    const size_t end = Line.find("]=");
    return end == std::string::npos ? Line : Line.substr(1, end - 1);
}

std::vector<std::string> KeysAskedForByTheLesson()
{
    TForm1 form(QStringList{QCoreApplication::applicationFilePath()}, nullptr,
        [](TmnxDemonClient& Demon) { Demon.SetAutoCreateItlFile(true); });
    TBabelfish2000& dictionary = form.Demon()->Translator();
    EXPECT_TRUE(dictionary.Keys().empty()) << "the test program has no dictionary of its own";
    for (int step = 1; step <= TLesson::StepCount; ++step) {
        for (int tab = 0; tab < 3; ++tab)
            form.TabControl1->TabBar()->setCurrentIndex(tab);
        form.SBNext->click();
    }
    // the insight panel's sentences: one generator for each of their cases
    form.SBInsight->click();
    const int generators[][4] = {{20, 30, 906, 15}, {7, 281, 1000, 1}, {0, 0, 1, 0}, {1, 7, 12, 0}, {2, 1, 12, 0},
        {7, 21, 1000, 1}, {1, 5, 1000, 0}, {20, 30, 932, 15}, {0, 7, 997, 1}, {7, 1, 1000, 1}};
    for (const auto& [a, b, c, x1] : generators) {
        form.Lesson().SetC(c);
        form.Lesson().SetA(a);
        form.Lesson().SetB(b);
        form.Lesson().SetX(x1);
    }
    // what the chart says under the mouse in each view, and the message of a save that failed
    const auto hover = [&form](int Tab, double X, double Y) {
        form.TabControl1->TabBar()->setCurrentIndex(Tab);
        static_cast<void>(form.Views().HoverText(form.Lesson().Sequence(), form.Lesson().C().Value(), X, Y));
    };
    form.Lesson().SetC(17);
    form.Lesson().SetA(1);
    form.Lesson().SetB(4);
    form.Lesson().SetX(5);
    for (const auto& [x, y] : {std::pair{0.5, 2.5}, {2.5, 3.5}, {2.5, 0.5}})
        hover(0, x, y);
    hover(2, 5, 4);
    form.Lesson().SetC(1);
    for (const double x : {0.1, 0.5})
        hover(1, x, 0.5);
    {
        const TMessageRecorder quiet;
        EXPECT_FALSE(form.ChartMenu().SaveNumbersTo(QStringLiteral("/no/such/folder/numbers.csv")));
    }
    TFrmAbout about;
    FillAboutBox(about, dictionary);

    std::vector<std::string> keys;
    for (const std::string& line : dictionary.Capture())
        keys.push_back(KeyOfCaptureLine(line));
    form.Demon()->SetAutoCreateItlFile(false);  // no capture file left behind
    return keys;
}

TEST(ShippedDictionaries, HoldEveryKeyTheLessonLooksUp)
{
    const std::vector<std::string> asked = KeysAskedForByTheLesson();
    // the walk reached the window's captions, the last step, every view and the About dialog
    for (const char* reached : {"LCG - Random Number Generator", "Correlation Graph", "memo_13", "Successor (y)",
             "HomePage", "$dlglanguage$", "insight_c_is_one", "insight_fix_a", "insight_uneven", "insight_score_poor",
             "hover_bin_empty", "Save numbers...", "The file <%1%> could not be saved: <%2%>"})
        ASSERT_NE(std::find(asked.begin(), asked.end(), reached), asked.end()) << reached;
    for (const char* language : {"en", "de"}) {
        SCOPED_TRACE(language);
        TBabelfish2000 shipped;
        ASSERT_TRUE(shipped.LoadFromFile(std::string(SEWELLA_DATA_DIR) + "/sewella." + language + ".itl"));
        shipped.SetCreateItlFile(true);
        for (const std::string& key : asked)
            shipped.Translate(key);
        EXPECT_TRUE(shipped.Capture().empty()) << "first missing: " << shipped.Capture().front();
        shipped.SetCreateItlFile(false);
    }
}

}  // namespace
