#include "RecipeSearch.h"
#include "BatchOptimise.h"
#include "RunMetrics.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>

namespace korvane {
namespace {

using namespace korvane::testing;
using Action = BatchCommand::Action;

const std::string Examples = KORVANE_EXAMPLES_DIR;

WhatIfCase Heating(double dz = 0.5) {
    auto loaded = WhatIfCase::FromDataFile(Examples + "/heating.txt");
    WhatIfCase base = std::get<WhatIfCase>(loaded);
    // A coarser grid keeps the many runs of a test short.
    return WhatIfCase(base.TrialValues({{FindInput("dz"), dz}}), "heating.txt");
}

ProcessWindow Window(const std::string& text) {
    auto parsed = ParseWindow(text, LimitMetricProblem);
    EXPECT_TRUE(std::holds_alternative<ProcessWindow>(parsed)) << std::get<std::string>(parsed);
    return std::get<ProcessWindow>(parsed);
}

FitParameter Bound(const std::string& text) {
    const auto parsed = ParseBoundOption("--optimise", text, false);
    EXPECT_EQ(parsed.Error, "") << text;
    return parsed.Parameter;
}

RecipeSetup SearchOf(const WhatIfCase& base, const ProcessWindow& window,
                     const std::vector<std::string>& bounds, const std::string& goal = "centre") {
    RecipeSetup setup;
    setup.Base = &base;
    setup.Window = &window;
    for (const auto& text : bounds)
        setup.Inputs.push_back(Bound(text));
    const auto parsed = ParseRecipeGoal(goal);
    EXPECT_EQ(parsed.Error, "") << goal;
    setup.Goal = parsed.Goal;
    setup.GoalInput = parsed.Input;
    setup.MaxRuns = 600;
    return setup;
}

RecipeResult Search(const RecipeSetup& setup) {
    EXPECT_EQ(RecipeSetupProblem(setup), "");
    return SearchRecipe(setup);
}

// The Biot number of face 1 is h H / k: its window's centre, top and a
// margin's edge are coefficients known in closed form, on either model.
TEST(RecipeSearch, MeetsEachGoalWhereTheOptimumIsKnownInClosedForm) {
    const WhatIfCase base = Heating(2);
    const ProcessWindow window =
        Window(R"({"limits": [{"metric": "zone1.biot.1", "min": 0.2, "max": 0.4}]})");
    const double perBiot = 0.0007 / 0.3; // k / H
    struct Case {
        std::string Goal;
        double Margin;
        double Biot;
    };
    for (const FitModel model : {FitModel::Exact, FitModel::Scheme})
        for (const Case& c : {Case{"centre", 100, 0.3}, Case{"max:zone1.htc1", 100, 0.4},
                              Case{"min:zone1.htc1", 50, 0.25}, Case{"max:zone1.htc1", 20, 0.32}}) {
            RecipeSetup setup = SearchOf(base, window, {"zone1.htc1=0.0001:0.002"}, c.Goal);
            setup.Margin = c.Margin;
            setup.Model = model;
            const RecipeResult result = Search(setup);
            ASSERT_TRUE(result.Inside) << c.Goal;
            EXPECT_NEAR(result.Values[0], c.Biot * perBiot, 1e-6 * perBiot) << c.Goal;
            EXPECT_LE(result.Window.Pwi, c.Margin) << c.Goal;
            EXPECT_LE(result.Runs, setup.MaxRuns);
        }

    // Two inputs, each with its own limit: the centre of both at once.
    const ProcessWindow both = Window(R"({"limits": [
        {"metric": "zone1.biot.1", "min": 0.2, "max": 0.4},
        {"metric": "zone1.biot.2", "min": 0.5, "max": 0.9}]})");
    const RecipeResult centre =
        Search(SearchOf(base, both, {"zone1.htc1=0.0001:0.002", "zone1.htc2=0.0001:0.004"}));
    ASSERT_TRUE(centre.Inside);
    EXPECT_NEAR(centre.Values[0], 0.3 * perBiot, 1e-5 * perBiot);
    EXPECT_NEAR(centre.Values[1], 0.7 * perBiot, 1e-5 * perBiot);
    EXPECT_LT(centre.Window.Pwi, 0.01);
}

// The exact solution is affine in an outer temperature, so the hottest
// zone 1 that keeps the exit mean below a bound follows from two runs.
TEST(RecipeSearch, FindsTheEdgeOfAPhysicalLimit) {
    const WhatIfCase base = Heating(1);
    const ProcessWindow window =
        Window(R"({"limits": [{"metric": "zone4.exit.TAV", "min": 20, "max": 56}]})");
    const auto exitAt = [&](double outer) {
        const auto judged =
            JudgeRecipe(base, window, base.TrialValues({{FindInput("zone1.outer1"), outer}}));
        return std::get<RecipeJudgement>(judged).Exact.Limits[0].Value;
    };
    const double low = exitAt(150), high = exitAt(300);
    const double edge = 150 + (56 - low) / (high - low) * 150;
    ASSERT_GT(edge, 160);
    ASSERT_LT(edge, 290);
    const RecipeResult result =
        Search(SearchOf(base, window, {"zone1.outer1=150:300"}, "max:zone1.outer1"));
    ASSERT_TRUE(result.Inside);
    EXPECT_NEAR(result.Values[0], edge, 1e-4);
    EXPECT_LE(result.Window.Limits[0].Value, 56);
}

// Against every point of a grid: no grid speed inside the window is faster
// than the search's, and the search's recipe is inside.
TEST(RecipeSearch, IsNoSlowerThanAnExhaustiveGrid) {
    const WhatIfCase base = Heating(2);
    const ProcessWindow window = Window(R"({"limits": [
        {"metric": "profile.T6.peak.T", "min": 180, "max": 195},
        {"metric": "profile.T6.time_above[170]", "min": 60, "max": 600}]})");
    RecipeSetup setup =
        SearchOf(base, window, {"speed=0.2:1.5", "zone1.outer1=150:300"}, "max:speed");
    const RecipeResult result = Search(setup);
    ASSERT_TRUE(result.Inside);
    double fastest = 0;
    for (int i = 0; i <= 24; ++i)
        for (int j = 0; j <= 24; ++j) {
            const double speed = 0.2 + 1.3 * i / 24, outer = 150 + 150.0 * j / 24;
            const auto judged = JudgeRecipe(base, window,
                                            base.TrialValues({{FindInput("speed"), speed},
                                                              {FindInput("zone1.outer1"), outer}}));
            if (std::get<RecipeJudgement>(judged).Exact.Pass)
                fastest = std::max(fastest, speed);
        }
    ASSERT_GT(fastest, 0.2);
    EXPECT_GE(result.Values[0], fastest);
    EXPECT_LT(result.Values[0], fastest + 1.3 / 24);
}

TEST(RecipeSearch, GivesTheSameRecipeOnAnyNumberOfThreads) {
    const WhatIfCase base = Heating(2);
    const ProcessWindow window = Window(R"({"limits": [
        {"metric": "profile.T6.peak.T", "min": 180, "max": 195},
        {"metric": "zone4.exit.TAV", "min": 30, "max": 70}]})");
    RecipeSetup setup =
        SearchOf(base, window, {"speed=0.2:1.5", "zone1.outer1=150:300", "zone2.outer1=150:300"},
                 "max:speed");
    setup.Jobs = 1;
    const RecipeResult one = Search(setup);
    setup.Jobs = 3;
    const RecipeResult three = Search(setup);
    EXPECT_EQ(one.Values, three.Values);
    EXPECT_EQ(one.Runs, three.Runs);
    EXPECT_TRUE(one.Inside);
}

// Trials the checks refuse are outside the window, not a failed search; a
// window nothing meets says which limit keeps the recipe out.
TEST(RecipeSearch, CountsRefusedTrialsAsOutsideAndNamesTheLimitThatStopsIt) {
    const WhatIfCase base = Heating(2);
    const ProcessWindow window =
        Window(R"({"limits": [{"metric": "zone1.biot.1", "min": 0.2, "max": 0.4}]})");
    // Below 0 the check on the density refuses the run.
    const RecipeResult refused =
        Search(SearchOf(base, window, {"density=-2:2", "zone1.htc1=0.0001:0.002"}));
    EXPECT_TRUE(refused.Inside);
    EXPECT_GT(refused.Values[0], 0);

    const ProcessWindow hot = Window(R"({"limits": [
        {"metric": "zone4.exit.TAV", "min": 20, "max": 80},
        {"metric": "profile.T6.peak.T", "min": 240, "max": 250, "label": "peak at the middle"}]})");
    const RecipeSetup hotSetup = SearchOf(base, hot, {"zone1.outer1=150:200"});
    const RecipeResult none = Search(hotSetup);
    EXPECT_FALSE(none.Inside);
    EXPECT_NEAR(none.Values[0], 200, 1e-6);
    EXPECT_EQ(
        BoundNotes(hotSetup, none),
        std::vector<std::string>{
            "zone1.outer1 ends on its upper bound 200: wider bounds may give a better recipe"});
    const std::string stop = StoppingLimit(hot, none.Window);
    EXPECT_EQ(stop.rfind("limit 2 \"peak at the middle\" (profile.T6.peak.T) is ", 0), 0u) << stop;
    EXPECT_NE(stop.find(" for 240 to 250, index "), std::string::npos) << stop;
}

TEST(RecipeSearch, RefusesSetupsItCannotSearch) {
    const WhatIfCase base = Heating(2);
    const ProcessWindow window =
        Window(R"({"limits": [{"metric": "zone1.biot.1", "min": 0.2, "max": 0.4}]})");
    const ProcessWindow error =
        Window(R"({"limits": [{"metric": "zone1.exact.max_error.mean", "min": 0, "max": 1}]})");
    struct Case {
        std::vector<std::string> Bounds;
        std::string Goal;
        double Margin;
        const ProcessWindow* With;
        std::string Problem;
    };
    const Case cases[] = {
        {{}, "centre", 100, &window, "name at least one input to optimise"},
        {{"speed=0.1:1", "speed=0.2:1"}, "centre", 100, &window, "--optimise speed is given twice"},
        {{"zone1.outer1=-1e308:1e308"},
         "centre",
         100,
         &window,
         "--optimise zone1.outer1=-1e+308:1e+308: the bounds are too far apart"},
        {{"zone2.htc1=0:0.01"},
         "centre",
         100,
         &window,
         "--optimise zone2.htc1=0:0.01: a first coefficient of 0 switches zone 2 off"},
        {{"zone1.htc2=-0.001:0.01"},
         "centre",
         100,
         &window,
         "--optimise zone1.htc2=-0.001:0.01: a coefficient below 0 has no exact solution"},
        {{"speed=0.1:1"},
         "max:zone1.outer1",
         100,
         &window,
         "--goal max:zone1.outer1: the goal's input must be one of those optimised"},
        {{"speed=0.1:1"}, "centre", 0, &window, "--margin 0: the margin is an index above 0"},
        {{"speed=0.1:1"}, "centre", 120, &window, "--margin 120: the margin is an index above 0"},
        {{"speed=0.1:1"},
         "centre",
         100,
         &error,
         "limit 1 (zone1.exact.max_error.mean) is the scheme's distance"}};
    for (const Case& c : cases) {
        RecipeSetup setup = SearchOf(base, *c.With, c.Bounds, c.Goal);
        setup.Margin = c.Margin;
        const std::string problem = RecipeSetupProblem(setup);
        EXPECT_EQ(problem.rfind(c.Problem, 0), 0u) << problem;
    }
    // The scheme has its distance from the exact solution.
    RecipeSetup scheme = SearchOf(base, error, {"speed=0.1:1"});
    scheme.Model = FitModel::Scheme;
    EXPECT_EQ(RecipeSetupProblem(scheme), "");
    // A zone the data file does not compute.
    const WhatIfCase oneZone(base.TrialValues({{FindInput("zone2.htc1"), 0},
                                               {FindInput("zone3.htc1"), 0},
                                               {FindInput("zone4.htc1"), 0}}),
                             "one.txt");
    EXPECT_EQ(
        RecipeSetupProblem(SearchOf(oneZone, window, {"zone3.outer1=100:200"}))
            .rfind("--optimise zone3.outer1=100:200: the data file does not compute zone 3", 0),
        0u);
    for (const char* text : {"dz=0.1:1", "layers=4:9", "zone1.length=10:90", "start=0:9"})
        EXPECT_NE(ParseBoundOption("--optimise", text, false).Error, "") << text;
    for (const char* goal : {"fastest", "max:", "centre:speed"})
        EXPECT_EQ(ParseRecipeGoal(goal).Error.rfind("--goal ", 0), 0u) << goal;
}

struct Outcome {
    int code;
    std::string out, err;
};

Outcome Batch(const std::vector<std::string>& args) {
    const auto command = ParseBatchArguments(args);
    std::ostringstream out, err;
    int code = BatchUsage;
    if (command.Do == Action::Optimise)
        code = RunBatchOptimise(command, out, err);
    else
        err << command.Problem;
    return {code, out.str(), err.str()};
}

TEST(BatchOptimise, OptionsGoTogetherOrSayWhy) {
    const std::pair<std::vector<std::string>, std::string> usage[] = {
        {{"--optimise", "speed=1:2", "--goal", "centre", "d.txt"},
         "--optimise needs --window FILE, the process window to meet"},
        {{"--optimise", "speed=1:2", "--window", "w.json", "d.txt"},
         "--optimise needs --goal centre, max:NAME or min:NAME"},
        {{"--goal", "centre", "--window", "w.json", "d.txt", "r.txt"},
         "--goal belongs to --optimise"},
        {{"--max-runs", "9", "d.txt", "r.txt"}, "--max-runs belongs to --optimise"},
        {{"--progress", "d.txt", "r.txt"}, "--progress belongs to --optimise"},
        {{"--optimise", "speed=1:2", "--window", "w.json", "--goal", "centre", "--sweep",
          "speed=1:2:3", "d.txt"},
         "--sweep does not go with --optimise"},
        {{"--optimise", "speed=1:2", "--window", "w.json", "--goal", "centre", "--measured",
          "m.csv", "d.txt"},
         "--measured does not go with --optimise"},
        {{"--optimise", "speed=1:2", "--window", "w.json", "--goal", "centre", "--fail-outside",
          "d.txt", "r.txt"},
         "--fail-outside does not go with --optimise"},
        {{"--optimise", "speed=1:2", "--window", "w.json", "--goal", "centre"},
         "--optimise needs DATAFILE"},
        {{"--optimise", "speed=1:2", "--window", "w.json", "--goal", "centre", "--report", "r.json",
          "d.txt"},
         "--report with --optimise needs RESULTFILE after DATAFILE"}};
    for (const auto& [args, problem] : usage) {
        const auto command = ParseBatchArguments(args);
        EXPECT_EQ(command.Do, Action::Usage) << problem;
        EXPECT_EQ(command.Problem, problem);
    }
    const std::string data = Examples + "/heating.txt", window = Examples + "/heating-recipe.json";
    const std::pair<std::vector<std::string>, std::string> values[] = {
        {{"--optimise", "dz=0.1:1"}, "--optimise dz=0.1:1: dz sets where the rows lie"},
        {{"--optimise", "speed=2:1"}, "--optimise speed=2:1: LO must be below HI"},
        {{"--goal", "max:density"}, "--goal max:density: the goal's input must be one of"},
        {{"--jobs", "0"}, "--jobs 0: a whole number from 1 to 64"},
        {{"--max-runs", "2.5"}, "--max-runs 2.5: a whole number from 10"},
        {{"--margin", "a lot"}, "--margin a lot: an index above 0 and at most 100"},
        {{"--model", "fast"}, "--model fast: the model is exact or scheme"}};
    for (const auto& [more, start] : values) {
        std::vector<std::string> args = {"--optimise", "speed=0.2:1", "--window", window};
        args.insert(args.end(), more.begin(), more.end());
        if (std::find(more.begin(), more.end(), "--goal") == more.end())
            args.insert(args.end(), {"--goal", "centre"});
        args.push_back(data);
        const auto run = Batch(args);
        EXPECT_EQ(run.code, BatchUsage) << start;
        EXPECT_EQ(run.err.rfind(start, 0), 0u) << run.err;
    }
}

// What korvane-batch prints is the recipe: written into the data file and
// run with the window, it gives the same index.
TEST(BatchOptimise, ThePrintedRecipeRunsAsPrinted) {
    TempDir dir;
    const std::string window = Examples + "/heating-recipe.json";
    const auto run = Batch({"--optimise", "speed=0.2:2", "--optimise", "zone1.outer1=150:300",
                            "--window", window, "--goal", "max:speed", "--max-runs", "400",
                            "--out-data", dir.file("recipe.txt"), "--report", dir.file("r.json"),
                            Examples + "/heating.txt", dir.file("recipe.result")});
    ASSERT_EQ(run.code, BatchOk) << run.err;
    std::istringstream lines(run.out);
    std::string line;
    std::vector<std::pair<std::string, double>> printed;
    while (std::getline(lines, line))
        if (const auto value = ParseRecipeLine(line))
            printed.push_back(*value);
    ASSERT_EQ(printed.size(), 6u) << run.out;
    EXPECT_EQ(printed[0].first, "speed");
    EXPECT_EQ(printed[2].first, "window.pwi");
    EXPECT_EQ(printed[3].first, "window.exact.pwi");
    EXPECT_LE(printed[3].second, 100);
    EXPECT_EQ(printed[4].first, "runs");
    EXPECT_LE(printed[4].second, 400);

    auto loaded = WhatIfCase::FromDataFile(Examples + "/heating.txt");
    const WhatIfCase& base = std::get<WhatIfCase>(loaded);
    const auto values = base.TrialValues(
        {{FindInput("speed"), printed[0].second}, {FindInput("zone1.outer1"), printed[1].second}});
    EXPECT_EQ(ReadFileBytes(dir.file("recipe.txt")), DataFileText(values));
    const auto window_ = LoadWindow(window);
    const auto judged =
        std::get<RecipeJudgement>(JudgeRecipe(base, std::get<ProcessWindow>(window_), values));
    EXPECT_EQ(judged.Scheme.Pwi, printed[2].second);
    EXPECT_EQ(judged.Exact.Pwi, printed[3].second);
    // The result file and the report are the recipe's run.
    std::ostringstream err;
    ASSERT_EQ(RunBatch(dir.file("recipe.txt"), dir.file("plain.result"), err), BatchOk);
    EXPECT_EQ(ReadFileBytes(dir.file("recipe.result")), ReadFileBytes(dir.file("plain.result")));
    EXPECT_NE(ReadFileBytes(dir.file("r.json")).find("\"window\""), std::string::npos);

    // No recipe: the best on standard output, why on standard error, exit 3.
    const auto none =
        Batch({"--optimise", "speed=1.5:2", "--optimise", "zone1.outer1=150:160", "--window",
               window, "--goal", "max:speed", "--max-runs", "100", "--progress", "--out-data",
               dir.file("none.txt"), Examples + "/heating.txt"});
    EXPECT_EQ(none.code, BatchNoSolution);
    // A program reading --progress gets a line at once, then every half second.
    EXPECT_EQ(none.err.rfind("optimise: 1 runs, none inside yet, best index ", 0), 0u) << none.err;
    EXPECT_NE(none.err.find("\nNo recipe within the bounds is inside the window on the exact "
                            "solution: the best index found is "),
              std::string::npos)
        << none.err;
    EXPECT_NE(none.err.find("limit 1 \"peak at the middle\""), std::string::npos) << none.err;
    EXPECT_NE(none.out.find("window.exact.pwi="), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.txt")));
}

} // namespace
} // namespace korvane
