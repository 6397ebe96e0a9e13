// The lesson program's start-up and its slider-to-picture path.
//   cold start: the real sewella process to its first painted main window (offscreen), with the peak
//   resident memory of the started processes;
//   slider change: one move of the a slider at c = 1000 to the chart's new picture in the shown window, per view,
//   without and with the insight panel open.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTemporaryDir>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

#include "app/InsightPanel.h"
#include "app/Mainform.h"
#include "chart/Quarn_rchart.h"
#include "platform/draw/ScreenZoom.h"

extern char** environ;

namespace {

// Starts the program with the first-paint exit switched on and waits for it; false when it did not end well.
bool StartToFirstPaint(const std::string& RuntimeDir)
{
    std::vector<std::string> settings{
        "SEWELLA_EXIT_AT_FIRST_PAINT=1", "QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=" + RuntimeDir};
    std::vector<char*> env;
    for (std::string& s : settings)
        env.push_back(s.data());
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        if (entry.rfind("XDG_RUNTIME_DIR=", 0) != 0 && entry.rfind("QT_QPA_PLATFORM=", 0) != 0)
            env.push_back(*e);
    }
    env.push_back(nullptr);
    std::string program = SEWELLA_PROGRAM;
    char* argv[] = {program.data(), nullptr};
    posix_spawn_file_actions_t quiet;
    ::posix_spawn_file_actions_init(&quiet);
    ::posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, program.c_str(), &quiet, nullptr, argv, env.data());
    ::posix_spawn_file_actions_destroy(&quiet);
    if (spawned != 0)
        return false;
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void BM_ColdStartToFirstPaint(benchmark::State& state)
{
    QTemporaryDir runtime;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!StartToFirstPaint(runtime.path().toStdString())) {
            state.SkipWithError("sewella did not reach its first paint");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_ColdStartToFirstPaint)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true);

// The first argument is the view's tab: 0 random area, 1 histogram, 2 correlation graph. The second opens the
// insight panel with both overlays on: its analysis, its sentences and its repaint join the slider path. The third
// is the screen's scale: at 2 the chart draws four times the pixels, and the window shows them.
void BM_SliderChangeAtC1000(benchmark::State& state)
{
    TForm1 form(QStringList{QCoreApplication::applicationFilePath()});
    form.SBReset->click();
    for (int i = 0; i < 12; ++i)
        form.SBNext->click();
    form.ScrollBarC->setValue(form.ScrollBarC->minimum());  // c = 1000
    form.ScrollBarB->setValue(form.ScrollBarB->maximum() - 21);
    form.TabControl1->TabBar()->setCurrentIndex(static_cast<int>(state.range(0)));
    const double scale = static_cast<double>(state.range(2));
    SetScreenZoom(*form.screen(), scale);
    form.show();
    if (state.range(1) != 0) {
        form.SBInsight->click();
        for (QCheckBox* overlay : form.InsightPanel()->findChildren<QCheckBox*>())
            overlay->setChecked(true);
    }
    QCoreApplication::processEvents();
    // a = 1 and a = 3 with b = 21 both run through all 1000 values
    int a = 1;
    for (auto _ : state) {
        a = a == 1 ? 3 : 1;
        form.ScrollBarA->setValue(form.ScrollBarA->maximum() - a);
        // the chart's new picture reaches the window
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(form.RChart1->Image().constBits());
    }
    state.counters["series_length"] = form.Lesson().SeriesLength();
    state.counters["device_pixels"] = form.RChart1->Image().width() * form.RChart1->Image().height();
    form.hide();
    SetScreenZoom(*form.screen(), 1);
}
BENCHMARK(BM_SliderChangeAtC1000)
    ->ArgsProduct({{0, 1, 2}, {0, 1}, {1, 2}})
    ->ArgNames({"view", "insight", "scale"})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QTemporaryDir runtime;
    ::setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);
    ::setenv("XDG_CONFIG_HOME", runtime.path().toLocal8Bit().constData(), 1);  // no zoom kept by the user
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
