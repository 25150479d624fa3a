#pragma once

#include "WhatIfNames.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// What the viewer's What-if panel asks korvane-batch for, planned here so
// that the panel only shows it.

// The metrics of a sweep from a list separated by commas: each name once, in
// the order given, spaces around it ignored, and after each the exact
// solution's companion when one is wanted and not named already.
struct MetricPlan {
    std::vector<std::string> Names;
    std::vector<int> ExactOf; // for each name, the index of its companion or -1
    // The message for the first name that is no metric; that name is still
    // listed (without a companion), so that a list of targets shows it.
    std::string Error;
};
MetricPlan PlanMetrics(std::string_view list, bool withExact);

// The list of metrics when a process window is opened or closed: with a
// window, window.pwi joins a list that has no window metric (its exact
// companion follows from the plan); without one, the window metrics leave
// it. Any other list comes back as it is.
std::string WithWindowMetrics(std::string_view list, bool window);

// The range a sweep of an input starts with, from the input's text in the
// data file ("." or "," as the decimal point): half to one and a half times
// the value, 0 to 1 for zero or no number, and for the layer count the counts
// the checks accept.
struct InputRange {
    double From = 0, To = 0;
};
InputRange DefaultRange(const InputName& input, std::string_view value);

} // namespace korvane
