// Whole runs on small inputs that the checks accept: no crash, no sanitizer
// finding, every fault a FloatError, and a result file whose blocks match the
// zones computed.
#include "Calculate.h"
#include "FloatError.h"
#include "FuzzCheck.h"
#include "RunInput.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cfloat>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

namespace {

class Recorder : public korvane::MessageSink {
  public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

// With KORVANE_FUZZ_STATS set, how many inputs got how far (printed at exit).
struct Stats {
    long inputs = 0, computed = 0, divideByZero = 0, invalid = 0, overflow = 0;
    ~Stats() {
        if (std::getenv("KORVANE_FUZZ_STATS"))
            std::fprintf(stderr,
                         "runs: %ld inputs, %ld computed, faults: %ld division by zero, "
                         "%ld invalid, %ld overflow\n",
                         inputs, computed, divideByZero, invalid, overflow);
    }
} stats;

const std::string& ResultPath() {
    static const std::string path = korvane::fuzz::ScratchPath("run");
    static const bool cleanup = [] {
        std::atexit([] { std::remove(path.c_str()); });
        return true;
    }();
    (void)cleanup;
    return path;
}

std::string Text(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

// Mostly ordinary magnitudes; now and then a value that can break the scheme
// (zones 2 to 4 are not checked).
double Value(FuzzedDataProvider& in, double lo, double hi, bool wild) {
    if (wild && in.ConsumeIntegralInRange(0, 7) == 0) {
        static const double special[] = {0.0,    -0.0,   -1.0,    -0.5,  1e300, -1e300,
                                         1e-300, 5e-324, DBL_MAX, -1e10, 1e154, -2.0e-3};
        return in.PickValueInArray(special);
    }
    return in.ConsumeFloatingPointInRange(lo, hi);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ++stats.inputs;
    FuzzedDataProvider in(data, size);
    korvane::EditTexts boxes;
    // Either ordinary values, or small binary fractions with which the
    // arithmetic stays exact, so that a zone's system can be exactly singular.
    const bool exact = in.ConsumeIntegralInRange(0, 3) == 0;
    const auto halves = [&](int lo, int hi) { return in.ConsumeIntegralInRange(lo, hi) * 0.5; };
    const auto pick = [&](std::initializer_list<double> values) {
        return *(values.begin() + in.ConsumeIntegralInRange<std::size_t>(0, values.size() - 1));
    };
    // Plate and zone 1 within what the checks accept.
    if (exact) {
        const int layers = in.ConsumeIntegralInRange(3, 6);
        boxes[1] = Text(pick({0.5, 1, 2}));
        boxes[2] = Text(pick({0.5, 1, 2}));
        boxes[3] = Text(pick({0.5, 1, 2, 5, 10}));
        boxes[4] = Text(layers * pick({0.5, 1, 2}));
        boxes[8] = Text(pick({3, 6, 12}));
        boxes[13] = Text(pick({0.25, 0.5, 1, 2}));
        boxes[14] = std::to_string(layers);
        for (int box : {5, 6, 7, 9, 10, 11})
            boxes[static_cast<std::size_t>(box)] = Text(halves(1, 20));
    } else {
        boxes[1] = Text(Value(in, 1e-3, 20, false));
        boxes[2] = Text(Value(in, 1e-3, 2, false));
        boxes[3] = Text(Value(in, 1e-6, 2, false));
        boxes[4] = Text(Value(in, 1e-3, 10, false));
        boxes[5] = Text(Value(in, 1e-6, 10, false));
        boxes[6] = Text(Value(in, 1e-6, 10, false));
        boxes[7] = Text(Value(in, 1e-2, 40, false));
        boxes[8] = Text(Value(in, 1e-2, 200, false));
        boxes[9] = Text(Value(in, 1e-2, 2000, false));
        boxes[10] = Text(Value(in, 1e-2, 2000, false));
        boxes[11] = Text(Value(in, 1e-2, 2000, false));
        boxes[13] = Text(Value(in, 0.05, 5, false));
        boxes[14] = std::to_string(in.ConsumeIntegralInRange(3, 100));
    }
    boxes[12] = ResultPath();
    const int zoneBoxes[5][5] = {
        {}, {}, {15, 16, 17, 18, 23}, {19, 20, 21, 22, 24}, {25, 26, 27, 28, 29}};
    for (int k = 2; k <= 4; ++k) {
        if (!in.ConsumeBool())
            continue;
        for (int f = 0; f < 4; ++f)
            boxes[static_cast<std::size_t>(zoneBoxes[k][f])] = Text(
                exact ? halves(-40, 40) : Value(in, f < 2 ? -1 : -500, f < 2 ? 10 : 3000, true));
        boxes[static_cast<std::size_t>(zoneBoxes[k][4])] =
            Text(exact ? halves(-4, 12) : Value(in, -5, 40, false));
    }

    korvane::CalcInput = korvane::TCalcInput{};
    if (korvane::ReadRunInput(boxes, korvane::CalcInput))
        return 0;
    // Keep each run short: a pass costs about NodeCount^2.
    long double work = 0;
    for (int k = 1; k <= korvane::CalcInput.ZoneCount; ++k)
        work +=
            korvane::ZoneStepQuotient(korvane::CalcInput.Zones[static_cast<std::size_t>(k)].Length,
                                      korvane::CalcInput.DeltaZ) +
            1;
    const long double nodes = korvane::CalcInput.LayerCount + 1;
    if (work * nodes * nodes > 200000)
        return 0;

    ++stats.computed;
    Recorder messages;
    int finished = korvane::CalcInput.ZoneCount;
    try {
        korvane::WriteInputConditions(messages);
        korvane::Calculate(messages);
    } catch (const korvane::FloatError& error) {
        finished = -1;
        using Kind = korvane::FloatError::Kind;
        ++(error.kind() == Kind::DivideByZero       ? stats.divideByZero
           : error.kind() == Kind::InvalidOperation ? stats.invalid
                                                    : stats.overflow);
    }
    // Any other exception escapes and is a finding.
    FUZZ_CHECK(messages.messages.empty(), "message \"%s\"", messages.messages.front().c_str());

    std::ifstream file(ResultPath(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    FUZZ_CHECK(text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0,
               "the result file does not end with CR LF");
    int blocks = 0;
    for (std::size_t at = text.find("[Zone "); at != std::string::npos;
         at = text.find("[Zone ", at + 1)) {
        ++blocks;
        FUZZ_CHECK(text.compare(at + 6, 2, std::to_string(blocks) + "]") == 0,
                   "block %d misnumbered", blocks);
    }
    if (finished >= 0)
        FUZZ_CHECK(blocks == finished, "%d blocks for %d zones", blocks, finished);
    else
        FUZZ_CHECK(blocks < korvane::CalcInput.ZoneCount, "a failed run wrote every block");
    return 0;
}
