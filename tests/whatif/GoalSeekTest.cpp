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
