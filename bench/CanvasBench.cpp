#include <benchmark/benchmark.h>

#include "platform/draw/Bitmap.h"

namespace {

struct Gui {
    Gui() { EnsureGuiApplication(); }
};

// A chart view: about a thousand cells drawn as rectangles on a 361 x 297 picture.
void BM_Rectangles(benchmark::State& state)
{
    static Gui gui;
    TBitmap b(361, 297);
    TCanvas& c = b.Canvas();
    c.Brush.Color = 0x808000;
    for (auto _ : state) {
        for (int i = 0; i < 1024; ++i) {
            const int x = (i % 32) * 11;
            const int y = (i / 32) * 9;
            c.Rectangle(x, y, x + 12, y + 10);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 1024);
}
BENCHMARK(BM_Rectangles);

void BM_DottedGridLines(benchmark::State& state)
{
    static Gui gui;
    TBitmap b(361, 297);
    TCanvas& c = b.Canvas();
    c.Pen.Style = psDot;
    for (auto _ : state) {
        for (int x = 0; x < 361; x += 4) {
            c.MoveTo(x, 0);
            c.LineTo(x, 297);
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DottedGridLines);

void BM_SmallEllipses(benchmark::State& state)
{
    static Gui gui;
    TBitmap b(361, 297);
    TCanvas& c = b.Canvas();
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            const int x = 5 + (i * 7) % 350;
            const int y = 5 + (i * 13) % 285;
            c.Ellipse(x - 3, y - 3, x + 4, y + 4);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_SmallEllipses);

void BM_SmallPolygons(benchmark::State& state)
{
    static Gui gui;
    TBitmap b(361, 297);
    TCanvas& c = b.Canvas();
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            const int x = 5 + (i * 7) % 350;
            const int y = 5 + (i * 13) % 285;
            c.Polygon({{x - 3, y}, {x, y + 3}, {x + 3, y}, {x, y - 3}});
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_SmallPolygons);

// Every pixel of a chart-sized picture written one at a time, then read back.
void BM_PixelWrites(benchmark::State& state)
{
    static Gui gui;
    TBitmap b(361, 297);
    TCanvas& c = b.Canvas();
    for (auto _ : state) {
        for (int y = 0; y < 297; ++y)
            for (int x = 0; x < 361; ++x)
                c.SetPixel(x, y, TColor(x * y));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 361 * 297);
}
BENCHMARK(BM_PixelWrites);

void BM_PixelReads(benchmark::State& state)
{
    static Gui gui;
    TBitmap b(361, 297);
    const TCanvas& c = b.Canvas();
    for (auto _ : state) {
        TColor sum = 0;
        for (int y = 0; y < 297; ++y)
            for (int x = 0; x < 361; ++x)
                sum += c.Pixel(x, y);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 361 * 297);
}
BENCHMARK(BM_PixelReads);

void BM_CellNumbers(benchmark::State& state)
{
    static Gui gui;
    TBitmap b(361, 297);
    TCanvas& c = b.Canvas();
    c.Brush.Style = bsClear;
    c.Font.SetSize(8);
    const QString texts[] = {QStringLiteral("7"), QStringLiteral("42"), QStringLiteral("999")};
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i) {
            const QString& t = texts[i % 3];
            const int w = c.TextWidth(t);
            const int h = c.TextHeight(t);
            c.TextOut((i % 10) * 36 - w / 2 + 18, (i / 10) * 29 - h / 2 + 14, t);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_CellNumbers);

}  // namespace
