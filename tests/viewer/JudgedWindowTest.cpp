#include "JudgedWindow.h"

#include "BatchRun.h"
#include "JsonText.h"
#include "LoadedRun.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace korvane {
namespace {

using namespace korvane::testing;

std::string Example(const std::string& name) {
    return (GoldenDir().parent_path().parent_path() / "examples" / name).string();
}

TEST(JudgedWindow, EachLimitIsDrawnWhereItBelongs) {
    using Kind = LimitMark::Kind;
    struct Case {
        const char* metric;
        Kind kind;
        int zone;
        std::vector<double> levels;
        const char* channel;
    };
    const Case cases[] = {
        // Temperatures: a band, over their zone or the whole line.
        {"profile.T1.peak.T", Kind::Band, -1, {}, "T1"},
        {"profile.exact.z[0.075].peak.T", Kind::Band, -1, {}, "z[0.075]"},
        {"zone4.exit.TAV", Kind::Band, 4, {}, ""},
        {"zone2.exact.entry.T11", Kind::Band, 2, {}, ""},
        {"zone1.low.T", Kind::Band, 1, {}, ""},
        {"line.exit.T6", Kind::Band, 0, {}, ""},
        // Time statistics: their temperatures as lines.
        {"profile.T6.time_above[170]", Kind::Thresholds, -1, {170}, "T6"},
        {"profile.TAV.time_between[50:150]", Kind::Thresholds, -1, {50, 150}, "TAV"},
        {"profile.exact.T11.time_to[-12.5]", Kind::Thresholds, -1, {-12.5}, "T11"},
        // Differences, times, rates and plain numbers have no place on the axis.
        {"zone1.max_difference_through_thickness.dT", Kind::None, -1, {}, ""},
        {"zone3.exact.max_error.faces", Kind::None, -1, {}, ""},
        {"zone1.peak.z_cm", Kind::None, -1, {}, ""},
        {"zone2.residence_s", Kind::None, -1, {}, ""},
        {"zone1.biot.1", Kind::None, -1, {}, ""},
        {"profile.T1.peak.time_s", Kind::None, -1, {}, "T1"},
        {"profile.TAV.max_rise_rate", Kind::None, -1, {}, "TAV"},
        {"zone9.exit.TAV", Kind::None, -1, {}, ""},
    };
    for (const Case& c : cases) {
        const LimitMark mark = MarkOf(c.metric);
        EXPECT_EQ(mark.What, c.kind) << c.metric;
        if (c.kind == Kind::Band) {
            EXPECT_EQ(mark.Zone, c.zone) << c.metric;
        }
        EXPECT_EQ(mark.Levels, c.levels) << c.metric;
        EXPECT_EQ(mark.Channel, c.channel) << c.metric;
    }
}

// The values korvane-batch --window reports, read back (null as NaN).
struct Reported {
    std::vector<double> values, indices;
    std::vector<bool> passes;
    double pwi = 0;
    bool pass = false;
};
Reported ReadSide(const Json& side) {
    const auto number = [](const Json& n) { return n.is_null() ? std::nan("") : n.get<double>(); };
    Reported r;
    for (const Json& limit : side["limits"]) {
        r.values.push_back(number(limit["value"]));
        r.indices.push_back(number(limit["index"]));
        r.passes.push_back(limit["pass"].get<bool>());
    }
    r.pwi = number(side["pwi"]);
    r.pass = side["pass"].get<bool>();
    return r;
}

// Equal as doubles, NaN to NaN.
bool Same(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

void ExpectSame(const WindowResult& judged, const Reported& reported) {
    ASSERT_EQ(judged.Limits.size(), reported.values.size());
    for (std::size_t i = 0; i < judged.Limits.size(); ++i) {
        EXPECT_TRUE(Same(judged.Limits[i].Value, reported.values[i])) << "limit " << i + 1;
        EXPECT_TRUE(Same(judged.Limits[i].Index, reported.indices[i])) << "limit " << i + 1;
        EXPECT_EQ(judged.Limits[i].Pass, reported.passes[i]) << "limit " << i + 1;
    }
    EXPECT_TRUE(Same(judged.Pwi, reported.pwi));
    EXPECT_EQ(judged.Pass, reported.pass);
}

// The run the viewer computes from a data file is judged as korvane-batch
// judges its own; a result file, which has its printed rows and no nodes,
// on those rows: a depth has no value on the scheme's side, which fails its
// limit and leaves the run without an index.
TEST(JudgedWindow, ADataFileAsKorvaneBatchJudgesItAResultFileOnItsPrintedRows) {
    const TempDir dir;
    BatchOutputs outputs;
    outputs.ReportFile = dir.file("r.json");
    outputs.WindowFile = Example("heating-window.json");
    std::ostringstream err;
    ASSERT_EQ(RunBatch(Example("heating.txt"), dir.file("heating.result"), err, outputs), BatchOk)
        << err.str();
    const Json report = Json::parse(ReadFileBytes(outputs.ReportFile));

    const auto opened = OpenWindowFile(outputs.WindowFile);
    ASSERT_TRUE(std::holds_alternative<std::shared_ptr<const WindowFile>>(opened));
    const auto window = std::get<std::shared_ptr<const WindowFile>>(opened);
    ASSERT_EQ(window->Window.Limits.size(), 6u);
    EXPECT_EQ(window->Window.Name, "cure");
    const JudgedWindow computed = JudgeWindow(LoadRun(Example("heating.txt")).Run, window);
    EXPECT_EQ(computed.File, window);
    ExpectSame(computed.Scheme, ReadSide(report["window"]["scheme"]));
    ExpectSame(computed.Exact, ReadSide(report["window"]["exact"]));
    EXPECT_TRUE(computed.ExactProblem.empty());

    const LoadedRun printed = LoadRun(dir.file("heating.result"));
    ASSERT_TRUE(printed.FromResultFile);
    const JudgedWindow judged = JudgeWindow(printed.Run, window);
    double peak = -1e9;
    for (const auto& zone : printed.Run.Zones)
        for (const auto& row : zone.Rows)
            peak = std::max(peak, row.Points[0]);
    EXPECT_EQ(judged.Scheme.Limits[1].Value, peak);
    // The other limits within the rows' 0.1 of the computed run.
    for (std::size_t i : {1, 5})
        EXPECT_NEAR(judged.Scheme.Limits[i].Value, computed.Scheme.Limits[i].Value, 0.05);
    EXPECT_TRUE(std::isnan(judged.Scheme.Limits[2].Value));
    EXPECT_TRUE(std::isnan(judged.Scheme.Limits[2].Index));
    EXPECT_FALSE(judged.Scheme.Limits[2].Pass);
    EXPECT_TRUE(std::isnan(judged.Scheme.Pwi));
    EXPECT_FALSE(judged.Scheme.Pass);
    EXPECT_TRUE(judged.Scheme.Limits[1].Pass);
    // The exact solution knows every depth, from the inputs in the header.
    EXPECT_NEAR(judged.Exact.Limits[2].Value, computed.Exact.Limits[2].Value, 0.05);
    EXPECT_TRUE(judged.Exact.Pass);
}

TEST(JudgedWindow, ARefusedFileNamesItselfAndThePlace) {
    const TempDir dir;
    const std::string path = dir.file("w.json");
    std::ofstream(path) << "{\"limits\": [\n  {\"metric\": \"zone4.exit.TAV\", \"min\": 30, "
                           "\"max\": 60},\n  {\"metric\": \"profile.T1.peak.T\", \"min\": 250, "
                           "\"max\": 240}]}\n";
    const auto refused = OpenWindowFile(path);
    ASSERT_TRUE(std::holds_alternative<std::string>(refused));
    EXPECT_EQ(std::get<std::string>(refused),
              "window file " + path +
                  ": limit 2 (profile.T1.peak.T): min 250 is not below max 240");
}

} // namespace
} // namespace korvane
