#include "GoalSeek.h"
#include "RunExport.h"
#include "WhatIfSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace korvane {
namespace {

using namespace korvane::testing;

SeekResult Seek(const char* input, double from, double to, const char* metric, double target,
                SeekOptions options = {}) {
    return GoalSeek(DefaultCase(), *FindInput(input), from, to, *FindMetric(metric), target,
                    options);
}

bool HasNote(const SeekResult& result, const std::string& text) {
    return std::any_of(result.Notes.begin(), result.Notes.end(), [&](const std::string& note) {
        return note.find(text) != std::string::npos;
    });
}

TEST(GoalSeek, FindsASpeedWhoseRunMeetsTheTarget) {
    const auto result = Seek("speed", 10, 1000, "zone3.exit.TAV", 120);
    ASSERT_EQ(result.Status, SeekStatus::Found);
    EXPECT_TRUE(result.Notes.empty());
    EXPECT_GT(result.Value, 100);
    EXPECT_LT(result.Value, 150);
    const double separate = SeparateRunMetric(5, ShortestNumber(result.Value), "zone3.exit.TAV");
    EXPECT_EQ(separate, result.Metric);
    EXPECT_NEAR(separate, 120, 0.01);
    // Same bracket from the other end of the range.
    const auto reversed = Seek("speed", 1000, 10, "zone3.exit.TAV", 120);
    ASSERT_EQ(reversed.Status, SeekStatus::Found);
    EXPECT_NEAR(reversed.Metric, 120, 0.01);
}

TEST(GoalSeek, StopsAtTheInputToleranceWhenTheMetricsCannotBeMet) {
    SeekOptions options;
    options.MetricTolerance = 0;
    options.InputTolerance = 1e-9;
    const auto result = Seek("speed", 10, 1000, "zone3.exit.TAV", 120, options);
    ASSERT_EQ(result.Status, SeekStatus::Found);
    EXPECT_NEAR(result.Metric, 120, 1e-5);
    EXPECT_LT(result.Trials, 80);
}

TEST(GoalSeek, NarrowsAWideBracketOnALogScaleAndSaysWhenItStopsShort) {
    // Halving 10:1e100 down to about 118 would take some 330 trials.
    const auto wide = Seek("speed", 10, 1e100, "zone3.exit.TAV", 120);
    ASSERT_EQ(wide.Status, SeekStatus::Found);
    EXPECT_NEAR(wide.Metric, 120, 0.01);
    EXPECT_LE(wide.Trials, 40);

    // Stopped on the trial cap with neither tolerance met: no answer.
    SeekOptions options;
    options.MetricTolerance = 0;
    options.InputTolerance = 0;
    options.MaxTrials = 20;
    const auto capped = Seek("speed", 10, 1000, "zone3.exit.TAV", 120, options);
    EXPECT_EQ(capped.Status, SeekStatus::NotConverged);
    EXPECT_EQ(capped.Trials, 20);
    ASSERT_EQ(capped.Notes.size(), 1u);
    EXPECT_EQ(capped.Notes[0].rfind("not converged: after 20 trials zone3.exit.TAV is still "
                                    "between ",
                                    0),
              0u)
        << capped.Notes[0];
    EXPECT_EQ(SeekExitCode(capped.Status), BatchNoSolution);

    // With no tolerance at all it ends where no double lies between the ends.
    options.MaxTrials = 200;
    const auto exact = Seek("speed", 10, 1000, "zone3.exit.TAV", 120, options);
    EXPECT_EQ(exact.Status, SeekStatus::Found);
    EXPECT_LT(exact.Trials, 200);
}

// The viewer reads a seek back from the exit code and what the process printed.
TEST(GoalSeek, WhatTheSeekPrintsReadsBackWithItsReason) {
    const auto found = Seek("speed", 10, 1000, "zone3.exit.TAV", 120);
    const std::string line = SeekLine(*FindInput("speed"), *FindMetric("zone3.exit.TAV"), found);
    const auto back = ParseSeekLine(line + "\n");
    ASSERT_TRUE(back) << line;
    EXPECT_EQ(back->Input, "speed");
    EXPECT_EQ(back->Value, found.Value);
    EXPECT_EQ(back->Metric, "zone3.exit.TAV");
    EXPECT_EQ(back->MetricValue, found.Metric);
    for (const char* bad :
         {"", "speed=1", "speed=1 zone3.exit.TAV", "speed=x zone3.exit.TAV=1",
          "sped=1 zone3.exit.TAV=1", "speed=1 zone3.exit=1", "speed=1  zone3.exit.TAV=1"})
        EXPECT_FALSE(ParseSeekLine(bad)) << bad;

    const auto joined = [](const SeekResult& result) {
        std::string err;
        for (const auto& note : result.Notes)
            err += note + "\n";
        return err;
    };
    auto report = ReadSeekReport(SeekExitCode(found.Status), line + "\n", "");
    EXPECT_EQ(report.Status, SeekStatus::Found);
    EXPECT_EQ(report.Value, found.Value);
    EXPECT_EQ(report.Metric, found.Metric);

    const auto outside = Seek("speed", 10, 40, "zone3.exit.TAV", 120);
    report = ReadSeekReport(SeekExitCode(outside.Status), "", joined(outside));
    EXPECT_EQ(report.Status, SeekStatus::NotBracketed);
    EXPECT_EQ(report.Notes, outside.Notes[0]);
    EXPECT_STREQ(SeekStatusText(report.Status), "No solution in the range.");

    SeekOptions options;
    options.MaxTrials = 17;
    const auto capped = Seek("dz", 0.01, 0.5, "zone3.exit.TAV", 50, options);
    ASSERT_EQ(capped.Status, SeekStatus::NotConverged);
    report = ReadSeekReport(SeekExitCode(capped.Status), "", joined(capped));
    EXPECT_EQ(report.Status, SeekStatus::NotConverged);
    EXPECT_STREQ(SeekStatusText(report.Status), "No value met either tolerance.");

    const auto refused = Seek("speed", -10, 0, "zone3.exit.TAV", 50);
    EXPECT_EQ(ReadSeekReport(SeekExitCode(refused.Status), "", joined(refused)).Status,
              SeekStatus::Refused);
    EXPECT_EQ(ReadSeekReport(BatchOk, "nothing\n", "").Status, SeekStatus::Failed);
    EXPECT_EQ(ReadSeekReport(BatchUsage, "", "usage").Status, SeekStatus::Failed);
}

TEST(GoalSeek, IntegerInputsAreSearchedOverWholeNumbers) {
    // zone1.exit.T1 rises with the layer count: 114.57 at 13 layers, 115.13 at 14.
    const auto result = Seek("layers", 3, 100, "zone1.exit.T1", 115);
    ASSERT_EQ(result.Status, SeekStatus::Found);
    EXPECT_EQ(result.Value, 14);
    EXPECT_TRUE(HasNote(result, "no whole layers meets zone1.exit.T1 = 115 within 0.01; the "
                                "closest is layers=14"));
}

TEST(GoalSeek, SaysWhenTheRangeDoesNotBracketTheTarget) {
    const auto result = Seek("speed", 10, 40, "zone3.exit.TAV", 120);
    EXPECT_EQ(result.Status, SeekStatus::NotBracketed);
    EXPECT_EQ(result.Trials, 16);
    ASSERT_EQ(result.Notes.size(), 1u);
    EXPECT_EQ(result.Notes[0].rfind("not bracketed: zone3.exit.TAV runs from 47.06", 0), 0u)
        << result.Notes[0];
}

TEST(GoalSeek, ReportsRefusedTrialsAndCrossingsAndSeeksInTheFirst) {
    // dz = 0.01 cm needs 4000 steps; over the rest zone 3's exit mean
    // wanders around 50 as the step count changes.
    const auto result = Seek("dz", 0.01, 0.5, "zone3.exit.TAV", 50);
    EXPECT_TRUE(HasNote(result, "dz=0.01 fails check 16: Length is too large or Increment is "
                                "too small"));
    EXPECT_TRUE(HasNote(result, "zone3.exit.TAV is not monotonic over dz=0.01:0.5: it reaches 50 "
                                "in 0.206:0.23866666666666667, 0.33666666666666667:"));
    ASSERT_EQ(result.Status, SeekStatus::Found);
    EXPECT_GE(result.Value, 0.206);
    EXPECT_LE(result.Value, 0.23866666666666667);
    // Zones 1 and 2 march 46 steps up to dz = 10.0001/46 cm and 45 beyond:
    // zone 3's exit jumps from 49.92 to 50.05 there, and the seek says so.
    EXPECT_TRUE(HasNote(result, "zone3.exit.TAV jumps across 50 between dz=0.217393"));
    EXPECT_NEAR(result.Value, 10.0001 / 46, 1e-6);

    const auto refused = Seek("speed", -10, 0, "zone3.exit.TAV", 50);
    EXPECT_EQ(refused.Status, SeekStatus::Refused);
    EXPECT_TRUE(HasNote(refused, "speed=-10 fails check 8: Value of Speed is not correct"));
    EXPECT_TRUE(HasNote(refused, "no trial in speed=-10:0 ran"));
}

} // namespace
} // namespace korvane
