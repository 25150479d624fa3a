#include "JudgedWindow.h"

#include "RunMetrics.h"
#include "WhatIfNames.h"

#include <exception>
#include <limits>

namespace korvane {

namespace {

// Every limit without a value: outside, and the index null.
WindowResult NoValues(const ProcessWindow& window) {
    return EvaluateWindow(
        window, [](const std::string&) { return std::numeric_limits<double>::quiet_NaN(); });
}

// "T6" of "profile.T6.time_above[170]" and of "profile.exact.T6.peak.T".
std::string ChannelWord(std::string_view metric) {
    metric.remove_prefix(std::string_view("profile.").size());
    if (metric.starts_with("exact."))
        metric.remove_prefix(6);
    std::size_t end = 0;
    int depth = 0;
    for (; end < metric.size(); ++end) {
        if (metric[end] == '[')
            ++depth;
        else if (metric[end] == ']')
            --depth;
        else if (metric[end] == '.' && depth == 0)
            break;
    }
    return std::string(metric.substr(0, end));
}

} // namespace

std::variant<std::shared_ptr<const WindowFile>, std::string>
OpenWindowFile(const std::string& path) {
    auto loaded = LoadWindow(path);
    if (auto* message = std::get_if<std::string>(&loaded))
        return std::move(*message);
    auto file = std::make_shared<WindowFile>();
    file->Path = path;
    file->Window = std::move(std::get<ProcessWindow>(loaded));
    return std::shared_ptr<const WindowFile>(std::move(file));
}

JudgedWindow JudgeWindow(const RunHistory& run, std::shared_ptr<const WindowFile> file) {
    JudgedWindow judged;
    judged.File = std::move(file);
    const ProcessWindow& window = judged.File->Window;
    RunMetrics read(run, &window);
    // The scheme's side first: a run whose inputs no exact solution accepts
    // (a result file written elsewhere) still has it.
    try {
        judged.Scheme = read.Window(false);
    } catch (const std::exception&) {
        judged.Scheme = NoValues(window);
    }
    try {
        judged.Exact = read.Window(true);
    } catch (const std::exception& error) {
        judged.Exact = NoValues(window);
        judged.ExactProblem = error.what();
    }
    return judged;
}

LimitMark MarkOf(const std::string& metric) {
    LimitMark mark;
    const auto name = FindMetric(metric);
    if (!name)
        return mark;
    using Source = MetricName::Source;
    if (name->From == Source::Profile) {
        mark.Channel = ChannelWord(metric);
        switch (name->Stat.Stat) {
        case StatKind::PeakT:
            mark.What = LimitMark::Kind::Band;
            break;
        case StatKind::TimeAbove:
        case StatKind::TimeTo:
            mark.What = LimitMark::Kind::Thresholds;
            mark.Levels = {name->Stat.X};
            break;
        case StatKind::TimeBetween:
            mark.What = LimitMark::Kind::Thresholds;
            mark.Levels = {name->Stat.X, name->Stat.Y};
            break;
        default:
            break;
        }
        return mark;
    }
    // A report metric is a temperature when its last key is one of the
    // points (T1, T6, T11, TAV, T of a peak or a low); dT and the distances
    // from the exact solution are differences, with no place on the axis.
    if (name->From == Source::Report && !name->Path.empty() && name->Path.back().starts_with('T') &&
        MetricUnit(metric) == "\u2103") {
        mark.What = LimitMark::Kind::Band;
        mark.Zone = name->Zone;
    }
    return mark;
}

} // namespace korvane
