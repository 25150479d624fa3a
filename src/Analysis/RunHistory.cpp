#include "RunHistory.h"

#include "Calculate.h"
#include "ResultFile.h"

#include <mutex>

namespace korvane {

namespace {

// Puts back the run's globals however the march ends.
class SavedGlobals {
  public:
    SavedGlobals() : input_(CalcInput), zone_(CurZone), zoneNo_(CurZoneNo), length_(CurLength) {}
    ~SavedGlobals() {
        CalcInput = std::move(input_);
        CurZone = zone_;
        CurZoneNo = zoneNo_;
        CurLength = length_;
    }
    SavedGlobals(const SavedGlobals&) = delete;
    SavedGlobals& operator=(const SavedGlobals&) = delete;

  private:
    TCalcInput input_;
    TZoneInput zone_;
    std::int32_t zoneNo_;
    double length_;
};

} // namespace

RunHistory ComputeRun(const TCalcInput& input) {
    // The march works on the program's globals: one run at a time, whichever
    // thread asks.
    static std::mutex marching;
    const std::lock_guard<std::mutex> lock(marching);
    SavedGlobals saved;
    CalcInput = input;
    HistoryRecorder recorder(input);
    MarchZones(recorder);
    return recorder.Take();
}

double CmPerSecOf(const TCalcInput& input) {
    return static_cast<double>(static_cast<long double>(input.Speed) * 100 / 60);
}

double MeshFourierOf(const TCalcInput& input) {
    const double dx =
        static_cast<double>(static_cast<long double>(input.Thickness) / input.LayerCount);
    const double kappaV =
        static_cast<double>(input.Conductivity / (static_cast<long double>(input.Density) *
                                                  input.SpecificHeat * CmPerSecOf(input)));
    return static_cast<double>(static_cast<long double>(kappaV) * input.DeltaZ /
                               (static_cast<long double>(dx) * dx));
}

PointValues PointDepths(const TCalcInput& input) {
    const auto nodes = ColumnNodesFor(input.LayerCount);
    PointValues depths{};
    for (std::size_t k = 0; k < depths.size(); ++k)
        depths[k] = input.Thickness * (nodes[k + 1] - 1) / input.LayerCount;
    return depths;
}

std::vector<double> ZoneLineStarts(const RunHistory& run) {
    std::vector<double> starts;
    double start = 0;
    for (const auto& zone : run.Zones) {
        starts.push_back(start);
        if (!zone.Rows.empty())
            start += zone.Rows.back().Z;
    }
    return starts;
}

} // namespace korvane
