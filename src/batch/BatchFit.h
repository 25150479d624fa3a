#pragma once

#include "BatchRun.h"

#include <cstddef>
#include <ostream>
#include <string>

namespace korvane {

// Whether the command line names a measured profile or a fit, or an option
// of theirs.
bool WantsMeasured(const BatchCommand& command);

// Which action the measured options make, set in command.Do (a run held
// against the profile, or a fit); what is wrong with them otherwise.
std::string ClassifyMeasured(BatchCommand& command, std::size_t fileCount);

// korvane-batch --measured FILE ... DATAFILE RESULTFILE: the run, a line per
// channel on out (its samples in the line, the RMS and the largest
// difference from the scheme and from the exact solution) and the report's
// "measured" member.
int RunBatchMeasured(const BatchCommand& command, std::ostream& out, std::ostream& err);

// korvane-batch --fit ...: "NAME=VALUE ± STDERR" per input and each channel's
// residuals on out, notes on err; the fitted inputs as a data file
// (--out-data) and the fitted run's result file (RESULTFILE) when it
// converged within the bounds. showProgress: err is a terminal, where a fit
// of more than a second shows its trials.
int RunBatchFit(const BatchCommand& command, std::ostream& out, std::ostream& err,
                bool showProgress = false);

} // namespace korvane
