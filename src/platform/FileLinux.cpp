#include "File.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane::platform {

namespace {
constexpr std::intptr_t Closed = -1;

int Fd(std::intptr_t handle) {
    return static_cast<int>(handle);
}
} // namespace

std::optional<File> File::Open(const std::string& name, Mode mode) {
    if (name.empty() || name.find('\0') != std::string::npos)
        return std::nullopt;
    int flags = O_RDONLY;
    if (mode == Mode::Create)
        flags = O_WRONLY | O_CREAT | O_TRUNC;
    else if (mode == Mode::Append)
        flags = O_WRONLY | O_APPEND;
    // Not blocking in open: a named pipe with no reader cannot be opened for
    // writing, and one with no writer reads as empty; neither hangs.
    const int fd = ::open(name.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0)
        return std::nullopt;
    File file(fd);
    const int status = ::fcntl(fd, F_GETFL);
    if (status == -1 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) == -1)
        return std::nullopt;
    if (mode == Mode::Read) {
        struct stat info {};
        if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode))
            return std::nullopt;
    }
    return file;
}

File::File(File&& other) noexcept : handle_(other.handle_) {
    other.handle_ = Closed;
}

File::~File() {
    if (handle_ != Closed)
        ::close(Fd(handle_));
}

std::optional<std::size_t> File::Read(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(Fd(handle_), buffer, size);
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR)
            return std::nullopt;
    }
}

std::string File::Write(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(Fd(handle_), data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return std::strerror(errno);
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return {};
}

std::string File::Close() {
    const int fd = Fd(handle_);
    handle_ = Closed;
    // Never retried, EINTR included: Linux has released the descriptor by
    // then, and whether the data reached the file is unknown.
    if (::close(fd) != 0)
        return std::strerror(errno);
    return {};
}

} // namespace korvane::platform
