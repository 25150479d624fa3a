#include "SweepProgress.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(SweepProgress, ShownOnlyForASweepOfMoreThanAMinute) {
    // 1000 trials at 50 ms: 50 s in all, no line.
    SweepProgress quick(1000);
    for (std::size_t done = 1; done < 1000; ++done)
        EXPECT_EQ(quick.Update(done, 0.05 * static_cast<double>(done)), "");
    EXPECT_EQ(quick.Finish(1000, 50), "");

    // 10000 trials at 10 ms: 100 s. Nothing in the first second, whatever it
    // suggests; then a line at most every half second, written over in place.
    SweepProgress slow(10000);
    EXPECT_EQ(slow.Update(1, 0.5), "");
    EXPECT_EQ(slow.Update(100, 1.0), "\r100 of 10000 trials (1%), 100 a second, 1 min 39 s left");
    EXPECT_EQ(slow.Update(120, 1.2), "");
    EXPECT_EQ(slow.Update(160, 1.6), "\r160 of 10000 trials (1%), 100 a second, 1 min 38 s left");
    // A shorter line covers what is left of the longer one.
    EXPECT_EQ(slow.Update(9990, 99.9),
              "\r9990 of 10000 trials (99%), 100 a second, 0 s left" + std::string(5, ' '));
    EXPECT_EQ(slow.Finish(10000, 100),
              "\r10000 of 10000 trials in 1 min 40 s" + std::string(20, ' ') + "\n");
}

TEST(SweepProgress, RatesAndTimesReadAtAGlance) {
    SweepProgress grid(1000000);
    EXPECT_EQ(grid.Update(3000, 2),
              "\r3000 of 1000000 trials (0%), 1500 a second, 11 min 05 s left");
    SweepProgress few(200);
    EXPECT_EQ(few.Update(3, 2), "\r3 of 200 trials (1%), 1.5 a second, 2 min 11 s left");
    EXPECT_EQ(DurationText(0.4), "0 s");
    EXPECT_EQ(DurationText(59.4), "59 s");
    EXPECT_EQ(DurationText(65), "1 min 05 s");
    EXPECT_EQ(DurationText(3599), "59 min 59 s");
    EXPECT_EQ(DurationText(3600 * 4.4), "4 h 24 min");
}

} // namespace
} // namespace korvane
