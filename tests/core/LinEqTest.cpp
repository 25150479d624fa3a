#include "LinEq.h"
#include "FloatError.h"
#include "LiteralSolver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <random>

namespace korvane {
namespace {

using testing::SolveLinEqLiteral;

struct System {
    std::unique_ptr<TMatrix> A = std::make_unique<TMatrix>();
    TVector b{};
};

// Same values, with -0 and +0 taken as equal.
void ExpectSameSolution(const TVector& fast, const TVector& literal, int n,
                        const std::string& what) {
    for (int i = 1; i <= n; ++i) {
        if (fast[i] == 0 && literal[i] == 0)
            continue;
        ASSERT_EQ(std::memcmp(&fast[i], &literal[i], sizeof(double)), 0)
            << what << " x[" << i << "] " << fast[i] << " vs " << literal[i];
    }
}

using Solver = std::function<void(const TMatrix&, TVector&, const TVector&, int)>;
const Solver Solvers[] = {SolveLinEq, SolveLinEqLiteral};

TEST(SolveLinEq, SmallSystemsPivotAndLeaveInputsAlone) {
    for (const auto& solve : Solvers) {
        System s;
        (*s.A)[1][1] = 4;
        s.b[1] = 2;
        TVector x{};
        x.fill(7);
        solve(*s.A, x, s.b, 1);
        EXPECT_EQ(x[1], 0.5);
        EXPECT_EQ(x[2], 7); // beyond the order: untouched

        // A zero on the diagonal is handled by the row permutation.
        System z;
        (*z.A)[1][1] = 0, (*z.A)[1][2] = 1, (*z.A)[2][1] = 1, (*z.A)[2][2] = 0;
        (*z.A)[1][3] = 99; // the augmented column is the solver's own
        z.b[1] = 2, z.b[2] = 3;
        const TMatrix before = *z.A;
        const TVector rhsBefore = z.b;
        solve(*z.A, x, z.b, 2);
        EXPECT_EQ(x[1], 3);
        EXPECT_EQ(x[2], 2);
        EXPECT_EQ(x[3], 7);
        EXPECT_TRUE(*z.A == before);
        EXPECT_TRUE(z.b == rhsBefore);

        x.fill(5);
        solve(*z.A, x, z.b, 0);
        EXPECT_EQ(x[1], 5);
    }
}

TEST(SolveLinEq, ZeroPivotRaisesTheErrorOfTheFirstDivision) {
    for (const auto& solve : Solvers) {
        System s;
        (*s.A)[1][1] = 1, (*s.A)[1][2] = 1, (*s.A)[2][1] = 1, (*s.A)[2][2] = 1;
        TVector x{};
        x.fill(3);
        s.b[1] = 1, s.b[2] = 2;
        try {
            solve(*s.A, x, s.b, 2);
            ADD_FAILURE() << "no error";
        } catch (const FloatError& e) {
            EXPECT_EQ(e.kind(), FloatError::Kind::DivideByZero);
            EXPECT_STREQ(e.what(), "Floating point division by zero");
        }
        s.b[2] = 1;
        try {
            solve(*s.A, x, s.b, 2);
            ADD_FAILURE() << "no error";
        } catch (const FloatError& e) {
            EXPECT_EQ(e.kind(), FloatError::Kind::InvalidOperation);
            EXPECT_STREQ(e.what(), "Invalid floating point operation");
        }
        EXPECT_EQ(x[1], 3);
        EXPECT_EQ(x[2], 3);

        // A zero first column: the first division is that of column 2.
        System c;
        (*c.A)[1][2] = 1, (*c.A)[2][2] = 2;
        c.b[1] = 0, c.b[2] = 0;
        EXPECT_THROW(solve(*c.A, x, c.b, 2), FloatError);
    }
}

TEST(SolveLinEq, OverflowIsRaised) {
    for (const auto& solve : Solvers) {
        System s;
        (*s.A)[1][1] = 1e-300;
        s.b[1] = 1e300;
        TVector x{};
        try {
            solve(*s.A, x, s.b, 1);
            ADD_FAILURE() << "no error";
        } catch (const FloatError& e) {
            EXPECT_EQ(e.kind(), FloatError::Kind::Overflow);
            EXPECT_STREQ(e.what(), "Floating point overflow");
        }
    }
}

// The fast solver must give the literal algorithm's solutions bit for bit.
TEST(SolveLinEq, FastMatchesLiteralOnRandomSystems) {
    std::mt19937_64 random(20081);
    std::uniform_real_distribution<double> value(-10, 10);
    std::uniform_int_distribution<int> order(1, MaxNodes);
    for (int trial = 0; trial < 400; ++trial) {
        const int n = trial < 10 ? MaxNodes : order(random);
        System s;
        const int kind = trial % 4;
        std::uniform_int_distribution<int> small(-2, 2);
        for (int i = 1; i <= n; ++i) {
            for (int j = 1; j <= n; ++j) {
                const bool band = std::abs(i - j) <= 1;
                if (kind == 0 && band)
                    (*s.A)[i][j] = value(random); // tridiagonal, pivots anywhere
                else if (kind == 1)
                    (*s.A)[i][j] = value(random); // dense
                else if (kind == 2 && (band || random() % 7 == 0))
                    (*s.A)[i][j] = random() % 5 == 0 ? 0 : value(random); // sparse
                else if (kind == 3 && (band || random() % 3 == 0))
                    (*s.A)[i][j] = small(random); // pivot ties and exact cancellations
            }
            (*s.A)[i][n + 1] = value(random);
            s.b[i] = random() % 4 == 0 ? 0 : value(random);
        }
        TVector fast{}, literal{};
        bool fastFailed = false, literalFailed = false;
        FloatError::Kind fastKind{}, literalKind{};
        try {
            SolveLinEq(*s.A, fast, s.b, n);
        } catch (const FloatError& e) {
            fastFailed = true, fastKind = e.kind();
        }
        try {
            SolveLinEqLiteral(*s.A, literal, s.b, n);
        } catch (const FloatError& e) {
            literalFailed = true, literalKind = e.kind();
        }
        ASSERT_EQ(fastFailed, literalFailed) << "trial " << trial;
        if (fastFailed)
            EXPECT_EQ(fastKind, literalKind);
        else
            ExpectSameSolution(fast, literal, n, "trial " + std::to_string(trial));
    }
}

} // namespace
} // namespace korvane
