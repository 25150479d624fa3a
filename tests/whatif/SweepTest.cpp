#include "Sweep.h"
#include "NumberFormat.h"
#include "RunExport.h"
#include "TestSupport.h"
#include "WhatIfSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace korvane {
namespace {

using namespace korvane::testing;

std::vector<SweepRow> Sweep(const std::vector<std::string>& axisTexts, const std::string& metrics,
                            SweepShare share = {}) {
    std::vector<SweepAxis> axes;
    for (const auto& text : axisTexts)
        axes.push_back(ParseSweepAxis(text).Axis);
    std::vector<SweepRow> rows;
    RunSweep(
        DefaultCase(), axes, ParseMetricList(metrics).Metrics,
        [&](const SweepRow& row) {
            rows.push_back(row);
            return true;
        },
        share);
    return rows;
}

TEST(Sweep, AxisValuesIncludeBothEnds) {
    auto axis = ParseSweepAxis("speed=10:40:31");
    ASSERT_EQ(axis.Error, "");
    const auto values = AxisValues(axis.Axis);
    ASSERT_EQ(values.size(), 31u);
    for (int i = 0; i < 31; ++i)
        EXPECT_EQ(values[static_cast<std::size_t>(i)], 10 + i);
    EXPECT_EQ(AxisValues(ParseSweepAxis("dz=0.5:0.1:3").Axis),
              (std::vector<double>{0.5, 0.3, 0.1}));
    EXPECT_EQ(AxisValues(ParseSweepAxis("speed=27:40:1").Axis), (std::vector<double>{27}));
    for (const char* bad : {"speed=10:40", "speed=10:40:0", "speed=10:40:2.5", "speed=1,5:40:3",
                            "speed", "speed=a:b:c", "speed=10:40:31:2"})
        EXPECT_NE(ParseSweepAxis(bad).Error, "") << bad;
}

TEST(Sweep, AWholeNumberInputSweepsWholeNumbers) {
    const auto axis = ParseSweepAxis("layers=4:40:8");
    ASSERT_EQ(axis.Error, "");
    EXPECT_EQ(AxisValues(axis.Axis), (std::vector<double>{4, 9, 14, 19, 25, 30, 35, 40}));
    EXPECT_EQ(AxisValues(ParseSweepAxis("layers=100:3:98").Axis).back(), 3);
    // Ends that are no whole number, or more steps than whole numbers, are refused.
    for (const char* bad : {"layers=4.5:40:8", "layers=4:40.5:8", "layers=4:6:8"})
        EXPECT_NE(ParseSweepAxis(bad).Error, "") << bad;
}

TEST(Sweep, OverSpeedMatchesSeparateRuns) {
    const auto rows = Sweep({"speed=10:40:31"}, "zone3.exit.TAV,zone3.exact.exit.TAV,line.exit.T1");
    ASSERT_EQ(rows.size(), 31u);
    for (const auto& row : rows) {
        ASSERT_TRUE(row.Outcome.Computed()) << row.Outcome.Message;
        const std::string speed = ShortestNumber(row.Inputs[0]);
        EXPECT_EQ(row.Outcome.Metrics[0], SeparateRunMetric(5, speed, "zone3.exit.TAV")) << speed;
        EXPECT_EQ(row.Outcome.Metrics[1], SeparateRunMetric(5, speed, "zone3.exact.exit.TAV"))
            << speed;
        EXPECT_EQ(row.Outcome.Metrics[2], SeparateRunMetric(5, speed, "zone3.exit.T1")) << speed;
    }
    // The plate leaves zone 3 hotter the faster it goes.
    EXPECT_LT(rows.front().Outcome.Metrics[0], rows.back().Outcome.Metrics[0]);
}

TEST(Sweep, GridRunsTheLastAxisFastestAndSharesSplitIt) {
    const auto rows = Sweep({"speed=20:30:2", "layers=10:12:3"}, "zone1.exit.TAV");
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[1].Inputs, (std::vector<double>{20, 11}));
    EXPECT_EQ(rows[3].Inputs, (std::vector<double>{30, 10}));
    const auto single = DefaultCase().Run({{FindInput("speed"), 30}, {FindInput("layers"), 10}},
                                          ParseMetricList("zone1.exit.TAV").Metrics);
    EXPECT_EQ(rows[3].Outcome.Metrics, single.Metrics);

    const auto share = Sweep({"speed=20:30:2", "layers=10:12:3"}, "zone1.exit.TAV", {1, 3});
    ASSERT_EQ(share.size(), 2u);
    EXPECT_EQ(share[0].Index, 1u);
    EXPECT_EQ(share[1].Index, 4u);
    EXPECT_EQ(share[1].Outcome.Metrics, rows[4].Outcome.Metrics);
}

TEST(Sweep, RefusedTrialsCarryTheChecksMessage) {
    const auto rows = Sweep({"dz=0.01:0.5:2"}, "zone3.exit.TAV,zone4.exit.TAV");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Outcome.Message, "Length is too large or Increment is too small");
    EXPECT_EQ(SweepCsvLine(rows[0], 2), "0.01,,,Length is too large or Increment is too small\n");
    // Zone 4 does not count in the defaults: a computed trial without that value.
    EXPECT_TRUE(rows[1].Outcome.Computed());
    EXPECT_TRUE(std::isnan(rows[1].Outcome.Metrics[1]));
    EXPECT_EQ(SweepCsvLine(rows[1], 2),
              "0.5," + ShortestNumber(rows[1].Outcome.Metrics[0]) + ",,\n");

    const auto layers = Sweep({"layers=2:4:3"}, "zone1.exit.TAV");
    EXPECT_EQ(layers[0].Outcome.Message, "Number of Layers is too small");
    EXPECT_TRUE(layers[1].Outcome.Computed());
    // A layer count is read as an integer, as from a data file.
    EXPECT_EQ(DefaultCase().Run({{FindInput("layers"), 3.5}}, {}).Message,
              "Input value is not correct!");

    std::vector<SweepAxis> axes = {ParseSweepAxis("layers=2:4:3").Axis};
    EXPECT_EQ(SweepCsvHeader(axes, ParseMetricList("zone1.exit.TAV").Metrics),
              "layers,zone1.exit.TAV,message\n");
}

// What korvane-batch writes, the viewer reads back as the same rows.
TEST(Sweep, TableLinesReadBackAsTheirRows) {
    std::vector<SweepRow> rows = Sweep({"speed=20:30:2", "layers=10:12:3"},
                                       "zone1.exit.TAV,zone4.exit.TAV,zone1.exact.exit.T1");
    SweepRow refused;
    refused.Index = 1234567;
    refused.Inputs = {1e-300, -0.0};
    refused.Outcome.Message = "a \"quoted\", with commas, and \u2103";
    rows.push_back(refused);
    for (const bool withTrial : {false, true})
        for (const auto& row : rows) {
            std::string line = SweepCsvLine(row, 3, withTrial);
            ASSERT_EQ(line.back(), '\n');
            line.pop_back();
            const auto back = ParseSweepCsvLine(line, 2, 3, withTrial);
            ASSERT_TRUE(back) << line;
            EXPECT_EQ(back->Index, withTrial ? row.Index : 0u);
            EXPECT_EQ(back->Inputs, row.Inputs);
            EXPECT_TRUE(std::signbit(back->Inputs[1]) == std::signbit(row.Inputs[1]));
            EXPECT_EQ(back->Outcome.Message, row.Outcome.Message);
            ASSERT_EQ(back->Outcome.Metrics.size(), 3u);
            for (std::size_t m = 0; m < 3; ++m) {
                const double want =
                    m < row.Outcome.Metrics.size() ? row.Outcome.Metrics[m] : std::nan("");
                EXPECT_TRUE(std::isnan(want) ? std::isnan(back->Outcome.Metrics[m])
                                             : back->Outcome.Metrics[m] == want)
                    << line;
            }
        }
    const auto header = SweepCsvHeader({ParseSweepAxis("speed=20:30:2").Axis},
                                       ParseMetricList("zone1.exit.TAV").Metrics, true);
    EXPECT_EQ(header, "trial,speed,zone1.exit.TAV,message\n");
    for (const char* bad : {"", "1,2", "0,20,1,", "x,20,1,", "1,,1,", "1,20,1a,", "1,20,1,a,b",
                            "1,20,1,\"open", "1,20,1,\"a\"b\"", "1,20,1,a\"b"})
        EXPECT_FALSE(ParseSweepCsvLine(bad, 1, 1, true)) << bad;
}

TEST(Sweep, TrialValuesAreWrittenAsTheLocaleReadsThem) {
    EXPECT_EQ(ValueText(27.5, false), "27.5");
    EXPECT_EQ(ValueText(12, true), "12");
    EXPECT_EQ(ValueText(12.5, true), "12.5");
    SetDecimalSeparator(',');
    EXPECT_EQ(ValueText(27.5, false), "27,5");
    EXPECT_EQ(ValueText(1e-7, false), "1e-07");
    SetDecimalSeparator('.');
}

TEST(Sweep, ATrialsDataFileReadsBackAsTheTrial) {
    TempDir dir;
    const WhatIfCase base = DefaultCase();
    const auto values = base.TrialValues({{FindInput("speed"), 118.5}, {FindInput("layers"), 7}});
    WriteFileBytes(dir.file("trial.txt"), DataFileText(values));
    const auto back = WhatIfCase::FromDataFile(dir.file("trial.txt"));
    ASSERT_TRUE(std::holds_alternative<WhatIfCase>(back));
    EXPECT_EQ(std::get<WhatIfCase>(back).Values(), values);
    EXPECT_EQ(values[5], "118.5");
    EXPECT_EQ(values[8], "7");
    EXPECT_EQ(values[24], ""); // zone 4 still does not count
}

TEST(Sweep, StopsWhenTheCallerSaysSo) {
    std::size_t seen = 0;
    RunSweep(DefaultCase(), {ParseSweepAxis("speed=10:40:31").Axis},
             ParseMetricList("zone3.exit.TAV").Metrics,
             [&](const SweepRow&) { return ++seen < 3; });
    EXPECT_EQ(seen, 3u);
}

} // namespace
} // namespace korvane
