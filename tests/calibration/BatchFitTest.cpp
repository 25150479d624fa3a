#include "BatchFit.h"
#include "FitOptions.h"
#include "TestSupport.h"
#include "WhatIfCase.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <sstream>

namespace korvane {
namespace {

using namespace korvane::testing;
using Action = BatchCommand::Action;

const std::string Examples = KORVANE_EXAMPLES_DIR;

struct Outcome {
    int code;
    std::string out, err;
};

Outcome Batch(const std::vector<std::string>& args) {
    const auto command = ParseBatchArguments(args);
    std::ostringstream out, err;
    int code = BatchUsage;
    if (command.Do == Action::Fit)
        code = RunBatchFit(command, out, err);
    else if (command.Do == Action::Run && !command.Measured.empty())
        code = RunBatchMeasured(command, out, err);
    else
        err << command.Problem;
    return {code, out.str(), err.str()};
}

const std::vector<std::string> Profile = {"--measured", Examples + "/oven-logger.csv",
                                          "--channel",  "TC1=face1",
                                          "--channel",  "TC2=centre",
                                          "--channel",  "4=face2"};
const std::vector<std::string> Channels = {"--measured", Examples + "/oven-logger.csv",
                                           "--channel",  "TC1=face1",
                                           "--channel",  "TC2=centre",
                                           "--channel",  "4=face2",
                                           "--start",    "00:37.4"};

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

TEST(BatchFit, OptionsGoTogetherOrSayWhy) {
    const std::pair<std::vector<std::string>, std::string> usage[] = {
        {{"--fit", "speed=1:2", "d.txt"}, "--fit needs --measured FILE"},
        {{"--channel", "2=face1", "d.txt", "r.txt"}, "--channel belongs to --measured"},
        {{"--start", "3", "d.txt", "r.txt"}, "--start belongs to --measured"},
        {{"--measured", "m.csv", "--out-data", "f.txt", "d.txt", "r.txt"},
         "--out-data belongs to --fit or --optimise"},
        {{"--measured", "m.csv", "--model", "scheme", "d.txt", "r.txt"},
         "--model belongs to --fit or --optimise"},
        {{"--measured", "m.csv", "d.txt", "r.txt"}, "--measured needs --channel COLUMN=DEPTH"},
        {{"--measured", "m.csv", "--channel", "2=face1", "d.txt"},
         "--measured with a run takes DATAFILE and RESULTFILE; only one file is named"},
        {{"--measured", "m.csv", "--channel", "2=face1", "--sweep", "speed=1:2:2", "d.txt"},
         "--sweep does not go with --measured"},
        {{"--fit", "speed=1:2", "--seek", "speed=1:2", "--measured", "m.csv", "d.txt"},
         "--seek does not go with --fit"},
        {{"--fit", "speed=1:2", "--measured", "m.csv", "--channel", "2=face1"},
         "--fit needs DATAFILE"},
        {{"--fit", "speed=1:2", "--measured", "m.csv", "--channel", "2=face1", "a", "b", "c"},
         "--fit takes DATAFILE and at most RESULTFILE; 3 files are named"},
        {{"--fit", "speed=1:2", "--measured", "m.csv", "--channel", "2=face1", "--report", "r.json",
          "d.txt"},
         "--report with --fit needs RESULTFILE after DATAFILE"},
        {{"--measured", "a.csv", "--measured", "b.csv"}, "--measured is given twice"},
        {{"--fit"}, "--fit needs a value"}};
    for (const auto& [args, problem] : usage) {
        const auto command = ParseBatchArguments(args);
        EXPECT_EQ(command.Do, Action::Usage) << problem;
        EXPECT_EQ(command.Problem, problem);
    }
    const auto fit =
        ParseBatchArguments({"--fit", "speed=1:2", "--fit", "start=0:9", "--measured", "m.csv",
                             "--channel", "2=face1", "--channel", "T=mean", "d.txt"});
    EXPECT_EQ(fit.Do, Action::Fit);
    EXPECT_EQ(fit.Fits, (std::vector<std::string>{"speed=1:2", "start=0:9"}));
    EXPECT_EQ(fit.Channels, (std::vector<std::string>{"2=face1", "T=mean"}));
    EXPECT_EQ(fit.DataFile, "d.txt");
    EXPECT_EQ(fit.ResultFile, "");
    EXPECT_EQ(
        ParseBatchArguments({"--measured", "m.csv", "--channel", "2=face1", "d.txt", "r.txt"}).Do,
        Action::Run);

    // Values are checked when the command runs: exit 64 with what is wrong.
    const std::pair<std::vector<std::string>, std::string> values[] = {
        {{"--channel", "TC9=middle"}, "--channel TC9=middle: the depth \"middle\" is none of"},
        {{"--unit", "K"}, "--unit K: the unit is C or F"},
        {{"--start", "1,5"}, "--start 1,5: give seconds"},
        {{"--lag", "-1"}, "--lag -1: a time constant in seconds from 0"},
        {{"--model", "fast"}, "--model fast: the model is exact or scheme"},
        {{"--threads", "0"}, "--threads 0: a whole number from 1 to 64"},
        {{"--fit", "layers=3:9"}, "--fit layers=3:9: layers sets where the rows lie"},
        {{"--fit", "zone2.htc1=0:1"}, "--fit zone2.htc1=0:1: a first coefficient of 0 switches"}};
    for (const auto& [more, start] : values) {
        const auto run = Batch(With(With(Profile, {"--fit", "zone1.htc1=0.0001:0.01"}),
                                    With(more, {Examples + "/oven.txt"})));
        EXPECT_EQ(run.code, BatchUsage) << start;
        EXPECT_EQ(run.err.rfind(start, 0), 0u) << run.err;
    }
}

TEST(BatchFit, WritesTheFittedInputsAndTheFittedRun) {
    TempDir dir;
    std::vector<std::string> args = Channels;
    for (const char* zone : {"zone1", "zone2", "zone3"})
        for (const char* face : {".htc1=0.0001:0.01", ".htc2=0.0001:0.01"})
            args = With(args, {"--fit", std::string(zone) + face});
    const auto fit =
        Batch(With(args, {"--fit", "start=30:45", "--out-data", dir.file("fitted.txt"), "--report",
                          dir.file("r.json"), Examples + "/oven.txt", dir.file("r.txt")}));
    ASSERT_EQ(fit.code, BatchOk) << fit.err;
    EXPECT_EQ(fit.err, "");
    std::istringstream lines(fit.out);
    std::string line;
    std::vector<FitLineValues> values;
    while (std::getline(lines, line))
        if (const auto value = ParseFitLine(line))
            values.push_back(*value);
    ASSERT_EQ(values.size(), 7u) << fit.out;
    EXPECT_EQ(values[0].Name, "zone1.htc1");
    EXPECT_EQ(values[6].Name, "start");
    EXPECT_NE(fit.out.find("\nTC2 middle (°F) [centre]: samples=400 rms=0.1"), std::string::npos)
        << fit.out;
    // The data file holds the values printed and runs as the window would.
    auto fitted = WhatIfCase::FromDataFile(dir.file("fitted.txt"));
    ASSERT_TRUE(std::holds_alternative<WhatIfCase>(fitted));
    const auto& fittedValues = std::get<WhatIfCase>(fitted).Values();
    EXPECT_EQ(fittedValues[9], ShortestNumber(values[0].Value));
    EXPECT_EQ(fittedValues[10], ShortestNumber(values[1].Value));
    EXPECT_EQ(fittedValues[1], "1.14");
    EXPECT_EQ(ReadFileBytes(dir.file("r.txt")).substr(0, 9), "Density  ");
    // The report holds the fitted run against the profile at the fitted start.
    const auto report = nlohmann::json::parse(ReadFileBytes(dir.file("r.json")));
    EXPECT_EQ(report["measured"]["start_s"].get<double>(), values[6].Value);
    EXPECT_LT(report["measured"]["channels"][0]["zones"][0]["exact"]["rms"].get<double>(), 0.25);
    EXPECT_EQ(report["zones"].size(), 3u);
}

TEST(BatchFit, ExitsThreeWhenAnInputEndsOnItsBound) {
    TempDir dir;
    const auto fit = Batch(With(Channels, {"--fit", "zone1.htc1=0.0002:0.001", "--out-data",
                                           dir.file("fitted.txt"), Examples + "/oven.txt"}));
    EXPECT_EQ(fit.code, BatchNoSolution);
    EXPECT_EQ(fit.err, "zone1.htc1 ends on its upper bound 0.001; widen the bounds or fix it\n");
    EXPECT_EQ(fit.out.rfind("zone1.htc1=0.001 \u00b1 ", 0), 0u) << fit.out;
    EXPECT_FALSE(std::filesystem::exists(dir.file("fitted.txt")));
    // A logger's time far from the line's: too few samples, nothing printed.
    auto late = Channels;
    late.back() = "5000";
    const auto none =
        Batch(With(late, {"--fit", "zone1.htc1=0.0001:0.01", Examples + "/oven.txt"}));
    EXPECT_EQ(none.code, BatchNoSolution);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err.rfind("only 0 samples lie in the line", 0), 0u) << none.err;
}

TEST(BatchFit, HoldsARunAgainstTheProfileAndRefusesABrokenOne) {
    TempDir dir;
    const auto run = Batch(With(Channels, {"--report", dir.file("r.json"),
                                           Examples + "/oven-true.txt", dir.file("r.txt")}));
    ASSERT_EQ(run.code, BatchOk) << run.err;
    EXPECT_EQ(run.out.rfind("TC1 top (°F) [face1]: samples=400 scheme rms=3.", 0), 0u) << run.out;
    const auto report = nlohmann::json::parse(ReadFileBytes(dir.file("r.json")));
    const auto& channel = report["measured"]["channels"][2];
    EXPECT_EQ(channel["name"], "TC3 bottom (°F)");
    EXPECT_EQ(channel["unit"], "F");
    EXPECT_EQ(channel["before_line"], 19);
    EXPECT_EQ(channel["zones"].size(), 3u);
    // The exact solution at the true inputs is the profile less its noise.
    EXPECT_NEAR(channel["line"]["exact"]["rms"].get<double>(), 0.2, 0.02);
    EXPECT_GT(channel["line"]["scheme"]["rms"].get<double>(), 2);

    WriteFileBytes(dir.file("broken.csv"), "time;T1\n0;20,5\n1;21..5\n");
    const auto broken = Batch({"--measured", dir.file("broken.csv"), "--channel", "T1=face1",
                               Examples + "/oven.txt", dir.file("r2.txt")});
    EXPECT_EQ(broken.code, BatchRefused);
    EXPECT_EQ(broken.err,
              dir.file("broken.csv") + ": line 3, column 2: \"21..5\" is not a temperature\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("r2.txt")));
}

} // namespace
} // namespace korvane
