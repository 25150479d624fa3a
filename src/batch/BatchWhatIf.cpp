#include "BatchWhatIf.h"

#include "GoalSeek.h"
#include "RunExport.h"
#include "RunMetrics.h"
#include "Sweep.h"
#include "SweepProgress.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <variant>

namespace korvane {

namespace {

// The data file as a what-if base, or its message on err.
WhatIfCase* LoadCase(const std::string& path, std::optional<WhatIfCase>& holder,
                     std::ostream& err) {
    auto loaded = WhatIfCase::FromDataFile(path);
    if (auto* message = std::get_if<std::string>(&loaded)) {
        err << *message << '\n';
        return nullptr;
    }
    holder.emplace(std::move(std::get<WhatIfCase>(loaded)));
    return &*holder;
}

// The window of --window for the window metrics, read before the data file;
// false (and the exit code) when a metric needs one it can not have.
bool SetUpWindow(const BatchCommand& command, const std::vector<const MetricName*>& metrics,
                 WhatIfCase& base, std::ostream& err, int& code) {
    if (!command.Outputs.WindowFile.empty()) {
        auto loaded = LoadWindow(command.Outputs.WindowFile);
        if (auto* message = std::get_if<std::string>(&loaded)) {
            err << *message << '\n';
            code = BatchRefused;
            return false;
        }
        base.SetWindow(std::make_shared<const ProcessWindow>(std::get<ProcessWindow>(loaded)));
    }
    for (const MetricName* metric : metrics)
        if (const auto problem = base.MetricProblem(*metric); !problem.empty()) {
            err << problem << '\n';
            code = BatchUsage;
            return false;
        }
    return true;
}

std::string Reason() {
    return errno != 0 ? std::strerror(errno) : "write error";
}

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The sweep's table: standard output a line at a time, so that a reader sees
// each trial as soon as it is done, or a file created anew.
class SweepTable {
  public:
    SweepTable(const std::string& name, std::ostream& out) : out_(out), toOut_(name == "-") {
        where_ = toOut_ ? "standard output" : "file " + name;
        if (toOut_)
            return;
        errno = 0;
        file_.reset(std::fopen(name.c_str(), "wb"));
        if (!file_)
            error_ = Reason();
    }

    bool Opened() const { return toOut_ || file_; }

    // flush: now, not when the C library's buffer is full.
    bool Write(const std::string& text, bool flush) {
        if (toOut_)
            return WriteAll(out_, text, error_);
        errno = 0;
        if (std::fwrite(text.data(), 1, text.size(), file_.get()) == text.size() &&
            (!flush || std::fflush(file_.get()) == 0))
            return true;
        error_ = Reason();
        return false;
    }

    bool Close() {
        if (toOut_)
            return true;
        errno = 0;
        if (std::fclose(file_.release()) == 0)
            return true;
        error_ = Reason();
        return false;
    }

    std::string Failure() const {
        return "Can not write the sweep to " + where_ + " (" + error_ + ")";
    }

  private:
    std::ostream& out_;
    bool toOut_;
    std::unique_ptr<std::FILE, CloseFile> file_;
    std::string where_, error_;
};

} // namespace

int RunBatchSweep(const BatchCommand& command, std::ostream& out, std::ostream& err,
                  bool showProgress) {
    std::vector<SweepAxis> axes;
    for (const auto& text : command.Sweeps) {
        const auto parsed = ParseSweepAxis(text);
        if (!parsed.Error.empty()) {
            err << parsed.Error << '\n';
            return BatchUsage;
        }
        axes.push_back(parsed.Axis);
    }
    if (const auto problem = SweepGridProblem(axes); !problem.empty()) {
        err << problem << '\n';
        return BatchUsage;
    }
    const auto metrics = ParseMetricList(command.Metrics);
    if (!metrics.Error.empty()) {
        err << metrics.Error << '\n';
        return BatchUsage;
    }
    // A share's stream numbers its lines: the viewer merges several.
    const bool shared = !command.Share.empty();
    SweepShare share;
    if (shared) {
        const auto parsed = ParseShare(command.Share);
        if (!parsed.Error.empty()) {
            err << parsed.Error << '\n';
            return BatchUsage;
        }
        share = parsed.Share;
    }
    std::optional<WhatIfCase> holder;
    WhatIfCase* base = LoadCase(command.DataFile, holder, err);
    if (!base)
        return BatchRefused;
    std::vector<const MetricName*> named;
    for (const auto& metric : metrics.Metrics)
        named.push_back(&metric);
    if (int code = 0; !SetUpWindow(command, named, *base, err, code))
        return code;

    SweepTable table(command.OutFile, out);
    if (!table.Opened()) {
        err << table.Failure() << '\n';
        return BatchFailed;
    }
    err << SweepCountLine(axes, share) << '\n' << std::flush;
    // The header at once: a table that cannot be written stops the sweep
    // before its first trial.
    if (!table.Write(SweepCsvHeader(axes, metrics.Metrics, shared), true)) {
        err << table.Failure() << '\n';
        return BatchFailed;
    }

    SweepProgress progress(ShareSize(SweepSize(axes), share));
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    std::size_t done = 0, ran = 0;
    std::string firstRefused;
    bool written = true;
    RunSweep(
        *base, axes, metrics.Metrics,
        [&](const SweepRow& row) {
            ++done;
            if (row.Outcome.Computed()) {
                ++ran;
            } else if (firstRefused.empty()) {
                for (std::size_t a = 0; a < axes.size(); ++a)
                    firstRefused +=
                        (a ? " " : "") + axes[a].Input->Name + "=" + ShortestNumber(row.Inputs[a]);
                firstRefused += ": " + row.Outcome.Message;
            }
            if (!table.Write(SweepCsvLine(row, metrics.Metrics.size(), shared), false)) {
                written = false;
                return false;
            }
            if (showProgress)
                if (const auto text = progress.Update(done, elapsed()); !text.empty())
                    err << text << std::flush;
            return true;
        },
        share);
    if (showProgress)
        err << progress.Finish(done, elapsed()) << std::flush;
    if (!written || !table.Close()) {
        err << table.Failure() << '\n';
        return BatchFailed;
    }
    // A share's lines are results whatever they hold; its sweep may have run elsewhere.
    if (!shared && ran == 0) {
        err << "no trial of the sweep ran; the first, " << firstRefused << '\n';
        return BatchRefused;
    }
    return BatchOk;
}

int RunBatchSeek(const BatchCommand& command, std::ostream& out, std::ostream& err) {
    const auto range = ParseSeekRange(command.Seek);
    if (!range.Error.empty()) {
        err << range.Error << '\n';
        return BatchUsage;
    }
    const auto target = ParseSeekTarget(command.Target);
    if (!target.Error.empty()) {
        err << target.Error << '\n';
        return BatchUsage;
    }

    SeekOptions options;
    for (const auto& [text, field] :
         {std::pair{&command.Tolerance, &options.MetricTolerance},
          std::pair{&command.InputTolerance, &options.InputTolerance}}) {
        if (text->empty())
            continue;
        const auto value = ParsePlainNumber(*text);
        if (!value || !(*value >= 0)) {
            err << "a tolerance is a number from 0 (\".\" as the decimal point): " << *text << '\n';
            return BatchUsage;
        }
        *field = *value;
    }

    std::optional<WhatIfCase> holder;
    WhatIfCase* base = LoadCase(command.DataFile, holder, err);
    if (!base)
        return BatchRefused;
    if (int code = 0; !SetUpWindow(command, {&target.Target.Metric}, *base, err, code))
        return code;
    const InputName& input = *range.Range.Input;
    const SeekResult result = GoalSeek(*base, input, range.Range.From, range.Range.To,
                                       target.Target.Metric, target.Target.Value, options);
    for (const auto& note : result.Notes)
        err << note << '\n';
    if (result.Status != SeekStatus::Found)
        return SeekExitCode(result.Status);
    std::string error;
    if (!WriteAll(out, SeekLine(input, target.Target.Metric, result) + "\n", error)) {
        err << "Can not write the value found to standard output (" << error << ")\n";
        return BatchFailed;
    }
    if (command.ResultFile.empty())
        return BatchOk;
    return RunBatchValues(base->TrialValues({{&input, result.Value}}), command.ResultFile, err,
                          command.Outputs);
}

} // namespace korvane
