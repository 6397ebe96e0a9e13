#pragma once

#include <functional>
#include <iosfwd>
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
    // the entries loaded until then are kept (a stream whose exception mask includes badbit throws instead).
    bool LoadFromStream(std::istream& Stream);
    // The same from a file; false when the file cannot be opened (the dictionary is then unchanged) or read.
    bool LoadFromFile(const std::string& Path);

    // Component translation (ComponentTranslation.cpp): replaces every "BF_" text of Component and of every
    // object it owns (its QObject children, depth first) by its translation.
    void TranslateComponent(QObject* Component);
    // Translates the properties of one object; enters collections and scale-property objects.
    void TranslateObject(QObject* Instance);

    bool CreateItlFile() const { return FCreateItlFile; }
    void SetCreateItlFile(bool Value) { FCreateItlFile = Value; }
    const std::string& KeyPrefix() const { return FKeyPrefix; }
    const std::string& AppName() const { return FAppName; }
    const std::vector<std::string>& Keys() const { return FKeys; }
    const std::vector<std::string>& Texts() const { return FTexts; }
    const std::vector<std::string>& Capture() const { return FCapture; }

    // The capture file is named after the executable (CaptureFileNameFor) and lies in the current directory,
    // unless an explicit path is set. The executable path defaults to the running program's, where the system
    // can tell it.
    const std::string& ExecutablePath() const { return FExecutablePath; }
    void SetExecutablePath(std::string Path) { FExecutablePath = std::move(Path); }
    void SetCaptureFilePath(std::string Path) { FCaptureFilePath = std::move(Path); }
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
    static bool ReadUpTo(std::istream& Stream, std::string_view Delimiter, std::string& Record);
    static std::string NormalizeKey(std::string_view LowerCasedKey);
    static std::string NormalizeText(std::string_view Text, std::string_view AppName);

    TTranslatedEvent OnTranslated;
    TBeforeTranslateObjectEvent OnBeforeTranslateObject;

private:
    std::vector<std::string> FKeys;
    std::vector<std::string> FTexts;
    const std::string FKeyPrefix{"BF_"};
    std::vector<std::string> FCapture;
    std::unordered_set<std::string> FCaptured;  // FCapture's lines in lower case
    bool FCreateItlFile = false;
    std::string FAppName;
    std::string FExecutablePath;
    std::string FCaptureFilePath;
};
