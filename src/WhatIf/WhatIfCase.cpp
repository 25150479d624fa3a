#include "WhatIfCase.h"

#include "ExactSlab.h"
#include "Messages.h"
#include "NumberFormat.h"
#include "RunExport.h"
#include "RunHistory.h"
#include "RunInput.h"
#include "RunMetrics.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace korvane {

namespace {

// What an in-memory trial puts in the save-name boxes: any name passes the check.
constexpr const char* TrialSaveName = "what-if";

} // namespace

std::string ValueText(double value, bool integer) {
    if (integer && value == std::nearbyint(value) && std::abs(value) < 2147483648.0)
        return std::to_string(static_cast<long long>(value));
    std::string text = ShortestNumber(value);
    std::replace(text.begin(), text.end(), '.', DecimalSeparator());
    return text;
}

int CheckNumberOf(const std::string& message) {
    for (std::size_t k = 0; k < CheckMessages.size(); ++k)
        if (message == CheckMessages[k])
            return static_cast<int>(k) + 1;
    return 0;
}

std::string DataFileText(const DataLineArray& values) {
    std::string text;
    for (const auto& input : InputNames())
        text += input.Name + " = " + values[static_cast<std::size_t>(input.Line)] + "\n";
    return text;
}

WhatIfCase::WhatIfCase(DataLineArray values, std::string dataFileName)
    : values_(std::move(values)), dataFileName_(std::move(dataFileName)) {}

std::variant<WhatIfCase, std::string> WhatIfCase::FromDataFile(const std::string& path) {
    DataLineArray lines;
    if (!ReadDataLines(path, lines))
        return std::string(msg::DataFileCanNotOpen);
    auto values = ExtractDataValues(lines);
    if (!values)
        return DataFormatMessage(path);
    return WhatIfCase(std::move(*values), path);
}

DataLineArray WhatIfCase::TrialValues(const std::vector<TrialSetting>& settings) const {
    DataLineArray values = values_;
    for (const auto& setting : settings)
        values[static_cast<std::size_t>(setting.Input->Line)] =
            ValueText(setting.Value, setting.Input->Integer);
    return values;
}

std::variant<TCalcInput, std::string>
WhatIfCase::TrialInput(const std::vector<TrialSetting>& settings,
                       const std::string& saveName) const {
    // Zones that do not count keep an all-zero record, as in a batch run.
    TCalcInput input{};
    if (auto failure = ReadRunInput(BoxesFromDataValues(TrialValues(settings), saveName), input))
        return std::move(*failure);
    return input;
}

TrialOutcome WhatIfCase::Run(const std::vector<TrialSetting>& settings,
                             const std::vector<MetricName>& metrics) const {
    TrialOutcome outcome;
    auto input = TrialInput(settings, TrialSaveName);
    if (auto* message = std::get_if<std::string>(&input)) {
        outcome.Message = std::move(*message);
        return outcome;
    }
    try {
        const RunHistory run = ComputeRun(std::get<TCalcInput>(input));
        RunMetrics read(run, window_.get());
        for (const auto& metric : metrics)
            outcome.Metrics.push_back(read.Value(metric));
    } catch (const std::exception& error) {
        outcome.Metrics.clear();
        outcome.Message = error.what();
    }
    return outcome;
}

std::string WhatIfCase::MetricProblem(const MetricName& metric) const {
    if (metric.From != MetricName::Source::Window)
        return {};
    if (!window_)
        return metric.Name + " needs a process window (--window FILE)";
    const std::size_t limits = window_->Limits.size();
    if (metric.Limit > limits)
        return metric.Name + ": the window has " + std::to_string(limits) +
               (limits == 1 ? " limit" : " limits");
    return {};
}

} // namespace korvane
