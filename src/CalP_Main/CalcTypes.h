#pragma once

#include "LinEq.h"
#include "LongDouble.h"

#include <array>
#include <cstdint>
#include <string>

namespace korvane {

inline constexpr int MaxRows = 1001;
inline constexpr int MaxZones = 4;

struct TZoneInput {
    double Htc1 = 0;       // cal/cm2.s.C, face 1
    double Htc2 = 0;       // cal/cm2.s.C, face 2
    double OuterTemp1 = 0; // C
    double OuterTemp2 = 0; // C
    double Length = 0;     // cm
};

struct TCalcInput {
    double Density = 0;
    double SpecificHeat = 0;
    double Conductivity = 0;
    double Thickness = 0;
    double Speed = 0; // m/min
    double InitialTemp = 0;
    double DeltaZ = 0;
    std::int32_t LayerCount = 0;
    std::int32_t ZoneCount = 0;
    std::array<TZoneInput, MaxZones + 1> Zones{};       // [1..4]
    std::array<std::int32_t, MaxZones + 1> ZoneSteps{}; // [1..4]
    std::string SaveFileName;                           // bytes as the file system takes them
};

// The inputs of the run; only the run command writes them.
extern TCalcInput CalcInput;

// The zone being computed, set by Calculate before each zone.
extern TZoneInput CurZone;
extern std::int32_t CurZoneNo;
extern double CurLength; // zone length + 0.0001 cm

} // namespace korvane
