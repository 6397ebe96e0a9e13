#include <gtest/gtest.h>

#include <QTextEdit>
#include <QTextDocument>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/os/AnsiText.h"
#include "translate/Babelfish2000.h"

namespace {

std::string ReadFile(const std::string& Path)
{
    std::ifstream file(Path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

struct Shipped {
    const char* Language;
    const char* DialogLanguage;
};
const Shipped ShippedLanguages[] = {{"en", "lgenglish"}, {"de", "lggerman"}};

std::string PathOf(const Shipped& Language)
{
    return std::string(SEWELLA_DATA_DIR) + "/sewella." + Language.Language + ".itl";
}

// Every key the lesson's windows and views ask for.
std::vector<std::string> RequiredKeys()
{
    std::vector<std::string> keys = {"LCG - Random Number Generator", "Exit", "About", "Reset", "Next", "Series length",
        "Random Area", "Histogram", "Correlation Graph", "HomePage", "OK", "Precursor (x)", "Successor (y)",
        "HomePageURL", "$dlglanguage$"};
    for (int step = 1; step <= 13; ++step)
        keys.push_back("memo_" + std::to_string(step));
    return keys;
}

std::multiset<std::string> PlaceholdersIn(const std::string& Text)
{
    static const std::regex placeholder("<%[0-9]+%>");
    std::multiset<std::string> found;
    for (auto it = std::sregex_iterator(Text.begin(), Text.end(), placeholder); it != std::sregex_iterator(); ++it)
        found.insert(it->str());
    return found;
}

TEST(ShippedDictionaries, AreUtf8AndHoldEveryKeyTheProgramAsksFor)
{
    for (const Shipped& language : ShippedLanguages) {
        SCOPED_TRACE(language.Language);
        const std::string bytes = ReadFile(PathOf(language));
        ASSERT_FALSE(bytes.empty());
        EXPECT_TRUE(IsValidUtf8(bytes));
        TBabelfish2000 dictionary;
        std::istringstream stream(bytes);
        ASSERT_TRUE(dictionary.LoadFromStream(stream));
        const std::set<std::string> keys(dictionary.Keys().begin(), dictionary.Keys().end());
        EXPECT_EQ(keys.size(), dictionary.Keys().size()) << "a repeated key hides its second text";
        for (const std::string& key : RequiredKeys())
            EXPECT_TRUE(keys.count(LowerAscii(key))) << key;
        for (const std::string& text : dictionary.Texts())
            EXPECT_FALSE(text.empty() || text.starts_with(' ') || text.ends_with(' ')) << '"' << text << '"';
        EXPECT_EQ(dictionary.Translate("$dlglanguage$"), language.DialogLanguage);
    }
}

TEST(ShippedDictionaries, BothLanguagesHaveTheSameKeysAndPlaceholders)
{
    TBabelfish2000 english, german;
    ASSERT_TRUE(english.LoadFromFile(PathOf(ShippedLanguages[0])));
    ASSERT_TRUE(german.LoadFromFile(PathOf(ShippedLanguages[1])));
    ASSERT_EQ(english.Keys(), german.Keys());
    for (size_t i = 0; i < english.Keys().size(); ++i)
        EXPECT_EQ(PlaceholdersIn(english.Texts()[i]), PlaceholdersIn(german.Texts()[i])) << english.Keys()[i];
}

TEST(ShippedDictionaries, EveryLessonTextFitsTheMemoWithoutScrolling)
{
    // the main window's memo: 491 x 104 pixels, Arial 13 px
    QTextEdit memo;
    memo.setReadOnly(true);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    memo.setFont(font);
    memo.resize(491, 104);
    memo.show();
    for (const Shipped& language : ShippedLanguages) {
        TBabelfish2000 dictionary;
        ASSERT_TRUE(dictionary.LoadFromFile(PathOf(language)));
        for (int step = 1; step <= 13; ++step) {
            const std::string key = "memo_" + std::to_string(step);
            SCOPED_TRACE(std::string(language.Language) + " " + key);
            memo.setPlainText(FromAnsi(dictionary.Translate(key)));
            EXPECT_LE(memo.document()->size().height(), memo.viewport()->height());
        }
    }
}

}  // namespace
