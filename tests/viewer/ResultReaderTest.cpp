#include "ResultReader.h"

#include "NumberFormat.h"
#include "ResultNumber.h"
#include "RunFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace korvane {
namespace {

using namespace korvane::testing;

std::string Golden(const std::string& name) {
    return ReadFileBytes((GoldenDir() / name).string());
}

std::size_t ErrorLine(const std::string& bytes) {
    try {
        ParseResultFile(bytes);
    } catch (const ResultFileError& error) {
        EXPECT_NE(std::string(error.what()).find("line " + std::to_string(error.Line())),
                  std::string::npos)
            << error.what();
        return error.Line();
    }
    return 0;
}

// Replaces line `lineNo` (from 1) of a CR LF text.
std::string WithLine(const std::string& text, std::size_t lineNo, const std::string& line) {
    std::size_t start = 0;
    for (std::size_t i = 1; i < lineNo; ++i)
        start = text.find("\r\n", start) + 2;
    const std::size_t end = text.find("\r\n", start);
    return text.substr(0, start) + line + text.substr(end);
}

TEST(ResultReader, GoldenFilesGiveTheirInputsAndEveryRow) {
    const ResultFileContent defaults = ParseResultFile(Golden("defaults.result"));
    EXPECT_EQ(defaults.Input.Density, 1.14);
    EXPECT_EQ(defaults.Input.SpecificHeat, 0.56);
    EXPECT_EQ(defaults.Input.Conductivity, 0.0006);
    EXPECT_EQ(defaults.Input.Thickness, 0.013);
    EXPECT_EQ(defaults.Input.Speed, 27.0);
    EXPECT_EQ(defaults.Input.InitialTemp, 300.0);
    EXPECT_EQ(defaults.Input.DeltaZ, 0.5);
    EXPECT_EQ(defaults.Input.LayerCount, 10);
    ASSERT_EQ(defaults.Input.ZoneCount, 3);
    ASSERT_EQ(defaults.Zones.size(), 3u);
    EXPECT_EQ(defaults.Zones[0].Zone.Htc1, 0.0005);
    EXPECT_EQ(defaults.Zones[0].Zone.Htc2, 0.09);
    EXPECT_EQ(defaults.Zones[0].Zone.OuterTemp1, 30.0);
    EXPECT_EQ(defaults.Zones[0].Zone.Length, 10.0);
    EXPECT_EQ(defaults.Input.Zones[2].OuterTemp2, defaults.Zones[1].Zone.OuterTemp2);
    ASSERT_EQ(defaults.Zones[0].Rows.size(), 21u);
    const HistoryRow& second = defaults.Zones[0].Rows[1];
    EXPECT_EQ(second.Z, 0.5);
    EXPECT_EQ(second.Points[0], 298.5);
    EXPECT_EQ(second.Points[10], 221.9);
    EXPECT_EQ(second.Mean, 285.6);
    // The next zone starts where this one ended.
    EXPECT_EQ(defaults.Zones[1].Rows.front().Points, defaults.Zones[0].Rows.back().Points);

    const ResultFileContent layers7 = ParseResultFile(Golden("layers7-four-zones.result"));
    EXPECT_EQ(layers7.Input.LayerCount, 7);
    ASSERT_EQ(layers7.Zones.size(), 4u);
    std::size_t rows = 0;
    for (const ZoneHistory& zone : layers7.Zones)
        rows += zone.Rows.size();
    EXPECT_EQ(rows, 111u - 10 - 4 * 10); // header, then per block 8 lines and 2 empty ones
    EXPECT_EQ(layers7.Zones[3].Zone.Htc2, 0.05);
    EXPECT_EQ(layers7.Zones[1].Rows[1].Z, 0.3); // Δz 0.25 prints 0.3
}

TEST(ResultReader, WidenedFieldsAboveAThousandShiftTheRow) {
    const ResultFileContent hot = ParseResultFile(Golden("hot-above-1000.result"));
    EXPECT_EQ(hot.Input.InitialTemp, 1250.0);
    ASSERT_EQ(hot.Zones.size(), 3u);
    const HistoryRow& row = hot.Zones[0].Rows[1];
    EXPECT_EQ(row.Points[0], 1280.6);
    EXPECT_EQ(row.Points[10], 1151.9);
    EXPECT_EQ(row.Mean, 1242.1);
    EXPECT_EQ(hot.Zones[0].Zone.OuterTemp1, 1500.0);
}

TEST(ResultReader, RowsInScientificFormAndAboveTenThousand) {
    // What a plate far hotter than any real one prints: wide fields push the
    // rest of the row to the right.
    std::string file = Golden("defaults.result");
    const std::size_t row = file.find("  0.5  298.5");
    file.replace(row, file.find("\r\n", row) - row,
                 "  0.5  1E5 1.2346E5 -1.2E5 12346.0 -100.0 9999.9 0.0 300.0 300.0 300.0 "
                 "1,5 2.1E10");
    const ResultFileContent content = ParseResultFile(file);
    const HistoryRow& wide = content.Zones[0].Rows[1];
    EXPECT_EQ(wide.Points[0], 1e5);
    EXPECT_EQ(wide.Points[1], 1.2346e5);
    EXPECT_EQ(wide.Points[2], -1.2e5);
    EXPECT_EQ(wide.Points[3], 12346.0);
    EXPECT_EQ(wide.Points[4], -100.0);
    EXPECT_EQ(wide.Points[10], 1.5);
    EXPECT_EQ(wide.Mean, 2.1e10);
}

TEST(ResultReader, CommaFileReadsAsThePointFile) {
    TempDir dir;
    RecordingSink sink;
    const TCalcInput input = DefaultInput(dir.file("point.txt"));
    const std::string point = RunToFile(input, sink);
    SetDecimalSeparator(',');
    TCalcInput commaInput = input;
    commaInput.SaveFileName = dir.file("comma.txt");
    const std::string comma = RunToFile(commaInput, sink);
    SetDecimalSeparator('.');
    ASSERT_NE(comma.find("0,00060"), std::string::npos);

    const ResultFileContent a = ParseResultFile(point);
    const ResultFileContent b = ParseResultFile(comma);
    EXPECT_EQ(a.Input.Conductivity, b.Input.Conductivity);
    ASSERT_EQ(a.Zones.size(), b.Zones.size());
    for (std::size_t z = 0; z < a.Zones.size(); ++z) {
        ASSERT_EQ(a.Zones[z].Rows.size(), b.Zones[z].Rows.size());
        for (std::size_t r = 0; r < a.Zones[z].Rows.size(); ++r) {
            EXPECT_EQ(a.Zones[z].Rows[r].Z, b.Zones[z].Rows[r].Z);
            EXPECT_EQ(a.Zones[z].Rows[r].Points, b.Zones[z].Rows[r].Points);
            EXPECT_EQ(a.Zones[z].Rows[r].Mean, b.Zones[z].Rows[r].Mean);
        }
    }
}

TEST(ResultReader, LineFeedsAloneAndAMissingEndAreFine) {
    std::string lf = Golden("layers7-four-zones.result");
    for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;)
        lf.erase(at, 1);
    lf.erase(lf.find_last_not_of('\n') + 1); // no empty lines at the end
    const ResultFileContent content = ParseResultFile(lf);
    ASSERT_EQ(content.Zones.size(), 4u);
    EXPECT_EQ(content.Zones[3].Rows.back().Z, 4.0);
}

TEST(ResultReader, EveryNumberFormTheFileWritesReadsBack) {
    const double values[] = {0,      0.04,   -0.06,   20,       0.25,     998.25,
                             1020.4, -100.0, -1234.5, 12345.67, 99999.4,  99999.5,
                             100000, 123456, -654321, 1.5e9,    -7.25e12, 0.0006};
    for (char separator : {'.', ','}) {
        SetDecimalSeparator(separator);
        for (double value : values) {
            for (const auto& [precision, digits] : {std::pair{5, 1}, {7, 5}, {6, 2}}) {
                const std::string text = FormatFixed(value, precision, digits);
                const auto back = ParseResultNumber(text);
                ASSERT_TRUE(back) << text;
                // Fixed form keeps the decimals, scientific form the precision.
                const double tolerance = std::max(0.5 * std::pow(10.0, -digits),
                                                  std::abs(value) * 5 * std::pow(10.0, -precision));
                EXPECT_NEAR(*back, value, tolerance) << text;
            }
        }
    }
    SetDecimalSeparator('.');
    for (const char* text : {"", "-", "1.", ".5", "1,2,3", "1E", "1.2E5x", "nan", "inf", "0x10",
                             "1 2", "+1", "--1", "1.2.3"})
        EXPECT_FALSE(ParseResultNumber(text)) << text;
}

TEST(ResultReader, SaysWhichLineIsWrong) {
    const std::string good = Golden("defaults.result");
    EXPECT_EQ(ErrorLine(""), 1u);
    // A data file starts with the same eight labels.
    EXPECT_EQ(ErrorLine(Golden("defaults.txt")), 9u);
    EXPECT_EQ(ErrorLine(WithLine(good, 3, "Thermal Conductivity (cal/s.cm) =  fast")), 3u);
    EXPECT_EQ(ErrorLine(WithLine(good, 4, "Speed (m/min) =  27.0")), 4u);
    EXPECT_EQ(ErrorLine(WithLine(good, 8, "Number of Layers  =  2.5")), 8u);
    EXPECT_EQ(ErrorLine(WithLine(good, 8, "Number of Layers  =  101")), 8u);
    EXPECT_EQ(ErrorLine(WithLine(good, 9, "x")), 9u);
    EXPECT_EQ(ErrorLine(WithLine(good, 11, "[Zone 2]")), 11u);
    EXPECT_EQ(ErrorLine(WithLine(good, 18, "   Z    T1    T2")), 18u);
    // A row with a field too few, and one with a field that is no number.
    EXPECT_EQ(ErrorLine(WithLine(good, 20, "  0.5  298.5 298.8 298.7")), 20u);
    EXPECT_EQ(ErrorLine(WithLine(good, 21,
                                 "  1.0  293.7 293.9 293.0 290.7 286.4 279.6 269.3 254.3 234.0 "
                                 "208.8 182.9 264.8 1.0")),
              21u);
    EXPECT_EQ(ErrorLine(WithLine(good, 22,
                                 "  1.5  293.7 293.9 293.0 29O.7 286.4 279.6 269.3 254.3 234.0 "
                                 "208.8 182.9 264.8")),
              22u);
    // Header only: the block of zone 1 is missing.
    EXPECT_EQ(ErrorLine(good.substr(0, good.find("[Zone 1]"))), 11u);
    // Text after the last block.
    EXPECT_EQ(ErrorLine(good + "remark\r\n"), 124u);
}

TEST(ResultReader, ReadsOnlyFilesOfAResultFilesSize) {
    TempDir dir;
    const std::string good = dir.file("good.result");
    WriteFileBytes(good, Golden("defaults.result"));
    const ResultFileContent content = ReadResultFile(good);
    EXPECT_EQ(content.Input.SaveFileName, good);
    EXPECT_EQ(content.Zones.size(), 3u);

    const std::string huge = dir.file("huge.result");
    WriteFileBytes(huge, "");
    std::filesystem::resize_file(huge, std::uintmax_t{65} << 20); // sparse: nothing is written
    EXPECT_THROW(ReadResultFile(huge), ResultFileError);
    EXPECT_THROW(ReadResultFile(dir.path().string()), std::runtime_error);
    EXPECT_THROW(ReadResultFile(dir.file("missing.result")), std::runtime_error);
}

} // namespace
} // namespace korvane
