#pragma once

#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace korvane {

// A product's process window: limits on metrics of a run, each with both
// bounds (a one-sided limit has a far other bound).
struct WindowLimit {
    std::string Metric;
    std::string Label; // empty when the file gives none
    double Min = 0, Max = 0;
};

struct ProcessWindow {
    std::string Name; // empty when the file gives none
    std::vector<WindowLimit> Limits;
};

// Why a name is no metric that a limit may name ("unknown metric 'x'; valid
// metrics: ..."), or empty when it is one.
using MetricCheck = std::function<std::string(std::string_view name)>;

// A window file's JSON text:
//   {"name": "cure", "limits": [{"metric": M, "min": A, "max": B, "label": L}, ...]}
// "name" and "label" may be left out. A refusal names its place: the line and
// column of a syntax error, or the limit (from 1) and what is wrong with it.
std::variant<ProcessWindow, std::string> ParseWindow(std::string_view text,
                                                     const MetricCheck& check);

// The same from a file; the message starts with the file's name.
std::variant<ProcessWindow, std::string> ReadWindowFile(const std::string& path,
                                                        const MetricCheck& check);

// The process window index of one limit as the profiling trade has it:
// 100 |value - midpoint| / half the range, so 100 on either bound; NaN for NaN.
double LimitIndex(double value, double min, double max);

struct LimitResult {
    double Value = std::numeric_limits<double>::quiet_NaN();
    double Index = std::numeric_limits<double>::quiet_NaN();
    bool Pass = false; // min <= value <= max; false without a value
};

// The run's index is the largest of its limits', NaN when a limit has no
// value; it is inside the window when that is at most 100.
struct WindowResult {
    double Pwi = std::numeric_limits<double>::quiet_NaN();
    bool Pass = false;
    std::vector<LimitResult> Limits; // in the window's order
};

// value(metric) reads a metric of the run, NaN when it has none.
WindowResult EvaluateWindow(const ProcessWindow& window,
                            const std::function<double(const std::string& metric)>& value);

} // namespace korvane
