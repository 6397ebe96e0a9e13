#include "translate/Babelfish2000.h"

#include "platform/AnsiText.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <istream>

namespace {

const std::string_view RecordEnd = "|$$";
const std::string_view CrLf = "\r\n";

// 1-based position of the first occurrence, 0 when missing.
long PositionOf(std::string_view Text, std::string_view Marker)
{
    const std::size_t p = Text.find(Marker);
    return p == std::string_view::npos ? 0 : static_cast<long>(p) + 1;
}

// Count characters from the 1-based Index; a count of zero or less gives nothing, an index below 1 starts at 1.
std::string Copy(std::string_view Text, long Index, long Count)
{
    if (Index < 1)
        Index = 1;
    if (Count <= 0 || Index > static_cast<long>(Text.size()))
        return {};
    return std::string(Text.substr(static_cast<std::size_t>(Index - 1), static_cast<std::size_t>(Count)));
}

void ReplaceChar(std::string& Text, char Old, char New)
{
    for (char& c : Text)
        if (c == Old)
            c = New;
}

std::string RunningExecutablePath()
{
#if defined(__linux__)
    std::error_code ec;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec)
        return path.string();
#endif
    return {};
}

}  // namespace

TBabelfish2000::TBabelfish2000(std::string AppName)
    : FAppName(std::move(AppName)), FExecutablePath(RunningExecutablePath())
{
}

TBabelfish2000::~TBabelfish2000()
{
    if (!FCreateItlFile)
        return;
    try {
        std::string error;
        if (!WriteCaptureFile(&error))
            std::cerr << "warning: " << error << '\n';
    } catch (const std::exception& e) {
        std::cerr << "warning: the translation capture file was not written: " << e.what() << '\n';
    }
}

std::string TBabelfish2000::Translate(const std::string& Key, const std::vector<std::string>& Args)
{
    const auto substitute = [&Args](std::string Text) {
        for (std::size_t j = 1; j <= Args.size(); ++j)
            Text = ReplaceAll(Text, "<%" + std::to_string(j) + "%>", Args[j - 1], true);
        return Text;
    };

    const std::string lowered = LowerAscii(Key);
    for (std::size_t i = 0; i < FKeys.size(); ++i) {
        if (FKeys[i] != lowered)
            continue;
        std::string text = substitute(FTexts[i]);
        if (OnTranslated)
            OnTranslated(this, Key, text);
        return text;
    }

    std::string text = substitute(Key);
    if (FCreateItlFile) {
        std::string line = "[" + Key + "]=" + Key + std::string(RecordEnd);
        // the set holds the lines lower-cased, so each miss costs one look-up however long the capture is
        if (FCaptured.insert(LowerAscii(line)).second)
            FCapture.push_back(std::move(line));
    }
    return text;
}

bool TBabelfish2000::LoadFromStream(std::istream& Stream)
{
    FKeys.clear();
    FTexts.clear();
    Stream.clear();
    Stream.seekg(0);
    if (Stream.fail())
        return false;  // records are cut by stepping back over what was read past them

    std::string record;
    while (ReadUpTo(Stream, RecordEnd, record)) {
        const long p1 = PositionOf(record, "[");
        const long p2 = PositionOf(record, "]=");
        const long p3 = PositionOf(record, RecordEnd);
        FKeys.push_back(NormalizeKey(LowerAscii(Copy(record, p1 + 1, p2 - p1 - 1))));
        FTexts.push_back(NormalizeText(Copy(record, p2 + 2, p3 - p2 - 2), FAppName));
    }
    return !Stream.bad();
}

bool TBabelfish2000::LoadFromFile(const std::string& Path)
{
    std::ifstream file(Path, std::ios::binary);
    if (!file.is_open())
        return false;
    return LoadFromStream(file);
}

std::string TBabelfish2000::CaptureFilePath() const
{
    if (!FCaptureFilePath.empty())
        return FCaptureFilePath;
    return CaptureFileNameFor(FExecutablePath);
}

std::string TBabelfish2000::CaptureFileContents() const
{
    std::string contents;
    for (const std::string& line : FCapture) {
        contents += line;
        contents += CrLf;
    }
    for (std::size_t i = 0; i < FKeys.size(); ++i) {
        contents += "[";
        contents += FKeys[i];
        contents += "]=";
        contents += FTexts[i];
        contents += RecordEnd;
        contents += CrLf;
    }
    return contents;
}

bool TBabelfish2000::WriteCaptureFile(std::string* Error) const
{
    const auto fail = [Error](const std::string& why) {
        if (Error)
            *Error = why;
        return false;
    };
    const std::string path = CaptureFilePath();
    if (path.empty())
        return fail("the translation capture file has no name: the executable's name is unknown");

    const std::string contents = CaptureFileContents();
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file.is_open())
        return fail("could not create the translation capture file \"" + path + "\": " + std::strerror(errno));
    file.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    file.close();
    if (file.fail())
        return fail("could not write the translation capture file \"" + path + "\": " + std::strerror(errno));
    return true;
}

std::string TBabelfish2000::ItlFileNameFor(std::string_view ProgramPath)
{
    const size_t separator = ProgramPath.find_last_of("/\\");
    const size_t nameStart = separator == std::string_view::npos ? 0 : separator + 1;
    const size_t length = ProgramPath.size();
    // a dot that begins the file name starts no extension
    if (length >= nameStart + 5 && ProgramPath[length - 4] == '.')
        return std::string(ProgramPath.substr(0, length - 4)) + ".itl";
    return std::string(ProgramPath) + ".itl";
}

std::string TBabelfish2000::CaptureFileNameFor(std::string_view ExecutablePath)
{
    const std::string name = std::filesystem::path(ExecutablePath).filename().string();
    if (name.empty())
        return {};
    return ItlFileNameFor(name);
}

std::string TBabelfish2000::ReplaceAll(
    std::string_view Text, std::string_view Old, std::string_view New, bool IgnoreCase)
{
    if (Old.empty())
        return std::string(Text);
    const std::string lowerOld = LowerAscii(Old);
    std::string result;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = IgnoreCase ? FindIgnoringAsciiCase(Text, lowerOld, start) : Text.find(Old, start);
        if (at == std::string_view::npos)
            break;
        result.append(Text.substr(start, at - start));
        result.append(New);
        start = at + Old.size();
    }
    result.append(Text.substr(start));
    return result;
}

bool TBabelfish2000::ReadUpTo(std::istream& Stream, std::string_view Delimiter, std::string& Record)
{
    Record.clear();
    const std::string lowerDelimiter = LowerAscii(Delimiter);
    constexpr std::size_t BlockSize = 256;
    char block[BlockSize];
    std::size_t searchFrom = 0;
    for (;;) {
        Stream.read(block, BlockSize);
        const std::streamsize got = Stream.gcount();
        if (got <= 0 || Stream.bad())
            return false;
        Record.append(block, static_cast<std::size_t>(got));

        // an empty delimiter never occurs, so a caller that loops until none is found ends
        const std::size_t at =
            Delimiter.empty() ? std::string::npos : FindIgnoringAsciiCase(Record, lowerDelimiter, searchFrom);
        if (at != std::string::npos) {
            const std::size_t end = at + Delimiter.size();
            const std::size_t unread = Record.size() - end;
            Record.resize(end);
            Stream.clear();  // a last short block ended the stream, but the position after the delimiter is valid
            if (unread > 0)
                Stream.seekg(-static_cast<std::streamoff>(unread), std::ios::cur);
            return true;
        }
        // only the tail that can still begin a delimiter needs searching again
        searchFrom = Record.size() >= Delimiter.size() ? Record.size() - Delimiter.size() + 1 : 0;
    }
}

std::string TBabelfish2000::NormalizeKey(std::string_view LowerCasedKey)
{
    std::string key(LowerCasedKey);
    ReplaceChar(key, '\r', ' ');
    ReplaceChar(key, '\n', ' ');
    ReplaceChar(key, '\t', ' ');
    std::string collapsed;
    collapsed.reserve(key.size());
    for (char c : key) {
        if (c == ' ' && (collapsed.empty() || collapsed.back() == ' '))
            continue;  // also drops leading blanks
        collapsed.push_back(c);
    }
    return collapsed;
}

std::string TBabelfish2000::NormalizeText(std::string_view Text, std::string_view AppName)
{
    std::string text(Text);
    ReplaceChar(text, '\r', ' ');
    ReplaceChar(text, '\n', ' ');
    text = ReplaceAll(text, "\\n", "\n", false);
    return ReplaceAll(text, "<%APPNAME%>", AppName, true);
}
