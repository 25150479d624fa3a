#pragma once

#include "DataFile.h"
#include "FitOptions.h"
#include "MeasuredProfile.h"
#include "ProfileComparison.h"
#include "WhatIfCase.h"

#include <functional>
#include <string>
#include <vector>

namespace korvane {

// A fit of a data file's inputs to a measured profile.
struct FitSetup {
    const WhatIfCase* Base = nullptr;
    const MeasuredProfile* Profile = nullptr; // its Start is where start begins
    std::vector<FitParameter> Parameters;
    FitModel Model = FitModel::Exact;
    double Lag = 0;       // s, where lag is not fitted
    unsigned Threads = 0; // 0: the cores (at most 8) for ten thousand points or more, else 1
    int MaxEvaluations = 4000;
};

// Empty, or why the fit cannot run: an input named twice, a bound that
// switches a zone off or that the checks refuse, an input of a zone the data
// file does not compute, a depth beyond the plate, no sample in the line.
std::string FitSetupProblem(const FitSetup& setup);

enum class FitStatus {
    Converged,    // within the bounds
    OnBound,      // converged, but an input ends on one of its bounds
    NotConverged, // the optimiser stopped before it met its tolerance
    Refused,      // a trial's inputs were refused by the checks
    Stopped       // the caller said stop
};

struct FitResult {
    FitStatus Status = FitStatus::Refused;
    std::vector<double> Initial;           // where each input started
    std::vector<double> Values, StdErrors; // NaN error: the channels cannot tell it apart
    // What the user should know: an input started at the middle of its
    // bounds, one that ends on a bound, why the fit did not converge.
    std::vector<std::string> Notes;
    std::vector<Difference> Channels; // measured - model over the samples fitted
    std::size_t Samples = 0;
    double Rms = 0;
    int Evaluations = 0;
    double Seconds = 0;
    double Start = 0, Lag = 0;  // as fitted, or as given
    DataLineArray DataValues{}; // the data file's values with the fitted inputs
};

// Bounded nonlinear least squares (NLopt's BOBYQA on the inputs scaled to
// their bounds), then the standard errors from the Jacobian at the optimum by
// central differences: sigma^2 (J^T J)^-1, sigma^2 the residuals' sum of
// squares over samples less inputs. The samples are those in the line at the
// starting values. progress sees each trial and may return false to stop.
FitResult RunFit(const FitSetup& setup,
                 const std::function<bool(int evaluations, double rms)>& progress = {});

// What korvane-batch prints: a line per input ("NAME=VALUE ± STDERR"), then
// per channel "NAME [DEPTH]: samples=N rms=R max=M".
std::string FitReport(const FitSetup& setup, const FitResult& result);

// The value of an input in validated inputs.
double InputValue(const TCalcInput& input, const InputName& name);

} // namespace korvane
