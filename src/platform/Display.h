#pragma once

namespace korvane::platform {

// The Qt platform that draws pictures without a display or a window, for a
// program that only exports; nullptr where the system's own platform needs
// no display (Windows, whose fonts only it can reach).
const char* WindowlessQtPlatform();

} // namespace korvane::platform
