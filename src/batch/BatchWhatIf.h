#pragma once

#include "BatchRun.h"

#include <ostream>

namespace korvane {

// korvane-batch --sweep: the CSV table to command.OutFile ("-": out), its
// trial count first on err. Trials run one after another in this process,
// since the core's run state is global; a caller that wants more cores starts
// several processes with --share. showProgress: err is a terminal, where a
// sweep of more than about a minute shows how far it is.
int RunBatchSweep(const BatchCommand& command, std::ostream& out, std::ostream& err,
                  bool showProgress = false);

// korvane-batch --seek: "NAME=VALUE METRIC=VALUE" on out, notes on err, and
// the run at the value found written as a result file when one is named.
int RunBatchSeek(const BatchCommand& command, std::ostream& out, std::ostream& err);

} // namespace korvane
