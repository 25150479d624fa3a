#include "RunInput.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

EditTexts WindowTexts() {
    EditTexts t;
    const std::pair<int, const char*> initial[] = {
        {1, "1.14"},   {2, "0.56"},        {3, "0.0006"}, {4, "0.013"},   {5, "0.0005"},
        {6, "0.09"},   {7, "10.0"},        {8, "27.0"},   {9, "30.0"},    {10, "50.0"},
        {11, "300.0"}, {12, "result.txt"}, {13, "0.5"},   {14, "10"},     {15, "0.09"},
        {16, "0.09"},  {17, "50.0"},       {18, "50.0"},  {19, "0.0005"}, {20, "0.0005"},
        {21, "30.0"},  {22, "30.0"},       {23, "10.0"},  {24, "20.0"},   {30, "result.txt"}};
    for (const auto& [box, text] : initial)
        t[static_cast<std::size_t>(box)] = text;
    return t;
}

std::string Outcome(const EditTexts& t) {
    TCalcInput in;
    const auto failure = ReadRunInput(t, in);
    return failure ? *failure : "ok";
}

TEST(ReadRunInput, WindowAsBuiltComputesThreeZones) {
    TCalcInput in;
    EXPECT_FALSE(ReadRunInput(WindowTexts(), in));
    EXPECT_EQ(in.ZoneCount, 3);
    EXPECT_EQ(in.ZoneSteps, (std::array<std::int32_t, 5>{0, 20, 20, 40, 0}));
    EXPECT_EQ(in.SaveFileName, "result.txt");
    EXPECT_EQ(in.LayerCount, 10);
    EXPECT_EQ(in.Zones[3].Length, 20.0);
}

TEST(ReadRunInput, ChecksRunInOrderAndTheFirstFailureSpeaks) {
    struct Case {
        int box;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {1, "0", "Value of Density is not correct"},
        {2, "-1", "Value of Specific Heat is not correct"},
        {3, "0", "Value of Thermal Conductivity is not correct"},
        {4, "0", "Value of Thickness is not correct"},
        {5, "0", "Value of Heat Transfer Coefficient-1 is not correct"},
        {6, "0", "Value of Heat Transfer Coefficient-2 is not correct"},
        {7, "0", "Value of Length is not correct"},
        {8, "0", "Value of Speed is not correct"},
        {9, "0", "Value of Outer Temperature-1 is not correct"},
        {10, "-3", "Value of Outer Temperature-2 is not correct"},
        {11, "0", "Value of Initial Temperature is not correct"},
        {13, "-0.5", "Value of Increment \u0394z is not correct"},
        {13, "0", "Input value is not correct!"},
        {14, "2", "Number of Layers is too small"},
        {14, "10.0", "Input value is not correct!"},
        {14, "101", "Number of Layers is to large"},
        {12, "", "Save File Name is not correct"},
        {8, "abc", "Input value is not correct!"},
        {8, " 27.0 ", "ok"},
        {8, "27,0", "Input value is not correct!"},
        {14, "3", "ok"},
        {14, "100", "ok"},
        {12, " ", "ok"},
        {17, "0", "ok"}, // zone 2 is not checked
        {7, "500", "Length is too large or Increment is too small"},
    };
    for (const auto& c : cases) {
        auto t = WindowTexts();
        t[static_cast<std::size_t>(c.box)] = c.text;
        EXPECT_EQ(Outcome(t), c.message) << "Edit" << c.box << " = '" << c.text << "'";
    }

    // Layers and the save name: the layer checks stand on either side of it.
    auto t = WindowTexts();
    t[12] = "";
    t[14] = "2";
    EXPECT_EQ(Outcome(t), "Number of Layers is too small");
    t[14] = "101";
    EXPECT_EQ(Outcome(t), "Save File Name is not correct");
    // Density and Thickness both wrong: Density speaks.
    t = WindowTexts();
    t[1] = "0", t[4] = "0";
    EXPECT_EQ(Outcome(t), "Value of Density is not correct");
}

TEST(ReadRunInput, ZoneFourCountsUnlessItsFirstBoxIsEmptyBlankOrZero) {
    for (const char* off : {"", " ", "0"}) {
        auto t = WindowTexts();
        t[25] = off;
        t[26] = "junk"; // never read
        TCalcInput in;
        EXPECT_FALSE(ReadRunInput(t, in)) << "'" << off << "'";
        EXPECT_EQ(in.ZoneCount, 3);
    }
    for (const char* on : {"0.0", "00", " 0", "  "}) {
        auto t = WindowTexts();
        t[25] = on;
        EXPECT_EQ(Outcome(t), "Input value is not correct!") << "'" << on << "'";
    }
    auto t = WindowTexts();
    t[25] = "0.001", t[26] = "0.002", t[27] = "100", t[28] = "0", t[29] = "5";
    TCalcInput in;
    EXPECT_FALSE(ReadRunInput(t, in));
    EXPECT_EQ(in.ZoneCount, 4);
    EXPECT_EQ(in.ZoneSteps[4], 10);
}

TEST(ReadRunInput, StepSumRoundsTiesToEvenAndBoundsEveryZone) {
    auto t = WindowTexts();
    t[7] = "10.25";
    TCalcInput in;
    ASSERT_FALSE(ReadRunInput(t, in));
    EXPECT_EQ(in.ZoneSteps[1], 20);
    t[7] = "10.75";
    ASSERT_FALSE(ReadRunInput(t, in));
    EXPECT_EQ(in.ZoneSteps[1], 22);

    // 1000 steps in all pass, 1001 do not.
    t = WindowTexts();
    t[7] = "460", t[23] = "20", t[24] = "20"; // 920 + 40 + 40
    EXPECT_EQ(Outcome(t), "ok");
    t[7] = "460.5";
    EXPECT_EQ(Outcome(t), "Length is too large or Increment is too small");

    // A negative zone lowers the sum, but no zone may need more than 1001 rows.
    t = WindowTexts();
    t[7] = "600", t[23] = "-200";
    EXPECT_EQ(Outcome(t), "Length is too large or Increment is too small");
    // Rounded steps stay at 1000, but the allowance adds a 1002nd row.
    t = WindowTexts();
    t[13] = "0.0001", t[7] = "0.1", t[23] = "0", t[24] = "0";
    EXPECT_EQ(Outcome(t), "Length is too large or Increment is too small");
    // Here only the accumulated position asks for a 1002nd pass: the march stops it.
    t[13] = "0.00011", t[7] = "0.11001";
    EXPECT_EQ(Outcome(t), "ok");
    // A quotient beyond 64 bits cannot be rounded; beyond 32 bits it fails the check.
    t = WindowTexts();
    t[23] = "1e300";
    EXPECT_EQ(Outcome(t), "Input value is not correct!");
    t[23] = "-1e10";
    EXPECT_EQ(Outcome(t), "Length is too large or Increment is too small");
}

TEST(ReadRunInput, FailedReadKeepsEarlierFieldsAndSkippedZonesKeepTheirRecord) {
    TCalcInput in;
    in.Zones[4].Length = 77;
    auto t = WindowTexts();
    t[4] = "0.02";
    t[11] = "x";
    EXPECT_EQ(ReadRunInput(t, in), "Input value is not correct!");
    EXPECT_EQ(in.Thickness, 0.02);
    EXPECT_EQ(in.InitialTemp, 0);
    EXPECT_FALSE(ReadRunInput(WindowTexts(), in));
    EXPECT_EQ(in.Zones[4].Length, 77);
    EXPECT_EQ(in.ZoneSteps[4], 0);
}

} // namespace
} // namespace korvane
