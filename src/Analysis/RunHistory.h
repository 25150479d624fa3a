#pragma once

#include "CalcTypes.h"
#include "ZoneHistory.h"

#include <array>
#include <utility>
#include <vector>

namespace korvane {

// A whole run: its inputs and every zone that was computed, in order.
struct RunHistory {
    TCalcInput Input{};
    std::vector<ZoneHistory> Zones;
};

// Collects the zones that Calculate hands over.
class HistoryRecorder : public ZoneObserver {
  public:
    explicit HistoryRecorder(const TCalcInput& input) { history_.Input = input; }
    void ZoneDone(const ZoneHistory& zone) override { history_.Zones.push_back(zone); }
    const RunHistory& History() const { return history_; }
    RunHistory Take() { return std::move(history_); }

  private:
    RunHistory history_;
};

// Marches the validated inputs in memory: no file is touched, and the run's
// globals (CalcInput and the current zone) are as they were afterwards. Calls
// from several threads take turns; nothing else may run the core meanwhile.
// Floating-point faults propagate as from a run.
RunHistory ComputeRun(const TCalcInput& input);

// Plate speed in cm/s, as the march derives it.
double CmPerSecOf(const TCalcInput& input);

// The mesh Fourier number of one step, as the march derives it.
double MeshFourierOf(const TCalcInput& input);

// Depth (cm from face 1) of T1..T11.
PointValues PointDepths(const TCalcInput& input);

// Where each zone starts along the line (cm): the sum of the earlier zones'
// last recorded Z.
std::vector<double> ZoneLineStarts(const RunHistory& run);

} // namespace korvane
