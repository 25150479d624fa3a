#pragma once

#include "ExactSlab.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace korvane {

// Z (cm within the zone) of every row the march records in zones 1 to
// ZoneCount, worked out from the lengths and dz alone, to the bit: the
// march's own sums, its stop at Length + 0.0001 cm and at MaxRows. A zone of
// negative length still records its one row.
std::vector<std::vector<double>> MarchRowPositions(const TCalcInput& input);

// The exact solution along the whole line without the march, hence without
// the core's globals: any thread may build and read one. Zone i hands over
// at its last row, as the march does, so its rows are those ExactAlongRun
// gives for the march's run. Times are seconds since the plate entered
// zone 1.
class ExactLine {
  public:
    explicit ExactLine(const TCalcInput& input, const ExactOptions& options = {});
    // Handing over at the run's own last rows, as ExactFor does: for a run
    // read from a result file, whose rows are as printed.
    explicit ExactLine(const RunHistory& run, const ExactOptions& options = {});

    const TCalcInput& Input() const { return input_; }
    const ExactSlab& Slab() const { return slab_; }
    // Zones the march computes (ZoneCount) and how many of them are solved.
    std::size_t Zones() const { return rows_.size(); }
    std::size_t SolvedZones() const { return slab_.SolvedZones(); }
    const std::vector<double>& RowPositions(std::size_t zone) const { return rows_.at(zone); }
    // When each zone starts and hands over, s.
    double ZoneStart(std::size_t zone) const { return starts_.at(zone); }
    double ZoneEnd(std::size_t zone) const { return starts_.at(zone) + durations_.at(zone); }
    // The last zone's hand-over: where the plate leaves the line.
    double LineEnd() const;
    // The zone (0-based) at time t: the first whose hand-over is not before t;
    // nothing before 0 or after the line's end.
    std::optional<std::size_t> ZoneAt(double t) const;

    // At time t and x cm from face 1: before zone 1 the plate is uniform at
    // the initial temperature; after the line's end the last solved zone goes
    // on (a smooth continuation, for a fit whose trial moves a sample past
    // the end). NaN from the first zone without an exact solution on. A time
    // closer to a zone's entry than the series have terms for (its MinTime,
    // by default one step) is taken at that time.
    double Temperature(double x, double t) const;
    double Mean(double t) const;

    // The exact values at the march's rows, as ExactAlongRun gives them.
    ExactRun Rows() const;

  private:
    ExactLine(const TCalcInput& input, std::vector<std::vector<double>> rows,
              const ExactOptions& options);
    // The zone that time t falls in, and the time within it.
    std::optional<std::pair<std::size_t, double>> Locate(double t) const;

    TCalcInput input_;
    std::vector<std::vector<double>> rows_;
    std::vector<double> starts_, durations_;
    double minTime_ = 0;
    ExactSlab slab_;
};

} // namespace korvane
