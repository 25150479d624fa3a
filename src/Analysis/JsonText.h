#pragma once

#include "ZoneMetrics.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace korvane {

// The pieces of the report, for writers that put more beside the zones. Only
// sources that link nlohmann-json include this.

using Json = nlohmann::ordered_json;

// A number, or null for NaN and infinity.
Json JsonNumber(double value);

// The "zones" array of the report.
Json ZonesJson(const std::vector<ZoneMetrics>& metrics);

// The document indented by two, numbers in shortest round-trip form with "."
// as the decimal point, and a line end after it.
std::string JsonText(const Json& document);

} // namespace korvane
