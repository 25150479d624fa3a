#include "ExactLine.h"
#include "LoggerExample.h"
#include "RunFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <thread>

namespace korvane {
namespace {

using korvane::testing::DefaultInput;

// Inputs whose rows the march lays out in different ways: the example,
// steps that do not divide the lengths, a zone of negative length (one row),
// a zone past the history's 1001 rows, a zone with no exact solution.
std::vector<std::pair<const char*, TCalcInput>> Cases() {
    std::vector<std::pair<const char*, TCalcInput>> cases;
    cases.emplace_back("the window's defaults", DefaultInput("x"));
    auto uneven = DefaultInput("x");
    uneven.DeltaZ = 0.3;
    uneven.LayerCount = 7;
    uneven.ZoneCount = 4;
    uneven.Zones[2].Length = 9.95;
    uneven.Zones[4] = {0.01, 0.02, 400, 20, 12.5};
    cases.emplace_back("uneven steps, four zones", uneven);
    auto negative = DefaultInput("x");
    negative.Zones[2].Length = -1;
    cases.emplace_back("a zone of negative length", negative);
    auto long_ = DefaultInput("x");
    long_.ZoneCount = 1;
    long_.DeltaZ = 0.01;
    long_.Zones[1].Length = 10.02; // 1003 steps: the history stops at 1001 rows
    cases.emplace_back("past the history", long_);
    auto unsolved = DefaultInput("x");
    unsolved.Zones[3].Htc2 = -0.001;
    cases.emplace_back("a negative coefficient", unsolved);
    cases.emplace_back("the oven example",
                       korvane::testing::InputOfDataFile(KORVANE_EXAMPLES_DIR "/oven-true.txt"));
    return cases;
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(ExactLine, HandsOverAtTheMarchsRowsToTheBit) {
    for (const auto& [name, input] : Cases()) {
        SCOPED_TRACE(name);
        const RunHistory run = ComputeRun(input);
        const auto positions = MarchRowPositions(input);
        ASSERT_EQ(positions.size(), run.Zones.size());
        for (std::size_t i = 0; i < run.Zones.size(); ++i) {
            ASSERT_EQ(positions[i].size(), run.Zones[i].Rows.size()) << "zone " << i + 1;
            for (std::size_t r = 0; r < positions[i].size(); ++r)
                ASSERT_TRUE(SameBits(positions[i][r], run.Zones[i].Rows[r].Z))
                    << "zone " << i + 1 << " row " << r;
        }
        // The exact rows are those the march's run gives, bit for bit.
        const ExactRun marched = ExactAlongRun(run);
        const ExactRun alone = ExactLine(input).Rows();
        ASSERT_EQ(alone.size(), marched.size());
        for (std::size_t i = 0; i < marched.size(); ++i) {
            ASSERT_EQ(alone[i].has_value(), marched[i].has_value()) << "zone " << i + 1;
            if (!marched[i])
                continue;
            for (std::size_t r = 0; r < marched[i]->size(); ++r) {
                const ExactRow &a = (*alone[i])[r], &m = (*marched[i])[r];
                ASSERT_TRUE(SameBits(a.Mean, m.Mean)) << "zone " << i + 1 << " row " << r;
                for (std::size_t k = 0; k < PrintedPoints; ++k)
                    ASSERT_TRUE(SameBits(a.Points[k], m.Points[k]))
                        << "zone " << i + 1 << " row " << r << " T" << k + 1;
            }
        }
        // And the line built from the run's rows is the same line.
        const ExactLine fromRun(run);
        EXPECT_TRUE(SameBits(fromRun.LineEnd(), ExactLine(input).LineEnd()));
    }
    EXPECT_EQ(MarchRowPositions(Cases()[3].second)[0].size(), 1001u);
    EXPECT_EQ(MarchRowPositions(Cases()[2].second)[1], (std::vector<double>{0}));
}

TEST(ExactLine, PlacesTimesInZonesAndContinuesPastTheEnd) {
    const TCalcInput in = DefaultInput("x");
    const ExactLine line(in);
    const double v = CmPerSecOf(in);
    ASSERT_EQ(line.Zones(), 3u);
    EXPECT_DOUBLE_EQ(line.ZoneStart(1), 10 / v);
    EXPECT_DOUBLE_EQ(line.LineEnd(), 40 / v);
    EXPECT_FALSE(line.ZoneAt(-1e-9));
    EXPECT_EQ(line.ZoneAt(0), 0u);
    EXPECT_EQ(line.ZoneAt(line.ZoneEnd(0)), 0u); // the hand-over row is the zone's last
    EXPECT_EQ(line.ZoneAt(line.ZoneEnd(0) * (1 + 1e-12)), 1u);
    EXPECT_FALSE(line.ZoneAt(line.LineEnd() * (1 + 1e-12)));
    // Before zone 1 the plate is uniform; a zone starts from the profile the
    // zone before handed over; just after an entry, closer than the series
    // have terms for, the first time they have is taken; past the end the
    // last zone goes on cooling towards 30.
    EXPECT_EQ(line.Temperature(0, -5), 300);
    EXPECT_EQ(line.Mean(-5), 300);
    for (const double x : {0.0, 0.0065, 0.013})
        EXPECT_NEAR(line.Slab().Temperature(1, x, 0), line.Temperature(x, line.ZoneEnd(0)), 0.001);
    const double step = in.DeltaZ / v;
    EXPECT_EQ(line.Temperature(0.013, line.ZoneStart(1) + step * 1e-6),
              line.Slab().Temperature(1, 0.013, step));
    const double end = line.LineEnd();
    EXPECT_LT(line.Mean(end + 1), line.Mean(end));
    EXPECT_GT(line.Mean(end + 1), 30);
    auto unsolved = DefaultInput("x");
    unsolved.Zones[2].Htc1 = -0.01;
    const ExactLine partial(unsolved);
    EXPECT_EQ(partial.SolvedZones(), 1u);
    EXPECT_TRUE(std::isnan(partial.Temperature(0, partial.ZoneStart(1) + 0.01)));
    EXPECT_TRUE(std::isnan(partial.Mean(partial.LineEnd() + 1)));
}

TEST(ExactLine, TighterSumsAndEarlierTimesStayCloseToTheDefaults) {
    const TCalcInput in = DefaultInput("x");
    const ExactLine usual(in);
    ExactOptions tight;
    tight.SumTolerance = 1e-9;
    tight.MinTime = 0.001 * in.DeltaZ / CmPerSecOf(in);
    const ExactLine fine(in, tight);
    const double step = in.DeltaZ / CmPerSecOf(in);
    for (double t = 0.05; t < usual.LineEnd(); t += 0.05)
        for (const double x : {0.0, 0.004, 0.013})
            if (t - usual.ZoneStart(*usual.ZoneAt(t)) >= step) {
                EXPECT_NEAR(fine.Temperature(x, t), usual.Temperature(x, t), 0.001)
                    << t << " " << x;
            }
    // Within the first step the line asked for earlier times has terms
    // enough, as one with many more shows.
    const double early = tight.MinTime * 5;
    ExactOptions tighter;
    tighter.SumTolerance = 1e-12;
    tighter.MinTime = early / 10;
    const ExactLine reference(in, tighter);
    for (const double x : {0.0, 0.013})
        EXPECT_NEAR(fine.Temperature(x, early), reference.Temperature(x, early), 1e-6) << x;
}

TEST(ExactLine, IsReadFromSeveralThreadsAtOnce) {
    // No globals: lines built and read on two threads agree with one built here.
    const TCalcInput in = korvane::testing::InputOfDataFile(KORVANE_EXAMPLES_DIR "/oven-true.txt");
    const ExactLine here(in);
    std::vector<double> a, b;
    const auto sample = [&](std::vector<double>& out) {
        const ExactLine line(in);
        for (double t = 0; t < line.LineEnd(); t += 7)
            out.push_back(line.Temperature(0.1, t));
    };
    std::thread first(sample, std::ref(a)), second(sample, std::ref(b));
    first.join();
    second.join();
    std::vector<double> c;
    for (double t = 0; t < here.LineEnd(); t += 7)
        c.push_back(here.Temperature(0.1, t));
    EXPECT_EQ(a, c);
    EXPECT_EQ(b, c);
}

} // namespace
} // namespace korvane
