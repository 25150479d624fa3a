#include "LoadedRun.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace korvane {
namespace {

using namespace korvane::testing;

std::string Golden(const std::string& name) {
    return (GoldenDir() / name).string();
}

TEST(LoadedRun, ADataFileIsComputedAndItsResultFileReadAsPrinted) {
    const LoadedRun computed = LoadRun(Golden("layers7-four-zones.txt"));
    const LoadedRun printed = LoadRun(Golden("layers7-four-zones.result"));
    EXPECT_FALSE(computed.FromResultFile);
    EXPECT_TRUE(printed.FromResultFile);
    ASSERT_EQ(computed.Run.Zones.size(), 4u);
    ASSERT_EQ(printed.Run.Zones.size(), 4u);
    EXPECT_EQ(computed.RowCount(), printed.RowCount());
    EXPECT_EQ(computed.Run.Zones[0].Rows[0].Nodes.size(), 8u);
    EXPECT_TRUE(printed.Run.Zones[0].Rows[0].Nodes.empty());
    for (std::size_t z = 0; z < 4; ++z) {
        // The Z column is printed to 0.1 cm (Δz 0.25 prints as 0.3).
        EXPECT_NEAR(computed.ZoneStarts[z], printed.ZoneStarts[z],
                    0.05 * static_cast<double>(z) + 1e-9);
        const auto& a = computed.Run.Zones[z].Rows.back();
        const auto& b = printed.Run.Zones[z].Rows.back();
        for (std::size_t k = 0; k < a.Points.size(); ++k)
            EXPECT_NEAR(a.Points[k], b.Points[k], 0.05 + 1e-9) << "zone " << z + 1;
    }
    // Both have the exact solution of the same inputs.
    EXPECT_EQ(computed.SolvedZones(), 4u);
    EXPECT_EQ(printed.SolvedZones(), 4u);
    EXPECT_EQ(computed.Metrics.size(), 4u);
}

TEST(LoadedRun, NearestRowAlongTheLine) {
    const LoadedRun run = LoadRun(Golden("defaults.txt"));
    // Zone 1 is 10 cm in steps of 0.5: 21 rows, and zone 2 starts where it ends.
    ASSERT_EQ(run.Run.Zones[0].Rows.size(), 21u);
    EXPECT_EQ(NearestRow(run, -5), 0u);
    EXPECT_EQ(NearestRow(run, 0.2), 0u);
    EXPECT_EQ(NearestRow(run, 0.3), 1u);
    EXPECT_EQ(NearestRow(run, 10), 20u); // zone 1's last row, not zone 2's first
    EXPECT_EQ(NearestRow(run, 10.4), 21u + 1);
    EXPECT_EQ(NearestRow(run, 1e9), run.RowCount() - 1);
    const auto [zone, row] = run.RowAt(NearestRow(run, 10.4));
    EXPECT_EQ(zone, 1u);
    EXPECT_DOUBLE_EQ(run.ZLineOf(zone, row), 10.5);
}

TEST(LoadedRun, AFileThatIsNeitherIsRefusedByName) {
    TempDir dir;
    WriteFileBytes(dir.file("x.txt"), "no run here\n");
    try {
        LoadRun(dir.file("x.txt"));
        FAIL() << "accepted";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("x.txt"), std::string::npos) << error.what();
    }
    EXPECT_THROW(LoadRun(dir.file("missing.txt")), std::runtime_error);
}

} // namespace
} // namespace korvane
