#pragma once

#include "RunExport.h"
#include "WhatIfNames.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// The what-if options of korvane-batch as text: each reader says what is
// wrong with a text it refuses, and each writer gives the text that its reader
// takes back as the same value (the viewer writes the options it passes).

// The most trials of one sweep, an input's STEPS and a grid's product alike: a
// trial of the example takes 0.15 to 0.25 ms, so some three to five minutes
// in one process.
inline constexpr std::size_t MaxSweepTrials = 1000000;
// The most processes a sweep is shared among (--share K/N).
inline constexpr std::size_t MaxShareParts = 1000;

// Steps values evenly spaced from From to To, both ends included; whole
// numbers for a whole-number input.
struct SweepAxis {
    const InputName* Input = nullptr;
    double From = 0, To = 0;
    int Steps = 1;
};
std::vector<double> AxisValues(const SweepAxis& axis);

// --sweep NAME=FROM:TO:STEPS ("." as the decimal point). A whole-number input
// needs whole ends and at least STEPS whole numbers between them.
struct ParsedAxis {
    SweepAxis Axis;
    std::string Error;
};
ParsedAxis ParseSweepAxis(std::string_view text);
std::string SweepAxisText(const SweepAxis& axis);

// The trials of a grid, the first axis outermost.
std::size_t SweepSize(const std::vector<SweepAxis>& axes);
// Empty, or why the axes make no sweep: an input swept twice, or more than
// MaxSweepTrials trials.
std::string SweepGridProblem(const std::vector<SweepAxis>& axes);

// --share K/N: the trials whose index is Part modulo Parts (Part = K - 1).
struct SweepShare {
    std::size_t Part = 0, Parts = 1;
};
struct ParsedShare {
    SweepShare Share;
    std::string Error;
};
ParsedShare ParseShare(std::string_view text);
std::string ShareText(SweepShare share);
// The trials of the grid that a share runs.
std::size_t ShareSize(std::size_t total, SweepShare share);

// What a sweep says before its first trial: "sweep of 31 trials", "sweep of
// 100 x 100 = 10000 trials; share 2/4 runs 2500 of them".
std::string SweepCountLine(const std::vector<SweepAxis>& axes, SweepShare share);

// --seek NAME=FROM:TO ("." as the decimal point).
struct SeekRange {
    const InputName* Input = nullptr;
    double From = 0, To = 0;
};
struct ParsedSeekRange {
    SeekRange Range;
    std::string Error;
};
ParsedSeekRange ParseSeekRange(std::string_view text);
std::string SeekRangeText(const SeekRange& range);

// --target METRIC=VALUE ("." as the decimal point).
struct SeekTarget {
    MetricName Metric;
    double Value = 0;
};
struct ParsedTarget {
    SeekTarget Target;
    std::string Error;
};
ParsedTarget ParseSeekTarget(std::string_view text);
std::string SeekTargetText(const SeekTarget& target);

} // namespace korvane
