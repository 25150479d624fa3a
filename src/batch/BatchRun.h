#pragma once

#include "BatchExit.h"
#include "DataFile.h"
#include "RunExport.h"

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// Files written beside the result file from the run's full-precision rows;
// an empty name writes none.
struct BatchOutputs {
    std::string ReportFile; // zone metrics as JSON
    std::string CsvFile;    // every recorded row with the exact solution beside it
    // A process window judged on the run: in the report, or without one on
    // standard output (the out of RunBatch).
    std::string WindowFile{};
    bool FailOutside = false; // exit BatchOutside when the scheme's run is outside the window
    // Told the rows once every zone is computed (a comparison with a
    // measurement); what it returns goes into the report after "zones".
    std::function<std::vector<ReportMember>(const RunHistory&)> OnRows = nullptr;
};

// The headless run: data file in, result file out; messages go to err, one a
// line. The outputs are written once every zone was computed, even when the
// result file could not be. A window file is read first: one that is refused
// leaves everything unwritten. out takes the window when no report does; with
// none there (a seek, whose answer is on standard output) it goes nowhere.
int RunBatch(const std::string& dataFile, const std::string& resultFile, std::ostream& err,
             const BatchOutputs& outputs = {}, std::ostream* out = nullptr);

// The same run on values already read from a data file.
int RunBatchValues(const DataLineArray& values, const std::string& resultFile, std::ostream& err,
                   const BatchOutputs& outputs = {}, std::ostream* out = nullptr);

// What the command line asks for.
struct BatchCommand {
    enum class Action { Run, Sweep, Seek, Fit, Optimise, Help, Version, Usage } Do = Action::Usage;
    std::string DataFile, ResultFile; // ResultFile may be empty for a seek
    BatchOutputs Outputs;
    // What-if: the texts of the options as given, checked when they are used.
    std::vector<std::string> Sweeps;
    std::string Metrics, OutFile, Share;
    std::string Seek, Target, Tolerance, InputTolerance;
    // Outputs.WindowFile: also the window that window metrics read.
    // A measured profile, and a fit to it: the texts as given (BatchFit.h).
    std::string Measured, Start, TimeColumn, Unit, Model, Lag, OutData, Threads;
    std::vector<std::string> Channels, Fits;
    // A recipe search (BatchOptimise.h); it shares --model and --out-data with a fit.
    std::vector<std::string> Optimise;
    std::string Goal, Margin, Jobs, MaxRuns;
    bool Progress = false; // --progress: a line of runs and best index every half second
    std::string Problem;   // for Usage: what is wrong, one line
};
BatchCommand ParseBatchArguments(const std::vector<std::string>& args);

// Writes text to out and flushes it; on failure false, and error is the
// reason.
bool WriteAll(std::ostream& out, std::string_view text, std::string& error);

// The usage text, every option on a line.
extern const char* const BatchUsageText;

} // namespace korvane
