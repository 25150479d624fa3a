#pragma once

#include "DataFile.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace korvane {

// Exit codes of korvane-batch.
enum BatchExit {
    BatchOk = 0,
    BatchRefused = 1,
    BatchFailed = 2,
    BatchNoSolution = 3, // a goal seek's range does not bracket the target
    BatchUsage = 64
};

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

// The same run on values already read from a data file.
int RunBatchValues(const DataLineArray& values, const std::string& resultFile, std::ostream& err,
                   const BatchOutputs& outputs = {});

// What the command line asks for.
struct BatchCommand {
    enum class Action { Run, Sweep, Seek, Help, Version, Usage } Do = Action::Usage;
    std::string DataFile, ResultFile; // ResultFile may be empty for a seek
    BatchOutputs Outputs;
    // What-if: the texts of the options as given, checked when they are used.
    std::vector<std::string> Sweeps;
    std::string Metrics, OutFile, Share;
    std::string Seek, Target, Tolerance, InputTolerance;
};
BatchCommand ParseBatchArguments(const std::vector<std::string>& args);

// The usage text, every option on a line.
extern const char* const BatchUsageText;

} // namespace korvane
