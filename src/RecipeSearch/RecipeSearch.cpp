#include "RecipeSearch.h"

#include "Calibration.h"
#include "ExactLine.h"
#include "RunExport.h"
#include "RunMetrics.h"
#include "WorkerPool.h"

#include <nlopt.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <mutex>

namespace korvane {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
const char* const RecipeSaveName = "recipe";

// What a limit's constraint reads when the trial has no value for it (a
// statistic never reached, a run the checks refuse): far beyond any index a
// search is led by, so that every other point is better.
constexpr double Unreachable = 1000;
// The search's scaled epigraph variable of the centre: the index / 100, up to
// this.
constexpr double MostIndex = 100;
// COBYLA's stop, in inputs scaled to their bounds.
constexpr double ScaledTolerance = 1e-7;
// Local searches from the sample's best points, and how far apart (scaled,
// largest coordinate) two starts must lie.
constexpr std::size_t LocalSearches = 8;
constexpr double DistinctStarts = 0.02;

std::string ZoneOf(const InputName& input) {
    return input.Line >= 9 ? input.Name.substr(0, 5) : std::string();
}

// The window on the exact solution at the march's rows, without the march:
// a run of the rows' positions alone carries the exact values, so every
// metric reads what korvane-batch --window reads on the exact side.
WindowResult ExactWindow(const TCalcInput& input, const ProcessWindow& window) {
    RunHistory rows;
    rows.Input = input;
    const auto positions = MarchRowPositions(input);
    for (std::size_t i = 0; i < positions.size(); ++i) {
        ZoneHistory zone;
        zone.ZoneNo = static_cast<std::int32_t>(i + 1);
        zone.Zone = input.Zones[i + 1];
        for (const double z : positions[i]) {
            HistoryRow row;
            row.Z = z;
            zone.Rows.push_back(std::move(row));
        }
        rows.Zones.push_back(std::move(zone));
    }
    ExactSlab slab = ExactFor(rows);
    ExactRun exact = ExactAlongRun(rows, slab);
    for (std::size_t i = 0; i < exact.size(); ++i)
        if (exact[i])
            for (std::size_t r = 0; r < exact[i]->size(); ++r) {
                rows.Zones[i].Rows[r].Points = (*exact[i])[r].Points;
                rows.Zones[i].Rows[r].Mean = (*exact[i])[r].Mean;
            }
    RunMetrics metrics(rows, &window, std::move(slab), std::move(exact));
    return metrics.Window(true);
}

// One trial of the model.
struct Point {
    std::vector<double> U; // inputs scaled to their bounds
    WindowResult Window;   // Pwi NaN when refused
    std::string Refusal;
};

// Lower is better: the class first (inside, then with an index, then
// without), then the key within it.
struct Merit {
    int Class = 3;
    double Key = 0;
    bool operator<(const Merit& other) const {
        return Class != other.Class ? Class < other.Class : Key < other.Key;
    }
};

class Model {
  public:
    explicit Model(const RecipeSetup& setup) : setup_(setup) {
        for (std::size_t k = 0; k < setup.Inputs.size(); ++k)
            if (setup.Inputs[k].Name == setup.GoalInput)
                goal_ = k;
    }

    std::vector<double> Unscale(const std::vector<double>& u) const {
        std::vector<double> x;
        for (std::size_t k = 0; k < setup_.Inputs.size(); ++k) {
            const FitParameter& p = setup_.Inputs[k];
            x.push_back(p.Lo + (p.Hi - p.Lo) * std::clamp(u[k], 0.0, 1.0));
        }
        return x;
    }

    std::vector<TrialSetting> Settings(const std::vector<double>& x) const {
        std::vector<TrialSetting> settings;
        for (std::size_t k = 0; k < x.size(); ++k)
            settings.push_back({setup_.Inputs[k].Input, x[k]});
        return settings;
    }

    Point At(std::vector<double> u) const {
        Point point;
        for (double& c : u)
            c = std::clamp(c, 0.0, 1.0);
        point.U = std::move(u);
        auto input = setup_.Base->TrialInput(Settings(Unscale(point.U)), RecipeSaveName);
        if (auto* message = std::get_if<std::string>(&input)) {
            point.Refusal = std::move(*message);
            return point;
        }
        try {
            const TCalcInput& in = std::get<TCalcInput>(input);
            if (setup_.Model == FitModel::Exact) {
                point.Window = ExactWindow(in, *setup_.Window);
            } else {
                const RunHistory run = ComputeRun(in);
                RunMetrics metrics(run, setup_.Window);
                point.Window = metrics.Window(false);
            }
        } catch (const std::exception& error) {
            // A run that faults cannot be made on the line either.
            point.Window = {};
            point.Refusal = error.what();
        }
        return point;
    }

    Merit MeritOf(const Point& p) const {
        const double pwi = p.Window.Pwi;
        if (std::isnan(pwi))
            return {2, 0};
        if (setup_.Goal == RecipeGoal::Centre)
            return {pwi <= setup_.Margin ? 0 : 1, pwi};
        if (pwi > setup_.Margin)
            return {1, pwi};
        return {0, setup_.Goal == RecipeGoal::Maximise ? -p.U[goal_] : p.U[goal_]};
    }

    const RecipeSetup& Setup() const { return setup_; }
    std::size_t Goal() const { return goal_; }

  private:
    const RecipeSetup& setup_;
    std::size_t goal_ = 0;
};

// The runs so far and the best point, for the caller's progress and stop.
class Tally {
  public:
    Tally(const Model& model, const RecipeProgress& progress)
        : model_(model), progress_(progress) {}
    void Add(const Point& point) {
        std::lock_guard lock(mutex_);
        ++runs_;
        const Merit merit = model_.MeritOf(point);
        if (runs_ == 1 || merit < best_) {
            best_ = merit;
            pwi_ = point.Window.Pwi;
            goal_ = merit.Class == 0 && model_.Setup().Goal != RecipeGoal::Centre
                        ? model_.Unscale(point.U)[model_.Goal()]
                        : NaN;
        }
        if (progress_ && !progress_(runs_, pwi_, goal_))
            stop_ = true;
    }
    bool Stopped() const { return stop_; }

  private:
    const Model& model_;
    const RecipeProgress& progress_;
    std::mutex mutex_;
    int runs_ = 0;
    Merit best_;
    double pwi_ = NaN, goal_ = NaN;
    std::atomic<bool> stop_ = false;
};

// The radical inverse of i in a prime base: Halton's sequence, one prime per
// input, so that the sample is the same on every machine.
double RadicalInverse(std::size_t i, unsigned base) {
    double result = 0, f = 1.0 / base;
    for (; i > 0; i /= base, f /= base)
        result += f * static_cast<double>(i % base);
    return result;
}

std::vector<unsigned> Primes(std::size_t count) {
    std::vector<unsigned> primes;
    for (unsigned n = 2; primes.size() < count; ++n)
        if (std::none_of(primes.begin(), primes.end(), [n](unsigned p) { return n % p == 0; }))
            primes.push_back(n);
    return primes;
}

// One local search with COBYLA from a start: the inputs (and for the centre
// an epigraph variable t, the index / 100) under two constraints per limit,
// +-signed index - t <= 0 (the centre) or +-signed index - margin <= 0. Each
// constraint is as smooth as the statistic it reads: the index's kinks (a
// largest of absolute values) become corners of the feasible set, which
// COBYLA's linear models handle, where a search on the index itself stalls.
class LocalSearch {
  public:
    LocalSearch(const Model& model, Tally& tally, int budget)
        : model_(model), tally_(tally), budget_(budget) {}

    void Run(const Point& start) {
        const RecipeSetup& setup = model_.Setup();
        const std::size_t n = setup.Inputs.size();
        const bool centre = setup.Goal == RecipeGoal::Centre;
        const unsigned dims = static_cast<unsigned>(n + (centre ? 1 : 0));
        std::unique_ptr<nlopt_opt_s, void (*)(nlopt_opt)> opt(nlopt_create(NLOPT_LN_COBYLA, dims),
                                                              nlopt_destroy);
        opt_ = opt.get();
        std::vector<double> lower(dims, 0), upper(dims, 1), step(dims, 0.05);
        std::vector<double> x = start.U;
        if (centre) {
            upper[n] = MostIndex;
            const double t = std::isnan(start.Window.Pwi)
                                 ? MostIndex / 2
                                 : std::min(start.Window.Pwi / 100 + 0.01, MostIndex);
            x.push_back(t);
            step[n] = std::max(0.05, t / 10);
        }
        nlopt_set_lower_bounds(opt_, lower.data());
        nlopt_set_upper_bounds(opt_, upper.data());
        nlopt_set_initial_step(opt_, step.data());
        nlopt_set_min_objective(opt_, &LocalSearch::Objective, this);
        const std::vector<double> tolerances(2 * setup.Window->Limits.size(), 1e-9);
        nlopt_add_inequality_mconstraint(opt_, static_cast<unsigned>(tolerances.size()),
                                         &LocalSearch::Constraints, this, tolerances.data());
        nlopt_set_xtol_abs1(opt_, ScaledTolerance);
        nlopt_set_maxeval(opt_, budget_);
        double value = 0;
        nlopt_optimize(opt_, x.data(), &value);
        opt_ = nullptr;
    }

    std::vector<Point>& Points() { return points_; }

  private:
    static double Objective(unsigned n, const double* x, double* gradient, void* data) {
        (void)gradient; // COBYLA asks for none
        const auto& self = *static_cast<LocalSearch*>(data);
        const RecipeSetup& setup = self.model_.Setup();
        if (setup.Goal == RecipeGoal::Centre)
            return x[n - 1];
        const double u = x[self.model_.Goal()];
        return setup.Goal == RecipeGoal::Maximise ? -u : u;
    }

    static void Constraints(unsigned m, double* result, unsigned dims, const double* x,
                            double* gradient, void* data) {
        (void)gradient;
        auto& self = *static_cast<LocalSearch*>(data);
        const RecipeSetup& setup = self.model_.Setup();
        const std::size_t n = setup.Inputs.size();
        std::vector<double> u(x, x + n);
        if (self.points_.empty() || self.lastX_ != std::vector<double>(x, x + dims)) {
            self.lastX_.assign(x, x + dims);
            self.points_.push_back(self.model_.At(u));
            self.tally_.Add(self.points_.back());
            if (self.tally_.Stopped())
                nlopt_force_stop(self.opt_);
        }
        const Point& point = self.points_.back();
        const double bound = setup.Goal == RecipeGoal::Centre ? 100 * x[n] : setup.Margin;
        for (std::size_t i = 0; 2 * i + 1 < m; ++i) {
            const WindowLimit& limit = setup.Window->Limits[i];
            const double value =
                point.Window.Limits.size() > i ? point.Window.Limits[i].Value : NaN;
            if (std::isnan(value)) {
                result[2 * i] = result[2 * i + 1] = Unreachable;
                continue;
            }
            const double mid = limit.Min + (limit.Max - limit.Min) / 2;
            const double signedIndex = 100 * (value - mid) / ((limit.Max - limit.Min) / 2);
            result[2 * i] = (signedIndex - bound) / 100;
            result[2 * i + 1] = (-signedIndex - bound) / 100;
        }
    }

    const Model& model_;
    Tally& tally_;
    int budget_;
    nlopt_opt opt_ = nullptr;
    std::vector<double> lastX_;
    std::vector<Point> points_;
};

double Distance(const std::vector<double>& a, const std::vector<double>& b) {
    double d = 0;
    for (std::size_t k = 0; k < a.size(); ++k)
        d = std::max(d, std::abs(a[k] - b[k]));
    return d;
}

// A number as the report writes it; null for none.
std::string Number(double value) {
    return std::isnan(value) ? "null" : ShortestNumber(value);
}

} // namespace

ParsedGoal ParseRecipeGoal(std::string_view text) {
    ParsedGoal parsed;
    if (text == "centre")
        return parsed;
    if (text.starts_with("max:") || text.starts_with("min:")) {
        parsed.Goal = text[1] == 'a' ? RecipeGoal::Maximise : RecipeGoal::Minimise;
        parsed.Input = std::string(text.substr(4));
        if (!parsed.Input.empty())
            return parsed;
    }
    parsed.Error = "--goal " + std::string(text) + ": the goal is centre, max:NAME or min:NAME";
    return parsed;
}

std::string RecipeSetupProblem(const RecipeSetup& setup) {
    if (setup.Inputs.empty())
        return "name at least one input to optimise (--optimise NAME=LO:HI)";
    if (!setup.Window || setup.Window->Limits.empty())
        return "a recipe search needs a process window with limits (--window FILE)";
    if (!(setup.Margin > 0 && setup.Margin <= 100))
        return "--margin " + ShortestNumber(setup.Margin) +
               ": the margin is an index above 0 and at most 100 (the window's edge)";
    auto base = setup.Base->TrialInput({}, RecipeSaveName);
    if (auto* message = std::get_if<std::string>(&base))
        return *message;
    const TCalcInput& in = std::get<TCalcInput>(base);
    bool goalFound = setup.Goal == RecipeGoal::Centre;
    for (std::size_t k = 0; k < setup.Inputs.size(); ++k) {
        const FitParameter& p = setup.Inputs[k];
        const std::string option = "--optimise " + FitOptionText(p) + ": ";
        goalFound = goalFound || p.Name == setup.GoalInput;
        for (std::size_t j = 0; j < k; ++j)
            if (setup.Inputs[j].Name == p.Name)
                return "--optimise " + p.Name + " is given twice";
        if (!std::isfinite(p.Hi - p.Lo))
            return option + "the bounds are too far apart to search between";
        const std::string zone = ZoneOf(*p.Input);
        if (zone.empty())
            continue;
        const int number = zone[4] - '0';
        if (number > in.ZoneCount)
            return option + "the data file does not compute zone " + std::to_string(number) +
                   " (its first coefficient is empty or 0)";
        const bool coefficient = p.Input->Name.find(".htc") != std::string::npos;
        if (coefficient && number > 1 && p.Input->Name.ends_with("htc1") && !(p.Lo > 0))
            return option + "a first coefficient of 0 switches zone " + std::to_string(number) +
                   " off: LO must be above 0";
        if (coefficient && setup.Model == FitModel::Exact && p.Lo < 0)
            return option + "a coefficient below 0 has no exact solution: LO must be 0 or above";
    }
    if (!goalFound)
        return "--goal " + std::string(setup.Goal == RecipeGoal::Maximise ? "max:" : "min:") +
               setup.GoalInput + ": the goal's input must be one of those optimised (--optimise " +
               setup.GoalInput + "=LO:HI)";
    if (setup.Model == FitModel::Exact)
        for (std::size_t i = 0; i < setup.Window->Limits.size(); ++i) {
            const std::string& metric = setup.Window->Limits[i].Metric;
            if (metric.find(".max_error.") != std::string::npos)
                return "limit " + std::to_string(i + 1) + " (" + metric +
                       ") is the scheme's distance from the exact solution, which the exact "
                       "model does not have: search with --model scheme";
        }
    if (setup.MaxRuns < 10)
        return "--max-runs " + std::to_string(setup.MaxRuns) + ": a search makes 10 runs or more";
    return {};
}

RecipeResult SearchRecipe(const RecipeSetup& setup, const RecipeProgress& progress) {
    const auto started = std::chrono::steady_clock::now();
    RecipeResult result;
    const Model model(setup);
    Tally tally(model, progress);
    const std::size_t n = setup.Inputs.size();
    // The march runs one at a time in a process; the exact line on any thread.
    const unsigned jobs = setup.Model == FitModel::Scheme ? 1
                          : setup.Jobs                    ? setup.Jobs
                                                          : WorkerPool::DefaultThreads();
    WorkerPool pool(jobs);

    // The global stage: the data file's values (or the middle of bounds
    // they lie outside), then Halton points, a third of the runs at most.
    const std::size_t samples =
        std::min<std::size_t>(30 * n + 30, static_cast<std::size_t>(setup.MaxRuns) / 3);
    std::vector<std::vector<double>> starts(samples);
    if (auto base = setup.Base->TrialInput({}, RecipeSaveName);
        auto* in = std::get_if<TCalcInput>(&base))
        for (const FitParameter& p : setup.Inputs) {
            const double value = InputValue(*in, *p.Input);
            starts[0].push_back(value >= p.Lo && value <= p.Hi ? (value - p.Lo) / (p.Hi - p.Lo)
                                                               : 0.5);
        }
    else
        starts[0].assign(n, 0.5);
    const auto primes = Primes(n);
    for (std::size_t j = 1; j < samples; ++j)
        for (std::size_t k = 0; k < n; ++k)
            starts[j].push_back(RadicalInverse(j, primes[k]));
    std::vector<Point> sample(samples);
    pool.Run(samples, [&](std::size_t begin, std::size_t end) {
        for (std::size_t j = begin; j < end && !tally.Stopped(); ++j) {
            sample[j] = model.At(starts[j]);
            tally.Add(sample[j]);
        }
    });

    // The local stage from the sample's best points that lie apart.
    std::vector<std::size_t> order(samples);
    for (std::size_t j = 0; j < samples; ++j)
        order[j] = j;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return model.MeritOf(sample[a]) < model.MeritOf(sample[b]);
    });
    std::vector<std::size_t> chosen;
    for (const std::size_t j : order) {
        if (chosen.size() == LocalSearches || sample[j].U.empty())
            break;
        if (std::all_of(chosen.begin(), chosen.end(), [&](std::size_t c) {
                return Distance(sample[c].U, sample[j].U) > DistinctStarts;
            }))
            chosen.push_back(j);
    }
    // At least one run each: NLopt takes a budget of 0 for none at all.
    const int budget =
        std::max(1, static_cast<int>((static_cast<std::size_t>(setup.MaxRuns) - samples) /
                                     std::max<std::size_t>(chosen.size(), 1)));
    std::vector<std::unique_ptr<LocalSearch>> searches;
    for (std::size_t s = 0; s < chosen.size(); ++s)
        searches.push_back(std::make_unique<LocalSearch>(model, tally, budget));
    pool.Run(chosen.size(), [&](std::size_t begin, std::size_t end) {
        for (std::size_t s = begin; s < end && !tally.Stopped(); ++s)
            searches[s]->Run(sample[chosen[s]]);
    });

    // The best of every trial, in a fixed order: the same with any threads.
    const Point* best = nullptr;
    Merit bestMerit;
    const auto consider = [&](const Point& p) {
        if (p.U.empty())
            return;
        ++result.Runs;
        const Merit merit = model.MeritOf(p);
        if (!best || merit < bestMerit) {
            best = &p;
            bestMerit = merit;
        }
    };
    for (const Point& p : sample)
        consider(p);
    for (const auto& search : searches)
        for (const Point& p : search->Points())
            consider(p);
    result.Stopped = tally.Stopped();
    if (best) {
        result.Values = model.Unscale(best->U);
        result.Window = best->Window;
        result.Refusal = best->Refusal;
        result.Inside = !std::isnan(best->Window.Pwi) && best->Window.Pwi <= setup.Margin;
        result.DataValues = setup.Base->TrialValues(model.Settings(result.Values));
    }
    result.Seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return result;
}

std::variant<RecipeJudgement, std::string>
JudgeRecipe(const WhatIfCase& base, const ProcessWindow& window, const DataLineArray& values) {
    const WhatIfCase recipe(values, base.DataFileName());
    auto input = recipe.TrialInput({}, RecipeSaveName);
    if (auto* message = std::get_if<std::string>(&input))
        return *message;
    const RunHistory run = ComputeRun(std::get<TCalcInput>(input));
    RunMetrics metrics(run, &window);
    return RecipeJudgement{metrics.Window(false), metrics.Window(true)};
}

std::string StoppingLimit(const ProcessWindow& window, const WindowResult& result) {
    std::size_t worst = window.Limits.size();
    for (std::size_t i = 0; i < window.Limits.size() && i < result.Limits.size(); ++i) {
        const double index = result.Limits[i].Index;
        if (std::isnan(index)) {
            worst = i;
            break;
        }
        if (worst == window.Limits.size() || index > result.Limits[worst].Index)
            worst = i;
    }
    if (worst == window.Limits.size())
        return {};
    const WindowLimit& limit = window.Limits[worst];
    const LimitResult& at = result.Limits[worst];
    std::string text = "limit " + std::to_string(worst + 1) + " ";
    if (!limit.Label.empty())
        text += "\"" + limit.Label + "\" ";
    text += "(" + limit.Metric + ") ";
    if (std::isnan(at.Value))
        return text + "has no value (" + Number(limit.Min) + " to " + Number(limit.Max) +
               " wanted)";
    return text + "is " + Number(at.Value) + " for " + Number(limit.Min) + " to " +
           Number(limit.Max) + ", index " + Number(at.Index);
}

std::string RecipeReport(const RecipeSetup& setup, const RecipeResult& result,
                         const RecipeJudgement& judgement) {
    std::string text;
    for (std::size_t k = 0; k < result.Values.size(); ++k)
        text += setup.Inputs[k].Name + "=" + ShortestNumber(result.Values[k]) + "\n";
    text += "window.pwi=" + Number(judgement.Scheme.Pwi) + "\n";
    text += "window.exact.pwi=" + Number(judgement.Exact.Pwi) + "\n";
    text += "runs=" + std::to_string(result.Runs) + "\n";
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", result.Seconds);
    text += "seconds=" + std::string(seconds) + "\n";
    return text;
}

std::string RecipeProgressText(const RecipeSetup& setup, double bestPwi, double bestGoal) {
    const auto shown = [](double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%.6g", value);
        return std::string(text);
    };
    if (std::isnan(bestPwi))
        return "no index yet";
    if (setup.Goal == RecipeGoal::Centre)
        return "best index " + shown(bestPwi);
    if (std::isnan(bestGoal))
        return "none inside yet, best index " + shown(bestPwi);
    return "best " + setup.GoalInput + " " + shown(bestGoal) + " (index " + shown(bestPwi) + ")";
}

std::vector<std::string> BoundNotes(const RecipeSetup& setup, const RecipeResult& result) {
    std::vector<std::string> notes;
    for (std::size_t k = 0; k < result.Values.size() && k < setup.Inputs.size(); ++k) {
        const FitParameter& p = setup.Inputs[k];
        const double scaled = (result.Values[k] - p.Lo) / (p.Hi - p.Lo);
        if (scaled <= 1e-5 || scaled >= 1 - 1e-5)
            notes.push_back(p.Name + " ends on its " + (scaled <= 1e-5 ? "lower" : "upper") +
                            " bound " + ShortestNumber(scaled <= 1e-5 ? p.Lo : p.Hi) +
                            ": wider bounds may give a better recipe");
    }
    return notes;
}

std::optional<std::pair<std::string, double>> ParseRecipeLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.remove_suffix(1);
    const auto equals = line.find('=');
    if (equals == std::string_view::npos || equals == 0)
        return std::nullopt;
    const auto value = ParsePlainNumber(line.substr(equals + 1));
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return std::pair{std::string(line.substr(0, equals)), *value};
}

} // namespace korvane
