#include "Sweep.h"

#include "RunExport.h"

#include <charconv>
#include <cmath>

namespace korvane {

namespace {

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

} // namespace

std::vector<double> AxisValues(const SweepAxis& axis) {
    std::vector<double> values;
    if (axis.Steps < 1)
        return values;
    values.push_back(axis.From);
    for (int i = 1; i + 1 < axis.Steps; ++i)
        values.push_back(static_cast<double>(
            axis.From + (static_cast<long double>(axis.To) - axis.From) * i / (axis.Steps - 1)));
    if (axis.Steps > 1)
        values.push_back(axis.To);
    return values;
}

std::optional<double> ParsePlainNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

ParsedAxis ParseSweepAxis(std::string_view text) {
    ParsedAxis parsed;
    const auto equals = text.find('=');
    const std::string_view name = text.substr(0, equals);
    parsed.Axis.Input = FindInput(name);
    if (!parsed.Axis.Input) {
        parsed.Error = UnknownInputMessage(name);
        return parsed;
    }
    const std::string_view range =
        equals == std::string_view::npos ? std::string_view() : text.substr(equals + 1);
    const auto colon1 = range.find(':');
    const auto colon2 = colon1 == std::string_view::npos ? colon1 : range.find(':', colon1 + 1);
    std::optional<double> from, to, steps;
    if (colon2 != std::string_view::npos) {
        from = ParsePlainNumber(range.substr(0, colon1));
        to = ParsePlainNumber(range.substr(colon1 + 1, colon2 - colon1 - 1));
        steps = ParsePlainNumber(range.substr(colon2 + 1));
    }
    if (!from || !to || !steps || *steps < 1 || *steps > 1000000 || *steps != std::floor(*steps)) {
        parsed.Error = "a sweep reads NAME=FROM:TO:STEPS with STEPS a whole number from 1 "
                       "(\".\" as the decimal point): " +
                       std::string(text);
        return parsed;
    }
    parsed.Axis.From = *from;
    parsed.Axis.To = *to;
    parsed.Axis.Steps = static_cast<int>(*steps);
    return parsed;
}

std::size_t SweepSize(const std::vector<SweepAxis>& axes) {
    std::size_t size = axes.empty() ? 0 : 1;
    for (const auto& axis : axes)
        size *= static_cast<std::size_t>(std::max(axis.Steps, 0));
    return size;
}

void RunSweep(const WhatIfCase& base, const std::vector<SweepAxis>& axes,
              const std::vector<MetricName>& metrics,
              const std::function<bool(const SweepRow&)>& onRow, SweepShare share) {
    std::vector<std::vector<double>> values;
    for (const auto& axis : axes)
        values.push_back(AxisValues(axis));
    const std::size_t total = SweepSize(axes);
    for (std::size_t index = share.Part; index < total; index += share.Parts) {
        SweepRow row;
        row.Index = index;
        std::vector<TrialSetting> settings(axes.size());
        // The last axis varies fastest.
        std::size_t rest = index;
        for (std::size_t a = axes.size(); a-- > 0;) {
            const auto& axisValues = values[a];
            settings[a] = {axes[a].Input, axisValues[rest % axisValues.size()]};
            rest /= axisValues.size();
        }
        for (const auto& setting : settings)
            row.Inputs.push_back(setting.Value);
        row.Outcome = base.Run(settings, metrics);
        if (!onRow(row))
            return;
    }
}

std::string SweepCsvHeader(const std::vector<SweepAxis>& axes,
                           const std::vector<MetricName>& metrics) {
    std::string line;
    for (const auto& axis : axes)
        line += axis.Input->Name + ",";
    for (const auto& metric : metrics)
        line += metric.Name + ",";
    return line + "message\n";
}

std::string SweepCsvLine(const SweepRow& row, std::size_t metricCount) {
    std::string line;
    for (double value : row.Inputs)
        line += ShortestNumber(value) + ",";
    for (std::size_t m = 0; m < metricCount; ++m) {
        if (m < row.Outcome.Metrics.size())
            line += ShortestNumber(row.Outcome.Metrics[m]);
        line += ",";
    }
    return line + CsvField(row.Outcome.Message) + "\n";
}

} // namespace korvane
