#pragma once

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// A file that cannot be read as a logger's export: the message names the
// file and, where there is one, the line and column.
class MeasuredError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// "FILE: line L, column C: what"; line or column 0 leaves it out.
std::string MeasuredPlace(const std::string& file, int line, int column);

// The most of a logger's file that is read: a day at 10 samples a second is
// some 30 MB.
inline constexpr std::size_t MaxLoggerFileBytes = std::size_t{256} << 20;

// A logger's export as a table of text cells: whatever lines stand before
// the header row (the logger's name, serial, interval, date, blank lines) are
// passed over; the header row is the last line of two or more cells before
// the first line of numbers.
struct LoggerTable {
    std::string File;
    std::string Encoding;            // "UTF-8" or "CP932"
    char Delimiter = ',';            // ',', ';' or '\t'
    char Decimal = '.';              // '.' or ','; a ',' delimiter has '.'
    int HeaderLine = 0;              // from 1; 0 when the numbers start without a header row
    std::vector<std::string> Header; // UTF-8, blanks and quotes trimmed
    struct Row {
        int Line = 0;
        std::vector<std::string> Cells;
    };
    std::vector<Row> Rows;   // from the first line of numbers on; empty lines left out
    std::size_t Columns = 0; // the most cells of the header or any row

    // The name of column (from 1): its header text, or "column N".
    std::string ColumnName(std::size_t column) const;
};

// Reads a logger's export; UTF-8 (with or without a byte-order mark) or, when
// the bytes are not UTF-8, code page 932. Throws MeasuredError.
LoggerTable ReadLoggerTable(const std::string& path);
LoggerTable ParseLoggerTable(std::string_view bytes, const std::string& file);

// A time of day or a duration as a logger writes it: seconds ("12.5"),
// "mm:ss(.s)" (minutes may pass 59) or "hh:mm:ss(.s)", the fraction after
// the decimal symbol (a clock's after "." or ","). Nothing when the text is
// none of these.
std::optional<double> ParseLoggerTime(std::string_view text, char decimal);

// A temperature or other number as a logger writes it, with this decimal
// symbol: a sign, digits, a fraction, an exponent. Finite; nothing otherwise.
std::optional<double> ParseLoggerNumber(std::string_view text, char decimal);

} // namespace korvane
