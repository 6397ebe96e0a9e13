#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <iterator>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

class QObject;

// The one translation dictionary of the program: keys (matched after ASCII lower-casing) map to texts of the
// current language. Keys asked for but missing can be captured into a new dictionary file that is written when
// the dictionary is destroyed. Keys and texts are bytes; the component walk is the only part that knows Qt.
class TBabelfish2000 {
public:
    // Loading reads at most this much of a stream. A longer dictionary is cut there with a warning on the error
    // stream; the records that end before the cut are kept.
    static constexpr std::size_t MaxLoadBytes = std::size_t{64} << 20;
    // The most the loaded entries keep (KeptBytes); an entry that would pass it ends the load. An entry keeps its
    // normalised key and text and 8 bytes, and a record is at least 3 bytes long, so a dictionary keeps at most 8/3
    // of the bytes read, unless an application name longer than its placeholder lengthens the texts.
    static constexpr std::size_t MaxKeptBytes = 3 * MaxLoadBytes;

    // The keys or the texts in file order, read in place; an element is handed out as a copy.
    class TEntryColumn {
    public:
        class const_iterator;
        using iterator = const_iterator;
        using value_type = std::string;

        TEntryColumn(const TBabelfish2000& Dictionary, bool Texts) : dictionary_(&Dictionary), texts_(Texts) { }
        std::size_t size() const { return dictionary_->entries_.size(); }
        bool empty() const { return size() == 0; }
        std::string operator[](std::size_t Index) const
        {
            return std::string(texts_ ? dictionary_->TextAt(Index) : dictionary_->KeyAt(Index));
        }
        const_iterator begin() const;
        const_iterator end() const;

    private:
        const TBabelfish2000* dictionary_;
        bool texts_;
    };

    using TTranslatedEvent = std::function<void(TBabelfish2000* Sender, const std::string& Key, std::string& Text)>;
    using TBeforeTranslateObjectEvent = std::function<void(TBabelfish2000* Sender, QObject* Instance, bool& Allow)>;

    explicit TBabelfish2000(std::string AppName = {});
    // Writes the capture file when CreateItlFile is on; a file that cannot be written is reported on the error
    // stream and never ends the program.
    ~TBabelfish2000();
    TBabelfish2000(const TBabelfish2000&) = delete;
    TBabelfish2000& operator=(const TBabelfish2000&) = delete;

    // The stored text of Key, or Key itself (as passed) when missing; argument j replaces "<%j%>". Never fails.
    std::string Translate(const std::string& Key, const std::vector<std::string>& Args = {});

    // Replaces Keys and Texts by the records of the stream, read from its beginning; Capture is kept. The stream
    // must be seekable: false, with an empty dictionary, when it is not. False after a read error of the stream;
    // the records read until then are kept (a stream whose exception mask includes badbit throws instead). Past
    // MaxLoadBytes or MaxKeptBytes the dictionary is cut, with one warning on the error stream.
    [[nodiscard]] bool LoadFromStream(std::istream& Stream);
    // The same from a file; false when the file cannot be opened (the dictionary is then unchanged) or read.
    [[nodiscard]] bool LoadFromFile(const std::string& Path);

    // Component translation (ComponentTranslation.cpp): replaces every "BF_" text of Component and of every
    // object it owns (its QObject children, depth first) by its translation.
    void TranslateComponent(QObject* Component);
    // Translates the properties of one object; enters collections and scale-property objects.
    void TranslateObject(QObject* Instance);

    bool CreateItlFile() const { return createItlFile_; }
    void SetCreateItlFile(bool Value) { createItlFile_ = Value; }
    const std::string& KeyPrefix() const { return keyPrefix_; }
    const std::string& AppName() const { return appName_; }
    TEntryColumn Keys() const { return {*this, false}; }
    TEntryColumn Texts() const { return {*this, true}; }
    // The heap bytes the loaded entries hold (a short string's bytes lie in the object itself).
    std::size_t KeptBytes() const
    {
        const std::size_t inPlace = std::string().capacity();
        return (entryBytes_.capacity() > inPlace ? entryBytes_.capacity() : 0) + entries_.capacity() * sizeof(TEntry);
    }
    const std::vector<std::string>& Capture() const { return capture_; }

    // The capture file is named after the executable (CaptureFileNameFor) and lies in the current directory,
    // unless an explicit path is set. The executable path defaults to the running program's, where the system
    // can tell it.
    const std::string& ExecutablePath() const { return executablePath_; }
    void SetExecutablePath(std::string Path) { executablePath_ = std::move(Path); }
    void SetCaptureFilePath(std::string Path) { captureFilePath_ = std::move(Path); }
    std::string CaptureFilePath() const;
    // Capture lines first, then one record per dictionary entry; every line ends with CR LF.
    std::string CaptureFileContents() const;
    // Writes CaptureFileContents to CaptureFilePath, replacing the file. On failure returns false and, when
    // Error is given, describes why.
    bool WriteCaptureFile(std::string* Error = nullptr) const;

    // The dictionary named after a program, in the program's directory: "/opt/sewella.exe" ->
    // "/opt/sewella.itl". Only a three-letter extension (a dot, three characters, something before them in
    // the file name) is replaced; any other name gets ".itl" appended.
    static std::string ItlFileNameFor(std::string_view ProgramPath);
    // The same name without the directory: "/opt/sewella.exe" -> "sewella.itl"; empty without a file name.
    static std::string CaptureFileNameFor(std::string_view ExecutablePath);

    // Shared text and stream utilities of the dictionary.
    // Replaces every Old by New from left to right; inserted text is never searched again. An empty Old
    // changes nothing.
    static std::string ReplaceAll(std::string_view Text, std::string_view Old, std::string_view New, bool IgnoreCase);
    // Reads in 256-byte blocks from the current position until the delimiter (letter case ignored) has been read.
    // Found: Record ends with the delimiter and the stream stands just after it. Not found: Record holds the rest.
    // An empty delimiter is never found.
    [[nodiscard]] static bool ReadUpTo(std::istream& Stream, std::string_view Delimiter, std::string& Record);
    static std::string NormalizeKey(std::string_view LowerCasedKey);
    static std::string NormalizeText(std::string_view Text, std::string_view AppName);

    TTranslatedEvent OnTranslated;
    TBeforeTranslateObjectEvent OnBeforeTranslateObject;

private:
    // Offsets into entryBytes_: an entry's key runs up to its text, its text up to the next entry's key.
    struct TEntry {
        std::uint32_t Key;
        std::uint32_t Text;
    };

    void AddRecords(std::string_view File);
    // False, with nothing added, when the entry would take the dictionary past MaxKeptBytes.
    [[nodiscard]] bool AddRecord(std::string_view Record);
    std::string_view KeyAt(std::size_t Index) const;
    std::string_view TextAt(std::size_t Index) const;

    std::string entryBytes_;
    std::vector<TEntry> entries_;
    const std::string keyPrefix_{"BF_"};
    std::vector<std::string> capture_;
    std::unordered_set<std::string> captured_;  // capture_'s lines in lower case
    bool createItlFile_ = false;
    std::string appName_;
    std::string executablePath_;
    std::string captureFilePath_;
};

class TBabelfish2000::TEntryColumn::const_iterator {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = std::string;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = std::string;

    const_iterator(TEntryColumn Column, std::size_t Index) : column_(Column), index_(Index) { }
    std::string operator*() const { return column_[index_]; }
    const_iterator& operator++()
    {
        ++index_;
        return *this;
    }
    const_iterator operator++(int)
    {
        const_iterator before = *this;
        ++index_;
        return before;
    }
    bool operator==(const const_iterator& Other) const { return index_ == Other.index_; }

private:
    TEntryColumn column_;
    std::size_t index_;
};

inline TBabelfish2000::TEntryColumn::const_iterator TBabelfish2000::TEntryColumn::begin() const
{
    return {*this, 0};
}

inline TBabelfish2000::TEntryColumn::const_iterator TBabelfish2000::TEntryColumn::end() const
{
    return {*this, size()};
}

inline bool operator==(const TBabelfish2000::TEntryColumn& A, const TBabelfish2000::TEntryColumn& B)
{
    return std::equal(A.begin(), A.end(), B.begin(), B.end());
}

inline bool operator==(const TBabelfish2000::TEntryColumn& A, const std::vector<std::string>& B)
{
    return std::equal(A.begin(), A.end(), B.begin(), B.end());
}
