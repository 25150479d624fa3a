#pragma once

#include "CalcTypes.h"

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

// One table row as printed: Z (cm within the zone), T1..T11 and TAV.
struct ResultRow {
    double Z = 0;
    std::array<double, 11> Points{};
    double Mean = 0;
};

struct ResultZone {
    std::int32_t ZoneNo = 0;
    TZoneInput Zone; // the length as printed, without the march's allowance
    std::vector<ResultRow> Rows;
};

// What a result file holds: the inputs printed in its header and zone blocks
// (ZoneCount is the number of blocks) and every zone's rows.
struct ResultFileContent {
    TCalcInput Input;
    std::vector<ResultZone> Zones;
};

// Reads the bytes of a result file: code page 932, lines ending in CR LF or
// LF, "." or "," as the decimal symbol. Throws ResultFileError.
ResultFileContent ParseResultFile(const std::string& bytes);

// Reads a result file from disk; a file that cannot be read throws
// std::runtime_error with the platform's reason.
ResultFileContent ReadResultFile(const std::string& path);

} // namespace korvane
