#include "LinEq.h"

#include "FloatError.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstring>

namespace korvane {

namespace {

// The working copy, held by columns so that a step reads one column, with a
// list of the rows that have (or once had) a non-zero entry in each column.
// Entries never listed are zero and are not even stored.
struct Work {
    double C[MaxNodes + 2][MaxNodes + 1];           // C[column][row]
    bool listed[MaxNodes + 2][MaxNodes + 1];
    std::uint8_t colRows[MaxNodes + 2][MaxNodes + 1];
    int colCount[MaxNodes + 2];
    int lastColumn[MaxNodes + 1]; // last listed column of a row, the augmented one aside
    std::uint8_t R[MaxNodes + 1];   // R[position] = row
    std::uint8_t pos[MaxNodes + 1]; // pos[row] = position

    double At(int j, int r) const { return listed[j][r] ? C[j][r] : 0.0; }
    void List(int j, int r, double value) {
        C[j][r] = value;
        listed[j][r] = true;
        colRows[j][colCount[j]++] = static_cast<std::uint8_t>(r);
        lastColumn[r] = std::max(lastColumn[r], j);
    }
};

bool IsNonZero(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return (bits << 1) != 0;
}

void Load(Work& w, const TMatrix& Coef, const TVector& Rhs, int n) {
    for (int j = 1; j <= n; ++j) {
        std::memset(w.listed[j], 0, sizeof w.listed[j]);
        w.colCount[j] = 0;
    }
    for (int i = 1; i <= n; ++i) {
        w.lastColumn[i] = 0;
        const double* row = Coef[i].data();
        int j = 1;
        for (; j + 3 <= n; j += 4) {
            std::uint64_t a, b, c, d;
            std::memcpy(&a, row + j, 8);
            std::memcpy(&b, row + j + 1, 8);
            std::memcpy(&c, row + j + 2, 8);
            std::memcpy(&d, row + j + 3, 8);
            if (((a | b | c | d) << 1) == 0)
                continue;
            for (int q = j; q < j + 4; ++q)
                if (IsNonZero(row[q]))
                    w.List(q, i, row[q]);
        }
        for (; j <= n; ++j)
            if (IsNonZero(row[j]))
                w.List(j, i, row[j]);
        w.C[n + 1][i] = Rhs[i];
        w.R[i] = w.pos[i] = static_cast<std::uint8_t>(i);
    }
}

[[noreturn]] void RaiseZeroPivot(double firstDividend) {
    RaiseFloatError(firstDividend == 0.0 ? FloatError::Kind::InvalidOperation
                                         : FloatError::Kind::DivideByZero);
}

// Stores round through the x87 unit, which flags an overflow to infinity;
// the literal algorithm trapped at the first, and no later step can hide it.
void RaiseIfOverflowed() {
    asm volatile("" ::: "memory");
    if (std::fetestexcept(FE_OVERFLOW))
        RaiseFloatError(FloatError::Kind::Overflow);
}

} // namespace

// Gauss-Jordan exactly as the literal algorithm, entry for entry, but an
// update whose multiplier or pivot-row entry is an exact zero is skipped: it
// could only change the sign of a zero. For the tridiagonal systems of the
// march this turns n^3 work into n^2 with bit-identical solutions.
void SolveLinEq(const TMatrix& Coef, TVector& Solution, const TVector& Rhs, std::int32_t Order) {
    const int n = Order;
    if (n <= 0)
        return;
    std::feclearexcept(FE_OVERFLOW);

    Work w;
    Load(w, Coef, Rhs, n);

    int pivotColumns[MaxNodes + 1];
    int rows[MaxNodes + 1];
    double factors[MaxNodes + 1];
    for (int k = 1; k <= n; ++k) {
        // One pass over the column: its non-zero entries, and the largest
        // magnitude among positions k..n, the earliest on a tie.
        int best = k;
        double bestAbs = 0;
        int found = 0;
        for (int c = 0; c < w.colCount[k]; ++c) {
            const int r = w.colRows[k][c];
            const double v = w.C[k][r];
            if (v == 0.0)
                continue;
            rows[found] = r;
            factors[found++] = v;
            const int at = w.pos[r];
            const double a = std::fabs(v);
            if (at >= k && (a > bestAbs || (a == bestAbs && at < best))) {
                best = at;
                bestAbs = a;
            }
        }
        const int p = w.R[best];
        w.R[best] = w.R[k];
        w.pos[w.R[best]] = static_cast<std::uint8_t>(best);
        w.R[k] = static_cast<std::uint8_t>(p);
        w.pos[p] = static_cast<std::uint8_t>(k);

        const double pivot = w.At(k, p);
        if (pivot == 0.0) {
            RaiseIfOverflowed();
            RaiseZeroPivot(k < n ? w.At(k + 1, p) : w.C[n + 1][p]);
        }

        int count = 0;
        for (int j = k + 1; j <= w.lastColumn[p]; ++j) {
            if (!w.listed[j][p] || w.C[j][p] == 0.0)
                continue;
            w.C[j][p] = static_cast<double>(static_cast<long double>(w.C[j][p]) / pivot);
            if (w.C[j][p] != 0.0)
                pivotColumns[count++] = j;
        }
        double& augmented = w.C[n + 1][p];
        if (augmented != 0.0)
            augmented = static_cast<double>(static_cast<long double>(augmented) / pivot);

        int rowCount = 0;
        for (int t = 0; t < found; ++t) {
            if (rows[t] != p) {
                rows[rowCount] = rows[t];
                factors[rowCount++] = factors[t];
            }
        }

        for (int c = 0; c < count; ++c) {
            const int j = pivotColumns[c];
            const long double pivotEntry = w.C[j][p];
            for (int t = 0; t < rowCount; ++t) {
                const int r = rows[t];
                const long double product = factors[t] * pivotEntry;
                if (w.listed[j][r])
                    w.C[j][r] = static_cast<double>(w.C[j][r] - product);
                else
                    w.List(j, r, static_cast<double>(0.0L - product));
            }
        }
        if (augmented != 0.0) {
            const long double pivotEntry = augmented;
            double* target = w.C[n + 1];
            for (int t = 0; t < rowCount; ++t)
                target[rows[t]] = static_cast<double>(target[rows[t]] - factors[t] * pivotEntry);
        }
    }
    RaiseIfOverflowed();

    for (int p = 1; p <= n; ++p)
        Solution[p] = w.C[n + 1][w.R[p]];
}

} // namespace korvane
