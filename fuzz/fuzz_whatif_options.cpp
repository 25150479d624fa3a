// The what-if options of korvane-batch: the sweep axis, the seek range and
// target, the share, the metric list, the lines of a share's stream and the
// seek's answer, a recipe search's bounds, goal and answer lines, and the
// command line. Each line of the input goes to every
// reader, and all lines together are the command line. Nothing may crash or
// hang; what a reader accepts is finite and within the caps, and reads back
// the same from the text its writer makes of it.
#include "BatchRun.h"
#include "FitOptions.h"
#include "FuzzCheck.h"
#include "GoalSeek.h"
#include "RecipeSearch.h"
#include "Sweep.h"
#include "WhatIfOptions.h"
#include "WhatIfPlan.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using korvane::fuzz::Shown;

namespace {

// Longer axes add nothing but time to the values' checks.
constexpr int MaxCheckedSteps = 10000;

bool Same(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void CheckError(const std::string& error, const std::string& text) {
    FUZZ_CHECK(error.find('\n') == std::string::npos, "a message of two lines for \"%s\"",
               Shown(text).c_str());
}

void CheckAxis(const std::string& text, std::vector<korvane::SweepAxis>& axes) {
    const auto parsed = korvane::ParseSweepAxis(text);
    if (!parsed.Error.empty())
        return CheckError(parsed.Error, text);
    const korvane::SweepAxis& axis = parsed.Axis;
    FUZZ_CHECK(axis.Input && std::isfinite(axis.From) && std::isfinite(axis.To) &&
                   axis.Steps >= 1 &&
                   static_cast<std::size_t>(axis.Steps) <= korvane::MaxSweepTrials,
               "\"%s\" gives %.17g:%.17g:%d", Shown(text).c_str(), axis.From, axis.To, axis.Steps);
    const std::string written = korvane::SweepAxisText(axis);
    const auto back = korvane::ParseSweepAxis(written);
    FUZZ_CHECK(back.Error.empty() && back.Axis.Input == axis.Input &&
                   Same(back.Axis.From, axis.From) && Same(back.Axis.To, axis.To) &&
                   back.Axis.Steps == axis.Steps,
               "\"%s\" is written \"%s\", which reads back otherwise (%s)", Shown(text).c_str(),
               Shown(written).c_str(), back.Error.c_str());
    axes.push_back(axis);
    if (axis.Steps > MaxCheckedSteps)
        return;
    const auto values = korvane::AxisValues(axis);
    // One step is FROM alone.
    FUZZ_CHECK(values.size() == static_cast<std::size_t>(axis.Steps) &&
                   Same(values.front(), axis.From) &&
                   Same(values.back(), axis.Steps > 1 ? axis.To : axis.From),
               "\"%s\": %zu values", Shown(text).c_str(), values.size());
    const double lo = std::min(axis.From, axis.To), hi = std::max(axis.From, axis.To);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double v = values[i];
        FUZZ_CHECK(std::isfinite(v) && v >= lo && v <= hi, "\"%s\": value %zu is %.17g",
                   Shown(text).c_str(), i, v);
        if (axis.Input->Integer) {
            FUZZ_CHECK(v == std::floor(v), "\"%s\": value %zu is %.17g, no whole number",
                       Shown(text).c_str(), i, v);
            FUZZ_CHECK(i == 0 || v != values[i - 1], "\"%s\": value %zu repeats %.17g",
                       Shown(text).c_str(), i, v);
        }
    }
}

void CheckSeek(const std::string& text) {
    const auto range = korvane::ParseSeekRange(text);
    if (range.Error.empty()) {
        FUZZ_CHECK(std::isfinite(range.Range.From) && std::isfinite(range.Range.To),
                   "\"%s\" is not finite", Shown(text).c_str());
        const auto back = korvane::ParseSeekRange(korvane::SeekRangeText(range.Range));
        FUZZ_CHECK(back.Error.empty() && back.Range.Input == range.Range.Input &&
                       Same(back.Range.From, range.Range.From) &&
                       Same(back.Range.To, range.Range.To),
                   "the seek range \"%s\" reads back otherwise", Shown(text).c_str());
    } else {
        CheckError(range.Error, text);
    }
    const auto target = korvane::ParseSeekTarget(text);
    if (target.Error.empty()) {
        FUZZ_CHECK(std::isfinite(target.Target.Value), "\"%s\" is not finite", Shown(text).c_str());
        const auto back = korvane::ParseSeekTarget(korvane::SeekTargetText(target.Target));
        FUZZ_CHECK(back.Error.empty() && back.Target.Metric.Name == target.Target.Metric.Name &&
                       Same(back.Target.Value, target.Target.Value),
                   "the target \"%s\" reads back otherwise", Shown(text).c_str());
    } else {
        CheckError(target.Error, text);
    }
    if (const auto line = korvane::ParseSeekLine(text)) {
        FUZZ_CHECK(std::isfinite(line->Value) && std::isfinite(line->MetricValue) &&
                       korvane::FindInput(line->Input) && korvane::FindMetric(line->Metric),
                   "the seek line \"%s\"", Shown(text).c_str());
        korvane::SeekResult result;
        result.Value = line->Value;
        result.Metric = line->MetricValue;
        const auto back = korvane::ParseSeekLine(korvane::SeekLine(
            *korvane::FindInput(line->Input), *korvane::FindMetric(line->Metric), result));
        FUZZ_CHECK(back && Same(back->Value, line->Value) &&
                       Same(back->MetricValue, line->MetricValue),
                   "the seek line \"%s\" reads back otherwise", Shown(text).c_str());
    }
}

void CheckShare(const std::string& text) {
    const auto parsed = korvane::ParseShare(text);
    if (!parsed.Error.empty())
        return CheckError(parsed.Error, text);
    const auto share = parsed.Share;
    FUZZ_CHECK(share.Part < share.Parts && share.Parts <= korvane::MaxShareParts,
               "\"%s\" gives %zu/%zu", Shown(text).c_str(), share.Part, share.Parts);
    const auto back = korvane::ParseShare(korvane::ShareText(share));
    FUZZ_CHECK(back.Error.empty() && back.Share.Part == share.Part &&
                   back.Share.Parts == share.Parts,
               "the share \"%s\" reads back otherwise", Shown(text).c_str());
}

void CheckMetrics(const std::string& text) {
    const auto parsed = korvane::ParseMetricList(text);
    if (parsed.Error.empty()) {
        std::string joined;
        for (const auto& metric : parsed.Metrics)
            joined += (joined.empty() ? "" : ",") + metric.Name;
        const auto back = korvane::ParseMetricList(joined);
        FUZZ_CHECK(back.Error.empty() && back.Metrics.size() == parsed.Metrics.size(),
                   "the metrics \"%s\" read back otherwise", Shown(text).c_str());
    }
    const auto plan = korvane::PlanMetrics(text, true);
    FUZZ_CHECK(plan.Names.size() == plan.ExactOf.size(), "\"%s\": %zu names, %zu companions",
               Shown(text).c_str(), plan.Names.size(), plan.ExactOf.size());
    for (std::size_t i = 0; i < plan.Names.size(); ++i) {
        FUZZ_CHECK(std::count(plan.Names.begin(), plan.Names.end(), plan.Names[i]) == 1,
                   "\"%s\" names %s twice", Shown(text).c_str(), Shown(plan.Names[i]).c_str());
        const int exact = plan.ExactOf[i];
        FUZZ_CHECK(exact == -1 || (exact > static_cast<int>(i) &&
                                   static_cast<std::size_t>(exact) < plan.Names.size() &&
                                   plan.Names[static_cast<std::size_t>(exact)] ==
                                       korvane::ExactCompanion(plan.Names[i])),
                   "\"%s\": %s has companion %d", Shown(text).c_str(), Shown(plan.Names[i]).c_str(),
                   exact);
    }
    FUZZ_CHECK(plan.Error.empty() || !parsed.Error.empty(), "\"%s\": planned %s, parsed fine",
               Shown(text).c_str(), plan.Error.c_str());
}

void CheckStreamLine(const std::string& text) {
    for (const bool withTrial : {false, true}) {
        const auto row = korvane::ParseSweepCsvLine(text, 1, 2, withTrial);
        if (!row)
            continue;
        std::string written = korvane::SweepCsvLine(*row, 2, withTrial);
        written.pop_back();
        const auto back = korvane::ParseSweepCsvLine(written, 1, 2, withTrial);
        FUZZ_CHECK(back && back->Index == row->Index && Same(back->Inputs[0], row->Inputs[0]) &&
                       back->Outcome.Message == row->Outcome.Message,
                   "the stream line \"%s\" is written \"%s\", which reads back otherwise",
                   Shown(text).c_str(), Shown(written).c_str());
        for (std::size_t m = 0; m < 2; ++m)
            FUZZ_CHECK(
                Same(back->Outcome.Metrics[m], row->Outcome.Metrics[m]) ||
                    (std::isnan(back->Outcome.Metrics[m]) && std::isnan(row->Outcome.Metrics[m])),
                "the stream line \"%s\": metric %zu", Shown(text).c_str(), m);
    }
}

void CheckRecipe(const std::string& text) {
    const auto bound = korvane::ParseBoundOption("--optimise", text, false);
    if (bound.Error.empty()) {
        const auto& p = bound.Parameter;
        FUZZ_CHECK(p.Input && korvane::IsFittable(*p.Input) && std::isfinite(p.Lo) &&
                       std::isfinite(p.Hi) && p.Lo < p.Hi,
                   "the bound \"%s\" gives %.17g:%.17g", Shown(text).c_str(), p.Lo, p.Hi);
        const auto back = korvane::ParseBoundOption("--optimise", korvane::FitOptionText(p), false);
        FUZZ_CHECK(back.Error.empty() && back.Parameter.Input == p.Input &&
                       Same(back.Parameter.Lo, p.Lo) && Same(back.Parameter.Hi, p.Hi),
                   "the bound \"%s\" reads back otherwise", Shown(text).c_str());
    } else {
        CheckError(bound.Error, text);
    }
    const auto goal = korvane::ParseRecipeGoal(text);
    if (goal.Error.empty())
        FUZZ_CHECK(goal.Goal == korvane::RecipeGoal::Centre || !goal.Input.empty(),
                   "the goal \"%s\" has no input", Shown(text).c_str());
    else
        CheckError(goal.Error, text);
    if (const auto line = korvane::ParseRecipeLine(text)) {
        const auto back =
            korvane::ParseRecipeLine(line->first + "=" + korvane::ShortestNumber(line->second));
        FUZZ_CHECK(std::isfinite(line->second) && back && back->first == line->first &&
                       Same(back->second, line->second),
                   "the recipe line \"%s\" reads back otherwise", Shown(text).c_str());
    }
}

void CheckCommandLine(const std::vector<std::string>& args) {
    using Action = korvane::BatchCommand::Action;
    const auto command = korvane::ParseBatchArguments(args);
    if (command.Do == Action::Usage) {
        FUZZ_CHECK(!command.Problem.empty() && command.Problem.find('\n') == std::string::npos,
                   "a wrong command line of %zu words says \"%s\"", args.size(),
                   Shown(command.Problem).c_str());
        return;
    }
    FUZZ_CHECK(command.Problem.empty(), "a command says \"%s\"", Shown(command.Problem).c_str());
    if (command.Do == Action::Sweep)
        FUZZ_CHECK(!command.Sweeps.empty() && command.Sweeps.size() <= 2 &&
                       !command.Metrics.empty() && !command.OutFile.empty() &&
                       command.ResultFile.empty(),
                   "a sweep of %zu axes", command.Sweeps.size());
    if (command.Do == Action::Seek)
        FUZZ_CHECK(!command.Target.empty() && command.Sweeps.empty(), "a seek without a target");
    if (command.Do == Action::Optimise)
        FUZZ_CHECK(!command.Optimise.empty() && !command.Outputs.WindowFile.empty() &&
                       !command.Goal.empty() && command.Fits.empty() && command.Sweeps.empty(),
                   "a recipe search of %zu inputs", command.Optimise.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> args;
    for (std::size_t start = 0; start <= text.size();) {
        const auto end = std::min(text.find('\n', start), text.size());
        args.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    std::vector<korvane::SweepAxis> axes;
    for (const auto& arg : args) {
        CheckAxis(arg, axes);
        CheckSeek(arg);
        CheckShare(arg);
        CheckMetrics(arg);
        CheckStreamLine(arg);
        CheckRecipe(arg);
    }
    // The first two axes as a grid: refused above the cap, or within it.
    if (axes.size() > 2)
        axes.resize(2);
    const std::string problem = korvane::SweepGridProblem(axes);
    FUZZ_CHECK(!problem.empty() || korvane::SweepSize(axes) <= korvane::MaxSweepTrials,
               "a grid of %zu trials passes", korvane::SweepSize(axes));
    if (problem.empty() && !axes.empty())
        FUZZ_CHECK(korvane::SweepCountLine(axes, {}).rfind("sweep of ", 0) == 0, "count line");
    CheckCommandLine(args);
    return 0;
}
