#pragma once

#include "CalcTypes.h"
#include "DataFile.h"
#include "ProcessWindow.h"
#include "WhatIfNames.h"

#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace korvane {

// One input set to one value for a trial.
struct TrialSetting {
    const InputName* Input = nullptr;
    double Value = 0;
};

// What a trial gave: the metrics (NaN where the run has no such value, for
// example a zone that was not computed or one without an exact solution), or
// the message that refused it.
struct TrialOutcome {
    std::vector<double> Metrics;
    std::string Message; // empty when the trial was computed
    bool Computed() const { return Message.empty(); }
};

// The value as it would stand in a data file: shortest round-trip digits with
// the current decimal separator; a whole number for an integer input.
std::string ValueText(double value, bool integer);

// The check a refusal message belongs to (1..16), 0 for a read failure or any
// other message.
int CheckNumberOf(const std::string& message);

// A data file holding these values, one "name = value" line each (LF).
std::string DataFileText(const DataLineArray& values);

// A data file's 28 values, the base of every trial. A trial is exactly what
// korvane-batch runs on the same file with the trial's values written in:
// the same box texts, the same read and the same sixteen checks, then the
// march in memory.
class WhatIfCase {
  public:
    WhatIfCase(DataLineArray values, std::string dataFileName);

    // The data file read as korvane-batch reads it, or its message.
    static std::variant<WhatIfCase, std::string> FromDataFile(const std::string& path);

    const DataLineArray& Values() const { return values_; }
    const std::string& DataFileName() const { return dataFileName_; }

    // The data values with the settings written in.
    DataLineArray TrialValues(const std::vector<TrialSetting>& settings) const;

    // The validated inputs of a trial, or the first failing check's message.
    std::variant<TCalcInput, std::string> TrialInput(const std::vector<TrialSetting>& settings,
                                                     const std::string& saveName) const;

    // Computes a trial in memory (no file) and reads the metrics off the run,
    // the exact solution only when a metric needs it. Uses the core's
    // globals: one trial at a time in a process.
    TrialOutcome Run(const std::vector<TrialSetting>& settings,
                     const std::vector<MetricName>& metrics) const;

    // The process window that window metrics read; none at first.
    void SetWindow(std::shared_ptr<const ProcessWindow> window) { window_ = std::move(window); }
    const ProcessWindow* Window() const { return window_.get(); }
    // Empty, or why a trial can not give the metric: a window metric without
    // a window, or of a limit the window does not have.
    std::string MetricProblem(const MetricName& metric) const;

  private:
    DataLineArray values_;
    std::string dataFileName_;
    std::shared_ptr<const ProcessWindow> window_;
};

} // namespace korvane
