#include "ExactLine.h"

#include "FloatError.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvane {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// The seconds each zone spends up to its hand-over row.
std::vector<double> HandOverTimes(const TCalcInput& input,
                                  const std::vector<std::vector<double>>& rows) {
    const double v = CmPerSecOf(input);
    std::vector<double> times;
    for (const auto& zone : rows)
        times.push_back(zone.back() / v);
    return times;
}

} // namespace

std::vector<std::vector<double>> MarchRowPositions(const TCalcInput& input) {
    std::vector<std::vector<double>> zones;
    for (int k = 1; k <= std::min(input.ZoneCount, MaxZones); ++k) {
        // As the march: the working length, then Z summed in extended
        // precision and stored, a row recorded before each step.
        const double length =
            StoreDouble(static_cast<long double>(input.Zones[k].Length) + 0.0001L);
        std::vector<double> z;
        double position = 0;
        do {
            z.push_back(position);
            position = StoreDouble(static_cast<long double>(position) + input.DeltaZ);
        } while (!(position > length) && z.size() < static_cast<std::size_t>(MaxRows));
        zones.push_back(std::move(z));
    }
    return zones;
}

namespace {

// A zone without rows (a result file cut short) hands over at once.
std::vector<std::vector<double>> RunRowPositions(const RunHistory& run) {
    std::vector<std::vector<double>> zones;
    for (const auto& zone : run.Zones) {
        std::vector<double> z;
        for (const auto& row : zone.Rows)
            z.push_back(row.Z);
        if (z.empty())
            z.push_back(0);
        zones.push_back(std::move(z));
    }
    return zones;
}

} // namespace

ExactLine::ExactLine(const TCalcInput& input, const ExactOptions& options)
    : ExactLine(input, MarchRowPositions(input), options) {}

ExactLine::ExactLine(const RunHistory& run, const ExactOptions& options)
    : ExactLine(run.Input, RunRowPositions(run), options) {}

ExactLine::ExactLine(const TCalcInput& input, std::vector<std::vector<double>> rows,
                     const ExactOptions& options)
    : input_(input), rows_(std::move(rows)),
      minTime_(options.MinTime > 0 ? options.MinTime : input.DeltaZ / CmPerSecOf(input)),
      slab_(input, HandOverTimes(input, rows_), options) {
    const double v = CmPerSecOf(input);
    double zLine = 0; // summed as ZoneLineStarts sums it
    for (const auto& zone : rows_) {
        starts_.push_back(zLine / v);
        durations_.push_back(zone.back() / v);
        zLine += zone.back();
    }
}

double ExactLine::LineEnd() const {
    return rows_.empty() ? 0 : ZoneEnd(rows_.size() - 1);
}

std::optional<std::size_t> ExactLine::ZoneAt(double t) const {
    if (!(t >= 0))
        return std::nullopt;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (t <= ZoneEnd(i))
            return i;
    return std::nullopt;
}

std::optional<std::pair<std::size_t, double>> ExactLine::Locate(double t) const {
    if (rows_.empty())
        return std::nullopt;
    const std::size_t zone = ZoneAt(t).value_or(rows_.size() - 1);
    if (zone >= slab_.SolvedZones())
        return std::nullopt;
    const double within = t - starts_[zone];
    return std::pair{zone, within > 0 ? std::max(within, minTime_) : within};
}

double ExactLine::Temperature(double x, double t) const {
    if (t < 0)
        return input_.InitialTemp;
    const auto at = Locate(t);
    return at ? slab_.Temperature(at->first, x, at->second) : NaN;
}

double ExactLine::Mean(double t) const {
    if (t < 0)
        return input_.InitialTemp;
    const auto at = Locate(t);
    return at ? slab_.Mean(at->first, at->second) : NaN;
}

ExactRun ExactLine::Rows() const {
    const double v = CmPerSecOf(input_);
    const auto depths = PointDepths(input_);
    ExactRun out(rows_.size());
    for (std::size_t i = 0; i < rows_.size() && i < slab_.SolvedZones(); ++i) {
        std::vector<ExactRow> rows;
        rows.reserve(rows_[i].size());
        for (const double z : rows_[i]) {
            const double t = z / v;
            ExactRow e;
            for (std::size_t k = 0; k < depths.size(); ++k)
                e.Points[k] = slab_.Temperature(i, depths[k], t);
            e.Mean = slab_.Mean(i, t);
            rows.push_back(e);
        }
        out[i] = std::move(rows);
    }
    return out;
}

} // namespace korvane
