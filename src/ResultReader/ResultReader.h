#pragma once

#include "CalcTypes.h"
#include "ZoneHistory.h"

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvane {

inline constexpr double AbsoluteZeroC = -273.15;

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
    // False when the file was cut: its last line has no line end, it ends
    // inside a block or before the two empty lines that close one, or a zone
    // has fewer rows than its printed length and Δz allow. What is there is
    // read all the same.
    bool Complete = true;
    // Sentences for the user (UTF-8), each naming its line or zone: why the
    // file is incomplete, then a temperature below absolute zero.
    std::vector<std::string> Warnings;
};

// Reads the bytes of a result file: code page 932, lines ending in CR LF or
// LF, "." or "," as the decimal symbol. Throws ResultFileError for a text that
// is not one: a line that does not fit, a number that is not finite, a zone's
// 1002nd row, or a file that ends before zone 1's column head.
ResultFileContent ParseResultFile(const std::string& bytes);

// A number for a message: the shortest text that reads back as the value, in
// fixed form where that is short, so bounded whatever the value.
std::string MessageNumber(double value);

// Reads a result file from disk, line by line, no further than the first line
// that does not fit; a file that cannot be read throws std::runtime_error with
// the platform's reason.
ResultFileContent ReadResultFile(const std::string& path);

} // namespace korvane
