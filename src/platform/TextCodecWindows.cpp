#include "TextCodec.h"

#include <cstdlib>
#include <cstring>
#include <windows.h>

namespace korvane::platform {

std::optional<std::string> DecodeToUtf8(const std::string& bytes, const char* codeSet) {
    // Code sets are named as iconv names them: "CP932" is code page 932.
    if (std::strncmp(codeSet, "CP", 2) != 0)
        return std::nullopt;
    char* end = nullptr;
    const unsigned long page = std::strtoul(codeSet + 2, &end, 10);
    if (*end != '\0' || page == 0 || page > 65535 || !::IsValidCodePage(page))
        return std::nullopt;
    if (bytes.empty())
        return std::string();
    const int inSize = static_cast<int>(bytes.size());
    const int wideSize = ::MultiByteToWideChar(page, 0, bytes.data(), inSize, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
    ::MultiByteToWideChar(page, 0, bytes.data(), inSize, wide.data(), wideSize);
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

} // namespace korvane::platform
