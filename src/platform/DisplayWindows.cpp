#include "Display.h"

namespace korvane::platform {

// The windows platform creates no window until one is shown, and its font
// engine is the only one that finds the system's fonts.
const char* WindowlessQtPlatform() {
    return nullptr;
}

} // namespace korvane::platform
