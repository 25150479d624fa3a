#include "LoadedRun.h"

#include "DataFile.h"
#include "ResultReader.h"
#include "RunInput.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace korvane {

namespace {

// Samples of the exact curve between two recorded rows: enough to show the
// fast change after a zone's entry, few enough for a thousand rows.
constexpr std::size_t MaxExactSamplesPerZone = 2000;
constexpr std::size_t MaxSubSteps = 4;

RunHistory RunDataFile(const std::string& path, const DataLineArray& lines, int lineCount) {
    if (const auto problem = DataFileProblem(lines, lineCount))
        throw std::runtime_error(path + " is not a correct data file: " + *problem + ".");
    // Any save name passes the check; nothing is written.
    TCalcInput input;
    if (const auto failure =
            ReadRunInput(BoxesFromDataValues(*ExtractDataValues(lines), "memory"), input))
        throw std::runtime_error(path + ": " + *failure);
    return ComputeRun(input);
}

// The outer temperatures of zones 2 to 4 are not checked, and the scheme may
// overshoot: the first temperature below absolute zero, by its line or row.
std::vector<std::string> ColdWarnings(const RunHistory& run) {
    std::vector<std::string> warnings;
    for (const ZoneHistory& zone : run.Zones) {
        const double outer[] = {zone.Zone.OuterTemp1, zone.Zone.OuterTemp2};
        for (int face = 0; face < 2; ++face)
            if (outer[face] < AbsoluteZeroC) {
                const int line = 9 + 5 * (zone.ZoneNo - 1) + 2 + face;
                warnings.push_back("line " + std::to_string(line) + " (" + DataLineLabel(line) +
                                   "): " + MessageNumber(outer[face]) +
                                   " ℃ is below absolute zero (−273.15 ℃).");
                break;
            }
        if (!warnings.empty())
            break;
    }
    for (const ZoneHistory& zone : run.Zones)
        for (const HistoryRow& row : zone.Rows) {
            double lowest = row.Mean;
            for (double t : row.Points)
                lowest = std::min(lowest, t);
            if (lowest < AbsoluteZeroC) {
                warnings.push_back("zone " + std::to_string(zone.ZoneNo) +
                                   " at z = " + MessageNumber(row.Z) +
                                   " cm: the computed temperature " + MessageNumber(lowest) +
                                   " ℃ is below absolute zero (−273.15 ℃).");
                return warnings;
            }
        }
    return warnings;
}

std::vector<ExactSample> SampleExact(const LoadedRun& loaded) {
    std::vector<ExactSample> samples;
    const auto& zones = loaded.Run.Zones;
    for (std::size_t zone = 0; zone < loaded.SolvedZones() && zone < zones.size(); ++zone) {
        const auto& rows = zones[zone].Rows;
        if (rows.empty())
            continue;
        const std::size_t sub =
            std::clamp<std::size_t>(MaxExactSamplesPerZone / rows.size(), 1, MaxSubSteps);
        auto add = [&](double z) {
            ExactSample sample;
            sample.ZLine = loaded.ZoneStarts[zone] + z;
            const double t = z / loaded.CmPerSec;
            for (std::size_t k = 0; k < PrintedPoints; ++k)
                sample.Points[k] = loaded.Exact->Temperature(zone, loaded.Depths[k], t);
            sample.Mean = loaded.Exact->Mean(zone, t);
            samples.push_back(sample);
        };
        for (std::size_t r = 0; r + 1 < rows.size(); ++r)
            for (std::size_t s = 0; s < sub; ++s)
                add(rows[r].Z + (rows[r + 1].Z - rows[r].Z) * static_cast<double>(s) /
                                    static_cast<double>(sub));
        add(rows.back().Z);
    }
    return samples;
}

} // namespace

std::size_t LoadedRun::RowCount() const {
    std::size_t count = 0;
    for (const ZoneHistory& zone : Run.Zones)
        count += zone.Rows.size();
    return count;
}

std::pair<std::size_t, std::size_t> LoadedRun::RowAt(std::size_t flat) const {
    for (std::size_t zone = 0; zone < Run.Zones.size(); ++zone) {
        if (flat < Run.Zones[zone].Rows.size())
            return {zone, flat};
        flat -= Run.Zones[zone].Rows.size();
    }
    return {0, 0};
}

double LoadedRun::ZLineOf(std::size_t zone, std::size_t row) const {
    return ZoneStarts[zone] + Run.Zones[zone].Rows[row].Z;
}

std::size_t NearestRow(const LoadedRun& run, double zLine) {
    std::size_t best = 0, flat = 0;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (std::size_t zone = 0; zone < run.Run.Zones.size(); ++zone)
        for (std::size_t row = 0; row < run.Run.Zones[zone].Rows.size(); ++row, ++flat) {
            const double d = std::abs(run.ZLineOf(zone, row) - zLine);
            if (d < bestDistance) {
                bestDistance = d;
                best = flat;
            }
        }
    return best;
}

LoadedRun LoadRun(const std::string& path) {
    LoadedRun loaded;
    loaded.Path = path;
    try {
        ResultFileContent content = ReadResultFile(path);
        loaded.FromResultFile = true;
        loaded.Complete = content.Complete;
        loaded.Warnings = std::move(content.Warnings);
        loaded.Run.Input = content.Input;
        loaded.Run.Zones = std::move(content.Zones);
    } catch (const ResultFileError& notResult) {
        // Both start with the same eight labelled lines; then a data file
        // has "=" in every line, a result file two empty lines.
        DataLineArray lines;
        int lineCount = 0;
        if (!ReadDataLines(path, lines, lineCount))
            throw std::runtime_error(path + ": " + notResult.what());
        const bool dataShaped = lineCount >= 9 && lines[9].find('=') != std::string::npos;
        const bool resultShaped =
            lineCount >= 9 && lines[9].find_first_not_of(" \t\r") == std::string::npos;
        if (resultShaped)
            throw std::runtime_error(path + " is not a correct result file: " + notResult.what());
        const auto problem = dataShaped ? std::nullopt : DataFileProblem(lines, lineCount);
        if (problem)
            throw std::runtime_error(path + " is neither a result file (" + notResult.what() +
                                     ") nor a data file (" + *problem + ").");
        loaded.Run = RunDataFile(path, lines, lineCount);
        loaded.Warnings = ColdWarnings(loaded.Run);
    }
    if (loaded.Run.Zones.empty())
        throw std::runtime_error(path + ": the run has no zone.");

    loaded.ZoneStarts = ZoneLineStarts(loaded.Run);
    loaded.CmPerSec = CmPerSecOf(loaded.Run.Input);
    loaded.Depths = PointDepths(loaded.Run.Input);
    try {
        loaded.Exact = std::make_shared<const ExactSlab>(ExactFor(loaded.Run));
        loaded.ExactRows = ExactAlongRun(loaded.Run, *loaded.Exact);
        loaded.ExactCurve = SampleExact(loaded);
    } catch (const std::exception&) {
        // Inputs no run accepts (a result file written elsewhere): the rows
        // are still worth seeing.
        loaded.Exact.reset();
        loaded.ExactRows.assign(loaded.Run.Zones.size(), std::nullopt);
        loaded.ExactCurve.clear();
    }
    loaded.Metrics = ComputeMetrics(loaded.Run, loaded.ExactRows);
    return loaded;
}

} // namespace korvane
