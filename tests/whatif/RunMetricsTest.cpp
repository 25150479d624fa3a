#include "RunMetrics.h"
#include "BatchWhatIf.h"
#include "GoalSeek.h"
#include "ProfileStats.h"
#include "TestSupport.h"
#include "WhatIfPlan.h"
#include "WhatIfSupport.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <sstream>

namespace korvane {
namespace {

using namespace korvane::testing;
using Action = BatchCommand::Action;

TEST(ProfileNames, SurviveListsAndReadTheirUnits) {
    const auto above = FindMetric("profile.T6.time_above[217.5]");
    ASSERT_TRUE(above);
    EXPECT_EQ(above->From, MetricName::Source::Profile);
    EXPECT_FALSE(above->NeedsExact);
    EXPECT_EQ(above->Stat.X, 217.5);
    const auto depth = FindMetric("profile.exact.z[0.04].peak.T");
    ASSERT_TRUE(depth);
    EXPECT_TRUE(depth->NeedsExact);
    EXPECT_EQ(depth->Stat.Channel.Depth, 0.04);
    const auto pwi = FindMetric("window.exact.pwi");
    ASSERT_TRUE(pwi);
    EXPECT_EQ(pwi->From, MetricName::Source::Window);
    EXPECT_TRUE(pwi->NeedsExact);
    EXPECT_EQ(pwi->Limit, 0u);
    EXPECT_EQ(FindMetric("window.12.index")->Limit, 12u);
    for (const char* name : {"zone2.exact.peak.T", "zone1.exact.entry.TAV", "line.exact.low.z_cm",
                             "zone1.exact.max_rate_of_mean.cooling_C_per_s",
                             "zone3.exact.max_difference_through_thickness.dT"})
        EXPECT_TRUE(FindMetric(name)) << name;
    for (const char* name :
         {"profile.T6", "profile.exact.exact.T6.peak.T", "profile.T6.peak.T.x",
          "profiles.T6.peak.T", "window.0.index", "window.01.index", "window.1", "window.x.index",
          "window.pwi.x", "window.exact", "window.-1.index", "profile.T6.time_above[1,5]"})
        EXPECT_FALSE(FindMetric(name)) << name;

    // Commas only between names: a list splits where it should.
    const auto list = ParseMetricList(
        "profile.TAV.time_between[150:190],profile.exact.z[0.04].peak.T,window.2.index");
    ASSERT_EQ(list.Error, "");
    ASSERT_EQ(list.Metrics.size(), 3u);
    EXPECT_EQ(list.Metrics[0].Stat.Y, 190);
    const auto wrong = ParseMetricList("profile.T6.time_above[1:2]");
    EXPECT_EQ(wrong.Error.rfind("unknown metric 'profile.T6.time_above[1:2]'; valid metrics: "
                                "zoneK.PATH",
                                0),
              0u);
    for (const char* form : {"profile.CH.STAT", "z[DEPTH]", "time_between[X:Y]", "window.pwi",
                             "window.N.index", "profile.exact.CH.STAT"})
        EXPECT_NE(wrong.Error.find(form), std::string::npos) << form;

    const std::string celsius = "\u2103";
    EXPECT_EQ(MetricUnit("profile.exact.z[0.04].peak.T"), celsius);
    EXPECT_EQ(MetricUnit("profile.T6.time_above[217.5]"), "s");
    EXPECT_EQ(MetricUnit("profile.TAV.time_between[1.5:2.5]"), "s");
    EXPECT_EQ(MetricUnit("profile.T1.peak.time_s"), "s");
    EXPECT_EQ(MetricUnit("profile.T1.max_fall_rate"), celsius + "/s");
    EXPECT_EQ(MetricUnit("window.pwi"), "");
    EXPECT_EQ(MetricUnit("window.exact.3.index"), "");

    // The panel's plan draws each beside its exact companion.
    const auto plan = PlanMetrics("profile.T6.time_above[217.5], window.pwi,zone2.peak.T", true);
    EXPECT_EQ(plan.Error, "");
    EXPECT_EQ(plan.Names,
              (std::vector<std::string>{"profile.T6.time_above[217.5]",
                                        "profile.exact.T6.time_above[217.5]", "window.pwi",
                                        "window.exact.pwi", "zone2.peak.T", "zone2.exact.peak.T"}));
    EXPECT_EQ(ExactCompanion("window.3.index"), "window.exact.3.index");
    EXPECT_EQ(ExactCompanion("profile.exact.T1.peak.T"), "");
    EXPECT_EQ(ExactSideOf("zone1.biot.1"), "zone1.biot.1");
    EXPECT_EQ(ExactSideOf("zone3.exit.TAV"), "zone3.exact.exit.TAV");
}

ProcessWindow DefaultsWindow() {
    return {"quench",
            {{"zone3.exit.TAV", "", 40, 60},
             {"profile.TAV.time_to[100]", "", 0.15, 0.35},
             {"profile.T1.max_fall_rate", "", 0, 2500},
             {"zone1.biot.2", "", 0, 10}}};
}

TEST(RunMetrics, ReadEverySourceOffOneRun) {
    const auto input = DefaultCase().TrialInput({}, "memory");
    const RunHistory run = ComputeRun(std::get<TCalcInput>(input));
    const ProcessWindow window = DefaultsWindow();
    RunMetrics read(run, &window);

    const auto scheme = SchemeChannel(run, {ChannelName::Kind::Point, Face1Point, 0});
    EXPECT_EQ(read.Value("profile.T1.max_fall_rate"), MaxFallRate(*scheme));
    const auto exact =
        ExactChannel(run, read.ExactRows(), read.Slab(), {ChannelName::Kind::Mean, 0, 0});
    EXPECT_EQ(read.Value("profile.exact.TAV.time_to[100]"), TimeTo(*exact, 100));
    EXPECT_EQ(read.Value("zone3.exact.peak.T"), read.Zones()[2].Exact->Peak.Value);
    EXPECT_EQ(read.Value("line.exit.TAV"), read.Zones()[2].Exit.TAV);
    // The defaults never heat, and a result has no z[] beyond the plate.
    EXPECT_TRUE(std::isnan(read.Value("profile.TAV.time_between[100:200]")));
    EXPECT_TRUE(std::isnan(read.Value("profile.z[1].peak.T")));
    EXPECT_EQ(read.Value("profile.z[0].peak.T"), 300);

    // The exact side reads each limit's companion, or the limit itself.
    const WindowResult& onExact = read.Window(true);
    EXPECT_EQ(onExact.Limits[0].Value, read.Value("zone3.exact.exit.TAV"));
    EXPECT_EQ(onExact.Limits[1].Value, read.Value("profile.exact.TAV.time_to[100]"));
    EXPECT_EQ(onExact.Limits[3].Value, read.Value("zone1.biot.2"));
    const WindowResult& onScheme = read.Window(false);
    EXPECT_EQ(onScheme.Limits[2].Value, MaxFallRate(*scheme));
    EXPECT_EQ(read.Value("window.pwi"), onScheme.Pwi);
    EXPECT_EQ(read.Value("window.exact.3.index"), onExact.Limits[2].Index);
    EXPECT_TRUE(std::isnan(read.Value("window.5.index")));
    double largest = 0;
    for (const auto& limit : onScheme.Limits)
        largest = std::max(largest, limit.Index);
    EXPECT_EQ(onScheme.Pwi, largest);

    // A trial reads the same, and says when a window metric has no window.
    WhatIfCase base = DefaultCase();
    const auto names = ParseMetricList("window.pwi,window.exact.pwi,profile.T1.max_fall_rate");
    EXPECT_EQ(base.MetricProblem(names.Metrics[0]),
              "window.pwi needs a process window (--window FILE)");
    base.SetWindow(std::make_shared<const ProcessWindow>(window));
    EXPECT_EQ(base.MetricProblem(names.Metrics[0]), "");
    EXPECT_EQ(base.MetricProblem(*FindMetric("window.exact.5.index")),
              "window.exact.5.index: the window has 4 limits");
    const auto trial = base.Run({}, names.Metrics);
    ASSERT_TRUE(trial.Computed());
    EXPECT_EQ(trial.Metrics,
              (std::vector<double>{onScheme.Pwi, onExact.Pwi, MaxFallRate(*scheme)}));
}

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
    else if (command.Do == Action::Run)
        code = RunBatch(command.DataFile, command.ResultFile, err, command.Outputs, &out);
    else
        err << command.Problem;
    return {code, out.str(), err.str()};
}

std::string Defaults() {
    return (GoldenDir() / "defaults.txt").string();
}

const char* const WindowText = R"({"name": "quench", "limits": [
  {"metric": "zone3.exit.TAV", "min": 40, "max": 60, "label": "exit"},
  {"metric": "profile.TAV.time_to[100]", "min": 0.15, "max": 0.35},
  {"metric": "profile.T1.max_fall_rate", "min": 0, "max": 2500}]})";

TEST(BatchWindow, RunJudgedInTheReportOrOnStandardOutput) {
    TempDir dir;
    WriteFileBytes(dir.file("w.json"), WindowText);
    auto run = Batch({"--window", dir.file("w.json"), "--report", dir.file("r.json"), Defaults(),
                      dir.file("r.txt")});
    ASSERT_EQ(run.code, BatchOk) << run.err;
    EXPECT_EQ(run.out, "");
    const auto report = nlohmann::ordered_json::parse(ReadFileBytes(dir.file("r.json")));
    const auto& scheme = report["window"]["scheme"];
    const auto& exact = report["window"]["exact"];
    ASSERT_EQ(scheme["limits"].size(), 3u);
    EXPECT_EQ(scheme["limits"][0]["label"], "exit");
    EXPECT_EQ(scheme["limits"][0]["value"], report["zones"][2]["exit"]["TAV"]);
    EXPECT_EQ(exact["limits"][0]["value"], report["zones"][2]["exact"]["exit"]["TAV"]);
    EXPECT_EQ(scheme["pass"], true);
    // The exact solution falls faster at face 1 than the scheme's first steps show.
    EXPECT_EQ(exact["pass"], false);
    EXPECT_GT(exact["limits"][2]["index"].get<double>(), 100);
    EXPECT_EQ(exact["pwi"], exact["limits"][2]["index"]);

    // Without --report the window alone, on standard output, the same.
    run = Batch({"--window", dir.file("w.json"), Defaults(), dir.file("r2.txt")});
    ASSERT_EQ(run.code, BatchOk) << run.err;
    EXPECT_EQ(nlohmann::ordered_json::parse(run.out), report["window"]);
    EXPECT_EQ(ReadFileBytes(dir.file("r2.txt")), ReadFileBytes(dir.file("r.txt")));

    // --fail-outside: 4 outside, 0 inside; a write failure, 2, comes first.
    WriteFileBytes(dir.file("tight.json"),
                   R"({"limits": [{"metric": "zone3.exit.TAV", "min": 40, "max": 45}]})");
    EXPECT_EQ(Batch({"--window", dir.file("tight.json"), "--fail-outside", Defaults(),
                     dir.file("r3.txt")})
                  .code,
              BatchOutside);
    EXPECT_EQ(
        Batch({"--window", dir.file("w.json"), "--fail-outside", Defaults(), dir.file("r3.txt")})
            .code,
        BatchOk);
    EXPECT_EQ(Batch({"--window", dir.file("tight.json"), "--fail-outside", Defaults(),
                     dir.file("none/r.txt")})
                  .code,
              BatchFailed);
    EXPECT_EQ(Batch({"--window", dir.file("tight.json"), Defaults(), dir.file("r3.txt")}).code,
              BatchOk);

    // A refused window: exit 1 with its place, nothing written.
    WriteFileBytes(dir.file("bad.json"),
                   R"({"limits": [{"metric": "zone3.exit.TAV", "min": 45, "max": 40}]})");
    run = Batch({"--window", dir.file("bad.json"), "--report", dir.file("b.json"), Defaults(),
                 dir.file("b.txt")});
    EXPECT_EQ(run.code, BatchRefused);
    EXPECT_EQ(run.err, "window file " + dir.file("bad.json") +
                           ": limit 1 (zone3.exit.TAV): min 45 is not below max 40\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("b.txt")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("b.json")));
}

TEST(BatchWindow, SweepAndSeekTheIndex) {
    TempDir dir;
    WriteFileBytes(dir.file("w.json"), WindowText);
    auto sweep = Batch({"--sweep", "speed=20:40:3", "--metrics", "window.pwi,window.exact.pwi",
                        "--window", dir.file("w.json"), "--out", "-", Defaults()});
    ASSERT_EQ(sweep.code, BatchOk) << sweep.err;
    EXPECT_EQ(sweep.out.rfind("speed,window.pwi,window.exact.pwi,message\n20,", 0), 0u);
    EXPECT_EQ(std::count(sweep.out.begin(), sweep.out.end(), '\n'), 4);

    sweep =
        Batch({"--sweep", "speed=20:40:3", "--metrics", "window.pwi", "--out", "-", Defaults()});
    EXPECT_EQ(sweep.code, BatchUsage);
    EXPECT_EQ(sweep.err, "window.pwi needs a process window (--window FILE)\n");
    EXPECT_EQ(sweep.out, "");
    sweep = Batch({"--sweep", "speed=20:40:3", "--metrics", "window.4.index", "--window",
                   dir.file("w.json"), "--out", "-", Defaults()});
    EXPECT_EQ(sweep.code, BatchUsage);
    EXPECT_EQ(sweep.err, "window.4.index: the window has 3 limits\n");
    sweep = Batch({"--sweep", "speed=20:40:3", "--metrics", "window.pwi", "--window",
                   dir.file("none.json"), "--out", "-", Defaults()});
    EXPECT_EQ(sweep.code, BatchRefused);

    // The speed at which the run leaves the window; its run is judged alike.
    const auto seek =
        Batch({"--seek", "speed=20:40", "--target", "window.pwi=100", "--window",
               dir.file("w.json"), "--report", dir.file("r.json"), Defaults(), dir.file("r.txt")});
    ASSERT_EQ(seek.code, BatchOk) << seek.err;
    const auto line = ParseSeekLine(seek.out);
    ASSERT_TRUE(line) << seek.out;
    EXPECT_NEAR(line->MetricValue, 100, 0.01);
    const auto report = nlohmann::ordered_json::parse(ReadFileBytes(dir.file("r.json")));
    EXPECT_EQ(report["window"]["scheme"]["pwi"].get<double>(), line->MetricValue);
}

TEST(BatchWindow, Arguments) {
    const auto run =
        ParseBatchArguments({"--window", "w.json", "--fail-outside", "d.txt", "r.txt"});
    EXPECT_EQ(run.Do, Action::Run);
    EXPECT_EQ(run.Outputs.WindowFile, "w.json");
    EXPECT_TRUE(run.Outputs.FailOutside);
    const std::vector<std::pair<std::vector<std::string>, std::string>> usage = {
        {{"--fail-outside", "d.txt", "r.txt"}, "--fail-outside needs --window FILE"},
        {{"--window", "w", "--fail-outside", "--fail-outside", "d.txt", "r.txt"},
         "--fail-outside is given twice"},
        {{"--window", "w", "--window", "v", "d.txt", "r.txt"}, "--window is given twice"},
        {{"--window"}, "--window needs a value"},
        {{"--sweep", "speed=1:2:2", "--metrics", "m", "--out", "-", "--window", "w",
          "--fail-outside", "d.txt"},
         "--fail-outside belongs to a run, not to --sweep"},
        {{"--seek", "speed=1:2", "--target", "m=1", "--window", "w", "--fail-outside", "d.txt"},
         "--fail-outside belongs to a run, not to --seek"}};
    for (const auto& [args, problem] : usage) {
        const auto command = ParseBatchArguments(args);
        EXPECT_EQ(command.Do, Action::Usage) << problem;
        EXPECT_EQ(command.Problem, problem);
    }
}

} // namespace
} // namespace korvane
