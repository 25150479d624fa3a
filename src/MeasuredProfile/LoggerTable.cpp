#include "LoggerTable.h"

#include "File.h"
#include "TextCodec.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace korvane {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (IsBlank(text.front()) || text.front() == '\r'))
        text.remove_prefix(1);
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool IsUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        std::size_t extra = 0;
        unsigned min = 0;
        unsigned code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1, min = 0x80, code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, min = 0x800, code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, min = 0x10000, code = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= bytes.size())
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto d = static_cast<unsigned char>(bytes[i + k]);
            if ((d & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (d & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

// The file's text as UTF-8, and which encoding it was.
std::string DecodeText(std::string_view bytes, const std::string& file, std::string& encoding) {
    if (bytes.size() >= 2 &&
        ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF')))
        throw MeasuredError(MeasuredPlace(file, 1, 0) +
                            "the file is UTF-16; export it as UTF-8 or code page 932 text");
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    if (const auto nul = bytes.find('\0'); nul != std::string_view::npos) {
        const int line = 1 + static_cast<int>(std::count(bytes.begin(), bytes.begin() + nul, '\n'));
        throw MeasuredError(MeasuredPlace(file, line, 0) +
                            "the file holds a NUL byte: it is not a text file");
    }
    if (IsUtf8(bytes)) {
        encoding = "UTF-8";
        return std::string(bytes);
    }
    auto text = platform::DecodeToUtf8(std::string(bytes), "CP932");
    if (!text)
        throw MeasuredError(MeasuredPlace(file, 0, 0) +
                            "the file is not UTF-8, and code page 932 is not known here");
    encoding = "CP932";
    return std::move(*text);
}

// Lines end with LF, CR LF or CR alone.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

// Cells between delimiters; a cell in double quotes may hold the delimiter
// ("" is a quote). Blanks around a cell are dropped.
std::vector<std::string> SplitCells(std::string_view line, char delimiter) {
    std::vector<std::string> cells;
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && line[i] != delimiter && IsBlank(line[i]))
            ++i;
        std::string cell;
        if (i < line.size() && line[i] == '"') {
            ++i;
            while (i < line.size()) {
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        cell += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                cell += line[i++];
            }
            while (i < line.size() && line[i] != delimiter)
                cell += line[i++];
        } else {
            const std::size_t end = line.find(delimiter, i);
            cell = line.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i);
            i = end == std::string_view::npos ? line.size() : end;
        }
        cells.emplace_back(Trim(cell));
        if (i >= line.size())
            break;
        ++i; // the delimiter
        if (i == line.size()) {
            cells.emplace_back();
            break;
        }
    }
    // Trailing empty cells (a delimiter at the end of every line) are no columns.
    while (!cells.empty() && cells.back().empty())
        cells.pop_back();
    return cells;
}

bool LooksNumeric(std::string_view cell, char decimal) {
    return ParseLoggerNumber(cell, decimal) || ParseLoggerTime(cell, decimal);
}

// A line of numbers: two cells or more that are numbers or times, and at
// least as many of those as of other non-empty cells.
bool IsDataLine(const std::vector<std::string>& cells, char decimal) {
    int numbers = 0, others = 0;
    for (const auto& cell : cells) {
        if (cell.empty())
            continue;
        (LooksNumeric(cell, decimal) ? numbers : others) += 1;
    }
    return numbers >= 2 && numbers >= others;
}

// The decimal symbol of a ';' or tab file: the first number of its data
// lines that has a fraction tells.
char DetectDecimal(const std::vector<std::string_view>& lines, std::size_t first, char delimiter) {
    for (std::size_t l = first; l < lines.size(); ++l)
        for (const auto& cell : SplitCells(lines[l], delimiter)) {
            const bool comma = ParseLoggerNumber(cell, ',') || ParseLoggerTime(cell, ',');
            const bool point = ParseLoggerNumber(cell, '.') || ParseLoggerTime(cell, '.');
            if (comma && !point)
                return ',';
            if (point && !comma)
                return '.';
        }
    return '.';
}

} // namespace

std::string MeasuredPlace(const std::string& file, int line, int column) {
    std::string place = file + ": ";
    if (line > 0)
        place += "line " + std::to_string(line) + (column > 0 ? ", " : ": ");
    if (column > 0)
        place += "column " + std::to_string(column) + ": ";
    return place;
}

std::string LoggerTable::ColumnName(std::size_t column) const {
    if (column >= 1 && column <= Header.size() && !Header[column - 1].empty())
        return Header[column - 1];
    return "column " + std::to_string(column);
}

std::optional<double> ParseLoggerNumber(std::string_view text, char decimal) {
    text = Trim(text);
    if (text.empty() || text.size() > 64)
        return std::nullopt;
    // Only what a number can hold: from_chars alone would take "inf" and "nan".
    std::string plain;
    std::size_t i = 0;
    if (text[i] == '+' || text[i] == '-')
        plain += text[i++];
    bool digits = false, fraction = false;
    for (; i < text.size() && (IsDigit(text[i]) || text[i] == decimal); ++i) {
        if (text[i] == decimal) {
            if (fraction)
                return std::nullopt;
            fraction = true;
            plain += '.';
        } else {
            digits = true;
            plain += text[i];
        }
    }
    if (!digits)
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        plain += text[i++];
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            plain += text[i++];
        const std::size_t expStart = i;
        for (; i < text.size() && IsDigit(text[i]); ++i)
            plain += text[i];
        if (i == expStart)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;
    const char* begin = plain.data() + (plain.front() == '+' ? 1 : 0);
    double value = 0;
    const auto result = std::from_chars(begin, plain.data() + plain.size(), value);
    if (result.ec != std::errc() || result.ptr != plain.data() + plain.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> ParseLoggerTime(std::string_view text, char decimal) {
    text = Trim(text);
    if (text.find(':') == std::string_view::npos)
        return ParseLoggerNumber(text, decimal);
    // Whole numbers before the last part, which may have a fraction.
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t colon; (colon = text.find(':', start)) != std::string_view::npos;
         start = colon + 1)
        parts.push_back(text.substr(start, colon - start));
    parts.push_back(text.substr(start));
    if (parts.size() > 3)
        return std::nullopt;
    double total = 0;
    for (std::size_t p = 0; p < parts.size(); ++p) {
        const std::string_view part = parts[p];
        const bool last = p + 1 == parts.size();
        if (part.empty() || !IsDigit(part.front()))
            return std::nullopt;
        double value = 0;
        if (last) {
            // A clock's fraction follows "." or ",", whatever the file's
            // decimal symbol, and has digits.
            const char mark = part.find(',') == std::string_view::npos ? '.' : ',';
            const auto seconds = ParseLoggerNumber(part, mark);
            if (!seconds || part.find_first_of("eE+-") != std::string_view::npos ||
                part.back() == mark)
                return std::nullopt;
            value = *seconds;
            // Seconds under a minute, always two digits before the fraction.
            const std::size_t whole = std::min(part.find(mark), part.size());
            if (!(value < 60) || whole != 2)
                return std::nullopt;
        } else {
            long whole = 0;
            if (!std::all_of(part.begin(), part.end(), IsDigit) || part.size() > 9 ||
                std::from_chars(part.data(), part.data() + part.size(), whole).ec != std::errc())
                return std::nullopt;
            value = static_cast<double>(whole);
            // Minutes under an hour after the hours; the first part may be any count.
            if (p > 0 && (!(value < 60) || part.size() != 2))
                return std::nullopt;
        }
        total = total * 60 + value;
    }
    return total;
}

LoggerTable ParseLoggerTable(std::string_view bytes, const std::string& file) {
    LoggerTable table;
    table.File = file;
    const std::string text = DecodeText(bytes, file, table.Encoding);
    const auto lines = SplitLines(text);

    // The first delimiter under which a line of numbers appears; tab and ';'
    // before ',', which is also a decimal symbol.
    std::size_t first = lines.size();
    for (const char delimiter : {'\t', ';', ','}) {
        for (std::size_t l = 0; l < lines.size() && first == lines.size(); ++l) {
            const auto cells = SplitCells(lines[l], delimiter);
            if (IsDataLine(cells, '.') || (delimiter != ',' && IsDataLine(cells, ',')))
                first = l;
        }
        if (first < lines.size()) {
            table.Delimiter = delimiter;
            break;
        }
    }
    if (first == lines.size())
        throw MeasuredError(MeasuredPlace(file, 0, 0) +
                            "no line of numbers (a time and a temperature, separated by \",\", "
                            "\";\" or a tab) was found");
    table.Decimal = table.Delimiter == ',' ? '.' : DetectDecimal(lines, first, table.Delimiter);

    // The header: the nearest line above of two or more cells, blank lines
    // between passed over; a line of one cell there is the preamble's.
    for (std::size_t l = first; l-- > 0;) {
        if (Trim(lines[l]).empty())
            continue;
        auto cells = SplitCells(lines[l], table.Delimiter);
        if (cells.size() >= 2) {
            table.HeaderLine = static_cast<int>(l) + 1;
            table.Header = std::move(cells);
        }
        break;
    }
    table.Columns = table.Header.size();
    for (std::size_t l = first; l < lines.size(); ++l) {
        if (Trim(lines[l]).empty())
            continue;
        LoggerTable::Row row{static_cast<int>(l) + 1, SplitCells(lines[l], table.Delimiter)};
        if (row.Cells.empty())
            continue; // only delimiters
        table.Columns = std::max(table.Columns, row.Cells.size());
        table.Rows.push_back(std::move(row));
    }
    return table;
}

LoggerTable ReadLoggerTable(const std::string& path) {
    auto file = platform::File::Open(path, platform::File::Mode::Read);
    if (!file)
        throw MeasuredError(path + ": the file can not be opened");
    std::string bytes;
    char buffer[65536];
    while (true) {
        const auto got = file->Read(buffer, sizeof buffer);
        if (!got)
            throw MeasuredError(path + ": the file can not be read");
        if (*got == 0)
            break;
        if (bytes.size() + *got > MaxLoggerFileBytes)
            throw MeasuredError(path + ": the file is larger than " +
                                std::to_string(MaxLoggerFileBytes >> 20) +
                                " MB; no logger's export is");
        bytes.append(buffer, *got);
    }
    return ParseLoggerTable(bytes, path);
}

} // namespace korvane
