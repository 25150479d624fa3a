#include "ExactSlab.h"
#include "RunFixtures.h"
#include "ZoneMetrics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace korvane {
namespace {

using korvane::testing::DefaultInput;

constexpr double Pi = std::numbers::pi;

// A slab of unit thickness, conductivity and heat capacity: Biot numbers are
// the coefficients and tau the time in seconds.
TCalcInput UnitSlab(double h1, double h2, double initial, double ambient1, double ambient2) {
    TCalcInput in;
    in.Density = in.SpecificHeat = in.Conductivity = in.Thickness = 1;
    in.Speed = 0.6; // 1 cm/s
    in.DeltaZ = 0.001;
    in.LayerCount = 10;
    in.InitialTemp = initial;
    in.ZoneCount = 1;
    in.Zones[1] = {h1, h2, ambient1, ambient2, 10};
    return in;
}

TEST(ExactSlab, EigenvaluesLieOneInEachIntervalAndSolveTheirEquation) {
    const std::pair<double, double> biots[] = {{0.0108, 1.95}, {2, 2},   {0, 1.95},     {1.95, 0},
                                               {1e-9, 0},      {1e3, 3}, {1e-12, 1e-12}};
    for (const auto& [B1, B2] : biots) {
        const auto mu = SlabEigenvalues(B1, B2, 400);
        ASSERT_EQ(mu.size(), 400u);
        for (std::size_t n = 1; n <= mu.size(); ++n) {
            const double m = mu[n - 1];
            // Near-insulated faces put a root within rounding of the interval's start.
            ASSERT_GE(m, (n - 1) * Pi) << B1 << " " << B2 << " root " << n;
            ASSERT_LT(m, n * Pi) << B1 << " " << B2 << " root " << n;
            // The pole-free form of tan mu = mu (B1 + B2) / (mu^2 - B1 B2).
            const double f = (m * m - B1 * B2) * std::sin(m) - m * (B1 + B2) * std::cos(m);
            EXPECT_NEAR(f, 0, 1e-12 * (m * m + B1 * B2 + m * (B1 + B2)))
                << B1 << " " << B2 << " root " << n;
        }
    }
    EXPECT_NEAR(SlabEigenvalues(1e-8, 1e-8, 1)[0], std::sqrt(2e-8), 1e-12);
    const auto insulated = SlabEigenvalues(0, 0, 3);
    EXPECT_EQ(insulated, (std::vector<double>{Pi, 2 * Pi, 3 * Pi}));
}

TEST(ExactSlab, MatchesThePublishedOneTermConstants) {
    // Bi = 1 on the half thickness is B = 2 on the whole: zeta1 = 0.8603, C1 = 1.1191.
    const ExactSlab exact(UnitSlab(2, 2, 1, 0, 0), {10});
    const SlabSeries& s = exact.Series(0);
    const double mu1 = s.Mu[0];
    EXPECT_NEAR(mu1 / 2, 0.8603, 5e-5);
    const double centre = s.Coef[0] * (mu1 * std::cos(mu1 / 2) + s.B1 * std::sin(mu1 / 2));
    EXPECT_NEAR(centre, 1.1191, 5e-5);
    // The first term's shape is cos(zeta1 x / L) from the centre plane.
    for (double xi : {0.0, 0.2, 0.7, 1.0}) {
        const double X = mu1 * std::cos(mu1 * xi) + s.B1 * std::sin(mu1 * xi);
        EXPECT_NEAR(s.Coef[0] * X / centre, std::cos(mu1 / 2 * (2 * xi - 1)), 1e-12);
    }
    // From Fo = 0.2 on the one-term form holds; Fo = 4 tau.
    for (double fo : {0.5, 1.0, 2.0}) {
        const double oneTerm = 1.1191 * std::exp(-0.8603 * 0.8603 * fo);
        EXPECT_NEAR(exact.Temperature(0, 0.5, fo / 4), oneTerm, 1e-3) << "Fo " << fo;
    }
}

TEST(ExactSlab, KeepsTheEnergyBalance) {
    // The default film: zone 1 uneven, zone 2 from zone 1's exit, zone 3 nearly insulated.
    auto in = DefaultInput("");
    in.Zones[3] = {0, 0.0005, 30, 30, 20}; // face 1 insulated
    const double v = 45, rhoCH = in.Density * in.SpecificHeat * in.Thickness;
    const ExactSlab exact(in, {10 / v, 10 / v, 20 / v});
    ASSERT_EQ(exact.SolvedZones(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
        const TZoneInput& z = in.Zones[k + 1];
        for (double t : {0.004, 0.02, 0.1, 0.2}) {
            const double dt = 1e-5;
            const double rate = (exact.Mean(k, t + dt) - exact.Mean(k, t - dt)) / (2 * dt);
            const double face1 = exact.Temperature(k, 0, t);
            const double face2 = exact.Temperature(k, in.Thickness, t);
            const double flux =
                (z.Htc1 * (z.OuterTemp1 - face1) + z.Htc2 * (z.OuterTemp2 - face2)) / rhoCH;
            EXPECT_NEAR(rate, flux, 1e-4 * std::abs(flux) + 0.05) << "zone " << k + 1 << " t " << t;
        }
    }
}

TEST(ExactSlab, InsulatedFacesAndTheHandOver) {
    auto in = DefaultInput("");
    in.ZoneCount = 4;
    in.Zones[2] = {0, 0, 500, 500, 10};      // both insulated: relaxes to its mean
    in.Zones[3] = {0, 0.09, 900, 20, 10};    // face 1 insulated
    in.Zones[4] = {0.09, 0.09, 50, 50, 0.2}; // too short for one step
    const double v = 45;
    const ExactSlab exact(in, {10 / v, 10 / v, 1e3, 0});
    ASSERT_EQ(exact.SolvedZones(), 4u);
    const double H = in.Thickness;
    // Each zone starts where the zone before handed over.
    for (std::size_t k = 1; k < 3; ++k)
        for (double x : {0.0, H / 3, H})
            EXPECT_NEAR(exact.Temperature(k, x, 0), exact.Temperature(k - 1, x, 10 / v), 1e-3);
    const double mean1 = exact.Mean(0, 10 / v);
    for (double t : {0.001, 0.05, 5.0})
        EXPECT_NEAR(exact.Mean(1, t), mean1, 1e-3);
    for (double x : {0.0, H / 2, H})
        EXPECT_NEAR(exact.Temperature(1, x, 5.0), mean1, 1e-3);
    // No heat crosses face 1 of zone 3; after long enough it is all at face 2's ambient.
    const double dx = H * 1e-4;
    const double t3 = 0.05;
    EXPECT_NEAR((exact.Temperature(2, dx, t3) - exact.Temperature(2, 0, t3)) / dx, 0,
                1e-3 * std::abs(exact.Temperature(2, H, t3) - exact.Temperature(2, H - dx, t3)) /
                    dx);
    EXPECT_NEAR(exact.Temperature(2, 0, 1e3), 20, 1e-3);
    // A zone handed over at its entry starts from the previous zone's start.
    EXPECT_NEAR(exact.Temperature(3, H / 2, 0), exact.Temperature(2, H / 2, 1e3), 1e-3);
}

TEST(ExactSlab, ShortTimesAgreeWithTheSemiInfiniteSolid) {
    // At tau = 1e-6 heat has reached 0.5 % of the thickness: each face is the
    // face of a semi-infinite solid, 1 - exp(b^2) erfc(b) of the way to its
    // ambient with b = h sqrt(alpha t) / k, and the middle is untouched.
    auto in = DefaultInput("");
    in.Thickness = 1;
    in.DeltaZ = 0.01;
    const double alpha = in.Conductivity / (in.Density * in.SpecificHeat);
    const double t = 1e-6 / alpha;
    const ExactSlab exact(in, {t});
    const auto face = [&](double h, double ambient) {
        const double b = h * std::sqrt(alpha * t) / in.Conductivity;
        return 300 + (ambient - 300) * (1 - std::exp(b * b) * std::erfc(b));
    };
    EXPECT_NEAR(exact.Temperature(0, 0, t), face(0.0005, 30), 1e-3);
    EXPECT_NEAR(exact.Temperature(0, 1, t), face(0.09, 50), 1e-3);
    EXPECT_LT(std::abs(exact.Temperature(0, 1, t) - 300), 40.0);
    EXPECT_NEAR(exact.Temperature(0, 0.5, t), 300, 1e-3);
}

TEST(ExactSlab, NegativeCoefficientEndsTheExactRun) {
    auto in = DefaultInput("");
    in.Zones[2].Htc1 = -0.01;
    const auto run = ComputeRun(in);
    const auto exact = ExactAlongRun(run);
    ASSERT_EQ(exact.size(), 3u);
    ASSERT_TRUE(exact[0].has_value());
    EXPECT_EQ(exact[0]->size(), run.Zones[0].Rows.size());
    EXPECT_FALSE(exact[1].has_value());
    EXPECT_FALSE(exact[2].has_value());
}

// The distances the scheme keeps from the exact solution over the default film.
TEST(ExactSlab, SchemeApproachesItWithLayersAndSmallerSteps) {
    struct Case {
        std::int32_t layers;
        double deltaZ;
        double faces, interior, mean; // zone 1's largest distances, within 10 %
    };
    const Case cases[] = {
        {10, 0.5, 16.0, 21.9, 7.62}, {10, 0.05, 11.3, 10.5, 8.05}, {100, 0.05, 11.5, 5.49, 1.23}};
    for (const auto& c : cases) {
        auto in = DefaultInput("");
        in.LayerCount = c.layers;
        in.DeltaZ = c.deltaZ;
        const auto run = ComputeRun(in);
        const auto metrics = ComputeMetrics(run, ExactAlongRun(run));
        ASSERT_EQ(metrics.size(), 3u);
        ASSERT_TRUE(metrics[0].Exact.has_value());
        const ExactMetrics& e = *metrics[0].Exact;
        EXPECT_NEAR(e.MaxErrorFaces, c.faces, 0.1 * c.faces) << c.layers << "/" << c.deltaZ;
        EXPECT_NEAR(e.MaxErrorInterior, c.interior, 0.1 * c.interior)
            << c.layers << "/" << c.deltaZ;
        EXPECT_NEAR(e.MaxErrorMean, c.mean, 0.1 * c.mean) << c.layers << "/" << c.deltaZ;
        if (c.layers == 100) {
            // Later zones come closer still.
            for (std::size_t k = 1; k < 3; ++k) {
                EXPECT_LT(metrics[k].Exact->MaxErrorMean, 1.2);
                EXPECT_LT(metrics[k].Exact->MaxErrorInterior, 1.0);
            }
        }
    }
}

} // namespace
} // namespace korvane
