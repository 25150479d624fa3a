#pragma once

namespace korvane::platform {

// Whether standard error is a terminal (a console on Windows), where a line
// can be written over in place; not when it goes to a file or a pipe.
bool StandardErrorIsTerminal();

} // namespace korvane::platform
