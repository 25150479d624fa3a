// The result-file reader on arbitrary bytes: no crash, no hang, at most four
// zones of 1001 rows; a refusal names its line. What it accepts, written back
// as result-file text with the shortest numbers that read back the same,
// reads again as the same zones, values and completeness.
#include "FuzzCheck.h"
#include "ResultReader.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

using korvane::ResultFileContent;
using korvane::ResultFileError;

namespace {

std::string Number(double value) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

void Line(std::string& text, const std::string& line) {
    text += line;
    text += "\r\n";
}

// Every block is closed by its two empty lines, but the last one of an
// incomplete file, which ends right after its rows.
std::string ResultText(const ResultFileContent& content) {
    const korvane::TCalcInput& in = content.Input;
    std::string text;
    Line(text, "Density (g/cm3) = " + Number(in.Density));
    Line(text, "Specific Heat (cal/g.\x81\x8E) = " + Number(in.SpecificHeat));
    Line(text, "Thermal Conductivity (cal/s.cm.\x81\x8E) = " + Number(in.Conductivity));
    Line(text, "Thickness (cm) = " + Number(in.Thickness));
    Line(text, "Speed (m/min) = " + Number(in.Speed));
    Line(text, "Initial Temperature (\x81\x8E) = " + Number(in.InitialTemp));
    Line(text, "Increment \x83\xA2z (cm) = " + Number(in.DeltaZ));
    Line(text, "Number of Layers = " + std::to_string(in.LayerCount));
    Line(text, "");
    Line(text, "");
    for (std::size_t z = 0; z < content.Zones.size(); ++z) {
        const korvane::ZoneHistory& zone = content.Zones[z];
        Line(text, "[Zone " + std::to_string(zone.ZoneNo) + "]");
        Line(text, "Heat Transfer Coeff.-1 (cal/cm2.s.\x81\x8E) = " + Number(zone.Zone.Htc1));
        Line(text, "Heat Transfer Coeff.-2 (cal/cm2.s.\x81\x8E) = " + Number(zone.Zone.Htc2));
        Line(text, "Outer Temperature -1 (\x81\x8E) = " + Number(zone.Zone.OuterTemp1));
        Line(text, "Outer Temperature -2 (\x81\x8E) = " + Number(zone.Zone.OuterTemp2));
        Line(text, "Length (cm) = " + Number(zone.Zone.Length));
        Line(text, "");
        Line(text, "Z T1 T2 T3 T4 T5 T6 T7 T8 T9 T10 T11 TAV");
        for (const korvane::HistoryRow& row : zone.Rows) {
            std::string line = Number(row.Z);
            for (double t : row.Points)
                line += " " + Number(t);
            Line(text, line + " " + Number(row.Mean));
        }
        if (content.Complete || z + 1 < content.Zones.size()) {
            Line(text, "");
            Line(text, "");
        }
    }
    return text;
}

bool Finite(const korvane::HistoryRow& row) {
    bool finite = std::isfinite(row.Z) && std::isfinite(row.Mean);
    for (double t : row.Points)
        finite = finite && std::isfinite(t);
    return finite;
}

bool Same(double a, double b) {
    return a == b && std::signbit(a) == std::signbit(b);
}

// The warnings that are not about completeness: a temperature below absolute zero.
std::size_t OtherWarnings(const ResultFileContent& content) {
    std::size_t count = 0;
    for (const std::string& warning : content.Warnings)
        count += warning.rfind("The file is incomplete: ", 0) != 0;
    return count;
}

void CheckSame(const ResultFileContent& a, const ResultFileContent& b) {
    FUZZ_CHECK(a.Complete == b.Complete, "complete %d, read back %d", a.Complete, b.Complete);
    FUZZ_CHECK(OtherWarnings(a) == OtherWarnings(b), "%zu warnings, read back %zu",
               OtherWarnings(a), OtherWarnings(b));
    const korvane::TCalcInput &x = a.Input, &y = b.Input;
    FUZZ_CHECK(Same(x.Density, y.Density) && Same(x.SpecificHeat, y.SpecificHeat) &&
                   Same(x.Conductivity, y.Conductivity) && Same(x.Thickness, y.Thickness) &&
                   Same(x.Speed, y.Speed) && Same(x.InitialTemp, y.InitialTemp) &&
                   Same(x.DeltaZ, y.DeltaZ) && x.LayerCount == y.LayerCount &&
                   x.ZoneCount == y.ZoneCount,
               "the header reads back otherwise");
    FUZZ_CHECK(a.Zones.size() == b.Zones.size(), "%zu zones, read back %zu", a.Zones.size(),
               b.Zones.size());
    for (std::size_t z = 0; z < a.Zones.size(); ++z) {
        const auto &p = a.Zones[z], &q = b.Zones[z];
        FUZZ_CHECK(
            p.ZoneNo == q.ZoneNo && Same(p.Zone.Htc1, q.Zone.Htc1) &&
                Same(p.Zone.Htc2, q.Zone.Htc2) && Same(p.Zone.OuterTemp1, q.Zone.OuterTemp1) &&
                Same(p.Zone.OuterTemp2, q.Zone.OuterTemp2) && Same(p.Zone.Length, q.Zone.Length),
            "zone %zu's head reads back otherwise", z + 1);
        FUZZ_CHECK(p.Rows.size() == q.Rows.size(), "zone %zu: %zu rows, read back %zu", z + 1,
                   p.Rows.size(), q.Rows.size());
        for (std::size_t r = 0; r < p.Rows.size(); ++r) {
            bool same = Same(p.Rows[r].Z, q.Rows[r].Z) && Same(p.Rows[r].Mean, q.Rows[r].Mean);
            for (std::size_t k = 0; k < 11; ++k)
                same = same && Same(p.Rows[r].Points[k], q.Rows[r].Points[k]);
            FUZZ_CHECK(same, "zone %zu row %zu reads back otherwise", z + 1, r + 1);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    ResultFileContent content;
    try {
        content = korvane::ParseResultFile(bytes);
    } catch (const ResultFileError& error) {
        const std::string start = "line " + std::to_string(error.Line()) + ": ";
        FUZZ_CHECK(error.Line() >= 1 && std::string(error.what()).rfind(start, 0) == 0,
                   "refusal of line %zu: %s", error.Line(), error.what());
        return 0;
    }
    FUZZ_CHECK(!content.Zones.empty() && content.Zones.size() <= 4, "%zu zones",
               content.Zones.size());
    FUZZ_CHECK(content.Input.ZoneCount == static_cast<int>(content.Zones.size()), "ZoneCount %d",
               content.Input.ZoneCount);
    FUZZ_CHECK(content.Complete == (content.Warnings.empty() ||
                                    content.Warnings[0].rfind("The file is incomplete: ", 0) != 0),
               "completeness and warnings disagree");
    for (std::size_t z = 0; z < content.Zones.size(); ++z) {
        const auto& zone = content.Zones[z];
        FUZZ_CHECK(zone.ZoneNo == static_cast<int>(z) + 1, "zone %zu is numbered %d", z + 1,
                   zone.ZoneNo);
        FUZZ_CHECK(zone.Rows.size() <= 1001, "zone %zu has %zu rows", z + 1, zone.Rows.size());
        for (const auto& row : zone.Rows)
            FUZZ_CHECK(Finite(row), "zone %zu holds a number that is not finite", z + 1);
    }
    // A complete file's last line has its line end.
    FUZZ_CHECK(!content.Complete || bytes.back() == '\n', "complete without a line end");

    const std::string text = ResultText(content);
    ResultFileContent again;
    try {
        again = korvane::ParseResultFile(text);
    } catch (const ResultFileError& error) {
        FUZZ_CHECK(false, "the text written back is refused: %s", error.what());
    }
    CheckSame(content, again);
    return 0;
}
