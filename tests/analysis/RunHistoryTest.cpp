#include "RunHistory.h"
#include "Calculate.h"
#include "FloatError.h"
#include "LiteralSolver.h"
#include "NumberFormat.h"
#include "RunFixtures.h"
#include "ZoneMetrics.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace korvane {
namespace {

using namespace korvane::testing;

// The rows of the result file as the observed history prints them.
std::vector<std::string> PrintedRows(const ZoneHistory& zone, std::size_t count) {
    std::vector<std::string> rows;
    for (std::size_t r = 0; r < count; ++r) {
        const HistoryRow& row = zone.Rows[r];
        std::string text = FormatRight(5, 1, row.Z) + "  ";
        for (double t : row.Points)
            text += FormatRight(5, 1, t) + " ";
        rows.push_back(text + FormatRight(5, 1, row.Mean));
    }
    return rows;
}

TEST(RunHistory, ObserverLeavesTheResultFileAsItIsAndSeesWhatItPrints) {
    auto in = DefaultInput("");
    in.ZoneCount = 4;
    in.LayerCount = 7;
    in.Zones[2].Length = -1; // recorded once, printed never
    in.Zones[4] = {0.2, 0.0, 1900, 10, 12.5};
    for (const LinearSolver solve : {LinearSolver(SolveLinEq), LinearSolver(SolveLinEqLiteral)}) {
        const auto runWith = [&](ZoneObserver* observer) {
            TempDir dir;
            in.SaveFileName = dir.file("r.txt");
            CalcInput = in;
            RecordingSink sink;
            WriteInputConditions(sink);
            Calculate(sink, solve, observer);
            EXPECT_TRUE(sink.messages.empty());
            return ReadFileBytes(in.SaveFileName);
        };
        HistoryRecorder recorder(in);
        const std::string observed = runWith(&recorder);
        ASSERT_EQ(observed, runWith(nullptr));

        const RunHistory& run = recorder.History();
        const auto blocks = SplitBlocks(observed);
        ASSERT_EQ(run.Zones.size(), 4u);
        ASSERT_EQ(blocks.size(), 4u);
        for (std::size_t k = 0; k < 4; ++k) {
            const ZoneHistory& zone = run.Zones[k];
            EXPECT_EQ(zone.ZoneNo, static_cast<std::int32_t>(k + 1));
            EXPECT_EQ(zone.Zone.Htc1, in.Zones[k + 1].Htc1);
            EXPECT_EQ(zone.Zone.Length, in.Zones[k + 1].Length);
            EXPECT_EQ(PrintedRows(zone, blocks[k].rows.size()), blocks[k].rows) << "zone " << k + 1;
            for (const HistoryRow& row : zone.Rows) {
                ASSERT_EQ(row.Nodes.size(), 8u);
                // Layer count 7: T6 is node 4, T11 node 8.
                EXPECT_EQ(row.Points[5], row.Nodes[3]);
                EXPECT_EQ(row.Points[10], row.Nodes[7]);
            }
        }
        EXPECT_EQ(run.Zones[1].Rows.size(), 1u);
        EXPECT_TRUE(blocks[1].rows.empty());
    }
}

TEST(RunHistory, ComputeRunTouchesNoFileAndRestoresTheRun) {
    TempDir dir;
    auto in = DefaultInput(dir.file("never.txt"));
    auto before = DefaultInput("window.txt");
    before.LayerCount = 25;
    CalcInput = before;
    CurZone = {1, 2, 3, 4, 5};
    CurZoneNo = 3;
    CurLength = 7.5;

    const RunHistory run = ComputeRun(in);
    EXPECT_FALSE(std::filesystem::exists(in.SaveFileName));
    EXPECT_EQ(CalcInput.LayerCount, 25);
    EXPECT_EQ(CalcInput.SaveFileName, "window.txt");
    EXPECT_EQ(CurZone.OuterTemp2, 4);
    EXPECT_EQ(CurZoneNo, 3);
    EXPECT_EQ(CurLength, 7.5);

    // The same rows as a run that writes its file.
    HistoryRecorder recorder(in);
    in.SaveFileName = dir.file("r.txt");
    CalcInput = in;
    RecordingSink sink;
    Calculate(sink, SolveLinEq, &recorder);
    ASSERT_EQ(run.Zones.size(), recorder.History().Zones.size());
    for (std::size_t k = 0; k < run.Zones.size(); ++k) {
        const auto& a = run.Zones[k].Rows;
        const auto& b = recorder.History().Zones[k].Rows;
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t r = 0; r < a.size(); ++r) {
            EXPECT_EQ(a[r].Nodes, b[r].Nodes);
            EXPECT_EQ(a[r].Mean, b[r].Mean);
        }
    }

    // A fault ends it as it ends a run, and the run is still put back.
    CalcInput = before;
    in.Thickness = 5e-324;
    EXPECT_THROW(ComputeRun(in), FloatError);
    EXPECT_EQ(CalcInput.SaveFileName, "window.txt");
}

// A zone small enough to check by hand.
RunHistory HandRun() {
    RunHistory run;
    run.Input = DefaultInput("");
    run.Input.ZoneCount = 2;
    ZoneHistory zone;
    zone.ZoneNo = 1;
    zone.Zone = run.Input.Zones[1];
    const auto row = [](double z, std::array<double, 11> points, double mean) {
        return HistoryRow{z, points, mean, {}};
    };
    zone.Rows = {
        row(0.0, {300, 300, 300, 300, 300, 300, 300, 300, 300, 300, 300}, 300),
        row(0.5, {290, 295, 296, 297, 298, 299, 298, 297, 296, 295, 280}, 294),
        row(1.0, {270, 290, 305, 299, 298, 297, 296, 295, 280, 270, 260}, 297),
        row(1.5, {260, 280, 305, 250, 250, 250, 250, 250, 250, 250, 260}, 290),
    };
    run.Zones.push_back(zone);
    ZoneHistory last;
    last.ZoneNo = 2;
    last.Zone = run.Input.Zones[2];
    last.Rows = {zone.Rows.back()};
    last.Rows[0].Z = 0;
    run.Zones.push_back(last);
    return run;
}

TEST(ZoneMetrics, HandCheckedZones) {
    const RunHistory run = HandRun();
    ExactRun exact(2);
    std::vector<ExactRow> rows;
    for (const auto& r : run.Zones[0].Rows)
        rows.push_back({r.Points, r.Mean});
    rows[1].Points[5] = 302;  // interior, 3 off
    rows[2].Points[10] = 262; // face 2, 2 off
    rows[3].Mean = 291.5;     // mean, 1.5 off
    exact[0] = rows;

    const auto metrics = ComputeMetrics(run, exact);
    ASSERT_EQ(metrics.size(), 2u);
    const ZoneMetrics& m = metrics[0];
    EXPECT_EQ(m.ZoneNo, 1);
    EXPECT_EQ(m.Rows, 4);
    EXPECT_DOUBLE_EQ(m.ResidenceS, 1.5 / 45);
    EXPECT_EQ(m.Entry.T6, 300);
    EXPECT_EQ(m.Exit.T1, 260);
    EXPECT_EQ(m.Exit.T6, 250);
    EXPECT_EQ(m.Exit.T11, 260);
    EXPECT_EQ(m.Exit.TAV, 290);
    // Peak 305 first at 1.0 (again at 1.5); low 250 first at 1.5.
    EXPECT_EQ(m.Peak.Value, 305);
    EXPECT_EQ(m.Peak.Z, 1.0);
    EXPECT_EQ(m.Low.Value, 250);
    EXPECT_EQ(m.Low.Z, 1.5);
    // Spread 45 at 1.0, 55 at 1.5.
    EXPECT_EQ(m.MaxDifference.Value, 55);
    EXPECT_EQ(m.MaxDifference.Z, 1.5);
    // A step is 1/90 s: +3 heats at 270 C/s, -7 cools at 630 C/s.
    EXPECT_NEAR(m.MaxHeatingRate, 270, 1e-9);
    EXPECT_NEAR(m.MaxCoolingRate, 630, 1e-9);
    EXPECT_NEAR(m.Biot[0], 0.0005 * 0.013 / 0.0006, 1e-15);
    EXPECT_NEAR(m.Biot[1], 1.95, 1e-12);
    EXPECT_NEAR(m.MeshFourier, 0.0006 / (1.14 * 0.56 * 45) * 0.5 / (0.0013 * 0.0013), 1e-9);
    ASSERT_TRUE(m.Exact.has_value());
    EXPECT_EQ(m.Exact->Exit.TAV, 291.5);
    EXPECT_EQ(m.Exact->Exit.T11, 260);
    EXPECT_NEAR(m.Exact->MaxErrorFaces, 2, 1e-12);
    EXPECT_NEAR(m.Exact->MaxErrorInterior, 3, 1e-12);
    EXPECT_NEAR(m.Exact->MaxErrorMean, 1.5, 1e-12);

    // One row: no time passes, no rate.
    const ZoneMetrics& one = metrics[1];
    EXPECT_EQ(one.Rows, 1);
    EXPECT_EQ(one.ResidenceS, 0);
    EXPECT_EQ(one.MaxHeatingRate, 0);
    EXPECT_EQ(one.MaxCoolingRate, 0);
    EXPECT_EQ(one.MaxDifference.Value, 55);
    EXPECT_FALSE(one.Exact.has_value());
}

TEST(ZoneMetrics, CentreIsTheSixthColumnNotTheMiddle) {
    auto in = DefaultInput("");
    in.LayerCount = 7;
    const auto depths = PointDepths(in);
    EXPECT_DOUBLE_EQ(depths[5], in.Thickness * 3 / 7);
    EXPECT_DOUBLE_EQ(depths[10], in.Thickness);
    const RunHistory run = ComputeRun(in);
    const auto metrics = ComputeMetrics(run, ExactAlongRun(run));
    const HistoryRow& exit = run.Zones[0].Rows.back();
    EXPECT_EQ(metrics[0].Exit.T6, exit.Nodes[3]);
    EXPECT_EQ(ZoneLineStarts(run), (std::vector<double>{0, 10, 20}));
}

} // namespace
} // namespace korvane
