#include "ProfileComparison.h"

#include "RunExport.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvane {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// Sub-steps of the lag's integration between two samples: a fixed count, so
// that the model's value changes smoothly with the lag and the start.
constexpr int LagSubSteps = 8;

// Straight between two points.
double Between(double x0, double y0, double x1, double y1, double x) {
    if (!(x1 > x0))
        return y0;
    return y0 + (y1 - y0) * (x - x0) / (x1 - x0);
}

// The value at x of a profile given at increasing depths.
template <class Depths, class Values> double AtDepth(const Depths& xs, const Values& ys, double x) {
    const std::size_t n = xs.size();
    if (x <= xs[0])
        return ys[0];
    for (std::size_t k = 1; k < n; ++k)
        if (x <= xs[k])
            return Between(xs[k - 1], ys[k - 1], xs[k], ys[k], x);
    return ys[n - 1];
}

using Json = nlohmann::ordered_json;

Json Number(double value) {
    return std::isfinite(value) ? Json(value) : Json(nullptr);
}

Json DifferenceJson(const Difference& d) {
    return {{"samples", d.Samples}, {"rms", Number(d.Rms)}, {"max", Number(d.Max)}};
}

} // namespace

SchemeModel::SchemeModel(const RunHistory& run)
    : run_(run), cmPerSec_(CmPerSecOf(run.Input)), depths_(PointDepths(run.Input)) {
    const auto starts = ZoneLineStarts(run);
    for (std::size_t i = 0; i < run.Zones.size(); ++i) {
        const auto& rows = run.Zones[i].Rows;
        starts_.push_back(starts[i] / cmPerSec_);
        ends_.push_back((starts[i] + (rows.empty() ? 0 : rows.back().Z)) / cmPerSec_);
    }
}

std::optional<std::size_t> SchemeModel::ZoneAt(double t) const {
    if (!(t >= 0))
        return std::nullopt;
    for (std::size_t i = 0; i < ends_.size(); ++i)
        if (t <= ends_[i] && !run_.Zones[i].Rows.empty())
            return i;
    return std::nullopt;
}

double SchemeModel::LineEnd() const {
    return ends_.empty() ? 0 : ends_.back();
}

double SchemeModel::At(const ChannelDepth& depth, double t) const {
    if (t < 0 || run_.Zones.empty())
        return run_.Input.InitialTemp;
    // The zone of t, or past the end the last zone with rows.
    std::size_t zone = run_.Zones.size();
    if (const auto at = ZoneAt(t)) {
        zone = *at;
    } else {
        while (zone > 0 && run_.Zones[zone - 1].Rows.empty())
            --zone;
        if (zone == 0)
            return run_.Input.InitialTemp;
        --zone;
    }
    const auto& rows = run_.Zones[zone].Rows;
    const double z = std::clamp((t - starts_[zone]) * cmPerSec_, 0.0, rows.back().Z);
    const auto after =
        std::upper_bound(rows.begin(), rows.end(), z,
                         [](double value, const HistoryRow& row) { return value < row.Z; });
    const HistoryRow& r1 = after == rows.end() ? rows.back() : *after;
    const HistoryRow& r0 = after == rows.begin() ? rows.front() : *(after - 1);
    const double H = run_.Input.Thickness;
    const auto value = [&](const HistoryRow& row) {
        switch (depth.Where) {
        case ChannelDepth::Kind::Face1:
            return row.Points[Face1Point];
        case ChannelDepth::Kind::Face2:
            return row.Points[Face2Point];
        case ChannelDepth::Kind::Mean:
            return row.Mean;
        default:
            break;
        }
        const double x = DepthCm(depth, H);
        if (row.Nodes.size() >= 2) {
            const double layers = static_cast<double>(row.Nodes.size() - 1);
            const double at = std::clamp(x / H * layers, 0.0, layers);
            const std::size_t k = std::min(static_cast<std::size_t>(at), row.Nodes.size() - 2);
            return Between(static_cast<double>(k), row.Nodes[k], static_cast<double>(k + 1),
                           row.Nodes[k + 1], at);
        }
        return AtDepth(depths_, row.Points, x);
    };
    return Between(r0.Z, value(r0), r1.Z, value(r1), z);
}

double ExactModel::At(const ChannelDepth& depth, double t) const {
    if (depth.Where == ChannelDepth::Kind::Mean)
        return line_->Mean(t);
    return line_->Temperature(DepthCm(depth, line_->Input().Thickness), t);
}

std::vector<double> ModelAtTimes(const ProfileModel& model, const ChannelDepth& depth,
                                 const std::vector<double>& times, double lag,
                                 const ParallelFor* parallel) {
    return ModelAtTimes(model, {{depth, times}}, lag, parallel).front();
}

std::vector<std::vector<double>> ModelAtTimes(const ProfileModel& model,
                                              const std::vector<ModelQuery>& queries, double lag,
                                              const ParallelFor* parallel) {
    // tau y' + y = u, from y = u at 0, where the plate enters: the input is
    // taken as straight between the points of a grid, on which the solution
    // is exact. Before 0 the model is the initial temperature, and so is y.
    // Without a lag the grid is the samples.
    struct Grid {
        std::vector<double> Times;
        std::vector<std::size_t> SampleAt; // the grid point of each sample
    };
    std::vector<Grid> grids;
    for (const auto& query : queries) {
        Grid grid;
        if (!(lag > 0)) {
            grid.Times = query.Times;
            grids.push_back(std::move(grid));
            continue;
        }
        grid.Times.push_back(0);
        double last = 0;
        for (const double t : query.Times) {
            if (t > last) {
                for (int s = 1; s <= LagSubSteps; ++s)
                    grid.Times.push_back(s == LagSubSteps ? t
                                                          : last + (t - last) * s / LagSubSteps);
                last = t;
            }
            grid.SampleAt.push_back(grid.Times.size() - 1);
        }
        grids.push_back(std::move(grid));
    }

    // Every channel's points in one pass, however it is shared out.
    std::vector<std::pair<std::size_t, std::size_t>> points; // (channel, grid point)
    for (std::size_t c = 0; c < grids.size(); ++c)
        for (std::size_t g = 0; g < grids[c].Times.size(); ++g)
            points.emplace_back(c, g);
    std::vector<std::vector<double>> u(grids.size());
    for (std::size_t c = 0; c < grids.size(); ++c)
        u[c].resize(grids[c].Times.size());
    const auto body = [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            const auto [c, g] = points[i];
            u[c][g] = model.At(queries[c].Depth, grids[c].Times[g]);
        }
    };
    if (parallel)
        (*parallel)(points.size(), body);
    else
        body(0, points.size());
    if (!(lag > 0))
        return u;

    std::vector<std::vector<double>> values(queries.size());
    for (std::size_t c = 0; c < queries.size(); ++c) {
        const auto& t = grids[c].Times;
        std::vector<double> y(t.size());
        y[0] = u[c][0];
        for (std::size_t g = 1; g < t.size(); ++g) {
            const double h = t[g] - t[g - 1];
            const double decay = std::exp(-h / lag);
            const double slopeLag = (u[c][g] - u[c][g - 1]) * lag / h;
            y[g] = u[c][g] - slopeLag + (y[g - 1] - u[c][g - 1] + slopeLag) * decay;
        }
        const auto& times = queries[c].Times;
        values[c].resize(times.size());
        for (std::size_t i = 0; i < times.size(); ++i)
            values[c][i] =
                times[i] > 0 ? y[grids[c].SampleAt[i]] : model.At(queries[c].Depth, times[i]);
    }
    return values;
}

std::vector<double> SinceEntry(const MeasuredChannel& channel, double start) {
    std::vector<double> t(channel.Time.size());
    for (std::size_t i = 0; i < t.size(); ++i)
        t[i] = channel.Time[i] - start;
    return t;
}

double SmallestZoneTime(const MeasuredProfile& profile, const ExactLine& line, double start) {
    const TCalcInput& in = line.Input();
    const double step = in.DeltaZ / CmPerSecOf(in);
    double smallest = step;
    for (const auto& channel : profile.Channels)
        for (const double t : SinceEntry(channel, start))
            if (const auto zone = line.ZoneAt(t)) {
                const double within = t - line.ZoneStart(*zone);
                if (within > 0)
                    smallest = std::min(smallest, within);
            }
    return std::max(smallest, step / 1000);
}

void Difference::Add(double difference) {
    ++Samples;
    Rms += difference * difference;
    if (Samples == 1 || std::abs(difference) > std::abs(Max))
        Max = difference;
}

void Difference::Finish() {
    if (Samples == 0) {
        Rms = Max = NaN;
        return;
    }
    Rms = std::sqrt(Rms / static_cast<double>(Samples));
}

ProfileComparison CompareProfile(const MeasuredProfile& profile, const RunHistory& run,
                                 double lag) {
    ProfileComparison out;
    out.Start = profile.Start;
    out.Lag = lag;
    const SchemeModel scheme(run);
    // The exact solution with terms enough for the earliest sample after a
    // zone's entry; none when the inputs are not a plate's.
    std::optional<ExactModel> exact;
    try {
        const ExactLine first(run);
        ExactOptions options;
        options.MinTime = SmallestZoneTime(profile, first, profile.Start);
        exact.emplace(std::make_shared<const ExactLine>(run, options));
    } catch (const std::exception&) {
        exact.reset();
    }
    for (const auto& channel : profile.Channels) {
        ChannelComparison c;
        c.Channel = &channel;
        for (const auto& zone : run.Zones)
            c.Zones.push_back({zone.ZoneNo, {}, {}});
        const auto times = SinceEntry(channel, profile.Start);
        c.SchemeAtSamples = ModelAtTimes(scheme, channel.Depth, times, lag);
        c.ExactAtSamples = exact ? ModelAtTimes(*exact, channel.Depth, times, lag)
                                 : std::vector<double>(times.size(), NaN);
        for (std::size_t i = 0; i < times.size(); ++i) {
            const auto zone = scheme.ZoneAt(times[i]);
            if (!zone) {
                (times[i] < 0 ? c.BeforeLine : c.AfterLine) += 1;
                c.SchemeAtSamples[i] = c.ExactAtSamples[i] = NaN;
                continue;
            }
            const double measured = channel.Temp[i];
            c.Zones[*zone].Scheme.Add(measured - c.SchemeAtSamples[i]);
            c.Scheme.Add(measured - c.SchemeAtSamples[i]);
            if (std::isfinite(c.ExactAtSamples[i])) {
                c.Zones[*zone].Exact.Add(measured - c.ExactAtSamples[i]);
                c.Exact.Add(measured - c.ExactAtSamples[i]);
            }
        }
        for (auto& zone : c.Zones) {
            zone.Scheme.Finish();
            zone.Exact.Finish();
        }
        c.Scheme.Finish();
        c.Exact.Finish();
        out.Channels.push_back(std::move(c));
    }
    return out;
}

std::string ComparisonJson(const MeasuredProfile& profile, const ProfileComparison& comparison) {
    Json channels = Json::array();
    for (const auto& c : comparison.Channels) {
        const MeasuredChannel& channel = *c.Channel;
        Json zones = Json::array();
        for (const auto& zone : c.Zones)
            zones.push_back({{"zone", zone.ZoneNo},
                             {"samples", zone.Scheme.Samples},
                             {"scheme", DifferenceJson(zone.Scheme)},
                             {"exact", DifferenceJson(zone.Exact)}});
        Json depth = channel.Depth.Where == ChannelDepth::Kind::Cm ? Json(channel.Depth.Cm)
                                                                   : Json(DepthText(channel.Depth));
        channels.push_back(
            {{"name", channel.Name},
             {"column", channel.Column},
             {"depth", depth},
             {"unit", channel.Unit == TemperatureUnit::Fahrenheit ? "F" : "C"},
             {"samples", channel.Time.size()},
             {"before_line", c.BeforeLine},
             {"after_line", c.AfterLine},
             {"line", {{"scheme", DifferenceJson(c.Scheme)}, {"exact", DifferenceJson(c.Exact)}}},
             {"zones", std::move(zones)}});
    }
    Json measured = {{"file", profile.File},
                     {"start_s", Number(comparison.Start)},
                     {"lag_s", Number(comparison.Lag)},
                     {"channels", std::move(channels)}};
    return measured.dump();
}

std::string ComparisonSummary(const ProfileComparison& comparison) {
    std::string text;
    // A zone without an exact solution leaves none to compare with.
    const auto part = [](const char* what, const Difference& d) {
        if (d.Samples == 0)
            return std::string(what) + " none";
        return std::string(what) + " rms=" + ShortestNumber(d.Rms) +
               " max=" + ShortestNumber(d.Max);
    };
    for (const auto& c : comparison.Channels) {
        const MeasuredChannel& channel = *c.Channel;
        text += channel.Name + " [" + DepthText(channel.Depth) +
                "]: samples=" + std::to_string(c.Scheme.Samples) + " " + part("scheme", c.Scheme) +
                " " + part("exact", c.Exact) + "\n";
    }
    return text;
}

} // namespace korvane
