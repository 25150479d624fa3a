#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace korvane {

// Exit codes of korvane-batch.
enum BatchExit { BatchOk = 0, BatchRefused = 1, BatchFailed = 2, BatchUsage = 64 };

// Files written beside the result file from the run's full-precision rows;
// an empty name writes none.
struct BatchOutputs {
    std::string ReportFile; // zone metrics as JSON
    std::string CsvFile;    // every recorded row with the exact solution beside it
};

// The headless run: data file in, result file out; messages go to err, one a
// line. The outputs are written once every zone was computed, even when the
// result file could not be.
int RunBatch(const std::string& dataFile, const std::string& resultFile, std::ostream& err,
             const BatchOutputs& outputs = {});

// What the command line asks for.
struct BatchCommand {
    enum class Action { Run, Help, Version, Usage } Do = Action::Usage;
    std::string DataFile, ResultFile;
    BatchOutputs Outputs;
};
BatchCommand ParseBatchArguments(const std::vector<std::string>& args);

// The usage text, every option on a line.
extern const char* const BatchUsageText;

} // namespace korvane
