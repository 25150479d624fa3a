#include "BatchFit.h"

#include "Calibration.h"
#include "MeasuredProfile.h"
#include "ProfileComparison.h"
#include "RunExport.h"
#include "WhatIfOptions.h"

#include <chrono>
#include <cmath>
#include <optional>
#include <variant>

namespace korvane {

namespace {

// The first option given of those listed.
const char* Given(std::initializer_list<std::pair<const char*, bool>> options) {
    for (const auto& [name, given] : options)
        if (given)
            return name;
    return nullptr;
}

std::string FilesNamed(std::size_t count) {
    return count == 1 ? "only one file is named" : std::to_string(count) + " files are named";
}

// The request of the command's --measured options, or what is wrong (exit 64).
std::variant<MeasuredRequest, std::string> Request(const BatchCommand& command) {
    MeasuredRequest request;
    request.File = command.Measured;
    request.TimeColumn = command.TimeColumn;
    for (const auto& text : command.Channels) {
        const auto parsed = ParseChannelOption(text);
        if (!parsed.Error.empty())
            return parsed.Error;
        request.Channels.push_back(parsed.Channel);
    }
    if (!command.Unit.empty()) {
        request.Unit = ParseUnit(command.Unit);
        if (!request.Unit)
            return "--unit " + command.Unit + ": the unit is C or F";
    }
    if (!command.Start.empty()) {
        const auto start = ParseStartTime(command.Start);
        if (!start)
            return "--start " + command.Start +
                   ": give seconds (\".\" as the decimal point), mm:ss or hh:mm:ss";
        request.Start = *start;
    }
    return request;
}

std::variant<double, std::string> LagOf(const BatchCommand& command) {
    if (command.Lag.empty())
        return 0.0;
    const auto lag = ParsePlainNumber(command.Lag);
    if (!lag || *lag < 0)
        return "--lag " + command.Lag +
               ": a time constant in seconds from 0 (\".\" as the "
               "decimal point)";
    return *lag;
}

// The profile, or its message on err.
std::optional<MeasuredProfile> ReadProfile(const MeasuredRequest& request, std::ostream& err) {
    try {
        return ReadMeasuredProfile(request);
    } catch (const MeasuredError& error) {
        err << error.what() << '\n';
        return std::nullopt;
    }
}

// The report's "measured" member for a run, the summary kept for out.
BatchOutputs WithComparison(BatchOutputs outputs, const MeasuredProfile& profile, double lag,
                            std::string* summary) {
    outputs.OnRows = [&profile, lag, summary](const RunHistory& run) {
        const ProfileComparison comparison = CompareProfile(profile, run, lag);
        if (summary)
            *summary = ComparisonSummary(comparison);
        return std::vector<ReportMember>{{"measured", ComparisonJson(profile, comparison)}};
    };
    return outputs;
}

// The fit's trials on a terminal, written over in place, once it takes more
// than a second.
class FitProgress {
  public:
    explicit FitProgress(std::ostream& err) : err_(err) {}
    bool operator()(int trials, double rms) {
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        if (elapsed >= 1 && elapsed - shownAt_ >= 0.5) {
            shownAt_ = elapsed;
            shown_ = true;
            err_ << "\rfit: " << trials << " trials, rms " << ShortestNumber(rms) << "    "
                 << std::flush;
        }
        return true;
    }
    void Finish() {
        if (shown_)
            err_ << '\n';
    }

  private:
    std::ostream& err_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    double shownAt_ = 0;
    bool shown_ = false;
};

} // namespace

bool WantsMeasured(const BatchCommand& c) {
    return !c.Measured.empty() || !c.Channels.empty() || !c.Fits.empty() || !c.Start.empty() ||
           !c.TimeColumn.empty() || !c.Unit.empty() || !c.Model.empty() || !c.Lag.empty() ||
           !c.OutData.empty() || !c.Threads.empty();
}

std::string ClassifyMeasured(BatchCommand& c, std::size_t files) {
    const bool fit = !c.Fits.empty();
    if (const char* whatIf = Given({{"--sweep", !c.Sweeps.empty()},
                                    {"--metrics", !c.Metrics.empty()},
                                    {"--out", !c.OutFile.empty()},
                                    {"--share", !c.Share.empty()},
                                    {"--seek", !c.Seek.empty()},
                                    {"--target", !c.Target.empty()},
                                    {"--tolerance", !c.Tolerance.empty()},
                                    {"--input-tolerance", !c.InputTolerance.empty()}}))
        return std::string(whatIf) + " does not go with " + (fit ? "--fit" : "--measured");
    if (c.Measured.empty()) {
        if (fit)
            return "--fit needs --measured FILE";
        const char* option = Given({{"--channel", !c.Channels.empty()},
                                    {"--start", !c.Start.empty()},
                                    {"--time-column", !c.TimeColumn.empty()},
                                    {"--unit", !c.Unit.empty()},
                                    {"--lag", !c.Lag.empty()}});
        if (option)
            return std::string(option) + " belongs to --measured";
    }
    if (!fit) {
        if (const char* option =
                Given({{"--model", !c.Model.empty()}, {"--out-data", !c.OutData.empty()}}))
            return std::string(option) + " belongs to --fit or --optimise";
        if (!c.Threads.empty())
            return "--threads belongs to --fit";
    }
    if (c.Channels.empty())
        return "--measured needs --channel COLUMN=DEPTH";
    const bool outputs = !c.Outputs.ReportFile.empty() || !c.Outputs.CsvFile.empty();
    if (fit) {
        if (files == 0)
            return "--fit needs DATAFILE";
        if (files > 2)
            return "--fit takes DATAFILE and at most RESULTFILE; " + FilesNamed(files);
        if (outputs && files != 2)
            return std::string(!c.Outputs.ReportFile.empty() ? "--report" : "--csv") +
                   " with --fit needs RESULTFILE after DATAFILE";
        c.Do = BatchCommand::Action::Fit;
        return {};
    }
    if (files == 0)
        return "--measured needs DATAFILE and RESULTFILE";
    if (files != 2)
        return "--measured with a run takes DATAFILE and RESULTFILE; " + FilesNamed(files);
    c.Do = BatchCommand::Action::Run;
    return {};
}

int RunBatchMeasured(const BatchCommand& command, std::ostream& out, std::ostream& err) {
    auto request = Request(command);
    if (auto* problem = std::get_if<std::string>(&request)) {
        err << *problem << '\n';
        return BatchUsage;
    }
    const auto lag = LagOf(command);
    if (auto* problem = std::get_if<std::string>(&lag)) {
        err << *problem << '\n';
        return BatchUsage;
    }
    // A profile that cannot be read refuses the run before anything is written.
    const auto profile = ReadProfile(std::get<MeasuredRequest>(request), err);
    if (!profile)
        return BatchRefused;
    std::string summary;
    const int code =
        RunBatch(command.DataFile, command.ResultFile, err,
                 WithComparison(command.Outputs, *profile, std::get<double>(lag), &summary));
    std::string error;
    if (!summary.empty() && !WriteAll(out, summary, error)) {
        err << "Can not write the comparison to standard output (" << error << ")\n";
        return BatchFailed;
    }
    return code;
}

int RunBatchFit(const BatchCommand& command, std::ostream& out, std::ostream& err,
                bool showProgress) {
    const auto usage = [&](const std::string& problem) {
        err << problem << '\n';
        return BatchUsage;
    };
    auto request = Request(command);
    if (auto* problem = std::get_if<std::string>(&request))
        return usage(*problem);
    const auto lag = LagOf(command);
    if (auto* problem = std::get_if<std::string>(&lag))
        return usage(*problem);
    FitSetup setup;
    for (const auto& text : command.Fits) {
        const auto parsed = ParseFitOption(text);
        if (!parsed.Error.empty())
            return usage(parsed.Error);
        setup.Parameters.push_back(parsed.Parameter);
    }
    if (!command.Model.empty()) {
        const auto model = ParseFitModel(command.Model);
        if (!model)
            return usage("--model " + command.Model + ": the model is exact or scheme");
        setup.Model = *model;
    }
    if (!command.Threads.empty()) {
        const auto threads = ParsePlainNumber(command.Threads);
        if (!threads || *threads < 1 || *threads > 64 || *threads != std::floor(*threads))
            return usage("--threads " + command.Threads + ": a whole number from 1 to 64");
        setup.Threads = static_cast<unsigned>(*threads);
    }
    setup.Lag = std::get<double>(lag);

    const auto profile = ReadProfile(std::get<MeasuredRequest>(request), err);
    if (!profile)
        return BatchRefused;
    auto loaded = WhatIfCase::FromDataFile(command.DataFile);
    if (auto* message = std::get_if<std::string>(&loaded)) {
        err << *message << '\n';
        return BatchRefused;
    }
    const WhatIfCase& base = std::get<WhatIfCase>(loaded);
    setup.Base = &base;
    setup.Profile = &*profile;
    if (const auto problem = FitSetupProblem(setup); !problem.empty())
        return usage(problem);

    FitProgress progress(err);
    std::function<bool(int, double)> onTrial;
    if (showProgress)
        onTrial = [&progress](int trials, double rms) { return progress(trials, rms); };
    FitResult result;
    try {
        result = RunFit(setup, onTrial);
    } catch (const std::exception& error) {
        progress.Finish();
        err << error.what() << '\n';
        return BatchFailed;
    }
    progress.Finish();
    for (const auto& note : result.Notes)
        err << note << '\n';
    switch (result.Status) {
    case FitStatus::Refused:
        return BatchRefused;
    case FitStatus::NotConverged:
    case FitStatus::Stopped:
        return BatchNoSolution;
    case FitStatus::Converged:
    case FitStatus::OnBound:
        break;
    }
    std::string error;
    if (!WriteAll(out, FitReport(setup, result), error)) {
        err << "Can not write the fit to standard output (" << error << ")\n";
        return BatchFailed;
    }
    if (result.Status == FitStatus::OnBound)
        return BatchNoSolution;
    if (!command.OutData.empty() &&
        !WriteWholeFile(command.OutData, DataFileText(result.DataValues), error)) {
        err << "Can not write the fitted inputs to file " << command.OutData << " (" << error
            << ")\n";
        return BatchFailed;
    }
    if (command.ResultFile.empty())
        return BatchOk;
    // The fitted run, held against the profile at the fitted start and lag.
    MeasuredProfile fitted = *profile;
    fitted.Start = result.Start;
    return RunBatchValues(result.DataValues, command.ResultFile, err,
                          WithComparison(command.Outputs, fitted, result.Lag, nullptr));
}

} // namespace korvane
