#include "app/GeneratorInsight.h"

#include <benchmark/benchmark.h>

// The whole analysis the insight panel shows, at the largest moduli: it runs on every slider change.
static void BM_Analyse(benchmark::State& state, insight::TGenerator g)
{
    int x1 = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(insight::Analyse(g, x1));
        x1 = (x1 + 1) % g.c;
    }
}
BENCHMARK_CAPTURE(BM_Analyse, good_full_period, insight::TGenerator{7, 281, 1000})->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Analyse, striped_full_period, insight::TGenerator{7, 1, 1000})->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Analyse, lesson_step_12, insight::TGenerator{20, 30, 906})->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Analyse, no_increment, insight::TGenerator{0, 7, 997})->Unit(benchmark::kMicrosecond);
