#pragma once

#include "LinEq.h"

namespace korvane {

// What a band solve did; for the tests and the benchmark.
struct BandSolveStats {
    int exchanges = 0;     // pivot steps that took the row below
    int settledRows = 0;   // rows above left out of the later steps
    bool fellBack = false; // the general solver did the work
};

// Solves the tridiagonal system Lower[i] x[i-1] + Diag[i] x[i] + Upper[i] x[i+1] = Rhs[i],
// i = 1..Order (Lower[1] and Upper[Order] are not read), with exactly the
// operations of the dense Gauss-Jordan solve of SolveLinEq on that matrix, in
// the same order, and so with the same solution bit for bit. Anything it does
// not handle itself (a value that is not finite, a zero pivot, a floating-point
// fault, a zero in the solution) goes to SolveLinEq, which raises the faults.
// Order must not exceed MaxNodes.
void SolveLinEqBand(const TVector& Lower, const TVector& Diag, const TVector& Upper,
                    TVector& Solution, const TVector& Rhs, std::int32_t Order,
                    BandSolveStats* stats = nullptr);

// The dense matrix of the three diagonals in rows and columns 1..Order of
// Dense (the rest of it is left alone), as the general solvers take it.
void DenseFromBand(const TVector& Lower, const TVector& Diag, const TVector& Upper,
                   std::int32_t Order, TMatrix& Dense);

namespace band {

// A row above the pivot is settled when the bound on everything later steps can
// subtract from its value x is at most |x| 2^-57 (see BandSolve.cpp); values
// below MinSettled are never taken as settled.
inline constexpr long double SettledShare = 0x1p-57L;
inline constexpr double MinSettled = 0x1p-840;
bool IsSettled(long double bound, double x);

} // namespace band

} // namespace korvane
