// The march on its band path against the same march with every solve done by
// the general solver and by the literal algorithm.
#include "Calculate.h"
#include "FloatError.h"
#include "LiteralSolver.h"
#include "RunFixtures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>

namespace korvane {
namespace {

using namespace korvane::testing;

const LinearSolver Band = nullptr;

TEST(MarchSolve, WholeRunsWriteTheLiteralSolversFiles) {
    struct Case {
        int layers;
        double deltaZ, speed;
    };
    // 100 layers exchange rows at nearly every step; 3 layers and the slow,
    // short steps do not.
    const Case cases[] = {{100, 1.25, 27}, {3, 0.5, 27}, {37, 0.5, 27}, {60, 0.01, 300}};
    for (const auto& c : cases) {
        auto in = DefaultInput("");
        in.LayerCount = c.layers;
        in.DeltaZ = c.deltaZ;
        in.Speed = c.speed;
        in.ZoneCount = 4;
        in.Zones[4] = {0.2, 0.0, 900, 10, c.deltaZ * 20}; // face 2 insulated
        const std::string literal = RunInTempDir(in, SolveLinEqLiteral);
        EXPECT_GT(literal.size(), 3000u);
        EXPECT_EQ(RunInTempDir(in, Band), literal) << c.layers << " layers";
        EXPECT_EQ(RunInTempDir(in, SolveLinEq), literal) << c.layers << " layers";
    }
}

// Every recorded value, not only the printed digits, and the fault of a zone
// whose negative coefficient makes the system singular.
struct Marched {
    std::unique_ptr<CalcWork> w = std::make_unique<CalcWork>();
    std::optional<FloatError::Kind> fault;
};

Marched MarchOnce(int layers, double fourier, const TZoneInput& zone, LinearSolver solve) {
    Marched m;
    CalcInput = DefaultInput("");
    CalcInput.LayerCount = layers;
    CalcInput.DeltaZ = 0.5;
    // Biot numbers Htc * Dx / Conductivity exact for the faulting cases.
    CalcInput.Thickness = 1;
    CalcInput.Conductivity = 0.5;
    CalcWork& w = *m.w;
    w.NodeCount = layers + 1;
    w.Dx = 1.0 / layers;
    w.Fourier = fourier;
    CurZone = zone;
    CurLength = 20.0001;
    for (int i = 1; i <= w.NodeCount; ++i)
        w.Temp[i] = 300 + 7 * i;
    w.AvgTemp = 0;
    try {
        MarchZone(w, solve);
    } catch (const FloatError& e) {
        m.fault = e.kind();
    }
    return m;
}

TEST(MarchSolve, HistoriesAreTheLiteralOnesBitForBit) {
    struct Case {
        int layers;
        double fourier;
        TZoneInput zone;
    };
    const Case cases[] = {
        {100, 618.0, {0.0005, 0.09, 30, 50, 0}},
        {100, 0.3, {0.0005, 0.09, 30, 50, 0}},
        {20, 2.5, {0, 0.05, 1e6, -20, 0}},   // face 1 insulated
        {12, 40.0, {2.0, 1e-9, -300, 0, 0}}, // a zero surrounding
        {8, 5.0, {-0.0923, 0.01, 30, 50, 0}},
        {3, 1e4, {1e3, 1e3, 1e5, 1e5, 0}},
        // One layer, Biot numbers -2 and -2 (+ 2^-30 on face 2): singular,
        // then the last pivot tiny and its quotient overflowing.
        {1, 1.0, {-1, -1, 30, 50, 0}},
        {1, 1.0, {-1, -1 + 0x1p-31, 1e300, -1e300, 0}},
    };
    int faults = 0;
    for (const auto& c : cases) {
        const Marched literal = MarchOnce(c.layers, c.fourier, c.zone, SolveLinEqLiteral);
        for (const LinearSolver solve : {Band, static_cast<LinearSolver>(SolveLinEq)}) {
            const Marched m = MarchOnce(c.layers, c.fourier, c.zone, solve);
            const std::string what = std::to_string(c.layers) + " layers, F " +
                                     std::to_string(c.fourier) + (solve ? " general" : " band");
            ASSERT_EQ(m.fault, literal.fault) << what;
            faults += m.fault.has_value();
            ASSERT_EQ(m.w->RowNo, literal.w->RowNo) << what;
            for (int r = 1; r < m.w->RowNo; ++r) {
                EXPECT_EQ(std::memcmp(&m.w->TempHistory[r][1], &literal.w->TempHistory[r][1],
                                      sizeof(double) * static_cast<std::size_t>(c.layers + 1)),
                          0)
                    << what << " row " << r;
                EXPECT_EQ(
                    std::memcmp(&m.w->AvgHistory[r], &literal.w->AvgHistory[r], sizeof(double)), 0)
                    << what << " row " << r;
            }
            EXPECT_EQ(std::memcmp(&m.w->Temp[1], &literal.w->Temp[1],
                                  sizeof(double) * static_cast<std::size_t>(c.layers + 1)),
                      0)
                << what;
        }
    }
    EXPECT_EQ(faults, 4);
}

// The mean of a pass's new profile serves as the next pass's old mean. Zone
// 1's first pass has InitialTemp instead, which can differ from the mean of
// the uniform profile in the last bits (300.3 over 10 layers does), and a
// one-row zone 1 hands that mean on to zone 2.
TEST(MarchSolve, AZonesFirstOldMeanIsComputedNotTaken) {
    const double T = 300.3;
    double sum = 0;
    for (int i = 1; i <= 10; ++i)
        sum = static_cast<double>((static_cast<long double>(T) + T) / 2 + sum);
    const double mean = static_cast<double>(static_cast<long double>(sum) / 10);
    ASSERT_NE(mean, T);

    CalcInput = DefaultInput("");
    const TCalcInput& in = CalcInput;
    auto w = std::make_unique<CalcWork>();
    w->NodeCount = 11;
    w->Dx = in.Thickness / 10;
    w->Fourier = 2.5;
    CurZone = in.Zones[1];
    CurLength = 0.2001;
    for (int i = 1; i <= 11; ++i)
        w->Temp[i] = T;
    w->AvgTemp = T;
    MarchZone(*w);
    EXPECT_EQ(w->PrevAvgTemp, mean);
    EXPECT_EQ(w->AvgHistory[1], T);
}

} // namespace
} // namespace korvane
