#include "BatchRun.h"

#include "Calculate.h"
#include "DataFile.h"
#include "ExactSlab.h"
#include "Messages.h"
#include "NumberFormat.h"
#include "ResultFile.h"
#include "RunExport.h"
#include "RunHistory.h"
#include "RunInput.h"
#include "ZoneMetrics.h"

#include <stdexcept>

namespace korvane {

namespace {

class StreamSink : public MessageSink {
  public:
    explicit StreamSink(std::ostream& out) : out_(out) {}
    void ShowMessage(const std::string& text) override {
        out_ << text << '\n' << std::flush;
        ++count_;
    }
    int count() const { return count_; }

  private:
    std::ostream& out_;
    int count_ = 0;
};

// Writes the requested outputs; false when one could not be written.
bool WriteOutputs(const RunHistory& run, const BatchOutputs& outputs, MessageSink& sink) {
    if (outputs.ReportFile.empty() && outputs.CsvFile.empty())
        return true;
    const ExactRun exact = ExactAlongRun(run);
    bool ok = true;
    const auto write = [&](const std::string& path, const std::string& text, const char* what) {
        std::string error;
        if (!WriteWholeFile(path, text, error)) {
            sink.ShowMessage(std::string("Can not write ") + what + " to file " + path + " (" +
                             error + ")");
            ok = false;
        }
    };
    if (!outputs.ReportFile.empty())
        write(outputs.ReportFile, ReportJson(ComputeMetrics(run, exact)), "report");
    if (!outputs.CsvFile.empty())
        write(outputs.CsvFile, CsvText(run, exact), "rows");
    return ok;
}

} // namespace

const char* const BatchUsageText =
    "usage: korvane-batch [--report FILE] [--csv FILE] DATAFILE RESULTFILE\n"
    "  --report FILE  also write the zone metrics and the distance from the exact\n"
    "                 solution as JSON\n"
    "  --csv FILE     also write every recorded row and the exact solution beside it\n"
    "  --help         print this text\n"
    "  --version      print the program's version\n";

BatchCommand ParseBatchArguments(const std::vector<std::string>& args) {
    BatchCommand command;
    std::vector<std::string> files;
    bool optionsEnd = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // Only "--" words are options: a file name may start with a single "-".
        if (optionsEnd || arg.rfind("--", 0) != 0) {
            files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnd = true;
        } else if (arg == "--help" || arg == "--version") {
            command.Do =
                arg == "--help" ? BatchCommand::Action::Help : BatchCommand::Action::Version;
            return command;
        } else if (arg == "--report" || arg == "--csv") {
            std::string& target =
                arg == "--report" ? command.Outputs.ReportFile : command.Outputs.CsvFile;
            if (i + 1 == args.size() || !target.empty() || args[i + 1].empty())
                return command;
            target = args[++i];
        } else {
            return command;
        }
    }
    if (files.size() != 2)
        return command;
    command.Do = BatchCommand::Action::Run;
    command.DataFile = files[0];
    command.ResultFile = files[1];
    return command;
}

int RunBatch(const std::string& dataFile, const std::string& resultFile, std::ostream& err,
             const BatchOutputs& outputs) {
    StreamSink sink(err);
    DataLineArray lines;
    if (!ReadDataLines(dataFile, lines)) {
        sink.ShowMessage(msg::DataFileCanNotOpen);
        return BatchRefused;
    }
    const auto values = ExtractDataValues(lines);
    if (!values) {
        sink.ShowMessage(DataFormatMessage(dataFile));
        return BatchRefused;
    }

    EditTexts boxes;
    for (int line = 1; line <= DataLineCount; ++line)
        boxes[static_cast<std::size_t>(DataLineBox[line])] =
            (*values)[static_cast<std::size_t>(line)];
    boxes[12] = resultFile;

    // Zones that do not count keep an all-zero record, as on a window's first run.
    CalcInput = TCalcInput{};
    if (const auto failure = ReadRunInput(boxes, CalcInput)) {
        sink.ShowMessage(*failure);
        return BatchRefused;
    }

    HistoryRecorder recorder(CalcInput);
    try {
        WriteInputConditions(sink);
        Calculate(sink, SolveLinEq, &recorder);
    } catch (const std::exception& error) {
        sink.ShowMessage(error.what());
        return BatchFailed;
    }
    WriteOutputs(recorder.History(), outputs, sink);
    return sink.count() == 0 ? BatchOk : BatchFailed;
}

} // namespace korvane
