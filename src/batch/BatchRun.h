#pragma once

#include <ostream>
#include <string>

namespace korvane {

// Exit codes of korvane-batch.
enum BatchExit { BatchOk = 0, BatchRefused = 1, BatchFailed = 2, BatchUsage = 64 };

// The headless run: data file in, result file out; messages go to err, one a line.
int RunBatch(const std::string& dataFile, const std::string& resultFile, std::ostream& err);

} // namespace korvane
