#pragma once

#include "LongDouble.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace korvane {

// A box text as a real: blanks, a sign, digits with the decimal separator, an
// exponent, blanks, and nothing else. Out of the range of a double: nothing.
std::optional<double> ConvertReal(std::string_view text);

// A box text as a 32-bit integer: leading blanks, a sign, then decimal digits,
// or hexadecimal digits after "$", "x" or "0x", to the end of the text.
std::optional<std::int32_t> ConvertInteger(std::string_view text);

} // namespace korvane
