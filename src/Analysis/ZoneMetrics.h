#pragma once

#include "ExactSlab.h"
#include "RunHistory.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace korvane {

// T1, T6, T11 and TAV of one row.
struct FourValues {
    double T1 = 0, T6 = 0, T11 = 0, TAV = 0;
};

struct ValueAt {
    double Value = 0; // C, or C of difference
    double Z = 0;     // cm within the zone, first row where it occurs
};

// The exact solution's metrics at the zone's rows, and how far the scheme is
// from it.
struct ExactMetrics {
    FourValues Entry, Exit;
    ValueAt Peak, Low, MaxDifference;
    double MaxHeatingRate = 0, MaxCoolingRate = 0; // of the exact mean, between the same rows
    double MaxErrorFaces = 0;                      // T1 and T11
    double MaxErrorInterior = 0;                   // T2..T10
    double MaxErrorMean = 0;
};

// Metrics of one zone; every temperature is one of T1..T11 or TAV. A zone of
// no rows (read from a file) has NaN where a row is needed.
struct ZoneMetrics {
    std::int32_t ZoneNo = 0;
    std::int32_t Rows = 0;
    double ResidenceS = 0;
    FourValues Entry, Exit;
    ValueAt Peak, Low;
    ValueAt MaxDifference;                         // largest spread of T1..T11 within one row
    double MaxHeatingRate = 0, MaxCoolingRate = 0; // of TAV, C/s, magnitudes
    std::array<double, 2> Biot{};                  // h H / k, faces 1 and 2
    double MeshFourier = 0;
    std::optional<ExactMetrics> Exact;
};

std::vector<ZoneMetrics> ComputeMetrics(const RunHistory& run, const ExactRun& exact);

} // namespace korvane
