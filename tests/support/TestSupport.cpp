#include "TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace korvane::testing {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "korvane-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadFileBytes(const std::string& path) {
    if (!std::filesystem::is_regular_file(path))
        return {};
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::filesystem::path GoldenDir() {
    return KORVANE_GOLDEN_DIR;
}

std::vector<std::string> NothingWritableMessages(int zones) {
    std::vector<std::string> messages = {"File can not open!"};
    for (int zone = 0; zone < zones; ++zone) {
        messages.emplace_back("Can not write result to file");
        messages.emplace_back("Can not write results to file");
    }
    return messages;
}

std::string MessageLines(const std::vector<std::string>& messages) {
    std::string lines;
    for (const auto& message : messages)
        lines += message + "\n";
    return lines;
}

} // namespace korvane::testing
