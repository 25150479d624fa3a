// Any bytes as a process-window file, and as a profile statistic's name: what
// is accepted holds only valid limits and reads back the same once written
// out again; what is refused says why.
#include "FuzzCheck.h"
#include "ProcessWindow.h"
#include "ProfileStats.h"
#include "WhatIfNames.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdint>
#include <string>
#include <variant>

namespace {

using Json = nlohmann::ordered_json;

std::string WrittenOut(const korvane::ProcessWindow& window) {
    Json limits = Json::array();
    for (const auto& limit : window.Limits) {
        Json item = {{"metric", limit.Metric}, {"min", limit.Min}, {"max", limit.Max}};
        if (!limit.Label.empty())
            item["label"] = limit.Label;
        limits.push_back(item);
    }
    Json root = {{"limits", limits}};
    if (!window.Name.empty())
        root["name"] = window.Name;
    return root.dump();
}

void CheckWindow(const std::string& text) {
    const auto parsed = korvane::ParseWindow(text, korvane::LimitMetricProblem);
    if (const auto* message = std::get_if<std::string>(&parsed)) {
        FUZZ_CHECK(!message->empty(), "a refusal without a reason");
        return;
    }
    const auto& window = std::get<korvane::ProcessWindow>(parsed);
    FUZZ_CHECK(!window.Limits.empty(), "a window without limits");
    for (const auto& limit : window.Limits) {
        FUZZ_CHECK(std::isfinite(limit.Min) && std::isfinite(limit.Max) && limit.Min < limit.Max,
                   "limit %s: %g .. %g", limit.Metric.c_str(), limit.Min, limit.Max);
        FUZZ_CHECK(korvane::LimitMetricProblem(limit.Metric).empty(), "limit %s",
                   limit.Metric.c_str());
        FUZZ_CHECK(korvane::LimitIndex(limit.Min, limit.Min, limit.Max) == 100 ||
                       !std::isfinite(limit.Max - limit.Min),
                   "the index on min of %s is not 100", limit.Metric.c_str());
    }
    const auto back = korvane::ParseWindow(WrittenOut(window), korvane::LimitMetricProblem);
    FUZZ_CHECK(std::holds_alternative<korvane::ProcessWindow>(back), "written out, refused: %s",
               std::get<std::string>(back).c_str());
    const auto& again = std::get<korvane::ProcessWindow>(back);
    FUZZ_CHECK(again.Name == window.Name && again.Limits.size() == window.Limits.size(),
               "written out, read otherwise");
    for (std::size_t i = 0; i < again.Limits.size(); ++i)
        FUZZ_CHECK(again.Limits[i].Metric == window.Limits[i].Metric &&
                       again.Limits[i].Label == window.Limits[i].Label &&
                       again.Limits[i].Min == window.Limits[i].Min &&
                       again.Limits[i].Max == window.Limits[i].Max,
                   "limit %zu reads back otherwise", i + 1);
}

// A name that is accepted holds no comma, so a --metrics list splits it
// nowhere, and its arguments are finite.
void CheckName(const std::string& text) {
    const auto stat = korvane::ParseProfileStat(text);
    if (!stat)
        return;
    FUZZ_CHECK(text.find(',') == std::string::npos, "a name with a comma: %s", text.c_str());
    FUZZ_CHECK(std::isfinite(stat->X) && std::isfinite(stat->Y), "arguments of %s", text.c_str());
    FUZZ_CHECK(korvane::FindMetric("profile." + text) &&
                   korvane::FindMetric("profile.exact." + text),
               "profile.%s is no metric", text.c_str());
    korvane::Channel channel = {{0, 0}, {1, 10}, {2, 5}};
    const double value = korvane::StatValue(channel, *stat);
    FUZZ_CHECK(std::isnan(value) || std::isfinite(value), "%s gives %g", text.c_str(), value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckWindow(text);
    CheckName(text);
    return 0;
}
