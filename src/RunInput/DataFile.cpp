#include "DataFile.h"

#include "File.h"

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
            StoreLine(read, lineNo, line);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    lines = std::move(read);
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
