#pragma once

#include "LongDouble.h"

#include <array>
#include <cstdint>

namespace korvane {

inline constexpr int MaxNodes = 101;

// Both indexed from 1, as the scheme is written; element 0 is never used.
// Column MaxNodes + 1 of a TMatrix is the solver's augmented column.
using TVector = std::array<double, MaxNodes + 1>;
using TMatrix = std::array<std::array<double, MaxNodes + 2>, MaxNodes + 1>;

// Solves Coef * Solution = Rhs for the first Order equations by Gauss-Jordan
// elimination with partial pivoting on a row permutation. Coef and Rhs are
// left unchanged; Solution[1..Order] is written only when the solve succeeds.
// A zero pivot raises FloatError (division by zero, or invalid for 0 / 0), an
// overflowing quotient or product FloatError (overflow), whichever the literal
// algorithm meets first. Order must not exceed MaxNodes (asserted).
void SolveLinEq(const TMatrix& Coef, TVector& Solution, const TVector& Rhs, std::int32_t Order);

// Calls of SolveLinEq so far, from every thread: the march's band path reaches
// it only for what it does not handle, so a front end that raises this on an
// ordinary run has lost the fast path.
std::uint64_t GeneralSolveCount();

} // namespace korvane
