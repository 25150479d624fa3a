#include "NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace korvane {
namespace {

struct Case {
    long double value;
    int precision, digits;
    const char* text;
};

TEST(FormatFixed, RoundsTheEighteenDigitExpansionHalfAwayFromZero) {
    const Case cases[] = {
        {0, 5, 1, "0.0"},
        {20, 5, 1, "20.0"},
        {0.25, 5, 1, "0.3"},
        {0.15, 5, 1, "0.1"},
        {-0.04, 5, 1, "0.0"},
        {-0.06, 5, 1, "-0.1"},
        {0.06, 5, 1, "0.1"},
        {0.04, 5, 1, "0.0"},
        {1234.56, 5, 1, "1234.6"},
        {12345.67, 5, 1, "12346.0"},
        {0.125, 6, 2, "0.13"},
        {0.005, 6, 2, "0.01"},
        {99999.4, 5, 1, "99999.0"},
        {9.96, 5, 1, "10.0"},
        {0.0006, 7, 5, "0.00060"},
        {0.013, 7, 4, "0.0130"},
        {1.14, 5, 2, "1.14"},
        {0.0005, 7, 5, "0.00050"},
        // Stored just below 0.000155, but its 18-digit expansion ends in 5.
        {0.000155, 7, 5, "0.00016"},
        {-0.0, 5, 1, "0.0"},
        {-1e-30, 5, 1, "0.0"},
        {0.05, 5, 1, "0.1"},
        {-0.05, 5, 1, "-0.1"},
        {0.0049, 6, 2, "0.00"},
        {7, 5, 0, "7"},
        {1e-5, 7, 5, "0.00001"},
        {998.25, 5, 1, "998.3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFixed(c.value, c.precision, c.digits), c.text)
            << static_cast<double>(c.value) << " P" << c.precision << " D" << c.digits;
}

TEST(FormatFixed, SwitchesToScientificBeyondThePrecision) {
    const Case cases[] = {
        {100000, 5, 1, "1E5"},        {123456, 5, 1, "1.2346E5"},       {99999.5, 5, 1, "1E5"},
        {-123456, 5, 1, "-1.2346E5"}, {12345678.9, 7, 5, "1.234568E7"}, {1e6, 5, 2, "1E06"},
        {1e12, 6, 2, "1E12"},         {2.5e300, 7, 5, "2.5E300"},       {1e6, 5, 4, "1E0006"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFixed(c.value, c.precision, c.digits), c.text)
            << static_cast<double>(c.value);
}

TEST(FormatFixed, HoldsPrecisionWithinTwoToEighteen) {
    EXPECT_EQ(FormatFixed(123, 1, 1), "1.2E2");
    EXPECT_EQ(FormatFixed(123, 0, 1), "1.2E2");
    EXPECT_EQ(FormatFixed(0.1L, 30, 5), "0.10000");
    EXPECT_EQ(FormatFixed(1234567890123456789.0L, 30, 1), "1.23456789012345679E18");
}

TEST(FormatFixed, UsesTheDecimalSeparator) {
    SetDecimalSeparator(',');
    EXPECT_EQ(FormatFixed(27, 5, 1), "27,0");
    EXPECT_EQ(FormatFixed(123456, 5, 1), "1,2346E5");
    EXPECT_EQ(FormatFixed(0, 6, 2), "0,00");
    SetDecimalSeparator('.');
    EXPECT_EQ(FormatFixed(27, 5, 1), "27.0");
}

TEST(FormatRight, PadsToTheWidthAndNeverCuts) {
    EXPECT_EQ(FormatRight(5, 1, 0), "  0.0");
    EXPECT_EQ(FormatRight(5, 1, 10), " 10.0");
    EXPECT_EQ(FormatRight(5, 1, 300), "300.0");
    EXPECT_EQ(FormatRight(5, 1, -5.5), " -5.5");
    EXPECT_EQ(FormatRight(5, 1, 1020.4), "1020.4");
    EXPECT_EQ(FormatRight(5, 1, -100), "-100.0");
    EXPECT_EQ(FormatRight(5, 1, 100000), "  1E5");
    EXPECT_EQ(FormatRight(5, 1, 12345.67), "12346.0");
    EXPECT_EQ(FormatRight(5, 0, 7), "7"); // under three characters: left as it is
    EXPECT_EQ(FormatRight(5, 0, 700), "  700");
}

// The fast path of the common fixed form against the 18-digit expansion on
// millions of values: temperatures, positions, values next to a decimal half
// (a few units in the last place either way) and any exponent.
TEST(FormatFixed, CommonFormMatchesTheExpansion) {
    std::mt19937_64 random(2718);
    std::uniform_real_distribution<double> temperature(-1500, 1500);
    std::uniform_int_distribution<int> ulps(-3, 3), exponent(-30, 30), tenths(-99999, 99999);
    const int formats[][2] = {{5, 1}, {6, 1}, {5, 2}, {6, 2}, {7, 4}, {7, 5}, {7, 1}, {5, 4}};
    long fast = 0;
    const auto check = [&](double v, int precision, int digits) {
        std::string text;
        const std::string expected = FormatFixedByExpansion(v, precision, digits);
        if (FormatFixedCommon(v, precision, digits, text)) {
            ++fast;
            ASSERT_EQ(text, expected) << v << " P" << precision << " D" << digits;
        }
        ASSERT_EQ(FormatFixed(v, precision, digits), expected) << v;
    };
    for (int i = 0; i < 600000 && !HasFatalFailure(); ++i) {
        const auto& f = formats[i % std::size(formats)];
        const int P = f[0], D = f[1];
        double half = (tenths(random) + 0.5) / std::pow(10.0, D) / (i % 3 == 0 ? 10 : 1);
        for (int k = ulps(random); k != 0; k += k > 0 ? -1 : 1)
            half = std::nextafter(half, k > 0 ? INFINITY : -INFINITY);
        check(temperature(random), P, D);
        check(half, P, D);
        check(std::ldexp(temperature(random), exponent(random)), P, D);
        check(0.5 * (i % 2000), P, D);
    }
    EXPECT_GT(fast, 1200000);
    std::string text;
    EXPECT_FALSE(FormatFixedCommon(0.1L, 5, 1, text));    // not a stored double
    EXPECT_FALSE(FormatFixedCommon(12345.6, 5, 1, text)); // drops decimals
}

} // namespace
} // namespace korvane
