// Fast solver against the literal Gauss-Jordan algorithm: one solve of the
// march's system at 101 nodes, and a whole maximum-size run.
#include "Calculate.h"
#include "LiteralSolver.h"
#include "RunFixtures.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace korvane;

class NullSink : public MessageSink {
  public:
    void ShowMessage(const std::string&) override {}
};

// The system of a real pass: a profile part way through a zone, 100 layers.
struct MarchSystem {
    std::unique_ptr<TMatrix> A = std::make_unique<TMatrix>();
    TVector b{};
    MarchSystem() {
        const int n = MaxNodes;
        // The window's default plate at 100 layers: a Fourier number of about 617.
        const double f = 617.0, bi1 = 1.08e-4, bi2 = 0.0195;
        (*A)[1][1] = 1 + bi1, (*A)[1][2] = -1, b[1] = bi1 * 30;
        for (int i = 2; i < n; ++i) {
            (*A)[i][i - 1] = -f / 2, (*A)[i][i] = 1 + f, (*A)[i][i + 1] = -f / 2;
            b[i] = 300 - i;
        }
        (*A)[n][n - 1] = -1, (*A)[n][n] = 1 + bi2, b[n] = bi2 * 50;
    }
};

template <LinearSolver Solve> void BM_Solve101(benchmark::State& state) {
    MarchSystem s;
    TVector x{};
    for (auto _ : state) {
        Solve(*s.A, x, s.b, MaxNodes);
        benchmark::DoNotOptimize(x);
    }
}
BENCHMARK(BM_Solve101<SolveLinEq>)->Name("SolveLinEq/fast/n=101");
BENCHMARK(BM_Solve101<testing::SolveLinEqLiteral>)->Name("SolveLinEq/literal/n=101");

// 100 layers and four zones whose steps add up to 1000.
template <LinearSolver Solve> void BM_FullRun(benchmark::State& state) {
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
BENCHMARK(BM_FullRun<SolveLinEq>)
    ->Name("FullRun/fast/100layers/1000steps")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRun<testing::SolveLinEqLiteral>)
    ->Name("FullRun/literal/100layers/1000steps")
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
