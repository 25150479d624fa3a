#pragma once

#include <optional>
#include <string>

namespace korvane::platform {

// Where the user's numeric conventions come from. Windows hands over the
// decimal symbol of the regional settings; Linux names a locale through the
// environment, which the core resolves itself.
struct NumericLocale {
    std::optional<std::string> decimalSymbol; // UTF-8, Windows only
    std::string lcAll;                        // the environment, elsewhere
    std::string lcNumeric;
    std::string lang;
};

NumericLocale ReadNumericLocale();

} // namespace korvane::platform
