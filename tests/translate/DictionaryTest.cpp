#include "translate/Babelfish2000.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <unistd.h>

namespace {

void Load(TBabelfish2000& Dictionary, const std::string& Bytes)
{
    std::istringstream stream(Bytes);
    static_cast<void>(Dictionary.LoadFromStream(stream));  // a string stream has no read error
}

std::string ReadFile(const std::filesystem::path& Path)
{
    std::ifstream file(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::filesystem::path TempPath(const std::string& Name)
{
    return std::filesystem::temp_directory_path() / (std::to_string(::getpid()) + "-" + Name);
}

const std::string SampleFile = "header noise [Next]=Weiter|$$\r\n"
                               "[Precursor (x)]=Vorg\xE4nger|$$\r\n"
                               "[two  blanks]=zwei|$$\r\n"
                               "[Dup]=first|$$\r\n"
                               "[DUP]=second|$$\r\n"
                               "[lines]=one\\ntwo|$$\r\n"
                               "[wrapped]=one\r\ntwo|$$\r\n"
                               "[upper]=a\\Nb|$$\r\n"
                               "[app]=x<%appName%>y|$$\r\n"
                               "[   ]=blank|$$\r\n"
                               "[ \t lead\r\nkey]=lk|$$\r\n"
                               "[trail \t]=t|$$\r\n"
                               "[args]=<%1%> and <%2%>|$$\r\n"
                               "[Never]=seen\r\n";

TEST(Dictionary, LooksUpLoadedRecords)
{
    TBabelfish2000 dictionary;
    Load(dictionary, SampleFile);
    EXPECT_EQ(dictionary.Keys().size(), 13u);  // the unterminated last record is ignored
    ASSERT_EQ(dictionary.Keys().size(), dictionary.Texts().size());

    const struct {
        const char* key;
        const char* expected;
    } rows[] = {
        {"Next", "Weiter"},
        {"NEXT", "Weiter"},
        {"precursor (X)", "Vorg\xE4nger"},
        {"two  blanks", "two  blanks"},  // the stored key was collapsed to one blank
        {"two blanks", "zwei"},
        {"dup", "first"},
        {"lines", "one\ntwo"},
        {"wrapped", "one  two"},
        {"upper", "a\\Nb"},
        {"app", "xy"},
        {"", "blank"},
        {"lead key", "lk"},
        {"lead\tkey", "lead\tkey"},
        {"trail ", "t"},  // one trailing blank stays
        {"trail", "trail"},
        {"args", "<%1%> and <%2%>"},
        {"Never", "Never"},
        {"Missing Key", "Missing Key"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(dictionary.Translate(row.key), row.expected);
    }
}

TEST(Dictionary, ArgumentsAreSubstitutedInOrder)
{
    TBabelfish2000 dictionary;
    Load(dictionary, "[args]=<%1%> and <%2%>|$$[ten]=<%10%>,<%1%>|$$");
    // argument 2's placeholder arriving with argument 1 is filled by the second pass
    EXPECT_EQ(dictionary.Translate("args", {"A<%2%>", "B"}), "AB and B");
    EXPECT_EQ(dictionary.Translate("args", {"only"}), "only and <%2%>");
    EXPECT_EQ(dictionary.Translate("ten", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "X"}), "X,1");
    EXPECT_EQ(dictionary.Translate("Hello <%1%>", {"you"}), "Hello you");
}

TEST(Dictionary, OnTranslatedSeesFoundKeysOnly)
{
    TBabelfish2000 dictionary;
    Load(dictionary, "[next]=Weiter|$$");
    std::vector<std::string> seen;
    dictionary.OnTranslated = [&](TBabelfish2000* sender, const std::string& key, std::string& text) {
        EXPECT_EQ(sender, &dictionary);
        seen.push_back(key);
        text += "!";
    };
    EXPECT_EQ(dictionary.Translate("NeXt"), "Weiter!");
    EXPECT_EQ(dictionary.Translate("Exit"), "Exit");
    EXPECT_EQ(seen, std::vector<std::string>{"NeXt"});
}

TEST(Dictionary, ReplaceAllNeverSearchesInsertedText)
{
    const struct {
        const char *text, *oldText, *newText;
        bool ignoreCase;
        const char* expected;
    } rows[] = {
        {"aaa", "a", "aa", false, "aaaaaa"}, {"abab", "ab", "xab", false, "xabxab"}, {"aaa", "aa", "b", false, "ba"},
        {"ABab", "ab", "x", true, "xx"}, {"ABab", "ab", "x", false, "ABx"}, {"xyx", "x", "", false, "y"},
        {"abc", "", "x", false, "abc"},
        {"\xC4\xE4", "\xE4", "e", true,
            "\xC4"
            "e"},  // only A..Z fold
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(TBabelfish2000::ReplaceAll(row.text, row.oldText, row.newText, row.ignoreCase), row.expected);
    }
}

TEST(Dictionary, CaptureFileHoldsEachMissingKeyOnceThenTheDictionary)
{
    const auto path = TempPath("capture.itl");
    {
        TBabelfish2000 dictionary;
        dictionary.SetCaptureFilePath(path.string());
        Load(dictionary, "[Old]=gone|$$");
        dictionary.Translate("Unseen");  // capturing is off
        dictionary.SetCreateItlFile(true);
        dictionary.Translate("Exit");
        Load(dictionary, "[Next]=Weiter|$$\r\n[Lines]=a\\nb <%APPNAME%>|$$");  // reloading keeps the capture
        dictionary.Translate("Exit");
        for (int i = 0; i < 3; ++i)
            dictionary.Translate("Precursor (x)");
        dictionary.Translate("PRECURSOR (X)");
        dictionary.Translate("NEXT");
    }
    EXPECT_EQ(ReadFile(path),
        "[Exit]=Exit|$$\r\n"
        "[Precursor (x)]=Precursor (x)|$$\r\n"
        "[next]=Weiter|$$\r\n"
        "[lines]=a\nb |$$\r\n");
    std::filesystem::remove(path);
}

TEST(Dictionary, ManyMissingKeysAreCapturedOnceInTheOrderAndCaseFirstAsked)
{
    // keys asked again in another letter case, or interleaved with new ones, keep their first place and case
    TBabelfish2000 dictionary;
    dictionary.SetCreateItlFile(true);
    std::vector<std::string> expected;
    const auto key = [](int i) { return "Key " + std::to_string(i) + " of Many"; };
    for (int i = 0; i < 3000; ++i) {
        dictionary.Translate(key(i));
        expected.push_back("[" + key(i) + "]=" + key(i) + "|$$");
        if (i % 3 == 0)
            dictionary.Translate("KEY " + std::to_string(i / 2) + " OF MANY");
        if (i % 7 == 0)
            dictionary.Translate("key " + std::to_string(i) + " of many");
    }
    // a key that differs only beyond ASCII letter case is another key
    dictionary.Translate("Key 1 of Many\xc3\x84");
    dictionary.Translate("Key 1 of Many\xc3\xa4");
    expected.push_back("[Key 1 of Many\xc3\x84]=Key 1 of Many\xc3\x84|$$");
    expected.push_back("[Key 1 of Many\xc3\xa4]=Key 1 of Many\xc3\xa4|$$");
    EXPECT_EQ(dictionary.Capture(), expected);
    dictionary.SetCreateItlFile(false);  // no capture file in the working directory
}

TEST(Dictionary, UnwritableCaptureFileIsReportedAndDoesNotStopTheProgram)
{
    const auto path = TempPath("no-such-dir") / "capture.itl";
    testing::internal::CaptureStderr();
    {
        TBabelfish2000 dictionary;
        dictionary.SetCaptureFilePath(path.string());
        dictionary.SetCreateItlFile(true);
        dictionary.Translate("Exit");
        std::string error;
        EXPECT_FALSE(dictionary.WriteCaptureFile(&error));
        EXPECT_NE(error.find(path.string()), std::string::npos);
    }
    const std::string output = testing::internal::GetCapturedStderr();
    EXPECT_NE(output.find("warning"), std::string::npos);
    EXPECT_NE(output.find(path.string()), std::string::npos);
}

TEST(Dictionary, DictionaryAndCaptureFileAreNamedAfterTheProgram)
{
    // one rule, two uses: the dictionary beside the program keeps the directory, the capture file only the name
    const struct {
        const char *program, *beside, *captured;
    } rows[] = {
        {"/opt/lesson/sewella.exe", "/opt/lesson/sewella.itl", "sewella.itl"},
        {"/opt/lesson/SEWELLA.EXE", "/opt/lesson/SEWELLA.itl", "SEWELLA.itl"},
        {"/usr/bin/sewella", "/usr/bin/sewella.itl", "sewella.itl"},
        {"/usr/bin/run.sh", "/usr/bin/run.sh.itl", "run.sh.itl"},
        {"/opt/v1.2/lcg", "/opt/v1.2/lcg.itl", "lcg.itl"},
        {"/opt/ab.c", "/opt/ab.c.itl", "ab.c.itl"},
        {"/opt/.cfg", "/opt/.cfg.itl", ".cfg.itl"},
        {"/opt/x.y.z", "/opt/x.itl", "x.itl"},  // the last four characters are a dot and three more
        {"C:\\Apps\\sewella.exe", "C:\\Apps\\sewella.itl", nullptr},
        {"x", "x.itl", "x.itl"},
        {"", ".itl", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.program);
        EXPECT_EQ(TBabelfish2000::ItlFileNameFor(row.program), row.beside);
        if (row.captured) {
            EXPECT_EQ(TBabelfish2000::CaptureFileNameFor(row.program), row.captured);
        }
    }
    TBabelfish2000 dictionary;
    dictionary.SetExecutablePath("/somewhere/tool");
    EXPECT_EQ(dictionary.CaptureFilePath(), "tool.itl");  // relative: the current directory
}

TEST(Dictionary, LoadingReplacesTheDictionaryFromTheStreamsBeginning)
{
    TBabelfish2000 dictionary;
    std::istringstream stream("[a]=1|$$[b]=2|$$");
    std::string rest((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(dictionary.LoadFromStream(stream));  // a stream already read to its end
    EXPECT_EQ(dictionary.Keys(), (std::vector<std::string>{"a", "b"}));

    const auto path = TempPath("load.itl");
    std::ofstream(path, std::ios::binary) << "[Next]=Weiter|$$\r\n";
    EXPECT_TRUE(dictionary.LoadFromFile(path.string()));
    EXPECT_EQ(dictionary.Keys(), std::vector<std::string>{"next"});
    std::filesystem::remove(path);
    EXPECT_FALSE(dictionary.LoadFromFile(path.string()));
    EXPECT_EQ(dictionary.Translate("next"), "Weiter");
}

// Serves its bytes; then, like a device, either fails to read or, like a pipe, refuses to go back.
class TDeviceBuffer : public std::streambuf {
public:
    TDeviceBuffer(std::string Bytes, bool CanSeek) : bytes_(std::move(Bytes)), canSeek_(CanSeek)
    {
        setg(bytes_.data(), bytes_.data(), bytes_.data() + bytes_.size());
    }

protected:
    int_type underflow() override
    {
        if (canSeek_)
            throw std::runtime_error("read error");
        return traits_type::eof();
    }
    pos_type seekoff(off_type Offset, std::ios::seekdir Direction, std::ios::openmode) override
    {
        if (!canSeek_)
            return pos_type(off_type(-1));
        char* base = Direction == std::ios::beg ? eback() : Direction == std::ios::cur ? gptr() : egptr();
        setg(eback(), base + Offset, egptr());
        return gptr() - eback();
    }
    pos_type seekpos(pos_type Position, std::ios::openmode Mode) override
    {
        return seekoff(off_type(Position), std::ios::beg, Mode);
    }

private:
    std::string bytes_;
    bool canSeek_;
};

TEST(Dictionary, UnreadableStreamsAreReported)
{
    TBabelfish2000 dictionary;
    TDeviceBuffer failing("[a]=1|$$[b]=" + std::string(300, 'x') + "|$$", true);
    std::istream failingStream(&failing);
    EXPECT_FALSE(dictionary.LoadFromStream(failingStream));
    EXPECT_EQ(dictionary.Keys(), std::vector<std::string>{"a"});  // the records read before the error stay

    TDeviceBuffer forwardOnly("[a]=1|$$[b]=2|$$", false);
    std::istream forwardOnlyStream(&forwardOnly);
    EXPECT_FALSE(dictionary.LoadFromStream(forwardOnlyStream));
    EXPECT_TRUE(dictionary.Keys().empty());
}

TEST(Dictionary, MalformedRecordsStillAddOneEntryEach)
{
    TBabelfish2000 dictionary;
    Load(dictionary, "|$$no markers|$$]=x[y|$$[k]=|$$");
    EXPECT_EQ(dictionary.Keys(), (std::vector<std::string>{"", "", "", "k"}));
    EXPECT_EQ(dictionary.Texts()[2], "x[y");
    EXPECT_EQ(dictionary.Texts()[3], "");
}

TEST(Dictionary, ReadUpToFindsDelimitersAcrossBlocksAndStopsJustAfterThem)
{
    const std::string x253(253, 'x'), x256(256, 'x'), x600(600, 'x');
    const struct {
        std::string input;
        const char* delimiter;
        bool found;
        std::string record;
    } rows[] = {
        {"|$$tail", "|$$", true, "|$$"},
        {x253 + "|$$tail", "|$$", true, x253 + "|$$"},    // the delimiter ends the first block
        {x253 + "x|$$tail", "|$$", true, x253 + "x|$$"},  // it straddles two blocks
        {x256 + "|$$tail", "|$$", true, x256 + "|$$"},
        {x600 + "|$$", "|$$", true, x600 + "|$$"},  // it ends the stream
        {"abcEND|$$", "end", true, "abcEND"},
        {"abc|$", "|$$", false, "abc|$"},
        {"abc", "", false, "abc"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.input.substr(row.input.size() > 10 ? row.input.size() - 10 : 0));
        std::istringstream stream(row.input);
        std::string record;
        EXPECT_EQ(TBabelfish2000::ReadUpTo(stream, row.delimiter, record), row.found);
        EXPECT_EQ(record, row.record);
        if (row.found) {
            EXPECT_EQ(stream.tellg(), static_cast<std::streamoff>(row.record.size()));
        }
    }
}

// Any bytes load without failing: one entry per record end, normalised keys, and no more text than was read.
TEST(Dictionary, RandomStreamsLoadIntoBoundedWellFormedDictionaries)
{
    std::mt19937 random(20261208);
    const std::vector<std::string> pieces = {"[", "]=", "|$$", "\\n", "\r\n", "\t", "  ", "<%APPNAME%>", "Ab"};
    for (int round = 0; round < 300; ++round) {
        std::string input;
        const int length = std::uniform_int_distribution<int>(0, 3000)(random);
        while (static_cast<int>(input.size()) < length) {
            if (random() % 3 == 0)
                input += pieces[random() % pieces.size()];
            else
                input += static_cast<char>(random() % 256);
        }
        std::size_t records = 0;
        for (std::size_t at = input.find("|$$"); at != std::string::npos; at = input.find("|$$", at + 3))
            ++records;

        TBabelfish2000 dictionary("app");
        Load(dictionary, input);
        ASSERT_EQ(dictionary.Keys().size(), records);
        ASSERT_EQ(dictionary.Texts().size(), records);
        std::size_t stored = 0;
        for (const std::string& key : dictionary.Keys()) {
            stored += key.size();
            ASSERT_EQ(key.find_first_of("\r\n\tABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos);
            ASSERT_EQ(key.find("  "), std::string::npos);
            ASSERT_NE(key.rfind(' ', 0), 0u);
        }
        for (const std::string& text : dictionary.Texts())
            stored += text.size();
        ASSERT_LE(stored, input.size());
    }
}

// A search that restarted at the beginning after every block would not finish here.
TEST(Dictionary, HugeStreamsLoad)
{
    std::string input(2 << 20, '[');
    TBabelfish2000 dictionary;
    Load(dictionary, input + "]=|$$[short]=s|$$");
    EXPECT_EQ(dictionary.Keys().size(), 2u);
    EXPECT_EQ(dictionary.Translate("short"), "s");
}

// Every shape of record, however short, keeps under three times the bytes read, and long records load whole.
TEST(Dictionary, KeptBytesStayUnderThreeTimesTheFile)
{
    const struct {
        const char* name;
        std::string record;
        std::size_t repeats;
    } rows[] = {
        {"record ends only", "|$$", 400000},
        {"escaped line ends", "[]=\\n|$$", 160000},
        {"record ends on lines", "|$$\r\n", 250000},
        {"escaped line end keys and texts", "[\\n]=\\n\\n|$$", 120000},
        {"one long key", "[" + std::string(1 << 20, 'K') + "]=v|$$", 1},
        {"one long text", "[k]=" + std::string(1 << 20, 'v') + "|$$", 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::string file;
        for (std::size_t i = 0; i < row.repeats; ++i)
            file += row.record;
        TBabelfish2000 dictionary;
        Load(dictionary, file);
        EXPECT_EQ(dictionary.Keys().size(), row.repeats);
        EXPECT_LT(dictionary.KeptBytes(), 3 * file.size());
    }
    TBabelfish2000 dictionary;
    Load(dictionary, "[k]=" + std::string(1 << 20, 'v') + "|$$[" + std::string(1 << 20, 'K') + "]=v|$$");
    EXPECT_EQ(dictionary.Translate("k"), std::string(1 << 20, 'v'));
    EXPECT_EQ(dictionary.Translate(std::string(1 << 20, 'k')), "v");
}

// A file that grows without holding its bytes: Head, then blanks, then Tail ending at Size.
class TLongFileBuffer : public std::streambuf {
public:
    TLongFileBuffer(std::string Head, std::string Tail, std::size_t Size)
        : head_(std::move(Head)), tail_(std::move(Tail)), filler_(1 << 16, ' '), size_(Size)
    {
        Serve(0);
    }

protected:
    int_type underflow() override { return Serve(Position()) ? traits_type::to_int_type(*gptr()) : traits_type::eof(); }
    pos_type seekoff(off_type Offset, std::ios::seekdir Direction, std::ios::openmode) override
    {
        const std::size_t base = Direction == std::ios::beg ? 0 : Direction == std::ios::cur ? Position() : size_;
        const std::size_t target = base + static_cast<std::size_t>(Offset);
        if (target > size_)
            return pos_type(off_type(-1));
        Serve(target);
        return pos_type(static_cast<off_type>(target));
    }
    pos_type seekpos(pos_type Position, std::ios::openmode Mode) override
    {
        return seekoff(off_type(Position), std::ios::beg, Mode);
    }

private:
    std::size_t Position() const { return start_ + static_cast<std::size_t>(gptr() - eback()); }
    bool Serve(std::size_t At)
    {
        const std::size_t tailStart = size_ - tail_.size();
        std::string& part = At < head_.size() ? head_ : At >= tailStart ? tail_ : filler_;
        const std::size_t start = &part == &head_ ? 0 : &part == &tail_ ? tailStart : At;
        const std::size_t length = &part == &filler_ ? std::min(part.size(), tailStart - At) : part.size();
        start_ = start;
        setg(part.data(), part.data() + (At - start), part.data() + length);
        return At < size_;
    }

    std::string head_, tail_, filler_;
    std::size_t size_, start_ = 0;
};

TEST(Dictionary, AFileLongerThanTheCeilingIsCutThereWithOneWarning)
{
    const std::string atCut = "[at cut]=2|$$";
    TLongFileBuffer buffer("[first]=1|$$", atCut + "[late]=3|$$", TBabelfish2000::MaxLoadBytes + 11);
    std::istream stream(&buffer);
    TBabelfish2000 dictionary;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(dictionary.LoadFromStream(stream));
    const std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_EQ(dictionary.Keys(), (std::vector<std::string>{"first", "at cut"}));  // the blanks lie before a "["
    EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1);
    EXPECT_NE(warning.find("64 MiB"), std::string::npos) << warning;
}

// Line feeds, the application name and blanks for line breaks are put in by one pass over the text.
TEST(Dictionary, TextRulesNeverActOnEachOthersResults)
{
    const struct {
        const char *text, *appName, *expected;
    } rows[] = {
        {"a\\\\nb", "", "a\\\nb"},                                // the second backslash begins the line feed
        {"a\\\r\nb", "", "a\\  b"},                               // a real line break after a backslash is two blanks
        {"<%APP\\nNAME%>", "X", "<%APP\nNAME%>"},                 // a line feed inside breaks the placeholder
        {"<<%appName%>>", "\\n<%APPNAME%>", "<\\n<%APPNAME%>>"},  // the name is put in as it is
        {"x<%APPNAME%", "X", "x<%APPNAME%"},
        {"ends in \\", "", "ends in \\"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(TBabelfish2000::NormalizeText(row.text, row.appName), row.expected);
    }
}

}  // namespace
