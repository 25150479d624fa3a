#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvane {

// An output text file with CR LF line ends. Each line goes to the file as it
// is written, so the lines before a failing write stay.
class TextFile {
public:
    enum class Mode { Create, Append };

    // Nothing when the file cannot be opened (Append needs an existing file).
    static std::optional<TextFile> Open(const std::string& path, Mode mode);

    TextFile(TextFile&& other) noexcept;
    TextFile& operator=(TextFile&&) = delete;
    TextFile(const TextFile&) = delete;
    ~TextFile();

    // Throw FileWriteError with the platform's message.
    void WriteLine(std::string_view line);
    void Close();

private:
    explicit TextFile(int fd) : fd_(fd) {}
    int fd_;
};

} // namespace korvane
