#include "BandSolve.h"
#include "FloatError.h"
#include "LiteralSolver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <random>

namespace korvane {
namespace {

struct Band {
    int n = 0;
    TVector lower{}, diag{}, upper{}, b{};

    std::unique_ptr<TMatrix> Dense() const {
        auto A = std::make_unique<TMatrix>();
        DenseFromBand(lower, diag, upper, n, *A);
        return A;
    }
};

struct Outcome {
    std::optional<FloatError::Kind> fault;
    TVector x{};
};

template <typename Solve> Outcome Capture(Solve&& solve) {
    Outcome out;
    out.x.fill(-7.5);
    try {
        solve(out.x);
    } catch (const FloatError& e) {
        out.fault = e.kind();
    }
    return out;
}

Outcome Literal(const Band& s) {
    const auto A = s.Dense();
    return Capture([&](TVector& x) { testing::SolveLinEqLiteral(*A, x, s.b, s.n); });
}

Outcome BandPath(const Band& s, BandSolveStats* stats = nullptr) {
    return Capture(
        [&](TVector& x) { SolveLinEqBand(s.lower, s.diag, s.upper, x, s.b, s.n, stats); });
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The band path's own solutions are the literal ones bit for bit. Where it
// handed the system on, the general solver's are, up to the sign of a zero.
void ExpectSame(const Outcome& band, const Outcome& literal, bool fellBack, int n,
                const std::string& what) {
    ASSERT_EQ(band.fault.has_value(), literal.fault.has_value()) << what;
    if (band.fault) {
        EXPECT_EQ(*band.fault, *literal.fault) << what;
        for (int i = 1; i <= n; ++i)
            ASSERT_EQ(band.x[i], -7.5) << what << ": solution written before a fault";
        return;
    }
    for (int i = 1; i <= n + 1 && i <= MaxNodes; ++i) {
        if (fellBack && band.x[i] == 0 && literal.x[i] == 0)
            continue;
        ASSERT_TRUE(SameBits(band.x[i], literal.x[i]))
            << what << ": x[" << i << "] " << band.x[i] << " vs " << literal.x[i];
    }
}

// Systems shaped like the march's and not, each kind with its own generator.
class Systems {
  public:
    explicit Systems(std::uint64_t seed) : random_(seed) {}

    int Order() {
        // Mostly small (the literal algorithm is cubic), now and then full size.
        if (Chance(20))
            return MaxNodes;
        return std::uniform_int_distribution<int>(1, 24)(random_);
    }

    // The march: faces with Biot numbers, interior rows (-F/2, 1 + F, -F/2);
    // F beyond 2(1 + Bi) makes the first rows travel down by exchanges.
    Band March(int n) {
        Band s;
        s.n = n;
        const double F = std::pow(10.0, Uniform(-3, 4));
        const double bi1 = Chance(8) ? 0.0 : std::pow(10.0, Uniform(-5, 1));
        const double bi2 = std::pow(10.0, Uniform(-5, 1));
        s.diag[1] = 1 + bi1, s.upper[1] = -1, s.b[1] = bi1 * Uniform(-50, 1500);
        for (int i = 2; i < n; ++i) {
            s.lower[i] = -F / 2, s.diag[i] = 1 + F, s.upper[i] = -F / 2;
            s.b[i] = Uniform(-50, 1500);
        }
        if (n > 1)
            s.lower[n] = -1, s.diag[n] = 1 + bi2, s.b[n] = bi2 * Uniform(-50, 1500);
        return s;
    }

    // Every entry random: pivots anywhere, fills of any value.
    Band Random(int n) {
        return Fill(n, [&] { return Uniform(-10, 10); });
    }

    // Small diagonals: the row below wins most pivot searches.
    Band NonDominant(int n) {
        Band s = Fill(n, [&] { return Uniform(-100, 100); });
        for (int i = 1; i <= n; ++i)
            s.diag[i] = Uniform(-1, 1);
        return s;
    }

    // Small integers: ties in the pivot search, exact cancellations, zeros.
    Band Integers(int n) {
        return Fill(n, [&] {
            return static_cast<double>(std::uniform_int_distribution<int>(-2, 2)(random_));
        });
    }

    // Zeros (of both signs) here and there on the band and in the right-hand side.
    Band Zeros(int n) {
        return Fill(n, [&] {
            const int pick = std::uniform_int_distribution<int>(0, 5)(random_);
            return pick == 0 ? 0.0 : pick == 1 ? -0.0 : Uniform(-3, 3);
        });
    }

    // Any exponent: overflow, subnormal results and, rarely, values that are
    // not finite.
    Band Extreme(int n) {
        return Fill(n, [&] {
            if (Chance(400))
                return Chance(2) ? std::numeric_limits<double>::infinity()
                                 : std::numeric_limits<double>::quiet_NaN();
            const double v = std::ldexp(Uniform(0.5, 1),
                                        std::uniform_int_distribution<int>(-1074, 1023)(random_));
            return Chance(2) ? -v : v;
        });
    }

    // Exponents within a few hundred of one another: large growth and
    // subnormal fills without the wholesale overflow of Extreme.
    Band Wide(int n) {
        return Fill(n, [&] {
            const double v =
                std::ldexp(Uniform(0.5, 1), std::uniform_int_distribution<int>(-300, 300)(random_));
            return Chance(2) ? -v : v;
        });
    }

    // Strictly dominant diagonals: no exchanges, multipliers that shrink, rows that settle.
    Band Dominant(int n) {
        Band s = Fill(n, [&] { return Uniform(-1, 1); });
        for (int i = 1; i <= n; ++i)
            s.diag[i] = (Chance(2) ? -1 : 1) * Uniform(2.5, 6);
        return s;
    }

    bool Chance(int oneIn) {
        return std::uniform_int_distribution<int>(0, oneIn - 1)(random_) == 0;
    }
    double Uniform(double a, double b) {
        return std::uniform_real_distribution<double>(a, b)(random_);
    }

  private:
    template <typename Value> Band Fill(int n, Value&& value) {
        Band s;
        s.n = n;
        for (int i = 1; i <= n; ++i) {
            if (i > 1)
                s.lower[i] = value();
            s.diag[i] = value();
            if (i < n)
                s.upper[i] = value();
            s.b[i] = value();
        }
        return s;
    }
    std::mt19937_64 random_;
};

TEST(SolveLinEqBand, MatchesTheLiteralAlgorithmOnEveryKindOfSystem) {
    Systems systems(0x5eed10);
    struct Tally {
        int solved = 0, faults = 0, exchanges = 0, noExchanges = 0, settled = 0, fellBack = 0;
    } tally;
    using Make = Band (Systems::*)(int);
    const std::pair<const char*, Make> kinds[] = {
        {"march", &Systems::March},
        {"random", &Systems::Random},
        {"non-dominant", &Systems::NonDominant},
        {"integers", &Systems::Integers},
        {"zeros", &Systems::Zeros},
        {"extreme", &Systems::Extreme},
        {"wide", &Systems::Wide},
        {"dominant", &Systems::Dominant},
    };
    for (int trial = 0; trial < 32000; ++trial) {
        const auto& [name, make] = kinds[trial % std::size(kinds)];
        const Band s = (systems.*make)(systems.Order());
        BandSolveStats stats;
        const Outcome band = BandPath(s, &stats);
        const Outcome literal = Literal(s);
        ExpectSame(band, literal, stats.fellBack, s.n,
                   std::string(name) + " trial " + std::to_string(trial) + " n " +
                       std::to_string(s.n));
        if (::testing::Test::HasFatalFailure())
            return;
        tally.solved += !band.fault;
        tally.faults += band.fault.has_value();
        tally.fellBack += stats.fellBack;
        if (!stats.fellBack) {
            tally.exchanges += stats.exchanges > 0;
            tally.noExchanges += stats.exchanges == 0 && s.n > 1;
            tally.settled += stats.settledRows > 0;
        }
    }
    // Each path had its share.
    EXPECT_GT(tally.solved, 20000);
    EXPECT_GT(tally.faults, 1000);
    EXPECT_GT(tally.exchanges, 10000);
    EXPECT_GT(tally.noExchanges, 3000);
    EXPECT_GT(tally.settled, 100);
    EXPECT_GT(tally.fellBack, 2000);
}

TEST(SolveLinEqBand, TheMarchAtFullSizeExchangesRowsAndStaysOnTheBandPath) {
    Systems systems(7);
    for (const double F : {617.0, 2.5, 0.01}) {
        Band s = systems.March(MaxNodes);
        for (int i = 2; i < MaxNodes; ++i)
            s.lower[i] = s.upper[i] = -F / 2, s.diag[i] = 1 + F;
        s.diag[1] = 1 + 1.08e-4, s.b[1] = 1.08e-4 * 30;
        BandSolveStats stats;
        const Outcome band = BandPath(s, &stats);
        EXPECT_FALSE(stats.fellBack);
        ExpectSame(band, Literal(s), false, s.n, "F " + std::to_string(F));
        if (F > 100) {
            EXPECT_EQ(stats.exchanges, 99);
        } else if (F < 1) {
            EXPECT_EQ(stats.exchanges, 0);
            EXPECT_GT(stats.settledRows, 20);
        }
    }
}

// The march's interior rows are alike only while their coefficients are: a
// row that differs (another material, a rounding apart) ends the alike steps
// wherever it sits.
TEST(SolveLinEqBand, AlikeStepsEndAtTheFirstRowThatDiffers) {
    Systems systems(8);
    for (const int odd : {2, 3, 50, 99, 100}) {
        for (const double change : {1e-13, 7.0}) {
            Band s = systems.March(MaxNodes);
            for (int i = 2; i < MaxNodes; ++i)
                s.lower[i] = s.upper[i] = -308.5, s.diag[i] = 618;
            s.diag[odd] *= 1 + change;
            BandSolveStats stats;
            const Outcome band = BandPath(s, &stats);
            EXPECT_FALSE(stats.fellBack);
            ExpectSame(band, Literal(s), false, s.n,
                       "row " + std::to_string(odd) + " by " + std::to_string(change));
        }
    }
}

TEST(SolveLinEqBand, RaisesTheFaultsOfTheLiteralAlgorithm) {
    struct Case {
        double d1, u1, l2, d2, b1, b2;
        FloatError::Kind kind;
    };
    const Case cases[] = {
        // Singular: the last pivot is 0, its augmented entry 1 (then 0).
        {1, 1, 1, 1, 1, 2, FloatError::Kind::DivideByZero},
        {1, 1, 1, 1, 1, 1, FloatError::Kind::InvalidOperation},
        // The first division overflows before the zero pivot of step 2 is met.
        {1e-300, 1e10, 0, 0, 1, 1, FloatError::Kind::Overflow},
        {1e-300, 1, 0, 0, 1e300, 1, FloatError::Kind::Overflow},
    };
    for (const auto& c : cases) {
        Band s;
        s.n = 2;
        s.diag[1] = c.d1, s.upper[1] = c.u1, s.lower[2] = c.l2, s.diag[2] = c.d2;
        s.b[1] = c.b1, s.b[2] = c.b2;
        const Outcome band = BandPath(s);
        ASSERT_TRUE(band.fault.has_value());
        EXPECT_EQ(*band.fault, c.kind);
        EXPECT_EQ(*Literal(s).fault, c.kind);
        const auto A = s.Dense();
        const Outcome general = Capture([&](TVector& x) { SolveLinEq(*A, x, s.b, 2); });
        ASSERT_TRUE(general.fault.has_value());
        EXPECT_EQ(*general.fault, c.kind);
        EXPECT_EQ(band.x[1], -7.5);
    }
}

TEST(SolveLinEqBand, OrderZeroAndOne) {
    Band s;
    s.n = 1;
    s.diag[1] = 4, s.b[1] = 2;
    Outcome one = BandPath(s);
    EXPECT_EQ(one.x[1], 0.5);
    EXPECT_EQ(one.x[2], -7.5);
    s.n = 0;
    Outcome none = BandPath(s);
    EXPECT_EQ(none.x[1], -7.5);
}

#ifndef NDEBUG
TEST(SolveLinEqDeathTest, AnOrderAboveMaxNodesIsRefused) {
    const auto A = std::make_unique<TMatrix>();
    TVector x{}, b{};
    EXPECT_DEATH(SolveLinEq(*A, x, b, MaxNodes + 1), "MaxNodes");
    EXPECT_DEATH(SolveLinEqBand(b, b, b, x, b, MaxNodes + 1), "MaxNodes");
}
#endif

// The settled-row bound at its edge: an update of at most |x| 2^-57 leaves
// every double x as it is, at extended precision and stored, of either sign
// and next to a power of two; one of 2^-53 (the spacing below a power of two)
// does not. The test for a settled row takes exactly the bound and no more.
TEST(SettledRows, AnUpdateWithinTheBoundLeavesTheValue) {
    std::mt19937_64 random(57);
    std::vector<double> values = {1.0, -1.0, 0x1p-840, 0x1.fffffffffffffp+900, 300.0, -0.1};
    for (int e = -800; e <= 1000; e += 37) {
        values.push_back(std::ldexp(1.0, e));
        values.push_back(std::nextafter(std::ldexp(1.0, e), 0.0));
        values.push_back(std::nextafter(std::ldexp(1.0, e), INFINITY));
        values.push_back(std::ldexp(std::uniform_real_distribution<double>(1, 2)(random), e));
    }
    const auto update = [](double x, double u, double p) {
        return static_cast<double>(static_cast<long double>(x) - static_cast<long double>(u) * p);
    };
    for (const double x : values) {
        const long double edge = std::fabs(static_cast<long double>(x)) * band::SettledShare;
        EXPECT_TRUE(band::IsSettled(edge, x)) << x;
        EXPECT_FALSE(band::IsSettled(std::nextafter(edge, HUGE_VALL), x)) << x;
        // Products right at the edge, exact and rounded, both signs.
        const double d = static_cast<double>(edge);
        for (const double p : {1.0, 3.0, -0.7, 1e-30}) {
            const double u = d / p;
            const double product = static_cast<double>(static_cast<long double>(u) * p);
            if (std::fabs(product) > d)
                continue;
            EXPECT_EQ(update(x, u, p), x) << x << " " << p;
            EXPECT_EQ(update(x, -u, p), x) << x << " " << p;
        }
    }
    // Where the bound's reasoning is tight: 2^-53 below a power of two moves it.
    for (int e = -800; e <= 1000; e += 101) {
        const double x = std::ldexp(1.0, e);
        EXPECT_NE(update(x, std::ldexp(1.0, e - 53) * (1 + 0x1p-20), 1.0), x) << e;
    }
    EXPECT_FALSE(band::IsSettled(0, 0x1p-841));
    EXPECT_FALSE(band::IsSettled(0, 0.0));
}

// A row settles only when its bound allows; where the systems are built so
// that rows settle near the end, the result is still the literal one.
TEST(SettledRows, SettlingNeverChangesASolution) {
    Systems systems(11);
    int settledSystems = 0;
    for (int trial = 0; trial < 300; ++trial) {
        Band s = systems.Dominant(MaxNodes - trial % 40);
        // Shrinking right-hand sides: late pivot rows matter less and less.
        for (int i = 1; i <= s.n; ++i)
            s.b[i] *= std::ldexp(1.0, -i / 2);
        BandSolveStats stats;
        const Outcome band = BandPath(s, &stats);
        ExpectSame(band, Literal(s), stats.fellBack, s.n, "trial " + std::to_string(trial));
        if (::testing::Test::HasFatalFailure())
            return;
        settledSystems += stats.settledRows > 0;
    }
    EXPECT_GT(settledSystems, 250);
}

} // namespace
} // namespace korvane
