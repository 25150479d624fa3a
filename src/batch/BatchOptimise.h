#pragma once

#include "BatchRun.h"

#include <cstddef>
#include <ostream>
#include <string>

namespace korvane {

// Whether the command line asks for a recipe search or gives one of its own
// options.
bool WantsOptimise(const BatchCommand& command);

// Sets command.Do for --optimise, or says what is wrong with its options.
std::string ClassifyOptimise(BatchCommand& command, std::size_t fileCount);

// korvane-batch --optimise NAME=LO:HI ... --window FILE --goal GOAL DATAFILE
// [RESULTFILE]: NAME=VALUE per input, the recipe's index on the scheme and on
// the exact solution, the runs and the time on out; the recipe as a data file
// (--out-data) and its result file (RESULTFILE). No recipe inside the window:
// the best index and the limit that stops it on err, exit 3. showProgress:
// err is a terminal, where the runs and the best index so far are shown.
int RunBatchOptimise(const BatchCommand& command, std::ostream& out, std::ostream& err,
                     bool showProgress = false);

} // namespace korvane
