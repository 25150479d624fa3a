#include "FitOptions.h"

#include "RunExport.h"
#include "WhatIfOptions.h"

#include <cmath>
#include <limits>

namespace korvane {

namespace {

constexpr std::string_view PlusMinus = " \u00b1 ";

// Inputs that set where the rows lie: a fit moves none of them.
bool MovesRows(const InputName& input) {
    return input.Name == "layers" || input.Name == "dz" || input.Name.ends_with(".length");
}

std::string NumberText(double value) {
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value > 0 ? "inf" : "-inf";
    return ShortestNumber(value);
}

std::optional<double> NumberOf(std::string_view text) {
    if (text == "nan")
        return std::numeric_limits<double>::quiet_NaN();
    if (text == "inf")
        return std::numeric_limits<double>::infinity();
    return ParsePlainNumber(text);
}

} // namespace

bool IsFittable(const InputName& input) {
    return !MovesRows(input);
}

std::string FitNameList() {
    return RecipeNameList() + ", " + std::string(StartName) + ", " + std::string(LagName);
}

std::string RecipeNameList() {
    std::string list;
    for (const auto& input : InputNames())
        if (!MovesRows(input))
            list += (list.empty() ? "" : ", ") + input.Name;
    return list;
}

ParsedFit ParseFitOption(std::string_view text) {
    return ParseBoundOption("--fit", text, true);
}

ParsedFit ParseBoundOption(std::string_view option, std::string_view text, bool startAndLag) {
    ParsedFit parsed;
    const auto refuse = [&](const std::string& why) {
        parsed.Error = std::string(option) + " " + std::string(text) + ": " + why;
        return parsed;
    };
    const std::string varies =
        startAndLag ? "; a fit varies " + FitNameList() : "; a recipe varies " + RecipeNameList();
    const auto equals = text.find('=');
    if (equals == std::string_view::npos)
        return refuse("give NAME=LO:HI, such as zone1.htc1=0.0001:0.01");
    const std::string_view name = text.substr(0, equals);
    FitParameter& p = parsed.Parameter;
    p.Name = std::string(name);
    if (!startAndLag || (name != StartName && name != LagName)) {
        p.Input = FindInput(name);
        if (!p.Input)
            return refuse("unknown input '" + p.Name + "'" + varies);
        if (MovesRows(*p.Input))
            return refuse(p.Name + " sets where the rows lie and is not varied" + varies);
    }
    const std::string_view range = text.substr(equals + 1);
    const auto colon = range.find(':');
    if (colon == std::string_view::npos || range.find(':', colon + 1) != std::string_view::npos)
        return refuse("the bounds are LO:HI");
    const auto lo = ParsePlainNumber(range.substr(0, colon));
    const auto hi = ParsePlainNumber(range.substr(colon + 1));
    if (!lo)
        return refuse("LO is not a number (\".\" as the decimal point): " +
                      std::string(range.substr(0, colon)));
    if (!hi)
        return refuse("HI is not a number (\".\" as the decimal point): " +
                      std::string(range.substr(colon + 1)));
    if (!(*lo < *hi))
        return refuse("LO must be below HI");
    if (name == LagName && *lo < 0)
        return refuse("a time constant is not below 0");
    p.Lo = *lo;
    p.Hi = *hi;
    return parsed;
}

std::string FitOptionText(const FitParameter& parameter) {
    return parameter.Name + "=" + ShortestNumber(parameter.Lo) + ":" + ShortestNumber(parameter.Hi);
}

std::optional<FitModel> ParseFitModel(std::string_view text) {
    if (text == "exact")
        return FitModel::Exact;
    if (text == "scheme")
        return FitModel::Scheme;
    return std::nullopt;
}

std::string FitLine(const std::string& name, double value, double stdError) {
    return name + "=" + NumberText(value) + std::string(PlusMinus) + NumberText(stdError);
}

std::optional<FitLineValues> ParseFitLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.remove_suffix(1);
    const auto equals = line.find('=');
    const auto pm = line.find(PlusMinus);
    if (equals == std::string_view::npos || pm == std::string_view::npos || pm < equals)
        return std::nullopt;
    const auto value = NumberOf(line.substr(equals + 1, pm - equals - 1));
    const auto error = NumberOf(line.substr(pm + PlusMinus.size()));
    if (!value || !error)
        return std::nullopt;
    return FitLineValues{std::string(line.substr(0, equals)), *value, *error};
}

} // namespace korvane
