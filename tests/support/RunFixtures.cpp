#include "RunFixtures.h"

#include "Calculate.h"
#include "ResultFile.h"

namespace korvane::testing {

TCalcInput DefaultInput(const std::string& saveFileName) {
    TCalcInput in;
    in.Density = 1.14;
    in.SpecificHeat = 0.56;
    in.Conductivity = 0.0006;
    in.Thickness = 0.013;
    in.Speed = 27;
    in.InitialTemp = 300;
    in.DeltaZ = 0.5;
    in.LayerCount = 10;
    in.ZoneCount = 3;
    in.Zones[1] = {0.0005, 0.09, 30, 50, 10};
    in.Zones[2] = {0.09, 0.09, 50, 50, 10};
    in.Zones[3] = {0.0005, 0.0005, 30, 30, 20};
    in.SaveFileName = saveFileName;
    return in;
}

std::string RunToFile(const TCalcInput& input, RecordingSink& sink) {
    CalcInput = input;
    WriteInputConditions(sink);
    Calculate(sink);
    return ReadFileBytes(input.SaveFileName);
}

std::string RunInTempDir(TCalcInput input, LinearSolver solve) {
    TempDir dir;
    input.SaveFileName = dir.file("r.txt");
    CalcInput = input;
    RecordingSink sink;
    WriteInputConditions(sink);
    Calculate(sink, solve);
    return ReadFileBytes(input.SaveFileName);
}

std::vector<ZoneBlock> SplitBlocks(const std::string& file) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < file.size()) {
        const auto end = file.find("\r\n", start);
        if (end == std::string::npos)
            break;
        lines.push_back(file.substr(start, end - start));
        start = end + 2;
    }
    std::vector<ZoneBlock> blocks;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind("[Zone ", 0) != 0)
            continue;
        ZoneBlock block;
        block.head = lines[i];
        block.labelLines.assign(lines.begin() + static_cast<long>(i) + 1,
                                lines.begin() + static_cast<long>(i) + 6);
        for (std::size_t r = i + 8; r < lines.size() && !lines[r].empty(); ++r)
            block.rows.push_back(lines[r]);
        blocks.push_back(block);
    }
    return blocks;
}

std::string WithoutZ(const std::string& row) {
    const auto gap = row.find("  ", row.find_first_not_of(' '));
    return row.substr(gap);
}

} // namespace korvane::testing
