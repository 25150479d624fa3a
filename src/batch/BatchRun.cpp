#include "BatchRun.h"

#include "BatchFit.h"
#include "BatchOptimise.h"

#include "Calculate.h"
#include "DataFile.h"
#include "ExactSlab.h"
#include "JsonText.h"
#include "Messages.h"
#include "NumberFormat.h"
#include "ResultFile.h"
#include "RunExport.h"
#include "RunHistory.h"
#include "RunInput.h"
#include "RunMetrics.h"
#include "WindowJson.h"
#include "ZoneMetrics.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <variant>

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

bool WantsRows(const BatchOutputs& outputs) {
    return !outputs.ReportFile.empty() || !outputs.CsvFile.empty() || !outputs.WindowFile.empty() ||
           outputs.OnRows;
}

// Writes the requested outputs (their failures are messages on sink); true
// when the scheme's run is outside the window.
bool WriteOutputs(const RunHistory& run, const BatchOutputs& outputs, const ProcessWindow* window,
                  std::ostream* out, MessageSink& sink) {
    RunMetrics read(run, window);
    const auto write = [&](const std::string& path, const std::string& text, const char* what) {
        std::string error;
        if (!WriteWholeFile(path, text, error))
            sink.ShowMessage(std::string("Can not write ") + what + " to file " + path + " (" +
                             error + ")");
    };
    Json judged;
    if (window)
        judged = WindowJson(*window, read.Window(false), read.Window(true));
    if (!outputs.ReportFile.empty()) {
        Json report;
        report["zones"] = ZonesJson(read.Zones());
        if (window)
            report["window"] = judged;
        if (outputs.OnRows)
            for (const ReportMember& member : outputs.OnRows(run))
                report[member.Name] = Json::parse(member.Json);
        write(outputs.ReportFile, JsonText(report), "report");
    }
    if (!outputs.CsvFile.empty())
        write(outputs.CsvFile, CsvText(run, read.ExactRows()), "rows");
    if (window && outputs.ReportFile.empty() && out) {
        std::string error;
        if (!WriteAll(*out, JsonText(judged), error))
            sink.ShowMessage("Can not write the window to standard output (" + error + ")");
    }
    return window && !read.Window(false).Pass;
}

} // namespace

const char* const BatchUsageText =
    "usage: korvane-batch [--report FILE] [--csv FILE] [--window FILE]\n"
    "                     [--fail-outside] DATAFILE RESULTFILE\n"
    "       korvane-batch --sweep NAME=FROM:TO:STEPS [--sweep NAME=FROM:TO:STEPS]\n"
    "                     --metrics METRIC[,METRIC...] --out FILE [--share K/N]\n"
    "                     [--window FILE] DATAFILE\n"
    "       korvane-batch --seek NAME=FROM:TO --target METRIC=VALUE [--tolerance VALUE]\n"
    "                     [--input-tolerance RELATIVE] [--window FILE]\n"
    "                     DATAFILE [RESULTFILE]\n"
    "       korvane-batch --measured FILE --channel COLUMN=DEPTH [--channel ...]\n"
    "                     [--start SECONDS] [--time-column COLUMN] [--unit C|F]\n"
    "                     [--lag SECONDS] [--report FILE] [--csv FILE] DATAFILE RESULTFILE\n"
    "       korvane-batch --fit NAME=LO:HI [--fit ...] --measured FILE --channel ...\n"
    "                     [--model exact|scheme] [--out-data FILE] [--threads N]\n"
    "                     DATAFILE [RESULTFILE]\n"
    "       korvane-batch --optimise NAME=LO:HI [--optimise ...] --window FILE\n"
    "                     --goal centre|max:NAME|min:NAME [--margin M]\n"
    "                     [--model exact|scheme] [--jobs N] [--max-runs N]\n"
    "                     [--out-data FILE] [--progress] DATAFILE [RESULTFILE]\n"
    "  --report FILE  also write the zone metrics and the distance from the exact\n"
    "                 solution as JSON\n"
    "  --csv FILE     also write every recorded row and the exact solution beside it\n"
    "  --window FILE  judge the run against a process window, a JSON file\n"
    "                 {\"name\": ..., \"limits\": [{\"metric\": METRIC, \"min\": A,\n"
    "                 \"max\": B, \"label\": ...}, ...]}; its index on the scheme and\n"
    "                 on the exact solution goes into the report, or without\n"
    "                 --report to standard output; with --sweep or --seek it gives\n"
    "                 the window metrics\n"
    "  --fail-outside  exit 4 when the scheme's run is outside the window\n"
    "  --sweep NAME=FROM:TO:STEPS  run STEPS values of an input from FROM to TO, ends\n"
    "                 included (whole numbers for layers); a second --sweep makes a\n"
    "                 grid; at most 1000000 trials in all\n"
    "  --metrics LIST  the metrics of each trial, separated by commas\n"
    "  --out FILE     the CSV table: the inputs, the metrics and the message of a\n"
    "                 trial that a check refused, one line per trial (\"-\": standard\n"
    "                 output, a line as soon as its trial is done)\n"
    "  --share K/N    only every N-th trial from the K-th (N up to 1000), to split a\n"
    "                 sweep among processes; each line starts with its trial's number\n"
    "  --seek NAME=FROM:TO  find the input's value in the range at which the target\n"
    "                 is met; prints NAME=VALUE METRIC=VALUE and, given RESULTFILE,\n"
    "                 writes the run at that value\n"
    "  --target METRIC=VALUE  what the seek aims at\n"
    "  --tolerance VALUE  on the metric (default 0.01)\n"
    "  --input-tolerance RELATIVE  on the input (default 1e-6); the seek stops at\n"
    "                 whichever tolerance is met first\n"
    "  --measured FILE  a logger's export (text or CSV: ',', ';' or tab, '.' or ','\n"
    "                 as decimal symbol, UTF-8 or code page 932) held against the run:\n"
    "                 a line per channel on standard output, \"measured\" in the report\n"
    "  --channel COLUMN=DEPTH  a column, by its header text or number (from 1), and\n"
    "                 its thermocouple's depth: face1, face2, centre, mean or cm\n"
    "                 from face 1\n"
    "  --start SECONDS  the logger's time when the plate entered zone 1 (default 0;\n"
    "                 mm:ss or hh:mm:ss too)\n"
    "  --time-column COLUMN  the logger's time (default the first column)\n"
    "  --unit C|F     the temperatures' unit (default: each column's header)\n"
    "  --lag SECONDS  the thermocouple's time constant, applied to the model\n"
    "  --fit NAME=LO:HI  fit an input within its bounds to the measured channels\n"
    "                 (also start and lag); prints NAME=VALUE \u00b1 STDERR per input,\n"
    "                 then each channel's RMS and largest residual\n"
    "  --model exact|scheme  the model fitted or optimised: the exact solution\n"
    "                 (default) or the scheme at the data file's grid\n"
    "  --optimise NAME=LO:HI  search a recipe: the inputs within their bounds that\n"
    "                 meet the goal inside the --window; prints NAME=VALUE per input,\n"
    "                 then window.pwi= (scheme), window.exact.pwi=, runs= and seconds=\n"
    "  --goal centre|max:NAME|min:NAME  the smallest window index, or the largest\n"
    "                 or smallest value of an optimised input inside the window\n"
    "  --margin M     inside means an index of at most M (default 100)\n"
    "  --jobs N       threads of a search on the exact solution (default the cores,\n"
    "                 at most 8; the scheme marches one run at a time)\n"
    "  --max-runs N   the most runs of a search (default 3000)\n"
    "  --progress     write the runs so far and the best index to standard error\n"
    "                 every half second, a line each (on a terminal the search\n"
    "                 shows them in place after a second anyway)\n"
    "  --out-data FILE  write the fitted inputs or the recipe as a data file\n"
    "  --threads N    threads of a fit (default: the cores, at most 8, for ten\n"
    "                 thousand points a trial or more, else one)\n"
    "  --help         print this text\n"
    "  --version      print the program's version\n"
    "NAME: density, specific_heat, conductivity, thickness, speed, initial_temp, dz,\n"
    "layers, zoneK.htc1, zoneK.htc2, zoneK.outer1, zoneK.outer2, zoneK.length (K =\n"
    "1..4). METRIC: a path of the --report JSON, such as zone3.exit.TAV,\n"
    "zone1.biot.1, zone3.exact.exit.TAV, or line.exit.TAV for the last computed\n"
    "zone; a statistic of the whole line, profile.CH.STAT (profile.exact.CH.STAT\n"
    "on the exact solution), CH one of T1..T11, TAV, z[DEPTH] (cm from face 1, a\n"
    "computed run's nodes), STAT one of peak.T, peak.time_s, time_above[X],\n"
    "time_between[X:Y] (from rising through X to rising through Y), time_to[X],\n"
    "max_rise_rate, max_fall_rate, times in s since the plate entered zone 1, such\n"
    "as profile.T6.time_above[217.5]; with --window, window.pwi and window.N.index\n"
    "(limit N from 1), window.exact.pwi and window.exact.N.index. Arguments sit in\n"
    "square brackets, separated by \":\". These options take \".\" as the decimal\n"
    "point. A sweep states its trial count on standard error, and its progress\n"
    "there when that is a terminal and it takes long.\n"
    "Exit codes:\n"
    "  0   done\n"
    "  1   the data file or the window file can not be read or is refused, or an\n"
    "      input fails a check; no trial of a sweep or a seek ran (a share of a\n"
    "      sweep exits 0)\n"
    "  2   a file or standard output can not be written, or the run ended on a\n"
    "      floating-point fault\n"
    "  3   the seek found no value: the range does not bracket the target, or the\n"
    "      trials ran out before either tolerance was met; a fit did not converge\n"
    "      or an input ends on its bound; no recipe within the bounds is inside\n"
    "      the window\n"
    "  4   --fail-outside: the run is outside its process window (2 comes first)\n"
    "  64  wrong arguments: what is wrong, then this text, on standard error\n";

namespace {

// The C library's reason for the last failed write, where it kept one.
std::string WriteProblem() {
    return errno != 0 ? std::strerror(errno) : "write error";
}

std::string FilesNamed(std::size_t count) {
    return count == 1 ? "only one file is named" : std::to_string(count) + " files are named";
}

} // namespace

BatchCommand ParseBatchArguments(const std::vector<std::string>& args) {
    BatchCommand command;
    const auto refuse = [&command](std::string problem) {
        command.Do = BatchCommand::Action::Usage;
        command.Problem = std::move(problem);
        return command;
    };
    std::vector<std::string> files;
    bool optionsEnd = false;
    // Options that take one value, each at most once.
    const std::pair<const char*, std::string BatchCommand::*> single[] = {
        {"--metrics", &BatchCommand::Metrics},
        {"--out", &BatchCommand::OutFile},
        {"--share", &BatchCommand::Share},
        {"--seek", &BatchCommand::Seek},
        {"--target", &BatchCommand::Target},
        {"--tolerance", &BatchCommand::Tolerance},
        {"--input-tolerance", &BatchCommand::InputTolerance},
        {"--measured", &BatchCommand::Measured},
        {"--start", &BatchCommand::Start},
        {"--time-column", &BatchCommand::TimeColumn},
        {"--unit", &BatchCommand::Unit},
        {"--model", &BatchCommand::Model},
        {"--lag", &BatchCommand::Lag},
        {"--out-data", &BatchCommand::OutData},
        {"--threads", &BatchCommand::Threads},
        {"--goal", &BatchCommand::Goal},
        {"--margin", &BatchCommand::Margin},
        {"--jobs", &BatchCommand::Jobs},
        {"--max-runs", &BatchCommand::MaxRuns}};
    // Options that may be given again and again.
    const std::pair<const char*, std::vector<std::string> BatchCommand::*> repeated[] = {
        {"--sweep", &BatchCommand::Sweeps},
        {"--channel", &BatchCommand::Channels},
        {"--fit", &BatchCommand::Fits},
        {"--optimise", &BatchCommand::Optimise}};
    bool failOutside = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // Only "--" words are options: a file name may start with a single "-".
        if (optionsEnd || arg.rfind("--", 0) != 0) {
            files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnd = true;
            continue;
        }
        if (arg == "--help" || arg == "--version") {
            command.Do =
                arg == "--help" ? BatchCommand::Action::Help : BatchCommand::Action::Version;
            return command;
        }
        if (arg == "--progress") {
            if (command.Progress)
                return refuse(arg + " is given twice");
            command.Progress = true;
            continue;
        }
        if (arg == "--fail-outside") {
            if (failOutside)
                return refuse(arg + " is given twice");
            failOutside = true;
            continue;
        }
        std::string* target = nullptr;
        if (arg == "--window")
            target = &command.Outputs.WindowFile;
        else if (arg == "--report")
            target = &command.Outputs.ReportFile;
        else if (arg == "--csv")
            target = &command.Outputs.CsvFile;
        for (const auto& [name, field] : single)
            if (arg == name)
                target = &(command.*field);
        std::vector<std::string>* many = nullptr;
        for (const auto& [name, field] : repeated)
            if (arg == name)
                many = &(command.*field);
        if (!target && !many)
            return refuse("unknown option " + arg);
        if (i + 1 == args.size() || args[i + 1].empty())
            return refuse(arg + " needs a value");
        const std::string& value = args[++i];
        if (!target) {
            many->push_back(value);
            continue;
        }
        if (!target->empty())
            return refuse(arg + " is given twice");
        *target = value;
    }

    // The first option given that does not belong to the action.
    const auto stray =
        [&](std::initializer_list<std::pair<const char*, const std::string*>> of) -> const char* {
        for (const auto& [name, value] : of)
            if (!value->empty())
                return name;
        return nullptr;
    };
    const char* sweepOption = stray({{"--metrics", &command.Metrics},
                                     {"--out", &command.OutFile},
                                     {"--share", &command.Share}});
    const char* seekOption = stray({{"--target", &command.Target},
                                    {"--tolerance", &command.Tolerance},
                                    {"--input-tolerance", &command.InputTolerance}});
    const char* output =
        stray({{"--report", &command.Outputs.ReportFile}, {"--csv", &command.Outputs.CsvFile}});
    command.Outputs.FailOutside = failOutside;
    if (failOutside && command.Outputs.WindowFile.empty() && command.Optimise.empty())
        return refuse("--fail-outside needs --window FILE");
    if (failOutside && (!command.Sweeps.empty() || !command.Seek.empty()))
        return refuse(std::string("--fail-outside belongs to a run, not to ") +
                      (command.Sweeps.empty() ? "--seek" : "--sweep"));
    // A recipe search: BatchOptimise.cpp says what belongs to it.
    if (WantsOptimise(command)) {
        if (const auto problem = ClassifyOptimise(command, files.size()); !problem.empty())
            return refuse(problem);
        command.DataFile = files[0];
        if (files.size() == 2)
            command.ResultFile = files[1];
        return command;
    }
    // A measured profile or a fit: BatchFit.cpp says what belongs together.
    if (WantsMeasured(command)) {
        if (!command.Outputs.WindowFile.empty())
            return refuse("--window belongs to a run, a sweep or a seek, not to " +
                          std::string(command.Fits.empty() ? "--measured" : "--fit"));
        if (const auto problem = ClassifyMeasured(command, files.size()); !problem.empty())
            return refuse(problem);
        command.DataFile = files[0];
        if (files.size() == 2)
            command.ResultFile = files[1];
        return command;
    }
    if (!command.Sweeps.empty()) {
        if (!command.Seek.empty())
            return refuse("--sweep and --seek do not go together");
        if (seekOption)
            return refuse(std::string(seekOption) + " belongs to --seek");
        if (output)
            return refuse(std::string(output) + " belongs to a run or a seek, not to --sweep");
        if (command.Sweeps.size() > 2)
            return refuse("--sweep is given " + std::to_string(command.Sweeps.size()) +
                          " times; a grid has two inputs at most");
        if (command.Metrics.empty())
            return refuse("--sweep needs --metrics METRIC[,METRIC...]");
        if (command.OutFile.empty())
            return refuse("--sweep needs --out FILE");
        if (files.size() != 1)
            return refuse(files.empty()
                              ? "--sweep needs DATAFILE"
                              : "--sweep takes DATAFILE alone; " + FilesNamed(files.size()));
        command.Do = BatchCommand::Action::Sweep;
    } else if (!command.Seek.empty()) {
        if (sweepOption)
            return refuse(std::string(sweepOption) + " belongs to --sweep");
        if (command.Target.empty())
            return refuse("--seek needs --target METRIC=VALUE");
        if (files.empty())
            return refuse("--seek needs DATAFILE");
        if (files.size() > 2)
            return refuse("--seek takes DATAFILE and at most RESULTFILE; " +
                          FilesNamed(files.size()));
        if (output && files.size() != 2)
            return refuse(std::string(output) + " with --seek needs RESULTFILE after DATAFILE");
        command.Do = BatchCommand::Action::Seek;
    } else {
        if (sweepOption)
            return refuse(std::string(sweepOption) + " belongs to --sweep");
        if (seekOption)
            return refuse(std::string(seekOption) + " belongs to --seek");
        if (files.empty())
            return refuse("no DATAFILE and RESULTFILE given");
        if (files.size() == 1)
            return refuse("a run needs DATAFILE and RESULTFILE; " + FilesNamed(1));
        if (files.size() > 2)
            return refuse("a run takes DATAFILE and RESULTFILE; " + FilesNamed(files.size()));
        command.Do = BatchCommand::Action::Run;
    }
    command.DataFile = files[0];
    if (files.size() == 2)
        command.ResultFile = files[1];
    return command;
}

bool WriteAll(std::ostream& out, std::string_view text, std::string& error) {
    errno = 0;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (out)
        return true;
    error = WriteProblem();
    return false;
}

int RunBatch(const std::string& dataFile, const std::string& resultFile, std::ostream& err,
             const BatchOutputs& outputs, std::ostream* out) {
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
    return RunBatchValues(*values, resultFile, err, outputs, out);
}

int RunBatchValues(const DataLineArray& values, const std::string& resultFile, std::ostream& err,
                   const BatchOutputs& outputs, std::ostream* out) {
    StreamSink sink(err);
    // Before anything is written: a refused window leaves no file behind.
    std::optional<ProcessWindow> window;
    if (!outputs.WindowFile.empty()) {
        auto loaded = LoadWindow(outputs.WindowFile);
        if (auto* message = std::get_if<std::string>(&loaded)) {
            sink.ShowMessage(*message);
            return BatchRefused;
        }
        window = std::move(std::get<ProcessWindow>(loaded));
    }
    const EditTexts boxes = BoxesFromDataValues(values, resultFile);

    // Zones that do not count keep an all-zero record, as on a window's first run.
    CalcInput = TCalcInput{};
    if (const auto failure = ReadRunInput(boxes, CalcInput)) {
        sink.ShowMessage(*failure);
        return BatchRefused;
    }

    // The rows at full precision only when a file asks for them: a plain run
    // writes the result file and nothing more.
    std::optional<HistoryRecorder> recorder;
    if (WantsRows(outputs))
        recorder.emplace(CalcInput);
    try {
        WriteInputConditions(sink);
        Calculate(sink, nullptr, recorder ? &*recorder : nullptr);
    } catch (const std::exception& error) {
        sink.ShowMessage(error.what());
        return BatchFailed;
    }
    const bool outside = recorder && WriteOutputs(recorder->History(), outputs,
                                                  window ? &*window : nullptr, out, sink);
    if (sink.count() != 0)
        return BatchFailed;
    return outside && outputs.FailOutside ? BatchOutside : BatchOk;
}

} // namespace korvane
