#include "WhatIfNames.h"

#include "RunExport.h"
#include "ZoneMetrics.h"

#include <nlohmann/json.hpp>

namespace korvane {

namespace {

std::vector<InputName> MakeInputNames() {
    std::vector<InputName> names = {{"density", 1},   {"specific_heat", 2}, {"conductivity", 3},
                                    {"thickness", 4}, {"speed", 5},         {"initial_temp", 6},
                                    {"dz", 7},        {"layers", 8, true}};
    const char* const fields[] = {"htc1", "htc2", "outer1", "outer2", "length"};
    for (int zone = 1; zone <= 4; ++zone)
        for (int f = 0; f < 5; ++f)
            names.push_back({"zone" + std::to_string(zone) + "." + fields[f], 4 + 5 * zone + f});
    return names;
}

void CollectLeaves(const nlohmann::ordered_json& node, const std::string& prefix,
                   std::vector<std::string>& out) {
    if (node.is_object()) {
        for (auto it = node.begin(); it != node.end(); ++it)
            CollectLeaves(it.value(), prefix.empty() ? it.key() : prefix + "." + it.key(), out);
    } else if (node.is_array()) {
        for (std::size_t i = 0; i < node.size(); ++i)
            CollectLeaves(node[i], prefix + "." + std::to_string(i + 1), out);
    } else {
        out.push_back(prefix);
    }
}

// The report itself is the list of metrics: whatever it gains, a what-if can ask for.
std::vector<std::string> MakeMetricPaths() {
    const auto report = nlohmann::ordered_json::parse(ReportJson({ZoneMetrics{}}));
    std::vector<std::string> paths;
    CollectLeaves(report["zones"][0], "", paths);
    std::erase(paths, "zone");
    return paths;
}

std::vector<std::string> Split(std::string_view text, char by) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const auto end = text.find(by, start);
        parts.emplace_back(text.substr(start, end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

} // namespace

const std::vector<InputName>& InputNames() {
    static const std::vector<InputName> names = MakeInputNames();
    return names;
}

const InputName* FindInput(std::string_view name) {
    for (const auto& input : InputNames())
        if (input.Name == name)
            return &input;
    return nullptr;
}

std::string InputNameList() {
    std::string list;
    for (const auto& input : InputNames())
        list += (list.empty() ? "" : ", ") + input.Name;
    return list;
}

const std::vector<std::string>& MetricPaths() {
    static const std::vector<std::string> paths = MakeMetricPaths();
    return paths;
}

namespace {

// "window.pwi", "window.3.index" and their exact side.
std::optional<MetricName> FindWindowMetric(std::string_view name, std::string_view rest) {
    MetricName metric;
    metric.From = MetricName::Source::Window;
    if (rest.starts_with("exact.")) {
        metric.NeedsExact = true;
        rest.remove_prefix(6);
    }
    if (rest != "pwi") {
        // N.index, N a whole number from 1 written plainly.
        const auto dot = rest.find('.');
        const std::string_view number = rest.substr(0, dot);
        if (dot == std::string_view::npos || rest.substr(dot + 1) != "index" || number.empty() ||
            number.size() > 6 || number.front() == '0' ||
            number.find_first_not_of("0123456789") != std::string_view::npos)
            return std::nullopt;
        metric.Limit = std::stoul(std::string(number));
    }
    metric.Name = std::string(name);
    return metric;
}

std::optional<MetricName> FindProfileMetric(std::string_view name, std::string_view rest) {
    MetricName metric;
    metric.From = MetricName::Source::Profile;
    if (rest.starts_with("exact.")) {
        metric.NeedsExact = true;
        rest.remove_prefix(6);
    }
    const auto stat = ParseProfileStat(rest);
    if (!stat)
        return std::nullopt;
    metric.Stat = *stat;
    metric.Name = std::string(name);
    return metric;
}

} // namespace

std::optional<MetricName> FindMetric(std::string_view name) {
    const auto dot = name.find('.');
    if (dot == std::string_view::npos)
        return std::nullopt;
    const std::string_view scope = name.substr(0, dot);
    const std::string_view path = name.substr(dot + 1);
    if (scope == "profile")
        return FindProfileMetric(name, path);
    if (scope == "window")
        return FindWindowMetric(name, path);
    MetricName metric;
    if (scope == "line")
        metric.Zone = 0;
    else if (scope.size() == 5 && scope.substr(0, 4) == "zone" && scope[4] >= '1' &&
             scope[4] <= '4')
        metric.Zone = scope[4] - '0';
    else
        return std::nullopt;
    bool known = false;
    for (const auto& p : MetricPaths())
        known = known || p == path;
    if (!known)
        return std::nullopt;
    metric.Name = std::string(name);
    metric.Path = Split(path, '.');
    metric.NeedsExact = metric.Path.front() == "exact";
    return metric;
}

std::string MetricNameList() {
    std::string list = "zoneK.PATH (K = 1..4) or line.PATH (the last computed zone), PATH one of ";
    bool first = true;
    for (const auto& p : MetricPaths()) {
        list += (first ? "" : ", ") + p;
        first = false;
    }
    list += "; profile." + ProfileStatForms() +
            " (the whole line; profile.exact.CH.STAT on the exact solution); window.pwi, "
            "window.N.index (N = 1.. the window's limits; window.exact.pwi, "
            "window.exact.N.index on the exact solution) with a process window";
    return list;
}

std::string ExactCompanion(std::string_view metric) {
    const auto dot = metric.find('.');
    if (dot == std::string_view::npos || metric.substr(dot + 1).starts_with("exact."))
        return {};
    const std::string exact =
        std::string(metric.substr(0, dot)) + ".exact." + std::string(metric.substr(dot + 1));
    return FindMetric(exact) ? exact : std::string();
}

std::string LimitMetricProblem(std::string_view name) {
    const auto metric = FindMetric(name);
    if (!metric)
        return UnknownMetricMessage(name);
    if (metric->From == MetricName::Source::Window)
        return "a limit can not name a window metric: " + std::string(name);
    return {};
}

ParsedMetrics ParseMetricList(std::string_view text) {
    ParsedMetrics parsed;
    for (const auto& name : Split(text, ',')) {
        auto metric = FindMetric(name);
        if (!metric) {
            parsed.Error = UnknownMetricMessage(name);
            parsed.Metrics.clear();
            return parsed;
        }
        parsed.Metrics.push_back(std::move(*metric));
    }
    return parsed;
}

std::string UnknownInputMessage(std::string_view name) {
    return "unknown input '" + std::string(name) + "'; valid inputs: " + InputNameList();
}

std::string UnknownMetricMessage(std::string_view name) {
    return "unknown metric '" + std::string(name) + "'; valid metrics: " + MetricNameList();
}

std::string InputUnit(std::string_view input) {
    const InputName* found = FindInput(input);
    if (!found)
        return {};
    static const char* const plate[] = {
        "",   "g/cm3", "cal/g\u00b7\u2103", "cal/s\u00b7cm\u00b7\u2103", "cm", "m/min", "\u2103",
        "cm", ""};
    if (found->Line <= 8)
        return plate[found->Line];
    static const char* const zone[] = {"cal/cm2\u00b7s\u00b7\u2103", "cal/cm2\u00b7s\u00b7\u2103",
                                       "\u2103", "\u2103", "cm"};
    return zone[(found->Line - 9) % 5];
}

std::string MetricUnit(std::string_view metric) {
    // The last word: after the last dot outside square brackets.
    std::size_t start = 0;
    int depth = 0;
    for (std::size_t i = 0; i < metric.size(); ++i) {
        if (metric[i] == '[')
            ++depth;
        else if (metric[i] == ']')
            --depth;
        else if (metric[i] == '.' && depth == 0)
            start = i + 1;
    }
    const std::string_view leaf = metric.substr(start);
    if (leaf.ends_with("_C_per_s") || leaf.ends_with("_rate"))
        return "\u2103/s";
    if (leaf.ends_with("_cm"))
        return "cm";
    if (leaf.ends_with("_s") || leaf.starts_with("time_"))
        return "s";
    if (leaf.starts_with('T') || leaf == "dT" || leaf == "faces" || leaf == "interior" ||
        leaf == "mean")
        return "\u2103";
    return {};
}

} // namespace korvane
