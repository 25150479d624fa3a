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

std::string LoadError(const std::string& path) {
    try {
        LoadRun(path);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "accepted";
}

// The golden data file with line `lineNo` (from 1) replaced, or cut after
// `lines` lines.
std::string DataFile(const TempDir& dir, std::size_t lineNo, const std::string& line,
                     std::size_t lines = 28) {
    const std::string golden = ReadFileBytes(Golden("layers7-four-zones.txt"));
    std::string text;
    std::size_t start = 0;
    for (std::size_t n = 1; n <= lines; ++n) {
        const std::size_t end = golden.find('\n', start) + 1;
        text += n == lineNo ? line + "\n" : golden.substr(start, end - start);
        start = end;
    }
    const std::string path = dir.file("d" + std::to_string(lineNo) + "-" + std::to_string(lines));
    WriteFileBytes(path, text);
    return path;
}

// A file shaped like a data file is told what is wrong with it as one.
TEST(LoadedRun, ADataFileIsToldWhichOfItsLinesIsWrong) {
    TempDir dir;
    const std::string short20 = DataFile(dir, 0, "", 20);
    EXPECT_EQ(LoadError(short20),
              short20 + " is not a correct data file: line 21 (Zone3 Outer Temperature(1)) is "
                        "missing: the file ends after line 20, and a data file has 28 lines.");
    const std::string speed = DataFile(dir, 5, "Speed (m/min) = fast");
    EXPECT_EQ(LoadError(speed),
              speed + " is not a correct data file: line 5 (Speed): \"fast\" is not a number.");
    const std::string equals = DataFile(dir, 14, "Zone2 Heat Trans. Coeff.(1) 0.0008");
    EXPECT_EQ(LoadError(equals), equals + " is not a correct data file: line 14 (Zone2 Heat "
                                          "Trans. Coeff.(1)) has no \"=\": each of the 28 "
                                          "lines is \"label = value\".");
    const std::string density = DataFile(dir, 1, "Density (g/cm3) = -1");
    EXPECT_EQ(LoadError(density), density + " is not a correct data file: line 1 (Density): "
                                            "Value of Density is not correct.");
    const std::string dz = DataFile(dir, 7, "Increment dz (cm) = 0");
    EXPECT_EQ(LoadError(dz),
              dz + " is not a correct data file: line 7 (Increment dz): Δz must not be 0.");
    const std::string layers = DataFile(dir, 8, "Number of Layers = 7.5");
    EXPECT_EQ(LoadError(layers), layers + " is not a correct data file: line 8 (Number of "
                                          "Layers): \"7.5\" is not a whole number.");
    const std::string zone2 = DataFile(dir, 17, "Zone2 Outer Temperature(2) (C) = 6OO");
    EXPECT_EQ(LoadError(zone2), zone2 + " is not a correct data file: line 17 (Zone2 Outer "
                                        "Temperature(2)): \"6OO\" is not a number.");
    // A result file stays one, whatever line is wrong.
    std::string result = ReadFileBytes(Golden("defaults.result"));
    result.insert(result.find("  1.0  293.7"), "  x\r\n");
    WriteFileBytes(dir.file("bad.result"), result);
    EXPECT_EQ(LoadError(dir.file("bad.result"))
                  .rfind(dir.file("bad.result") + " is not a correct result file: line 21:", 0),
              0u);
}

// What the reader says about a file comes with the run, and a data file's
// inputs and computed rows are looked at too.
TEST(LoadedRun, WarningsComeWithTheRun) {
    TempDir dir;
    const std::string golden = ReadFileBytes(Golden("layers7-four-zones.result"));
    WriteFileBytes(dir.file("cut.result"), golden.substr(0, golden.rfind("128.8") + 2));
    const LoadedRun cut = LoadRun(dir.file("cut.result"));
    EXPECT_FALSE(cut.Complete);
    ASSERT_EQ(cut.Warnings.size(), 1u);
    EXPECT_NE(cut.Warnings[0].find("zone 4, which shows 16 rows of about 17"), std::string::npos);
    EXPECT_EQ(cut.Run.Zones[3].Rows.size(), 16u);
    EXPECT_TRUE(LoadRun(Golden("layers7-four-zones.result")).Warnings.empty());

    const LoadedRun cold = LoadRun(DataFile(dir, 16, "Zone2 Outer Temperature(1) (C) = -100000"));
    EXPECT_TRUE(cold.Complete);
    ASSERT_EQ(cold.Warnings.size(), 2u);
    EXPECT_EQ(
        cold.Warnings[0],
        "line 16 (Zone2 Outer Temperature(1)): -100000 ℃ is below absolute zero (−273.15 ℃).");
    EXPECT_EQ(cold.Warnings[1].rfind("zone 2 at z = ", 0), 0u) << cold.Warnings[1];
}

} // namespace
} // namespace korvane
