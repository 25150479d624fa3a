#pragma once

#include "RunHistory.h"

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

namespace korvane {

// Temperature of the slab 0 <= xi <= 1 with Biot numbers B1, B2 (on the whole
// thickness) in dimensionless time tau = alpha t / H^2:
//   T = SteadyA + SteadySlope xi + sum Coef[n] exp(-Mu[n]^2 tau) (Mu[n] cos Mu[n] xi + B1 sin Mu[n]
//   xi)
// The start profile (tau = 0) is kept apart: the series converges badly there.
struct SlabSeries {
    double B1 = 0, B2 = 0;
    double SteadyA = 0, SteadySlope = 0;
    std::vector<double> Mu, Coef;
    double Spread = 0;         // bound of |start profile - steady profile|; sets the term count
    double Tolerance = 0.0005; // of each evaluated sum, C

    // Terms that bring the sum within Tolerance of its limit at tau (> 0).
    std::size_t TermsFor(double tau) const;
    double At(double xi, double tau) const; // tau > 0
    double MeanAt(double tau) const;        // tau > 0
};

// The first count positive roots of tan mu = mu (B1 + B2) / (mu^2 - B1 B2),
// one in each ((n - 1) pi, n pi); B1, B2 >= 0. Both zero gives n pi.
std::vector<double> SlabEigenvalues(double B1, double B2, std::size_t count);

// How closely the series are summed. The defaults keep a value within 0.001 C
// of the exact solution from one step after a zone's entry on; a fit asks for
// far less, so that the term counts, which change in steps with the inputs,
// leave no steps in the model's derivatives.
struct ExactOptions {
    double SumTolerance = 0.0005; // C, of each sum and of each hand-over profile
    double MinTime = 0;           // s after a zone's entry looked at; 0: one step
};

// The exact solution of a whole run: zone 1 starts uniform at InitialTemp,
// each later zone from the exact profile where the zone before handed over.
class ExactSlab {
  public:
    // zoneTimes[i]: seconds the plate spends in zone i + 1 up to its hand-over.
    ExactSlab(const TCalcInput& input, const std::vector<double>& zoneTimes,
              const ExactOptions& options = {});
    ~ExactSlab();
    ExactSlab(ExactSlab&&) noexcept;
    ExactSlab& operator=(ExactSlab&&) noexcept;

    // Zones (from zone 1) that have an exact solution; a zone with a negative
    // coefficient ends them.
    std::size_t SolvedZones() const;
    // zone is 0-based; x in cm from face 1 (0..Thickness), t in s since the zone's entry.
    double Temperature(std::size_t zone, double x, double t) const;
    double Mean(std::size_t zone, double t) const;
    const SlabSeries& Series(std::size_t zone) const;

  private:
    struct Zone;
    std::vector<Zone> zones_;
    double thickness_ = 0;
    double diffusivity_ = 0;
};

// The exact solution for a run's inputs, handing over at each zone's last recorded row.
ExactSlab ExactFor(const RunHistory& run);

// The exact values at a row's points, shaped like HistoryRow.
struct ExactRow {
    PointValues Points{};
    double Mean = 0;
};

// Per zone of the run and per recorded row; std::nullopt for a zone without
// an exact solution.
using ExactRun = std::vector<std::optional<std::vector<ExactRow>>>;
ExactRun ExactAlongRun(const RunHistory& run);
ExactRun ExactAlongRun(const RunHistory& run, const ExactSlab& exact);

} // namespace korvane
