// Linked into korvane-batch-literal ahead of the solver library: every solve
// of the program, the march's band path included, by the literal algorithm.
// The library's definitions are then never pulled in (a duplicate would stop
// the link).
#include "BandSolve.h"
#include "LiteralSolver.h"

#include <memory>

namespace korvane {

void SolveLinEq(const TMatrix& Coef, TVector& Solution, const TVector& Rhs, std::int32_t Order) {
    testing::SolveLinEqLiteral(Coef, Solution, Rhs, Order);
}

void SolveLinEqBand(const TVector& Lower, const TVector& Diag, const TVector& Upper,
                    TVector& Solution, const TVector& Rhs, std::int32_t Order, BandSolveStats*) {
    const auto dense = std::make_unique<TMatrix>();
    DenseFromBand(Lower, Diag, Upper, Order, *dense);
    testing::SolveLinEqLiteral(*dense, Solution, Rhs, Order);
}

} // namespace korvane
