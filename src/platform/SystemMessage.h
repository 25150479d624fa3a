#pragma once

#include <string>

namespace korvane::platform {

// The system's text for a Windows error code, without its line end.
std::string SystemMessage(unsigned long code);

} // namespace korvane::platform
