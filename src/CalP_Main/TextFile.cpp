#include "TextFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane {

namespace {
[[noreturn]] void ThrowWriteError(int error) {
    throw FileWriteError(std::strerror(error));
}
} // namespace

std::optional<TextFile> TextFile::Open(const std::string& path, Mode mode) {
    if (path.empty() || path.find('\0') != std::string::npos)
        return std::nullopt;
    const int flags = mode == Mode::Create ? O_WRONLY | O_CREAT | O_TRUNC : O_WRONLY | O_APPEND;
    // Not blocking in open: a named pipe nobody reads cannot be opened,
    // rather than hang the program.
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0)
        return std::nullopt;
    TextFile file(fd);
    const int status = ::fcntl(fd, F_GETFL);
    if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0)
        return std::nullopt;
    return file;
}

TextFile::TextFile(TextFile&& other) noexcept : fd_(other.fd_), buffer_(std::move(other.buffer_)) {
    other.fd_ = -1;
}

TextFile::~TextFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

void TextFile::WriteLine(std::string_view line) {
    buffer_.append(line);
    buffer_.append("\r\n");
    if (buffer_.size() >= 65536)
        Flush();
}

void TextFile::Flush() {
    const char* data = buffer_.data();
    std::size_t left = buffer_.size();
    while (left > 0) {
        const ssize_t written = ::write(fd_, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            ThrowWriteError(errno);
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    buffer_.clear();
}

void TextFile::Close() {
    Flush();
    const int fd = fd_;
    fd_ = -1;
    // Never retried, EINTR included: Linux has released the descriptor by
    // then, and whether the data reached the file is unknown.
    if (::close(fd) != 0)
        ThrowWriteError(errno);
}

} // namespace korvane
