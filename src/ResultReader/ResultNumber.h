#pragma once

#include <optional>
#include <string_view>

namespace korvane {

// A number as the result file writes it: "300.0", "-0.1", "12346.0", "1E5",
// "1.2346E5", "0.00060", "7", with "." or "," as the decimal symbol. Nothing
// for any other text.
std::optional<double> ParseResultNumber(std::string_view text);

} // namespace korvane
