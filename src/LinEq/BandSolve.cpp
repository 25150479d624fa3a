#include "BandSolve.h"

#include "FloatError.h"

#include <algorithm>
#include <cassert>
#include <cfenv>
#include <cmath>
#include <cstdint>

// How the dense Gauss-Jordan solve runs on a tridiagonal matrix. At step k
// only two rows can hold a non-zero in column k among the positions k..n: the
// row left over from step k - 1 ("carried", at position k, entries in columns
// k and k + 1) and the untouched row k + 1 (columns k, k + 1, k + 2). The
// pivot search picks row k + 1 only when its entry is strictly larger. The
// pivot row reaches column k + 1, and column k + 2 when it is row k + 1; the
// other candidate becomes the next carried row; rows further down have a zero
// multiplier and do not change. Every row above the pivot holds entries in
// columns k and k + 1 only, so a step updates three values of each: its next
// two columns and its augmented entry. Values here are the literal algorithm's
// values with the same operations; only the sign of a zero can differ, which
// can change no other value, so a solution holding a zero is left to the
// general solver.
//
// The rows above are independent of one another and of the pivots, so the
// pivot rows (O(n)) can be found ahead of them: all of them first where rows
// may settle, or one step ahead. After an exchange, a row above gets
// 0 - U * P[k+2] in its new column, and in the march P[k+2] = (-F/2) / (-F/2)
// = 1: that entry is just -U, taken from the previous step's multipliers
// instead of being stored. While the pivot rows are all alike, as the
// march's interior rows are, the multipliers of a row depend on its age alone
// and are formed once for all rows.

namespace korvane {

namespace {

// How the pivot row of a step reaches column k + 2.
enum class Fill : std::uint8_t {
    None,     // it does not: the rows above get a zero there
    Negation, // its entry is 1: the rows above get -U
    General,  // any other entry: the rows above get 0 - U * P[k+2], kept
};

// A bound on what later steps can still do to a row above, x[p] being its
// value. Entering step j the row is (U, B, x), U and B its entries in columns
// j and j + 1. Step j gives x - U * Px[j], U' = B - U * P1[j] and
// B' = 0 - U * P2[j], each formed at extended precision and stored as a
// double, so |U'| <= (|B| + |U| |P1|)(1 + 2^-52) + 2^-1074 and
// |B'| <= |U| |P2| (1 + 2^-52) + 2^-1074 (the 2^-1074 for a subnormal result).
// By induction from the last step, for every later step j' >= j
//     |U_j'| w_j' <= a_j |U| + b_j |B| + g_j,   w_j = max(|Px[j]|, 2^-53),
// with a_n = w_n, b_n = g_n = 0 and, going down,
//     a_j = max(w_j, c (|P1[j]| a_j+1 + |P2[j]| b_j+1)),  b_j = c a_j+1,
//     g_j = c (g_j+1 + 2^-1074 (a_j+1 + b_j+1)),  c = 1 + 2^-50,
// c covering both the stores and the rounding of these sums themselves, which
// are formed in long double and cannot overflow or underflow there. The same
// sum bounds b_j' |B_j'|, and b_j' >= w_j'+1 >= 2^-53.
//
// Suppose that sum is at most |x| 2^-57 with |x| >= 2^-840. Then every later
// |U| and |B| is at most |x| 2^-4 < 2^1020: nothing overflows in the row. Each
// later update of x forms t = U * Px rounded to 64 bits, |t| <= |x| 2^-57
// (1 + 2^-63), then x - t rounded to 64 bits, which lies within
// |x| (2^-57 + 2^-63) < |x| 2^-56 of x. The doubles next to x are at least
// |x| 2^-53 away (the closest case is x a power of two, from below), so x is
// the only double within |x| 2^-54: the stored result is x again. The row is
// settled; its later steps are left out. (The margin from 2^-54 to 2^-57
// takes the rounding of the bound itself and of the comparison.)
constexpr long double Growth = 1 + 0x1p-50L;
constexpr long double SubnormalStep = 0x1p-1074L;
constexpr long double Floor = 0x1p-53L;
// Beyond this a bound no longer fits the long double range in one more step;
// kept there, it fails every non-zero row, which is still sound: all-zero
// rows stay zero whatever the later steps.
constexpr long double Cap = 0x1p12000L;

struct Bounds {
    long double a[MaxNodes + 2], b[MaxNodes + 2], g[MaxNodes + 2];
};

struct Pivots {
    double p1[MaxNodes + 2]; // column k + 1 of pivot row k, normalised
    double p2[MaxNodes + 2]; // column k + 2, when it has one
    double px[MaxNodes + 2]; // augmented column
    Fill fill[MaxNodes + 2];
};

void ComputeBounds(const Pivots& pv, int n, Bounds& out) {
    long double a = 0, b = 0, g = 0;
    for (int j = n; j >= 2; --j) {
        const long double w = std::max<long double>(std::fabs(pv.px[j]), Floor);
        const long double q1 = j < n ? std::fabs(pv.p1[j]) : 0.0L;
        const long double q2 = pv.fill[j] != Fill::None ? std::fabs(pv.p2[j]) : 0.0L;
        const long double na = std::min(std::max(w, Growth * (q1 * a + q2 * b)), Cap);
        const long double nb = std::min(Growth * a, Cap);
        const long double ng = std::min(Growth * (g + SubnormalStep * (a + b)), Cap);
        out.a[j] = a = na;
        out.b[j] = b = nb;
        out.g[j] = g = ng;
    }
}

// The rows above at one step. Entering step j a row keeps V = s U and, for the
// entry B of its next column, s B (In = Negation: that is s U of the step
// before) or K = -s B (In = General), with s = (-1)^j the same for every row.
// Rounding to nearest is symmetric, so with the signs folded in every result
// is the literal one times s (up to the sign of a zero):
//     V' = V P1 - Vprev  or  V P1 + K  or  V P1,     K' = V (-P2),
//     x' = x - V (s Px),
// and the -U of an exchange costs nothing.
template <Fill In, bool StoreB>
void UpdateRows(const double* __restrict cur, double* __restrict prev, double* __restrict kept,
                double* __restrict x, int first, int last, double p1, double negP2, double q) {
    const long double P1 = p1, NegP2 = negP2, Q = q;
    for (int p = first; p <= last; ++p) {
        const long double v = cur[p];
        long double next = v * P1;
        if constexpr (In == Fill::Negation)
            next = next - prev[p];
        else if constexpr (In == Fill::General)
            next = next + kept[p];
        if constexpr (StoreB)
            kept[p] = static_cast<double>(v * NegP2);
        prev[p] = static_cast<double>(next);
        x[p] = static_cast<double>(x[p] - v * Q);
    }
}

template <Fill In>
void UpdateRows(bool storeB, const double* cur, double* prev, double* kept, double* x, int first,
                int last, double p1, double negP2, double q) {
    if (storeB)
        UpdateRows<In, true>(cur, prev, kept, x, first, last, p1, negP2, q);
    else
        UpdateRows<In, false>(cur, prev, kept, x, first, last, p1, negP2, q);
}

bool AllFinite(const TVector& lower, const TVector& diag, const TVector& upper, const TVector& rhs,
               int n) {
    std::uint64_t bad = 0;
    const auto check = [&](double v) { bad |= NotFinite(v); };
    for (int i = 1; i <= n; ++i) {
        check(diag[i]);
        check(rhs[i]);
    }
    for (int i = 2; i <= n; ++i) {
        check(lower[i]);
        check(upper[i - 1]);
    }
    return bad == 0;
}

constexpr int Faults = FE_OVERFLOW | FE_INVALID | FE_DIVBYZERO;

// The general solver on the same matrix; it raises whatever the literal
// algorithm raises.
[[gnu::noinline]] void SolveDense(const TVector& lower, const TVector& diag, const TVector& upper,
                                  TVector& solution, const TVector& rhs, int n) {
    TMatrix A;
    DenseFromBand(lower, diag, upper, n, A);
    SolveLinEq(A, solution, rhs, n);
}

// The pivot search, the divisions and the row carried on, step by step.
class PivotSteps {
  public:
    PivotSteps(const TVector& lower, const TVector& diag, const TVector& upper, const TVector& rhs,
               int n, Pivots& pv)
        : lower_(lower), diag_(diag), upper_(upper), rhs_(rhs), n_(n), pv_(pv), c0_(diag[1]),
          c1_(n > 1 ? upper[1] : 0.0), cx_(rhs[1]) {}

    bool ExchangesFirst() const { return n_ > 1 && std::fabs(lower_[2]) > std::fabs(c0_); }
    int exchanges() const { return exchanges_; }

    // Pivot row k; false for a zero pivot.
    bool Step(int k) {
        const bool below = k < n_;
        const double l = below ? lower_[k + 1] : 0.0;
        if (below && std::fabs(l) > std::fabs(c0_)) {
            Exchange(k, l);
            return true;
        }
        if (c0_ == 0)
            return false;
        const long double pivot = c0_;
        pv_.px[k] = static_cast<double>(cx_ / pivot);
        pv_.fill[k] = Fill::None;
        if (below) {
            pv_.p1[k] = static_cast<double>(c1_ / pivot);
            // Row k + 1 is carried on; its column k + 2 takes 0 * its multiplier.
            const long double m = l;
            c0_ = static_cast<double>(diag_[k + 1] - m * pv_.p1[k]);
            c1_ = k + 1 < n_ ? upper_[k + 1] : 0.0;
            cx_ = static_cast<double>(rhs_[k + 1] - m * pv_.px[k]);
        }
        return true;
    }

  private:
    void Exchange(int k, double l) {
        ++exchanges_;
        const long double pivot = l;
        // The interior rows of the march are alike: a quotient of the same two
        // values is the same, and a division is the dearest operation here.
        // The divisor is never 0, so the first exchange always divides.
        const double d = diag_[k + 1];
        if (!(l == lastL_ && d == lastD_)) {
            lastP1_ = static_cast<double>(d / pivot);
            lastD_ = d;
        }
        pv_.p1[k] = lastP1_;
        pv_.px[k] = static_cast<double>(rhs_[k + 1] / pivot);
        const long double m = c0_;
        double fill = 0.0;
        pv_.fill[k] = Fill::None;
        if (k + 1 < n_) {
            const double u = upper_[k + 1];
            if (!(l == lastL_ && u == lastU_)) {
                lastP2_ = static_cast<double>(u / pivot);
                lastU_ = u;
            }
            pv_.p2[k] = lastP2_;
            pv_.fill[k] = pv_.p2[k] == 1.0 ? Fill::Negation : Fill::General;
            fill = static_cast<double>(0.0L - m * pv_.p2[k]);
        }
        lastL_ = l;
        c0_ = static_cast<double>(c1_ - m * pv_.p1[k]);
        c1_ = fill;
        cx_ = static_cast<double>(cx_ - m * pv_.px[k]);
    }

    const TVector &lower_, &diag_, &upper_, &rhs_;
    const int n_;
    Pivots& pv_;
    // The carried row: columns k and k + 1 and the augmented entry.
    double c0_, c1_, cx_;
    double lastL_ = 0, lastD_ = 0, lastU_ = 0, lastP1_ = 0, lastP2_ = 0;
    int exchanges_ = 0;
};

// The rows above the pivot. V[.][p]: row p's entry in the pivot column times
// s, for this step and the last.
class RowsAbove {
  public:
    explicit RowsAbove(const Pivots& pv) : pv_(pv) {}

    // Step j: pivot row j - 1 joins, then every row not settled is updated.
    // With bounds, rows from the oldest on are first tested for settling.
    void Step(int j, int n, const Bounds* bounds) {
        const double sign = j % 2 == 0 ? 1.0 : -1.0;
        const int row = j - 1;
        const Fill in = pv_.fill[row];
        cur_[row] = sign * pv_.p1[row];
        x[row] = pv_.px[row];
        if (in == Fill::Negation)
            prev_[row] = sign;
        else if (in == Fill::General)
            kept_[row] = -sign * pv_.p2[row];

        while (bounds && first <= row) {
            const double B = in == Fill::None       ? 0.0
                             : in == Fill::Negation ? prev_[first]
                                                    : kept_[first];
            const long double bound =
                bounds->a[j] * std::fabs(static_cast<long double>(cur_[first])) +
                bounds->b[j] * std::fabs(static_cast<long double>(B)) + bounds->g[j];
            if (!band::IsSettled(bound, x[first]))
                break;
            ++first;
        }

        const double q = sign * pv_.px[j];
        if (j == n) {
            const long double Q = q;
            for (int p = first; p <= row; ++p)
                x[p] = static_cast<double>(x[p] - static_cast<long double>(cur_[p]) * Q);
            x[n] = pv_.px[n];
            return;
        }
        const bool storeB = pv_.fill[j] == Fill::General;
        const double negP2 = storeB ? -pv_.p2[j] : 0.0;
        const double p1 = pv_.p1[j];
        switch (in) {
        case Fill::None:
            UpdateRows<Fill::None>(storeB, cur_, prev_, kept_, x, first, row, p1, negP2, q);
            break;
        case Fill::Negation:
            UpdateRows<Fill::Negation>(storeB, cur_, prev_, kept_, x, first, row, p1, negP2, q);
            break;
        case Fill::General:
            UpdateRows<Fill::General>(storeB, cur_, prev_, kept_, x, first, row, p1, negP2, q);
            break;
        }
        std::swap(cur_, prev_);
    }

    // Step j of a run of steps whose pivot rows are all alike (the interior
    // rows of the march after exchanges: P1 the same, P2 = 1) and whose rows
    // above all entered in that run. Such a row's multipliers depend on its
    // age t = j - p alone: u[1] = P1, u[t + 1] = -u[t - 1] - u[t] P1, the same
    // operations on the same values in every row; so they are formed once,
    // and each row makes only the update of its value.
    void AlikeStep(int j, const double* u) {
        const int row = j - 1;
        x[row] = pv_.px[row];
        const long double PX = pv_.px[j];
        for (int p = 1; p <= row; ++p)
            x[p] = static_cast<double>(x[p] - static_cast<long double>(u[j - p]) * PX);
    }

    // The state of those rows on entering step j, the first not alike: the
    // multiplier u[j - p] and, after the last step's fill, B = -u[j - 1 - p].
    void LeaveAlike(int j, const double* u) {
        const double sign = j % 2 == 0 ? 1.0 : -1.0;
        for (int p = 1; p <= j - 2; ++p) {
            cur_[p] = sign * u[j - p];
            prev_[p] = -sign * u[j - 1 - p];
        }
    }

    double x[MaxNodes + 2];
    int first = 1; // rows before it are settled

  private:
    const Pivots& pv_;
    double V_[2][MaxNodes + 2], kept_[MaxNodes + 2];
    double* cur_ = V_[0];
    double* prev_ = V_[1];
};

// Exchanges in more than half the steps make the multipliers of the rows
// above grow with their values (the march at large Fourier numbers): rows
// hardly ever settle there, and the bounds are not worth computing.
bool WorthSettling(int n, int exchanges) {
    return n >= 12 && 2 * exchanges <= n;
}

} // namespace

namespace band {

bool IsSettled(long double bound, double x) {
    const long double size = std::fabs(static_cast<long double>(x));
    return size >= MinSettled && bound <= size * SettledShare;
}

} // namespace band

void SolveLinEqBand(const TVector& Lower, const TVector& Diag, const TVector& Upper,
                    TVector& Solution, const TVector& Rhs, std::int32_t Order,
                    BandSolveStats* stats) {
    assert(Order <= MaxNodes);
    const int n = Order;
    if (n <= 0)
        return;
    if (stats)
        *stats = {};
    const auto fallBack = [&] {
        if (stats)
            stats->fellBack = true;
        SolveDense(Lower, Diag, Upper, Solution, Rhs, n);
    };
    if (!AllFinite(Lower, Diag, Upper, Rhs, n))
        return fallBack();
    if (std::fetestexcept(Faults))
        std::feclearexcept(Faults);

    Pivots pv;
    PivotSteps pivots(Lower, Diag, Upper, Rhs, n, pv);
    RowsAbove rows(pv);
    if (pivots.ExchangesFirst()) {
        // Rows will hardly settle: each step's pivot is found while the rows
        // above take the step before, the one's latency hidden in the other's work.
        if (!pivots.Step(1) || !pivots.Step(2))
            return fallBack();
        // u[t]: the multiplier of a row of age t while the steps are alike.
        double u[MaxNodes + 2];
        u[0] = -1; // so that the first B, P2 = 1, is -u[0]
        u[1] = pv.p1[1];
        const long double P1 = u[1];
        bool alike = pv.fill[1] == Fill::Negation;
        for (int j = 2; j <= n; ++j) {
            if (j < n && !pivots.Step(j + 1))
                return fallBack();
            if (alike && j < n && pv.fill[j] == Fill::Negation && pv.p1[j] == u[1]) {
                rows.AlikeStep(j, u);
                u[j] = static_cast<double>(-static_cast<long double>(u[j - 2]) - u[j - 1] * P1);
                continue;
            }
            if (alike)
                rows.LeaveAlike(j, u);
            alike = false;
            rows.Step(j, n, nullptr);
        }
    } else {
        for (int k = 1; k <= n; ++k)
            if (!pivots.Step(k))
                return fallBack();
        Bounds bounds;
        const bool settling = WorthSettling(n, pivots.exchanges());
        if (settling)
            ComputeBounds(pv, n, bounds);
        for (int j = 2; j <= n; ++j)
            rows.Step(j, n, settling ? &bounds : nullptr);
        if (n == 1)
            rows.x[1] = pv.px[1];
    }
    const double* x = rows.x;

    if (std::fetestexcept(Faults))
        return fallBack();
    for (int p = 1; p <= n; ++p)
        if (x[p] == 0)
            return fallBack();
    for (int p = 1; p <= n; ++p)
        Solution[p] = x[p];
    if (stats) {
        stats->exchanges = pivots.exchanges();
        stats->settledRows = rows.first - 1;
    }
}

} // namespace korvane
