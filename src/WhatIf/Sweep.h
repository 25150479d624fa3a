#pragma once

#include "WhatIfCase.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// Steps values evenly spaced from From to To, both ends included.
struct SweepAxis {
    const InputName* Input = nullptr;
    double From = 0, To = 0;
    int Steps = 1;
};
std::vector<double> AxisValues(const SweepAxis& axis);

// "speed=10:40:31" ("." as the decimal point); an error message on failure.
struct ParsedAxis {
    SweepAxis Axis;
    std::string Error;
};
ParsedAxis ParseSweepAxis(std::string_view text);

// A number written with "." as the decimal point, nothing around it.
std::optional<double> ParsePlainNumber(std::string_view text);

struct SweepRow {
    std::size_t Index = 0;      // in the order of the whole grid
    std::vector<double> Inputs; // one per axis
    TrialOutcome Outcome;
};

// Every trial of the grid: the first axis outermost. A share (Part of Parts,
// from 0) computes only the trials whose index is Part modulo Parts, so that
// separate processes can split one sweep. onRow sees each row as it is done
// and may return false to stop.
struct SweepShare {
    std::size_t Part = 0, Parts = 1;
};
std::size_t SweepSize(const std::vector<SweepAxis>& axes);
void RunSweep(const WhatIfCase& base, const std::vector<SweepAxis>& axes,
              const std::vector<MetricName>& metrics,
              const std::function<bool(const SweepRow&)>& onRow, SweepShare share = {});

// The table as CSV: the varied inputs, the metrics and a last message column;
// numbers in shortest round-trip form with "." as the decimal point, empty
// where a trial has no value.
std::string SweepCsvHeader(const std::vector<SweepAxis>& axes,
                           const std::vector<MetricName>& metrics);
std::string SweepCsvLine(const SweepRow& row, std::size_t metricCount);

} // namespace korvane
