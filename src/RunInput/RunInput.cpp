#include "RunInput.h"

#include "Calculate.h"
#include "Conversions.h"
#include "FloatControl.h"
#include "Messages.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace korvane {

namespace {

struct ZoneBoxes {
    int htc1, htc2, outerTemp1, outerTemp2, length;
};
constexpr ZoneBoxes ZoneBoxTable[MaxZones + 1] = {
    {}, {5, 6, 9, 10, 7}, {15, 16, 17, 18, 23}, {19, 20, 21, 22, 24}, {25, 26, 27, 28, 29}};

struct ReadFailure {};

double ReadReal(const EditTexts& boxes, int box) {
    const auto value = ConvertReal(boxes[static_cast<std::size_t>(box)]);
    if (!value)
        throw ReadFailure{};
    return *value;
}

// Length / DeltaZ in extended precision, rounded half to even into 64 bits;
// a zero DeltaZ or a quotient beyond 64 bits is a read failure.
std::int64_t RoundedSteps(double length, double deltaZ) {
    if (deltaZ == 0)
        throw ReadFailure{};
    const long double rounded = std::nearbyintl(static_cast<long double>(length) / deltaZ);
    if (!(rounded >= -0x1p63L && rounded < 0x1p63L))
        throw ReadFailure{};
    return static_cast<std::int64_t>(rounded);
}

bool FitsInt32(std::int64_t v) {
    return v >= std::numeric_limits<std::int32_t>::min() &&
           v <= std::numeric_limits<std::int32_t>::max();
}

// The step-sum bound, plus the history capacity of every zone that will be
// computed, which the sum alone does not guarantee.
bool StepsFit(const TCalcInput& in, const std::array<std::int64_t, MaxZones + 1>& steps) {
    std::int64_t sum = 0;
    for (int k = 1; k <= MaxZones; ++k) {
        if (!FitsInt32(steps[k]))
            return false;
        sum += steps[k];
    }
    if (sum > 1000)
        return false;
    for (int k = 1; k <= in.ZoneCount; ++k)
        if (ZoneStepQuotient(in.Zones[k].Length, in.DeltaZ) + 1 > MaxRows)
            return false;
    return true;
}

} // namespace

bool ZoneCounts(const std::string& firstBoxText) {
    return !(firstBoxText.empty() || firstBoxText == " " || firstBoxText == "0");
}

std::optional<std::string> ReadRunInput(const EditTexts& boxes, TCalcInput& in) {
    // A run starts here: the step counts are already long double arithmetic.
    platform::SetExtendedPrecision();
    for (int k = 1; k <= MaxZones; ++k)
        in.ZoneSteps[k] = 0;
    std::array<std::int64_t, MaxZones + 1> steps{};

    try {
        in.Density = ReadReal(boxes, 1);
        in.SpecificHeat = ReadReal(boxes, 2);
        in.Conductivity = ReadReal(boxes, 3);
        in.Thickness = ReadReal(boxes, 4);
        in.Zones[1].Htc1 = ReadReal(boxes, 5);
        in.Zones[1].Htc2 = ReadReal(boxes, 6);
        in.Zones[1].Length = ReadReal(boxes, 7);
        in.Speed = ReadReal(boxes, 8);
        in.Zones[1].OuterTemp1 = ReadReal(boxes, 9);
        in.Zones[1].OuterTemp2 = ReadReal(boxes, 10);
        in.InitialTemp = ReadReal(boxes, 11);
        in.DeltaZ = ReadReal(boxes, 13);
        const auto layers = ConvertInteger(boxes[14]);
        if (!layers)
            throw ReadFailure{};
        in.LayerCount = *layers;
        in.SaveFileName = boxes[12];
        in.ZoneCount = 1;
        steps[1] = RoundedSteps(in.Zones[1].Length, in.DeltaZ);
        in.ZoneSteps[1] = static_cast<std::int32_t>(steps[1]);

        for (int k = 2; k <= MaxZones; ++k) {
            const ZoneBoxes& box = ZoneBoxTable[k];
            if (!ZoneCounts(boxes[static_cast<std::size_t>(box.htc1)]))
                continue;
            in.ZoneCount = k;
            TZoneInput& zone = in.Zones[k];
            zone.Htc1 = ReadReal(boxes, box.htc1);
            zone.Htc2 = ReadReal(boxes, box.htc2);
            zone.OuterTemp1 = ReadReal(boxes, box.outerTemp1);
            zone.OuterTemp2 = ReadReal(boxes, box.outerTemp2);
            zone.Length = ReadReal(boxes, box.length);
            steps[k] = RoundedSteps(zone.Length, in.DeltaZ);
            in.ZoneSteps[k] = static_cast<std::int32_t>(steps[k]);
        }
    } catch (const ReadFailure&) {
        return msg::InputNotCorrect;
    }

    if (!(in.Density > 0))
        return CheckMessage(Check::Density);
    if (!(in.SpecificHeat > 0))
        return CheckMessage(Check::SpecificHeat);
    if (!(in.Conductivity > 0))
        return CheckMessage(Check::Conductivity);
    if (!(in.Thickness > 0))
        return CheckMessage(Check::Thickness);
    if (!(in.Zones[1].Htc1 > 0))
        return CheckMessage(Check::Htc1);
    if (!(in.Zones[1].Htc2 > 0))
        return CheckMessage(Check::Htc2);
    if (!(in.Zones[1].Length > 0))
        return CheckMessage(Check::Length);
    if (!(in.Speed > 0))
        return CheckMessage(Check::Speed);
    if (!(in.Zones[1].OuterTemp1 > 0))
        return CheckMessage(Check::OuterTemp1);
    if (!(in.Zones[1].OuterTemp2 > 0))
        return CheckMessage(Check::OuterTemp2);
    if (!(in.InitialTemp > 0))
        return CheckMessage(Check::InitialTemp);
    if (!(in.DeltaZ > 0))
        return CheckMessage(Check::DeltaZ);
    if (!(in.LayerCount >= MinLayerCount))
        return CheckMessage(Check::TooFewLayers);
    if (in.SaveFileName.empty())
        return CheckMessage(Check::SaveFileName);
    if (!(in.LayerCount <= MaxLayerCount))
        return CheckMessage(Check::TooManyLayers);
    if (!StepsFit(in, steps))
        return CheckMessage(Check::StepsFit);
    return std::nullopt;
}

} // namespace korvane
