#include "WhatIfOptions.h"

#include <gtest/gtest.h>

#include <cstring>

namespace korvane {
namespace {

bool Same(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(WhatIfOptions, EachWrongPartOfASweepIsNamedWithTheCap) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"speed=a:b", "--sweep speed=a:b: FROM:TO:STEPS has no STEPS"},
        {"speed=10", "--sweep speed=10: FROM:TO:STEPS has no TO and STEPS"},
        {"speed", "--sweep speed: =FROM:TO:STEPS is missing"},
        {"speed=10:40:31:2", "--sweep speed=10:40:31:2: FROM:TO:STEPS has 4 parts, not 3"},
        {"speed=a:40:3",
         "--sweep speed=a:40:3: FROM is not a number (\".\" as the decimal point): 'a'"},
        {"speed=1,5:40:3",
         "--sweep speed=1,5:40:3: FROM is not a number (\".\" as the decimal point): '1,5'"},
        {"speed=10:inf:3",
         "--sweep speed=10:inf:3: TO is not a number (\".\" as the decimal point): 'inf'"},
        {"speed=10:40:x",
         "--sweep speed=10:40:x: STEPS is not a number (\".\" as the decimal point): 'x'"},
        {"speed=1:2:0", "--sweep speed=1:2:0: STEPS is a whole number of trials from 1 to "
                        "1000000, not 0"},
        {"speed=1:2:2.5", "--sweep speed=1:2:2.5: STEPS is a whole number of trials from 1 to "
                          "1000000, not 2.5"},
        {"speed=1:2:1e12",
         "--sweep speed=1:2:1e12: STEPS is above the cap of 1000000 trials: 1e12"},
        {"layers=4.5:40:8",
         "--sweep layers=4.5:40:8: layers takes whole numbers, and FROM is not one: 4.5"},
        {"layers=4:6:8",
         "--sweep layers=4:6:8: from 4 to 6 there are only 3 whole numbers, fewer than STEPS (8)"},
        {"sped=10:40:31", nullptr}};
    for (const auto& [text, message] : cases) {
        const auto parsed = ParseSweepAxis(text);
        if (message)
            EXPECT_EQ(parsed.Error, message);
        else
            EXPECT_EQ(parsed.Error.rfind("unknown input 'sped'; valid inputs: density,", 0), 0u);
    }
    EXPECT_EQ(ParseSweepAxis("speed=1:2:1000000").Error, "");
    EXPECT_EQ(ParseSweepAxis("speed=+1:-2e3:3").Axis.To, -2000);
    EXPECT_NE(ParseSweepAxis("speed=+-1:2:3").Error, "");
}

TEST(WhatIfOptions, AGridAboveTheCapOrAnInputSweptTwiceIsRefused) {
    const auto axis = [](const char* text) { return ParseSweepAxis(text).Axis; };
    EXPECT_EQ(SweepGridProblem({axis("speed=1:2:10000"), axis("dz=0.1:0.5:10000")}),
              "the grid of 10000 x 10000 = 100000000 trials is above the cap of 1000000 trials");
    EXPECT_EQ(SweepGridProblem({axis("speed=1:2:1000"), axis("dz=0.1:0.5:1000")}), "");
    EXPECT_EQ(SweepGridProblem({axis("speed=1:2:3"), axis("speed=1:2:2")}),
              "input 'speed' is swept twice");

    EXPECT_EQ(SweepCountLine({axis("speed=10:40:31")}, {}), "sweep of 31 trials");
    EXPECT_EQ(SweepCountLine({axis("speed=10:40:1")}, {}), "sweep of 1 trial");
    EXPECT_EQ(SweepCountLine({axis("speed=20:30:2"), axis("layers=10:12:3")}, {1, 4}),
              "sweep of 2 x 3 = 6 trials; share 2/4 runs 2 of them");
    EXPECT_EQ(ShareSize(31, {1, 2}), 15u);
    EXPECT_EQ(ShareSize(3, {4, 8}), 0u);
}

TEST(WhatIfOptions, SeekRangeTargetAndShareSayWhatIsWrong) {
    EXPECT_EQ(ParseSeekRange("speed=10").Error, "--seek speed=10: FROM:TO has no TO");
    EXPECT_EQ(ParseSeekRange("speed=10:4o").Error,
              "--seek speed=10:4o: TO is not a number (\".\" as the decimal point): '4o'");
    EXPECT_EQ(ParseSeekRange("velocity=1:2").Error.rfind("unknown input 'velocity'", 0), 0u);
    EXPECT_EQ(ParseSeekTarget("zone3.exit.TAV").Error,
              "--target zone3.exit.TAV: METRIC=VALUE has no VALUE");
    EXPECT_EQ(ParseSeekTarget("zone3.exit.TAV=1e999").Error,
              "--target zone3.exit.TAV=1e999: VALUE is not a number (\".\" as the decimal "
              "point): '1e999'");
    EXPECT_EQ(ParseSeekTarget("zone3.exit=1").Error.rfind("unknown metric 'zone3.exit'", 0), 0u);
    for (const char* bad : {"", "3/2", "0/2", "1", "1/1001", "1.5/2", "a/b", "1/2/3"})
        EXPECT_EQ(ParseShare(bad).Error,
                  std::string("--share reads K/N with whole numbers 1 <= K <= N <= 1000: ") + bad);
    const auto share = ParseShare("2/16").Share;
    EXPECT_EQ(share.Part, 1u);
    EXPECT_EQ(share.Parts, 16u);
}

// The viewer writes the options it passes: each reads back as what was written.
TEST(WhatIfOptions, EveryOptionReadsBackFromItsOwnText) {
    for (const char* text : {"speed=10:40:31", "dz=0.30000000000000004:1e-300:7",
                             "zone4.length=-5e-324:1.7976931348623157e+308:1000000",
                             "layers=100:3:98", "initial_temp=-0:0:1"}) {
        const auto axis = ParseSweepAxis(text);
        ASSERT_EQ(axis.Error, "") << text;
        EXPECT_EQ(SweepAxisText(axis.Axis), text);
        const auto back = ParseSweepAxis(SweepAxisText(axis.Axis)).Axis;
        EXPECT_EQ(back.Input, axis.Axis.Input);
        EXPECT_TRUE(Same(back.From, axis.Axis.From) && Same(back.To, axis.Axis.To)) << text;
        EXPECT_EQ(back.Steps, axis.Axis.Steps);
    }
    const auto range = ParseSeekRange("speed=10:1e100").Range;
    EXPECT_EQ(SeekRangeText(range), "speed=10:1e+100");
    const auto again = ParseSeekRange(SeekRangeText(range)).Range;
    EXPECT_TRUE(again.Input == range.Input && Same(again.From, range.From) &&
                Same(again.To, range.To));
    const auto target = ParseSeekTarget("line.exit.TAV=120.00000000000001").Target;
    EXPECT_EQ(SeekTargetText(target), "line.exit.TAV=120.00000000000001");
    EXPECT_EQ(ShareText(ParseShare("16/16").Share), "16/16");
}

} // namespace
} // namespace korvane
