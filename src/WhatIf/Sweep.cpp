#include "Sweep.h"

#include "RunExport.h"

#include <charconv>
#include <cmath>
#include <limits>

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

// The message field as CsvField wrote it.
std::optional<std::string> ReadCsvField(std::string_view field) {
    if (field.empty() || field.front() != '"') {
        if (field.find_first_of(",\"\r\n") != std::string_view::npos)
            return std::nullopt;
        return std::string(field);
    }
    if (field.size() < 2 || field.back() != '"')
        return std::nullopt;
    std::string text;
    for (std::size_t i = 1; i + 1 < field.size(); ++i) {
        if (field[i] == '"') {
            if (i + 2 >= field.size() || field[i + 1] != '"')
                return std::nullopt;
            ++i;
        }
        text += field[i];
    }
    return text;
}

} // namespace

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
                           const std::vector<MetricName>& metrics, bool withTrial) {
    std::string line = withTrial ? "trial," : "";
    for (const auto& axis : axes)
        line += axis.Input->Name + ",";
    for (const auto& metric : metrics)
        line += metric.Name + ",";
    return line + "message\n";
}

std::string SweepCsvLine(const SweepRow& row, std::size_t metricCount, bool withTrial) {
    std::string line = withTrial ? std::to_string(row.Index + 1) + "," : "";
    for (double value : row.Inputs)
        line += ShortestNumber(value) + ",";
    for (std::size_t m = 0; m < metricCount; ++m) {
        if (m < row.Outcome.Metrics.size())
            line += ShortestNumber(row.Outcome.Metrics[m]);
        line += ",";
    }
    return line + CsvField(row.Outcome.Message) + "\n";
}

std::optional<SweepRow> ParseSweepCsvLine(std::string_view line, std::size_t inputCount,
                                          std::size_t metricCount, bool withTrial) {
    // Numbers never hold a comma; only the message may be quoted.
    std::vector<std::string_view> cells;
    std::size_t start = 0;
    for (std::size_t c = 0; c < (withTrial ? 1 : 0) + inputCount + metricCount; ++c) {
        const auto comma = line.find(',', start);
        if (comma == std::string_view::npos)
            return std::nullopt;
        cells.push_back(line.substr(start, comma - start));
        start = comma + 1;
    }
    SweepRow row;
    std::size_t c = 0;
    if (withTrial) {
        const std::string_view text = cells[c++];
        std::size_t trial = 0;
        const auto read = std::from_chars(text.data(), text.data() + text.size(), trial);
        if (text.empty() || read.ec != std::errc() || read.ptr != text.data() + text.size() ||
            trial < 1)
            return std::nullopt;
        row.Index = trial - 1;
    }
    for (std::size_t i = 0; i < inputCount; ++i) {
        const auto value = ParsePlainNumber(cells[c++]);
        if (!value)
            return std::nullopt;
        row.Inputs.push_back(*value);
    }
    for (std::size_t m = 0; m < metricCount; ++m) {
        const std::string_view text = cells[c++];
        const auto value = text.empty()
                               ? std::optional<double>(std::numeric_limits<double>::quiet_NaN())
                               : ParsePlainNumber(text);
        if (!value)
            return std::nullopt;
        row.Outcome.Metrics.push_back(*value);
    }
    auto message = ReadCsvField(line.substr(start));
    if (!message)
        return std::nullopt;
    row.Outcome.Message = std::move(*message);
    return row;
}

} // namespace korvane
