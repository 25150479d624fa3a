#pragma once

#include "WhatIfNames.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// The names of a fit's two inputs that are no line of the data file: the
// logger's time at zone 1's entry, and the thermocouple's time constant.
inline constexpr std::string_view StartName = "start";
inline constexpr std::string_view LagName = "lag";

// An input a fit varies within its bounds: a continuous input of the data
// file (not layers, dz or a length, which move the rows), start or lag.
struct FitParameter {
    std::string Name;
    const InputName* Input = nullptr; // nullptr for start and lag
    double Lo = 0, Hi = 0;
};

// Whether a fit may vary an input of the data file: not layers, dz or a length.
bool IsFittable(const InputName& input);

// --fit NAME=LO:HI ("." as the decimal point).
struct ParsedFit {
    FitParameter Parameter;
    std::string Error;
};
ParsedFit ParseFitOption(std::string_view text);
// The same for any option (its name starts each message); without start and
// lag, which only a fit has.
ParsedFit ParseBoundOption(std::string_view option, std::string_view text, bool startAndLag);
std::string FitOptionText(const FitParameter& parameter);
// The names --fit takes, for messages.
std::string FitNameList();
// The inputs of the data file that a fit or a recipe may vary.
std::string RecipeNameList();

// The model a fit compares with: the exact slab solution (the physics), or
// the scheme at the data file's grid.
enum class FitModel { Exact, Scheme };
std::optional<FitModel> ParseFitModel(std::string_view text);

// "zone1.htc1=0.00081 ± 2.1e-06", "." as the decimal point, and read back.
std::string FitLine(const std::string& name, double value, double stdError);
struct FitLineValues {
    std::string Name;
    double Value = 0, StdError = 0;
};
std::optional<FitLineValues> ParseFitLine(std::string_view line);

} // namespace korvane
