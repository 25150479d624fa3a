#pragma once

#include "ProcessWindow.h"
#include "RunHistory.h"

#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace korvane {

// A process-window file as the viewer holds it: its limits and its name.
struct WindowFile {
    std::string Path;
    ProcessWindow Window;
};

// Reads and checks the file as korvane-batch --window does; the message of a
// refusal names the file and the place in it.
std::variant<std::shared_ptr<const WindowFile>, std::string>
OpenWindowFile(const std::string& path);

// The window on one run, both sides: what korvane-batch --window reports for
// the same rows.
struct JudgedWindow {
    std::shared_ptr<const WindowFile> File;
    WindowResult Scheme, Exact;
    // Why the exact side has no values (inputs that no exact solution
    // accepts), empty when it has them.
    std::string ExactProblem;
};

// With RunMetrics, as korvane-batch: the scheme's side from the run's rows,
// the exact side from the exact solution at the same rows. A run read from
// a result file is judged on its printed rows.
JudgedWindow JudgeWindow(const RunHistory& run, std::shared_ptr<const WindowFile> file);

// Where a limit is drawn along the line.
struct LimitMark {
    enum class Kind {
        None,      // a number with no place on the temperature axis: the table only
        Band,      // a temperature: min to max on the temperature axis
        Thresholds // a time statistic: the temperatures it is timed at
    } What = Kind::None;
    // Band: over zone Zone (1..4), over the last computed zone for a line.*
    // metric (Zone 0), or along the whole line (a profile statistic, Zone -1).
    int Zone = -1;
    std::vector<double> Levels; // Thresholds: X, or X and Y of time_between
    std::string Channel;        // of a profile statistic: "T6", "TAV", "z[0.075]"
};
LimitMark MarkOf(const std::string& metric);

} // namespace korvane
