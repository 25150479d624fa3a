#pragma once

#include "CalcTypes.h"

#include <array>
#include <optional>
#include <string>

namespace korvane {

// Texts of the edit boxes Edit1..Edit30 (index 0 unused), UTF-8; Edit12 holds
// the save name as the file system takes it (Edit30, its mirror, is not read).
using EditTexts = std::array<std::string, 31>;

// The sixteen checks of a run, in the order they are made, and their messages.
enum class Check {
    Density,
    SpecificHeat,
    Conductivity,
    Thickness,
    Htc1,
    Htc2,
    Length,
    Speed,
    OuterTemp1,
    OuterTemp2,
    InitialTemp,
    DeltaZ,
    TooFewLayers,
    SaveFileName,
    TooManyLayers,
    StepsFit
};
inline constexpr std::array<const char*, 16> CheckMessages = {
    "Value of Density is not correct",
    "Value of Specific Heat is not correct",
    "Value of Thermal Conductivity is not correct",
    "Value of Thickness is not correct",
    "Value of Heat Transfer Coefficient-1 is not correct",
    "Value of Heat Transfer Coefficient-2 is not correct",
    "Value of Length is not correct",
    "Value of Speed is not correct",
    "Value of Outer Temperature-1 is not correct",
    "Value of Outer Temperature-2 is not correct",
    "Value of Initial Temperature is not correct",
    "Value of Increment \u0394z is not correct",
    "Number of Layers is too small",
    "Save File Name is not correct",
    "Number of Layers is to large",
    "Length is too large or Increment is too small"};
// The layer counts that the checks TooFewLayers and TooManyLayers let through.
inline constexpr int MinLayerCount = 3;
inline constexpr int MaxLayerCount = 100;

inline const char* CheckMessage(Check check) {
    return CheckMessages[static_cast<std::size_t>(check)];
}

// Whether a zone 2..4 counts, judged by the text of its first box.
bool ZoneCounts(const std::string& firstBoxText);

// The run command before the run: reads the boxes into Input, applies the zone
// rule and the sixteen checks. Returns the message of the first failure (the
// read phase stops where it failed), or nothing when the run may go ahead.
std::optional<std::string> ReadRunInput(const EditTexts& boxes, TCalcInput& Input);

} // namespace korvane
