#include "BatchRun.h"
#include "NumberFormat.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace korvane {
namespace {

using namespace korvane::testing;

struct Outcome {
    int code;
    std::string err;
};

Outcome Batch(const std::string& data, const std::string& result) {
    std::ostringstream err;
    const int code = RunBatch(data, result, err);
    return {code, err.str()};
}

TEST(Batch, ReproducesTheGoldenFilesByteForByte) {
    for (const char* name : {"defaults", "layers7-four-zones", "hot-above-1000"}) {
        TempDir dir;
        const auto out =
            Batch((GoldenDir() / (std::string(name) + ".txt")).string(), dir.file("r.txt"));
        EXPECT_EQ(out.code, BatchOk) << name;
        EXPECT_EQ(out.err, "");
        EXPECT_TRUE(ReadFileBytes(dir.file("r.txt")) ==
                    ReadFileBytes((GoldenDir() / (std::string(name) + ".result")).string()))
            << name;
    }
}

TEST(Batch, RefusesBadDataFilesAndInputs) {
    TempDir dir;
    auto out = Batch(dir.file("missing.txt"), dir.file("r.txt"));
    EXPECT_EQ(out.code, BatchRefused);
    EXPECT_EQ(out.err, "Data file can not open!\n");

    WriteFileBytes(dir.file("short.txt"), "a = 1\n");
    out = Batch(dir.file("short.txt"), dir.file("r.txt"));
    EXPECT_EQ(out.code, BatchRefused);
    EXPECT_EQ(out.err, "\"" + dir.file("short.txt") + "\" is not a correct data file!\n");

    std::string data = ReadFileBytes((GoldenDir() / "defaults.txt").string());
    data.replace(data.find("(cm) = 0.5"), 10, "(cm) = -0.5");
    WriteFileBytes(dir.file("dz.txt"), data);
    out = Batch(dir.file("dz.txt"), dir.file("r.txt"));
    EXPECT_EQ(out.code, BatchRefused);
    EXPECT_EQ(out.err, "Value of Increment \u0394z is not correct\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("r.txt")));
}

TEST(Batch, ReportsEveryMessageAndFailsWhenAnyWasShown) {
    TempDir dir;
    const auto out = Batch((GoldenDir() / "defaults.txt").string(), dir.file("none/r.txt"));
    EXPECT_EQ(out.code, BatchFailed);
    EXPECT_EQ(out.err, MessageLines(NothingWritableMessages(3)));
}

TEST(Batch, SkippedZoneIsComputedFromZeros) {
    TempDir dir;
    std::string data = ReadFileBytes((GoldenDir() / "layers7-four-zones.txt").string());
    // Zone 3's first value 0: zone 3 is skipped while zone 4 counts.
    data.replace(data.find("= 0.01\n"), 7, "= 0\n");
    WriteFileBytes(dir.file("skip.txt"), data);
    const auto out = Batch(dir.file("skip.txt"), dir.file("r.txt"));
    EXPECT_EQ(out.code, BatchOk) << out.err;
    const std::string file = ReadFileBytes(dir.file("r.txt"));
    const auto zone3 = file.find("[Zone 3]\r\n");
    ASSERT_NE(zone3, std::string::npos);
    const auto zone4 = file.find("[Zone 4]", zone3);
    const std::string block = file.substr(zone3, zone4 - zone3);
    EXPECT_NE(block.find("(cal/cm2.s.\x81\x8E) =  0.00000\r\n"), std::string::npos);
    EXPECT_NE(block.find("(cm) =  0.0\r\n"), std::string::npos);
    // Head, five labels, an empty line, the column head, one row, two empty lines.
    EXPECT_EQ(std::count(block.begin(), block.end(), '\n'), 11);
}

TEST(Batch, DecimalCommaComesFromTheLocale) {
    SetDecimalSeparator(',');
    TempDir dir;
    const auto out = Batch((GoldenDir() / "defaults.txt").string(), dir.file("r.txt"));
    SetDecimalSeparator('.');
    EXPECT_EQ(out.code, BatchRefused); // "1.14" is no number where the separator is a comma
    EXPECT_EQ(out.err, "Input value is not correct!\n");
}

} // namespace
} // namespace korvane
