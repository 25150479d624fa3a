#include "ExactSlab.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace korvane {

namespace {

constexpr double Pi = std::numbers::pi;

// A tau of 1e-6 needs about 1200 terms; below about 4e-9 (a thick plate at high
// speed) the first steps get fewer terms than the tolerance asks.
constexpr std::size_t MaxTerms = 20000;

// sin x / x
double Sinc(double x) {
    return std::abs(x) < 1e-4 ? 1 - x * x / 6 : std::sin(x) / x;
}

// (1 - cos x) / x, without the cancellation near 0
double Cosc(double x) {
    if (x == 0)
        return 0;
    const double s = std::sin(x / 2);
    return 2 * s * s / x;
}

// Integral over 0..1 of xi cos(x xi)
double XiCos(double x) {
    if (std::abs(x) < 1e-3)
        return 0.5 - x * x / 8 + x * x * x * x / 144;
    return std::sin(x) / x + (std::cos(x) - 1) / (x * x);
}

// Integral over 0..1 of xi sin(x xi)
double XiSin(double x) {
    if (std::abs(x) < 1e-3)
        return x / 3 - x * x * x / 30 + x * x * x * x * x / 840;
    return (std::sin(x) - x * std::cos(x)) / (x * x);
}

// Integrals over 0..1 of the eigenfunction X = mu cos(mu xi) + B1 sin(mu xi) times 1, xi, X.
double IntegralX(double mu, double B1) {
    return mu * Sinc(mu) + B1 * Cosc(mu);
}
double IntegralXiX(double mu, double B1) {
    return mu * XiCos(mu) + B1 * XiSin(mu);
}
double NormX(double mu, double B1, double B2) {
    const double mu2 = mu * mu;
    return ((mu2 + B1 * B1) * (1 + B2 / (mu2 + B2 * B2)) + B1) / 2;
}

// Integral over 0..1 of (a cos a xi + A1 sin a xi)(b cos b xi + B1 sin b xi).
double IntegralXX(double a, double A1, double b, double B1) {
    const double cc = (Sinc(a - b) + Sinc(a + b)) / 2;
    const double ss = (Sinc(a - b) - Sinc(a + b)) / 2;
    const double sc = (Cosc(a + b) + Cosc(a - b)) / 2; // sin a, cos b
    const double cs = (Cosc(a + b) + Cosc(b - a)) / 2; // cos a, sin b
    return a * b * cc + a * B1 * cs + A1 * b * sc + A1 * B1 * ss;
}

// The root in ((n - 1) pi, n pi), found as mu = (n - 1) pi + d by bisection on
// (mu^2 - B1 B2) sin d - mu (B1 + B2) cos d, which has the sign of
// (mu^2 - B1 B2) sin mu - mu (B1 + B2) cos mu times (-1)^(n-1) and no poles:
// negative at d = 0 and positive at d = pi. For n = 1 it is divided by d,
// which leaves -(B1 + B2 + B1 B2) < 0 at 0.
double Eigenvalue(std::size_t n, double B1, double B2) {
    const double base = static_cast<double>(n - 1) * Pi;
    const double product = B1 * B2, sum = B1 + B2;
    const auto f = [&](double d) {
        const double mu = base + d;
        if (n == 1)
            return (mu * mu - product) * Sinc(d) - sum * std::cos(d);
        return (mu * mu - product) * std::sin(d) - mu * sum * std::cos(d);
    };
    double lo = 0, hi = Pi;
    for (int i = 0; i < 2000; ++i) {
        const double mid = lo + (hi - lo) / 2;
        if (mid <= lo || mid >= hi)
            break;
        (f(mid) < 0 ? lo : hi) = mid;
    }
    return base + lo + (hi - lo) / 2;
}

// A profile through the thickness: A + Slope xi + sum Amp[m] X_m(xi), with
// X_m built from Mu[m] and B1 as in SlabSeries.
struct Profile {
    double A = 0, Slope = 0, B1 = 0;
    std::vector<double> Mu, Amp;

    double At(double xi) const {
        double sum = A + Slope * xi;
        for (std::size_t m = 0; m < Mu.size(); ++m)
            sum += Amp[m] * (Mu[m] * std::cos(Mu[m] * xi) + B1 * std::sin(Mu[m] * xi));
        return sum;
    }
    double Mean() const {
        double sum = A + Slope / 2;
        for (std::size_t m = 0; m < Mu.size(); ++m)
            sum += Amp[m] * IntegralX(Mu[m], B1);
        return sum;
    }
};

// The series at tau frozen into a profile (the start of the next zone); it
// carries the series' tolerance, so by default a value is within 0.001 C of
// the exact solution.
Profile Frozen(const SlabSeries& s, double tau) {
    Profile p{s.SteadyA, s.SteadySlope, s.B1, {}, {}};
    const std::size_t terms = std::min(s.TermsFor(tau), s.Mu.size());
    for (std::size_t n = 0; n < terms; ++n) {
        p.Mu.push_back(s.Mu[n]);
        p.Amp.push_back(s.Coef[n] * std::exp(-s.Mu[n] * s.Mu[n] * tau));
    }
    return p;
}

// The zone's series from its start profile; terms enough for minTau.
SlabSeries SeriesFrom(const Profile& start, double B1, double B2, double T1, double T2,
                      double spread, double tolerance, double minTau) {
    SlabSeries s;
    s.B1 = B1;
    s.B2 = B2;
    s.Spread = spread;
    s.Tolerance = tolerance;
    if (B1 == 0 && B2 == 0) {
        s.SteadyA = start.Mean(); // both faces insulated: the profile relaxes to its mean
    } else {
        const double d = B1 + B2 + B1 * B2;
        s.SteadyA = (B1 * T1 * (1 + B2) + B2 * T2) / d;
        s.SteadySlope = B1 * B2 * (T2 - T1) / d;
    }
    const std::size_t terms = s.TermsFor(minTau);
    s.Mu = SlabEigenvalues(B1, B2, terms);
    s.Coef.resize(terms);
    const double a = start.A - s.SteadyA, slope = start.Slope - s.SteadySlope;
    for (std::size_t n = 0; n < terms; ++n) {
        const double mu = s.Mu[n];
        double inner = a * IntegralX(mu, B1) + slope * IntegralXiX(mu, B1);
        for (std::size_t m = 0; m < start.Mu.size(); ++m)
            inner += start.Amp[m] * IntegralXX(start.Mu[m], start.B1, mu, B1);
        s.Coef[n] = inner / NormX(mu, B1, B2);
    }
    return s;
}

} // namespace

std::vector<double> SlabEigenvalues(double B1, double B2, std::size_t count) {
    std::vector<double> mu(count);
    for (std::size_t n = 1; n <= count; ++n)
        mu[n - 1] = (B1 == 0 && B2 == 0) ? static_cast<double>(n) * Pi : Eigenvalue(n, B1, B2);
    return mu;
}

// |Coef[n] X_n(xi)| <= 2 Spread (|X_n| <= sqrt(mu^2 + B1^2) bounds both the
// projection and the value, and the norm is at least (mu^2 + B1^2) / 2), the
// same holds for the term of the mean, and mu_n > (n - 1) pi. So the terms
// after the first M add up to at most
//   2 Spread sum_{j>=M} exp(-pi^2 tau j^2) <= 2 Spread exp(-pi^2 tau M^2) / (1 - exp(-2 pi^2 tau
//   M)),
// and M is the smallest count that brings this within Tolerance.
std::size_t SlabSeries::TermsFor(double tau) const {
    if (!(Spread > 0))
        return 0;
    if (!(tau > 0))
        return MaxTerms;
    const double k = Pi * Pi * tau;
    const auto tail = [&](double m) {
        return 2 * Spread * std::exp(-k * m * m) / -std::expm1(-2 * k * m);
    };
    double m = std::max(1.0, std::floor(std::sqrt(std::log(2 * Spread / Tolerance) / k)));
    while (m < MaxTerms && tail(m) > Tolerance)
        ++m;
    return static_cast<std::size_t>(std::min<double>(m, MaxTerms));
}

double SlabSeries::At(double xi, double tau) const {
    double sum = SteadyA + SteadySlope * xi;
    const std::size_t terms = std::min(TermsFor(tau), Mu.size());
    for (std::size_t n = 0; n < terms; ++n)
        sum += Coef[n] * std::exp(-Mu[n] * Mu[n] * tau) *
               (Mu[n] * std::cos(Mu[n] * xi) + B1 * std::sin(Mu[n] * xi));
    return sum;
}

double SlabSeries::MeanAt(double tau) const {
    double sum = SteadyA + SteadySlope / 2;
    const std::size_t terms = std::min(TermsFor(tau), Mu.size());
    for (std::size_t n = 0; n < terms; ++n)
        sum += Coef[n] * std::exp(-Mu[n] * Mu[n] * tau) * IntegralX(Mu[n], B1);
    return sum;
}

struct ExactSlab::Zone {
    Profile start;
    SlabSeries series;
};

ExactSlab::ExactSlab(const TCalcInput& input, const std::vector<double>& zoneTimes,
                     const ExactOptions& options)
    : thickness_(input.Thickness),
      diffusivity_(input.Conductivity / (input.Density * input.SpecificHeat)) {
    const double H = thickness_, k = input.Conductivity;
    const double tauPerSecond = diffusivity_ / (H * H);
    // The smallest time a zone is looked at: one step, unless told otherwise.
    const double stepTau = options.MinTime > 0 ? tauPerSecond * options.MinTime
                                               : tauPerSecond * input.DeltaZ / CmPerSecOf(input);
    Profile start{input.InitialTemp, 0, 0, {}, {}};
    double lo = input.InitialTemp, hi = input.InitialTemp;
    for (std::size_t i = 0; i < zoneTimes.size() && i + 1 < input.Zones.size(); ++i) {
        const TZoneInput& z = input.Zones[i + 1];
        const double B1 = z.Htc1 * H / k, B2 = z.Htc2 * H / k;
        if (!(B1 >= 0 && B2 >= 0) || !std::isfinite(B1 + B2 + B1 * B2))
            break; // no exact solution here, nor after
        // The exact temperatures stay within the start's and the ambients' range.
        lo = std::min({lo, z.OuterTemp1, z.OuterTemp2});
        hi = std::max({hi, z.OuterTemp1, z.OuterTemp2});
        const double handOver = tauPerSecond * std::max(0.0, zoneTimes[i]);
        const double minTau = handOver > 0 ? std::min(stepTau, handOver) : stepTau;
        Zone zone{start, SeriesFrom(start, B1, B2, z.OuterTemp1, z.OuterTemp2, hi - lo,
                                    options.SumTolerance, minTau)};
        if (handOver > 0)
            start = Frozen(zone.series, handOver);
        zones_.push_back(std::move(zone));
    }
}

ExactSlab::~ExactSlab() = default;
ExactSlab::ExactSlab(ExactSlab&&) noexcept = default;
ExactSlab& ExactSlab::operator=(ExactSlab&&) noexcept = default;

std::size_t ExactSlab::SolvedZones() const {
    return zones_.size();
}

const SlabSeries& ExactSlab::Series(std::size_t zone) const {
    return zones_.at(zone).series;
}

double ExactSlab::Temperature(std::size_t zone, double x, double t) const {
    const Zone& z = zones_.at(zone);
    const double xi = x / thickness_;
    if (!(t > 0))
        return z.start.At(xi);
    return z.series.At(xi, diffusivity_ * t / (thickness_ * thickness_));
}

double ExactSlab::Mean(std::size_t zone, double t) const {
    const Zone& z = zones_.at(zone);
    if (!(t > 0))
        return z.start.Mean();
    return z.series.MeanAt(diffusivity_ * t / (thickness_ * thickness_));
}

ExactSlab ExactFor(const RunHistory& run) {
    const double v = CmPerSecOf(run.Input);
    std::vector<double> times;
    for (const auto& zone : run.Zones)
        times.push_back(zone.Rows.empty() ? 0.0 : zone.Rows.back().Z / v);
    return ExactSlab(run.Input, times);
}

ExactRun ExactAlongRun(const RunHistory& run) {
    return ExactAlongRun(run, ExactFor(run));
}

ExactRun ExactAlongRun(const RunHistory& run, const ExactSlab& exact) {
    const double v = CmPerSecOf(run.Input);
    const auto depths = PointDepths(run.Input);
    ExactRun out(run.Zones.size());
    for (std::size_t i = 0; i < run.Zones.size() && i < exact.SolvedZones(); ++i) {
        std::vector<ExactRow> rows;
        rows.reserve(run.Zones[i].Rows.size());
        for (const auto& row : run.Zones[i].Rows) {
            const double t = row.Z / v;
            ExactRow e;
            for (std::size_t k = 0; k < depths.size(); ++k)
                e.Points[k] = exact.Temperature(i, depths[k], t);
            e.Mean = exact.Mean(i, t);
            rows.push_back(e);
        }
        out[i] = std::move(rows);
    }
    return out;
}

} // namespace korvane
