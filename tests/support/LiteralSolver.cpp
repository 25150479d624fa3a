#include "LiteralSolver.h"

#include "FloatError.h"

#include <cmath>
#include <memory>
#include <utility>

namespace korvane::testing {

void SolveLinEqLiteral(const TMatrix& Coef, TVector& Solution, const TVector& Rhs,
                       std::int32_t Order) {
    const auto W = std::make_unique<TMatrix>(Coef);
    TVector b = Rhs;
    std::uint8_t R[MaxNodes + 1];
    const int n = Order;
    for (int p = 1; p <= n; ++p) {
        (*W)[p][n + 1] = b[p];
        R[p] = static_cast<std::uint8_t>(p);
    }
    for (int k = 1; k <= n; ++k) {
        int best = k;
        for (int i = k + 1; i <= n; ++i)
            if (std::fabs((*W)[R[i]][k]) > std::fabs((*W)[R[best]][k]))
                best = i;
        std::swap(R[k], R[best]);
        auto& P = (*W)[R[k]];
        for (int j = k + 1; j <= n + 1; ++j)
            P[j] = StoreDouble(CheckedDivide(P[j], P[k]));
        for (int i = 1; i <= n; ++i) {
            if (i == k)
                continue;
            auto& Q = (*W)[R[i]];
            for (int j = k + 1; j <= n + 1; ++j)
                Q[j] = StoreDouble(static_cast<long double>(Q[j]) -
                                   static_cast<long double>(Q[k]) * P[j]);
        }
    }
    for (int p = 1; p <= n; ++p)
        Solution[p] = (*W)[R[p]][n + 1];
}

} // namespace korvane::testing
