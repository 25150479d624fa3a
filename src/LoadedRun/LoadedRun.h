#pragma once

#include "ExactSlab.h"
#include "RunHistory.h"
#include "ZoneMetrics.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace korvane {

// The exact solution at one position along the line.
struct ExactSample {
    double ZLine = 0; // cm along the whole line
    PointValues Points{};
    double Mean = 0;
};

// One run as the viewer shows it, with everything derived from it. Built off
// the GUI thread; read-only afterwards.
struct LoadedRun {
    std::string Path;
    bool FromResultFile = false; // rows as printed (0.1 C) rather than computed
    bool Complete = true;        // false for a result file that was cut
    // For the user (UTF-8), each naming its line or zone: why the file is
    // incomplete, a temperature below absolute zero.
    std::vector<std::string> Warnings;
    RunHistory Run;
    std::vector<double> ZoneStarts; // cm along the line where each zone starts
    double CmPerSec = 0;
    PointValues Depths{}; // cm from face 1 of T1..T11
    std::shared_ptr<const ExactSlab> Exact;
    ExactRun ExactRows;                  // at the recorded rows
    std::vector<ExactSample> ExactCurve; // finer than the rows, over the solved zones
    std::vector<ZoneMetrics> Metrics;

    std::size_t RowCount() const;
    // The zone (0-based) and row of the flat row index, counted over all zones.
    std::pair<std::size_t, std::size_t> RowAt(std::size_t flat) const;
    double ZLineOf(std::size_t zone, std::size_t row) const;
    std::size_t SolvedZones() const { return Exact ? Exact->SolvedZones() : 0; }
};

// The flat row whose position along the line is nearest to zLine (cm); the
// first of two at a zone's border. 0 for a run without rows.
std::size_t NearestRow(const LoadedRun& run, double zLine);

// Reads a result file, or runs a data file in memory, and derives the exact
// solution and the metrics. Throws std::runtime_error with a message for the
// user when the file is neither or the run fails: a file shaped like a data
// file (an "=" in line 9, where a result file has an empty line) is told what
// is wrong with it as a data file.
LoadedRun LoadRun(const std::string& path);

} // namespace korvane
