#include "DataFile.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

namespace korvane {
namespace {

using namespace korvane::testing;

std::string Lines(int count, const std::string& ending = "\n") {
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += "Label " + std::to_string(i) + " = " + std::to_string(i) + ending;
    return text;
}

std::optional<DataLineArray> Parse(const std::string& bytes) {
    TempDir dir;
    WriteFileBytes(dir.file("d.txt"), bytes);
    DataLineArray lines;
    if (!ReadDataLines(dir.file("d.txt"), lines))
        ADD_FAILURE() << "cannot read";
    return ExtractDataValues(lines);
}

TEST(DataFile, TakesTheValueAfterTheFirstEqualsUpToABlank) {
    std::string text = Lines(28, "\r\n");
    text += "line 29 without equals\n";
    const auto values = Parse(text);
    ASSERT_TRUE(values);
    for (int i = 1; i <= 28; ++i)
        EXPECT_EQ((*values)[static_cast<std::size_t>(i)], std::to_string(i));

    const std::pair<const char*, const char*> cases[] = {
        {"Thickness (cm) = 0.013 cm", "0.013"},
        {"=5", "5"},
        {"label =", ""},
        {"a = \t5", "\t5"},
        {"a =x=y z", "x=y"},
        {"a = b = c", "b"},
        {"a =    ", ""},
        {"a==", "="},
        {"\x83\xA2z = \x82\x50", "\x82\x50"},
    };
    for (const auto& [line, value] : cases) {
        std::string file = line + std::string("\n") + Lines(27);
        const auto v = Parse(file);
        ASSERT_TRUE(v) << line;
        EXPECT_EQ((*v)[1], value) << line;
    }
}

TEST(DataFile, EveryOneOfTheFirst28LinesNeedsAnEquals) {
    EXPECT_FALSE(Parse(Lines(27)));
    EXPECT_FALSE(Parse(""));
    std::string emptyLine14 = Lines(13) + "\n" + Lines(14);
    EXPECT_FALSE(Parse(emptyLine14));
    // Without a line end after line 28 the file is still complete.
    std::string noFinalEnd = Lines(28);
    noFinalEnd.pop_back();
    EXPECT_TRUE(Parse(noFinalEnd));
    // CR alone ends no line: all of it is line 1.
    EXPECT_FALSE(Parse(Lines(28, "\r")));
    // Nor does it at the end of the file: there, too, it is text of the value.
    const auto lastCr = Parse(Lines(27) + "Zone4 Length (cm) = .074995e01\r");
    ASSERT_TRUE(lastCr);
    EXPECT_EQ((*lastCr)[28], ".074995e01\r");
}

TEST(DataFile, UnreadableFilesAreReportedAsSuch) {
    TempDir dir;
    DataLineArray lines;
    // An endless file is read only up to a bound.
    if (std::filesystem::exists("/dev/zero")) {
        EXPECT_FALSE(ReadDataLines("/dev/zero", lines));
    }
    EXPECT_FALSE(ReadDataLines(dir.file("missing.txt"), lines));
    EXPECT_FALSE(ReadDataLines(dir.path().string(), lines));
    EXPECT_FALSE(ReadDataLines("", lines));
    // A named pipe with no writer reads as empty instead of hanging.
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    ASSERT_TRUE(ReadDataLines(dir.file("pipe"), lines));
    EXPECT_FALSE(ExtractDataValues(lines));
    EXPECT_EQ(DataFormatMessage("/tmp/a b.txt"), "\"/tmp/a b.txt\" is not a correct data file!");
}

} // namespace
} // namespace korvane
