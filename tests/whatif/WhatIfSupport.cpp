#include "WhatIfSupport.h"

#include "BatchRun.h"
#include "TestSupport.h"

#include <nlohmann/json.hpp>

#include <limits>
#include <sstream>

namespace korvane::testing {

WhatIfCase DefaultCase() {
    return std::get<WhatIfCase>(WhatIfCase::FromDataFile((GoldenDir() / "defaults.txt").string()));
}

double SeparateRunMetric(int line, const std::string& value, const std::string& metric) {
    TempDir dir;
    std::istringstream in(ReadFileBytes((GoldenDir() / "defaults.txt").string()));
    std::string data, text;
    for (int n = 1; std::getline(in, text); ++n)
        data += (n == line ? text.substr(0, text.find('=') + 1) + " " + value : text) + "\n";
    WriteFileBytes(dir.file("data.txt"), data);
    std::ostringstream err;
    BatchOutputs outputs;
    outputs.ReportFile = dir.file("report.json");
    if (RunBatch(dir.file("data.txt"), dir.file("result.txt"), err, outputs) != BatchOk)
        return std::numeric_limits<double>::quiet_NaN();
    auto node = nlohmann::json::parse(ReadFileBytes(outputs.ReportFile));
    // "zone3.exit.TAV" -> zones[2]["exit"]["TAV"]
    std::istringstream path(metric);
    std::getline(path, text, '.');
    node = node["zones"][static_cast<std::size_t>(std::stoi(text.substr(4)) - 1)];
    while (std::getline(path, text, '.'))
        node = node.is_array() ? node[static_cast<std::size_t>(std::stoi(text) - 1)] : node[text];
    return node.get<double>();
}

} // namespace korvane::testing
