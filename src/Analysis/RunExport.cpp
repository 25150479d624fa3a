#include "RunExport.h"

#include "JsonText.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <sstream>

namespace korvane {

namespace {

Json Number(double value) {
    return JsonNumber(value);
}

Json Four(const FourValues& v) {
    return {
        {"T1", Number(v.T1)}, {"T6", Number(v.T6)}, {"T11", Number(v.T11)}, {"TAV", Number(v.TAV)}};
}

Json Where(const char* valueKey, const ValueAt& at) {
    return {{valueKey, Number(at.Value)}, {"z_cm", Number(at.Z)}};
}

// What the scheme's side and the exact side of a zone have alike.
void AddShape(Json& to, const FourValues& entry, const FourValues& exit, const ValueAt& peak,
              const ValueAt& low, const ValueAt& difference, double heating, double cooling) {
    to["entry"] = Four(entry);
    to["exit"] = Four(exit);
    to["peak"] = Where("T", peak);
    to["low"] = Where("T", low);
    to["max_difference_through_thickness"] = Where("dT", difference);
    to["max_rate_of_mean"] = {{"heating_C_per_s", Number(heating)},
                              {"cooling_C_per_s", Number(cooling)}};
}

Json ExactJson(const ExactMetrics& e) {
    Json exact = Json::object();
    AddShape(exact, e.Entry, e.Exit, e.Peak, e.Low, e.MaxDifference, e.MaxHeatingRate,
             e.MaxCoolingRate);
    exact["max_error"] = {{"faces", Number(e.MaxErrorFaces)},
                          {"interior", Number(e.MaxErrorInterior)},
                          {"mean", Number(e.MaxErrorMean)}};
    return exact;
}

// A zone without an exact solution: every key, every value null.
ExactMetrics NoExact() {
    constexpr double none = std::numeric_limits<double>::quiet_NaN();
    const FourValues four{none, none, none, none};
    const ValueAt at{none, none};
    return {four, four, at, at, at, none, none, none, none, none};
}

Json ZoneJson(const ZoneMetrics& m) {
    Json zone;
    zone["zone"] = m.ZoneNo;
    zone["rows"] = m.Rows;
    zone["residence_s"] = Number(m.ResidenceS);
    AddShape(zone, m.Entry, m.Exit, m.Peak, m.Low, m.MaxDifference, m.MaxHeatingRate,
             m.MaxCoolingRate);
    zone["biot"] = Json::array({Number(m.Biot[0]), Number(m.Biot[1])});
    zone["mesh_fourier"] = Number(m.MeshFourier);
    zone["exact"] = ExactJson(m.Exact ? *m.Exact : NoExact());
    return zone;
}

// The library's own float output is round-trip but not always the shortest
// form; numbers are written here, everything else by the library.
void Dump(const Json& j, std::string& out, int indent) {
    const std::string pad(static_cast<std::size_t>(indent + 2), ' ');
    const std::string close(static_cast<std::size_t>(indent), ' ');
    if (j.is_object() || j.is_array()) {
        const bool object = j.is_object();
        if (j.empty()) {
            out += object ? "{}" : "[]";
            return;
        }
        out += object ? "{\n" : "[\n";
        bool first = true;
        for (auto it = j.begin(); it != j.end(); ++it) {
            if (!first)
                out += ",\n";
            first = false;
            out += pad;
            if (object)
                out += Json(it.key()).dump() + ": ";
            Dump(it.value(), out, indent + 2);
        }
        out += "\n" + close + (object ? "}" : "]");
    } else if (j.is_number_float()) {
        out += ShortestNumber(j.get<double>());
    } else {
        out += j.dump();
    }
}

void AppendNumber(std::string& line, double value) {
    line += ',';
    line += ShortestNumber(value);
}

} // namespace

std::string ShortestNumber(double value) {
    if (!std::isfinite(value))
        return {};
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

Json JsonNumber(double value) {
    return std::isfinite(value) ? Json(value) : Json(nullptr);
}

Json ZonesJson(const std::vector<ZoneMetrics>& metrics) {
    Json zones = Json::array();
    for (const auto& m : metrics)
        zones.push_back(ZoneJson(m));
    return zones;
}

std::string JsonText(const Json& document) {
    std::string out;
    Dump(document, out, 0);
    out += '\n';
    return out;
}

std::optional<double> ParsePlainNumber(std::string_view text) {
    // from_chars takes no "+"; one in front is the user's, a second sign is not.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-')
            return std::nullopt;
    }
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string ReportJson(const std::vector<ZoneMetrics>& metrics) {
    return ReportJson(metrics, {});
}

std::string ReportJson(const std::vector<ZoneMetrics>& metrics,
                       const std::vector<ReportMember>& more) {
    Json report;
    report["zones"] = ZonesJson(metrics);
    for (const auto& member : more)
        report[member.Name] = Json::parse(member.Json);
    return JsonText(report);
}

void WriteCsv(std::ostream& out, const RunHistory& run, const ExactRun& exact) {
    out << "zone,z_zone_cm,z_line_cm,time_s";
    for (std::size_t k = 1; k <= PrintedPoints; ++k)
        out << ",T" << k;
    out << ",TAV";
    for (std::size_t k = 1; k <= PrintedPoints; ++k)
        out << ",exact_T" << k;
    out << ",exact_TAV\n";

    const double v = CmPerSecOf(run.Input);
    const auto starts = ZoneLineStarts(run);
    std::string line;
    for (std::size_t i = 0; i < run.Zones.size(); ++i) {
        const auto& rows = run.Zones[i].Rows;
        const std::vector<ExactRow>* e = i < exact.size() && exact[i] ? &*exact[i] : nullptr;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const HistoryRow& row = rows[r];
            const double zLine = starts[i] + row.Z;
            line = std::to_string(run.Zones[i].ZoneNo);
            AppendNumber(line, row.Z);
            AppendNumber(line, zLine);
            AppendNumber(line, zLine / v);
            for (double t : row.Points)
                AppendNumber(line, t);
            AppendNumber(line, row.Mean);
            const ExactRow* x = e && r < e->size() ? &(*e)[r] : nullptr;
            for (std::size_t k = 0; k < PrintedPoints; ++k)
                x ? AppendNumber(line, x->Points[k]) : void(line += ',');
            x ? AppendNumber(line, x->Mean) : void(line += ',');
            line += '\n';
            out << line;
        }
    }
}

std::string CsvText(const RunHistory& run, const ExactRun& exact) {
    std::ostringstream out;
    WriteCsv(out, run, exact);
    return std::move(out).str();
}

bool WriteWholeFile(const std::string& path, const std::string& text, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const int writeErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (written && closed)
        return true;
    error = std::strerror(written ? errno : writeErrno);
    return false;
}

bool ReadWholeFile(const std::string& path, std::string& text, std::string& error) {
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = errno != 0 ? std::strerror(errno) : "can not open";
        return false;
    }
    text.clear();
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    const int readErrno = errno;
    std::fclose(file);
    if (!failed)
        return true;
    error = readErrno != 0 ? std::strerror(readErrno) : "read error";
    return false;
}

} // namespace korvane
