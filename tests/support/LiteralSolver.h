#pragma once

#include "LinEq.h"

#include <memory>

namespace korvane::testing {

// The Gauss-Jordan algorithm step by step as originally written: full copies,
// every division and every multiply-subtract. The reference for the fast solver.
void SolveLinEqLiteral(const TMatrix& Coef, TVector& Solution, const TVector& Rhs,
                       std::int32_t Order);

// The n x n matrix of three diagonals (lower[2..n], diag[1..n], upper[1..n-1]),
// as the literal algorithm takes it.
std::unique_ptr<TMatrix> DenseFromBand(const TVector& lower, const TVector& diag,
                                       const TVector& upper, int n);

} // namespace korvane::testing
