#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// An input that a what-if varies: the data-file line it stands for.
struct InputName {
    std::string Name; // "speed", "zone2.length", ...
    int Line = 0;     // 1..28
    bool Integer = false;
};

// Every input, in the order of the data file's lines.
const std::vector<InputName>& InputNames();
const InputName* FindInput(std::string_view name);
std::string InputNameList();

// A metric of the JSON report by its path: "zone3.exit.TAV", "zone1.biot.2";
// "line." stands for the last computed zone.
struct MetricName {
    std::string Name;
    int Zone = 0;                  // 1..4, 0 for "line"
    std::vector<std::string> Path; // keys below the zone; array elements as "1", "2", ...
    bool NeedsExact = false;
};

std::optional<MetricName> FindMetric(std::string_view name);
// Paths below a zone ("rows", "exit.TAV", "biot.1", ...), in the report's order.
const std::vector<std::string>& MetricPaths();
std::string MetricNameList();

// Splits "a,b,c" into names; an unknown name gives an error message that lists
// the valid ones.
struct ParsedMetrics {
    std::vector<MetricName> Metrics;
    std::string Error;
};
ParsedMetrics ParseMetricList(std::string_view text);

// "unknown input 'x'; valid inputs: ..."
std::string UnknownInputMessage(std::string_view name);
std::string UnknownMetricMessage(std::string_view name);

// Units for axis titles, UTF-8 ("m/min", "\u2103", ...); empty for a pure number.
std::string InputUnit(std::string_view input);
std::string MetricUnit(std::string_view metric);

} // namespace korvane
