// Capturing missing keys: the cost of one miss must not grow with the number already captured.
// Loading hostile dictionaries: time and bytes kept grow with the bytes read, which stop at the ceiling.
// Run: build-release/bench/translate_bench  (the fitted complexity should read O(N), not O(N^2))

#include <benchmark/benchmark.h>

#include <algorithm>
#include <istream>
#include <streambuf>
#include <string>
#include <vector>

#include "translate/Babelfish2000.h"

namespace {

void BM_CaptureMissingKeys(benchmark::State& State)
{
    const auto count = static_cast<int>(State.range(0));
    std::vector<std::string> keys;
    for (int i = 0; i < count; ++i)
        keys.push_back("Missing key number " + std::to_string(i));
    for (auto _ : State) {
        TBabelfish2000 dictionary;
        dictionary.SetCreateItlFile(true);
        for (const std::string& key : keys)
            benchmark::DoNotOptimize(dictionary.Translate(key));
        // every key a second time: each must be found among the captured ones
        for (const std::string& key : keys)
            benchmark::DoNotOptimize(dictionary.Translate(key));
        benchmark::DoNotOptimize(dictionary.Capture().size());
        State.PauseTiming();
        dictionary.SetCreateItlFile(false);  // the file would be written as the dictionary goes
        State.ResumeTiming();
    }
    State.SetComplexityN(count);
}
BENCHMARK(BM_CaptureMissingKeys)
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(16000)
    ->Arg(64000)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);

// A seekable stream over bytes held elsewhere, so a load does not copy the file first.
class TMemoryBuffer : public std::streambuf {
public:
    explicit TMemoryBuffer(const std::string& Bytes)
    {
        char* begin = const_cast<char*>(Bytes.data());
        setg(begin, begin, begin + Bytes.size());
    }

protected:
    pos_type seekoff(off_type Offset, std::ios::seekdir Direction, std::ios::openmode) override
    {
        char* base = Direction == std::ios::beg ? eback() : Direction == std::ios::cur ? gptr() : egptr();
        if (Offset < eback() - base || Offset > egptr() - base)
            return pos_type(off_type(-1));
        setg(eback(), base + Offset, egptr());
        return gptr() - eback();
    }
    pos_type seekpos(pos_type Position, std::ios::openmode Mode) override
    {
        return seekoff(off_type(Position), std::ios::beg, Mode);
    }
};

void LoadFile(benchmark::State& State, const std::string& File)
{
    std::size_t kept = 0, entries = 0;
    for (auto _ : State) {
        TMemoryBuffer buffer(File);
        std::istream stream(&buffer);
        TBabelfish2000 dictionary;
        static_cast<void>(dictionary.LoadFromStream(stream));  // the buffer is in memory: no read error
        kept = dictionary.KeptBytes();
        entries = dictionary.Keys().size();
    }
    const std::size_t read = std::min(File.size(), TBabelfish2000::MaxLoadBytes);
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations() * read));
    State.counters["file_MB"] = static_cast<double>(File.size()) / (1 << 20);
    State.counters["entries"] = static_cast<double>(entries);
    State.counters["kept_MB"] = static_cast<double>(kept) / (1 << 20);
    State.counters["kept_per_byte_read"] = static_cast<double>(kept) / static_cast<double>(read);
}

std::string Repeated(std::string_view Piece, std::size_t Size)
{
    std::string file;
    file.reserve(Size);
    while (file.size() + Piece.size() <= Size)
        file += Piece;
    return file;
}

// Nothing but record ends, one empty entry per three bytes; a file past the ceiling is read up to it.
void BM_LoadRecordEndsOnly(benchmark::State& State)
{
    LoadFile(State, Repeated("|$$", static_cast<std::size_t>(State.range(0)) << 20));
}
BENCHMARK(BM_LoadRecordEndsOnly)->Arg(8)->Arg(32)->Arg(200)->Unit(benchmark::kMillisecond);

// Escaped line ends: an empty key with a line feed for its text per eight bytes.
void BM_LoadEscapedLineEnds(benchmark::State& State)
{
    LoadFile(State, Repeated("[]=\\n|$$", static_cast<std::size_t>(State.range(0)) << 20));
}
BENCHMARK(BM_LoadEscapedLineEnds)->Arg(4)->Unit(benchmark::kMillisecond);

// One key whose text fills the file.
void BM_LoadOneLongText(benchmark::State& State)
{
    LoadFile(State, "[key]=" + std::string(static_cast<std::size_t>(State.range(0)) << 20, 'x') + "|$$");
}
BENCHMARK(BM_LoadOneLongText)->Arg(8)->Arg(50)->Unit(benchmark::kMillisecond);

}  // namespace
