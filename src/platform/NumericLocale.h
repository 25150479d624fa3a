#pragma once

#include <optional>
#include <string>

namespace korvane::platform {

// The decimal symbol, as UTF-8 text, of the numeric locale that these values
// of LC_ALL, LC_NUMERIC and LANG name (null or empty where unset): the first
// one set wins, none set is the C locale. Nothing for a locale that is not
// installed or not known. The process's own locale is neither read nor changed.
std::optional<std::string> LocaleDecimalText(const char* lcAll, const char* lcNumeric,
                                             const char* lang);

// The decimal symbol of the user's settings: the regional settings on
// Windows, the locale that the environment names elsewhere.
std::optional<std::string> UserDecimalText();

} // namespace korvane::platform
