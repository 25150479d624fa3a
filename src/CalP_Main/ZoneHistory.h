#pragma once

#include "CalcTypes.h"

#include <array>
#include <cstdint>
#include <vector>

namespace korvane {

// The result file prints eleven points through the thickness, T1..T11; as
// indices of a row's Points, face 1, the middle column and face 2 are these.
inline constexpr std::size_t PrintedPoints = 11;
inline constexpr std::size_t Face1Point = 0;
inline constexpr std::size_t MiddlePoint = 5;
inline constexpr std::size_t Face2Point = PrintedPoints - 1;
using PointValues = std::array<double, PrintedPoints>;

// One recorded row of a zone at full double precision.
struct HistoryRow {
    double Z = 0;              // cm within the zone
    PointValues Points{};      // T1..T11: the nodes of the printed columns (ColumnNodesFor)
    double Mean = 0;           // TAV
    std::vector<double> Nodes; // every node, Nodes[0] is node 1; empty when read from a file
};

// Every row the march recorded in one zone (a zone of negative length still
// records its one row, though its block prints none).
struct ZoneHistory {
    std::int32_t ZoneNo = 0;
    TZoneInput Zone{};
    std::vector<HistoryRow> Rows;
};

// Told about each zone right after its march, before the next zone starts.
class ZoneObserver {
  public:
    virtual ~ZoneObserver() = default;
    virtual void ZoneDone(const ZoneHistory& zone) = 0;
};

} // namespace korvane
