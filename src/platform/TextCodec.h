#pragma once

#include <optional>
#include <string>

namespace korvane::platform {

// Text of a code set ("CP932") as UTF-8; NUL bytes are characters like any
// other. Nothing when the system does not know the code set.
// Linux: an invalid or cut-off sequence becomes U+FFFD and decoding goes on
// at the next byte. Windows: such bytes become the code page's default
// character.
std::optional<std::string> DecodeToUtf8(const std::string& bytes, const char* codeSet);

} // namespace korvane::platform
