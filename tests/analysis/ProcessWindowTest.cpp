#include "ProcessWindow.h"
#include "TestSupport.h"
#include "WhatIfNames.h"
#include "WindowJson.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace korvane {
namespace {

using korvane::testing::TempDir;

const double NaN = std::numeric_limits<double>::quiet_NaN();

std::string Refusal(const std::string& text) {
    const auto parsed = ParseWindow(text, LimitMetricProblem);
    return std::holds_alternative<std::string>(parsed) ? std::get<std::string>(parsed) : "accepted";
}

TEST(ProcessWindow, IndexIsTheDistanceFromTheMidpointInHalfRanges) {
    EXPECT_EQ(LimitIndex(245, 240, 250), 0);
    EXPECT_EQ(LimitIndex(240, 240, 250), 100);
    EXPECT_EQ(LimitIndex(250, 240, 250), 100);
    EXPECT_EQ(LimitIndex(247.5, 240, 250), 50);
    EXPECT_EQ(LimitIndex(230, 240, 250), 300);
    // Bounds that are no round numbers still give 100 on them.
    EXPECT_EQ(LimitIndex(0.1, 0.1, 0.7), 100);
    EXPECT_EQ(LimitIndex(0.7, 0.1, 0.7), 100);
    EXPECT_NEAR(LimitIndex(0.4, 0.1, 0.7), 0, 1e-13);
    EXPECT_TRUE(std::isnan(LimitIndex(NaN, 0, 1)));

    const ProcessWindow window{"cure",
                               {{"a", "", 240, 250}, {"b", "", 40, 90}, {"c", "", 115, 125}}};
    std::map<std::string, double> values = {{"a", 247.5}, {"b", 65}, {"c", 125}};
    const auto read = [&](const std::string& m) { return values.at(m); };
    auto result = EvaluateWindow(window, read);
    EXPECT_EQ(result.Pwi, 100);
    EXPECT_TRUE(result.Pass);
    ASSERT_EQ(result.Limits.size(), 3u);
    EXPECT_EQ(result.Limits[0].Index, 50);
    EXPECT_EQ(result.Limits[1].Index, 0);
    EXPECT_TRUE(result.Limits[2].Pass);

    values["b"] = 95; // 20 % of the range beyond max
    result = EvaluateWindow(window, read);
    EXPECT_EQ(result.Pwi, 120);
    EXPECT_FALSE(result.Pass);
    EXPECT_FALSE(result.Limits[1].Pass);
    EXPECT_TRUE(result.Limits[0].Pass);

    // A limit without a value is outside and leaves the run without an index.
    values["b"] = NaN;
    result = EvaluateWindow(window, read);
    EXPECT_TRUE(std::isnan(result.Pwi));
    EXPECT_FALSE(result.Pass);
    EXPECT_FALSE(result.Limits[1].Pass);
    EXPECT_TRUE(std::isnan(result.Limits[1].Index));
    EXPECT_EQ(result.Limits[0].Index, 50);

    const Json side = WindowSideJson(window, result);
    EXPECT_TRUE(side["pwi"].is_null());
    EXPECT_EQ(side["pass"], false);
    EXPECT_EQ(side["limits"][1]["metric"], "b");
    EXPECT_TRUE(side["limits"][1]["label"].is_null());
    EXPECT_TRUE(side["limits"][1]["value"].is_null());
    EXPECT_EQ(side["limits"][0]["index"], 50.0);
    EXPECT_EQ(JsonText(WindowJson(window, result, result)).rfind("{\n  \"scheme\": {\n", 0), 0u);
}

TEST(ProcessWindow, FileReadsEveryLimitInOrder) {
    const auto parsed = ParseWindow(R"({"name": "cure", "limits": [
  {"metric": "profile.T6.time_above[180]", "min": 40, "max": 90, "label": "time above 180 ℃"},
  {"metric": "profile.T1.peak.T", "min": 240, "max": 250},
  {"max": 125, "min": -1e3, "metric": "zone3.exit.TAV"}]})",
                                    LimitMetricProblem);
    ASSERT_TRUE(std::holds_alternative<ProcessWindow>(parsed)) << std::get<std::string>(parsed);
    const auto& window = std::get<ProcessWindow>(parsed);
    EXPECT_EQ(window.Name, "cure");
    ASSERT_EQ(window.Limits.size(), 3u);
    EXPECT_EQ(window.Limits[0].Label, "time above 180 \u2103");
    EXPECT_EQ(window.Limits[1].Metric, "profile.T1.peak.T");
    EXPECT_EQ(window.Limits[1].Label, "");
    EXPECT_EQ(window.Limits[2].Min, -1000);
    EXPECT_EQ(window.Limits[2].Max, 125);
    EXPECT_EQ(Refusal(R"({"limits": [{"metric": "line.rows", "min": 0, "max": 1}]})"), "accepted");
}

TEST(ProcessWindow, RefusalsNameThePlace) {
    // Syntax: the line and column.
    EXPECT_EQ(Refusal("{\"limits\": [\n  {\"metric\": \"zone1.rows\" \"min\": 1}]}")
                  .rfind("line 2, column 31: syntax error", 0),
              0u);
    EXPECT_EQ(Refusal("").rfind("line 1, column 1: ", 0), 0u);
    EXPECT_EQ(Refusal("{\"limits\": []} x").rfind("line 1, column 16: ", 0), 0u);
    EXPECT_NE(Refusal(R"({"limits": [{"metric": "zone1.rows", "min": 1e999, "max": 2}]})"),
              "accepted");

    const std::string one = R"({"limits": [{"metric": "zone1.rows", "min": 0, "max": 1}, )";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {one + R"({"metric": "zone1.rows", "min": 5, "max": 5}]})",
         "limit 2 (zone1.rows): min 5 is not below max 5"},
        {one + R"({"metric": "zone1.rows", "min": 6, "max": 5.5}]})",
         "limit 2 (zone1.rows): min 6 is not below max 5.5"},
        {one + R"({"metric": "zone1.rows", "min": 5}]})",
         "limit 2 (zone1.rows) has no \"max\" (both bounds are needed: write a one-sided limit "
         "with a far other bound)"},
        {one + R"({"metric": "zone1.rows", "min": "5", "max": 6}]})",
         "limit 2 (zone1.rows): \"min\" is not a number"},
        {one + R"({"metric": "zone1.rows", "min": 5, "max": 6, "mx": 7}]})",
         "limit 2 (zone1.rows): unknown key \"mx\" (a limit has \"metric\", \"min\", \"max\" and "
         "\"label\")"},
        {one + R"({"metric": "zone1.rows", "min": 5, "max": 6, "min": 7}]})",
         "limit 2 names \"min\" twice"},
        {one + R"({"min": 5, "max": 6}]})", "limit 2 has no \"metric\""},
        {one + R"({"metric": 3, "min": 5, "max": 6}]})", "limit 2: \"metric\" is not a text"},
        {one + R"({"metric": "zone1.rows", "min": 5, "max": 6, "label": 1}]})",
         "limit 2 (zone1.rows): \"label\" is not a text"},
        {one + R"({"metric": "window.pwi", "min": 5, "max": 6}]})",
         "limit 2: a limit can not name a window metric: window.pwi"},
        {one + "[1, 2]]}",
         "limit 2 is not an object {\"metric\": NAME, \"min\": NUMBER, \"max\": NUMBER}"},
        {R"({"limits": []})", "\"limits\" is empty"},
        {R"({"name": "x"})", "the window has no \"limits\""},
        {R"({"name": 1, "limits": []})", "\"name\" is not a text"},
        {R"({"limits": {}})",
         "\"limits\" is not an array [{\"metric\": NAME, \"min\": NUMBER, \"max\": NUMBER}, ...]"},
        {R"({"limit": []})", "unknown key \"limit\" (a window has \"name\" and \"limits\")"},
        {R"({"name": "a", "name": "b", "limits": []})", "the window names \"name\" twice"},
        {"[]", "a window is a JSON object {\"name\": TEXT, \"limits\": [{\"metric\": NAME, "
               "\"min\": NUMBER, \"max\": NUMBER}, ...]}"}};
    for (const auto& [text, message] : cases)
        EXPECT_EQ(Refusal(text), message) << text;

    // An unknown metric: the valid forms.
    const std::string unknown =
        Refusal(one + R"({"metric": "profile.T6.time_above[1,5]", "min": 5, "max": 6}]})");
    EXPECT_EQ(unknown.rfind("limit 2: unknown metric 'profile.T6.time_above[1,5]'; valid "
                            "metrics: zoneK.PATH",
                            0),
              0u)
        << unknown;
    EXPECT_NE(unknown.find("time_between[X:Y]"), std::string::npos);

    // A file: its name first; one that cannot be read says why.
    TempDir dir;
    testing::WriteFileBytes(dir.file("w.json"), "{\"limits\": [}");
    auto read = ReadWindowFile(dir.file("w.json"), LimitMetricProblem);
    ASSERT_TRUE(std::holds_alternative<std::string>(read));
    EXPECT_EQ(std::get<std::string>(read).rfind(
                  "window file " + dir.file("w.json") + ": line 1, column 13: syntax error", 0),
              0u)
        << std::get<std::string>(read);
    read = ReadWindowFile(dir.file("none.json"), LimitMetricProblem);
    EXPECT_EQ(std::get<std::string>(read), "Can not read the window file " + dir.file("none.json") +
                                               " (No such file or directory)");
    read = ReadWindowFile(dir.path().string(), LimitMetricProblem);
    EXPECT_EQ(std::get<std::string>(read),
              "Can not read the window file " + dir.path().string() + " (Is a directory)");
}

} // namespace
} // namespace korvane
