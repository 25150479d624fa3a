#pragma once

#include "CalcTypes.h"
#include "Messages.h"
#include "ResultFile.h"
#include "ZoneHistory.h"

#include <cstdint>

namespace korvane {

// The working set of one run (about 0.9 MB: keep it off the stack).
struct CalcWork {
    std::int32_t NodeCount = 0;
    std::int32_t StepCount = 0;
    double CmPerSec = 0;
    double Dx = 0;
    double KappaV = 0;
    double Fourier = 0;
    TVector Temp{};
    TVector NewTemp{};
    TVector PrevTemp{};
    double AvgTemp = 0;
    double PrevAvgTemp = 0;
    double ZPos = 0;
    std::int32_t RowNo = 1;
    TRowHistory ZHistory{};
    TTempHistory TempHistory{};
    TRowHistory AvgHistory{};
    TMatrix CoefMatrix{};
    TVector Rhs{};
};

// The solver of the march; replaceable so that the tests and benchmarks can
// run the literal Gauss-Jordan algorithm against the fast one.
using LinearSolver = void (*)(const TMatrix&, TVector&, const TVector&, std::int32_t);

// Marches the profile in Work.Temp through the current zone, recording one
// history row per pass, at most MaxRows.
void MarchZone(CalcWork& Work, LinearSolver solve = SolveLinEq);

// Computes zones 1..CalcInput.ZoneCount and appends each zone's block to the
// result file; an observer is shown each zone's recorded rows after its block.
// Floating-point faults and write errors propagate.
void Calculate(MessageSink& messages, LinearSolver solve = SolveLinEq,
               ZoneObserver* observer = nullptr);

// The same march without any file: each zone only goes to the observer.
void MarchZones(ZoneObserver& observer, LinearSolver solve = SolveLinEq);

// Trunc((Length + 0.0001) / DeltaZ) exactly as the run computes a zone's
// steps, as a long double so that huge quotients can be compared safely.
long double ZoneStepQuotient(double Length, double DeltaZ);

} // namespace korvane
