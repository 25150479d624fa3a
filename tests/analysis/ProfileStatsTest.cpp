#include "ProfileStats.h"
#include "RunFixtures.h"

#include <gtest/gtest.h>

#include <cmath>

namespace korvane {
namespace {

using korvane::testing::DefaultInput;

// Rises 20 C/s to 60, dips to 50, back to 60, falls 30 C/s.
const Channel Hill = {{0, 20}, {1, 40}, {2, 60}, {3, 50}, {4, 60}, {5, 30}};
// Starts above everything, falls to 0 and rises again.
const Channel Valley = {{0, 100}, {1, 0}, {2, 100}};

TEST(ProfileStats, PeakAndRates) {
    EXPECT_EQ(PeakValue(Hill), 60);
    EXPECT_EQ(PeakTime(Hill), 2); // the first of the two maxima
    EXPECT_EQ(MaxRiseRate(Hill), 20);
    EXPECT_EQ(MaxFallRate(Hill), 30);
    // No rise, or no step at all: 0; no sample: no value.
    EXPECT_EQ(MaxRiseRate({{0, 5}, {1, 4}}), 0);
    EXPECT_EQ(MaxFallRate({{0, 5}}), 0);
    EXPECT_TRUE(std::isnan(MaxFallRate({})));
    EXPECT_TRUE(std::isnan(PeakValue({})));
    EXPECT_TRUE(std::isnan(PeakTime({})));
}

TEST(ProfileStats, TimeAboveAddsEveryStretchCrossingsInsideSteps) {
    // 1.5..3 (leaving on the row at 50), 3..4 1/3; 1.25..4.5.
    EXPECT_NEAR(TimeAbove(Hill, 50), 0.5 + 1 + 1 + 1.0 / 3, 1e-15);
    EXPECT_EQ(TimeAbove(Hill, 45), 0.75 + 1 + 1 + 0.5);
    EXPECT_EQ(TimeAbove(Hill, 60), 0); // on the peak is not above it
    EXPECT_EQ(TimeAbove(Hill, 10), 5);
    EXPECT_EQ(TimeAbove(Valley, 50), 1);
    EXPECT_EQ(TimeAbove({{0, 70}}, 50), 0);
}

TEST(ProfileStats, TimeBetweenRisingCrossings) {
    EXPECT_NEAR(TimeBetween(Hill, 30, 55), 1.75 - 0.5, 1e-15);
    // Both crossings on rows: whole seconds, exactly.
    EXPECT_EQ(TimeBetween(Hill, 40, 60), 1);
    EXPECT_NEAR(TimeBetween(Hill, 55, 58), 0.15, 1e-15);
    // Starting above is no rising crossing: the climb after the valley counts.
    EXPECT_NEAR(TimeBetween(Valley, 20, 80), 0.6, 1e-15);
    // Y never reached, X never crossed rising: no value.
    EXPECT_TRUE(std::isnan(TimeBetween(Hill, 30, 70)));
    EXPECT_TRUE(std::isnan(TimeBetween(Hill, 10, 30)));
    // The first climb through both, not a later one through X alone.
    EXPECT_NEAR(TimeBetween({{0, 0}, {1, 100}, {2, 0}, {3, 30}}, 20, 80), 0.6, 1e-15);
}

TEST(ProfileStats, TimeToRisingFallingOrFromTheStart) {
    EXPECT_EQ(TimeTo(Hill, 50), 1.5);
    EXPECT_EQ(TimeTo(Hill, 20), 0);
    EXPECT_EQ(TimeTo(Hill, 60), 2); // on a row
    EXPECT_EQ(TimeTo(Hill, 25), 0.25);
    EXPECT_EQ(TimeTo(Valley, 50), 0.5); // falling
    EXPECT_EQ(TimeTo(Valley, 0), 1);
    EXPECT_TRUE(std::isnan(TimeTo(Hill, 70)));
    EXPECT_TRUE(std::isnan(TimeTo(Hill, 10)));
    EXPECT_TRUE(std::isnan(TimeTo({}, 10)));
}

TEST(ProfileStats, NamesWithArgumentsInBrackets) {
    const auto above = ParseProfileStat("T6.time_above[217.5]");
    ASSERT_TRUE(above);
    EXPECT_EQ(above->Channel.What, ChannelName::Kind::Point);
    EXPECT_EQ(above->Channel.Point, 5u);
    EXPECT_EQ(above->Stat, StatKind::TimeAbove);
    EXPECT_EQ(above->X, 217.5);
    const auto between = ParseProfileStat("TAV.time_between[150:190]");
    ASSERT_TRUE(between);
    EXPECT_EQ(between->Channel.What, ChannelName::Kind::Mean);
    EXPECT_EQ(between->X, 150);
    EXPECT_EQ(between->Y, 190);
    const auto depth = ParseProfileStat("z[0.04].peak.T");
    ASSERT_TRUE(depth);
    EXPECT_EQ(depth->Channel.What, ChannelName::Kind::Depth);
    EXPECT_EQ(depth->Channel.Depth, 0.04);
    EXPECT_EQ(depth->Stat, StatKind::PeakT);
    for (const char* name : {"T1.peak.time_s", "T11.max_rise_rate", "z[0].max_fall_rate",
                             "z[+1e-3].time_to[-20]", "TAV.time_to[1e3]"})
        EXPECT_TRUE(ParseProfileStat(name)) << name;
    for (const char* name : {"T0.peak.T",
                             "T12.peak.T",
                             "T01.peak.T",
                             "TAVG.peak.T",
                             "z.peak.T",
                             "z[].peak.T",
                             "z[0.1:0.2].peak.T",
                             "T6.peak",
                             "T6.peak.X",
                             "T6.time_above",
                             "T6.time_above[]",
                             "T6.time_above[1,5]",
                             "T6.time_above[1:2]",
                             "T6.time_above[1]x",
                             "T6.time_above[inf]",
                             "T6.time_above[nan]",
                             "T6.time_above[ 1]",
                             "T6.time_between[190:150]",
                             "T6.time_between[150:150]",
                             "T6.time_between[150]",
                             "T6.time_above[[1]]",
                             "T6.time_above[1",
                             "T6.max_rise_rate.x",
                             "T6",
                             "",
                             "z[0.04]].peak.T"})
        EXPECT_FALSE(ParseProfileStat(name)) << name;
}

// Two zones of three rows, two layers: nodes at 0, H/2 and H.
RunHistory HandRun() {
    RunHistory run;
    run.Input = DefaultInput("");
    run.Input.LayerCount = 2;
    const auto row = [](double z, double face1, double middle, double face2) {
        HistoryRow r{z, {}, (face1 + 2 * middle + face2) / 4, {face1, middle, face2}};
        r.Points.fill(middle);
        r.Points[Face1Point] = face1;
        r.Points[Face2Point] = face2;
        return r;
    };
    ZoneHistory one{
        1, run.Input.Zones[1], {row(0, 20, 20, 20), row(0.5, 100, 60, 40), row(1.0, 120, 90, 70)}};
    ZoneHistory two{2, run.Input.Zones[2], {row(0, 120, 90, 70), row(0.5, 80, 85, 60)}};
    run.Zones = {one, two};
    return run;
}

TEST(ProfileStats, ChannelsRunAlongTheLineTakingAZonesFirstRowOnce) {
    const RunHistory run = HandRun();
    const double v = CmPerSecOf(run.Input); // 45 cm/s
    const auto face1 = SchemeChannel(run, {ChannelName::Kind::Point, Face1Point, 0});
    ASSERT_TRUE(face1);
    ASSERT_EQ(face1->size(), 4u);
    const double times[] = {0, 0.5 / v, 1.0 / v, 1.5 / v};
    const double values[] = {20, 100, 120, 80};
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ((*face1)[k].Time, times[k]) << k;
        EXPECT_EQ((*face1)[k].Value, values[k]) << k;
    }
    const auto mean = SchemeChannel(run, {});
    ASSERT_TRUE(mean);
    EXPECT_EQ((*mean)[3].Value, run.Zones[1].Rows[1].Mean);

    // A quarter of the way through: half-way between face 1 and the middle node.
    const double h = run.Input.Thickness;
    const auto quarter = SchemeChannel(run, {ChannelName::Kind::Depth, 0, h / 4});
    ASSERT_TRUE(quarter);
    EXPECT_NEAR((*quarter)[1].Value, 80, 1e-12);
    EXPECT_NEAR((*quarter)[3].Value, 82.5, 1e-12);
    const auto back = SchemeChannel(run, {ChannelName::Kind::Depth, 0, h});
    ASSERT_TRUE(back);
    EXPECT_EQ((*back)[2].Value, 70);
    EXPECT_FALSE(SchemeChannel(run, {ChannelName::Kind::Depth, 0, h * 1.01}));
    EXPECT_FALSE(SchemeChannel(run, {ChannelName::Kind::Depth, 0, -1e-9}));

    // A run read from a result file has no nodes: no depth, the points still.
    RunHistory printed = run;
    for (auto& zone : printed.Zones)
        for (auto& r : zone.Rows)
            r.Nodes.clear();
    EXPECT_FALSE(SchemeChannel(printed, {ChannelName::Kind::Depth, 0, h / 4}));
    EXPECT_TRUE(SchemeChannel(printed, {ChannelName::Kind::Point, Face2Point, 0}));
}

TEST(ProfileStats, ExactChannelsAreTheExactSolutionAtTheSameRows) {
    auto in = DefaultInput("");
    in.LayerCount = 7;
    const RunHistory run = ComputeRun(in);
    const ExactSlab slab = ExactFor(run);
    const ExactRun exact = ExactAlongRun(run, slab);
    const double v = CmPerSecOf(in);
    const auto starts = ZoneLineStarts(run);

    const auto mean = ExactChannel(run, exact, slab, {});
    const auto face2 = ExactChannel(run, exact, slab, {ChannelName::Kind::Point, Face2Point, 0});
    const double depth = in.Thickness / 3; // between nodes
    const auto third = ExactChannel(run, exact, slab, {ChannelName::Kind::Depth, 0, depth});
    ASSERT_TRUE(mean && face2 && third);
    std::size_t k = 0;
    for (std::size_t i = 0; i < run.Zones.size(); ++i)
        for (std::size_t r = i == 0 ? 0 : 1; r < run.Zones[i].Rows.size(); ++r, ++k) {
            const double t = run.Zones[i].Rows[r].Z / v;
            ASSERT_LT(k, mean->size());
            EXPECT_EQ((*mean)[k].Time, (starts[i] + run.Zones[i].Rows[r].Z) / v);
            EXPECT_EQ((*mean)[k].Value, slab.Mean(i, t));
            EXPECT_EQ((*face2)[k].Value, slab.Temperature(i, PointDepths(in)[Face2Point], t));
            EXPECT_EQ((*third)[k].Value, slab.Temperature(i, depth, t));
        }
    EXPECT_EQ(k, mean->size());
    // On the exact side a depth is the exact value there, not between nodes:
    // the scheme's channel is within the scheme's distance of it.
    const auto scheme = SchemeChannel(run, {ChannelName::Kind::Depth, 0, depth});
    ASSERT_TRUE(scheme);
    EXPECT_NEAR(PeakValue(*scheme), PeakValue(*third), 1e-9);
    EXPECT_NEAR(TimeAbove(*scheme, 100), TimeAbove(*third, 100), 0.02);

    // A zone without an exact solution leaves the whole line without one.
    ExactRun partial = exact;
    partial[2].reset();
    EXPECT_FALSE(ExactChannel(run, partial, slab, {}));
    auto negative = in;
    negative.Zones[3].Htc1 = -0.01;
    const RunHistory cut = ComputeRun(negative);
    const ExactSlab cutSlab = ExactFor(cut);
    EXPECT_FALSE(ExactChannel(cut, ExactAlongRun(cut, cutSlab), cutSlab,
                              {ChannelName::Kind::Depth, 0, depth}));
}

} // namespace
} // namespace korvane
