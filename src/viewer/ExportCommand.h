#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace korvane {

// korvane-view --export FILE.png|FILE.svg|FILE.pdf INPUT...: the picture of
// both charts that Export writes, without a window.
inline constexpr int ExportWritten = 0;
inline constexpr int ExportInputRefused = 1; // its message on standard error
inline constexpr int ExportNotWritten = 2;
inline constexpr int ExportUsage = 64;

inline constexpr const char* ViewerUsageText =
    "usage: korvane-view [--window WINDOW.json] [FILE...]\n"
    "       korvane-view --export FILE.png|FILE.svg|FILE.pdf [--window WINDOW.json] INPUT...\n";

// The command line after the program's name: the options first (in any
// order, "--" ends them), then the runs.
struct ViewerArguments {
    std::string Export;     // the picture's name; empty: the window
    std::string WindowFile; // --window: the process window drawn and judged
    std::vector<std::string> Inputs;
    std::string Error; // what is wrong with them ("--window needs a FILE"), empty when nothing
};
ViewerArguments ParseViewerArguments(const std::vector<std::string>& arguments);

// Whether the arguments (after the program's name) ask for an export, right
// or wrong; known before the application object exists, which must then
// need no display.
bool IsExportCommand(const std::vector<std::string>& arguments);

// Qt's own warnings (no runtime folder, a platform that sizes no windows)
// would be noise among the export's messages; its errors still show.
void KeepQtQuiet();

// Runs the export; every message and warning goes to `errors`, one a line.
// Needs the QApplication.
int RunExportCommand(const std::vector<std::string>& arguments, std::ostream& errors);

class ViewerWindow;
class ErrorBox;
// The window's command line: shows the window, opens the process window (a
// refusal in the error box) and the runs. False, with the message and the
// usage on errors and no window shown, when the arguments are wrong.
bool OpenCommandLine(ViewerWindow& window, ErrorBox& box, const std::vector<std::string>& arguments,
                     std::ostream& errors);

} // namespace korvane
