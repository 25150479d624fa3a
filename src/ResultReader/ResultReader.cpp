#include "ResultReader.h"

#include "ResultNumber.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string_view>

namespace korvane {

namespace {

constexpr std::size_t ColumnCount = 13; // Z, T1..T11, TAV

struct Label {
    const char* name; // blanks collapsed, unit left out
    const char* shown;
};

constexpr Label HeaderLabels[] = {
    {"Density", "Density (g/cm3) = number"},
    {"Specific Heat", "Specific Heat (cal/g.℃) = number"},
    {"Thermal Conductivity", "Thermal Conductivity (cal/s.cm.℃) = number"},
    {"Thickness", "Thickness (cm) = number"},
    {"Speed", "Speed (m/min) = number"},
    {"Initial Temperature", "Initial Temperature (℃) = number"},
    {"Increment", "Increment Δz (cm) = number"},
    {"Number of Layers", "Number of Layers = whole number from 1 to 100"},
};

constexpr Label ZoneLabels[] = {
    {"Heat Transfer Coeff.-1", "Heat Transfer Coeff.-1 (cal/cm2.s.℃) = number"},
    {"Heat Transfer Coeff.-2", "Heat Transfer Coeff.-2 (cal/cm2.s.℃) = number"},
    {"Outer Temperature -1", "Outer Temperature -1 (℃) = number"},
    {"Outer Temperature -2", "Outer Temperature -2 (℃) = number"},
    {"Length", "Length (cm) = number"},
};

const char* const ColumnNames[ColumnCount] = {"Z",  "T1", "T2", "T3",  "T4",  "T5", "T6",
                                              "T7", "T8", "T9", "T10", "T11", "TAV"};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && IsBlank(line[at]))
            ++at;
        const std::size_t start = at;
        while (at < line.size() && !IsBlank(line[at]))
            ++at;
        if (at > start)
            fields.push_back(line.substr(start, at - start));
    }
    return fields;
}

bool IsEmptyLine(std::string_view line) {
    return Fields(line).empty();
}

// The lines of the text without their CR LF or LF.
std::vector<std::string_view> SplitLines(const std::string& bytes) {
    std::vector<std::string_view> lines;
    const std::string_view all(bytes);
    std::size_t start = 0;
    while (start < all.size()) {
        std::size_t end = all.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? all.size() : end + 1;
        if (end == std::string_view::npos)
            end = all.size();
        std::string_view line = all.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = next;
    }
    return lines;
}

// Reads the lines one by one and says where the text stops being a result file.
class LineCursor {
  public:
    explicit LineCursor(std::vector<std::string_view> lines) : lines_(std::move(lines)) {}

    bool AtEnd() const { return next_ >= lines_.size(); }
    std::size_t LineNo() const { return next_ + 1; }
    std::string_view Peek() const { return AtEnd() ? std::string_view() : lines_[next_]; }
    std::string_view Take() {
        const std::string_view line = Peek();
        ++next_;
        return line;
    }
    void SkipEmptyLines() {
        while (!AtEnd() && IsEmptyLine(Peek()))
            ++next_;
    }

    [[noreturn]] void Fail(const std::string& expected) const {
        std::string text = "line " + std::to_string(LineNo()) + ": expected " + expected;
        text += AtEnd() ? ", but the file ends there" : ".";
        throw ResultFileError(LineNo(), text);
    }

  private:
    std::vector<std::string_view> lines_;
    std::size_t next_ = 0;
};

// The label's name: the text before any unit in parentheses, blanks collapsed.
std::string LabelName(std::string_view label) {
    const std::size_t unit = label.find('(');
    if (unit != std::string_view::npos)
        label = label.substr(0, unit);
    std::string name;
    for (std::string_view word : Fields(label)) {
        if (!name.empty())
            name += ' ';
        name += word;
    }
    return name;
}

bool NameFits(const std::string& name, const char* wanted) {
    // "Increment Δz": the delta is two bytes in code page 932 and others elsewhere.
    if (std::strcmp(wanted, "Increment") == 0)
        return name.rfind("Increment ", 0) == 0 && name.size() > 10 && name.back() == 'z';
    return name == wanted;
}

double LabelledValue(LineCursor& cursor, const Label& label) {
    const std::string_view line = cursor.Peek();
    const std::size_t equals = line.find('=');
    if (cursor.AtEnd() || equals == std::string_view::npos ||
        !NameFits(LabelName(line.substr(0, equals)), label.name))
        cursor.Fail(std::string("\"") + label.shown + "\"");
    const auto fields = Fields(line.substr(equals + 1));
    const std::optional<double> value =
        fields.size() == 1 ? ParseResultNumber(fields[0]) : std::nullopt;
    if (!value)
        cursor.Fail(std::string("a number after \"=\" in \"") + label.shown + "\"");
    cursor.Take();
    return *value;
}

void EmptyLine(LineCursor& cursor, const char* where) {
    if (cursor.AtEnd() || !IsEmptyLine(cursor.Peek()))
        cursor.Fail(std::string("an empty line ") + where);
    cursor.Take();
}

TCalcInput ReadHeader(LineCursor& cursor) {
    TCalcInput in;
    double* const fields[] = {&in.Density, &in.SpecificHeat, &in.Conductivity, &in.Thickness,
                              &in.Speed,   &in.InitialTemp,  &in.DeltaZ};
    for (std::size_t i = 0; i < std::size(fields); ++i)
        *fields[i] = LabelledValue(cursor, HeaderLabels[i]);
    const double layers = LabelledValue(cursor, HeaderLabels[7]);
    if (layers != std::floor(layers) || layers < 1 || layers > MaxNodes - 1) {
        const std::size_t line = cursor.LineNo() - 1;
        throw ResultFileError(line, "line " + std::to_string(line) +
                                        ": the number of layers must be a whole number from 1 "
                                        "to 100.");
    }
    in.LayerCount = static_cast<std::int32_t>(layers);
    return in;
}

void ReadColumnHead(LineCursor& cursor) {
    const auto fields = Fields(cursor.Peek());
    bool fits = !cursor.AtEnd() && fields.size() == ColumnCount;
    for (std::size_t i = 0; fits && i < ColumnCount; ++i)
        fits = fields[i] == ColumnNames[i];
    if (!fits)
        cursor.Fail("the column head \"Z T1 T2 … T11 TAV\"");
    cursor.Take();
}

HistoryRow ReadRow(LineCursor& cursor) {
    const auto fields = Fields(cursor.Peek());
    if (fields.size() != ColumnCount)
        cursor.Fail("a row of 13 numbers (Z, T1 to T11, TAV) or an empty line; found " +
                    std::to_string(fields.size()) + " fields");
    double values[ColumnCount];
    for (std::size_t i = 0; i < ColumnCount; ++i) {
        const std::optional<double> value = ParseResultNumber(fields[i]);
        if (!value)
            cursor.Fail(std::string("a number in column ") + ColumnNames[i] + ", not \"" +
                        std::string(fields[i]) + "\"");
        values[i] = *value;
    }
    cursor.Take();
    HistoryRow row;
    row.Z = values[0];
    for (std::size_t k = 0; k < 11; ++k)
        row.Points[k] = values[k + 1];
    row.Mean = values[12];
    return row;
}

ZoneHistory ReadZone(LineCursor& cursor, std::int32_t zoneNo) {
    const std::string head = "[Zone " + std::to_string(zoneNo) + "]";
    if (cursor.AtEnd() || LabelName(cursor.Peek()) != head)
        cursor.Fail("\"" + head + "\"");
    cursor.Take();

    ZoneHistory zone;
    zone.ZoneNo = zoneNo;
    double* const values[] = {&zone.Zone.Htc1, &zone.Zone.Htc2, &zone.Zone.OuterTemp1,
                              &zone.Zone.OuterTemp2, &zone.Zone.Length};
    for (std::size_t i = 0; i < std::size(values); ++i)
        *values[i] = LabelledValue(cursor, ZoneLabels[i]);
    EmptyLine(cursor, "before the column head");
    ReadColumnHead(cursor);
    while (!cursor.AtEnd() && !IsEmptyLine(cursor.Peek()))
        zone.Rows.push_back(ReadRow(cursor));
    return zone;
}

} // namespace

ResultFileError::ResultFileError(std::size_t line, const std::string& what)
    : std::runtime_error(what), line_(line) {}

ResultFileContent ParseResultFile(const std::string& bytes) {
    LineCursor cursor(SplitLines(bytes));
    ResultFileContent content;
    content.Input = ReadHeader(cursor);
    EmptyLine(cursor, "after the number of layers");
    EmptyLine(cursor, "after the number of layers");

    // Blocks are separated by two empty lines; a file written elsewhere may
    // have more or, at its end, fewer.
    for (std::int32_t zoneNo = 1; zoneNo <= MaxZones; ++zoneNo) {
        cursor.SkipEmptyLines();
        if (cursor.AtEnd() && zoneNo > 1)
            break;
        content.Zones.push_back(ReadZone(cursor, zoneNo));
        content.Input.Zones[static_cast<std::size_t>(zoneNo)] = content.Zones.back().Zone;
    }
    cursor.SkipEmptyLines();
    if (!cursor.AtEnd())
        cursor.Fail("the end of the file after the block of zone 4");
    content.Input.ZoneCount = static_cast<std::int32_t>(content.Zones.size());
    return content;
}

ResultFileContent ReadResultFile(const std::string& path) {
    // A pipe or a device would keep the reader waiting for its end.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        throw std::runtime_error(path + ": " +
                                 (error ? error.message() : std::string("not a regular file")));
    // Four zones of 1001 rows are about 330 KB; far more is some other file.
    constexpr std::uintmax_t MaxBytes = std::uintmax_t{64} << 20;
    if (std::filesystem::file_size(path, error) > MaxBytes && !error)
        throw ResultFileError(1, "line 1: expected a result file, but the file is larger than "
                                 "64 MiB.");
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error(path + ": " + std::strerror(errno));
    std::ostringstream bytes;
    bytes << file.rdbuf();
    if (file.bad())
        throw std::runtime_error(path + ": " + std::strerror(errno));
    ResultFileContent content = ParseResultFile(bytes.str());
    content.Input.SaveFileName = path;
    return content;
}

} // namespace korvane
