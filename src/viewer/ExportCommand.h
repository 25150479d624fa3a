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
    "usage: korvane-view [FILE...]\n"
    "       korvane-view --export FILE.png|FILE.svg|FILE.pdf INPUT...\n";

// Whether the arguments (after the program's name) ask for an export; known
// before the application object exists, which must then need no display.
bool IsExportCommand(const std::vector<std::string>& arguments);

// Qt's own warnings (no runtime folder, a platform that sizes no windows)
// would be noise among the export's messages; its errors still show.
void KeepQtQuiet();

// Runs the export; every message and warning goes to `errors`, one a line.
// Needs the QApplication.
int RunExportCommand(const std::vector<std::string>& arguments, std::ostream& errors);

} // namespace korvane
