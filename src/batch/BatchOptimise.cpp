#include "BatchOptimise.h"

#include "RecipeSearch.h"
#include "RunExport.h"
#include "RunMetrics.h"
#include "WhatIfOptions.h"

#include <chrono>
#include <cmath>
#include <optional>
#include <variant>

namespace korvane {

namespace {

std::string FilesNamed(std::size_t count) {
    return count == 1 ? "only one file is named" : std::to_string(count) + " files are named";
}

// A whole number from lo to hi, or nothing.
std::optional<long long> WholeNumber(const std::string& text, long long lo, long long hi) {
    const auto value = ParsePlainNumber(text);
    if (!value || *value != std::floor(*value) || *value < static_cast<double>(lo) ||
        *value > static_cast<double>(hi))
        return std::nullopt;
    return static_cast<long long>(*value);
}

// The runs and the best recipe every half second: on a terminal written over
// in place once the search takes more than a second, for a program reading
// them (--progress) a line each from the start.
class SearchProgress {
  public:
    SearchProgress(std::ostream& err, bool lines) : err_(err), lines_(lines) {}
    bool operator()(int runs, const std::string& best) {
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        if ((elapsed >= 1 || lines_) && (!shown_ || elapsed - shownAt_ >= 0.5)) {
            shownAt_ = elapsed;
            shown_ = true;
            const std::string text = "optimise: " + std::to_string(runs) + " runs, " + best;
            if (lines_)
                err_ << text << std::endl;
            else
                err_ << '\r' << text << "    " << std::flush;
        }
        return true;
    }
    void Finish() {
        if (shown_ && !lines_)
            err_ << '\n';
    }

  private:
    std::ostream& err_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    bool lines_;
    double shownAt_ = 0;
    bool shown_ = false;
};

} // namespace

bool WantsOptimise(const BatchCommand& c) {
    return !c.Optimise.empty() || !c.Goal.empty() || !c.Margin.empty() || !c.Jobs.empty() ||
           !c.MaxRuns.empty() || c.Progress;
}

std::string ClassifyOptimise(BatchCommand& c, std::size_t files) {
    if (c.Optimise.empty()) {
        for (const auto& [name, value] : {std::pair{"--goal", &c.Goal},
                                          {"--margin", &c.Margin},
                                          {"--jobs", &c.Jobs},
                                          {"--max-runs", &c.MaxRuns}})
            if (!value->empty())
                return std::string(name) + " belongs to --optimise";
        return "--progress belongs to --optimise";
    }
    for (const auto& [name, given] : {std::pair{"--sweep", !c.Sweeps.empty()},
                                      {"--metrics", !c.Metrics.empty()},
                                      {"--out", !c.OutFile.empty()},
                                      {"--share", !c.Share.empty()},
                                      {"--seek", !c.Seek.empty()},
                                      {"--target", !c.Target.empty()},
                                      {"--tolerance", !c.Tolerance.empty()},
                                      {"--input-tolerance", !c.InputTolerance.empty()},
                                      {"--fit", !c.Fits.empty()},
                                      {"--measured", !c.Measured.empty()},
                                      {"--channel", !c.Channels.empty()},
                                      {"--start", !c.Start.empty()},
                                      {"--time-column", !c.TimeColumn.empty()},
                                      {"--unit", !c.Unit.empty()},
                                      {"--lag", !c.Lag.empty()},
                                      {"--threads", !c.Threads.empty()},
                                      {"--fail-outside", c.Outputs.FailOutside}})
        if (given)
            return std::string(name) + " does not go with --optimise";
    if (c.Outputs.WindowFile.empty())
        return "--optimise needs --window FILE, the process window to meet";
    if (c.Goal.empty())
        return "--optimise needs --goal centre, max:NAME or min:NAME";
    if (files == 0)
        return "--optimise needs DATAFILE";
    if (files > 2)
        return "--optimise takes DATAFILE and at most RESULTFILE; " + FilesNamed(files);
    const bool outputs = !c.Outputs.ReportFile.empty() || !c.Outputs.CsvFile.empty();
    if (outputs && files != 2)
        return std::string(!c.Outputs.ReportFile.empty() ? "--report" : "--csv") +
               " with --optimise needs RESULTFILE after DATAFILE";
    c.Do = BatchCommand::Action::Optimise;
    return {};
}

int RunBatchOptimise(const BatchCommand& command, std::ostream& out, std::ostream& err,
                     bool showProgress) {
    const auto usage = [&](const std::string& problem) {
        err << problem << '\n';
        return BatchUsage;
    };
    RecipeSetup setup;
    for (const auto& text : command.Optimise) {
        const auto parsed = ParseBoundOption("--optimise", text, false);
        if (!parsed.Error.empty())
            return usage(parsed.Error);
        setup.Inputs.push_back(parsed.Parameter);
    }
    const auto goal = ParseRecipeGoal(command.Goal);
    if (!goal.Error.empty())
        return usage(goal.Error);
    setup.Goal = goal.Goal;
    setup.GoalInput = goal.Input;
    if (!command.Model.empty()) {
        const auto model = ParseFitModel(command.Model);
        if (!model)
            return usage("--model " + command.Model + ": the model is exact or scheme");
        setup.Model = *model;
    }
    if (!command.Margin.empty()) {
        const auto margin = ParsePlainNumber(command.Margin);
        if (!margin)
            return usage("--margin " + command.Margin +
                         ": an index above 0 and at most 100 (\".\" as the decimal point)");
        setup.Margin = *margin;
    }
    if (!command.Jobs.empty()) {
        const auto jobs = WholeNumber(command.Jobs, 1, 64);
        if (!jobs)
            return usage("--jobs " + command.Jobs + ": a whole number from 1 to 64");
        setup.Jobs = static_cast<unsigned>(*jobs);
    }
    if (!command.MaxRuns.empty()) {
        const auto runs = WholeNumber(command.MaxRuns, 10, 10000000);
        if (!runs)
            return usage("--max-runs " + command.MaxRuns + ": a whole number from 10 to 10000000");
        setup.MaxRuns = static_cast<int>(*runs);
    }

    const auto window = LoadWindow(command.Outputs.WindowFile);
    if (auto* message = std::get_if<std::string>(&window)) {
        err << *message << '\n';
        return BatchRefused;
    }
    auto loaded = WhatIfCase::FromDataFile(command.DataFile);
    if (auto* message = std::get_if<std::string>(&loaded)) {
        err << *message << '\n';
        return BatchRefused;
    }
    const WhatIfCase& base = std::get<WhatIfCase>(loaded);
    setup.Base = &base;
    setup.Window = &std::get<ProcessWindow>(window);
    if (const auto problem = RecipeSetupProblem(setup); !problem.empty())
        return usage(problem);

    SearchProgress progress(err, command.Progress);
    RecipeProgress onRun;
    if (showProgress || command.Progress)
        onRun = [&progress, &setup](int runs, double pwi, double value) {
            return progress(runs, RecipeProgressText(setup, pwi, value));
        };
    RecipeResult result;
    std::variant<RecipeJudgement, std::string> judged;
    try {
        result = SearchRecipe(setup, onRun);
        judged = JudgeRecipe(base, *setup.Window, result.DataValues);
    } catch (const std::exception& error) {
        progress.Finish();
        err << error.what() << '\n';
        return BatchFailed;
    }
    progress.Finish();
    const std::string model = setup.Model == FitModel::Exact ? "the exact solution" : "the scheme";
    if (!result.Inside) {
        err << "No recipe within the bounds is inside the window on " << model;
        if (setup.Margin < 100)
            err << " with the margin " << ShortestNumber(setup.Margin);
        if (std::isnan(result.Window.Pwi)) {
            err << ": no trial gave every limit a value";
            if (!result.Refusal.empty())
                err << " (" << result.Refusal << ")";
            err << '\n';
        } else {
            err << ": the best index found is " << ShortestNumber(result.Window.Pwi) << " after "
                << result.Runs << " runs, and " << StoppingLimit(*setup.Window, result.Window)
                << '\n';
        }
    }
    if (auto* message = std::get_if<std::string>(&judged)) {
        // Only a best trial that the checks refused gets here.
        err << *message << '\n';
        return BatchNoSolution;
    }
    std::string error;
    if (!WriteAll(out, RecipeReport(setup, result, std::get<RecipeJudgement>(judged)), error)) {
        err << "Can not write the recipe to standard output (" << error << ")\n";
        return BatchFailed;
    }
    if (!result.Inside)
        return BatchNoSolution;
    for (const auto& note : BoundNotes(setup, result))
        err << note << '\n';
    if (!command.OutData.empty() &&
        !WriteWholeFile(command.OutData, DataFileText(result.DataValues), error)) {
        err << "Can not write the recipe to file " << command.OutData << " (" << error << ")\n";
        return BatchFailed;
    }
    if (command.ResultFile.empty())
        return BatchOk;
    BatchOutputs outputs = command.Outputs;
    return RunBatchValues(result.DataValues, command.ResultFile, err, outputs);
}

} // namespace korvane
