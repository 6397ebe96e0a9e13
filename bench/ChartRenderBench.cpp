#include <benchmark/benchmark.h>

#include <array>

#include "chart/ItemRenderer.h"
#include "chart/Quarn_rchart.h"
#include "chart/MarkShapes.h"
#include "platform/draw/Bitmap.h"

namespace {

struct Gui {
    Gui() { EnsureGuiApplication(); }
};

constexpr int MarkCount = 10000;

// Pattern marks wholly inside the picture: straight into the scan lines.
void BM_PatternMarksDirect(benchmark::State& state)
{
    static Gui gui;
    TBitmap b(361, 297);
    TCanvas& c = b.Canvas();
    c.Pen.Color = clRed;
    for (auto _ : state) {
        for (int i = 0; i < MarkCount; ++i)
            DrawMark(c, 3, 4 + i % 353, 4 + i / 353 * 9 % 289);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * MarkCount);
}
BENCHMARK(BM_PatternMarksDirect);

// The peer: the same marks set pixel by pixel through the canvas, as a general path would.
void BM_PatternMarksPixelByPixel(benchmark::State& state)
{
    static Gui gui;
    TBitmap b(361, 297);
    TCanvas& c = b.Canvas();
    const MarkPatternRows& rows = *MarkPattern(3);
    for (auto _ : state) {
        for (int i = 0; i < MarkCount; ++i) {
            const int x = 4 + i % 353, y = 4 + i / 353 * 9 % 289;
            for (int r = 0; r < 7; ++r)
                for (int bit = 0; bit < 7; ++bit)
                    if ((rows[std::size_t(r)] >> bit & 1) != 0)
                        c.SetPixel(x + 3 - bit, y - 3 + r, clRed);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * MarkCount);
}
BENCHMARK(BM_PatternMarksPixelByPixel);

// The whole item loop over a scatter chart of mark items and over the random-area view's 1 024 cells.
void RenderList(benchmark::State& state, const ChartItemList& items)
{
    static Gui gui;
    const ChartGeometry geometry{411, 345, 50, 0, 16, 32, 0};
    std::array<LayerTransform, ChartLayerCount> transforms;
    transforms.fill(ComputeLayerTransform(geometry, {0, 1}, {0, 1}));
    std::array<bool, 256> classes;
    classes.fill(true);
    std::array<bool, ChartLayerCount> layers;
    layers.fill(true);
    TBitmap b(geometry.PlotWidth() + 1, geometry.PlotHeight() + 1);
    const ItemScene scene{geometry, transforms, classes, layers};
    for (auto _ : state) {
        RenderItems(b.Canvas(), items, scene, {});
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * items.Count);
}

void BM_RenderMarkItems(benchmark::State& state)
{
    ChartItemList items;
    for (int i = 0; i < MarkCount; ++i) {
        ChartItem item;
        item.MarkKind = 3;
        item.x1 = (i % 100) / 100.0;
        item.y1 = (i / 100) / 100.0;
        item.Color = clRed;
        item.LineWidth = 1;
        items.Items.push_back(item);
    }
    items.Count = MarkCount;
    RenderList(state, items);
}
BENCHMARK(BM_RenderMarkItems);

void BM_RenderCellRectangles(benchmark::State& state)
{
    ChartItemList items;
    for (int i = 0; i < 1024; ++i) {
        ChartItem item;
        item.Kind = TChartItemKind::Rectangle;
        item.x1 = (i % 32) / 32.0;
        item.y1 = (i / 32) / 32.0;
        item.x2 = item.x1 + 1 / 32.0;
        item.y2 = item.y1 + 1 / 32.0;
        item.Color = clBlack;
        item.FillColor = 0x808000;
        item.LineWidth = 1;
        items.Items.push_back(item);
    }
    items.Count = 1024;
    RenderList(state, items);
}
BENCHMARK(BM_RenderCellRectangles);

// A whole paint of a chart the size of the lesson's, as a slider step drives it: suspend, clear, add, show,
// resume (the one paint).
struct PaintedChart {
    PaintedChart()
    {
        chart.SetUpdateSuspended(false);
        chart.SetAutoRedraw(false);
        chart.SetBounds(0, 0, 361, 297);
        chart.SetMarginLeft(46);
        chart.SetMarginRight(30);
        chart.SetMarginTop(20);
        chart.SetMarginBottom(40);
    }

    template <typename AddItems> void Run(benchmark::State& state, int itemCount, AddItems addItems)
    {
        for (auto _ : state) {
            chart.SetUpdateSuspended(true);
            chart.ClearItems();
            addItems(chart);
            chart.ShowItems();
            chart.SetUpdateSuspended(false);
            benchmark::ClobberMemory();
        }
        state.SetItemsProcessed(state.iterations() * itemCount);
    }

    // The paint alone, over items added once.
    template <typename AddItems> void Repaint(benchmark::State& state, int itemCount, AddItems addItems)
    {
        chart.SetUpdateSuspended(true);
        chart.ClearItems();
        addItems(chart);
        chart.SetUpdateSuspended(false);
        for (auto _ : state) {
            chart.Paint();
            benchmark::ClobberMemory();
        }
        state.SetItemsProcessed(state.iterations() * itemCount);
    }

    Gui gui;
    TRChart chart;
};

auto MarkAdder(int count, std::uint8_t kind)
{
    return [count, kind](TRChart& chart) {
        for (int i = 0; i < count; ++i)
            chart.AddMark(kind, (i * 7919LL % 10007) / 10007.0, (i * 104729LL % 10009) / 10009.0);
    };
}

void PaintMarks(benchmark::State& state, int count, std::uint8_t kind)
{
    PaintedChart painted;
    painted.Run(state, count, MarkAdder(count, kind));
}

void BM_PaintChart100000Marks(benchmark::State& state)
{
    PaintMarks(state, 100000, 2);
}
BENCHMARK(BM_PaintChart100000Marks)->Unit(benchmark::kMillisecond);

void BM_RepaintChart100000Marks(benchmark::State& state)
{
    PaintedChart painted;
    painted.Repaint(state, 100000, MarkAdder(100000, 2));
}
BENCHMARK(BM_RepaintChart100000Marks)->Unit(benchmark::kMillisecond);

void BM_PaintChart999Marks(benchmark::State& state)
{
    PaintMarks(state, 999, 2);
}
BENCHMARK(BM_PaintChart999Marks)->Unit(benchmark::kMillisecond);

// Rectangles as the lesson draws them: solid one-pixel outline, solid fill.
void PaintRectangles(benchmark::State& state, int columns, int rows)
{
    PaintedChart painted;
    painted.chart.SetDataColor(clBlack);
    painted.chart.SetFillColor(0x808000);
    painted.Run(state, columns * rows, [columns, rows](TRChart& chart) {
        for (int i = 0; i < columns * rows; ++i) {
            const double x = double(i % columns) / columns, y = double(i / columns) / rows;
            chart.AddRectangle(x, y, x + 1.0 / columns, y + 1.0 / rows);
        }
    });
}

void BM_PaintChart1024Cells(benchmark::State& state)
{
    PaintRectangles(state, 32, 32);
}
BENCHMARK(BM_PaintChart1024Cells)->Unit(benchmark::kMillisecond);

void BM_PaintChart30Bars(benchmark::State& state)
{
    PaintRectangles(state, 30, 1);
}
BENCHMARK(BM_PaintChart30Bars)->Unit(benchmark::kMillisecond);

// The paint alone, without items: what every view pays before its first item.
void BM_PaintChartEmpty(benchmark::State& state)
{
    PaintedChart painted;
    painted.Run(state, 0, [](TRChart&) {});
}
BENCHMARK(BM_PaintChartEmpty)->Unit(benchmark::kMillisecond);

// An axis setter on a chart whose updates are suspended: what the chart does besides painting. The peer moves
// the axis's upper end each time, the case sets the one the axis has.
void AxisSetter(benchmark::State& state, bool sameValue)
{
    static Gui gui;
    TRChart chart;
    chart.SetUpdateSuspended(true);
    int n = 0;
    for (auto _ : state)
        chart.Scale1X()->SetRangeHigh(sameValue ? 1.0 : 1.0 + ++n % 2);
}

void BM_AxisSetterUnchangedValue(benchmark::State& state)
{
    AxisSetter(state, true);
}
BENCHMARK(BM_AxisSetterUnchangedValue)->Unit(benchmark::kMicrosecond);

void BM_AxisSetterNewValue(benchmark::State& state)
{
    AxisSetter(state, false);
}
BENCHMARK(BM_AxisSetterNewValue)->Unit(benchmark::kMicrosecond);

}  // namespace
