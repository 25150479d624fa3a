#include "ZoneMetrics.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvane {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

FourValues FourOf(const PointValues& points, double mean) {
    return {points[Face1Point], points[MiddlePoint], points[Face2Point], mean};
}

// The first row where pick(row) is largest by better().
template <class Pick, class Better>
ValueAt Extreme(const std::vector<HistoryRow>& rows, Pick pick, Better better) {
    ValueAt best{NaN, NaN};
    for (const auto& row : rows) {
        const double value = pick(row);
        if (std::isnan(best.Value) || better(value, best.Value))
            best = {value, row.Z};
    }
    return best;
}

ExactMetrics Distance(const std::vector<HistoryRow>& rows, const std::vector<ExactRow>& exact) {
    ExactMetrics m;
    if (!exact.empty())
        m.Exit = FourOf(exact.back().Points, exact.back().Mean);
    else
        m.Exit = {NaN, NaN, NaN, NaN};
    for (std::size_t r = 0; r < rows.size() && r < exact.size(); ++r) {
        const auto& p = rows[r].Points;
        const auto& e = exact[r].Points;
        m.MaxErrorFaces = std::max({m.MaxErrorFaces, std::abs(p[Face1Point] - e[Face1Point]),
                                    std::abs(p[Face2Point] - e[Face2Point])});
        for (std::size_t k = Face1Point + 1; k < Face2Point; ++k)
            m.MaxErrorInterior = std::max(m.MaxErrorInterior, std::abs(p[k] - e[k]));
        m.MaxErrorMean = std::max(m.MaxErrorMean, std::abs(rows[r].Mean - exact[r].Mean));
    }
    return m;
}

} // namespace

std::vector<ZoneMetrics> ComputeMetrics(const RunHistory& run, const ExactRun& exact) {
    const TCalcInput& in = run.Input;
    const double v = CmPerSecOf(in);
    const double fourier = MeshFourierOf(in);
    std::vector<ZoneMetrics> all;
    for (std::size_t i = 0; i < run.Zones.size(); ++i) {
        const ZoneHistory& zone = run.Zones[i];
        const auto& rows = zone.Rows;
        ZoneMetrics m;
        m.ZoneNo = zone.ZoneNo;
        m.Rows = static_cast<std::int32_t>(rows.size());
        m.Biot = {zone.Zone.Htc1 * in.Thickness / in.Conductivity,
                  zone.Zone.Htc2 * in.Thickness / in.Conductivity};
        m.MeshFourier = fourier;
        if (rows.empty()) {
            m.ResidenceS = m.MaxHeatingRate = m.MaxCoolingRate = NaN;
            m.Entry = m.Exit = {NaN, NaN, NaN, NaN};
            m.Peak = m.Low = m.MaxDifference = {NaN, NaN};
        } else {
            m.ResidenceS = rows.back().Z / v;
            m.Entry = FourOf(rows.front().Points, rows.front().Mean);
            m.Exit = FourOf(rows.back().Points, rows.back().Mean);
            const auto highest = [](const HistoryRow& r) {
                return *std::max_element(r.Points.begin(), r.Points.end());
            };
            const auto lowest = [](const HistoryRow& r) {
                return *std::min_element(r.Points.begin(), r.Points.end());
            };
            m.Peak = Extreme(rows, highest, std::greater<>());
            m.Low = Extreme(rows, lowest, std::less<>());
            m.MaxDifference = Extreme(
                rows, [&](const HistoryRow& r) { return highest(r) - lowest(r); },
                std::greater<>());
            for (std::size_t r = 1; r < rows.size(); ++r) {
                const double dt = (rows[r].Z - rows[r - 1].Z) / v;
                if (!(dt > 0))
                    continue;
                const double rate = (rows[r].Mean - rows[r - 1].Mean) / dt;
                m.MaxHeatingRate = std::max(m.MaxHeatingRate, rate);
                m.MaxCoolingRate = std::max(m.MaxCoolingRate, -rate);
            }
        }
        if (i < exact.size() && exact[i])
            m.Exact = Distance(rows, *exact[i]);
        all.push_back(m);
    }
    return all;
}

} // namespace korvane
