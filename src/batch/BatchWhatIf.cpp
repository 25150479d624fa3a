#include "BatchWhatIf.h"

#include "GoalSeek.h"
#include "Sweep.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <variant>

namespace korvane {

namespace {

// The data file as a what-if base, or its message on err.
const WhatIfCase* LoadCase(const std::string& path, std::optional<WhatIfCase>& holder,
                           std::ostream& err) {
    auto loaded = WhatIfCase::FromDataFile(path);
    if (auto* message = std::get_if<std::string>(&loaded)) {
        err << *message << '\n';
        return nullptr;
    }
    holder.emplace(std::move(std::get<WhatIfCase>(loaded)));
    return &*holder;
}

// "K/N" with 1 <= K <= N.
std::optional<SweepShare> ParseShare(const std::string& text) {
    if (text.empty())
        return SweepShare{};
    const auto slash = text.find('/');
    const auto k = ParsePlainNumber(std::string_view(text).substr(0, slash));
    const auto n = slash == std::string::npos
                       ? std::nullopt
                       : ParsePlainNumber(std::string_view(text).substr(slash + 1));
    if (!k || !n || *k != std::floor(*k) || *n != std::floor(*n) || *k < 1 || *k > *n || *n > 1000)
        return std::nullopt;
    return SweepShare{static_cast<std::size_t>(*k) - 1, static_cast<std::size_t>(*n)};
}

} // namespace

int RunBatchSweep(const BatchCommand& command, std::ostream& out, std::ostream& err) {
    std::vector<SweepAxis> axes;
    for (const auto& text : command.Sweeps) {
        auto parsed = ParseSweepAxis(text);
        if (!parsed.Error.empty()) {
            err << parsed.Error << '\n';
            return BatchUsage;
        }
        for (const auto& axis : axes)
            if (axis.Input == parsed.Axis.Input) {
                err << "input '" << axis.Input->Name << "' is swept twice\n";
                return BatchUsage;
            }
        axes.push_back(parsed.Axis);
    }
    const auto metrics = ParseMetricList(command.Metrics);
    if (!metrics.Error.empty()) {
        err << metrics.Error << '\n';
        return BatchUsage;
    }
    const auto share = ParseShare(command.Share);
    if (!share) {
        err << "--share reads K/N with 1 <= K <= N: " << command.Share << '\n';
        return BatchUsage;
    }
    std::optional<WhatIfCase> holder;
    const WhatIfCase* base = LoadCase(command.DataFile, holder, err);
    if (!base)
        return BatchRefused;

    std::ofstream file;
    const bool toOut = command.OutFile == "-";
    if (!toOut) {
        file.open(command.OutFile, std::ios::binary | std::ios::trunc);
        if (!file) {
            err << "Can not write the sweep to file " << command.OutFile << " ("
                << std::strerror(errno) << ")\n";
            return BatchFailed;
        }
    }
    std::ostream& csv = toOut ? out : file;
    csv << SweepCsvHeader(axes, metrics.Metrics);
    RunSweep(
        *base, axes, metrics.Metrics,
        [&](const SweepRow& row) {
            csv << SweepCsvLine(row, metrics.Metrics.size());
            // A reader of the stream sees each trial as soon as it is done.
            if (toOut)
                csv.flush();
            return static_cast<bool>(csv);
        },
        *share);
    csv.flush();
    if (!toOut)
        file.close();
    if (!csv || (!toOut && !file)) {
        err << "Can not write the sweep to file " << command.OutFile << '\n';
        return BatchFailed;
    }
    return BatchOk;
}

int RunBatchSeek(const BatchCommand& command, std::ostream& out, std::ostream& err) {
    const std::string_view seek = command.Seek;
    const auto equals = seek.find('=');
    const InputName* input = FindInput(seek.substr(0, equals));
    if (!input) {
        err << UnknownInputMessage(seek.substr(0, equals)) << '\n';
        return BatchUsage;
    }
    const std::string_view range =
        equals == std::string_view::npos ? std::string_view() : seek.substr(equals + 1);
    const auto colon = range.find(':');
    const auto from = ParsePlainNumber(range.substr(0, colon));
    const auto to =
        colon == std::string_view::npos ? std::nullopt : ParsePlainNumber(range.substr(colon + 1));
    if (!from || !to) {
        err << "a seek reads NAME=FROM:TO (\".\" as the decimal point): " << seek << '\n';
        return BatchUsage;
    }

    const std::string_view targetText = command.Target;
    const auto targetEquals = targetText.rfind('=');
    const auto metric = FindMetric(targetText.substr(0, targetEquals));
    if (!metric) {
        err << UnknownMetricMessage(targetText.substr(0, targetEquals)) << '\n';
        return BatchUsage;
    }
    const auto target = targetEquals == std::string_view::npos
                            ? std::nullopt
                            : ParsePlainNumber(targetText.substr(targetEquals + 1));
    if (!target) {
        err << "a target reads METRIC=VALUE (\".\" as the decimal point): " << targetText << '\n';
        return BatchUsage;
    }

    SeekOptions options;
    for (const auto& [text, field] :
         {std::pair{&command.Tolerance, &options.MetricTolerance},
          std::pair{&command.InputTolerance, &options.InputTolerance}}) {
        if (text->empty())
            continue;
        const auto value = ParsePlainNumber(*text);
        if (!value || !(*value >= 0)) {
            err << "a tolerance is a number from 0 (\".\" as the decimal point): " << *text << '\n';
            return BatchUsage;
        }
        *field = *value;
    }

    std::optional<WhatIfCase> holder;
    const WhatIfCase* base = LoadCase(command.DataFile, holder, err);
    if (!base)
        return BatchRefused;
    const SeekResult result = GoalSeek(*base, *input, *from, *to, *metric, *target, options);
    for (const auto& note : result.Notes)
        err << note << '\n';
    if (result.Status == SeekStatus::NotBracketed)
        return BatchNoSolution;
    if (result.Status != SeekStatus::Found)
        return BatchRefused;
    out << SeekLine(*input, *metric, result) << '\n' << std::flush;
    if (command.ResultFile.empty())
        return BatchOk;
    return RunBatchValues(base->TrialValues({{input, result.Value}}), command.ResultFile, err,
                          command.Outputs);
}

} // namespace korvane
