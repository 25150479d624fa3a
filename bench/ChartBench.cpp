// Redrawing the viewer's chart along the line for the largest run (100
// layers, four zones): All 11 points with the exact curves, the run alone,
// with two more drawn over it, and with a process window. One iteration is what a click on a View
// toggle costs: the chart built again and painted. CPU time (the machine
// may be shared); medians with --benchmark_repetitions.
#include "AlongLineChart.h"
#include "EventGuard.h"
#include "JudgedWindow.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <memory>
#include <string>

namespace {

using namespace korvane;

class NoErrors : public ErrorBox {
  public:
    void ShowError(const std::string& text) override {
        std::fprintf(stderr, "chart bench: %s\n", text.c_str());
    }
};

// bench/max-size.txt: 100 layers, four zones, the 1000 steps a run may have.
std::shared_ptr<const LoadedRun> LargestRun() {
    static const auto run = std::make_shared<const LoadedRun>(
        LoadRun(std::string(KORVANE_BENCH_DIR) + "/max-size.txt"));
    return run;
}

// The same run under other names, as the legend lists them.
RunList Runs(int count) {
    RunList runs{LargestRun()};
    for (int r = 1; r < count; ++r) {
        auto copy = std::make_shared<LoadedRun>(*runs.front());
        copy->Path += "-" + std::to_string(r + 1);
        runs.push_back(std::move(copy));
    }
    return runs;
}

std::shared_ptr<const WindowFile> CureWindow() {
    const auto opened = OpenWindowFile(std::string(KORVANE_EXAMPLES_DIR) + "/heating-window.json");
    return std::get<std::shared_ptr<const WindowFile>>(opened);
}

// With window 1, the cure oven's window drawn over the curves, its labels
// placed clear of them.
void BM_RedrawAlongLine(benchmark::State& state) {
    const RunList runs = Runs(static_cast<int>(state.range(0)));
    ChartOptions options;
    options.AllPoints = true;
    options.ShowExact = true;
    if (state.range(1))
        options.Window =
            std::make_shared<const JudgedWindow>(JudgeWindow(runs.front()->Run, CureWindow()));
    NoErrors errors;
    AlongLineChart chart(errors);
    chart.setAttribute(Qt::WA_DontShowOnScreen);
    chart.resize(1100, 460);
    chart.show();
    QImage image(chart.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        chart.Show(runs, options);
        QCoreApplication::sendPostedEvents();
        QPainter painter(&image);
        chart.render(&painter);
    }
    state.counters["rows"] = static_cast<double>(runs.front()->RowCount());
    if (const QByteArray png = qgetenv("KORVANE_CHART_BENCH_PNG"); !png.isEmpty())
        image.save(QString::fromLocal8Bit(png) +
                   QString("-%1-%2.png").arg(state.range(0)).arg(state.range(1)));
}
BENCHMARK(BM_RedrawAlongLine)
    ->Name("AlongLine/all11+exact")
    ->ArgNames({"runs", "window"})
    ->Args({1, 0})
    ->Args({3, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

// The cure oven's process window judged on the largest run, both sides, as
// the viewer does each time a first run or a window is opened: the exact
// solution, the profile statistics and the zone metrics from the rows.
void BM_JudgeWindow(benchmark::State& state) {
    const auto file = CureWindow();
    const auto run = LargestRun();
    for (auto _ : state)
        benchmark::DoNotOptimize(JudgeWindow(run->Run, file));
    state.counters["limits"] = static_cast<double>(file->Window.Limits.size());
}
BENCHMARK(BM_JudgeWindow)->Name("Window/judge")->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
