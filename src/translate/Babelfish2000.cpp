#include "translate/Babelfish2000.h"

#include "platform/os/AnsiText.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <istream>

namespace {

const std::string_view RecordEnd = "|$$";
const std::string_view CrLf = "\r\n";

const std::string_view AppNamePlaceholder = "<%APPNAME%>";
constexpr std::size_t BlockSize = 256;

// 1-based position of the first occurrence, 0 when missing.
long PositionOf(std::string_view Text, std::string_view Marker)
{
    const std::size_t p = Text.find(Marker);
    return p == std::string_view::npos ? 0 : static_cast<long>(p) + 1;
}

// Count characters from the 1-based Index; a count of zero or less gives nothing, an index below 1 starts at 1.
std::string_view Copy(std::string_view Text, long Index, long Count)
{
    if (Index < 1)
        Index = 1;
    if (Count <= 0 || Index > static_cast<long>(Text.size()))
        return {};
    return Text.substr(static_cast<std::size_t>(Index - 1), static_cast<std::size_t>(Count));
}

// Lower case, CR, LF and tab as blanks, each run of blanks as one, no leading blank.
void AppendNormalizedKey(std::string& Out, std::string_view Key)
{
    const std::size_t start = Out.size();
    for (char c : Key) {
        c = LowerAscii(c);
        if (c == '\r' || c == '\n' || c == '\t')
            c = ' ';
        if (c == ' ' && (Out.size() == start || Out.back() == ' '))
            continue;
        Out.push_back(c);
    }
}

// CR and LF as blanks, then "\n" as a line feed, then the placeholder as the application name, in one pass: the
// steps cannot interact, as a placeholder holds no backslash, blank or line feed. False when a name would take Out
// past Limit (only a name longer than its placeholder makes a text grow).
bool AppendNormalizedText(std::string& Out, std::string_view Text, std::string_view AppName, std::size_t Limit)
{
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const char c = Text[i];
        if (c == '\\' && i + 1 < Text.size() && Text[i + 1] == 'n') {
            Out.push_back('\n');
            ++i;
        } else if (c == '<' && EqualIgnoringAsciiCase(Text.substr(i, AppNamePlaceholder.size()), AppNamePlaceholder)) {
            if (Out.size() + AppName.size() > Limit)
                return false;
            Out.append(AppName);
            i += AppNamePlaceholder.size() - 1;
        } else {
            Out.push_back(c == '\r' || c == '\n' ? ' ' : c);
        }
    }
    return true;
}

// The bytes from the current position to the end, or 0 when the stream cannot tell; the position is kept.
std::size_t RemainingBytes(std::istream& Stream)
{
    const std::istream::pos_type here = Stream.tellg();
    if (here == std::istream::pos_type(-1))
        return 0;
    Stream.seekg(0, std::ios::end);
    const std::istream::pos_type end = Stream.tellg();
    Stream.clear();
    Stream.seekg(here);
    return end > here ? static_cast<std::size_t>(end - here) : 0;
}

enum class [[nodiscard]] TReadEnd;  // apart: clang-format 14 garbles it on the definition
enum class TReadEnd { Whole, Cut, ReadError };

// Reads 256-byte blocks up to Limit bytes. A block that fails to read is dropped, so after a read error Bytes
// holds what was read before it.
TReadEnd ReadAtMost(std::istream& Stream, std::size_t Limit, std::string& Bytes)
{
    Bytes.reserve(std::min(RemainingBytes(Stream), Limit));
    char block[BlockSize];
    while (Bytes.size() < Limit) {
        const std::size_t wanted = std::min(BlockSize, Limit - Bytes.size());
        Stream.read(block, static_cast<std::streamsize>(wanted));
        if (Stream.bad())
            return TReadEnd::ReadError;
        const auto got = static_cast<std::size_t>(Stream.gcount());
        Bytes.append(block, got);
        if (got < wanted)
            return TReadEnd::Whole;
    }
    const bool more = !std::istream::traits_type::eq_int_type(Stream.peek(), std::istream::traits_type::eof());
    return Stream.bad() ? TReadEnd::ReadError : more ? TReadEnd::Cut : TReadEnd::Whole;
}

std::size_t CountOf(std::string_view Text, std::string_view Marker)
{
    std::size_t count = 0;
    for (std::size_t at = Text.find(Marker); at != std::string_view::npos; at = Text.find(Marker, at + Marker.size()))
        ++count;
    return count;
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
    : appName_(std::move(AppName)), executablePath_(RunningExecutablePath())
{
}

TBabelfish2000::~TBabelfish2000()
{
    if (!createItlFile_)
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
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (KeyAt(i) != lowered)
            continue;
        std::string text = substitute(std::string(TextAt(i)));
        if (OnTranslated)
            OnTranslated(this, Key, text);
        return text;
    }

    std::string text = substitute(Key);
    if (createItlFile_) {
        std::string line = "[" + Key + "]=" + Key + std::string(RecordEnd);
        // the set holds the lines lower-cased, so each miss costs one look-up however long the capture is
        if (captured_.insert(LowerAscii(line)).second)
            capture_.push_back(std::move(line));
    }
    return text;
}

bool TBabelfish2000::LoadFromStream(std::istream& Stream)
{
    entries_.clear();
    entries_.shrink_to_fit();
    entryBytes_.clear();
    entryBytes_.shrink_to_fit();
    Stream.clear();
    Stream.seekg(0);
    if (Stream.fail())
        return false;  // records are found by reading from the beginning

    TReadEnd end;
    {
        std::string file;
        end = ReadAtMost(Stream, MaxLoadBytes, file);
        AddRecords(file);
    }
    if (end == TReadEnd::Cut)
        std::cerr << "warning: the dictionary is longer than " << (MaxLoadBytes >> 20) << " MiB; only the "
                  << entries_.size() << " records in its first " << (MaxLoadBytes >> 20) << " MiB are loaded\n";
    entries_.shrink_to_fit();
    entryBytes_.shrink_to_fit();
    return end != TReadEnd::ReadError;
}

void TBabelfish2000::AddRecords(std::string_view File)
{
    entries_.reserve(CountOf(File, RecordEnd));
    entryBytes_.reserve(File.size());
    std::size_t start = 0;
    for (std::size_t at = File.find(RecordEnd); at != std::string_view::npos; at = File.find(RecordEnd, start)) {
        if (!AddRecord(File.substr(start, at + RecordEnd.size() - start))) {
            std::cerr << "warning: the dictionary's texts would pass " << (MaxKeptBytes >> 20)
                      << " MiB; only its first " << entries_.size() << " records are loaded\n";
            return;
        }
        start = at + RecordEnd.size();
    }
}

bool TBabelfish2000::AddRecord(std::string_view Record)
{
    // a record has at least 3 bytes, so the entries alone never fill the ceiling, and offsets fit 32 bits
    static_assert(MaxLoadBytes / 3 * sizeof(TEntry) < MaxKeptBytes && MaxKeptBytes <= UINT32_MAX);
    const long p1 = PositionOf(Record, "[");
    const long p2 = PositionOf(Record, "]=");
    const long p3 = PositionOf(Record, RecordEnd);
    const std::size_t room = MaxKeptBytes - (entries_.size() + 1) * sizeof(TEntry);
    const std::size_t before = entryBytes_.size();
    AppendNormalizedKey(entryBytes_, Copy(Record, p1 + 1, p2 - p1 - 1));
    const std::size_t text = entryBytes_.size();
    if (!AppendNormalizedText(entryBytes_, Copy(Record, p2 + 2, p3 - p2 - 2), appName_, room) ||
        entryBytes_.size() > room) {
        entryBytes_.resize(before);
        return false;
    }
    entries_.push_back({static_cast<std::uint32_t>(before), static_cast<std::uint32_t>(text)});
    return true;
}

std::string_view TBabelfish2000::KeyAt(std::size_t Index) const
{
    const TEntry& entry = entries_[Index];
    return std::string_view(entryBytes_).substr(entry.Key, entry.Text - entry.Key);
}

std::string_view TBabelfish2000::TextAt(std::size_t Index) const
{
    const std::size_t end = Index + 1 < entries_.size() ? entries_[Index + 1].Key : entryBytes_.size();
    return std::string_view(entryBytes_).substr(entries_[Index].Text, end - entries_[Index].Text);
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
    if (!captureFilePath_.empty())
        return captureFilePath_;
    return CaptureFileNameFor(executablePath_);
}

std::string TBabelfish2000::CaptureFileContents() const
{
    std::size_t size =
        entryBytes_.size() + entries_.size() * (std::string_view("[]=").size() + RecordEnd.size() + CrLf.size());
    for (const std::string& line : capture_)
        size += line.size() + CrLf.size();
    std::string contents;
    contents.reserve(size);
    for (const std::string& line : capture_) {
        contents += line;
        contents += CrLf;
    }
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        contents += "[";
        contents += KeyAt(i);
        contents += "]=";
        contents += TextAt(i);
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
    std::string key;
    AppendNormalizedKey(key, LowerCasedKey);
    return key;
}

std::string TBabelfish2000::NormalizeText(std::string_view Text, std::string_view AppName)
{
    std::string text;
    AppendNormalizedText(text, Text, AppName, std::string::npos);
    return text;
}
