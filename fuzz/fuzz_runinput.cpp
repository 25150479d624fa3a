// The read phase, zone rule and sixteen checks on arbitrary box texts (the
// input split at LF into Edit1..Edit30), against a second reading of the rules.
#include "Conversions.h"
#include "FuzzCheck.h"
#include "RunInput.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

using korvane::EditTexts;
using korvane::TCalcInput;
using korvane::fuzz::Shown;

namespace {

struct Refused {};

double Real(const EditTexts& boxes, int box) {
    const auto v = korvane::ConvertReal(boxes[static_cast<std::size_t>(box)]);
    if (!v)
        throw Refused{};
    return *v;
}

long double Rounded(double length, double deltaZ) {
    if (deltaZ == 0)
        throw Refused{};
    const long double q = std::nearbyintl(static_cast<long double>(length) / deltaZ);
    if (!(std::fabs(q) < 0x1p63L) && q != -0x1p63L)
        throw Refused{};
    return q;
}

// The expected message, or nothing; fills the expected record.
std::optional<std::string> Expected(const EditTexts& b, TCalcInput& in, long double (&steps)[5]) {
    const int zoneBoxes[5][5] = {
        {}, {5, 6, 9, 10, 7}, {15, 16, 17, 18, 23}, {19, 20, 21, 22, 24}, {25, 26, 27, 28, 29}};
    try {
        in.Density = Real(b, 1);
        in.SpecificHeat = Real(b, 2);
        in.Conductivity = Real(b, 3);
        in.Thickness = Real(b, 4);
        in.Zones[1].Htc1 = Real(b, 5);
        in.Zones[1].Htc2 = Real(b, 6);
        in.Zones[1].Length = Real(b, 7);
        in.Speed = Real(b, 8);
        in.Zones[1].OuterTemp1 = Real(b, 9);
        in.Zones[1].OuterTemp2 = Real(b, 10);
        in.InitialTemp = Real(b, 11);
        in.DeltaZ = Real(b, 13);
        const auto layers = korvane::ConvertInteger(b[14]);
        if (!layers)
            throw Refused{};
        in.LayerCount = *layers;
        in.SaveFileName = b[12];
        in.ZoneCount = 1;
        steps[1] = Rounded(in.Zones[1].Length, in.DeltaZ);
        for (int k = 2; k <= 4; ++k) {
            const std::string& first = b[static_cast<std::size_t>(zoneBoxes[k][0])];
            if (first.empty() || first == " " || first == "0")
                continue;
            in.ZoneCount = k;
            double v[5];
            for (int f = 0; f < 5; ++f)
                v[f] = Real(b, zoneBoxes[k][f]);
            in.Zones[k] = {v[0], v[1], v[2], v[3], v[4]};
            steps[k] = Rounded(v[4], in.DeltaZ);
        }
    } catch (const Refused&) {
        return "Input value is not correct!";
    }
    const std::pair<bool, const char*> checks[] = {
        {in.Density > 0, "Value of Density is not correct"},
        {in.SpecificHeat > 0, "Value of Specific Heat is not correct"},
        {in.Conductivity > 0, "Value of Thermal Conductivity is not correct"},
        {in.Thickness > 0, "Value of Thickness is not correct"},
        {in.Zones[1].Htc1 > 0, "Value of Heat Transfer Coefficient-1 is not correct"},
        {in.Zones[1].Htc2 > 0, "Value of Heat Transfer Coefficient-2 is not correct"},
        {in.Zones[1].Length > 0, "Value of Length is not correct"},
        {in.Speed > 0, "Value of Speed is not correct"},
        {in.Zones[1].OuterTemp1 > 0, "Value of Outer Temperature-1 is not correct"},
        {in.Zones[1].OuterTemp2 > 0, "Value of Outer Temperature-2 is not correct"},
        {in.InitialTemp > 0, "Value of Initial Temperature is not correct"},
        {in.DeltaZ > 0, "Value of Increment \u0394z is not correct"},
        {in.LayerCount > 2, "Number of Layers is too small"},
        {!in.SaveFileName.empty(), "Save File Name is not correct"},
        {in.LayerCount <= 100, "Number of Layers is to large"},
    };
    for (const auto& [passes, message] : checks)
        if (!passes)
            return message;

    bool fits = true;
    long double sum = 0;
    for (int k = 1; k <= 4; ++k) {
        fits = fits && steps[k] >= INT32_MIN && steps[k] <= INT32_MAX;
        sum += steps[k];
    }
    fits = fits && sum <= 1000;
    // Every computed zone must fit the 1001 history rows.
    for (int k = 1; k <= in.ZoneCount; ++k) {
        const double working = static_cast<double>(in.Zones[k].Length + 0.0001L);
        fits = fits && std::truncl(static_cast<long double>(working) / in.DeltaZ) + 1 <= 1001;
    }
    if (!fits)
        return "Length is too large or Increment is too small";
    return std::nullopt;
}

bool Same(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EditTexts boxes;
    std::size_t box = 1;
    for (std::size_t i = 0; i < size && box <= 30; ++i) {
        if (data[i] == '\n')
            ++box;
        else
            boxes[box] += static_cast<char>(data[i]);
    }

    TCalcInput in{};
    const auto message = korvane::ReadRunInput(boxes, in);
    TCalcInput ref{};
    long double steps[5] = {0, 0, 0, 0, 0};
    const auto expected = Expected(boxes, ref, steps);

    FUZZ_CHECK(message == expected, "message \"%s\", expected \"%s\"",
               message ? message->c_str() : "(none)", expected ? expected->c_str() : "(none)");
    if (message)
        return 0;

    // Accepted: the record is the one the rules give, ready for Calculate.
    FUZZ_CHECK(in.ZoneCount == ref.ZoneCount, "ZoneCount %d, expected %d", in.ZoneCount,
               ref.ZoneCount);
    FUZZ_CHECK(in.LayerCount == ref.LayerCount && in.SaveFileName == ref.SaveFileName,
               "layers or save name \"%s\"", Shown(in.SaveFileName).c_str());
    FUZZ_CHECK(Same(in.Density, ref.Density) && Same(in.SpecificHeat, ref.SpecificHeat) &&
                   Same(in.Conductivity, ref.Conductivity) && Same(in.Thickness, ref.Thickness) &&
                   Same(in.Speed, ref.Speed) && Same(in.InitialTemp, ref.InitialTemp) &&
                   Same(in.DeltaZ, ref.DeltaZ),
               "plate inputs differ");
    for (int k = 1; k <= 4; ++k) {
        const auto& z = in.Zones[static_cast<std::size_t>(k)];
        const auto& r = ref.Zones[static_cast<std::size_t>(k)];
        FUZZ_CHECK(Same(z.Htc1, r.Htc1) && Same(z.Htc2, r.Htc2) &&
                       Same(z.OuterTemp1, r.OuterTemp1) && Same(z.OuterTemp2, r.OuterTemp2) &&
                       Same(z.Length, r.Length),
                   "zone %d record differs", k);
        FUZZ_CHECK(in.ZoneSteps[static_cast<std::size_t>(k)] == static_cast<std::int32_t>(steps[k]),
                   "ZoneSteps[%d] = %d, expected %.0Lf", k,
                   in.ZoneSteps[static_cast<std::size_t>(k)], steps[k]);
    }
    return 0;
}
