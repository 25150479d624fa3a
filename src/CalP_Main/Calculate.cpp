#include "Calculate.h"

#include "FloatControl.h"
#include "FloatError.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

namespace korvane {

namespace {

constexpr long double LengthAllowance = 0.0001L;

double WorkingLength(double length) {
    return StoreDouble(static_cast<long double>(length) + LengthAllowance);
}

// Trunc of the extended quotient; outside the 64-bit range the x87 store
// raised an invalid operation. The count is kept in 32 bits, as in the original.
std::int32_t TruncSteps(long double quotient) {
    if (!(quotient > -0x1p63L && quotient < 0x1p63L))
        RaiseFloatError(FloatError::Kind::InvalidOperation);
    return static_cast<std::int32_t>(static_cast<std::int64_t>(quotient));
}

std::int32_t StepsOf(double curLength) {
    return TruncSteps(std::truncl(CheckedDivide(curLength, CalcInput.DeltaZ)));
}

// Rows of the block: the steps that fit, but never a row this zone did not record.
std::int32_t RowsToWrite(const CalcWork& w) {
    const std::int64_t wanted = static_cast<std::int64_t>(w.StepCount) + 1;
    return static_cast<std::int32_t>(std::min<std::int64_t>(wanted, w.RowNo - 1));
}

// The rows the march recorded, at full precision, for an observer.
ZoneHistory RecordedRows(const CalcWork& w) {
    ZoneHistory zone;
    zone.ZoneNo = CurZoneNo;
    zone.Zone = CurZone;
    zone.Zone.Length = CalcInput.Zones[CurZoneNo].Length;
    const auto columns = ColumnNodesFor(CalcInput.LayerCount);
    zone.Rows.resize(static_cast<std::size_t>(w.RowNo - 1));
    for (int r = 1; r < w.RowNo; ++r) {
        HistoryRow& row = zone.Rows[static_cast<std::size_t>(r - 1)];
        const auto& temps = w.TempHistory[r];
        row.Z = w.ZHistory[r];
        for (std::size_t k = 0; k < row.Points.size(); ++k)
            row.Points[k] = temps[columns[k + 1]];
        row.Mean = w.AvgHistory[r];
        row.Nodes.assign(temps.begin() + 1, temps.begin() + 1 + w.NodeCount);
    }
    return zone;
}

// Marches zones 1..ZoneCount; zoneDone runs after each zone's march.
template <class ZoneDone> void MarchAll(LinearSolver solve, ZoneDone zoneDone) {
    // Whatever set the x87 unit since the last run, the run's intermediates
    // keep their 64-bit significand.
    platform::SetExtendedPrecision();
    const TCalcInput& in = CalcInput;
    auto work = std::make_unique<CalcWork>();
    CalcWork& w = *work;

    w.NodeCount = in.LayerCount + 1;
    CurLength = WorkingLength(in.Zones[1].Length);
    w.StepCount = StepsOf(CurLength);
    w.CmPerSec = StoreDouble(static_cast<long double>(in.Speed) * 100 / 60);
    w.Dx = StoreDouble(CheckedDivide(in.Thickness, in.LayerCount));
    w.KappaV = StoreDouble(CheckedDivide(in.Conductivity, static_cast<long double>(in.Density) *
                                                              in.SpecificHeat * w.CmPerSec));
    w.Fourier = StoreDouble(CheckedDivide(static_cast<long double>(w.KappaV) * in.DeltaZ,
                                          static_cast<long double>(w.Dx) * w.Dx));

    for (int i = 1; i <= w.NodeCount; ++i)
        w.Temp[i] = in.InitialTemp;
    w.AvgTemp = in.InitialTemp;
    w.ZPos = 0;
    w.RowNo = 1;
    CurZone = in.Zones[1];
    CurZoneNo = 1;
    MarchZone(w, solve);
    zoneDone(w);

    for (int k = 2; k <= std::min(in.ZoneCount, MaxZones); ++k) {
        CurLength = WorkingLength(in.Zones[k].Length);
        w.StepCount = StepsOf(CurLength);
        for (int i = 1; i <= w.NodeCount; ++i)
            w.Temp[i] = w.PrevTemp[i];
        CurZone = in.Zones[k];
        w.ZPos = 0;
        w.RowNo = 1;
        w.AvgTemp = w.PrevAvgTemp;
        CurZoneNo = k;
        MarchZone(w, solve);
        zoneDone(w);
    }
}

} // namespace

long double ZoneStepQuotient(double Length, double DeltaZ) {
    return std::truncl(CheckedDivide(WorkingLength(Length), DeltaZ));
}

void Calculate(MessageSink& messages, LinearSolver solve, ZoneObserver* observer) {
    MarchAll(solve, [&](const CalcWork& w) {
        if (!SaveZoneResult(w.ZHistory, w.TempHistory, w.AvgHistory, RowsToWrite(w),
                            CalcInput.LayerCount, messages))
            messages.ShowMessage(msg::CanNotWriteResults);
        if (observer)
            observer->ZoneDone(RecordedRows(w));
    });
}

void MarchZones(ZoneObserver& observer, LinearSolver solve) {
    MarchAll(solve, [&](const CalcWork& w) { observer.ZoneDone(RecordedRows(w)); });
}

} // namespace korvane
