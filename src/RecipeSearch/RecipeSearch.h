#pragma once

#include "DataFile.h"
#include "FitOptions.h"
#include "ProcessWindow.h"
#include "WhatIfCase.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace korvane {

// What a recipe search aims at: the window's centre (the smallest index), or
// the largest or smallest value of one of its inputs that keeps the run
// inside the window.
enum class RecipeGoal { Centre, Maximise, Minimise };

struct ParsedGoal {
    RecipeGoal Goal = RecipeGoal::Centre;
    std::string Input; // of max: and min:
    std::string Error;
};
// "centre", "max:NAME" or "min:NAME".
ParsedGoal ParseRecipeGoal(std::string_view text);

struct RecipeSetup {
    const WhatIfCase* Base = nullptr;
    const ProcessWindow* Window = nullptr;
    std::vector<FitParameter> Inputs; // each with its input of the data file
    RecipeGoal Goal = RecipeGoal::Centre;
    std::string GoalInput; // one of Inputs, for max: and min:
    double Margin = 100;   // inside means an index of at most this
    FitModel Model = FitModel::Exact;
    unsigned Jobs = 0; // threads of the exact model; 0: the cores
    int MaxRuns = 3000;
};

// Empty, or why the search cannot run: no input or one named twice, a goal
// input not among them, an input of a zone the data file does not compute, a
// bound that switches a zone off or has no exact solution, a margin outside
// (0, 100], a limit the model cannot give.
std::string RecipeSetupProblem(const RecipeSetup& setup);

struct RecipeResult {
    bool Inside = false;        // the best recipe found is inside the window (the margin)
    bool Stopped = false;       // the caller said stop
    std::vector<double> Values; // the best recipe's inputs, one per setup input
    WindowResult Window;        // on the model at Values
    std::string Refusal;        // why the checks refused it, when every trial was refused
    int Runs = 0;               // trials of the model
    double Seconds = 0;
    DataLineArray DataValues{}; // the data file's values with the recipe's inputs
};

// Sees the runs made, the best recipe's index so far (NaN while none is
// known) and, for max: and min:, its goal input's value (NaN until a recipe
// is inside); returns false to stop. Called from the search's threads, one
// at a time.
using RecipeProgress = std::function<bool(int runs, double bestPwi, double bestGoal)>;

// "best index 52.5", "best speed 0.655 (index 100)", "none inside yet, best
// index 925", "no index yet": the progress line's words after the runs.
std::string RecipeProgressText(const RecipeSetup& setup, double bestPwi, double bestGoal);

// A quasi-random sample of the bounds (the data file's own values first)
// evaluated on all threads, then independent COBYLA searches from its best
// points, shared among the threads. The result does not depend on the
// number of threads.
RecipeResult SearchRecipe(const RecipeSetup& setup, const RecipeProgress& progress = {});

// The window on the scheme (a march of the values) and on the exact
// solution, as korvane-batch --window judges the data file; or the message
// of the check that refuses the values.
struct RecipeJudgement {
    WindowResult Scheme, Exact;
};
std::variant<RecipeJudgement, std::string>
JudgeRecipe(const WhatIfCase& base, const ProcessWindow& window, const DataLineArray& values);

// The limit with the largest index, as a sentence: what keeps a recipe out.
std::string StoppingLimit(const ProcessWindow& window, const WindowResult& result);

// What korvane-batch prints: NAME=VALUE per input, window.pwi=, window.exact.pwi=,
// runs= and seconds=.
std::string RecipeReport(const RecipeSetup& setup, const RecipeResult& result,
                         const RecipeJudgement& judgement);

// A line for each input that ends on one of its bounds (within a
// hundred-thousandth of their range), where wider bounds may give a better
// recipe.
std::vector<std::string> BoundNotes(const RecipeSetup& setup, const RecipeResult& result);

// "NAME=VALUE" read back; nothing for any other line.
std::optional<std::pair<std::string, double>> ParseRecipeLine(std::string_view line);

} // namespace korvane
