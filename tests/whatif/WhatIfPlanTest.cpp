#include "WhatIfPlan.h"
#include "RunInput.h"
#include "WhatIfSupport.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(WhatIfPlan, EachMetricOnceWithItsExactCompanionAfterIt) {
    auto plan = PlanMetrics(" zone3.exit.TAV , zone1.biot.1,,zone3.exit.TAV,line.exit.T1 ", true);
    EXPECT_EQ(plan.Error, "");
    EXPECT_EQ(plan.Names,
              (std::vector<std::string>{"zone3.exit.TAV", "zone3.exact.exit.TAV", "zone1.biot.1",
                                        "line.exit.T1", "line.exact.exit.T1"}));
    EXPECT_EQ(plan.ExactOf, (std::vector<int>{1, -1, -1, 4, -1}));

    // A companion named first is not named twice.
    plan = PlanMetrics("zone3.exact.exit.TAV,zone3.exit.TAV", true);
    EXPECT_EQ(plan.Names, (std::vector<std::string>{"zone3.exact.exit.TAV", "zone3.exit.TAV"}));
    EXPECT_EQ(plan.ExactOf, (std::vector<int>{-1, -1}));
    EXPECT_EQ(PlanMetrics("zone3.exit.TAV", false).Names.size(), 1u);
    EXPECT_TRUE(PlanMetrics(" , ", true).Names.empty());

    // An unknown name is the error, and still listed for the targets.
    plan = PlanMetrics("zone3.exit.TMAX,zone3.exit.TAV,zone5.exit.TAV", true);
    EXPECT_EQ(plan.Error.rfind("unknown metric 'zone3.exit.TMAX'; valid metrics:", 0), 0u);
    EXPECT_EQ(plan.Names, (std::vector<std::string>{"zone3.exit.TMAX", "zone3.exit.TAV",
                                                    "zone3.exact.exit.TAV", "zone5.exit.TAV"}));
    EXPECT_EQ(ExactCompanion("zone1.biot.1"), "");
    EXPECT_EQ(ExactCompanion("TAV"), "");
}

// Opening a window offers its index, with the exact side from the plan;
// closing it takes the window metrics out again; any other list stays as typed.
TEST(WhatIfPlan, AWindowOffersItsIndexAndTakesItAlongWhenClosed) {
    EXPECT_EQ(WithWindowMetrics("line.exit.TAV", true), "line.exit.TAV, window.pwi");
    EXPECT_EQ(WithWindowMetrics(" ", true), "window.pwi");
    EXPECT_EQ(WithWindowMetrics("zone3.exit.TAV,window.2.index", true),
              "zone3.exit.TAV,window.2.index");
    EXPECT_EQ(WithWindowMetrics("zone3.exit.TAV ,  profile.T6.peak.T", false),
              "zone3.exit.TAV ,  profile.T6.peak.T");
    EXPECT_EQ(WithWindowMetrics("window.pwi, zone3.exit.TAV,window.exact.1.index,", false),
              "zone3.exit.TAV");
    EXPECT_EQ(WithWindowMetrics("window.pwi", false), "");
    const MetricPlan plan = PlanMetrics(WithWindowMetrics("line.exit.TAV", true), true);
    EXPECT_EQ(plan.Names, (std::vector<std::string>{"line.exit.TAV", "line.exact.exit.TAV",
                                                    "window.pwi", "window.exact.pwi"}));
    EXPECT_EQ(plan.ExactOf, (std::vector<int>{1, -1, 3, -1}));
}

TEST(WhatIfPlan, DefaultRangesAroundTheValueAndTheLayerCountsTheChecksAccept) {
    const auto range = [](const char* input, const char* value) {
        const InputRange r = DefaultRange(*FindInput(input), value);
        return std::pair{r.From, r.To};
    };
    EXPECT_EQ(range("speed", "27.0"), (std::pair{13.5, 40.5}));
    EXPECT_EQ(range("dz", "0,5"), (std::pair{0.25, 0.75}));
    EXPECT_EQ(range("initial_temp", "0"), (std::pair{0.0, 1.0}));
    EXPECT_EQ(range("zone4.htc1", ""), (std::pair{0.0, 1.0}));

    // Both ends of the layers' range run; one beyond either is refused.
    const auto [from, to] = range("layers", "10");
    const WhatIfCase base = testing::DefaultCase();
    const InputName* layers = FindInput("layers");
    EXPECT_TRUE(base.Run({{layers, from}}, {}).Computed());
    EXPECT_TRUE(base.Run({{layers, to}}, {}).Computed());
    EXPECT_EQ(base.Run({{layers, from - 1}}, {}).Message, CheckMessage(Check::TooFewLayers));
    EXPECT_EQ(base.Run({{layers, to + 1}}, {}).Message, CheckMessage(Check::TooManyLayers));
}

} // namespace
} // namespace korvane
