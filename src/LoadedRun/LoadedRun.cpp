#include "LoadedRun.h"

#include "DataFile.h"
#include "ResultReader.h"
#include "RunInput.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace korvane {

namespace {

// Samples of the exact curve between two recorded rows: enough to show the
// fast change after a zone's entry, few enough for a thousand rows.
constexpr std::size_t MaxExactSamplesPerZone = 2000;
constexpr std::size_t MaxSubSteps = 4;

RunHistory RunDataFile(const std::string& path, const DataLineArray& values) {
    // Any save name passes the check; nothing is written.
    TCalcInput input;
    if (const auto failure = ReadRunInput(BoxesFromDataValues(values, "memory"), input))
        throw std::runtime_error(path + ": " + *failure);
    return ComputeRun(input);
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
            for (std::size_t k = 0; k < 11; ++k)
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
        loaded.Run.Input = content.Input;
        loaded.Run.Zones = std::move(content.Zones);
    } catch (const ResultFileError& notResult) {
        // A data file has "=" in each of its first 28 lines; a result file's
        // line 11 has none.
        DataLineArray lines;
        const auto values = ReadDataLines(path, lines) ? ExtractDataValues(lines) : std::nullopt;
        if (!values)
            throw std::runtime_error(path + " is neither a result file (" + notResult.what() +
                                     ") nor a data file.");
        loaded.Run = RunDataFile(path, *values);
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
