#include "ResultReader.h"

#include "NumberFormat.h"
#include "ResultNumber.h"
#include "RunFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
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

TEST(ResultReader, LineFeedsAloneAreFineAMissingEndIsACut) {
    std::string lf = Golden("layers7-four-zones.result");
    for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;)
        lf.erase(at, 1);
    const ResultFileContent whole = ParseResultFile(lf);
    EXPECT_TRUE(whole.Complete);
    ASSERT_EQ(whole.Zones.size(), 4u);
    EXPECT_EQ(whole.Zones[3].Rows.back().Z, 4.0);

    // No empty lines at the end, and no line end after the last row: its
    // last number may be cut short, so the row is left out.
    lf.erase(lf.find_last_not_of('\n') + 1);
    const ResultFileContent cut = ParseResultFile(lf);
    EXPECT_FALSE(cut.Complete);
    ASSERT_EQ(cut.Zones.size(), 4u);
    EXPECT_EQ(cut.Zones[3].Rows.size(), whole.Zones[3].Rows.size() - 1);
    ASSERT_EQ(cut.Warnings.size(), 1u);
    EXPECT_EQ(cut.Warnings[0], "The file is incomplete: line 109 has no line end: the file is cut "
                               "in zone 4, which shows 16 rows of about 17 (the cut row is left "
                               "out).");
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

// The golden file's rows, as many as asked for, each the same: zone 1 of
// defaults.result with its Δz and length lines replaced.
std::string OneZoneFile(const std::string& deltaZ, const std::string& length, std::size_t rows) {
    const std::string golden = Golden("defaults.result");
    std::string file = WithLine(golden, 7, "Increment Δz (cm) =  " + deltaZ);
    file = WithLine(file, 16, "Length (cm) =  " + length);
    std::size_t start = 0;
    for (int line = 1; line < 19; ++line)
        start = file.find("\r\n", start) + 2;
    const std::size_t end = file.find("\r\n", start) + 2;
    std::string text = file.substr(0, start);
    for (std::size_t r = 0; r < rows; ++r)
        text += file.substr(start, end - start);
    return text + "\r\n\r\n";
}

// The lines of a text from `first` (from 1) to `last`, removed.
std::string WithoutLines(const std::string& text, std::size_t first, std::size_t last) {
    std::size_t start = 0;
    for (std::size_t i = 1; i < first; ++i)
        start = text.find("\r\n", start) + 2;
    std::size_t end = start;
    for (std::size_t i = first; i <= last; ++i)
        end = text.find("\r\n", end) + 2;
    return text.substr(0, start) + text.substr(end);
}

bool SameRow(const HistoryRow& a, const HistoryRow& b) {
    return a.Z == b.Z && a.Points == b.Points && a.Mean == b.Mean;
}

// Every prefix of every golden file: refused with its line, or opened as
// incomplete with nothing but the file's own rows; only a cut right after a
// block's two empty lines is complete, the file of fewer zones that the
// program writes.
TEST(ResultReader, ACutFileIsRefusedOrIncompleteNeverComplete) {
    for (const char* name :
         {"defaults.result", "hot-above-1000.result", "layers7-four-zones.result"}) {
        const std::string file = Golden(name);
        const ResultFileContent whole = ParseResultFile(file);
        EXPECT_TRUE(whole.Complete) << name;
        EXPECT_TRUE(whole.Warnings.empty()) << name;
        const std::size_t firstBlock = file.find("[Zone 1]");
        std::size_t refused = 0, incomplete = 0, fewerZones = 0;
        for (std::size_t size = 0; size < file.size(); ++size) {
            const std::string cut = file.substr(0, size);
            ResultFileContent content;
            try {
                content = ParseResultFile(cut);
            } catch (const ResultFileError& error) {
                ++refused;
                EXPECT_EQ(std::string(error.what())
                              .rfind("line " + std::to_string(error.Line()) + ": ", 0),
                          0u)
                    << error.what();
                continue;
            }
            ASSERT_LE(content.Zones.size(), whole.Zones.size());
            const bool blockEnd = size > firstBlock && cut.size() >= 6 &&
                                  cut.compare(size - 6, 6, "\r\n\r\n\r\n") == 0;
            if (blockEnd) {
                ++fewerZones;
                EXPECT_TRUE(content.Complete) << name << " cut at " << size;
                EXPECT_LT(content.Zones.size(), whole.Zones.size());
            } else {
                ++incomplete;
                EXPECT_FALSE(content.Complete) << name << " cut at " << size;
                ASSERT_FALSE(content.Warnings.empty());
                EXPECT_EQ(content.Warnings[0].rfind("The file is incomplete: ", 0), 0u);
            }
            EXPECT_EQ(content.Input.DeltaZ, whole.Input.DeltaZ);
            for (std::size_t z = 0; z < content.Zones.size(); ++z) {
                const auto& rows = content.Zones[z].Rows;
                ASSERT_LE(rows.size(), whole.Zones[z].Rows.size());
                EXPECT_EQ(content.Zones[z].Zone.Length, whole.Zones[z].Zone.Length);
                for (std::size_t r = 0; r < rows.size(); ++r)
                    ASSERT_TRUE(SameRow(rows[r], whole.Zones[z].Rows[r]))
                        << name << " cut at " << size << ": zone " << z + 1 << " row " << r;
            }
        }
        EXPECT_EQ(fewerZones, whole.Zones.size() - 1) << name;
        EXPECT_GT(refused, firstBlock) << name;
        EXPECT_GT(incomplete, file.size() / 2) << name;
    }
}

TEST(ResultReader, CutsAreNamedByZoneAndRows) {
    const std::string file = Golden("defaults.result");
    // "128.8" cut to "12": not a temperature of 12 ℃, a row left out.
    const std::size_t at = file.find("  8.5  128.8");
    const ResultFileContent cut = ParseResultFile(file.substr(0, at + 9));
    EXPECT_FALSE(cut.Complete);
    ASSERT_EQ(cut.Zones.size(), 1u);
    EXPECT_EQ(cut.Zones[0].Rows.size(), 17u);
    EXPECT_EQ(cut.Zones[0].Rows.back().Z, 8.0);
    EXPECT_EQ(cut.Warnings[0], "The file is incomplete: line 36 has no line end: the file is cut "
                               "in zone 1, which shows 17 rows of about 21 (the cut row is left "
                               "out).");

    // Whole rows, but the block is not closed.
    const std::size_t rowEnd = file.find("\r\n", at) + 2;
    EXPECT_EQ(ParseResultFile(file.substr(0, rowEnd)).Warnings[0],
              "The file is incomplete: the file ends after zone 1 (18 rows of about 21) without "
              "the two empty lines that close a block: rows or zones may be missing.");
    // The head of zone 3 is cut: zone 3 is left out.
    const std::size_t zone3 = file.find("[Zone 3]");
    const ResultFileContent head = ParseResultFile(file.substr(0, zone3 + 40));
    EXPECT_EQ(head.Zones.size(), 2u);
    EXPECT_EQ(head.Warnings[0], "The file is incomplete: the file ends inside the head of zone 3 "
                                "(line 74, which has no line end); zone 3 is left out.");
    // A cut in zone 1's head leaves nothing to show.
    const std::size_t zone1 = file.find("Length");
    EXPECT_EQ(ErrorLine(file.substr(0, zone1 + 44)), 17u);
}

// A block that ends early but is closed: fewer rows than its length and Δz
// give, beyond what the header's rounding (Δz to 0.01, length to 0.1) allows.
TEST(ResultReader, AZoneShortOfItsLengthIsIncomplete) {
    const std::string file = Golden("defaults.result");
    // Zone 2's rows (lines 50 to 70): 10 cm at Δz 0.5, 21 rows; 9.95 at 0.505 give 20.
    const ResultFileContent one = ParseResultFile(WithoutLines(file, 55, 55));
    EXPECT_TRUE(one.Complete);
    const ResultFileContent three = ParseResultFile(WithoutLines(file, 55, 57));
    EXPECT_FALSE(three.Complete);
    ASSERT_EQ(three.Warnings.size(), 1u);
    EXPECT_EQ(three.Warnings[0], "The file is incomplete: zone 2 has 18 rows of about 21 up to "
                                 "line 67, where its length of 10 cm at Δz = 0.5 cm gives at "
                                 "least 20.");
    EXPECT_EQ(three.Zones.size(), 3u);
    EXPECT_EQ(three.Zones[2].Rows.size(), 41u);

    // Δz below 0.005 prints as 0.00: 4 cm give from 791 rows (at 0.005) to
    // the 1001 a zone holds.
    EXPECT_TRUE(ParseResultFile(OneZoneFile("0.00", "4.0", 1001)).Complete);
    EXPECT_TRUE(ParseResultFile(OneZoneFile("0.00", "4.0", 791)).Complete);
    const ResultFileContent tiny = ParseResultFile(OneZoneFile("0.00", "4.0", 790));
    EXPECT_FALSE(tiny.Complete);
    EXPECT_NE(tiny.Warnings[0].find("790 rows of 791 to 1001"), std::string::npos)
        << tiny.Warnings[0];
    // 2000 cm at 1 cm would be 2001 rows; a zone holds 1001.
    EXPECT_TRUE(ParseResultFile(OneZoneFile("1.00", "2000.0", 1001)).Complete);
    EXPECT_FALSE(ParseResultFile(OneZoneFile("1.00", "2000.0", 1000)).Complete);
    // A negative length prints no rows.
    EXPECT_TRUE(ParseResultFile(OneZoneFile("0.50", "-3.0", 0)).Complete);
}

// Whatever the program writes reads back as complete: tiny and huge Δz and
// lengths, zones of negative length, temperatures in scientific form.
TEST(ResultReader, EveryFileTheProgramWritesIsComplete) {
    struct Case {
        const char* what;
        double deltaZ;
        TZoneInput zones[3];
    };
    const Case cases[] = {
        {"defaults", 0.5, {{0.0005, 0.09, 30, 50, 10}, {0.09, 0.09, 50, 50, 10}, {}}},
        {"tiny dz", 0.004, {{0.0005, 0.09, 30, 50, 4}, {0.09, 0.09, 50, 50, 3}, {}}},
        {"dz not binary", 0.1, {{0.0005, 0.09, 30, 50, 0.3}, {0.09, 0.09, 50, 50, 99.9}, {}}},
        {"negative lengths", 0.5, {{0.0005, 0.09, 30, 50, 10}, {0.09, 0.09, 50, 50, -3}, {}}},
        {"short negative", 0.5, {{0.0005, 0.09, 30, 50, 10}, {0.09, 0.09, 50, 50, -0.3}, {}}},
        {"huge", 1234567.1, {{1e-9, 1e-9, 30, 50, 1.2345671e9}, {1e-9, 1e-9, 50, 50, 7e8}, {}}},
        {"hot", 0.5, {{0.0005, 0.09, 30, 50, 10}, {0.09, 0.09, 1e300, -1e300, 10}, {}}},
    };
    for (const Case& c : cases) {
        TCalcInput input = DefaultInput("");
        input.DeltaZ = c.deltaZ;
        input.ZoneCount = 3;
        input.Zones[1] = c.zones[0];
        input.Zones[2] = c.zones[1];
        input.Zones[3] = {0.0005, 0.0005, 30, 30, 20 * c.deltaZ};
        const std::string file = RunInTempDir(input);
        const ResultFileContent content = ParseResultFile(file);
        EXPECT_TRUE(content.Complete) << c.what << ": " << content.Warnings[0];
        ASSERT_EQ(content.Zones.size(), 3u) << c.what;
        for (std::size_t z = 0; z < 3; ++z)
            EXPECT_EQ(content.Zones[z].Rows.size(), SplitBlocks(file)[z].rows.size()) << c.what;
    }
}

// A temperature of 1e300 is a number the program can print; one beyond a
// double is refused with its line, one below absolute zero named.
TEST(ResultReader, HugeTemperaturesAreReadNonFiniteOnesRefusedColdOnesNamed) {
    TCalcInput input = DefaultInput("");
    input.Zones[2].OuterTemp1 = 1e300;
    input.Zones[2].OuterTemp2 = -1e300;
    const std::string hot = RunInTempDir(input);
    ASSERT_NE(hot.find("E299"), std::string::npos);
    const ResultFileContent content = ParseResultFile(hot);
    EXPECT_TRUE(content.Complete);
    EXPECT_EQ(content.Zones[1].Zone.OuterTemp1, 1e300);
    ASSERT_EQ(content.Warnings.size(), 1u);
    EXPECT_EQ(content.Warnings[0].rfind("line 46: an outer temperature is -1e+300 ℃, below "
                                        "absolute zero (−273.15 ℃); ",
                                        0),
              0u)
        << content.Warnings[0];

    const std::string good = Golden("defaults.result");
    EXPECT_EQ(ErrorLine(WithLine(good, 20,
                                 "  0.5  1E400 298.8 298.7 298.2 297.2 295.2 291.7 285.5 274.6 "
                                 "255.5 221.9 285.6")),
              20u);
    EXPECT_EQ(ErrorLine(WithLine(good, 14, "Outer Temperature -1 (C) =  -1E999")), 14u);
    // -273.2 may be -273.15 rounded; -273.3 is not.
    const ResultFileContent edge =
        ParseResultFile(WithLine(good, 14, "Outer Temperature -1 =  -273.2"));
    EXPECT_TRUE(edge.Warnings.empty());
    const ResultFileContent cold = ParseResultFile(WithLine(
        good, 20,
        "  0.5  298.5 298.8 -273.3 298.2 297.2 295.2 291.7 285.5 274.6 255.5 221.9 285.6"));
    ASSERT_EQ(cold.Warnings.size(), 1u);
    EXPECT_EQ(cold.Warnings[0], "line 20: T3 is -273.3 ℃, below absolute zero (−273.15 ℃).");
    EXPECT_TRUE(cold.Complete);
}

// A zone holds at most 1001 rows: the next is refused where it stands, and
// nothing after it is read.
TEST(ResultReader, TheRowAfterTheThousandAndFirstIsRefusedAtOnce) {
    EXPECT_TRUE(ParseResultFile(OneZoneFile("0.01", "10.0", 1001)).Complete);
    EXPECT_EQ(ErrorLine(OneZoneFile("0.01", "10.0", 1002)), 18u + 1002);

    TempDir dir;
    const std::string path = dir.file("endless.result");
    const std::string file = OneZoneFile("0.01", "10.0", 1500);
    WriteFileBytes(path, file);
    // A sparse tail of 4 GiB that is never read.
    std::filesystem::resize_file(path, std::uintmax_t{4} << 30);
    try {
        ReadResultFile(path);
        FAIL() << "accepted";
    } catch (const ResultFileError& error) {
        EXPECT_EQ(error.Line(), 18u + 1002);
        EXPECT_STREQ(error.what(), "line 1020: zone 1 has a 1002nd row; a result file holds at "
                                   "most 1001 rows a zone.");
    }
}

// The file is read a chunk at a time; lines across chunks, cuts and all,
// read as the same bytes in memory do.
TEST(ResultReader, AFileOnDiskReadsAsItsBytes) {
    TCalcInput input = DefaultInput("");
    input.DeltaZ = 0.01;
    input.ZoneCount = 4;
    for (int k = 1; k <= 4; ++k)
        input.Zones[k].Length = 10;
    input.Zones[4] = input.Zones[3];
    const std::string file = RunInTempDir(input);
    ASSERT_GT(file.size(), 3u << 16);
    TempDir dir;
    const std::string path = dir.file("r.result");
    for (std::size_t size : {file.size(), file.size() - 1, std::size_t{65536 + 7},
                             std::size_t{3 * 65536}, std::size_t{200000}}) {
        WriteFileBytes(path, file.substr(0, size));
        const ResultFileContent fromDisk = ReadResultFile(path);
        const ResultFileContent inMemory = ParseResultFile(file.substr(0, size));
        EXPECT_EQ(fromDisk.Complete, inMemory.Complete) << size;
        EXPECT_EQ(fromDisk.Warnings, inMemory.Warnings) << size;
        ASSERT_EQ(fromDisk.Zones.size(), inMemory.Zones.size()) << size;
        for (std::size_t z = 0; z < fromDisk.Zones.size(); ++z) {
            ASSERT_EQ(fromDisk.Zones[z].Rows.size(), inMemory.Zones[z].Rows.size());
            for (std::size_t r = 0; r < fromDisk.Zones[z].Rows.size(); ++r)
                ASSERT_TRUE(SameRow(fromDisk.Zones[z].Rows[r], inMemory.Zones[z].Rows[r]));
        }
    }
    WriteFileBytes(path, file);
    const ResultFileContent whole = ReadResultFile(path);
    EXPECT_TRUE(whole.Complete);
    EXPECT_EQ(whole.Zones.size(), 4u);
    EXPECT_EQ(whole.Zones[3].Rows.size(), 1001u);
}

} // namespace
} // namespace korvane
