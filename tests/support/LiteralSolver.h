#pragma once

#include "LinEq.h"

#include <memory>

namespace korvane::testing {

// The Gauss-Jordan algorithm step by step as originally written: full copies,
// every division and every multiply-subtract. The reference for the fast solver.
void SolveLinEqLiteral(const TMatrix& Coef, TVector& Solution, const TVector& Rhs,
                       std::int32_t Order);

} // namespace korvane::testing
