#include "LinEq.h"

#include "FloatError.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cassert>
#include <cfenv>
#include <cmath>
#include <cstring>
#include <utility>

namespace korvane {

namespace {

std::atomic<std::uint64_t> generalSolves{0};

// Row (or column) numbers 1..MaxNodes + 1 as a bit set.
struct IndexSet {
    std::uint64_t word[2] = {0, 0};
    void Add(int i) { word[i >> 6] |= std::uint64_t{1} << (i & 63); }
    void Remove(int i) { word[i >> 6] &= ~(std::uint64_t{1} << (i & 63)); }
    bool Has(int i) const { return (word[i >> 6] >> (i & 63)) & 1; }
    void Add(const IndexSet& other) {
        word[0] |= other.word[0];
        word[1] |= other.word[1];
    }
    template <typename Visit> void ForEach(Visit&& visit) const {
        for (int half = 0; half < 2; ++half)
            for (std::uint64_t bits = word[half]; bits != 0; bits &= bits - 1)
                visit(half * 64 + std::countr_zero(bits));
    }
};

// The working copy, held by columns so that a step reads one column, and for
// each column the rows that have (or once had) a non-zero entry in it.
struct Work {
    double C[MaxNodes + 2][MaxNodes + 1]; // C[column][row]; zero where never set
    IndexSet nonZeroRows[MaxNodes + 2];   // empty on construction
    int lastColumn[MaxNodes + 1];         // of a row not yet pivotal: its last non-zero column
    std::uint8_t R[MaxNodes + 1];         // R[position] = row
    std::uint8_t pos[MaxNodes + 1];       // pos[row] = position
};

// The entries of a row that are not zero (-0 counts as zero), eight at a
// time: most of a row is zeros.
template <typename Found> void ForNonZero(const double* row, int n, Found&& found) {
    constexpr std::uint64_t NoSign = ~(std::uint64_t{1} << 63);
    int j = 1;
    for (; j + 7 <= n; j += 8) {
        std::uint64_t bits[8];
        std::memcpy(bits, row + j, sizeof bits);
        if (((bits[0] | bits[1] | bits[2] | bits[3] | bits[4] | bits[5] | bits[6] | bits[7]) &
             NoSign) == 0)
            continue;
        for (int q = 0; q < 8; ++q)
            if (bits[q] & NoSign)
                found(j + q);
    }
    for (; j <= n; ++j)
        if (row[j] != 0.0)
            found(j);
}

// False when an entry or the right-hand side is not finite.
bool Load(Work& w, const TMatrix& Coef, const TVector& Rhs, int n) {
    std::uint64_t notFinite = 0;
    const auto check = [&](double v) { notFinite |= NotFinite(v); };
    std::memset(w.C[1], 0, sizeof w.C[0] * static_cast<std::size_t>(n));
    for (int i = 1; i <= n; ++i) {
        const double* row = Coef[i].data();
        w.lastColumn[i] = 0;
        ForNonZero(row, n, [&](int j) {
            w.C[j][i] = row[j];
            check(row[j]);
            w.nonZeroRows[j].Add(i);
            w.lastColumn[i] = j;
        });
        w.C[n + 1][i] = Rhs[i];
        check(Rhs[i]);
        w.R[i] = w.pos[i] = static_cast<std::uint8_t>(i);
    }
    return notFinite == 0;
}

// With a value that is not finite a skipped update could hide a NaN
// (0 * infinity): every operation is made, as the literal algorithm makes it.
void SolveEveryOperation(Work& w, TVector& Solution, int n) {
    for (int k = 1; k <= n; ++k) {
        int best = k;
        for (int i = k + 1; i <= n; ++i)
            if (std::fabs(w.C[k][w.R[i]]) > std::fabs(w.C[k][w.R[best]]))
                best = i;
        std::swap(w.R[k], w.R[best]);
        const int p = w.R[k];
        for (int j = k + 1; j <= n + 1; ++j)
            w.C[j][p] = StoreDouble(CheckedDivide(w.C[j][p], w.C[k][p]));
        for (int i = 1; i <= n; ++i) {
            if (i == k)
                continue;
            const int r = w.R[i];
            for (int j = k + 1; j <= n + 1; ++j)
                w.C[j][r] = StoreDouble(static_cast<long double>(w.C[j][r]) -
                                        static_cast<long double>(w.C[k][r]) * w.C[j][p]);
        }
    }
    for (int p = 1; p <= n; ++p)
        Solution[p] = w.C[n + 1][w.R[p]];
}

// Stores round through the x87 unit, which flags an overflow to infinity;
// the literal algorithm trapped at the first, and no later step can hide it.
void RaiseIfOverflowed() {
    asm volatile("" ::: "memory");
    if (std::fetestexcept(FE_OVERFLOW))
        RaiseFloatError(FloatError::Kind::Overflow);
}

// target[row] -= factor * pivotEntry over the listed rows, for up to three
// columns in one pass.
void Eliminate(Work& w, const int* columns, int count, int p, const int* rows,
               const double* factors, int rowCount) {
    double* t0 = w.C[columns[0]];
    double* t1 = w.C[columns[count > 1 ? 1 : 0]];
    double* t2 = w.C[columns[count > 2 ? 2 : 0]];
    const long double p0 = t0[p], p1 = t1[p], p2 = t2[p];
    if (count == 3) {
        for (int t = 0; t < rowCount; ++t) {
            const int r = rows[t];
            const long double f = factors[t];
            t0[r] = static_cast<double>(t0[r] - f * p0);
            t1[r] = static_cast<double>(t1[r] - f * p1);
            t2[r] = static_cast<double>(t2[r] - f * p2);
        }
    } else if (count == 2) {
        for (int t = 0; t < rowCount; ++t) {
            const int r = rows[t];
            const long double f = factors[t];
            t0[r] = static_cast<double>(t0[r] - f * p0);
            t1[r] = static_cast<double>(t1[r] - f * p1);
        }
    } else {
        for (int t = 0; t < rowCount; ++t)
            t0[rows[t]] = static_cast<double>(t0[rows[t]] - factors[t] * p0);
    }
}

} // namespace

// Gauss-Jordan exactly as the literal algorithm, entry for entry, but an
// update whose multiplier or pivot-row entry is an exact zero is skipped: it
// could only change the sign of a zero. For the tridiagonal systems of the
// march this turns n^3 work into n^2 with bit-identical solutions.
void SolveLinEq(const TMatrix& Coef, TVector& Solution, const TVector& Rhs, std::int32_t Order) {
    // The working arrays hold MaxNodes equations; a larger order is the
    // caller's error (the literal algorithm wrote past its arrays).
    assert(Order <= MaxNodes);
    generalSolves.fetch_add(1, std::memory_order_relaxed);
    const int n = Order;
    if (n <= 0)
        return;
    std::feclearexcept(FE_OVERFLOW);

    Work w;
    if (!Load(w, Coef, Rhs, n))
        return SolveEveryOperation(w, Solution, n);

    int pivotColumns[MaxNodes + 1];
    int rows[MaxNodes + 1];
    int candidates[MaxNodes + 1]; // rows not yet pivotal with a non-zero multiplier
    double factors[MaxNodes + 1];
    for (int k = 1; k <= n; ++k) {
        // The column's non-zero entries, and among positions k..n the largest
        // magnitude, the earliest position on a tie.
        const double* column = w.C[k];
        int best = k, bestIndex = -1, found = 0, candidateCount = 0;
        double bestAbs = 0;
        w.nonZeroRows[k].ForEach([&](int r) {
            const double v = column[r];
            if (v == 0.0)
                return;
            const int at = w.pos[r];
            if (at >= k) {
                candidates[candidateCount++] = r;
                const double a = std::fabs(v);
                if (a > bestAbs || (a == bestAbs && at < best)) {
                    best = at;
                    bestAbs = a;
                    bestIndex = found;
                }
            }
            rows[found] = r;
            factors[found++] = v;
        });
        const int p = w.R[best];
        w.R[best] = w.R[k];
        w.pos[w.R[best]] = static_cast<std::uint8_t>(best);
        w.R[k] = static_cast<std::uint8_t>(p);
        w.pos[p] = static_cast<std::uint8_t>(k);

        const double pivot = column[p];
        if (pivot == 0.0) {
            RaiseIfOverflowed();
            // The literal first division is that of column k + 1 (n + 1 at the last step).
            RaiseFloatError(w.C[k + 1][p] == 0.0 ? FloatError::Kind::InvalidOperation
                                                 : FloatError::Kind::DivideByZero);
        }
        // A pivot that won no comparison is a NaN, which only an earlier
        // overflow (to infinity, then infinity - infinity) can have made.
        if (bestIndex < 0) {
            RaiseIfOverflowed();
            RaiseFloatError(FloatError::Kind::InvalidOperation);
        }
        // The pivot row takes no part in its own elimination.
        rows[bestIndex] = rows[found - 1];
        factors[bestIndex] = factors[found - 1];
        const int rowCount = found - 1;

        int count = 0;
        const auto normalise = [&](int j) {
            double& entry = w.C[j][p];
            if (entry == 0.0)
                return;
            entry = static_cast<double>(static_cast<long double>(entry) / pivot);
            if (entry != 0.0)
                pivotColumns[count++] = j;
        };
        for (int j = k + 1; j <= w.lastColumn[p]; ++j)
            normalise(j);
        normalise(n + 1);

        // Only rows still to be pivotal need to know how far their entries reach.
        const int reach = count > 0 && pivotColumns[count - 1] <= n ? pivotColumns[count - 1]
                          : count > 1                               ? pivotColumns[count - 2]
                                                                    : 0;
        for (int c = 0; c < candidateCount; ++c)
            w.lastColumn[candidates[c]] = std::max(w.lastColumn[candidates[c]], reach);

        // Rows listed with a zero entry stay listed: the sets only grow.
        IndexSet updated = w.nonZeroRows[k];
        updated.Remove(p);
        for (int c = 0; c < count; c += 3) {
            const int group = std::min(3, count - c);
            Eliminate(w, pivotColumns + c, group, p, rows, factors, rowCount);
            for (int g = 0; g < group; ++g)
                w.nonZeroRows[pivotColumns[c + g]].Add(updated);
        }
    }
    RaiseIfOverflowed();

    for (int p = 1; p <= n; ++p)
        Solution[p] = w.C[n + 1][w.R[p]];
}

std::uint64_t GeneralSolveCount() {
    return generalSolves.load(std::memory_order_relaxed);
}

} // namespace korvane
