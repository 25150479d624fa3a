#include "Calculate.h"
#include "FloatControl.h"
#include "FloatError.h"
#include "LiteralSolver.h"
#include "RunFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace korvane {
namespace {

using namespace korvane::testing;

std::vector<ZoneBlock> RunBlocks(TCalcInput in, RecordingSink& sink) {
    TempDir dir;
    in.SaveFileName = dir.file("r.txt");
    return SplitBlocks(RunToFile(in, sink));
}

TEST(Calculate, StepCountsAndTheZoneHandOver) {
    struct Case {
        double length1, deltaZ;
        std::size_t rows;
        const char* lastZ;
    };
    const Case cases[] = {{50, 0.5, 101, " 50.0"}, {50, 0.3, 167, " 49.8"}, {0.2, 0.5, 1, "  0.0"}};
    for (const auto& c : cases) {
        RecordingSink sink;
        auto in = DefaultInput("");
        in.Zones[1].Length = c.length1;
        in.DeltaZ = c.deltaZ;
        in.Zones[2].Length = -1; // no rows at all
        in.ZoneCount = 3;
        const auto blocks = RunBlocks(in, sink);
        ASSERT_EQ(blocks.size(), 3u);
        const auto& zone1 = blocks[0].rows;
        ASSERT_EQ(zone1.size(), c.rows) << c.length1 << "/" << c.deltaZ;
        EXPECT_EQ(zone1.back().substr(0, 5), c.lastZ);
        EXPECT_TRUE(blocks[1].rows.empty());
        EXPECT_EQ(blocks[1].labelLines[4].substr(42), "-1.0");
        // Zone 3 starts from zone 1's last recorded row, at Z = 0.
        EXPECT_EQ(blocks[2].rows.front().substr(0, 5), "  0.0");
        EXPECT_EQ(WithoutZ(blocks[2].rows.front()), WithoutZ(zone1.back()));
    }
}

TEST(Calculate, FirstRowIsTheInitialTemperatureAndZonesAreNumbered) {
    RecordingSink sink;
    auto in = DefaultInput("");
    in.ZoneCount = 4;
    in.Zones[4] = {0.001, 0.002, 100, 200, 5};
    const auto blocks = RunBlocks(in, sink);
    ASSERT_EQ(blocks.size(), 4u);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(blocks[static_cast<std::size_t>(k)].head, "[Zone " + std::to_string(k + 1) + "]");
    EXPECT_EQ(blocks[0].rows[0],
              "  0.0  300.0 300.0 300.0 300.0 300.0 300.0 300.0 300.0 300.0 300.0 300.0 300.0");
    for (std::size_t k = 1; k < 4; ++k)
        EXPECT_EQ(WithoutZ(blocks[k].rows.front()), WithoutZ(blocks[k - 1].rows.back()));

    in.ZoneCount = 1;
    EXPECT_EQ(RunBlocks(in, sink).size(), 1u);
}

TEST(Calculate, BlockListsOnlyRowsItsZoneRecorded) {
    RecordingSink sink;
    auto in = DefaultInput("");
    in.ZoneCount = 2;
    // Steps that fit: 8, but the accumulated position passes the end after 7.
    in.DeltaZ = 0.0001;
    in.Zones[1].Length = 0.0007;
    in.Zones[2].Length = 0.0005;
    auto blocks = RunBlocks(in, sink);
    ASSERT_EQ(blocks[0].rows.size(), 8u);
    EXPECT_EQ(WithoutZ(blocks[1].rows.front()), WithoutZ(blocks[0].rows.back()));

    // The other way round: 1001 rows recorded, the steps that fit print 1000.
    in.DeltaZ = 0.1;
    in.Zones[1].Length = 99.9999;
    blocks = RunBlocks(in, sink);
    ASSERT_EQ(blocks[0].rows.size(), 1000u);
    EXPECT_EQ(blocks[0].rows.back().substr(0, 5), " 99.9");
}

TEST(Calculate, HalfStepsRoundAwayFromZeroInTheZColumn) {
    RecordingSink sink;
    auto in = DefaultInput("");
    in.DeltaZ = 0.25;
    in.ZoneCount = 1;
    const auto rows = RunBlocks(in, sink)[0].rows;
    const char* expected[] = {"  0.0", "  0.3", "  0.5", "  0.8",
                              "  1.0", "  1.3", "  1.5", "  1.8"};
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_EQ(rows[i].substr(0, 5), expected[i]);
}

// A march set up by hand, for what the file does not show.
struct March {
    std::unique_ptr<CalcWork> w = std::make_unique<CalcWork>();
    March(int layers, double deltaZ, double curLength, TZoneInput zone, double start) {
        CalcInput = DefaultInput("");
        CalcInput.LayerCount = layers;
        CalcInput.DeltaZ = deltaZ;
        w->NodeCount = layers + 1;
        w->Dx = CalcInput.Thickness / layers;
        w->Fourier = 2.5;
        CurZone = zone;
        CurLength = curLength;
        for (int i = 1; i <= w->NodeCount; ++i)
            w->Temp[i] = start;
        w->AvgTemp = start;
        w->ZPos = 0;
        w->RowNo = 1;
    }
};

TEST(MarchZone, UniformProfileInEqualSurroundingsStaysPut) {
    March m(10, 0.5, 10.0001, {0.01, 0.02, 250, 250, 0}, 250);
    MarchZone(*m.w);
    EXPECT_EQ(m.w->RowNo, 22);
    for (int r = 1; r < m.w->RowNo; ++r)
        for (int i = 1; i <= 11; ++i)
            EXPECT_NEAR(m.w->TempHistory[r][i], 250, 1e-9);
}

TEST(MarchZone, EqualFacesGiveSymmetricRowsAndInsulatedFacesFollowTheirNeighbour) {
    March m(9, 0.5, 5.0001, {0.03, 0.03, 20, 20, 0}, 300);
    MarchZone(*m.w);
    for (int r = 1; r < m.w->RowNo; ++r)
        for (int i = 1; i <= 10; ++i)
            EXPECT_NEAR(m.w->TempHistory[r][i], m.w->TempHistory[r][11 - i], 1e-9);

    // A zero coefficient makes face 1 insulated, whatever its surroundings.
    March insulated(10, 0.5, 5.0001, {0, 0.05, 1e6, 20, 0}, 300);
    MarchZone(*insulated.w);
    for (int r = 2; r < insulated.w->RowNo; ++r)
        EXPECT_NEAR(insulated.w->TempHistory[r][1], insulated.w->TempHistory[r][2], 1e-9);
}

TEST(MarchZone, ShortZoneMakesOnePassAndKeepsItsStartProfile) {
    March m(10, 0.5, 0.2001, {0.05, 0.05, 20, 20, 0}, 300);
    MarchZone(*m.w);
    EXPECT_EQ(m.w->RowNo, 2);
    EXPECT_EQ(m.w->PrevTemp[1], 300);
    EXPECT_EQ(m.w->PrevAvgTemp, 300);
    EXPECT_NE(m.w->Temp[1], 300); // the overshooting pass, which no row keeps
}

TEST(MarchZone, PositionLandingOnTheEndIsFollowedByOneMorePass) {
    // 0.25 is exact in binary: ZPos reaches 1.0 exactly, then one more pass.
    March m(10, 0.25, 1.0, {0.05, 0.05, 20, 20, 0}, 300);
    MarchZone(*m.w);
    EXPECT_EQ(m.w->RowNo, 6);
    EXPECT_EQ(m.w->ZHistory[5], 1.0);
    EXPECT_EQ(m.w->ZPos, 1.25);
}

TEST(MarchZone, NeverRecordsPastTheLastHistoryRow) {
    // Passes the step-sum bound (1000 rounded steps) but needs 1002 passes.
    March m(10, 0.00011, 0.11001 + 0.0001, {0.05, 0.05, 20, 20, 0}, 300);
    MarchZone(*m.w);
    EXPECT_EQ(m.w->RowNo, MaxRows + 1);
    for (int i = 1; i <= 11; ++i)
        EXPECT_EQ(m.w->PrevTemp[i], m.w->TempHistory[MaxRows][i]);
}

// The x87 control word each solver call of a run saw, or-ed together, and
// and-ed together.
std::uint16_t wordsSeenOr = 0;
std::uint16_t wordsSeenAnd = 0xFFFF;

void SolveRecordingTheControlWord(const TMatrix& a, TVector& x, const TVector& b, std::int32_t n) {
    const std::uint16_t word = platform::FloatControlWord();
    wordsSeenOr = static_cast<std::uint16_t>(wordsSeenOr | word);
    wordsSeenAnd = static_cast<std::uint16_t>(wordsSeenAnd & word);
    SolveLinEq(a, x, b, n);
}

TEST(Calculate, RunsAtExtendedPrecisionRoundingToNearestWhateverTheUnitWasSetTo) {
    using namespace platform;
    const std::uint16_t saved = FloatControlWord();
    const auto runWith = [](LinearSolver solve) { return RunInTempDir(DefaultInput(""), solve); };
    const std::string reference = runWith(SolveLinEq);
    // As a Windows thread starts (53 bits), and rounding upwards besides.
    SetFloatControlWord(static_cast<std::uint16_t>((saved & ~(PrecisionMask | RoundingMask)) |
                                                   Precision53 | 0x0800));
    const std::string file = runWith(SolveRecordingTheControlWord);
    SetFloatControlWord(saved);
    EXPECT_EQ(wordsSeenOr & (PrecisionMask | RoundingMask), Precision64 | RoundNearest);
    EXPECT_EQ(wordsSeenAnd & (PrecisionMask | RoundingMask), Precision64 | RoundNearest);
    EXPECT_EQ(file, reference);
}

TEST(Calculate, TinyLayersRaiseDivisionByZero) {
    // The layer thickness underflows to zero: the Fourier number divides by it.
    RecordingSink sink;
    auto in = DefaultInput("");
    in.Thickness = 5e-324;
    EXPECT_THROW(RunBlocks(in, sink), FloatError);
}

} // namespace
} // namespace korvane
