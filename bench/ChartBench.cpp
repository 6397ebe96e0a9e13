// Our chart beside the peer: each case is one full paint of a picture into the frame bitmap, the way the
// lesson's views update a chart. After the runs the binary prints the peer-to-ours ratio of the medians.
//
//   build-release/bench/chart_bench                       (5 repetitions, medians only, then the ratios)
//   build-release/bench/chart_bench --save-pictures=DIR   (writes every picture, ours and the peer's, as PNG)

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <QImage>

#include "ChartBenchPictures.h"
#include "chart/Quarn_rchart.h"
#include "platform/draw/GuiApplication.h"
#ifdef SEWELLA_HAVE_QCUSTOMPLOT
#include "ChartBenchPeer.h"
#endif

namespace {

using chartbench::Picture;

void SetUpOurChart(TRChart& chart, const Picture& picture)
{
    using namespace chartbench;
    chart.SetAutoRedraw(false);
    chart.SetMarginLeft(MarginLeft);
    chart.SetMarginRight(MarginRight);
    chart.SetMarginTop(MarginTop);
    chart.SetMarginBottom(MarginBottom);
    chart.SetBounds(0, 0, FrameWidth, FrameHeight);
    chart.Scale1X()->SetVisible(picture.ScalesVisible);
    chart.Scale1Y()->SetVisible(picture.ScalesVisible);
    chart.SetVisible(true);
}

// What a lesson view does on each update: one paint at the end, however many items go in. Not inlined, so that
// a profiler can count what one paint costs (valgrind --tool=callgrind --toggle-collect='*PaintOurs*').
[[gnu::noinline]] void PaintOurs(TRChart& chart, const Picture& picture)
{
    chart.SetUpdateSuspended(true);
    chart.ClearItems();
    chart.SetDataColor(picture.DataColor);
    for (const chartbench::Mark& m : picture.Marks)
        chart.AddMark(picture.MarkKind, m.X, m.Y);
    for (const chartbench::Rect& r : picture.Rects) {
        if (chart.FillColor() != r.Fill)
            chart.SetFillColor(r.Fill);
        chart.AddRectangle(r.X1, r.Y1, r.X2, r.Y2);
    }
    chart.SetLayerRanges(1, picture.XLow, picture.XHigh, picture.YLow, picture.YHigh);
    chart.ShowItems();
    chart.SetUpdateSuspended(false);
}

void BM_Ours(benchmark::State& state, const Picture* picture)
{
    TRChart chart;
    SetUpOurChart(chart, *picture);
    for (auto _ : state) {
        PaintOurs(chart, *picture);
        benchmark::DoNotOptimize(chart.Image().constBits());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(picture->Marks.size() + picture->Rects.size()));
}

#ifdef SEWELLA_HAVE_QCUSTOMPLOT
void BM_Peer(benchmark::State& state, const Picture* picture)
{
    chartbench::PeerChart peer;
    for (auto _ : state) {
        peer.Paint(*picture);
        benchmark::DoNotOptimize(peer.Image().constBits());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(picture->Marks.size() + picture->Rects.size()));
}
constexpr bool PeerBuilt = true;
#else
void BM_PeerMissing(benchmark::State& state)
{
    state.SkipWithError("QCustomPlot (Qt 6) was not found at configure time; only our chart is timed");
    for (auto _ : state) { }
}
constexpr bool PeerBuilt = false;
#endif

// The least a picture of the frame's size can cost: filling it with one colour and copying it once, as the chart
// copies its picture for the window. Each picture's time is also given as a multiple of this floor.
void BM_Floor(benchmark::State& state)
{
    using namespace chartbench;
    QImage frame(FrameWidth, FrameHeight, QImage::Format_RGB32), shown(FrameWidth, FrameHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        frame.fill(0xFFFFFFFFu);
        std::memcpy(shown.bits(), frame.constBits(), std::size_t(frame.sizeInBytes()));
        benchmark::DoNotOptimize(shown.constBits());
    }
}

// The console output as usual, plus each case's median (or its single run when not repeated).
class MedianCollector : public benchmark::ConsoleReporter {
public:
    struct Times {
        double Real, Cpu;  // microseconds
    };
    std::map<std::string, Times> Medians;  // by case name

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const std::string name = run.run_name.function_name;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                Medians[name] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
            else if (run.run_type == Run::RT_Iteration && run.repetitions <= 1)
                Medians.emplace(name, Times{run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()});
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

// Real time is what a user waits for; on a loaded machine the CPU time is the steadier of the two.
void PrintRatios(const std::vector<Picture>& pictures, const std::map<std::string, MedianCollector::Times>& medians)
{
    const auto floor = medians.find("Floor");
    if (floor != medians.end())
        std::printf(
            "\nfloor (fill and copy one frame): %.1f us real, %.1f us cpu\n", floor->second.Real, floor->second.Cpu);
    std::printf("\nmedians in us   %23s   %23s   %s   %s\n", "ours real / cpu", "peer real / cpu",
        "peer/ours real / cpu", "ours/floor cpu");
    for (const Picture& p : pictures) {
        const auto ours = medians.find("Ours/" + p.Name);
        const auto peer = medians.find("Peer/" + p.Name);
        if (ours == medians.end())
            continue;
        const MedianCollector::Times o = ours->second;
        const double overFloor = floor != medians.end() ? o.Cpu / floor->second.Cpu : 0;
        if (peer == medians.end()) {
            std::printf(
                "%-12s %12.1f / %9.1f   %23s\n", p.Name.c_str(), o.Real, o.Cpu, PeerBuilt ? "-" : "peer not built");
            continue;
        }
        const MedianCollector::Times q = peer->second;
        std::printf("%-12s %12.1f / %9.1f   %12.1f / %9.1f   %8.2fx / %6.2fx   %8.2fx\n", p.Name.c_str(), o.Real, o.Cpu,
            q.Real, q.Cpu, q.Real / o.Real, q.Cpu / o.Cpu, overFloor);
    }
}

int SavePictures(const std::vector<Picture>& pictures, const std::string& dir)
{
    for (const Picture& p : pictures) {
        TRChart chart;
        SetUpOurChart(chart, p);
        PaintOurs(chart, p);
        const std::string ours = dir + "/ours-" + p.Name + ".png";
        if (!chart.Image().save(QString::fromStdString(ours)))
            return std::fprintf(stderr, "cannot write %s\n", ours.c_str()), 1;
        std::printf("%s\n", ours.c_str());
#ifdef SEWELLA_HAVE_QCUSTOMPLOT
        chartbench::PeerChart peer;
        peer.Paint(p);
        const std::string theirs = dir + "/peer-" + p.Name + ".png";
        if (!peer.Image().save(QString::fromStdString(theirs)))
            return std::fprintf(stderr, "cannot write %s\n", theirs.c_str()), 1;
        std::printf("%s\n", theirs.c_str());
#endif
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    EnsureGuiApplication();
    static const std::vector<Picture> pictures = chartbench::AllPictures();

    std::vector<char*> args(argv, argv + argc);
    bool repetitionsGiven = false;
    for (int i = 1; i < argc; ++i) {
        constexpr const char* SaveFlag = "--save-pictures=";
        if (std::strncmp(argv[i], SaveFlag, std::strlen(SaveFlag)) == 0)
            return SavePictures(pictures, argv[i] + std::strlen(SaveFlag));
        repetitionsGiven = repetitionsGiven || std::strncmp(argv[i], "--benchmark_repetitions", 23) == 0;
    }
    // Medians of five by default: the machine is shared and a single run says little.
    std::string repetitions = "--benchmark_repetitions=5", aggregates = "--benchmark_report_aggregates_only=true";
    if (!repetitionsGiven) {
        args.push_back(repetitions.data());
        args.push_back(aggregates.data());
    }
    int count = int(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;

    benchmark::RegisterBenchmark("Floor", BM_Floor)->Unit(benchmark::kMicrosecond);
    for (const Picture& p : pictures) {
        benchmark::RegisterBenchmark(("Ours/" + p.Name).c_str(), BM_Ours, &p)->Unit(benchmark::kMicrosecond);
#ifdef SEWELLA_HAVE_QCUSTOMPLOT
        benchmark::RegisterBenchmark(("Peer/" + p.Name).c_str(), BM_Peer, &p)->Unit(benchmark::kMicrosecond);
#endif
    }
#ifndef SEWELLA_HAVE_QCUSTOMPLOT
    benchmark::RegisterBenchmark("Peer/QCustomPlotNotFound", BM_PeerMissing);
#endif

    MedianCollector reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(pictures, reporter.Medians);
    benchmark::Shutdown();
    return 0;
}
