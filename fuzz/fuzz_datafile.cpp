// The data-file reader and the 28-line mapping on arbitrary bytes, against a
// plain second reading: lines end at CR LF or LF, then the value is cut.
#include "DataFile.h"
#include "FuzzCheck.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using korvane::DataLineArray;
using korvane::DataLineCount;
using korvane::fuzz::Shown;

namespace {

const std::string& ScratchFile() {
    static const std::string path = korvane::fuzz::ScratchPath("datafile");
    static const bool cleanup = [] {
        std::atexit([] { std::remove(path.c_str()); });
        return true;
    }();
    (void)cleanup;
    return path;
}

// Byte by byte: a line ends at LF or at CR LF; every other CR is text.
std::vector<std::string> ReferenceLines(std::string_view bytes) {
    std::vector<std::string> lines(DataLineCount + 1);
    std::string line;
    int n = 1;
    for (std::size_t i = 0; i < bytes.size() && n <= DataLineCount; ++i) {
        const bool crOfCrLf = bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
        if (bytes[i] == '\n') {
            lines[static_cast<std::size_t>(n++)] = line;
            line.clear();
        } else if (!crOfCrLf) {
            line += bytes[i];
        }
    }
    if (n <= DataLineCount)
        lines[static_cast<std::size_t>(n)] = line;
    return lines;
}

// Nothing when a line has no "=".
std::optional<std::vector<std::string>> ReferenceValues(const std::vector<std::string>& lines) {
    std::vector<std::string> values(DataLineCount + 1);
    for (int n = 1; n <= DataLineCount; ++n) {
        const std::string& line = lines[static_cast<std::size_t>(n)];
        std::size_t i = line.find('=');
        if (i == std::string::npos)
            return std::nullopt;
        ++i;
        while (i < line.size() && line[i] == ' ')
            ++i;
        std::size_t j = i;
        while (j < line.size() && line[j] != ' ')
            ++j;
        values[static_cast<std::size_t>(n)] = line.substr(i, j - i);
    }
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string& path = ScratchFile();
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        FUZZ_CHECK(f != nullptr, "cannot create %s", path.c_str());
        FUZZ_CHECK(std::fwrite(data, 1, size, f) == size || size == 0, "short write");
        FUZZ_CHECK(std::fclose(f) == 0, "close failed");
    }

    DataLineArray lines;
    FUZZ_CHECK(korvane::ReadDataLines(path, lines), "a readable file was refused");
    const auto expectedLines = ReferenceLines(bytes);
    for (int n = 1; n <= DataLineCount; ++n) {
        const auto k = static_cast<std::size_t>(n);
        FUZZ_CHECK(lines[k] == expectedLines[k], "line %d read as \"%s\", expected \"%s\"", n,
                   Shown(lines[k]).c_str(), Shown(expectedLines[k]).c_str());
    }

    const auto values = korvane::ExtractDataValues(lines);
    const auto expected = ReferenceValues(expectedLines);
    FUZZ_CHECK(values.has_value() == expected.has_value(), "format rule: %s, expected %s",
               values ? "accepted" : "refused", expected ? "accepted" : "refused");
    if (values) {
        for (int n = 1; n <= DataLineCount; ++n) {
            const auto k = static_cast<std::size_t>(n);
            const std::string& v = (*values)[k];
            FUZZ_CHECK(v == (*expected)[k], "value %d is \"%s\", expected \"%s\"", n,
                       Shown(v).c_str(), Shown((*expected)[k]).c_str());
            FUZZ_CHECK(v.find(' ') == std::string::npos, "value %d holds a blank", n);
        }
    }
    return 0;
}
