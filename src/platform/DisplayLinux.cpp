#include "Display.h"

namespace korvane::platform {

// X11 and Wayland need a display; the offscreen platform draws with fontconfig's fonts.
const char* WindowlessQtPlatform() {
    return "offscreen";
}

} // namespace korvane::platform
