#pragma once

#include "ProfileStats.h"

#include <cstddef>
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

// A metric of a run by name:
// - a number of the JSON report by its path: "zone3.exit.TAV", "zone1.biot.2";
//   "line." stands for the last computed zone;
// - a statistic of the whole line, "profile.CH.STAT" on the scheme's rows or
//   "profile.exact.CH.STAT" on the exact solution at the same rows:
//   "profile.T6.time_above[217.5]" (see ParseProfileStat);
// - the process window's index, "window.pwi" or "window.N.index" (N from 1),
//   "window.exact..." for the exact side.
struct MetricName {
    enum class Source { Report, Profile, Window };
    std::string Name;
    Source From = Source::Report;
    int Zone = 0;                  // 1..4, 0 for "line"
    std::vector<std::string> Path; // keys below the zone; array elements as "1", "2", ...
    bool NeedsExact = false;       // reads the exact solution itself
    ProfileStat Stat;              // of a profile statistic
    std::size_t Limit = 0;         // of a window metric: 0 for pwi, else the limit from 1
};

std::optional<MetricName> FindMetric(std::string_view name);
// Paths below a zone ("rows", "exit.TAV", "biot.1", ...), in the report's order.
const std::vector<std::string>& MetricPaths();
std::string MetricNameList();

// The exact solution's companion of a metric: "zone3.exit.TAV" ->
// "zone3.exact.exit.TAV", "profile.T6.peak.T" -> "profile.exact.T6.peak.T",
// "window.pwi" -> "window.exact.pwi"; empty when there is none.
std::string ExactCompanion(std::string_view metric);

// Empty when a process window's limit may name the metric, else why not: an
// unknown name, or a window metric (a window does not limit itself).
std::string LimitMetricProblem(std::string_view name);

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
// A metric's unit follows from its last word after the last dot outside
// square brackets.
std::string InputUnit(std::string_view input);
std::string MetricUnit(std::string_view metric);

} // namespace korvane
