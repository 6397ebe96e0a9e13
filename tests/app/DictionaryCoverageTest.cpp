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
#include "app/Mainform.h"
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
    for (const char* reached :
        {"LCG - Random Number Generator", "Correlation Graph", "memo_13", "Successor (y)", "HomePage", "$dlglanguage$"})
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
