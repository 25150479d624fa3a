#pragma once

#include "CalcTypes.h"
#include "ZoneHistory.h"

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvane {

// The text is not a result file; Line() is the first line (from 1) that does
// not fit, what() says what was expected there (UTF-8).
class ResultFileError : public std::runtime_error {
  public:
    ResultFileError(std::size_t line, const std::string& what);
    std::size_t Line() const { return line_; }

  private:
    std::size_t line_;
};

// What a result file holds, shaped like a run's history: the inputs printed
// in its header and zone blocks (ZoneCount is the number of blocks; a zone's
// Length as printed) and every zone's rows as printed, without Nodes.
struct ResultFileContent {
    TCalcInput Input;
    std::vector<ZoneHistory> Zones;
};

// Reads the bytes of a result file: code page 932, lines ending in CR LF or
// LF, "." or "," as the decimal symbol. Throws ResultFileError.
ResultFileContent ParseResultFile(const std::string& bytes);

// Reads a result file from disk; a file that cannot be read throws
// std::runtime_error with the platform's reason.
ResultFileContent ReadResultFile(const std::string& path);

} // namespace korvane
