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

void Assemble(CalcWork& w) {
    const int N = w.NodeCount;
    const int L = CalcInput.LayerCount;
    const double dx = w.Dx;
    const long double F = w.Fourier;
    TMatrix& A = w.CoefMatrix;
    TVector& b = w.Rhs;
    const TVector& T = w.Temp;

    for (int i = 1; i <= N; ++i)
        for (int j = 1; j <= N; ++j)
            A[i][j] = 0;

    A[1][1] = StoreDouble(Biot(CurZone.Htc1, dx) + 1);
    A[1][2] = -1;
    b[1] = StoreDouble(Biot(CurZone.Htc1, dx) * CurZone.OuterTemp1);

    for (int i = 2; i <= L; ++i) {
        A[i][i - 1] = StoreDouble(-F / 2);
        A[i][i] = StoreDouble(1 + F);
        A[i][i + 1] = StoreDouble(-F / 2);
        b[i] = StoreDouble(
            ((static_cast<long double>(T[i + 1]) - 2 * static_cast<long double>(T[i])) + T[i - 1]) *
                (F / 2) +
            T[i]);
    }

    A[N][L] = -1;
    A[N][N] = StoreDouble(Biot(CurZone.Htc2, dx) + 1);
    b[N] = StoreDouble(Biot(CurZone.Htc2, dx) * CurZone.OuterTemp2);
}

} // namespace

void MarchZone(CalcWork& w, LinearSolver solve) {
    const int N = w.NodeCount;
    const int L = CalcInput.LayerCount;
    do {
        w.ZHistory[w.RowNo] = w.ZPos;
        for (int i = 1; i <= N; ++i)
            w.TempHistory[w.RowNo][i] = w.Temp[i];
        w.AvgHistory[w.RowNo] = w.AvgTemp;

        Assemble(w);
        solve(w.CoefMatrix, w.NewTemp, w.Rhs, w.NodeCount);

        for (int i = 1; i <= N; ++i)
            w.PrevTemp[i] = w.Temp[i];
        w.PrevAvgTemp = MeanTemp(w.Temp, L);
        for (int i = 1; i <= N; ++i)
            w.Temp[i] = w.NewTemp[i];
        w.AvgTemp = MeanTemp(w.Temp, L);

        w.ZPos = StoreDouble(static_cast<long double>(w.ZPos) + CalcInput.DeltaZ);
        ++w.RowNo;
        // The history holds MaxRows rows; a zone that would need more ends
        // with the pass that records the last of them.
    } while (!(w.ZPos > CurLength) && w.RowNo <= MaxRows);
}

} // namespace korvane
