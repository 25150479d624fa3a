#include "Terminal.h"

#include <windows.h>

namespace korvane::platform {

bool StandardErrorIsTerminal() {
    // Only a console has a console mode; a file or a pipe does not.
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

} // namespace korvane::platform
