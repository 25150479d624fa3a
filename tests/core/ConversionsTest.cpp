#include "Conversions.h"
#include "NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>

namespace korvane {
namespace {

TEST(ConvertReal, AcceptsTheDecimalGrammarOnly) {
    struct Case {
        const char* text;
        double value;
    };
    const Case good[] = {{" 27.0 ", 27},
                         {"+5", 5},
                         {"-0.5", -0.5},
                         {".5", 0.5},
                         {"5.", 5},
                         {"1e3", 1000},
                         {"1E+3", 1000},
                         {"1e-400", 0},
                         {"0.0006", 0.0006},
                         {"00", 0},
                         {"  -1.5e-2  ", -0.015},
                         {"1e-310", 1e-310},
                         {"1.7976931348623157e308", 1.7976931348623157e308}};
    for (const auto& c : good) {
        const auto v = ConvertReal(c.text);
        ASSERT_TRUE(v) << c.text;
        EXPECT_EQ(*v, c.value) << c.text;
    }
    for (const char* bad :
         {"",      " ",     ".",     "1e",           "1e+", "1e400",  "inf", "nan",
          "0x1p3", "27,0",  "\t5",   "5\t",          "1 2", "--1",    "+-1", "1..2",
          "e5",    "1.2.3", "1e5.0", "\xef\xbc\x95", "5x",  "1.8e308"})
        EXPECT_FALSE(ConvertReal(bad)) << bad;
}

TEST(ConvertReal, RoundsDecimalDigitsToTheNearestDouble) {
    EXPECT_EQ(*ConvertReal("0.1"), 0.1);
    EXPECT_EQ(*ConvertReal("0.000155"), 0.000155);
    EXPECT_EQ(*ConvertReal("2.2250738585072011e-308"), 2.2250738585072011e-308);
    EXPECT_EQ(*ConvertReal("9007199254740993"), 9007199254740992.0); // tie to even
    EXPECT_EQ(*ConvertReal("123456789012345678901234567890e-20"), 1234567890.1234567);
    EXPECT_TRUE(std::signbit(*ConvertReal("-0")));
}

TEST(ConvertReal, FollowsTheDecimalSeparator) {
    SetDecimalSeparator(',');
    EXPECT_EQ(*ConvertReal("27,5"), 27.5);
    EXPECT_FALSE(ConvertReal("27.5"));
    SetDecimalSeparator('.');
    EXPECT_FALSE(ConvertReal("27,5"));
}

TEST(ConvertInteger, AcceptsDecimalAndHexWithinThirtyTwoBits) {
    struct Case {
        const char* text;
        std::int32_t value;
    };
    const Case good[] = {{"10", 10},
                         {" 10", 10},
                         {"+10", 10},
                         {"$A", 10},
                         {"0x1F", 31},
                         {"x1f", 31},
                         {"-$A", -10},
                         {"0X1f", 31},
                         {"2147483647", 2147483647},
                         {"-2147483648", -2147483647 - 1},
                         {"$7FFFFFFF", 2147483647},
                         {"007", 7}};
    for (const auto& c : good) {
        const auto v = ConvertInteger(c.text);
        ASSERT_TRUE(v) << c.text;
        EXPECT_EQ(*v, c.value) << c.text;
    }
    for (const char* bad : {"10 ", "10.0", "", " ", "2147483648", "$FFFFFFFF", "-2147483649", "$",
                            "0x", "x", "+", "-", "1e3", "$G", "\t10", "99999999999999999999"})
        EXPECT_FALSE(ConvertInteger(bad)) << bad;
}

} // namespace
} // namespace korvane
