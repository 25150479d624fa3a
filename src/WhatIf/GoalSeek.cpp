#include "GoalSeek.h"

#include "RunExport.h"
#include "WhatIfOptions.h"

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

struct Sample {
    double X = 0;
    double F = 0; // metric - target
    double W = 0; // F as the secant weighs it: halved when its end is kept twice (Illinois)
    double Metric = 0;
    bool Ran = false;
};

std::string Plain(double value) {
    return ShortestNumber(value);
}

// Half-way, also between ends whose difference is beyond the doubles.
double Midpoint(double a, double b) {
    const double half = a + (b - a) / 2;
    return std::isfinite(half) ? half : a / 2 + b / 2;
}

// Ends of one sign more than a factor of 10 apart: halving such a bracket takes a
// step for every binary digit of the ratio, the geometric mean one for every
// digit of its exponent.
bool Wide(double a, double b) {
    const double lo = std::min(std::abs(a), std::abs(b)), hi = std::max(std::abs(a), std::abs(b));
    return (a > 0) == (b > 0) && lo > 0 && hi > 10 * lo;
}

double GeometricMean(double a, double b) {
    return std::copysign(std::sqrt(std::abs(a)) * std::sqrt(std::abs(b)), a);
}

std::vector<double> SampleValues(double from, double to, bool integer, int count) {
    std::vector<double> xs;
    if (!integer) {
        for (int i = 0; i < count; ++i)
            xs.push_back(i == 0 ? from
                         : i == count - 1
                             ? to
                             : static_cast<double>(from + (static_cast<long double>(to) - from) *
                                                              i / (count - 1)));
        return xs;
    }
    const double lo = std::ceil(std::min(from, to)), hi = std::floor(std::max(from, to));
    if (lo > hi)
        return xs;
    if (hi - lo + 1 <= count) {
        for (double x = lo; x <= hi; ++x)
            xs.push_back(x);
    } else {
        for (int i = 0; i < count; ++i)
            xs.push_back(std::round(lo + (hi - lo) * i / (count - 1)));
    }
    if (from > to)
        std::reverse(xs.begin(), xs.end());
    return xs;
}

class Seeker {
  public:
    Seeker(const WhatIfCase& base, const InputName& input, const MetricName& metric, double target,
           const SeekOptions& options, SeekResult& result)
        : base_(base), input_(input), metric_(metric), target_(target), options_(options),
          result_(result) {}

    Sample Try(double x) {
        ++result_.Trials;
        const TrialOutcome outcome = base_.Run({{&input_, x}}, {metric_});
        Sample s{x, 0, 0, false};
        if (!outcome.Computed()) {
            const int check = CheckNumberOf(outcome.Message);
            result_.Notes.push_back(
                Setting(x) +
                (check ? " fails check " + std::to_string(check) + ": " : " is refused: ") +
                outcome.Message);
        } else if (std::isnan(outcome.Metrics[0])) {
            result_.Notes.push_back(Setting(x) + " gives no value of " + metric_.Name);
        } else {
            s.Metric = outcome.Metrics[0];
            s.F = s.Metric - target_;
            s.W = s.F;
            s.Ran = true;
        }
        return s;
    }

    bool Met(const Sample& s) const { return std::abs(s.F) <= options_.MetricTolerance; }

    bool Close(const Sample& a, const Sample& b) const {
        if (input_.Integer)
            return std::abs(b.X - a.X) <= 1;
        // Neighbouring doubles have no input between them to try.
        return std::abs(b.X - a.X) <=
                   options_.InputTolerance * std::max(std::abs(a.X), std::abs(b.X)) ||
               std::nextafter(a.X, b.X) == b.X;
    }

    void Found(const Sample& s) {
        result_.Status = SeekStatus::Found;
        result_.Value = s.X;
        result_.Metric = s.Metric;
    }

    // a and b straddle the target; narrows until a tolerance is met or the
    // trials run out.
    void Bisect(Sample a, Sample b) {
        int side = 0; // Illinois: which end stayed last time
        double lastWidth = std::abs(b.X - a.X);
        int slowSteps = 0;
        while (true) {
            const Sample& best = std::abs(a.F) <= std::abs(b.F) ? a : b;
            if (Met(a) || Met(b))
                return Found(best);
            if (Close(a, b)) {
                if (input_.Integer)
                    result_.Notes.push_back("no whole " + input_.Name + " meets " + metric_.Name +
                                            " = " + Plain(target_) + " within " +
                                            Plain(options_.MetricTolerance) + "; the closest is " +
                                            Setting(best.X));
                else if (options_.MetricTolerance > 0)
                    result_.Notes.push_back(metric_.Name + " jumps across " + Plain(target_) +
                                            " between " + Setting(a.X) + " (" + Plain(a.Metric) +
                                            ") and " + Setting(b.X) + " (" + Plain(b.Metric) +
                                            "): the input's tolerance was met first");
                return Found(best);
            }
            if (result_.Trials >= options_.MaxTrials) {
                // Either end would be a wrong answer reported as one.
                result_.Status = SeekStatus::NotConverged;
                result_.Value = best.X;
                result_.Metric = best.Metric;
                result_.Notes.push_back(
                    std::string(NotConvergedNote) + "after " + std::to_string(result_.Trials) +
                    " trials " + metric_.Name + " is still between " + Plain(a.Metric) + " (" +
                    Setting(a.X) + ") and " + Plain(b.Metric) + " (" + Setting(b.X) +
                    "), and neither the tolerance on the metric (" +
                    Plain(options_.MetricTolerance) + ") nor the one on the input (" +
                    Plain(options_.InputTolerance) +
                    " of it) is met; a narrower range or a wider tolerance may help");
                return;
            }
            double x;
            if (input_.Integer) {
                x = std::floor(Midpoint(a.X, b.X));
                if (x == std::min(a.X, b.X))
                    x += 1;
            } else if (Wide(a.X, b.X)) {
                x = GeometricMean(a.X, b.X);
                slowSteps = 0;
            } else if (slowSteps >= 2) {
                x = Midpoint(a.X, b.X);
                slowSteps = 0;
            } else {
                x = static_cast<double>(a.X - static_cast<long double>(a.W) * (b.X - a.X) /
                                                  (static_cast<long double>(b.W) - a.W));
                const double margin = std::abs(b.X - a.X) * 1e-3;
                if (!(std::min(a.X, b.X) + margin < x && x < std::max(a.X, b.X) - margin))
                    x = Midpoint(a.X, b.X);
            }
            Sample s = Try(x);
            if (!s.Ran) {
                result_.Status = SeekStatus::Refused;
                result_.Notes.push_back("the seek stops: a trial between " + Setting(a.X) +
                                        " and " + Setting(b.X) + " did not run");
                return;
            }
            if ((s.F < 0) == (a.F < 0)) {
                a = s;
                if (side == -1)
                    b.W /= 2;
                side = -1;
            } else {
                b = s;
                if (side == 1)
                    a.W /= 2;
                side = 1;
            }
            const double width = std::abs(b.X - a.X);
            slowSteps = width > lastWidth / 2 ? slowSteps + 1 : 0;
            lastWidth = width;
        }
    }

    std::string Setting(double x) const { return input_.Name + "=" + Plain(x); }

    std::string Range(double a, double b) const { return Plain(a) + ":" + Plain(b); }

  private:
    const WhatIfCase& base_;
    const InputName& input_;
    const MetricName& metric_;
    double target_;
    const SeekOptions& options_;
    SeekResult& result_;
};

} // namespace

SeekResult GoalSeek(const WhatIfCase& base, const InputName& input, double from, double to,
                    const MetricName& metric, double target, const SeekOptions& options) {
    SeekResult result;
    Seeker seeker(base, input, metric, target, options, result);
    std::vector<Sample> samples;
    for (double x : SampleValues(from, to, input.Integer, std::max(options.Samples, 2)))
        samples.push_back(seeker.Try(x));

    // Crossings between neighbours that both ran; a sample on the target is one by itself.
    std::vector<std::pair<std::size_t, std::size_t>> crossings;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const Sample& s = samples[i];
        if (!s.Ran)
            continue;
        if (s.F == 0) {
            crossings.emplace_back(i, i);
        } else if (i + 1 < samples.size() && samples[i + 1].Ran && samples[i + 1].F != 0 &&
                   (s.F < 0) != (samples[i + 1].F < 0)) {
            crossings.emplace_back(i, i + 1);
        }
    }

    const auto ran =
        std::count_if(samples.begin(), samples.end(), [](const Sample& s) { return s.Ran; });
    if (crossings.empty()) {
        if (ran == 0) {
            result.Status = SeekStatus::Refused;
            result.Notes.push_back("no trial in " + input.Name + "=" + seeker.Range(from, to) +
                                   " ran");
            return result;
        }
        double lo = INFINITY, hi = -INFINITY;
        for (const auto& s : samples)
            if (s.Ran) {
                lo = std::min(lo, s.Metric);
                hi = std::max(hi, s.Metric);
            }
        result.Status = SeekStatus::NotBracketed;
        result.Notes.push_back(std::string(NotBracketedNote) + metric.Name + " runs from " +
                               Plain(lo) + " to " + Plain(hi) + " over " + input.Name + "=" +
                               seeker.Range(from, to) + " and never reaches " + Plain(target));
        return result;
    }
    if (crossings.size() > 1) {
        std::string ranges;
        for (const auto& [i, j] : crossings)
            ranges += (ranges.empty() ? "" : ", ") + seeker.Range(samples[i].X, samples[j].X);
        result.Notes.push_back(metric.Name + " is not monotonic over " + input.Name + "=" +
                               seeker.Range(from, to) + ": it reaches " + Plain(target) + " in " +
                               ranges + "; seeking in the first");
    }
    const auto [i, j] = crossings.front();
    if (i == j) {
        seeker.Found(samples[i]);
        return result;
    }
    seeker.Bisect(samples[i], samples[j]);
    return result;
}

std::string SeekLine(const InputName& input, const MetricName& metric, const SeekResult& result) {
    return input.Name + "=" + ShortestNumber(result.Value) + " " + metric.Name + "=" +
           ShortestNumber(result.Metric);
}

std::optional<SeekLineValues> ParseSeekLine(std::string_view line) {
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    const auto space = line.find(' ');
    if (space == std::string_view::npos)
        return std::nullopt;
    const std::string_view first = line.substr(0, space), second = line.substr(space + 1);
    const auto equals1 = first.find('='), equals2 = second.find('=');
    if (equals1 == std::string_view::npos || equals2 == std::string_view::npos)
        return std::nullopt;
    const auto value = ParsePlainNumber(first.substr(equals1 + 1));
    const auto metric = ParsePlainNumber(second.substr(equals2 + 1));
    if (!value || !metric || !FindInput(first.substr(0, equals1)) ||
        !FindMetric(second.substr(0, equals2)))
        return std::nullopt;
    return SeekLineValues{std::string(first.substr(0, equals1)), *value,
                          std::string(second.substr(0, equals2)), *metric};
}

int SeekExitCode(SeekStatus status) {
    switch (status) {
    case SeekStatus::Found:
        return BatchOk;
    case SeekStatus::NotBracketed:
    case SeekStatus::NotConverged:
        return BatchNoSolution;
    case SeekStatus::Refused:
        return BatchRefused;
    case SeekStatus::Failed:
        break;
    }
    return BatchFailed;
}

SeekReport ReadSeekReport(int exitCode, std::string_view out, std::string_view err) {
    SeekReport report;
    report.Notes = std::string(err);
    while (!report.Notes.empty() && (report.Notes.back() == '\n' || report.Notes.back() == '\r'))
        report.Notes.pop_back();
    if (exitCode == BatchOk) {
        if (const auto line = ParseSeekLine(out)) {
            report.Status = SeekStatus::Found;
            report.Value = line->Value;
            report.Metric = line->MetricValue;
        }
    } else if (exitCode == BatchNoSolution) {
        // The note that says why is the one line that starts so.
        report.Status = SeekStatus::NotBracketed;
        for (std::size_t start = 0; start < err.size();) {
            const auto end = std::min(err.find('\n', start), err.size());
            if (err.substr(start, end - start).starts_with(NotConvergedNote))
                report.Status = SeekStatus::NotConverged;
            start = end + 1;
        }
    } else if (exitCode == BatchRefused) {
        report.Status = SeekStatus::Refused;
    }
    return report;
}

const char* SeekStatusText(SeekStatus status) {
    switch (status) {
    case SeekStatus::Found:
        return "Found.";
    case SeekStatus::NotBracketed:
        return "No solution in the range.";
    case SeekStatus::NotConverged:
        return "No value met either tolerance.";
    case SeekStatus::Refused:
        return "Nothing found.";
    case SeekStatus::Failed:
        break;
    }
    return "korvane-batch failed.";
}

} // namespace korvane
