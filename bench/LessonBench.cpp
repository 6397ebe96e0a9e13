#include "app/USewella.h"

#include <benchmark/benchmark.h>

// The slider-to-picture path: one change of c rebuilds the sequence and the histogram counts.
static void BM_SetCWithHistogram(benchmark::State& state)
{
    TLesson lesson;
    lesson.GotoStep(13);
    int c = 2;
    for (auto _ : state) {
        lesson.SetC(c);
        benchmark::DoNotOptimize(lesson.Sequence().CountBins(c));
        c = c == 1000 ? 2 : c + 1;
    }
}
BENCHMARK(BM_SetCWithHistogram);

static void BM_BuildFullPeriod(benchmark::State& state)
{
    TSewella generator(1, 1, 1000, 0);
    TSequence sequence(generator);
    for (auto _ : state) {
        sequence.BuildSequence(1, 1, 1000, 0);
        benchmark::DoNotOptimize(sequence.SeriesLength());
    }
}
BENCHMARK(BM_BuildFullPeriod);
