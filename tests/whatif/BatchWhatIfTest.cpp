#include "BatchWhatIf.h"
#include "LinEq.h"
#include "RunHistory.h"
#include "TestSupport.h"
#include "WhatIfSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace korvane {
namespace {

using namespace korvane::testing;
using Action = BatchCommand::Action;

struct Outcome {
    int code;
    std::string out, err;
};

Outcome Batch(const std::vector<std::string>& args) {
    const auto command = ParseBatchArguments(args);
    std::ostringstream out, err;
    int code = BatchUsage;
    if (command.Do == Action::Sweep)
        code = RunBatchSweep(command, out, err);
    else if (command.Do == Action::Seek)
        code = RunBatchSeek(command, out, err);
    return {code, out.str(), err.str()};
}

std::string Defaults() {
    return (GoldenDir() / "defaults.txt").string();
}

// The general solver is the band path's fallback for what it does not handle;
// none of these systems has a zero in its solution, so a front end that calls
// it has been handed the dense solver.
TEST(FrontEnds, MarchOnTheBandPath) {
    const auto generalSolves = [](auto&& run) {
        const std::uint64_t before = GeneralSolveCount();
        run();
        return GeneralSolveCount() - before;
    };
    TempDir dir;
    EXPECT_EQ(generalSolves([&] {
                  for (const char* name : {"defaults", "layers7-four-zones", "hot-above-1000"}) {
                      std::ostringstream err;
                      const std::string data =
                          (GoldenDir() / (std::string(name) + ".txt")).string();
                      EXPECT_EQ(RunBatch(data, dir.file("r.txt"), err), BatchOk) << name;
                      EXPECT_EQ(RunBatch(data, dir.file("r.txt"), err,
                                         {dir.file("r.json"), dir.file("r.csv")}),
                                BatchOk)
                          << name;
                  }
              }),
              0u)
        << "korvane-batch";

    const WhatIfCase base = DefaultCase();
    EXPECT_EQ(generalSolves([&] {
                  const auto input = base.TrialInput({}, "memory");
                  ASSERT_TRUE(std::holds_alternative<TCalcInput>(input));
                  EXPECT_EQ(ComputeRun(std::get<TCalcInput>(input)).Zones.size(), 3u);
              }),
              0u)
        << "ComputeRun";
    EXPECT_EQ(
        generalSolves([&] {
            EXPECT_TRUE(
                base.Run({{FindInput("speed"), 30}}, {*FindMetric("line.exit.TAV")}).Computed());
            EXPECT_EQ(
                Batch({"--seek", "speed=10:40", "--target", "zone3.exit.TAV=50", Defaults()}).code,
                BatchOk);
        }),
        0u)
        << "what-if trials";
}

TEST(BatchWhatIf, ArgumentsOfSweepAndSeek) {
    const auto sweep = ParseBatchArguments(
        {"--sweep", "speed=10:40:31", "--metrics", "zone3.exit.TAV", "--out", "s.csv", "d.txt"});
    EXPECT_EQ(sweep.Do, Action::Sweep);
    EXPECT_EQ(sweep.DataFile, "d.txt");
    const auto seek = ParseBatchArguments(
        {"--seek", "speed=10:40", "--target", "zone3.exit.TAV=120", "--tolerance", "0.1", "d.txt"});
    EXPECT_EQ(seek.Do, Action::Seek);
    EXPECT_EQ(seek.ResultFile, "");
    EXPECT_EQ(seek.Tolerance, "0.1");
    // Each wrong command line says what is wrong with it.
    const std::vector<std::pair<std::vector<std::string>, std::string>> usage = {
        {{"--sweep", "speed=10:40:31", "--metrics", "zone3.exit.TAV", "d.txt"},
         "--sweep needs --out FILE"},
        {{"--sweep", "speed=10:40:31", "--out", "s.csv", "d.txt"},
         "--sweep needs --metrics METRIC[,METRIC...]"},
        {{"--sweep", "speed=10:40:31", "--metrics", "m", "--out", "s.csv", "d.txt", "r.txt"},
         "--sweep takes DATAFILE alone; 2 files are named"},
        {{"--sweep", "speed=10:40:31", "--metrics", "m", "--out", "s.csv"},
         "--sweep needs DATAFILE"},
        {{"--sweep", "a=1:2:2", "--sweep", "b=1:2:2", "--sweep", "c=1:2:2", "--metrics", "m",
          "--out", "s.csv", "d.txt"},
         "--sweep is given 3 times; a grid has two inputs at most"},
        {{"--sweep", "speed=1:2:2", "--seek", "speed=10:40", "d.txt"},
         "--sweep and --seek do not go together"},
        {{"--sweep", "speed=1:2:2", "--tolerance", "1", "d.txt"}, "--tolerance belongs to --seek"},
        {{"--sweep", "speed=1:2:2", "--csv", "c.csv", "d.txt"},
         "--csv belongs to a run or a seek, not to --sweep"},
        {{"--sweep"}, "--sweep needs a value"},
        {{"--seek", "speed=10:40", "d.txt"}, "--seek needs --target METRIC=VALUE"},
        {{"--seek", "speed=10:40", "--target", "m=1", "--seek", "dz=1:2", "d.txt"},
         "--seek is given twice"},
        {{"--seek", "speed=10:40", "--target", "m=1", "--out", "s.csv", "d.txt"},
         "--out belongs to --sweep"},
        {{"--seek", "speed=10:40", "--target", "m=1", "--report", "r.json", "d.txt"},
         "--report with --seek needs RESULTFILE after DATAFILE"},
        {{"--seek", "speed=10:40", "--target", "m=1"}, "--seek needs DATAFILE"},
        {{"--seek", "speed=10:40", "--target", "m=1", "a", "b", "c"},
         "--seek takes DATAFILE and at most RESULTFILE; 3 files are named"},
        {{"--tolerance", "0.1", "d.txt", "r.txt"}, "--tolerance belongs to --seek"},
        {{"--metrics", "m", "d.txt", "r.txt"}, "--metrics belongs to --sweep"}};
    for (const auto& [args, problem] : usage) {
        const auto command = ParseBatchArguments(args);
        EXPECT_EQ(command.Do, Action::Usage) << problem;
        EXPECT_EQ(command.Problem, problem);
    }
    EXPECT_EQ(ParseBatchArguments({"d.txt", "r.txt"}).Do, Action::Run);
    EXPECT_EQ(ParseBatchArguments({"d.txt", "r.txt"}).Problem, "");
}

TEST(BatchWhatIf, SeekPrintsTheValueAndWritesItsRun) {
    TempDir dir;
    const auto seek = Batch({"--seek", "speed=10:1000", "--target", "zone3.exit.TAV=120",
                             Defaults(), dir.file("r.txt")});
    ASSERT_EQ(seek.code, BatchOk) << seek.err;
    EXPECT_EQ(seek.err, "");
    ASSERT_EQ(seek.out.rfind("speed=1", 0), 0u) << seek.out;
    EXPECT_NE(seek.out.find(" zone3.exit.TAV=120.00"), std::string::npos) << seek.out;

    // The result file is what the plain run makes of a data file with that speed.
    const std::string speed = seek.out.substr(6, seek.out.find(' ') - 6);
    std::string data = ReadFileBytes(Defaults());
    data.replace(data.find("= 27.0"), 6, "= " + speed);
    WriteFileBytes(dir.file("found.txt"), data);
    std::ostringstream err;
    ASSERT_EQ(RunBatch(dir.file("found.txt"), dir.file("plain.txt"), err), BatchOk);
    const std::string file = ReadFileBytes(dir.file("r.txt"));
    EXPECT_EQ(file, ReadFileBytes(dir.file("plain.txt")));
    // Zone 3's last row ends with its mean: 120.0.
    const auto end = file.rfind("\r\n\r\n\r\n");
    const auto rowStart = file.rfind("\r\n", end - 1) + 2;
    const std::string lastRow = file.substr(rowStart, end - rowStart);
    EXPECT_EQ(lastRow.substr(lastRow.size() - 6), " 120.0") << lastRow;
}

TEST(BatchWhatIf, SeekExitCodes) {
    auto out = Batch({"--seek", "speed=10:40", "--target", "zone3.exit.TAV=120", Defaults()});
    EXPECT_EQ(out.code, BatchNoSolution);
    EXPECT_EQ(out.out, "");
    EXPECT_EQ(out.err.rfind("not bracketed: ", 0), 0u);

    out = Batch({"--seek", "speed=-10:0", "--target", "zone3.exit.TAV=120", Defaults()});
    EXPECT_EQ(out.code, BatchRefused);

    out = Batch({"--seek", "velocity=10:40", "--target", "zone3.exit.TAV=120", Defaults()});
    EXPECT_EQ(out.code, BatchUsage);
    EXPECT_EQ(out.err.rfind("unknown input 'velocity'; valid inputs: density,", 0), 0u);

    out = Batch({"--seek", "speed=10:40", "--target", "zone3.exit=120", Defaults()});
    EXPECT_EQ(out.code, BatchUsage);
    EXPECT_NE(out.err.find("valid metrics: zoneK.PATH"), std::string::npos);

    for (const char* bad : {"speed=10", "speed=10:4o", "speed=10,5:40"}) {
        out = Batch({"--seek", bad, "--target", "zone3.exit.TAV=120", Defaults()});
        EXPECT_EQ(out.code, BatchUsage) << bad;
    }
    out = Batch({"--seek", "speed=10:40", "--target", "zone3.exit.TAV=120", "--tolerance", "-1",
                 Defaults()});
    EXPECT_EQ(out.code, BatchUsage);
    out = Batch({"--seek", "speed=10:40", "--target", "zone3.exit.TAV=120", "missing.txt"});
    EXPECT_EQ(out.code, BatchRefused);
    EXPECT_EQ(out.err, "Data file can not open!\n");
}

TEST(BatchWhatIf, SweepWritesOneLinePerTrial) {
    TempDir dir;
    auto out =
        Batch({"--sweep", "speed=10:40:31", "--metrics", "zone3.exit.TAV,zone3.exact.exit.TAV",
               "--out", dir.file("s.csv"), Defaults()});
    ASSERT_EQ(out.code, BatchOk) << out.err;
    EXPECT_EQ(out.out, "");
    const std::string csv = ReadFileBytes(dir.file("s.csv"));
    EXPECT_EQ(csv.rfind("speed,zone3.exit.TAV,zone3.exact.exit.TAV,message\n10,47.0", 0), 0u);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 32);
    EXPECT_NE(csv.find("\n40,55.39"), std::string::npos);

    EXPECT_EQ(out.err, "sweep of 31 trials\n");

    out = Batch({"--sweep", "speed=10:40:31", "--metrics", "zone3.exit.TAV", "--share", "2/2",
                 "--out", "-", Defaults()});
    ASSERT_EQ(out.code, BatchOk);
    EXPECT_EQ(out.err, "sweep of 31 trials; share 2/2 runs 15 of them\n");
    // A share's lines carry their trial's number in the whole sweep.
    EXPECT_EQ(out.out.rfind("trial,speed,zone3.exit.TAV,message\n2,11,", 0), 0u) << out.out;
    EXPECT_NE(out.out.find("\n30,39,"), std::string::npos);
    EXPECT_EQ(std::count(out.out.begin(), out.out.end(), '\n'), 16);

    // No trial ran: the table is written and the sweep fails; a share's lines are
    // results of their own.
    out =
        Batch({"--sweep", "speed=0:0:3", "--metrics", "zone3.exit.TAV", "--out", "-", Defaults()});
    EXPECT_EQ(out.code, BatchRefused);
    EXPECT_EQ(std::count(out.out.begin(), out.out.end(), '\n'), 4);
    EXPECT_EQ(out.err, "sweep of 3 trials\nno trial of the sweep ran; the first, speed=0: Value "
                       "of Speed is not correct\n");
    out = Batch({"--sweep", "speed=0:0:3", "--metrics", "zone3.exit.TAV", "--share", "1/2", "--out",
                 "-", Defaults()});
    EXPECT_EQ(out.code, BatchOk);

    out = Batch({"--sweep", "speed=10:40:31", "--metrics", "zone3.exit.TAV", "--out",
                 dir.file("none/s.csv"), Defaults()});
    EXPECT_EQ(out.code, BatchFailed);
    out = Batch({"--sweep", "speed=10:40:31", "--sweep", "speed=1:2:2", "--metrics",
                 "zone3.exit.TAV", "--out", "-", Defaults()});
    EXPECT_EQ(out.code, BatchUsage);
    out = Batch({"--sweep", "speed=10:40:31", "--metrics", "zone3.exit.TAV", "--share", "3/2",
                 "--out", "-", Defaults()});
    EXPECT_EQ(out.code, BatchUsage);
    // 10000 x 10000 trials would take hours: refused before the first.
    out = Batch({"--sweep", "speed=1:2:10000", "--sweep", "dz=0.1:0.5:10000", "--metrics",
                 "zone3.exit.TAV", "--out", dir.file("grid.csv"), Defaults()});
    EXPECT_EQ(out.code, BatchUsage);
    EXPECT_EQ(out.err,
              "the grid of 10000 x 10000 = 100000000 trials is above the cap of 1000000 trials\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("grid.csv")));
}

} // namespace
} // namespace korvane
