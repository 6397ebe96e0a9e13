// Capturing missing keys: the cost of one miss must not grow with the number already captured.
// Run: build-release/bench/translate_bench  (the fitted complexity should read O(N), not O(N^2))

#include <benchmark/benchmark.h>

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

}  // namespace
