#pragma once

#include "File.h"
#include "LongDouble.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace korvane {

// A write or close that failed after the file was opened; what() is the
// platform's text for the error.
class FileWriteError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// An output text file with CR LF line ends, written through a buffer of its
// own; whatever reached the file before a failing write stays.
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
    explicit TextFile(platform::File file) : file_(std::move(file)) {}
    void Flush();
    std::optional<platform::File> file_;
    std::string buffer_;
};

} // namespace korvane
