#include "hostlink/TarvosDemon.h"

#include <QtDebug>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/os/AnsiText.h"
#include "translate/Babelfish2000.h"

std::string TmnxCustomDemon::DictionaryLanguage(const std::function<std::string(const char* Name)>& Environment)
{
    std::string chosen;
    std::istringstream languages(Environment("LANGUAGE"));
    for (std::string entry; chosen.empty() && std::getline(languages, entry, ':');)
        chosen = entry;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (chosen.empty())
            chosen = Environment(name);
    return LowerAscii(chosen.substr(0, 2)) == "de" ? "de" : "en";
}

std::string TmnxCustomDemon::InstalledDictionaryPath(const std::string& ProgramPath, const std::string& Language)
{
    const std::string itlName = TBabelfish2000::CaptureFileNameFor(ProgramPath);
    if (itlName.empty())
        return {};
    const std::string name = itlName.substr(0, itlName.size() - 4);
    const std::filesystem::path directory = std::filesystem::path(ProgramPath).parent_path();
    return (directory / ".." / "share" / name / Language / itlName).lexically_normal().string();
}

void TmnxDemonClient::LoadDictionary()
{
    if (!UseTarvosServer() || !LoadServedDictionary())
        LoadLocalDictionary();
    if (AutoTranslate() && parent())
        Translator().TranslateComponent(parent());
}

bool TmnxDemonClient::LoadServedDictionary()
{
    try {
        const std::string name = TBabelfish2000::ItlFileNameFor(ResolveFileName(ApplicationExeName()));
        if (std::unique_ptr<std::istream> stream = GetFile(name)) {
            // the host answered: a stream in memory has no read error, and a cut dictionary is still its
            // dictionary
            static_cast<void>(Translator().LoadFromStream(*stream));
        }
        return true;
    } catch (const EReadError&) {
        // no reply: a host that does not answer is no host for the dictionary
        std::fprintf(stderr,
            "host link: the host did not answer the request for the dictionary; the lesson uses "
            "its own\n");
        return false;
    }
}

void TmnxDemonClient::LoadLocalDictionary()
{
    // a missing or unreadable dictionary is no error: every lookup shows its key
    const std::string program = ApplicationExeName();
    if (LoadDictionaryFile(TBabelfish2000::ItlFileNameFor(program)))
        return;
    const std::string language = DictionaryLanguage([](const char* Name) {
        const char* value = std::getenv(Name);
        return std::string(value ? value : "");
    });
    // no installed one either: the lesson runs with the keys
    static_cast<void>(LoadDictionaryFile(InstalledDictionaryPath(program, language)));
}

bool TmnxDemonClient::LoadDictionaryFile(const std::string& Path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(Path, error))
        return false;
    std::ifstream file(Path, std::ios::binary);
    try {
        return file.is_open() && Translator().LoadFromStream(file);
    } catch (const std::exception& e) {
        qWarning("host link: dictionary %s unreadable: %s", Path.c_str(), e.what());
        return false;
    }
}
