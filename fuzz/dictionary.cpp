// The translation dictionary on arbitrary file contents: loading, lookups with keys and arguments taken from
// the input, the capture of missing keys and the capture file's contents. A dictionary must keep no more than
// its ceiling and, unless a long application name lengthens its texts, 8/3 of the bytes it read.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "translate/Babelfish2000.h"

namespace {

void Fail(const char* why)
{
    std::fprintf(stderr, "dictionary harness: %s\n", why);
    std::abort();
}

void CheckKeptBytes(const TBabelfish2000& Dictionary, size_t StreamSize)
{
    const size_t read = std::min(StreamSize, TBabelfish2000::MaxLoadBytes);
    if (Dictionary.KeptBytes() > TBabelfish2000::MaxKeptBytes)
        Fail("a dictionary keeps more than its ceiling");
    const bool nameLengthensTexts = Dictionary.AppName().size() > std::string_view("<%APPNAME%>").size();
    if (!nameLengthensTexts && 3 * Dictionary.KeptBytes() > 8 * read)
        Fail("a dictionary keeps more than 8/3 of the bytes it read");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    FuzzedDataProvider input(Data, Size);
    const std::string appName = input.ConsumeRandomLengthString(16);
    const bool capture = input.ConsumeBool();
    const int lookups = input.ConsumeIntegralInRange(0, 8);
    std::vector<std::string> keys;
    std::vector<std::vector<std::string>> args;
    for (int i = 0; i < lookups; ++i) {
        keys.push_back(input.ConsumeRandomLengthString(32));
        std::vector<std::string> a(input.ConsumeIntegralInRange(0, 3));
        for (std::string& arg : a)
            arg = input.ConsumeRandomLengthString(16);
        args.push_back(std::move(a));
    }
    const std::string file = input.ConsumeRemainingBytesAsString();

    TBabelfish2000 dictionary(appName);
    dictionary.SetCaptureFilePath("/dev/null");  // never a file in the working directory
    dictionary.SetCreateItlFile(capture);
    std::istringstream stream(file, std::ios::in | std::ios::binary);
    if (!dictionary.LoadFromStream(stream))
        Fail("a string stream failed to load");
    if (dictionary.Keys().size() != dictionary.Texts().size())
        Fail("keys and texts differ in number");
    CheckKeptBytes(dictionary, file.size());

    // Lookups of keys found in the file itself, then of the input's own keys.
    for (size_t i = 0; i < dictionary.Keys().size() && i < 4; ++i)
        dictionary.Translate(dictionary.Keys()[i], args.empty() ? std::vector<std::string>{} : args[0]);
    for (size_t i = 0; i < keys.size(); ++i)
        dictionary.Translate(keys[i], args[i]);
    for (size_t i = 0; i < keys.size(); ++i)
        dictionary.Translate(dictionary.KeyPrefix() + keys[i]);
    if (!capture && !dictionary.Capture().empty())
        Fail("keys were captured with capture off");

    const std::string contents = dictionary.CaptureFileContents();
    // The capture file is itself a dictionary: reading it back must work as well.
    TBabelfish2000 reread(appName);
    std::istringstream again(contents, std::ios::in | std::ios::binary);
    if (!reread.LoadFromStream(again))
        Fail("the capture file contents failed to load");
    CheckKeptBytes(reread, contents.size());

    dictionary.SetCreateItlFile(false);  // nothing written when the dictionary goes
    return 0;
}
