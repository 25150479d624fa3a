#include "SystemMessage.h"

#include <windows.h>

namespace korvane::platform {

std::string SystemMessage(unsigned long code) {
    char text[512];
    DWORD size = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, text, sizeof text, nullptr);
    while (size > 0 && (text[size - 1] == '\n' || text[size - 1] == '\r' || text[size - 1] == ' '))
        --size;
    if (size == 0)
        return "System error " + std::to_string(code);
    return std::string(text, size);
}

} // namespace korvane::platform
