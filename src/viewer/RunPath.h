#pragma once

#include <QString>

#include <string>

namespace korvane {

// A run's path is held as the system's 8-bit file name, the bytes the core
// opens; these turn it back into text for the screen.
QString RunPathText(const std::string& path);
QString RunFileName(const std::string& path);

} // namespace korvane
