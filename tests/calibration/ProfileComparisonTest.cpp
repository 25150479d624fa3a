#include "ProfileComparison.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <cmath>

namespace korvane {
namespace {

using Kind = ChannelDepth::Kind;

// A run made by hand: 1 cm/s, a plate 1 cm thick in 10 layers, and a
// temperature straight in time and depth, T = 10 + 5 t + 2 x in zone 1 (t =
// 0..2 s) and T = 20 + 3 (t - 2) + 2 x in zone 2 (t = 2..3 s), which the model
// must give back exactly between the rows and the nodes.
RunHistory HandMadeRun(bool withNodes) {
    RunHistory run;
    TCalcInput& in = run.Input;
    in.Density = in.SpecificHeat = in.Conductivity = in.Thickness = 1;
    in.Speed = 0.6;
    in.InitialTemp = 10;
    in.DeltaZ = 1;
    in.LayerCount = 10;
    in.ZoneCount = 2;
    in.Zones[1] = {0.5, 0.5, 30, 30, 2};
    in.Zones[2] = {-0.5, 0.5, 20, 20, 1}; // no exact solution here
    const auto zone = [&](int number, int rows, double base, double slope) {
        ZoneHistory z;
        z.ZoneNo = number;
        z.Zone = in.Zones[static_cast<std::size_t>(number)];
        for (int r = 0; r < rows; ++r) {
            HistoryRow row;
            row.Z = r;
            for (int k = 0; k <= 10; ++k) {
                const double t = base + slope * r + 2 * k / 10.0;
                row.Points[static_cast<std::size_t>(k)] = t;
                if (withNodes)
                    row.Nodes.push_back(t);
            }
            row.Mean = base + slope * r + 1;
            z.Rows.push_back(row);
        }
        return z;
    };
    run.Zones = {zone(1, 3, 10, 5), zone(2, 2, 20, 3)};
    return run;
}

TEST(ProfileComparison, TheSchemeIsStraightBetweenRowsAndNodes) {
    for (const bool withNodes : {true, false}) {
        SCOPED_TRACE(withNodes ? "computed rows" : "printed rows");
        const RunHistory run = HandMadeRun(withNodes);
        const SchemeModel scheme(run);
        EXPECT_DOUBLE_EQ(scheme.At({Kind::Face1, 0}, 0.5), 12.5);
        EXPECT_DOUBLE_EQ(scheme.At({Kind::Centre, 0}, 1.5), 18.5);
        EXPECT_DOUBLE_EQ(scheme.At({Kind::Cm, 0.25}, 2.5), 22);
        EXPECT_DOUBLE_EQ(scheme.At({Kind::Cm, 0.33}, 2.0), 20.66);
        EXPECT_DOUBLE_EQ(scheme.At({Kind::Face2, 0}, 2.0), 22);
        EXPECT_DOUBLE_EQ(scheme.At({Kind::Mean, 0}, 1), 16);
        EXPECT_EQ(scheme.At({Kind::Face2, 0}, -3), 10); // before the line: the initial temperature
        EXPECT_EQ(scheme.At({Kind::Face2, 0}, 9), 25);  // after it: the last row
        EXPECT_EQ(scheme.ZoneAt(2.0), 0u);
        EXPECT_EQ(scheme.ZoneAt(2.5), 1u);
        EXPECT_FALSE(scheme.ZoneAt(3.5));
        EXPECT_FALSE(scheme.ZoneAt(-0.5));
        EXPECT_EQ(scheme.LineEnd(), 3);
    }
}

MeasuredProfile OneChannel(ChannelDepth depth, std::vector<double> times, std::vector<double> temps,
                           double start) {
    MeasuredProfile profile;
    profile.File = "log.csv";
    profile.Start = start;
    MeasuredChannel channel;
    channel.Name = "TC1";
    channel.Column = 2;
    channel.Depth = depth;
    channel.Time = std::move(times);
    channel.Temp = std::move(temps);
    profile.Channels.push_back(channel);
    return profile;
}

TEST(ProfileComparison, CountsAndMeasuresTheDifferencesPerZone) {
    const RunHistory run = HandMadeRun(true);
    // Face 1 at logger times 0.5..5 with the plate entering at 1: one sample
    // before the line, three in zone 1, two in zone 2, one after.
    const std::vector<double> times = {0.5, 1, 2, 2.5, 3.5, 4, 5};
    const std::vector<double> offsets = {9, 1, -2, 0.5, 3, -4, 9};
    std::vector<double> temps;
    const SchemeModel scheme(run);
    for (std::size_t i = 0; i < times.size(); ++i)
        temps.push_back(scheme.At({Kind::Face1, 0}, times[i] - 1) + offsets[i]);
    const auto profile = OneChannel({Kind::Face1, 0}, times, temps, 1);
    const ProfileComparison c = CompareProfile(profile, run);
    ASSERT_EQ(c.Channels.size(), 1u);
    const ChannelComparison& tc = c.Channels[0];
    EXPECT_EQ(tc.BeforeLine, 1u);
    EXPECT_EQ(tc.AfterLine, 1u);
    ASSERT_EQ(tc.Zones.size(), 2u);
    EXPECT_EQ(tc.Zones[0].Scheme.Samples, 3u);
    EXPECT_NEAR(tc.Zones[0].Scheme.Rms, std::sqrt((1 + 4 + 0.25) / 3), 1e-12);
    EXPECT_NEAR(tc.Zones[0].Scheme.Max, -2, 1e-12);
    EXPECT_EQ(tc.Zones[1].Scheme.Samples, 2u);
    EXPECT_NEAR(tc.Zones[1].Scheme.Max, -4, 1e-12);
    EXPECT_EQ(tc.Scheme.Samples, 5u);
    EXPECT_NEAR(tc.Scheme.Rms, std::sqrt((1 + 4 + 0.25 + 9 + 16) / 5), 1e-12);
    // Zone 1 has an exact solution, zone 2 (a negative coefficient) none.
    EXPECT_EQ(tc.Zones[0].Exact.Samples, 3u);
    EXPECT_EQ(tc.Zones[1].Exact.Samples, 0u);
    EXPECT_TRUE(std::isnan(tc.Zones[1].Exact.Rms));
    const ExactLine line(run);
    EXPECT_NEAR(tc.ExactAtSamples[2], line.Temperature(0, 1), 1e-3);
    EXPECT_TRUE(std::isnan(tc.SchemeAtSamples[0])); // outside the line: not compared

    const auto json = nlohmann::json::parse(ComparisonJson(profile, c));
    EXPECT_EQ(json["file"], "log.csv");
    EXPECT_EQ(json["start_s"], 1);
    const auto& channel = json["channels"][0];
    EXPECT_EQ(channel["name"], "TC1");
    EXPECT_EQ(channel["depth"], "face1");
    EXPECT_EQ(channel["samples"], 7);
    EXPECT_EQ(channel["before_line"], 1);
    EXPECT_EQ(channel["after_line"], 1);
    EXPECT_EQ(channel["zones"][1]["zone"], 2);
    EXPECT_EQ(channel["zones"][1]["samples"], 2);
    EXPECT_TRUE(channel["zones"][1]["exact"]["rms"].is_null());
    EXPECT_DOUBLE_EQ(channel["zones"][1]["scheme"]["max"].get<double>(), -4);
    EXPECT_EQ(ComparisonSummary(c).substr(0, 27), "TC1 [face1]: samples=5 sche");
    // Where no zone has an exact solution the summary says so.
    RunHistory unsolved = run;
    unsolved.Input.Zones[1].Htc1 = unsolved.Zones[0].Zone.Htc1 = -0.5;
    const std::string none = ComparisonSummary(CompareProfile(profile, unsolved));
    EXPECT_EQ(none.substr(none.size() - 12), " exact none\n") << none;
}

// An input straight in time from 0 at the entry, or a sine.
class StubModel : public ProfileModel {
  public:
    explicit StubModel(double omega) : omega_(omega) {}
    double At(const ChannelDepth&, double t) const override {
        if (t < 0)
            return 0;
        return omega_ > 0 ? std::sin(omega_ * t) : t;
    }
    std::optional<std::size_t> ZoneAt(double t) const override {
        return t >= 0 && t <= 100 ? std::optional<std::size_t>(0) : std::nullopt;
    }
    double LineEnd() const override { return 100; }

  private:
    double omega_;
};

TEST(ProfileComparison, TheLagIsAFirstOrderThermocouple) {
    const double tau = 3;
    const std::vector<double> times = {-2, 0, 1, 2.5, 7, 20};
    const auto ramp = ModelAtTimes(StubModel(0), {}, times, tau);
    for (std::size_t i = 0; i < times.size(); ++i) {
        const double t = std::max(times[i], 0.0);
        EXPECT_NEAR(ramp[i], t - tau * (1 - std::exp(-t / tau)), 1e-12) << times[i];
    }
    // A sine between samples a second apart, each integrated in 8 steps.
    const double w = 0.7;
    std::vector<double> seconds;
    for (int t = -2; t <= 20; ++t)
        seconds.push_back(t);
    const auto sine = ModelAtTimes(StubModel(w), {}, seconds, tau);
    for (std::size_t i = 2; i < seconds.size(); ++i) {
        const double t = seconds[i], wt = w * tau;
        const double exact =
            (std::sin(w * t) - wt * std::cos(w * t) + wt * std::exp(-t / tau)) / (1 + wt * wt);
        EXPECT_NEAR(sine[i], exact, 2e-3) << t;
    }
    EXPECT_EQ(ModelAtTimes(StubModel(w), {}, times, 0)[3], std::sin(w * 2.5)); // no lag
    // The samples are the same however they are shared out.
    ParallelFor halves = [](std::size_t n, const std::function<void(std::size_t, std::size_t)>& f) {
        f(n / 2, n);
        f(0, n / 2);
    };
    EXPECT_EQ(ModelAtTimes(StubModel(w), {}, seconds, tau, &halves), sine);
}

TEST(ProfileComparison, TheLargestDifferenceKeepsItsSign) {
    Difference d;
    for (const double x : {1.0, -3.0, 2.5, 3.0})
        d.Add(x);
    d.Finish();
    EXPECT_EQ(d.Max, -3);
    EXPECT_EQ(d.Samples, 4u);
    EXPECT_DOUBLE_EQ(d.Rms, std::sqrt((1 + 9 + 6.25 + 9) / 4));
    Difference none;
    none.Finish();
    EXPECT_TRUE(std::isnan(none.Rms) && std::isnan(none.Max));
}

} // namespace
} // namespace korvane
