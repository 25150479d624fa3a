#pragma once

#include "LongDouble.h"
#include "RunInput.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>

namespace korvane {

inline constexpr int DataLineCount = 28;
using DataLineArray = std::array<std::string, DataLineCount + 1>; // [1..28]

// The edit box (EditN) that each data-file line feeds, [1..28].
inline constexpr std::array<int, DataLineCount + 1> DataLineBox = {
    0,  1,  2,  3,  4,  8,  11, 13, 14, 5,  6,  9,  10, 7, 15,
    16, 17, 18, 23, 19, 20, 21, 22, 24, 25, 26, 27, 28, 29};

// The most that is read of a data file's first 28 lines: lines may be long,
// but not endless.
inline constexpr std::size_t MaxDataFileBytes = std::size_t{128} << 20;

// Reads the first 28 lines of a file (raw bytes, without their CR LF or LF);
// missing lines read as empty. False when the file cannot be opened or read.
bool ReadDataLines(const std::string& path, DataLineArray& lines);
// The same, with the number of those lines that the file has (0 to 28).
bool ReadDataLines(const std::string& path, DataLineArray& lines, int& lineCount);

// The name of a line, [1..28], as examples/defaults.txt labels it: "Speed",
// "Zone2 Length".
std::string DataLineLabel(int line);

// What is wrong with a data file, by line: the first of the 28 lines that is
// missing or has no "=", else the first value the run cannot read (the zone
// rule applied) or that a check refuses, as "line 5 (Speed): ...". Nothing
// when the run may go ahead.
std::optional<std::string> DataFileProblem(const DataLineArray& lines, int lineCount);

// The value of every line: after the first "=", leading blanks dropped, cut
// at the next blank. Nothing when any line has no "=".
std::optional<DataLineArray> ExtractDataValues(const DataLineArray& lines);

// The edit boxes as a data file's values fill them, every box enabled, with
// the save name in both of its boxes.
EditTexts BoxesFromDataValues(const DataLineArray& values, const std::string& saveName);

// "<path>" is not a correct data file!
std::string DataFormatMessage(const std::string& dataFileName);

} // namespace korvane
