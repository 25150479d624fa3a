#include "WhatIfPlan.h"

#include "RunInput.h"
#include "WhatIfOptions.h"

#include <algorithm>

namespace korvane {

namespace {

// The names of a list separated by commas, spaces around them dropped, empty ones left out.
std::vector<std::string_view> ListedNames(std::string_view list) {
    constexpr std::string_view space = " \t\r\n\f\v";
    std::vector<std::string_view> names;
    std::size_t start = 0;
    while (start <= list.size()) {
        const auto comma = std::min(list.find(',', start), list.size());
        std::string_view name = list.substr(start, comma - start);
        start = comma + 1;
        name.remove_prefix(std::min(name.find_first_not_of(space), name.size()));
        name.remove_suffix(name.size() - (name.find_last_not_of(space) + 1));
        if (!name.empty())
            names.push_back(name);
    }
    return names;
}

} // namespace

MetricPlan PlanMetrics(std::string_view list, bool withExact) {
    MetricPlan plan;
    const auto listed = [&](const std::string& name) {
        return std::find(plan.Names.begin(), plan.Names.end(), name) != plan.Names.end();
    };
    for (const std::string_view name : ListedNames(list)) {
        if (listed(std::string(name)))
            continue;
        if (!FindMetric(name) && plan.Error.empty())
            plan.Error = UnknownMetricMessage(name);
        plan.Names.emplace_back(name);
        plan.ExactOf.push_back(-1);
        const std::string exact = ExactCompanion(name);
        if (withExact && !exact.empty() && !listed(exact)) {
            plan.ExactOf.back() = static_cast<int>(plan.Names.size());
            plan.Names.push_back(exact);
            plan.ExactOf.push_back(-1);
        }
    }
    return plan;
}

std::string WithWindowMetrics(std::string_view list, bool window) {
    std::vector<std::string_view> kept;
    bool any = false;
    for (const std::string_view name : ListedNames(list)) {
        const bool windowMetric = name.starts_with("window.");
        any = any || windowMetric;
        if (window || !windowMetric)
            kept.push_back(name);
    }
    if (window == any)
        return std::string(list);
    if (window)
        kept.push_back("window.pwi");
    std::string joined;
    for (const std::string_view name : kept)
        joined += (joined.empty() ? "" : ", ") + std::string(name);
    return joined;
}

InputRange DefaultRange(const InputName& input, std::string_view value) {
    if (input.Integer)
        return {MinLayerCount, MaxLayerCount};
    std::string text(value);
    std::replace(text.begin(), text.end(), ',', '.');
    const auto number = ParsePlainNumber(text);
    if (!number || *number == 0)
        return {0, 1};
    return {*number / 2, *number * 3 / 2};
}

} // namespace korvane
