#pragma once

#include "CalcTypes.h"
#include "Calculate.h"
#include "TestSupport.h"

#include <string>
#include <vector>

namespace korvane::testing {

// The inputs of the window as built: zones 1 to 3.
TCalcInput DefaultInput(const std::string& saveFileName);

// Runs WriteInputConditions and Calculate on input; returns the file's bytes.
std::string RunToFile(const TCalcInput& input, RecordingSink& sink);

// The same into a temporary folder, with the given solver (the band path
// when none).
std::string RunInTempDir(TCalcInput input, LinearSolver solve = nullptr);

// A zone block of a result file, split into its table rows.
struct ZoneBlock {
    std::string head; // "[Zone k]"
    std::vector<std::string> labelLines;
    std::vector<std::string> rows;
};
std::vector<ZoneBlock> SplitBlocks(const std::string& file);

// The text of a row without its Z field.
std::string WithoutZ(const std::string& row);

} // namespace korvane::testing
