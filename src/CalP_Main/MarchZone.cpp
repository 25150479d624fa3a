#include "BandSolve.h"
#include "Calculate.h"
#include "FloatError.h"

namespace korvane {

namespace {

// Trapezoidal mean over the layers, summed in node order.
double MeanTemp(const TVector& T, int layers) {
    double sum = 0;
    for (int i = 1; i <= layers; ++i)
        sum = StoreDouble((static_cast<long double>(T[i]) + T[i + 1]) / 2 + sum);
    return StoreDouble(static_cast<long double>(sum) / layers);
}

// Biot number of a face times the right factor; recomputed per entry, never
// stored, as the original evaluated it.
long double Biot(double htc, double dx) {
    return CheckedDivide(static_cast<long double>(htc) * dx, CalcInput.Conductivity);
}

// The system's three diagonals and the faces' right-hand sides: the same in
// every pass of a zone.
struct ZoneSystem {
    TVector lower, diag, upper;
    double rhs1 = 0, rhsN = 0;
};

void AssembleZone(const CalcWork& w, ZoneSystem& s) {
    const int N = w.NodeCount;
    const int L = CalcInput.LayerCount;
    const double dx = w.Dx;
    const long double F = w.Fourier;
    s.diag[1] = StoreDouble(Biot(CurZone.Htc1, dx) + 1);
    s.upper[1] = -1;
    s.rhs1 = StoreDouble(Biot(CurZone.Htc1, dx) * CurZone.OuterTemp1);
    for (int i = 2; i <= L; ++i) {
        s.lower[i] = StoreDouble(-F / 2);
        s.diag[i] = StoreDouble(1 + F);
        s.upper[i] = StoreDouble(-F / 2);
    }
    s.lower[N] = -1;
    s.diag[N] = StoreDouble(Biot(CurZone.Htc2, dx) + 1);
    s.rhsN = StoreDouble(Biot(CurZone.Htc2, dx) * CurZone.OuterTemp2);
}

void AssembleRhs(CalcWork& w, const ZoneSystem& s) {
    const int L = CalcInput.LayerCount;
    const long double halfF = static_cast<long double>(w.Fourier) / 2;
    const TVector& T = w.Temp;
    TVector& b = w.Rhs;
    b[1] = s.rhs1;
    for (int i = 2; i <= L; ++i)
        b[i] = StoreDouble(
            ((static_cast<long double>(T[i + 1]) - 2 * static_cast<long double>(T[i])) + T[i - 1]) *
                halfF +
            T[i]);
    b[w.NodeCount] = s.rhsN;
}

} // namespace

void MarchZone(CalcWork& w, LinearSolver solve) {
    const int N = w.NodeCount;
    const int L = CalcInput.LayerCount;
    ZoneSystem system;
    bool firstPass = true;
    do {
        w.ZHistory[w.RowNo] = w.ZPos;
        for (int i = 1; i <= N; ++i)
            w.TempHistory[w.RowNo][i] = w.Temp[i];
        w.AvgHistory[w.RowNo] = w.AvgTemp;

        if (firstPass)
            AssembleZone(w, system);
        AssembleRhs(w, system);
        if (solve) {
            DenseFromBand(system.lower, system.diag, system.upper, N, w.CoefMatrix);
            solve(w.CoefMatrix, w.NewTemp, w.Rhs, w.NodeCount);
        } else {
            SolveLinEqBand(system.lower, system.diag, system.upper, w.NewTemp, w.Rhs, N);
        }

        for (int i = 1; i <= N; ++i)
            w.PrevTemp[i] = w.Temp[i];
        // AvgTemp is the mean of Temp computed by the last pass, except on
        // entry: zone 1 enters with InitialTemp, which the mean of the uniform
        // profile need not equal to the last bit.
        w.PrevAvgTemp = firstPass ? MeanTemp(w.Temp, L) : w.AvgTemp;
        for (int i = 1; i <= N; ++i)
            w.Temp[i] = w.NewTemp[i];
        w.AvgTemp = MeanTemp(w.Temp, L);

        w.ZPos = StoreDouble(static_cast<long double>(w.ZPos) + CalcInput.DeltaZ);
        ++w.RowNo;
        firstPass = false;
        // The history holds MaxRows rows; a zone that would need more ends
        // with the pass that records the last of them.
    } while (!(w.ZPos > CurLength) && w.RowNo <= MaxRows);
}

} // namespace korvane
