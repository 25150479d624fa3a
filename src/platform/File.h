#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace korvane::platform {

// A file of the operating system, closed when destroyed. The name is the
// bytes the user gave: UTF-8 on Linux, the process's code page on Windows.
class File {
  public:
    enum class Mode {
        Read,   // an existing file that is no directory
        Create, // created, or emptied when it exists
        Append  // an existing file, written at its end
    };

    // Nothing when the file cannot be opened. Neither waits for the other
    // end of a named pipe.
    static std::optional<File> Open(const std::string& name, Mode mode);

    File(File&& other) noexcept;
    File& operator=(File&&) = delete;
    File(const File&) = delete;
    ~File();

    // Bytes read, 0 at the end; nothing when the read failed.
    std::optional<std::size_t> Read(char* buffer, std::size_t size);

    // Empty when all was written, else the system's text for the error.
    std::string Write(const char* data, std::size_t size);

    // Empty when the file closed cleanly, else the system's text for the error.
    std::string Close();

  private:
    explicit File(std::intptr_t handle) : handle_(handle) {}
    std::intptr_t handle_;
};

} // namespace korvane::platform
