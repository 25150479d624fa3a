#pragma once

#include "CalcTypes.h"

#include <array>
#include <optional>
#include <string>

namespace korvane {

// Texts of the edit boxes Edit1..Edit30 (index 0 unused), UTF-8; Edit12 holds
// the save name as the file system takes it (Edit30, its mirror, is not read).
using EditTexts = std::array<std::string, 31>;

// Whether a zone 2..4 counts, judged by the text of its first box.
bool ZoneCounts(const std::string& firstBoxText);

// The run command before the run: reads the boxes into Input, applies the zone
// rule and the sixteen checks. Returns the message of the first failure (the
// read phase stops where it failed), or nothing when the run may go ahead.
std::optional<std::string> ReadRunInput(const EditTexts& boxes, TCalcInput& Input);

} // namespace korvane
