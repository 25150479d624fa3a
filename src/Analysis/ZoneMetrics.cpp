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

// What both sides, the scheme's rows and the exact values at them, have alike.
struct Shape {
    FourValues Entry{NaN, NaN, NaN, NaN}, Exit{NaN, NaN, NaN, NaN};
    ValueAt Peak{NaN, NaN}, Low{NaN, NaN}, MaxDifference{NaN, NaN};
    double Heating = NaN, Cooling = NaN;
};

// The shape of count rows: points(r) and mean(r) of row r, which lies at
// rows[r].Z; v in cm/s. The extremes are the first row where they occur.
template <class Points, class Mean>
Shape ShapeOf(const std::vector<HistoryRow>& rows, std::size_t count, Points points, Mean mean,
              double v) {
    Shape s;
    count = std::min(count, rows.size());
    if (count == 0)
        return s;
    s.Entry = FourOf(points(0), mean(0));
    s.Exit = FourOf(points(count - 1), mean(count - 1));
    s.Heating = s.Cooling = 0;
    for (std::size_t r = 0; r < count; ++r) {
        const PointValues& p = points(r);
        const double high = *std::max_element(p.begin(), p.end());
        const double low = *std::min_element(p.begin(), p.end());
        if (r == 0 || high > s.Peak.Value)
            s.Peak = {high, rows[r].Z};
        if (r == 0 || low < s.Low.Value)
            s.Low = {low, rows[r].Z};
        if (r == 0 || high - low > s.MaxDifference.Value)
            s.MaxDifference = {high - low, rows[r].Z};
        if (r == 0)
            continue;
        const double dt = (rows[r].Z - rows[r - 1].Z) / v;
        if (!(dt > 0))
            continue;
        const double rate = (mean(r) - mean(r - 1)) / dt;
        s.Heating = std::max(s.Heating, rate);
        s.Cooling = std::max(s.Cooling, -rate);
    }
    return s;
}

// The same metrics on either side, scheme or exact.
template <class Metrics> void TakeShape(Metrics& m, const Shape& s) {
    m.Entry = s.Entry;
    m.Exit = s.Exit;
    m.Peak = s.Peak;
    m.Low = s.Low;
    m.MaxDifference = s.MaxDifference;
    m.MaxHeatingRate = s.Heating;
    m.MaxCoolingRate = s.Cooling;
}

ExactMetrics ExactOf(const std::vector<HistoryRow>& rows, const std::vector<ExactRow>& exact,
                     double v) {
    const Shape s = ShapeOf(
        rows, exact.size(), [&](std::size_t r) -> const PointValues& { return exact[r].Points; },
        [&](std::size_t r) { return exact[r].Mean; }, v);
    ExactMetrics m;
    TakeShape(m, s);
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
        m.ResidenceS = rows.empty() ? NaN : rows.back().Z / v;
        const Shape s = ShapeOf(
            rows, rows.size(), [&](std::size_t r) -> const PointValues& { return rows[r].Points; },
            [&](std::size_t r) { return rows[r].Mean; }, v);
        TakeShape(m, s);
        if (i < exact.size() && exact[i])
            m.Exact = ExactOf(rows, *exact[i], v);
        all.push_back(m);
    }
    return all;
}

} // namespace korvane
