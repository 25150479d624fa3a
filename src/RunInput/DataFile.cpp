#include "DataFile.h"

#include "Conversions.h"
#include "File.h"
#include "Messages.h"

#include <cmath>
#include <new>
#include <stdexcept>

namespace korvane {

namespace {

void StoreLine(DataLineArray& lines, int index, std::string& line) {
    lines[static_cast<std::size_t>(index)] = std::move(line);
    line.clear();
}

} // namespace

bool ReadDataLines(const std::string& path, DataLineArray& lines) {
    int lineCount = 0;
    return ReadDataLines(path, lines, lineCount);
}

bool ReadDataLines(const std::string& path, DataLineArray& lines, int& lineCount) {
    auto file = platform::File::Open(path, platform::File::Mode::Read);
    if (!file)
        return false;

    DataLineArray read{};
    int lineNo = 1;
    std::string line;
    char buffer[65536];
    // Lines beyond any real data file (an endless device, say) are a read
    // that failed, before they can exhaust the memory.
    std::size_t total = 0;
    try {
        while (lineNo <= DataLineCount) {
            const auto got = file->Read(buffer, sizeof buffer);
            if (!got)
                return false;
            if (*got == 0)
                break;
            total += *got;
            if (total > MaxDataFileBytes)
                return false;
            const std::string_view chunk(buffer, *got);
            std::size_t start = 0;
            while (lineNo <= DataLineCount) {
                const auto end = chunk.find('\n', start);
                if (end == std::string_view::npos) {
                    line.append(chunk.substr(start));
                    break;
                }
                line.append(chunk.substr(start, end - start));
                // Lines end with CR LF or LF; a CR anywhere else, the end of
                // the file included, is text of its line.
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                StoreLine(read, lineNo++, line);
                start = end + 1;
            }
        }
        if (lineNo <= DataLineCount && !line.empty())
            StoreLine(read, lineNo++, line);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    lines = std::move(read);
    lineCount = lineNo - 1;
    return true;
}

std::optional<DataLineArray> ExtractDataValues(const DataLineArray& lines) {
    DataLineArray values{};
    for (int i = 1; i <= DataLineCount; ++i) {
        const std::string& line = lines[static_cast<std::size_t>(i)];
        const auto equals = line.find('=');
        if (equals == std::string::npos)
            return std::nullopt;
        std::string value = line.substr(equals + 1);
        const auto first = value.find_first_not_of(' ');
        value.erase(0, first == std::string::npos ? value.size() : first);
        values[static_cast<std::size_t>(i)] = std::move(value);
    }
    for (int i = 1; i <= DataLineCount; ++i) {
        std::string& value = values[static_cast<std::size_t>(i)];
        const auto blank = value.find(' ');
        if (blank != std::string::npos)
            value.erase(blank);
    }
    return values;
}

namespace {

constexpr const char* HeaderLineLabels[] = {
    "Density", "Specific Heat",       "Thermal Conductivity", "Thickness",
    "Speed",   "Initial Temperature", "Increment dz",         "Number of Layers"};
constexpr const char* ZoneLineLabels[] = {"Heat Trans. Coeff.(1)", "Heat Trans. Coeff.(2)",
                                          "Outer Temperature(1)", "Outer Temperature(2)", "Length"};

// The line (1..28) that feeds a box; 0 for a box no line feeds.
int LineOfBox(int box) {
    for (int line = 1; line <= DataLineCount; ++line)
        if (DataLineBox[static_cast<std::size_t>(line)] == box)
            return line;
    return 0;
}

std::string Place(int line) {
    return "line " + std::to_string(line) + " (" + DataLineLabel(line) + ")";
}

// The box each check of ReadRunInput judges, in the order of Check.
constexpr int CheckBoxes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14, 12, 14, 0};

// A read failure of ReadRunInput, found again in the order it reads the
// boxes: a value that is no number, or a length too many steps of Δz.
std::optional<std::string> ReadFailure(const EditTexts& boxes) {
    auto real = [&](int box) -> std::optional<std::string> {
        if (ConvertReal(boxes[static_cast<std::size_t>(box)]))
            return std::nullopt;
        return Place(LineOfBox(box)) + ": \"" + boxes[static_cast<std::size_t>(box)] +
               "\" is not a number";
    };
    auto steps = [&](int lengthBox) -> std::optional<std::string> {
        const double dz = *ConvertReal(boxes[13]);
        if (dz == 0)
            return Place(LineOfBox(13)) + ": \u0394z must not be 0";
        const long double quotient = std::fabs(
            static_cast<long double>(*ConvertReal(boxes[static_cast<std::size_t>(lengthBox)])) /
            dz);
        if (!(quotient < 0x1p63L))
            return Place(LineOfBox(lengthBox)) + ": the length is too many steps of \u0394z";
        return std::nullopt;
    };
    for (int box : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13})
        if (auto failure = real(box))
            return failure;
    if (!ConvertInteger(boxes[14]))
        return Place(LineOfBox(14)) + ": \"" + boxes[14] + "\" is not a whole number";
    if (auto failure = steps(7))
        return failure;
    constexpr int ZoneBoxes[][5] = {
        {15, 16, 17, 18, 23}, {19, 20, 21, 22, 24}, {25, 26, 27, 28, 29}};
    for (const auto& zone : ZoneBoxes) {
        if (!ZoneCounts(boxes[static_cast<std::size_t>(zone[0])]))
            continue;
        for (int box : zone)
            if (auto failure = real(box))
                return failure;
        if (auto failure = steps(zone[4]))
            return failure;
    }
    return std::nullopt;
}

} // namespace

std::string DataLineLabel(int line) {
    if (line >= 1 && line <= 8)
        return HeaderLineLabels[line - 1];
    if (line >= 9 && line <= DataLineCount)
        return "Zone" + std::to_string((line - 9) / 5 + 1) + " " + ZoneLineLabels[(line - 9) % 5];
    return "line " + std::to_string(line);
}

std::optional<std::string> DataFileProblem(const DataLineArray& lines, int lineCount) {
    for (int line = 1; line <= DataLineCount; ++line) {
        if (line > lineCount)
            return Place(line) + " is missing: the file ends after line " +
                   std::to_string(lineCount) + ", and a data file has 28 lines";
        if (lines[static_cast<std::size_t>(line)].find('=') == std::string::npos)
            return Place(line) + " has no \"=\": each of the 28 lines is \"label = value\"";
    }
    const EditTexts boxes = BoxesFromDataValues(*ExtractDataValues(lines), "memory");
    TCalcInput input;
    const std::optional<std::string> failure = ReadRunInput(boxes, input);
    if (!failure)
        return std::nullopt;
    if (*failure == msg::InputNotCorrect)
        return ReadFailure(boxes).value_or(*failure);
    for (std::size_t check = 0; check < CheckMessages.size(); ++check) {
        if (*failure != CheckMessages[check])
            continue;
        if (static_cast<Check>(check) == Check::StepsFit)
            return Place(LineOfBox(13)) + " and the zones' lengths: " + *failure;
        return Place(LineOfBox(CheckBoxes[check])) + ": " + *failure;
    }
    return *failure;
}

std::string DataFormatMessage(const std::string& dataFileName) {
    return "\"" + dataFileName + "\" is not a correct data file!";
}

EditTexts BoxesFromDataValues(const DataLineArray& values, const std::string& saveName) {
    EditTexts boxes;
    for (int line = 1; line <= DataLineCount; ++line)
        boxes[static_cast<std::size_t>(DataLineBox[line])] = values[static_cast<std::size_t>(line)];
    boxes[12] = saveName;
    return boxes;
}

} // namespace korvane
