#pragma once

#include "WhatIfCase.h"
#include "WhatIfOptions.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

struct SweepRow {
    std::size_t Index = 0;      // in the order of the whole grid, from 0
    std::vector<double> Inputs; // one per axis
    TrialOutcome Outcome;
};

// Every trial of the grid: the first axis outermost. A share computes only
// the trials whose index is Part modulo Parts, so that separate processes can
// split one sweep. onRow sees each row as it is done and may return false to
// stop.
void RunSweep(const WhatIfCase& base, const std::vector<SweepAxis>& axes,
              const std::vector<MetricName>& metrics,
              const std::function<bool(const SweepRow&)>& onRow, SweepShare share = {});

// The table as CSV (LF line ends): the varied inputs, the metrics and a last
// message column; numbers in shortest round-trip form with "." as the decimal
// point, empty where a trial has no value. A share's stream starts each line
// with the trial's number in the whole sweep (from 1, the K of --share K/N
// numbering alike), so a reader of several streams needs no arithmetic.
std::string SweepCsvHeader(const std::vector<SweepAxis>& axes,
                           const std::vector<MetricName>& metrics, bool withTrial = false);
std::string SweepCsvLine(const SweepRow& row, std::size_t metricCount, bool withTrial = false);

// A line of SweepCsvLine (without its line end) read back: NaN for an empty
// metric; nothing when the line is not one of that shape.
std::optional<SweepRow> ParseSweepCsvLine(std::string_view line, std::size_t inputCount,
                                          std::size_t metricCount, bool withTrial);

} // namespace korvane
