#pragma once

#include "ExactSlab.h"
#include "RunHistory.h"
#include "ZoneMetrics.h"

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// Shortest text that reads back as the same double, "." as decimal point;
// "" for NaN or infinity.
std::string ShortestNumber(double value);

// A number written with "." as the decimal point, nothing around it; finite.
std::optional<double> ParsePlainNumber(std::string_view text);

// The zone metrics as a JSON document {"zones": [...]}, numbers in shortest
// round-trip form, null where there is no exact solution.
std::string ReportJson(const std::vector<ZoneMetrics>& metrics);

// A member of the report after "zones" (a comparison with a measurement,
// say): its name and its value as JSON text, whose numbers are written again
// in the shortest form.
struct ReportMember {
    std::string Name;
    std::string Json;
};
std::string ReportJson(const std::vector<ZoneMetrics>& metrics,
                       const std::vector<ReportMember>& more);

// Header line and one line per recorded row of every zone (LF line ends):
// zone,z_zone_cm,z_line_cm,time_s,T1..T11,TAV,exact_T1..exact_T11,exact_TAV;
// exact fields are empty for a zone without an exact solution.
void WriteCsv(std::ostream& out, const RunHistory& run, const ExactRun& exact);
std::string CsvText(const RunHistory& run, const ExactRun& exact);

// Writes text to path; on failure returns false and sets error to the platform's reason.
bool WriteWholeFile(const std::string& path, const std::string& text, std::string& error);

// Reads the whole file at path; on failure returns false and sets error to the platform's reason.
bool ReadWholeFile(const std::string& path, std::string& text, std::string& error);

} // namespace korvane
