#include "ResultFile.h"
#include "Calculate.h"
#include "FloatError.h"
#include "NumberFormat.h"
#include "RunFixtures.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

namespace korvane {
namespace {

using namespace korvane::testing;

#define DEG "\x81\x8E"

TEST(ResultFile, DefaultInputsGiveTheSampleHeaderAndZoneOne) {
    TempDir dir;
    RecordingSink sink;
    const std::string file = RunToFile(DefaultInput(dir.file("result.txt")), sink);
    EXPECT_TRUE(sink.messages.empty());

    const std::string head =
        "Density                        (g/cm3) =  1.14\r\n"
        "Specific Heat               (cal/g." DEG ") =  0.56\r\n"
        "Thermal Conductivity     (cal/s.cm." DEG ") =  0.00060\r\n"
        "Thickness                         (cm) =  0.0130\r\n"
        "Speed                          (m/min) =  27.0\r\n"
        "Initial Temperature               (" DEG ") =  300.0\r\n"
        "Increment \x83\xA2z                     (cm) =  0.50\r\n"
        "Number of Layers                       =  10\r\n"
        "\r\n"
        "\r\n"
        "[Zone 1]\r\n"
        "Heat Transfer Coeff.-1  (cal/cm2.s." DEG ") =  0.00050\r\n"
        "Heat Transfer Coeff.-2  (cal/cm2.s." DEG ") =  0.09000\r\n"
        "Outer Temperature -1              (" DEG ") =  30.0\r\n"
        "Outer Temperature -2              (" DEG ") =  50.0\r\n"
        "Length                            (cm) =  10.0\r\n"
        "\r\n"
        "   Z    T1    T2    T3    T4    T5    T6    T7    T8    T9    T10   T11   TAV\r\n"
        "  0.0  300.0 300.0 300.0 300.0 300.0 300.0 300.0 300.0 300.0 300.0 300.0 300.0\r\n"
        "  0.5  298.5 298.8 298.7 298.2 297.2 295.2 291.7 285.5 274.6 255.5 221.9 285.6\r\n"
        "  1.0  293.7 293.9 293.0 290.7 286.4 279.6 269.3 254.3 234.0 208.8 182.9 264.8\r\n";
    EXPECT_EQ(file.substr(0, head.size()), head);

    const auto blocks = SplitBlocks(file);
    ASSERT_EQ(blocks.size(), 3u);
    const auto& rows = blocks[0].rows;
    ASSERT_EQ(rows.size(), 21u);
    EXPECT_EQ(rows[19],
              "  9.5  117.3 117.4 116.6 115.0 112.6 109.3 105.4 100.7  95.3  89.4  83.0 106.2");
    EXPECT_EQ(rows[20],
              " 10.0  112.2 112.3 111.6 110.1 107.8 104.9 101.2  96.8  91.9  86.4  80.5 101.9");
    EXPECT_EQ(blocks[1].rows.front(),
              "  0.0  112.2 112.3 111.6 110.1 107.8 104.9 101.2  96.8  91.9  86.4  80.5 101.9");
    EXPECT_EQ(blocks[2].rows.size(), 41u);
    // The file ends with the two empty lines of the last block.
    EXPECT_EQ(file.substr(file.size() - 6), "\r\n\r\n\r\n");
}

TEST(ResultFile, ColumnsRepeatNodesForFewLayers) {
    const std::array<std::int32_t, 12> three = {0, 1, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4};
    const std::array<std::int32_t, 12> twentyFive = {0, 1, 3, 6, 8, 11, 13, 16, 18, 21, 23, 26};
    const std::array<std::int32_t, 12> hundred = {0, 1, 11, 21, 31, 41, 51, 61, 71, 81, 91, 101};
    EXPECT_EQ(ColumnNodesFor(3), three);
    EXPECT_EQ(ColumnNodesFor(25), twentyFive);
    EXPECT_EQ(ColumnNodesFor(100), hundred);
}

TEST(ResultFile, WideValuesPushTheRowRight) {
    TempDir dir;
    CalcInput = DefaultInput(dir.file("r.txt"));
    RecordingSink sink;
    WriteInputConditions(sink);
    CurZoneNo = 1;
    CurZone = CalcInput.Zones[1];
    CurLength = 10.0001;
    auto z = std::make_unique<TRowHistory>();
    auto avg = std::make_unique<TRowHistory>();
    auto temps = std::make_unique<TTempHistory>();
    (*z)[1] = 1000;
    (*avg)[1] = 1000;
    (*temps)[1].fill(998.25);
    (*temps)[1][1] = 1020.4;
    ASSERT_TRUE(SaveZoneResult(*z, *temps, *avg, 1, 10, sink));
    const auto blocks = SplitBlocks(ReadFileBytes(CalcInput.SaveFileName));
    ASSERT_EQ(blocks.size(), 1u);
    ASSERT_EQ(blocks[0].rows.size(), 1u);
    EXPECT_EQ(blocks[0].rows[0], "1000.0  1020.4 998.3 998.3 998.3 998.3 998.3 998.3 998.3 998.3 "
                                 "998.3 998.3 1000.0");
    EXPECT_EQ(blocks[0].rows[0].size(), 81u);

    // No rows at all: the head and nothing else.
    ASSERT_TRUE(SaveZoneResult(*z, *temps, *avg, -1, 10, sink));
    EXPECT_TRUE(SplitBlocks(ReadFileBytes(CalcInput.SaveFileName))[1].rows.empty());
}

TEST(ResultFile, LengthLineShowsTheLengthEnteredWithoutTheAllowance) {
    TempDir dir;
    RecordingSink sink;
    auto in = DefaultInput(dir.file("length.txt"));
    in.ZoneCount = 1;
    in.DeltaZ = 0.25;
    in.Zones[1].Length = 1.25; // 1.2501 would print 1.3
    const auto blocks = SplitBlocks(RunToFile(in, sink));
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].labelLines[4], "Length                            (cm) =  1.2");
}

TEST(ResultFile, CommaSeparatorReachesEveryNumber) {
    TempDir dir;
    SetDecimalSeparator(',');
    RecordingSink sink;
    auto in = DefaultInput(dir.file("comma.txt"));
    in.ZoneCount = 1;
    const std::string file = RunToFile(in, sink);
    SetDecimalSeparator('.');
    EXPECT_NE(file.find("(g/cm3) =  1,14\r\n"), std::string::npos);
    EXPECT_NE(file.find("  0,5  298,5 298,8"), std::string::npos);
    EXPECT_EQ(file.find('.', file.find("[Zone 1]") + 200), std::string::npos);
}

TEST(ResultFile, UnopenableFileShowsMessagesAndStillComputesEveryZone) {
    TempDir dir;
    RecordingSink sink;
    const std::string missing = dir.file("no-such-folder/result.txt");
    RunToFile(DefaultInput(missing), sink);
    const std::vector<std::string> expected = NothingWritableMessages(3);
    EXPECT_EQ(sink.messages, expected);
    EXPECT_EQ(CurZoneNo, 3);
    EXPECT_FALSE(std::filesystem::exists(missing));

    // A folder in the file's place cannot be created or appended to either,
    // and a named pipe nobody reads is refused instead of hanging the run.
    sink.messages.clear();
    RunToFile(DefaultInput(dir.path().string()), sink);
    EXPECT_EQ(sink.messages, expected);
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    sink.messages.clear();
    RunToFile(DefaultInput(dir.file("pipe")), sink);
    EXPECT_EQ(sink.messages, expected);
}

TEST(ResultFile, WriteFailureAfterOpeningIsAnErrorWithThePlatformText) {
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    RecordingSink sink;
    CalcInput = DefaultInput("/dev/full");
    try {
        WriteInputConditions(sink);
        ADD_FAILURE() << "no error";
    } catch (const FileWriteError& e) {
        EXPECT_STREQ(e.what(), "No space left on device");
    }
    CurZoneNo = 1;
    CurLength = 1;
    auto z = std::make_unique<TRowHistory>();
    auto temps = std::make_unique<TTempHistory>();
    EXPECT_THROW(SaveZoneResult(*z, *temps, *z, 1, 10, sink), FileWriteError);
    EXPECT_TRUE(sink.messages.empty());
}

TEST(ResultFile, FaultInALaterZoneKeepsTheBlocksWrittenBefore) {
    TempDir dir;
    RecordingSink sink;
    auto in = DefaultInput(dir.file("fault.txt"));
    in.Zones[2].Htc1 = 1;           // Biot number above one...
    in.Zones[2].OuterTemp1 = 1e308; // ...times this overflows
    CalcInput = in;
    WriteInputConditions(sink);
    try {
        Calculate(sink);
        ADD_FAILURE() << "no error";
    } catch (const FloatError& e) {
        EXPECT_STREQ(e.what(), "Floating point overflow");
    }
    const auto blocks = SplitBlocks(ReadFileBytes(in.SaveFileName));
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].rows.size(), 21u);
}

} // namespace
} // namespace korvane
