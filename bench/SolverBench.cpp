// The band path and the general solver against the literal Gauss-Jordan
// algorithm: one solve of the march's system at 101 nodes and a whole
// maximum-size run. Ends with the ratio of each to the literal one, in CPU
// time (the machine is shared), medians when run with --benchmark_repetitions.
#include "BandSolve.h"
#include "Calculate.h"
#include "LiteralSolver.h"
#include "NumberFormat.h"
#include "RunFixtures.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

using namespace korvane;

class NullSink : public MessageSink {
  public:
    void ShowMessage(const std::string&) override {}
};

// The system of a real pass on the window's default plate at 100 layers
// (a Fourier number of about 618): the row exchanges happen at 99 of its 101
// pivot steps.
struct MarchSystem {
    TVector lower{}, diag{}, upper{}, b{};
    TMatrix A{};
    MarchSystem() {
        const int n = MaxNodes;
        const double f = 617.0, bi1 = 1.08e-4, bi2 = 0.0195;
        diag[1] = 1 + bi1, upper[1] = -1, b[1] = bi1 * 30;
        for (int i = 2; i < n; ++i) {
            lower[i] = -f / 2, diag[i] = 1 + f, upper[i] = -f / 2;
            b[i] = 300 - i;
        }
        lower[n] = -1, diag[n] = 1 + bi2, b[n] = bi2 * 50;
        DenseFromBand(lower, diag, upper, n, A);
    }
};

void BM_SolveBand(benchmark::State& state) {
    static const MarchSystem s;
    TVector x{};
    for (auto _ : state) {
        SolveLinEqBand(s.lower, s.diag, s.upper, x, s.b, MaxNodes);
        benchmark::DoNotOptimize(x);
    }
}
BENCHMARK(BM_SolveBand)->Name("Solve/band/n=101");

template <LinearSolver Solve> void BM_Solve(benchmark::State& state) {
    static const MarchSystem s;
    TVector x{};
    for (auto _ : state) {
        Solve(s.A, x, s.b, MaxNodes);
        benchmark::DoNotOptimize(x);
    }
}
BENCHMARK(BM_Solve<SolveLinEq>)->Name("Solve/general/n=101");
BENCHMARK(BM_Solve<testing::SolveLinEqLiteral>)->Name("Solve/literal/n=101");

// 100 layers and four zones whose steps add up to 1000.
template <LinearSolver Solve> void BM_Run(benchmark::State& state) {
    testing::TempDir dir;
    CalcInput = testing::DefaultInput(dir.file("bench.txt"));
    CalcInput.LayerCount = 100;
    CalcInput.ZoneCount = 4;
    CalcInput.Zones[1].Length = 100;
    CalcInput.Zones[2].Length = 100;
    CalcInput.Zones[3].Length = 200;
    CalcInput.Zones[4] = {0.01, 0.02, 80, 120, 100};
    NullSink sink;
    for (auto _ : state) {
        WriteInputConditions(sink);
        Calculate(sink, Solve);
    }
    state.SetItemsProcessed(state.iterations() * 1004);
}
BENCHMARK(BM_Run<nullptr>)->Name("Run/band/100layers/1000steps")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Run<SolveLinEq>)
    ->Name("Run/general/100layers/1000steps")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Run<testing::SolveLinEqLiteral>)
    ->Name("Run/literal/100layers/1000steps")
    ->Unit(benchmark::kMillisecond);

// A table row's worth of temperatures, in the common fixed form and through
// the 18-digit expansion.
template <std::string (*Format)(long double, int, int)> void BM_Format(benchmark::State& state) {
    const double values[] = {0.0, 0.5, 298.5, 298.8, 274.6, 255.5, 221.9, 1020.4, -5.5, 99.94};
    for (auto _ : state)
        for (const double v : values)
            benchmark::DoNotOptimize(Format(v, 5, 1));
    state.SetItemsProcessed(state.iterations() * static_cast<long>(std::size(values)));
}
BENCHMARK(BM_Format<FormatFixed>)->Name("Format/common/10values");
BENCHMARK(BM_Format<FormatFixedByExpansion>)->Name("Format/expansion/10values");

// Keeps each benchmark's CPU time per iteration (the median when there are
// repetitions) for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            const std::string name = run.run_name.function_name;
            const double t = run.GetAdjustedCPUTime();
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median")
                    median_[name] = t;
            } else {
                single_[name] = t;
            }
        }
    }
    void PrintRatios() const {
        const char* const pairs[][2] = {
            {"Solve/band/n=101", "Solve/literal/n=101"},
            {"Solve/general/n=101", "Solve/literal/n=101"},
            {"Run/band/100layers/1000steps", "Run/literal/100layers/1000steps"},
            {"Run/general/100layers/1000steps", "Run/literal/100layers/1000steps"},
            {"Format/common/10values", "Format/expansion/10values"},
        };
        for (const auto& [fast, literal] : pairs) {
            const double f = Time(fast), l = Time(literal);
            if (f > 0 && l > 0)
                std::printf("%-34s %7.1fx %s\n", fast, l / f, literal);
        }
    }

  private:
    double Time(const std::string& name) const {
        const auto m = median_.find(name);
        if (m != median_.end())
            return m->second;
        const auto s = single_.find(name);
        return s != single_.end() ? s->second : 0;
    }
    std::map<std::string, double> median_, single_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
