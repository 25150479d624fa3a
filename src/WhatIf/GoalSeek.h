#pragma once

#include "BatchExit.h"
#include "WhatIfCase.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

struct SeekOptions {
    double MetricTolerance = 0.01; // in the metric's unit (C for temperatures)
    double InputTolerance = 1e-6;  // relative to the input's value
    int Samples = 16;              // trials over the range before bisecting, ends included
    int MaxTrials = 200;
};

enum class SeekStatus {
    Found,        // Value meets the target within a tolerance
    NotBracketed, // no two neighbouring samples straddle the target
    NotConverged, // the trials ran out before either tolerance was met
    Refused,      // every sample, or a trial inside the bracket, was refused
    Failed        // read back only: korvane-batch failed or printed no answer
};

// How the note that says why a seek found nothing starts (exit 3); the
// viewer tells the two apart by it.
inline constexpr std::string_view NotBracketedNote = "not bracketed: ";
inline constexpr std::string_view NotConvergedNote = "not converged: ";

struct SeekResult {
    SeekStatus Status = SeekStatus::Refused;
    double Value = 0;  // the input found
    double Metric = 0; // the metric it reached
    int Trials = 0;
    // What the user should know: refused trials with the check's message, a
    // metric that crosses the target more than once, an integer input that
    // cannot meet the tolerance, or why nothing was found.
    std::vector<std::string> Notes;
};

// Finds the value of input within [from, to] at which metric reaches target:
// samples the range, then narrows the first bracket with a safeguarded
// secant (bisection over whole numbers for an integer input), stopping as
// soon as either tolerance is met. One trial at a time.
SeekResult GoalSeek(const WhatIfCase& base, const InputName& input, double from, double to,
                    const MetricName& metric, double target, const SeekOptions& options = {});

// "speed=23.5 zone3.exit.TAV=120.004", "." as the decimal point, and read back.
std::string SeekLine(const InputName& input, const MetricName& metric, const SeekResult& result);
struct SeekLineValues {
    std::string Input;
    double Value = 0;
    std::string Metric;
    double MetricValue = 0;
};
std::optional<SeekLineValues> ParseSeekLine(std::string_view line);

// korvane-batch's exit code for a seek that ended so.
int SeekExitCode(SeekStatus status);

// What a korvane-batch --seek process said, read back from its exit code and
// its standard output and error.
struct SeekReport {
    SeekStatus Status = SeekStatus::Failed;
    double Value = 0, Metric = 0;
    std::string Notes; // standard error, without its last line end
};
SeekReport ReadSeekReport(int exitCode, std::string_view out, std::string_view err);

// A line that says how a seek ended: "No solution in the range." ...
const char* SeekStatusText(SeekStatus status);

} // namespace korvane
