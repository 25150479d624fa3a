#include "File.h"

#include "SystemMessage.h"

#include <windows.h>

namespace korvane::platform {

namespace {
constexpr std::intptr_t Closed = 0;

HANDLE Handle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}
} // namespace

std::optional<File> File::Open(const std::string& name, Mode mode) {
    if (name.empty() || name.find('\0') != std::string::npos)
        return std::nullopt;
    DWORD access = GENERIC_READ;
    DWORD disposition = OPEN_EXISTING;
    if (mode == Mode::Create) {
        access = GENERIC_WRITE;
        disposition = CREATE_ALWAYS;
    } else if (mode == Mode::Append) {
        access = GENERIC_WRITE;
    }
    // The narrow call takes the name in the process's code page, as typed.
    // Without FILE_FLAG_BACKUP_SEMANTICS a directory cannot be opened.
    const HANDLE handle = ::CreateFileA(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    File file(reinterpret_cast<std::intptr_t>(handle));
    if (mode == Mode::Append &&
        ::SetFilePointer(handle, 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
        ::GetLastError() != NO_ERROR)
        return std::nullopt;
    return file;
}

File::File(File&& other) noexcept : handle_(other.handle_) {
    other.handle_ = Closed;
}

File::~File() {
    if (handle_ != Closed)
        ::CloseHandle(Handle(handle_));
}

std::optional<std::size_t> File::Read(char* buffer, std::size_t size) {
    DWORD got = 0;
    const DWORD want = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    if (!::ReadFile(Handle(handle_), buffer, want, &got, nullptr))
        return std::nullopt;
    return got;
}

std::string File::Write(const char* data, std::size_t size) {
    while (size > 0) {
        const DWORD want = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!::WriteFile(Handle(handle_), data, want, &written, nullptr))
            return SystemMessage(::GetLastError());
        data += written;
        size -= written;
    }
    return {};
}

std::string File::Close() {
    const HANDLE handle = Handle(handle_);
    handle_ = Closed;
    if (!::CloseHandle(handle))
        return SystemMessage(::GetLastError());
    return {};
}

} // namespace korvane::platform
