#include "RunMetrics.h"

#include "JsonText.h"
#include "ProfileStats.h"

#include <limits>
#include <optional>

namespace korvane {

namespace {

constexpr double NoValue = std::numeric_limits<double>::quiet_NaN();

double ReportValue(const Json& zones, const MetricName& metric) {
    const Json* node = nullptr;
    if (metric.Zone == 0) {
        if (!zones.empty())
            node = &zones.back();
    } else {
        for (const auto& zone : zones)
            if (zone["zone"] == metric.Zone)
                node = &zone;
    }
    if (!node)
        return NoValue;
    for (const auto& key : metric.Path) {
        if (node->is_array()) {
            const std::size_t index = std::stoul(key) - 1;
            if (index >= node->size())
                return NoValue;
            node = &(*node)[index];
        } else if (node->is_object() && node->contains(key)) {
            node = &(*node)[key];
        } else {
            return NoValue;
        }
    }
    return node->is_number() ? node->get<double>() : NoValue;
}

} // namespace

struct RunMetrics::Cache {
    std::optional<ExactSlab> Slab;
    std::optional<ExactRun> Exact;
    // The report's zones, without the exact solution until a metric needs it.
    std::optional<std::vector<ZoneMetrics>> Zones;
    std::optional<Json> Report;
    bool ReportExact = false;
    std::optional<WindowResult> Window[2];
};

RunMetrics::RunMetrics(const RunHistory& run, const ProcessWindow* window)
    : run_(run), window_(window), cache_(std::make_unique<Cache>()) {}

RunMetrics::RunMetrics(const RunHistory& run, const ProcessWindow* window, ExactSlab slab,
                       ExactRun exact)
    : RunMetrics(run, window) {
    cache_->Slab = std::move(slab);
    cache_->Exact = std::move(exact);
}

RunMetrics::~RunMetrics() = default;

const ExactSlab& RunMetrics::Slab() {
    if (!cache_->Slab)
        cache_->Slab = ExactFor(run_);
    return *cache_->Slab;
}

const ExactRun& RunMetrics::ExactRows() {
    if (!cache_->Exact)
        cache_->Exact = ExactAlongRun(run_, Slab());
    return *cache_->Exact;
}

const std::vector<ZoneMetrics>& RunMetrics::Zones() {
    if (!cache_->Zones)
        cache_->Zones = ComputeMetrics(run_, ExactRows());
    return *cache_->Zones;
}

double RunMetrics::Value(const MetricName& metric) {
    using Source = MetricName::Source;
    switch (metric.From) {
    case Source::Report: {
        // The report is the list of these metrics: read them off it.
        const bool exact = metric.NeedsExact || cache_->Exact;
        if (!cache_->Report || (exact && !cache_->ReportExact)) {
            cache_->Report = ZonesJson(exact ? Zones() : ComputeMetrics(run_, {}));
            cache_->ReportExact = exact;
        }
        return ReportValue(*cache_->Report, metric);
    }
    case Source::Profile: {
        const auto channel = metric.NeedsExact
                                 ? ExactChannel(run_, ExactRows(), Slab(), metric.Stat.Channel)
                                 : SchemeChannel(run_, metric.Stat.Channel);
        return channel ? StatValue(*channel, metric.Stat) : NoValue;
    }
    case Source::Window: {
        if (!window_ || metric.Limit > window_->Limits.size())
            return NoValue;
        const WindowResult& result = Window(metric.NeedsExact);
        return metric.Limit == 0 ? result.Pwi : result.Limits[metric.Limit - 1].Index;
    }
    }
    return NoValue;
}

double RunMetrics::Value(const std::string& name) {
    const auto metric = FindMetric(name);
    return metric ? Value(*metric) : NoValue;
}

const WindowResult& RunMetrics::Window(bool exact) {
    auto& result = cache_->Window[exact ? 1 : 0];
    if (!result)
        result = EvaluateWindow(*window_, [&](const std::string& name) {
            const auto metric = FindMetric(exact ? ExactSideOf(name) : name);
            // A window reads no window metric (LimitMetricProblem).
            if (!metric || metric->From == MetricName::Source::Window)
                return NoValue;
            return Value(*metric);
        });
    return *result;
}

std::string ExactSideOf(const std::string& metric) {
    const std::string companion = ExactCompanion(metric);
    return companion.empty() ? metric : companion;
}

std::variant<ProcessWindow, std::string> LoadWindow(const std::string& path) {
    return ReadWindowFile(path, LimitMetricProblem);
}

} // namespace korvane
