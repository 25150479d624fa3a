#include "LinEq.h"

#include "FloatError.h"

#include <cmath>
#include <utility>

namespace korvane {

// Gauss-Jordan exactly as the literal algorithm, but an update whose
// multiplier or pivot-row entry is an exact zero is skipped: it could only
// change the sign of a zero. For the tridiagonal systems of the march this
// turns n^3 work into n^2 with bit-identical solutions.
void SolveLinEq(const TMatrix& Coef, TVector& Solution, const TVector& Rhs, std::int32_t Order) {
    const int n = Order;
    if (n <= 0)
        return;

    double W[MaxNodes + 1][MaxNodes + 2];
    std::uint8_t R[MaxNodes + 1];
    for (int p = 1; p <= n; ++p) {
        for (int j = 1; j <= n; ++j)
            W[p][j] = Coef[p][j];
        W[p][n + 1] = Rhs[p];
        R[p] = static_cast<std::uint8_t>(p);
    }

    int nonZero[MaxNodes + 1];
    for (int k = 1; k <= n; ++k) {
        int best = k;
        for (int i = k + 1; i <= n; ++i)
            if (std::fabs(W[R[i]][k]) > std::fabs(W[R[best]][k]))
                best = i;
        std::swap(R[k], R[best]);

        double* pivotRow = W[R[k]];
        const double pivot = pivotRow[k];
        if (pivot == 0.0)
            // The literal first division is that of column k + 1 (n + 1 at the last step).
            RaiseFloatError(pivotRow[k + 1] == 0.0 ? FloatError::Kind::InvalidOperation
                                                   : FloatError::Kind::DivideByZero);

        int count = 0;
        for (int j = k + 1; j <= n + 1; ++j) {
            if (pivotRow[j] == 0.0)
                continue;
            pivotRow[j] = StoreDouble(static_cast<long double>(pivotRow[j]) / pivot);
            if (pivotRow[j] != 0.0)
                nonZero[count++] = j;
        }

        for (int i = 1; i <= n; ++i) {
            if (i == k)
                continue;
            double* row = W[R[i]];
            const long double factor = row[k];
            if (factor == 0.0L)
                continue;
            for (int c = 0; c < count; ++c) {
                const int j = nonZero[c];
                row[j] = StoreDouble(static_cast<long double>(row[j]) - factor * pivotRow[j]);
            }
        }
    }

    for (int p = 1; p <= n; ++p)
        Solution[p] = W[R[p]][n + 1];
}

} // namespace korvane
