// The chart's display list and transforms: any sequence of item operations, layer ranges and attribute changes
// on a small chart, positions mapped both ways on every layer, and full paints into the chart's bitmap.

#include <QApplication>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "FuzzValues.h"
#include "chart/Quarn_rchart.h"

namespace {

[[noreturn]] void Fail(const char* What)
{
    std::fprintf(stderr, "chart harness: %s\n", What);
    std::abort();
}

// A position without a value (NaN) has no pixel; mapping any pixel back must not fault.
void CheckMapping(const TCustomRChart& Chart, FuzzedDataProvider& Input)
{
    const int layer = Input.ConsumeIntegralInRange(-2, ChartLayerCount + 2);
    const double x = FuzzDouble(Input), y = FuzzDouble(Input);
    const PixelPosition pixel = Chart.WorldToPixel(layer, x, y);
    if (pixel.Valid && (std::isnan(x) || std::isnan(y)))
        Fail("a position of NaN mapped to a valid pixel");
    Chart.PixelToWorld(layer, pixel.X, pixel.Y);
    const double px = FuzzDouble(Input);
    Chart.PixelToWorld(layer, px, FuzzDouble(Input));
}

// Values are drawn one statement at a time: the order of a call's arguments is the compiler's choice.
void AddItem(TCustomRChart& Chart, FuzzedDataProvider& Input)
{
    const int kind = Input.ConsumeIntegralInRange(0, 2);
    if (kind == 0) {
        const auto mark = Input.ConsumeIntegral<uint8_t>();
        const double x = FuzzDouble(Input);
        Chart.AddMark(mark, x, FuzzDouble(Input));
    } else if (kind == 1) {
        const double x1 = FuzzDouble(Input), y1 = FuzzDouble(Input), x2 = FuzzDouble(Input);
        Chart.AddRectangle(x1, y1, x2, FuzzDouble(Input));
    } else {
        const int size = FuzzInt(Input);
        const QString text = FuzzText(Input, 64);
        const double x = FuzzDouble(Input);
        Chart.AddText(size, text, x, FuzzDouble(Input));
    }
}

void ChangeAttribute(TCustomRChart& Chart, FuzzedDataProvider& Input)
{
    switch (Input.ConsumeIntegralInRange(0, 6)) {
    case 0: Chart.SetDataColor(Input.ConsumeIntegral<uint32_t>()); break;
    case 1: Chart.SetFillColor(Input.ConsumeIntegral<uint32_t>()); break;
    case 2: Chart.SetPenStyle(static_cast<TPenStyle>(Input.ConsumeIntegralInRange(0, int(psInsideFrame)))); break;
    case 3: Chart.SetLineWidth(Input.ConsumeIntegralInRange(0, 300)); break;
    case 4: Chart.SetClassDefault(Input.ConsumeIntegralInRange(0, 255)); break;
    case 5: Chart.SetAllocSize(FuzzInt(Input)); break;
    default: Chart.SetStandardLayout(static_cast<TrcLayout>(Input.ConsumeIntegralInRange(0, int(rcl_X2Both_Y2Both))));
    }
}

void Operate(TCustomRChart& Chart, FuzzedDataProvider& Input)
{
    switch (Input.ConsumeIntegralInRange(0, 9)) {
    case 0:
    case 1:
    case 2: AddItem(Chart, Input); break;
    case 3: ChangeAttribute(Chart, Input); break;
    case 4: {
        const int layer = Input.ConsumeIntegralInRange(-2, ChartLayerCount + 2);
        const double x1 = FuzzDouble(Input), x2 = FuzzDouble(Input), y1 = FuzzDouble(Input), y2 = FuzzDouble(Input);
        Chart.SetLayerRanges(layer, x1, x2, y1, y2);
        break;
    }
    case 5: CheckMapping(Chart, Input); break;
    case 6: Chart.SetIsometric(Input.ConsumeBool()); break;
    case 7: Chart.SetUpdateSuspended(Input.ConsumeBool()); break;
    case 8: Chart.ClearItems(); break;
    default: Chart.ShowItems();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    new QApplication(*argc, *argv);  // lives as long as the process
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    FuzzedDataProvider input(Data, Size);
    TCustomRChart chart;
    const int width = input.ConsumeIntegralInRange(1, 96);
    chart.SetBounds(0, 0, width, input.ConsumeIntegralInRange(1, 96));
    for (int step = 0; step < 64 && input.remaining_bytes() > 0; ++step)
        Operate(chart, input);
    chart.Paint();
    // a chart of at most 96 pixels grows only as far as its margins and shadow need
    if (chart.Image().width() > 4096 || chart.Image().height() > 4096)
        Fail("the chart's picture has a size it was never given");
    return 0;
}
