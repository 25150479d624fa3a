#include "WhatIfNames.h"
#include "Sweep.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(WhatIfNames, InputsFollowTheDataFileLines) {
    ASSERT_EQ(InputNames().size(), 28u);
    for (std::size_t i = 0; i < InputNames().size(); ++i)
        EXPECT_EQ(InputNames()[i].Line, static_cast<int>(i) + 1);
    EXPECT_EQ(FindInput("speed")->Line, 5);
    EXPECT_EQ(FindInput("zone1.htc1")->Line, 9);
    EXPECT_EQ(FindInput("zone3.length")->Line, 23);
    EXPECT_EQ(FindInput("zone4.outer2")->Line, 27);
    EXPECT_TRUE(FindInput("layers")->Integer);
    EXPECT_FALSE(FindInput("dz")->Integer);
}

TEST(WhatIfNames, MetricsAreTheReportsPaths) {
    const auto biot = FindMetric("zone1.biot.2");
    ASSERT_TRUE(biot);
    EXPECT_EQ(biot->Zone, 1);
    EXPECT_EQ(biot->Path, (std::vector<std::string>{"biot", "2"}));
    const auto exact = FindMetric("zone3.exact.exit.TAV");
    ASSERT_TRUE(exact);
    EXPECT_TRUE(exact->NeedsExact);
    EXPECT_FALSE(FindMetric("zone3.exit.TAV")->NeedsExact);
    EXPECT_EQ(FindMetric("line.exit.TAV")->Zone, 0);
    for (const char* name : {"zone2.peak.T", "zone1.max_difference_through_thickness.dT",
                             "zone4.max_rate_of_mean.cooling_C_per_s", "zone1.exact.max_error.mean",
                             "line.rows", "zone2.mesh_fourier"})
        EXPECT_TRUE(FindMetric(name)) << name;
    for (const char* name : {"zone5.exit.TAV", "zone0.exit.TAV", "zone1.biot.3", "zone1.biot",
                             "zone1.exit", "zone1.zone", "exit.TAV", "zone1.exit.TAV.x", ""})
        EXPECT_FALSE(FindMetric(name)) << name;
}

TEST(WhatIfNames, UnknownNamesAreRefusedWithTheValidOnes) {
    const auto parsed = ParseMetricList("zone3.exit.TAV,zone3.exit.TMAX");
    EXPECT_TRUE(parsed.Metrics.empty());
    EXPECT_NE(parsed.Error.find("unknown metric 'zone3.exit.TMAX'"), std::string::npos);
    for (const char* path : {"exit.TAV", "biot.1", "exact.exit.T11", "residence_s"})
        EXPECT_NE(parsed.Error.find(path), std::string::npos) << path;

    const auto axis = ParseSweepAxis("sped=10:40:31");
    EXPECT_EQ(axis.Error, "unknown input 'sped'; valid inputs: density, specific_heat, "
                          "conductivity, thickness, speed, initial_temp, dz, layers, zone1.htc1, "
                          "zone1.htc2, zone1.outer1, zone1.outer2, zone1.length, zone2.htc1, "
                          "zone2.htc2, zone2.outer1, zone2.outer2, zone2.length, zone3.htc1, "
                          "zone3.htc2, zone3.outer1, zone3.outer2, zone3.length, zone4.htc1, "
                          "zone4.htc2, zone4.outer1, zone4.outer2, zone4.length");
    EXPECT_EQ(ParseMetricList("zone3.exit.TAV,line.exit.T1").Metrics.size(), 2u);
}

TEST(WhatIfNames, AxesCarryTheUnitsOfTheLabels) {
    const std::string celsius = "\u2103";
    EXPECT_EQ(InputUnit("speed"), "m/min");
    EXPECT_EQ(InputUnit("initial_temp"), celsius);
    EXPECT_EQ(InputUnit("layers"), "");
    EXPECT_EQ(InputUnit("zone4.htc2"), "cal/cm2\u00b7s\u00b7" + celsius);
    EXPECT_EQ(InputUnit("zone2.outer1"), celsius);
    EXPECT_EQ(InputUnit("zone3.length"), "cm");
    EXPECT_EQ(MetricUnit("zone3.exact.exit.TAV"), celsius);
    EXPECT_EQ(MetricUnit("zone1.exact.max_error.interior"), celsius);
    EXPECT_EQ(MetricUnit("zone2.max_rate_of_mean.heating_C_per_s"), celsius + "/s");
    EXPECT_EQ(MetricUnit("zone1.peak.z_cm"), "cm");
    EXPECT_EQ(MetricUnit("line.residence_s"), "s");
    EXPECT_EQ(MetricUnit("zone1.biot.1"), "");
    EXPECT_EQ(MetricUnit("zone1.mesh_fourier"), "");
}

} // namespace
} // namespace korvane
