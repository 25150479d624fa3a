#pragma once

#include "ExactSlab.h"
#include "ProcessWindow.h"
#include "RunHistory.h"
#include "WhatIfNames.h"
#include "ZoneMetrics.h"

#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace korvane {

// Every metric of one computed run by name. The exact solution, the zone
// metrics and the window are worked out the first time a metric needs them,
// so a trial that reads the scheme's side alone never computes the exact one.
// Holds references: run and window outlive it.
class RunMetrics {
  public:
    RunMetrics(const RunHistory& run, const ProcessWindow* window);
    // With the exact solution already worked out for the run's rows (ExactFor
    // and ExactAlongRun of run).
    RunMetrics(const RunHistory& run, const ProcessWindow* window, ExactSlab slab, ExactRun exact);
    ~RunMetrics();
    RunMetrics(const RunMetrics&) = delete;
    RunMetrics& operator=(const RunMetrics&) = delete;

    // NaN where the run has no such value: a zone not computed, no exact
    // solution, a temperature never reached, a window metric without a window.
    double Value(const MetricName& metric);
    // By its name; NaN for a name that is no metric.
    double Value(const std::string& name);

    const ExactSlab& Slab();
    const ExactRun& ExactRows();
    // The zone metrics with the exact solution's beside them.
    const std::vector<ZoneMetrics>& Zones();
    // The window (there must be one) on the scheme's side, or on the exact
    // side, where a report metric reads its exact companion and a profile
    // statistic the exact solution at the same rows.
    const WindowResult& Window(bool exact);

  private:
    struct Cache;
    const RunHistory& run_;
    const ProcessWindow* window_;
    std::unique_ptr<Cache> cache_;
};

// The metric a limit reads on the exact side: its companion, or the metric
// itself where both sides are alike (rows, biot, the distances from the exact
// solution).
std::string ExactSideOf(const std::string& metric);

// A process-window file whose limits name metrics of a run, or why it is refused.
std::variant<ProcessWindow, std::string> LoadWindow(const std::string& path);

} // namespace korvane
