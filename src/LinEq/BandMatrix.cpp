// Kept apart from the band solver: korvane-batch-literal replaces the solvers
// but still expands its systems with this.
#include "BandSolve.h"

#include <algorithm>

namespace korvane {

void DenseFromBand(const TVector& Lower, const TVector& Diag, const TVector& Upper,
                   std::int32_t Order, TMatrix& Dense) {
    for (int i = 1; i <= Order; ++i) {
        std::fill_n(Dense[static_cast<std::size_t>(i)].begin() + 1, Order, 0.0);
        Dense[i][i] = Diag[i];
        if (i > 1)
            Dense[i][i - 1] = Lower[i];
        if (i < Order)
            Dense[i][i + 1] = Upper[i];
    }
}

} // namespace korvane
