#include "ResultReader.h"

#include "ResultNumber.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>

namespace korvane {

namespace {

constexpr std::size_t ColumnCount = PrintedPoints + 2; // Z, T1..T11, TAV

// The program's lines are under 200 bytes; a file written elsewhere may pad
// them, but a line longer than this is no result file's.
constexpr std::size_t MaxLineBytes = std::size_t{64} << 10;
// Blocks are two empty lines apart; thousands in a row are some other file,
// and reading them would only take time.
constexpr std::size_t MaxEmptyLinesInARow = 1000;
// Temperatures are printed to 0.1 ℃: -273.2 may be a temperature just above
// absolute zero, rounded.
constexpr double LowestPrintedTemperature = AbsoluteZeroC - 0.05;

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
constexpr std::size_t InitialTempLabel = 5;

constexpr Label ZoneLabels[] = {
    {"Heat Transfer Coeff.-1", "Heat Transfer Coeff.-1 (cal/cm2.s.℃) = number"},
    {"Heat Transfer Coeff.-2", "Heat Transfer Coeff.-2 (cal/cm2.s.℃) = number"},
    {"Outer Temperature -1", "Outer Temperature -1 (℃) = number"},
    {"Outer Temperature -2", "Outer Temperature -2 (℃) = number"},
    {"Length", "Length (cm) = number"},
};
constexpr std::size_t FirstOuterTempLabel = 2, LastOuterTempLabel = 3;

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
    return std::all_of(line.begin(), line.end(), IsBlank);
}

// Where the lines come from: the bytes in memory, or a file read a chunk at a
// time so that a huge one is read no further than its first wrong line.
class LineSource {
  public:
    enum class Got { Line, End, TooLong };
    virtual ~LineSource() = default;
    // The next line without its LF; `ended` says whether it had one.
    virtual Got Next(std::string& line, bool& ended) = 0;
};

class TextLines : public LineSource {
  public:
    explicit TextLines(std::string_view text) : text_(text) {}
    Got Next(std::string& line, bool& ended) override {
        if (at_ >= text_.size())
            return Got::End;
        const std::size_t end = text_.find('\n', at_);
        ended = end != std::string_view::npos;
        const std::size_t stop = ended ? end : text_.size();
        if (stop - at_ > MaxLineBytes)
            return Got::TooLong;
        line.assign(text_.substr(at_, stop - at_));
        at_ = ended ? end + 1 : stop;
        return Got::Line;
    }

  private:
    std::string_view text_;
    std::size_t at_ = 0;
};

class FileLines : public LineSource {
  public:
    FileLines(std::istream& in, const std::string& path) : in_(in), path_(path) {}
    Got Next(std::string& line, bool& ended) override {
        for (;;) {
            const std::size_t end = buffer_.find('\n', at_);
            if (end != std::string::npos) {
                if (end - at_ > MaxLineBytes)
                    return Got::TooLong;
                line.assign(buffer_, at_, end - at_);
                at_ = end + 1;
                ended = true;
                return Got::Line;
            }
            if (buffer_.size() - at_ > MaxLineBytes)
                return Got::TooLong;
            if (atEof_) {
                if (at_ >= buffer_.size())
                    return Got::End;
                line.assign(buffer_, at_);
                at_ = buffer_.size();
                ended = false;
                return Got::Line;
            }
            buffer_.erase(0, at_);
            at_ = 0;
            Fill();
        }
    }

  private:
    void Fill() {
        char chunk[1 << 16];
        in_.read(chunk, sizeof chunk);
        const auto got = static_cast<std::size_t>(in_.gcount());
        if (in_.bad())
            throw std::runtime_error(path_ + ": " + std::strerror(errno));
        buffer_.append(chunk, got);
        atEof_ = in_.eof() || got == 0;
    }

    std::istream& in_;
    const std::string& path_;
    std::string buffer_;
    std::size_t at_ = 0;
    bool atEof_ = false;
};

// Reads the lines one by one and says where the text stops being a result file.
class LineCursor {
  public:
    explicit LineCursor(LineSource& source) : source_(source) { Load(); }

    // No line is left; once cuts end the text, neither is the last line when
    // it has no line end (its last number may be cut short).
    bool AtEnd() const { return !has_ || (cutsEnd_ && !ended_); }
    // The line ahead is the last one and has no line end.
    bool AtCutLine() const { return has_ && !ended_; }
    std::string_view CutLine() const { return AtCutLine() ? line_ : std::string_view(); }
    // The last line when it has no line end, once it was reached; else 0.
    std::size_t CutLineNo() const { return cutLine_; }
    std::size_t LineNo() const { return lineNo_; }
    std::string_view Peek() const { return AtEnd() ? std::string_view() : line_; }
    void Take() { Load(); }
    void CutsEndTheText() { cutsEnd_ = true; }
    std::size_t SkipEmptyLines() {
        std::size_t skipped = 0;
        while (!AtEnd() && IsEmptyLine(Peek())) {
            if (++skipped > MaxEmptyLinesInARow)
                throw ResultFileError(LineNo(), "line " + std::to_string(LineNo()) +
                                                    ": more than 1000 empty lines in a row; a "
                                                    "result file has two between its blocks.");
            Take();
        }
        return skipped;
    }

    [[noreturn]] void Fail(const std::string& expected) const {
        std::string text = "line " + std::to_string(LineNo()) + ": expected " + expected;
        if (!has_)
            text += ", but the file ends there";
        if (cutLine_ != 0)
            text += (has_ ? ". The line" : " (line " + std::to_string(cutLine_) + ")") +
                    std::string(" has no line end: the file seems cut");
        throw ResultFileError(LineNo(), text + ".");
    }

  private:
    void Load() {
        ++lineNo_;
        const LineSource::Got got = source_.Next(line_, ended_);
        if (got == LineSource::Got::TooLong)
            throw ResultFileError(lineNo_, "line " + std::to_string(lineNo_) +
                                               ": longer than 65536 bytes; the lines of a "
                                               "result file are short.");
        has_ = got == LineSource::Got::Line;
        if (!has_) {
            line_.clear();
            ended_ = true;
            return;
        }
        if (!line_.empty() && line_.back() == '\r')
            line_.pop_back();
        if (!ended_)
            cutLine_ = lineNo_;
    }

    LineSource& source_;
    std::string line_;
    std::size_t lineNo_ = 0;
    bool has_ = false;
    bool ended_ = true;
    bool cutsEnd_ = false;
    std::size_t cutLine_ = 0; // the last line, when it has no line end
};

// The first temperature below absolute zero, and how many there are.
struct ColdValues {
    std::size_t line = 0;
    std::string what;
    double value = 0;
    std::size_t count = 0;

    void Note(double t, std::size_t lineNo, const char* name) {
        if (!(t < LowestPrintedTemperature))
            return;
        if (count++ == 0) {
            line = lineNo;
            what = name;
            value = t;
        }
    }
    std::optional<std::string> Warning() const {
        if (count == 0)
            return std::nullopt;
        std::string text = "line " + std::to_string(line) + ": " + what + " is " +
                           MessageNumber(value) + " ℃, below absolute zero (−273.15 ℃)";
        if (count > 1)
            text += "; " + std::to_string(count - 1) + " more temperature" +
                    (count > 2 ? "s" : "") + " of the file " + (count > 2 ? "are" : "is") + " too";
        return text + ".";
    }
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
        cursor.Fail(std::string("a finite number after \"=\" in \"") + label.shown + "\"");
    cursor.Take();
    return *value;
}

void EmptyLine(LineCursor& cursor, const char* where) {
    if (cursor.AtEnd() || !IsEmptyLine(cursor.Peek()))
        cursor.Fail(std::string("an empty line ") + where);
    cursor.Take();
}

TCalcInput ReadHeader(LineCursor& cursor, ColdValues& cold) {
    TCalcInput in;
    double* const fields[] = {&in.Density, &in.SpecificHeat, &in.Conductivity, &in.Thickness,
                              &in.Speed,   &in.InitialTemp,  &in.DeltaZ};
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        const std::size_t line = cursor.LineNo();
        *fields[i] = LabelledValue(cursor, HeaderLabels[i]);
        if (i == InitialTempLabel)
            cold.Note(*fields[i], line, "the initial temperature");
    }
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

// "[Zone k]", its five labelled lines, an empty line and the column head.
// False when the text ends before the column head and may end there.
bool ReadZoneHead(LineCursor& cursor, std::int32_t zoneNo, bool mayEnd, ZoneHistory& zone,
                  ColdValues& cold) {
    const auto ends = [&] { return mayEnd && cursor.AtEnd(); };
    const std::string head = "[Zone " + std::to_string(zoneNo) + "]";
    if (ends())
        return false;
    if (cursor.AtEnd() || LabelName(cursor.Peek()) != head)
        cursor.Fail("\"" + head + "\"");
    cursor.Take();

    zone.ZoneNo = zoneNo;
    double* const values[] = {&zone.Zone.Htc1, &zone.Zone.Htc2, &zone.Zone.OuterTemp1,
                              &zone.Zone.OuterTemp2, &zone.Zone.Length};
    for (std::size_t i = 0; i < std::size(values); ++i) {
        if (ends())
            return false;
        const std::size_t line = cursor.LineNo();
        *values[i] = LabelledValue(cursor, ZoneLabels[i]);
        if (i >= FirstOuterTempLabel && i <= LastOuterTempLabel)
            cold.Note(*values[i], line, "an outer temperature");
    }
    if (ends())
        return false;
    EmptyLine(cursor, "before the column head");
    if (ends())
        return false;
    ReadColumnHead(cursor);
    return true;
}

HistoryRow ReadRow(LineCursor& cursor, ColdValues& cold) {
    const auto fields = Fields(cursor.Peek());
    if (fields.size() != ColumnCount)
        cursor.Fail("a row of 13 numbers (Z, T1 to T11, TAV) or an empty line; found " +
                    std::to_string(fields.size()) + " fields");
    double values[ColumnCount];
    for (std::size_t i = 0; i < ColumnCount; ++i) {
        const std::optional<double> value = ParseResultNumber(fields[i]);
        if (!value)
            cursor.Fail(std::string("a finite number in column ") + ColumnNames[i] + ", not \"" +
                        std::string(fields[i].substr(0, 40)) + (fields[i].size() > 40 ? "…" : "") +
                        "\"");
        values[i] = *value;
        if (i > 0)
            cold.Note(values[i], cursor.LineNo(), ColumnNames[i]);
    }
    cursor.Take();
    HistoryRow row;
    row.Z = values[0];
    for (std::size_t k = 0; k < PrintedPoints; ++k)
        row.Points[k] = values[k + 1];
    row.Mean = values[ColumnCount - 1];
    return row;
}

// The rows up to the next empty line or the end of the text.
void ReadRows(LineCursor& cursor, ZoneHistory& zone, ColdValues& cold) {
    while (!cursor.AtEnd() && !IsEmptyLine(cursor.Peek())) {
        if (zone.Rows.size() == static_cast<std::size_t>(MaxRows))
            throw ResultFileError(cursor.LineNo(),
                                  "line " + std::to_string(cursor.LineNo()) + ": zone " +
                                      std::to_string(zone.ZoneNo) +
                                      " has a 1002nd row; a result file holds at most 1001 rows "
                                      "a zone.");
        zone.Rows.push_back(ReadRow(cursor, cold));
    }
}

// Half a unit of the last digit that FormatFixed(value, precision, digits)
// keeps (it keeps min(E + digits, precision) significant digits, E those
// before the point), and a little more for the value's own rounding.
long double PrintRounding(double value, int precision, int digits) {
    const long double magnitude = std::fabs(static_cast<long double>(value));
    int before = 0;
    while (before < 400 && magnitude >= std::pow(10.0L, before))
        ++before;
    const int last = std::max(-digits, before - precision);
    return 0.5L * std::pow(10.0L, last) * (1 + 1e-9L);
}

// Rows as the march records them: trunc((length + 0.0001) / Δz) + 1, none
// when that is below one, and at most MaxRows.
std::int64_t RowsFor(long double length, long double deltaZ) {
    const long double rows = std::trunc((length + 0.0001L) / deltaZ) + 1;
    if (!(rows >= 1))
        return 0;
    return rows >= MaxRows ? MaxRows : static_cast<std::int64_t>(rows);
}

// The rows a zone printed with this length and Δz can have: the header
// prints Δz to 0.01 and the length to 0.1 (both six digits at most).
struct RowRange {
    std::int64_t least = 0, most = MaxRows;
    std::optional<std::int64_t> nominal;

    std::string Text() const {
        if (least == most)
            return std::to_string(least);
        if (nominal)
            return "about " + std::to_string(*nominal);
        return std::to_string(least) + " to " + std::to_string(most);
    }
};

RowRange ExpectedRows(double deltaZ, double length) {
    const long double dz = PrintRounding(deltaZ, 6, 2), dl = PrintRounding(length, 6, 1);
    RowRange range;
    if (deltaZ + dz > 0)
        range.least = RowsFor(length - dl, deltaZ + dz);
    if (deltaZ - dz > 0)
        range.most = RowsFor(length + dl, deltaZ - dz);
    if (deltaZ > 0)
        range.nominal = RowsFor(length, deltaZ);
    range.most = std::max(range.most, range.least);
    return range;
}

std::string ZoneRows(const ResultFileContent& content, const ZoneHistory& zone) {
    const std::size_t rows = zone.Rows.size();
    return std::to_string(rows) + (rows == 1 ? " row" : " rows") + " of " +
           ExpectedRows(content.Input.DeltaZ, zone.Zone.Length).Text();
}

ResultFileContent Parse(LineSource& source) {
    LineCursor cursor(source);
    ResultFileContent content;
    ColdValues cold;
    content.Input = ReadHeader(cursor, cold);
    EmptyLine(cursor, "after the number of layers");
    EmptyLine(cursor, "after the number of layers");
    // A file written elsewhere may have more empty lines between blocks.
    cursor.SkipEmptyLines();
    // Up to zone 1's column head there is nothing to show: a cut there is
    // refused with its line like any other misfit.
    content.Zones.emplace_back();
    ReadZoneHead(cursor, 1, false, content.Zones.back(), cold);
    cursor.CutsEndTheText();

    std::optional<std::string> cut;
    std::vector<std::size_t> blockEnds; // the line after each zone's last row
    for (;;) {
        ReadRows(cursor, content.Zones.back(), cold);
        const ZoneHistory& zone = content.Zones.back();
        const std::string k = std::to_string(zone.ZoneNo);
        blockEnds.push_back(cursor.LineNo());
        if (cursor.AtCutLine() && !IsEmptyLine(cursor.CutLine())) {
            cut = "line " + std::to_string(cursor.LineNo()) +
                  " has no line end: the file is cut in zone " + k + ", which shows " +
                  ZoneRows(content, zone) + " (the cut row is left out)";
            break;
        }
        const std::size_t empty = cursor.SkipEmptyLines();
        if (cursor.AtEnd()) {
            if (cursor.CutLineNo() != 0)
                cut = "line " + std::to_string(cursor.CutLineNo()) +
                      " has no line end: the file is " +
                      (zone.ZoneNo < MaxZones
                           ? "cut after zone " + k + " (" + ZoneRows(content, zone) + ")"
                           : std::string("cut after the block of zone 4"));
            else if (empty < 2)
                cut = "the file ends after zone " + k + " (" + ZoneRows(content, zone) +
                      ") without the two empty lines that close a block: rows or zones may be "
                      "missing";
            break;
        }
        if (zone.ZoneNo == MaxZones)
            cursor.Fail("the end of the file after the block of zone 4");
        ZoneHistory next;
        if (!ReadZoneHead(cursor, zone.ZoneNo + 1, true, next, cold)) {
            cut = "the file ends inside the head of zone " + std::to_string(zone.ZoneNo + 1) +
                  " (line " + std::to_string(cursor.LineNo()) +
                  (cursor.AtCutLine() ? ", which has no line end" : "") + "); zone " +
                  std::to_string(zone.ZoneNo + 1) + " is left out";
            break;
        }
        content.Zones.push_back(std::move(next));
    }

    for (std::size_t z = 0; z < content.Zones.size(); ++z) {
        const ZoneHistory& zone = content.Zones[z];
        content.Input.Zones[static_cast<std::size_t>(zone.ZoneNo)] = zone.Zone;
        // The zone the file is cut in has been spoken of.
        if (cut && z + 1 == content.Zones.size())
            continue;
        const RowRange range = ExpectedRows(content.Input.DeltaZ, zone.Zone.Length);
        if (static_cast<std::int64_t>(zone.Rows.size()) < range.least)
            content.Warnings.push_back(
                "The file is incomplete: zone " + std::to_string(zone.ZoneNo) + " has " +
                ZoneRows(content, zone) + " up to line " + std::to_string(blockEnds[z] - 1) +
                ", where its length of " + MessageNumber(zone.Zone.Length) +
                " cm at Δz = " + MessageNumber(content.Input.DeltaZ) + " cm gives at least " +
                std::to_string(range.least) + ".");
    }
    if (cut)
        content.Warnings.insert(content.Warnings.begin(), "The file is incomplete: " + *cut + ".");
    content.Complete = content.Warnings.empty();
    if (const auto warning = cold.Warning())
        content.Warnings.push_back(*warning);
    content.Input.ZoneCount = static_cast<std::int32_t>(content.Zones.size());
    return content;
}

} // namespace

ResultFileError::ResultFileError(std::size_t line, const std::string& what)
    : std::runtime_error(what), line_(line) {}

std::string MessageNumber(double value) {
    char buffer[64];
    const double magnitude = std::fabs(value);
    const auto form = magnitude == 0 || (magnitude >= 1e-4 && magnitude < 1e15)
                          ? std::chars_format::fixed
                          : std::chars_format::scientific;
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value, form).ptr);
}

ResultFileContent ParseResultFile(const std::string& bytes) {
    TextLines lines(bytes);
    return Parse(lines);
}

ResultFileContent ReadResultFile(const std::string& path) {
    // A pipe or a device would keep the reader waiting for its end.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        throw std::runtime_error(path + ": " +
                                 (error ? error.message() : std::string("not a regular file")));
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error(path + ": " + std::strerror(errno));
    FileLines lines(file, path);
    ResultFileContent content = Parse(lines);
    content.Input.SaveFileName = path;
    return content;
}

} // namespace korvane
