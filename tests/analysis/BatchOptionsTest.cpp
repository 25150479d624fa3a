#include "BatchRun.h"
#include "NumberFormat.h"
#include "RunExport.h"
#include "RunFixtures.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <charconv>
#include <filesystem>
#include <sstream>

namespace korvane {
namespace {

using namespace korvane::testing;
using Json = nlohmann::json;

struct Outcome {
    int code;
    std::string err;
};

Outcome Batch(const std::string& data, const std::string& result, const BatchOutputs& outputs) {
    std::ostringstream err;
    const int code = RunBatch(data, result, err, outputs);
    return {code, err.str()};
}

std::string Golden(const std::string& name) {
    return (GoldenDir() / name).string();
}

std::vector<std::vector<std::string>> CsvLines(const std::string& text) {
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (;;) {
            const auto comma = line.find(',', start);
            fields.push_back(line.substr(start, comma - start));
            if (comma == std::string::npos)
                break;
            start = comma + 1;
        }
        lines.push_back(fields);
    }
    return lines;
}

double Number(const std::string& text) {
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_TRUE(ec == std::errc() && end == text.data() + text.size()) << text;
    EXPECT_EQ(ShortestNumber(value), text) << "not the shortest form";
    return value;
}

const char* const Header = "zone,z_zone_cm,z_line_cm,time_s,T1,T2,T3,T4,T5,T6,T7,T8,T9,T10,T11,TAV,"
                           "exact_T1,exact_T2,exact_T3,exact_T4,exact_T5,exact_T6,exact_T7,"
                           "exact_T8,exact_T9,exact_T10,exact_T11,exact_TAV";

void ExpectKeys(const Json& object, std::vector<std::string> keys) {
    std::vector<std::string> got;
    for (auto it = object.begin(); it != object.end(); ++it)
        got.push_back(it.key());
    std::sort(keys.begin(), keys.end());
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, keys);
}

TEST(BatchOptions, ReportAndRowsOfEveryGoldenRun) {
    const std::vector<std::string> four = {"T1", "T6", "T11", "TAV"};
    for (const std::string name : {"defaults", "layers7-four-zones", "hot-above-1000"}) {
        SCOPED_TRACE(name);
        TempDir dir;
        const auto out = Batch(Golden(name + ".txt"), dir.file("r.txt"),
                               {dir.file("r.json"), dir.file("r.csv")});
        ASSERT_EQ(out.code, BatchOk) << out.err;
        EXPECT_EQ(out.err, "");
        EXPECT_TRUE(ReadFileBytes(dir.file("r.txt")) == ReadFileBytes(Golden(name + ".result")));
        const auto blocks = SplitBlocks(ReadFileBytes(dir.file("r.txt")));

        const Json report = Json::parse(ReadFileBytes(dir.file("r.json")));
        ExpectKeys(report, {"zones"});
        const Json& zones = report["zones"];
        ASSERT_EQ(zones.size(), blocks.size());
        const auto csv = CsvLines(ReadFileBytes(dir.file("r.csv")));
        ASSERT_FALSE(csv.empty());
        EXPECT_EQ(csv[0].size(), 28u);
        std::string header;
        for (const auto& f : csv[0])
            header += (header.empty() ? "" : ",") + f;
        EXPECT_EQ(header, Header);

        std::size_t line = 1;
        double lastLineZ = 0;
        for (std::size_t k = 0; k < zones.size(); ++k) {
            const Json& z = zones[k];
            ExpectKeys(z, {"zone", "rows", "residence_s", "entry", "exit", "peak", "low",
                           "max_difference_through_thickness", "max_rate_of_mean", "biot",
                           "mesh_fourier", "exact"});
            EXPECT_EQ(z["zone"], k + 1);
            EXPECT_EQ(z["rows"], blocks[k].rows.size());
            ExpectKeys(z["entry"], four);
            ExpectKeys(z["exit"], four);
            ExpectKeys(z["peak"], {"T", "z_cm"});
            ExpectKeys(z["low"], {"T", "z_cm"});
            ExpectKeys(z["max_difference_through_thickness"], {"dT", "z_cm"});
            ExpectKeys(z["max_rate_of_mean"], {"heating_C_per_s", "cooling_C_per_s"});
            EXPECT_EQ(z["biot"].size(), 2u);
            ExpectKeys(z["exact"],
                       {"entry", "exit", "peak", "low", "max_difference_through_thickness",
                        "max_rate_of_mean", "max_error"});
            ExpectKeys(z["exact"]["entry"], four);
            ExpectKeys(z["exact"]["exit"], four);
            ExpectKeys(z["exact"]["peak"], {"T", "z_cm"});
            ExpectKeys(z["exact"]["max_rate_of_mean"], {"heating_C_per_s", "cooling_C_per_s"});
            ExpectKeys(z["exact"]["max_error"], {"faces", "interior", "mean"});
            for (const auto& leaf : z.flatten())
                EXPECT_TRUE(leaf.is_number()) << leaf;

            // The zone's rows in the CSV: continuing along the line, exit values as reported.
            const std::size_t rows = z["rows"];
            ASSERT_LE(line + rows, csv.size());
            const auto& first = csv[line];
            const auto& last = csv[line + rows - 1];
            EXPECT_EQ(first[0], std::to_string(k + 1));
            EXPECT_EQ(Number(first[1]), 0);
            EXPECT_DOUBLE_EQ(Number(first[2]), lastLineZ);
            EXPECT_EQ(FormatRight(5, 1, Number(last[1])), blocks[k].rows.back().substr(0, 5));
            EXPECT_EQ(Number(last[4]), z["exit"]["T1"].get<double>());
            EXPECT_EQ(Number(last[15]), z["exit"]["TAV"].get<double>());
            EXPECT_EQ(Number(last[26]), z["exact"]["exit"]["T11"].get<double>());
            EXPECT_EQ(Number(last[27]), z["exact"]["exit"]["TAV"].get<double>());
            EXPECT_DOUBLE_EQ(Number(last[2]) - Number(first[2]), Number(last[1]));
            EXPECT_DOUBLE_EQ(Number(last[3]) - Number(first[3]), z["residence_s"].get<double>());
            // The exact side's extremes are those of the exact columns at the same rows.
            double exactPeak = -1e300, exactLow = 1e300, exactSpread = 0, exactCooling = 0;
            for (std::size_t r = line; r < line + rows; ++r) {
                ASSERT_EQ(csv[r].size(), 28u);
                for (std::size_t f = 1; f < 28; ++f)
                    Number(csv[r][f]);
                double high = -1e300, low = 1e300;
                for (std::size_t f = 16; f < 27; ++f) {
                    high = std::max(high, Number(csv[r][f]));
                    low = std::min(low, Number(csv[r][f]));
                }
                exactPeak = std::max(exactPeak, high);
                exactLow = std::min(exactLow, low);
                exactSpread = std::max(exactSpread, high - low);
                if (r > line)
                    exactCooling =
                        std::max(exactCooling, (Number(csv[r - 1][27]) - Number(csv[r][27])) /
                                                   (Number(csv[r][3]) - Number(csv[r - 1][3])));
            }
            const Json& e = z["exact"];
            EXPECT_EQ(e["entry"]["TAV"].get<double>(), Number(first[27]));
            EXPECT_EQ(e["peak"]["T"].get<double>(), exactPeak);
            EXPECT_EQ(e["low"]["T"].get<double>(), exactLow);
            EXPECT_EQ(e["max_difference_through_thickness"]["dT"].get<double>(), exactSpread);
            EXPECT_NEAR(e["max_rate_of_mean"]["cooling_C_per_s"].get<double>(), exactCooling,
                        1e-9 * std::max(1.0, exactCooling));
            lastLineZ = Number(last[2]);
            line += rows;
        }
        EXPECT_EQ(line, csv.size());
    }
}

TEST(BatchOptions, NegativeCoefficientRunsWithoutExactSolutionFromThere) {
    TempDir dir;
    std::string data = ReadFileBytes(Golden("defaults.txt"));
    data.replace(data.find("= 0.09\nZone2 Heat Trans. Coeff.(2)"), 6, "= -0.01");
    WriteFileBytes(dir.file("neg.txt"), data);
    const auto out =
        Batch(dir.file("neg.txt"), dir.file("r.txt"), {dir.file("r.json"), dir.file("r.csv")});
    ASSERT_EQ(out.code, BatchOk) << out.err;
    const Json report = Json::parse(ReadFileBytes(dir.file("r.json")));
    ASSERT_EQ(report["zones"].size(), 3u);
    EXPECT_TRUE(report["zones"][0]["exact"]["max_error"]["mean"].is_number());
    for (std::size_t k = 1; k < 3; ++k) {
        const Json& exact = report["zones"][k]["exact"];
        for (const auto& leaf : exact.flatten())
            EXPECT_TRUE(leaf.is_null()) << k;
        EXPECT_TRUE(report["zones"][k]["exit"]["TAV"].is_number());
    }
    for (const auto& line : CsvLines(ReadFileBytes(dir.file("r.csv")))) {
        ASSERT_EQ(line.size(), 28u);
        if (line[0] == "2" || line[0] == "3") {
            for (std::size_t f = 16; f < 28; ++f)
                EXPECT_EQ(line[f], "");
        } else if (line[0] == "1") {
            EXPECT_NE(line[27], "");
        }
    }
}

TEST(BatchOptions, WrittenWhenTheResultFileIsNotAndReportedWhenThemselvesNot) {
    TempDir dir;
    auto out = Batch(Golden("defaults.txt"), dir.file("none/r.txt"),
                     {dir.file("r.json"), dir.file("r.csv")});
    EXPECT_EQ(out.code, BatchFailed);
    EXPECT_EQ(out.err, MessageLines(NothingWritableMessages(3)));
    EXPECT_EQ(Json::parse(ReadFileBytes(dir.file("r.json")))["zones"].size(), 3u);
    EXPECT_EQ(CsvLines(ReadFileBytes(dir.file("r.csv"))).size(), 1u + 21 + 21 + 41);

    out = Batch(Golden("defaults.txt"), dir.file("r2.txt"),
                {dir.file("none/r.json"), dir.file("r2.csv")});
    EXPECT_EQ(out.code, BatchFailed);
    EXPECT_EQ(out.err, "Can not write report to file " + dir.file("none/r.json") +
                           " (No such file or directory)\n");
    EXPECT_TRUE(ReadFileBytes(dir.file("r2.txt")) == ReadFileBytes(Golden("defaults.result")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("r2.csv")));

    out = Batch(Golden("defaults.txt"), dir.file("r3.txt"), {"", dir.path().string()});
    EXPECT_EQ(out.code, BatchFailed);
    EXPECT_EQ(out.err.rfind("Can not write rows to file ", 0), 0u) << out.err;

    // A run that ends on a fault computed no whole run: nothing beside it.
    WriteFileBytes(dir.file("singular.txt"),
                   "Density = 1\nSpecific Heat = 1\nConductivity = 10\nThickness = 3\n"
                   "Speed = 6\nInitial Temperature = 1\nIncrement = 1\nLayers = 3\n"
                   "Z1 Htc1 = 10\nZ1 Htc2 = 10\nZ1 Outer1 = 1\nZ1 Outer2 = 1\nZ1 Length = 0.5\n"
                   "Z2 Htc1 = -10\nZ2 Htc2 = -7.5\nZ2 Outer1 = 1\nZ2 Outer2 = 2\nZ2 Length = 3\n"
                   "Z3 Htc1 =\nZ3 Htc2 =\nZ3 Outer1 =\nZ3 Outer2 =\nZ3 Length =\n"
                   "Z4 Htc1 =\nZ4 Htc2 =\nZ4 Outer1 =\nZ4 Outer2 =\nZ4 Length =\n");
    out = Batch(dir.file("singular.txt"), dir.file("r4.txt"),
                {dir.file("r4.json"), dir.file("r4.csv")});
    EXPECT_EQ(out.code, BatchFailed);
    EXPECT_EQ(out.err, "Floating point division by zero\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("r4.json")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("r4.csv")));
}

TEST(BatchOptions, DecimalPointWhateverTheResultFileUses) {
    TempDir dir;
    std::string data = ReadFileBytes(Golden("defaults.txt"));
    for (auto at = data.find("= "); at != std::string::npos; at = data.find("= ", at + 1)) {
        const auto point = data.find('.', at);
        if (point < data.find('\n', at))
            data[point] = ',';
    }
    WriteFileBytes(dir.file("comma.txt"), data);
    SetDecimalSeparator(',');
    const auto out =
        Batch(dir.file("comma.txt"), dir.file("r.txt"), {dir.file("r.json"), dir.file("r.csv")});
    SetDecimalSeparator('.');
    ASSERT_EQ(out.code, BatchOk) << out.err;
    EXPECT_NE(ReadFileBytes(dir.file("r.txt")).find("=  1,14\r\n"), std::string::npos);
    const Json report = Json::parse(ReadFileBytes(dir.file("r.json")));
    EXPECT_DOUBLE_EQ(report["zones"][0]["biot"][1].get<double>(), 1.95);
    for (const auto& line : CsvLines(ReadFileBytes(dir.file("r.csv"))))
        EXPECT_EQ(line.size(), 28u);
}

TEST(BatchOptions, CommandLine) {
    using A = BatchCommand::Action;
    const auto parse = [](std::vector<std::string> args) { return ParseBatchArguments(args); };
    EXPECT_EQ(parse({"d", "r"}).Do, A::Run);
    EXPECT_EQ(parse({"-d", "-r"}).DataFile, "-d"); // a single dash is a file name, as before
    auto c = parse({"--csv", "c.csv", "d", "--report", "j.json", "r"});
    EXPECT_EQ(c.Do, A::Run);
    EXPECT_EQ(c.DataFile, "d");
    EXPECT_EQ(c.ResultFile, "r");
    EXPECT_EQ(c.Outputs.ReportFile, "j.json");
    EXPECT_EQ(c.Outputs.CsvFile, "c.csv");
    c = parse({"--", "--report", "r"});
    EXPECT_EQ(c.Do, A::Run);
    EXPECT_EQ(c.DataFile, "--report");
    EXPECT_EQ(parse({"d", "r", "--help"}).Do, A::Help);
    EXPECT_EQ(parse({"--version"}).Do, A::Version);
    // What is wrong, in one line for the usage to follow.
    const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
        {{}, "no DATAFILE and RESULTFILE given"},
        {{"d"}, "a run needs DATAFILE and RESULTFILE; only one file is named"},
        {{"d", "r", "x"}, "a run takes DATAFILE and RESULTFILE; 3 files are named"},
        {{"--report"}, "--report needs a value"},
        {{"d", "r", "--csv"}, "--csv needs a value"},
        {{"--csv", "", "d", "r"}, "--csv needs a value"},
        {{"--report", "a", "--report", "b", "d", "r"}, "--report is given twice"},
        {{"--reprot", "a", "d", "r"}, "unknown option --reprot"}};
    for (const auto& [args, problem] : bad) {
        EXPECT_EQ(parse(args).Do, A::Usage) << problem;
        EXPECT_EQ(parse(args).Problem, problem);
    }
}

} // namespace
} // namespace korvane
