#include "Calibration.h"

#include "RunExport.h"
#include "RunHistory.h"
#include "WorkerPool.h"

#include <nlopt.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <variant>

namespace korvane {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// The exact series are summed this closely in a fit: their term counts move
// in steps with the inputs, and each step must stay far below what a finite
// difference of the model sees.
constexpr double FitSumTolerance = 1e-9;
// The optimiser's stop, in inputs scaled to their bounds, and where an input
// counts as on its bound.
constexpr double ScaledTolerance = 1e-9;
constexpr double OnBoundTolerance = 1e-6;
// Central differences of the model for the standard errors, in a fraction of
// each input's bounds.
constexpr double DifferenceStep = 1e-5;
// The points of a trial from which a fit shares them among threads unless
// told: below, the hand-over costs more than it saves.
constexpr std::size_t ThreadedPoints = 10000;

const char* const FitSaveName = "fit";

bool IsStart(const FitParameter& p) {
    return !p.Input && p.Name == StartName;
}

std::string ZoneOf(const InputName& input) {
    return input.Line >= 9 ? input.Name.substr(0, 5) : std::string();
}

// The model at one trial's inputs.
struct Trial {
    TCalcInput Input{};
    double Start = 0, Lag = 0;
    std::shared_ptr<const RunHistory> Run; // the scheme's model reads it where it lies
    std::unique_ptr<ProfileModel> Model;
};

// The smallest time after a zone's entry at which a sample of the profile
// lies, at least a thousandth of a step: what the exact series need terms
// for. The zones start and end where ExactLine puts them, from the rows that
// the lengths and dz alone set, so no line is built for it.
double SmallestTimeInAZone(const std::vector<std::vector<double>>& rows, const TCalcInput& in,
                           const MeasuredProfile& profile, double start) {
    const double v = CmPerSecOf(in);
    std::vector<double> starts, ends;
    double zLine = 0;
    for (const auto& zone : rows) {
        starts.push_back(zLine / v);
        ends.push_back(zLine / v + zone.back() / v);
        zLine += zone.back();
    }
    const double step = in.DeltaZ / v;
    double smallest = step;
    for (const auto& channel : profile.Channels)
        for (const double logger : channel.Time) {
            const double t = logger - start;
            for (std::size_t i = 0; t >= 0 && i < ends.size(); ++i)
                if (t <= ends[i]) {
                    if (t > starts[i])
                        smallest = std::min(smallest, t - starts[i]);
                    break;
                }
        }
    return std::max(smallest, step / 1000);
}

class Evaluator {
  public:
    Evaluator(const FitSetup& setup, const TCalcInput& base)
        : setup_(setup), rows_(MarchRowPositions(base)), pool_(std::make_unique<WorkerPool>(1)),
          parallel_(
              [this](std::size_t count, const std::function<void(std::size_t, std::size_t)>& body) {
                  pool_->Run(count, body);
              }) {}

    void UseThreads(unsigned threads) {
        if (threads != pool_->Threads())
            pool_ = std::make_unique<WorkerPool>(threads);
    }

    // The trial at values x (one per parameter), or the check's message.
    std::variant<Trial, std::string> Make(const std::vector<double>& x) const {
        std::vector<TrialSetting> settings;
        Trial trial;
        trial.Start = setup_.Profile->Start;
        trial.Lag = setup_.Lag;
        for (std::size_t k = 0; k < x.size(); ++k) {
            const FitParameter& p = setup_.Parameters[k];
            if (p.Input)
                settings.push_back({p.Input, x[k]});
            else if (IsStart(p))
                trial.Start = x[k];
            else
                trial.Lag = x[k];
        }
        auto input = setup_.Base->TrialInput(settings, FitSaveName);
        if (auto* message = std::get_if<std::string>(&input))
            return std::move(*message);
        trial.Input = std::get<TCalcInput>(input);
        if (setup_.Model == FitModel::Scheme) {
            trial.Run = std::make_shared<const RunHistory>(ComputeRun(trial.Input));
            trial.Model = std::make_unique<SchemeModel>(*trial.Run);
        } else {
            ExactOptions options;
            options.SumTolerance = FitSumTolerance;
            // A fit varies no length nor dz: the rows are those of the data file.
            options.MinTime = SmallestTimeInAZone(rows_, trial.Input, *setup_.Profile, trial.Start);
            trial.Model = std::make_unique<ExactModel>(
                std::make_shared<const ExactLine>(trial.Input, options));
        }
        return trial;
    }

    // Chooses the samples of the fit: those in the line at the trial.
    void ChooseSamples(const Trial& trial) {
        used_.clear();
        for (const auto& channel : setup_.Profile->Channels) {
            std::vector<std::size_t> used;
            const auto times = SinceEntry(channel, trial.Start);
            for (std::size_t i = 0; i < times.size(); ++i)
                if (trial.Model->ZoneAt(times[i]))
                    used.push_back(i);
            used_.push_back(std::move(used));
        }
    }
    std::size_t Samples() const {
        std::size_t n = 0;
        for (const auto& used : used_)
            n += used.size();
        return n;
    }

    // The model at the samples of the fit, channel after channel.
    std::vector<double> ModelValues(const Trial& trial) const {
        // Through the lag the whole history up to each sample counts, so all
        // of a channel's samples are integrated over.
        std::vector<ModelQuery> queries;
        for (std::size_t c = 0; c < used_.size(); ++c) {
            const MeasuredChannel& channel = setup_.Profile->Channels[c];
            const auto times = SinceEntry(channel, trial.Start);
            ModelQuery query{channel.Depth, {}};
            if (trial.Lag > 0)
                query.Times = times;
            else
                for (const std::size_t i : used_[c])
                    query.Times.push_back(times[i]);
            queries.push_back(std::move(query));
        }
        const auto at = ModelAtTimes(*trial.Model, queries, trial.Lag, &parallel_);
        std::vector<double> values;
        for (std::size_t c = 0; c < used_.size(); ++c) {
            if (trial.Lag > 0)
                for (const std::size_t i : used_[c])
                    values.push_back(at[c][i]);
            else
                values.insert(values.end(), at[c].begin(), at[c].end());
        }
        return values;
    }

    std::vector<double> Measured() const {
        std::vector<double> values;
        for (std::size_t c = 0; c < used_.size(); ++c)
            for (const std::size_t i : used_[c])
                values.push_back(setup_.Profile->Channels[c].Temp[i]);
        return values;
    }

    const std::vector<std::vector<std::size_t>>& Used() const { return used_; }

  private:
    const FitSetup& setup_;
    std::vector<std::vector<double>> rows_;
    std::unique_ptr<WorkerPool> pool_;
    ParallelFor parallel_;
    std::vector<std::vector<std::size_t>> used_;
};

// What the optimiser's objective needs, and what it leaves behind when it
// cannot go on.
struct Objective {
    const FitSetup* Setup = nullptr;
    Evaluator* Eval = nullptr;
    std::vector<double> Measured;
    const std::function<bool(int, double)>* Progress = nullptr;
    int Evaluations = 0;
    std::string Refusal;
    std::exception_ptr Failure;
    bool Stopped = false;
    nlopt_opt Opt = nullptr;

    std::vector<double> Unscale(const double* u) const {
        std::vector<double> x;
        for (std::size_t k = 0; k < Setup->Parameters.size(); ++k) {
            const FitParameter& p = Setup->Parameters[k];
            x.push_back(p.Lo + (p.Hi - p.Lo) * std::clamp(u[k], 0.0, 1.0));
        }
        return x;
    }
};

double MeanSquare(unsigned n, const double* u, double* gradient, void* data) {
    (void)n;
    (void)gradient; // BOBYQA asks for none
    auto& o = *static_cast<Objective*>(data);
    try {
        auto trial = o.Eval->Make(o.Unscale(u));
        if (auto* message = std::get_if<std::string>(&trial)) {
            o.Refusal = *message;
            nlopt_force_stop(o.Opt);
            return HUGE_VAL;
        }
        const auto model = o.Eval->ModelValues(std::get<Trial>(trial));
        double sum = 0;
        for (std::size_t i = 0; i < model.size(); ++i) {
            const double r = o.Measured[i] - model[i];
            sum += r * r;
        }
        const double mean = sum / static_cast<double>(model.size());
        ++o.Evaluations;
        if (o.Progress && *o.Progress && !(*o.Progress)(o.Evaluations, std::sqrt(mean))) {
            o.Stopped = true;
            nlopt_force_stop(o.Opt);
        }
        return std::isfinite(mean) ? mean : HUGE_VAL;
    } catch (...) {
        o.Failure = std::current_exception();
        nlopt_force_stop(o.Opt);
        return HUGE_VAL;
    }
}

struct OptDeleter {
    void operator()(nlopt_opt opt) const { nlopt_destroy(opt); }
};

// (A^T A)^-1 of a symmetric positive definite matrix by Cholesky; nothing
// when it is not positive definite (an input the samples cannot tell apart).
std::optional<std::vector<std::vector<double>>> Inverse(std::vector<std::vector<double>> a) {
    const std::size_t n = a.size();
    std::vector<std::vector<double>> l(n, std::vector<double>(n, 0));
    for (std::size_t j = 0; j < n; ++j) {
        double d = a[j][j];
        for (std::size_t k = 0; k < j; ++k)
            d -= l[j][k] * l[j][k];
        if (!(d > 1e-14 * a[j][j]) || !(d > 0))
            return std::nullopt;
        l[j][j] = std::sqrt(d);
        for (std::size_t i = j + 1; i < n; ++i) {
            double s = a[i][j];
            for (std::size_t k = 0; k < j; ++k)
                s -= l[i][k] * l[j][k];
            l[i][j] = s / l[j][j];
        }
    }
    // Columns of the inverse: L L^T x = e_c.
    std::vector<std::vector<double>> inv(n, std::vector<double>(n, 0));
    for (std::size_t c = 0; c < n; ++c) {
        std::vector<double> y(n, 0);
        for (std::size_t i = 0; i < n; ++i) {
            double s = i == c ? 1 : 0;
            for (std::size_t k = 0; k < i; ++k)
                s -= l[i][k] * y[k];
            y[i] = s / l[i][i];
        }
        for (std::size_t i = n; i-- > 0;) {
            double s = y[i];
            for (std::size_t k = i + 1; k < n; ++k)
                s -= l[k][i] * inv[k][c];
            inv[i][c] = s / l[i][i];
        }
    }
    return inv;
}

std::string NlOptReason(nlopt_result result) {
    switch (result) {
    case NLOPT_MAXEVAL_REACHED:
        return "the most trials were spent";
    case NLOPT_MAXTIME_REACHED:
        return "the time ran out";
    case NLOPT_ROUNDOFF_LIMITED:
        return "rounding errors limited the progress";
    case NLOPT_OUT_OF_MEMORY:
        return "the memory ran out";
    case NLOPT_INVALID_ARGS:
        return "the optimiser took its arguments for invalid";
    default:
        return "the optimiser failed (NLopt code " + std::to_string(static_cast<int>(result)) + ")";
    }
}

} // namespace

double InputValue(const TCalcInput& input, const InputName& name) {
    switch (name.Line) {
    case 1:
        return input.Density;
    case 2:
        return input.SpecificHeat;
    case 3:
        return input.Conductivity;
    case 4:
        return input.Thickness;
    case 5:
        return input.Speed;
    case 6:
        return input.InitialTemp;
    case 7:
        return input.DeltaZ;
    case 8:
        return input.LayerCount;
    default:
        break;
    }
    const TZoneInput& zone = input.Zones[static_cast<std::size_t>((name.Line - 9) / 5 + 1)];
    const double fields[] = {zone.Htc1, zone.Htc2, zone.OuterTemp1, zone.OuterTemp2, zone.Length};
    return fields[(name.Line - 9) % 5];
}

std::string FitSetupProblem(const FitSetup& setup) {
    if (setup.Parameters.empty())
        return "name at least one input to fit (--fit NAME=LO:HI)";
    auto base = setup.Base->TrialInput({}, FitSaveName);
    if (auto* message = std::get_if<std::string>(&base))
        return *message;
    const TCalcInput& in = std::get<TCalcInput>(base);
    for (std::size_t k = 0; k < setup.Parameters.size(); ++k) {
        const FitParameter& p = setup.Parameters[k];
        const std::string option = "--fit " + FitOptionText(p) + ": ";
        for (std::size_t j = 0; j < k; ++j)
            if (setup.Parameters[j].Name == p.Name)
                return "--fit " + p.Name + " is given twice";
        if (!p.Input)
            continue;
        const std::string zone = ZoneOf(*p.Input);
        if (!zone.empty()) {
            const int number = zone[4] - '0';
            if (number > in.ZoneCount)
                return option + "the data file does not compute zone " + std::to_string(number) +
                       " (its first coefficient is empty or 0)";
            const bool coefficient = p.Input->Name.find(".htc") != std::string::npos;
            if (coefficient && number > 1 && p.Input->Name.ends_with("htc1") && !(p.Lo > 0))
                return option + "a first coefficient of 0 switches zone " + std::to_string(number) +
                       " off (and one below 0 has no exact solution): LO must be above 0";
            if (coefficient && setup.Model == FitModel::Exact && p.Lo < 0)
                return option +
                       "a coefficient below 0 has no exact solution: LO must be 0 or above";
        }
        for (const double bound : {p.Lo, p.Hi}) {
            auto at = setup.Base->TrialInput({{p.Input, bound}}, FitSaveName);
            if (auto* message = std::get_if<std::string>(&at))
                return option + "at " + p.Name + "=" + ShortestNumber(bound) +
                       " the checks refuse the run: " + *message;
        }
    }
    for (const auto& channel : setup.Profile->Channels)
        if (channel.Depth.Where == ChannelDepth::Kind::Cm && channel.Depth.Cm > in.Thickness)
            return "channel \"" + channel.Name + "\" at " + ShortestNumber(channel.Depth.Cm) +
                   " cm lies beyond the plate, which is " + ShortestNumber(in.Thickness) +
                   " cm thick";
    return {};
}

FitResult RunFit(const FitSetup& setup, const std::function<bool(int, double)>& progress) {
    const auto started = std::chrono::steady_clock::now();
    FitResult result;
    const std::size_t n = setup.Parameters.size();
    // Start at the data file's values (and --start, --lag), or at the middle
    // of the bounds where those lie outside them.
    auto base = setup.Base->TrialInput({}, FitSaveName);
    if (auto* message = std::get_if<std::string>(&base)) {
        result.Notes.push_back(*message);
        return result;
    }
    Evaluator eval(setup, std::get<TCalcInput>(base));
    std::vector<double> u(n);
    for (std::size_t k = 0; k < n; ++k) {
        const FitParameter& p = setup.Parameters[k];
        double value = p.Input ? InputValue(std::get<TCalcInput>(base), *p.Input)
                               : (IsStart(p) ? setup.Profile->Start : setup.Lag);
        if (!(value >= p.Lo && value <= p.Hi)) {
            result.Notes.push_back(p.Name + " starts at the middle of its bounds: " +
                                   ShortestNumber(value) + " lies outside them");
            value = p.Lo + (p.Hi - p.Lo) / 2;
        }
        result.Initial.push_back(value);
        u[k] = (value - p.Lo) / (p.Hi - p.Lo);
    }

    Objective objective;
    objective.Setup = &setup;
    objective.Eval = &eval;
    objective.Progress = &progress;
    {
        auto first = eval.Make(objective.Unscale(u.data()));
        if (auto* message = std::get_if<std::string>(&first)) {
            result.Notes.push_back(*message);
            return result;
        }
        eval.ChooseSamples(std::get<Trial>(first));
    }
    result.Samples = eval.Samples();
    if (result.Samples <= n) {
        result.Status = FitStatus::NotConverged;
        result.Notes.push_back("only " + std::to_string(result.Samples) +
                               " samples lie in the line, fewer than the inputs to fit and one; "
                               "is --start the logger's time at zone 1?");
        return result;
    }
    objective.Measured = eval.Measured();
    // A trial of a few thousand samples is over before threads would have
    // shared it out; from some ten thousand points on they pay.
    const std::size_t points =
        result.Samples *
        (setup.Lag > 0 ||
                 std::any_of(setup.Parameters.begin(), setup.Parameters.end(),
                             [](const FitParameter& p) { return !p.Input && p.Name == LagName; })
             ? 8
             : 1);
    eval.UseThreads(setup.Threads              ? setup.Threads
                    : points >= ThreadedPoints ? WorkerPool::DefaultThreads()
                                               : 1);

    std::unique_ptr<nlopt_opt_s, OptDeleter> opt(
        nlopt_create(NLOPT_LN_BOBYQA, static_cast<unsigned>(n)));
    objective.Opt = opt.get();
    nlopt_set_lower_bounds1(opt.get(), 0);
    nlopt_set_upper_bounds1(opt.get(), 1);
    nlopt_set_min_objective(opt.get(), MeanSquare, &objective);
    nlopt_set_xtol_abs1(opt.get(), ScaledTolerance);
    nlopt_set_ftol_rel(opt.get(), 1e-15);
    nlopt_set_maxeval(opt.get(), setup.MaxEvaluations);
    nlopt_set_initial_step1(opt.get(), 0.1);
    double best = 0;
    const nlopt_result outcome = nlopt_optimize(opt.get(), u.data(), &best);
    result.Evaluations = objective.Evaluations;
    if (objective.Failure)
        std::rethrow_exception(objective.Failure);
    result.Values = objective.Unscale(u.data());
    result.StdErrors.assign(n, NaN);
    if (!objective.Refusal.empty()) {
        result.Status = FitStatus::Refused;
        result.Notes.push_back("a trial was refused: " + objective.Refusal);
        return result;
    }
    if (objective.Stopped) {
        result.Status = FitStatus::Stopped;
        return result;
    }
    const bool converged = outcome == NLOPT_SUCCESS || outcome == NLOPT_XTOL_REACHED ||
                           outcome == NLOPT_FTOL_REACHED || outcome == NLOPT_STOPVAL_REACHED;
    result.Status = converged ? FitStatus::Converged : FitStatus::NotConverged;
    if (!converged)
        result.Notes.push_back("not converged: " + NlOptReason(outcome) + " after " +
                               std::to_string(result.Evaluations) + " trials");

    // The residuals at the optimum, per channel.
    auto optimum = eval.Make(result.Values);
    if (auto* message = std::get_if<std::string>(&optimum)) {
        result.Status = FitStatus::Refused;
        result.Notes.push_back(*message);
        return result;
    }
    const Trial& at = std::get<Trial>(optimum);
    result.Start = at.Start;
    result.Lag = at.Lag;
    const auto model = eval.ModelValues(at);
    double sum = 0;
    std::size_t i = 0;
    for (const auto& used : eval.Used()) {
        Difference d;
        for (std::size_t s = 0; s < used.size(); ++s, ++i) {
            const double r = objective.Measured[i] - model[i];
            d.Add(r);
            sum += r * r;
        }
        d.Finish();
        result.Channels.push_back(d);
    }
    result.Rms = std::sqrt(sum / static_cast<double>(result.Samples));

    // The Jacobian of the model by central differences, one-sided at a bound.
    std::vector<std::vector<double>> jacobian(n);
    for (std::size_t k = 0; k < n && result.Status != FitStatus::Refused; ++k) {
        const FitParameter& p = setup.Parameters[k];
        const double h = DifferenceStep * (p.Hi - p.Lo);
        const double up = std::min(result.Values[k] + h, p.Hi);
        const double down = std::max(result.Values[k] - h, p.Lo);
        std::vector<double> x = result.Values;
        x[k] = up;
        auto high = eval.Make(x);
        x[k] = down;
        auto low = eval.Make(x);
        if (std::holds_alternative<std::string>(high) || std::holds_alternative<std::string>(low)) {
            result.Notes.push_back("the standard error of " + p.Name +
                                   " is not known: a trial beside the optimum was refused");
            continue;
        }
        const auto mh = eval.ModelValues(std::get<Trial>(high));
        const auto ml = eval.ModelValues(std::get<Trial>(low));
        jacobian[k].resize(mh.size());
        for (std::size_t s = 0; s < mh.size(); ++s)
            jacobian[k][s] = (mh[s] - ml[s]) / (up - down);
    }
    if (std::all_of(jacobian.begin(), jacobian.end(),
                    [](const auto& column) { return !column.empty(); })) {
        std::vector<std::vector<double>> jtj(n, std::vector<double>(n, 0));
        for (std::size_t a = 0; a < n; ++a)
            for (std::size_t b = 0; b <= a; ++b) {
                double s = 0;
                for (std::size_t r = 0; r < result.Samples; ++r)
                    s += jacobian[a][r] * jacobian[b][r];
                jtj[a][b] = jtj[b][a] = s;
            }
        const double sigma2 = sum / static_cast<double>(result.Samples - n);
        if (const auto inverse = Inverse(jtj)) {
            for (std::size_t k = 0; k < n; ++k)
                result.StdErrors[k] = std::sqrt(sigma2 * (*inverse)[k][k]);
        } else {
            result.Notes.push_back("the channels do not tell the fitted inputs apart (J^T J is "
                                   "singular): their standard errors are not known");
        }
    }

    if (result.Status == FitStatus::Converged)
        for (std::size_t k = 0; k < n; ++k) {
            const FitParameter& p = setup.Parameters[k];
            const double scaled = (result.Values[k] - p.Lo) / (p.Hi - p.Lo);
            if (scaled <= OnBoundTolerance || scaled >= 1 - OnBoundTolerance) {
                result.Status = FitStatus::OnBound;
                result.Notes.push_back(
                    p.Name + " ends on its " + (scaled <= OnBoundTolerance ? "lower" : "upper") +
                    " bound " + ShortestNumber(scaled <= OnBoundTolerance ? p.Lo : p.Hi) +
                    "; widen the bounds or fix it");
            }
        }

    std::vector<TrialSetting> settings;
    for (std::size_t k = 0; k < n; ++k)
        if (setup.Parameters[k].Input)
            settings.push_back({setup.Parameters[k].Input, result.Values[k]});
    result.DataValues = setup.Base->TrialValues(settings);
    result.Seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return result;
}

std::string FitReport(const FitSetup& setup, const FitResult& result) {
    std::string text;
    for (std::size_t k = 0; k < result.Values.size(); ++k)
        text += FitLine(setup.Parameters[k].Name, result.Values[k], result.StdErrors[k]) + "\n";
    for (std::size_t c = 0; c < result.Channels.size(); ++c) {
        const MeasuredChannel& channel = setup.Profile->Channels[c];
        const Difference& d = result.Channels[c];
        text += channel.Name + " [" + DepthText(channel.Depth) +
                "]: samples=" + std::to_string(d.Samples) + " rms=" + ShortestNumber(d.Rms) +
                " max=" + ShortestNumber(d.Max) + "\n";
    }
    return text;
}

} // namespace korvane
