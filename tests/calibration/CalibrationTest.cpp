#include "Calibration.h"
#include "LoggerExample.h"
#include "TestSupport.h"
#include "WhatIfOptions.h"
#include "WorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>

namespace korvane {
namespace {

using namespace korvane::testing;

const std::string Examples = KORVANE_EXAMPLES_DIR;

// The example's guesses and a profile from the exact solution at the true
// inputs (examples/oven-true.txt), read back as the logger wrote it.
struct FitCase {
    WhatIfCase Base;
    MeasuredProfile Profile;
};

FitCase Case(const SyntheticLogger& logger, double startGuess,
             const std::string& dataFile = "oven.txt") {
    auto loaded = WhatIfCase::FromDataFile(Examples + "/" + dataFile);
    const TCalcInput truth = InputOfDataFile(Examples + "/oven-true.txt");
    MeasuredRequest request;
    request.Channels = {
        {"TC1", logger.Depths[0]}, {"TC2", logger.Depths[1]}, {"TC3", logger.Depths[2]}};
    request.Start = startGuess;
    const auto text = ExampleLoggerText(MakeProfile(truth, logger));
    return {std::get<WhatIfCase>(loaded),
            ExtractProfile(ParseLoggerTable(text, "oven-logger.csv"), request)};
}

FitParameter Fit(const std::string& text) {
    const auto parsed = ParseFitOption(text);
    EXPECT_EQ(parsed.Error, "") << text;
    return parsed.Parameter;
}

FitSetup SetupFor(const FitCase& c, std::vector<std::string> fits) {
    FitSetup setup;
    setup.Base = &c.Base;
    setup.Profile = &c.Profile;
    for (const auto& text : fits)
        setup.Parameters.push_back(Fit(text));
    return setup;
}

const std::vector<std::string> Coefficients = {"zone1.htc1=0.0001:0.01", "zone1.htc2=0.0001:0.01",
                                               "zone2.htc1=0.0001:0.01", "zone2.htc2=0.0001:0.01",
                                               "zone3.htc1=0.0001:0.01", "zone3.htc2=0.0001:0.01"};
const std::vector<double> TrueCoefficients = {0.0012, 0.0008, 0.0009, 0.0006, 0.0025, 0.0015};

TEST(Calibration, RecoversTheInputsOfANoisyExactProfile) {
    const FitCase c = Case({}, 37);
    auto fits = Coefficients;
    fits.push_back("start=30:45");
    const FitSetup setup = SetupFor(c, fits);
    ASSERT_EQ(FitSetupProblem(setup), "");
    const FitResult result = RunFit(setup);
    ASSERT_EQ(result.Status, FitStatus::Converged) << ::testing::PrintToString(result.Notes);
    auto truth = TrueCoefficients;
    truth.push_back(37.4);
    for (std::size_t k = 0; k < truth.size(); ++k) {
        EXPECT_GT(result.StdErrors[k], 0) << fits[k];
        EXPECT_LT(std::abs(result.Values[k] - truth[k]), 4 * result.StdErrors[k])
            << fits[k] << " = " << result.Values[k] << " ± " << result.StdErrors[k];
        // A fraction of a percent: the profile pins every coefficient down.
        EXPECT_LT(result.StdErrors[k], 0.01 * truth[k]) << fits[k];
    }
    // The residuals are the noise: 0.2 C, plus the logger's 0.1 F steps.
    ASSERT_EQ(result.Channels.size(), 3u);
    for (const auto& channel : result.Channels) {
        EXPECT_EQ(channel.Samples, 400u);
        EXPECT_NEAR(channel.Rms, 0.2, 0.02);
    }
    EXPECT_EQ(result.Samples, 1200u);
    EXPECT_EQ(result.Start, result.Values.back());
    // The fitted inputs stand in the data file's lines; start is no line of it.
    EXPECT_EQ(ParsePlainNumber(result.DataValues[9]), result.Values[0]);
    EXPECT_EQ(result.DataValues[1], c.Base.Values()[1]);
}

TEST(Calibration, TheSchemeAtACoarseGridSoaksItsErrorIntoTheCoefficients) {
    // The scheme at 10 layers is some 3 C from the exact solution; fitted to
    // the same profile, its coefficients land many standard errors away.
    const FitCase c = Case({}, 37.4);
    FitSetup setup = SetupFor(c, Coefficients);
    setup.Model = FitModel::Scheme;
    const FitResult result = RunFit(setup);
    ASSERT_EQ(result.Status, FitStatus::Converged);
    EXPECT_GT(std::abs(result.Values[0] - 0.0012), 10 * result.StdErrors[0]);
}

TEST(Calibration, FitsTheThermocouplesLag) {
    SyntheticLogger logger;
    logger.Lag = 4;
    // From the true inputs but for one coefficient, which the lag pulls.
    const FitCase c = Case(logger, 37.4, "oven-true.txt");
    const FitResult result =
        RunFit(SetupFor(c, {"zone1.htc1=0.0001:0.01", "zone3.htc2=0.0001:0.01", "lag=0:20"}));
    ASSERT_EQ(result.Status, FitStatus::Converged) << ::testing::PrintToString(result.Notes);
    EXPECT_LT(std::abs(result.Values[2] - 4), 4 * result.StdErrors[2]) << result.Values[2];
    EXPECT_LT(std::abs(result.Values[0] - 0.0012), 4 * result.StdErrors[0]);
    EXPECT_LT(std::abs(result.Values[1] - 0.0015), 4 * result.StdErrors[1]);
    EXPECT_EQ(result.Lag, result.Values[2]);
    // Without the lag the same profile pulls the coefficient away.
    const FitResult ignored =
        RunFit(SetupFor(c, {"zone1.htc1=0.0001:0.01", "zone3.htc2=0.0001:0.01"}));
    EXPECT_GT(std::abs(ignored.Values[0] - 0.0012), 10 * ignored.StdErrors[0]);
}

TEST(Calibration, GivesTheSameAnswerOnAnyNumberOfThreads) {
    const FitCase c = Case({}, 37);
    FitSetup setup =
        SetupFor(c, {"zone1.htc1=0.0001:0.01", "zone2.htc1=0.0001:0.01", "start=30:45"});
    setup.Threads = 1;
    const FitResult one = RunFit(setup);
    setup.Threads = 3;
    const FitResult three = RunFit(setup);
    EXPECT_EQ(one.Values, three.Values);
    EXPECT_EQ(one.StdErrors, three.StdErrors);
    EXPECT_EQ(one.Evaluations, three.Evaluations);

    WorkerPool pool(4);
    std::vector<int> hit(1000, 0);
    pool.Run(hit.size(), [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i)
            ++hit[i];
    });
    EXPECT_EQ(hit, std::vector<int>(1000, 1));
    EXPECT_THROW(pool.Run(100,
                          [](std::size_t begin, std::size_t) {
                              if (begin > 0)
                                  throw std::runtime_error("a part failed");
                          }),
                 std::runtime_error);
}

TEST(Calibration, SaysWhenAnInputEndsOnItsBoundOrTheFitCannotGoOn) {
    const FitCase c = Case({}, 37.4);
    // The truth, 0.0012, lies above these bounds.
    const FitResult bound =
        RunFit(SetupFor(c, {"zone1.htc1=0.0002:0.001", "zone1.htc2=0.0001:0.01"}));
    EXPECT_EQ(bound.Status, FitStatus::OnBound);
    EXPECT_EQ(bound.Values[0], 0.001);
    EXPECT_EQ(bound.Notes.back(),
              "zone1.htc1 ends on its upper bound 0.001; widen the bounds or fix it");
    // A start far off leaves too few samples in the line.
    const FitCase late = Case({}, 5000);
    const FitResult few = RunFit(SetupFor(late, {"zone1.htc1=0.0001:0.01"}));
    EXPECT_EQ(few.Status, FitStatus::NotConverged);
    EXPECT_EQ(few.Notes.back().substr(0, 28), "only 0 samples lie in the li");
    // Too few trials to meet the tolerance.
    FitSetup hurried = SetupFor(c, Coefficients);
    hurried.MaxEvaluations = 20;
    const FitResult cut = RunFit(hurried);
    EXPECT_EQ(cut.Status, FitStatus::NotConverged);
    EXPECT_EQ(cut.Notes.back(), "not converged: the most trials were spent after 20 trials");
    // The caller may stop it.
    std::atomic<int> seen = 0;
    const FitResult stopped = RunFit(SetupFor(c, Coefficients), [&](int trials, double rms) {
        seen = trials;
        EXPECT_GT(rms, 0);
        return trials < 5;
    });
    EXPECT_EQ(stopped.Status, FitStatus::Stopped);
    EXPECT_EQ(seen, 5);
    // Values outside the bounds start at their middle.
    const FitResult middle = RunFit(SetupFor(c, {"zone1.htc1=0.002:0.004"}));
    EXPECT_EQ(middle.Initial[0], 0.003);
    EXPECT_EQ(middle.Notes.front(),
              "zone1.htc1 starts at the middle of its bounds: 0.001 lies outside them");
}

TEST(Calibration, RefusesBoundsThatSwitchZonesOffOrThatTheChecksRefuse) {
    const FitCase c = Case({}, 37.4);
    const std::pair<const char*, const char*> refused[] = {
        {"zone2.htc1=0:0.01",
         "--fit zone2.htc1=0:0.01: a first coefficient of 0 switches zone 2 off (and one below 0 "
         "has no exact solution): LO must be above 0"},
        {"zone3.htc1=-0.001:0.01",
         "--fit zone3.htc1=-0.001:0.01: a first coefficient of 0 switches zone 3 off (and one "
         "below 0 has no exact solution): LO must be above 0"},
        {"zone2.htc2=-0.001:0.01",
         "--fit zone2.htc2=-0.001:0.01: a coefficient below 0 has no exact solution: LO must be "
         "0 or above"},
        {"zone4.outer1=10:100",
         "--fit zone4.outer1=10:100: the data file does not compute zone 4 (its first "
         "coefficient is empty or 0)"},
        {"speed=0:1",
         "--fit speed=0:1: at speed=0 the checks refuse the run: Value of Speed is not correct"},
        {"zone1.htc1=0:0.01", "--fit zone1.htc1=0:0.01: at zone1.htc1=0 the checks refuse the "
                              "run: Value of Heat Transfer Coefficient-1 is not correct"},
    };
    for (const auto& [fit, message] : refused)
        EXPECT_EQ(FitSetupProblem(SetupFor(c, {fit})), message) << fit;
    EXPECT_EQ(FitSetupProblem(SetupFor(c, {"speed=0.1:1", "speed=0.2:1"})),
              "--fit speed is given twice");
    EXPECT_EQ(FitSetupProblem(SetupFor(c, {})),
              "name at least one input to fit (--fit NAME=LO:HI)");
    // zone2.htc2 may reach 0 (an insulated face) and thickness may be fitted.
    EXPECT_EQ(FitSetupProblem(SetupFor(c, {"zone2.htc2=0:0.01", "thickness=0.2:0.4"})), "");

    for (const char* text : {"layers=3:10", "dz=0.1:1", "zone2.length=1:200"})
        EXPECT_NE(ParseFitOption(text).Error.find("sets where the rows lie and is not varied"),
                  std::string::npos)
            << text;
    EXPECT_EQ(ParseFitOption("lag=-1:5").Error, "--fit lag=-1:5: a time constant is not below 0");
    EXPECT_EQ(ParseFitOption("speed=2:1").Error, "--fit speed=2:1: LO must be below HI");
    EXPECT_EQ(ParseFitOption("speed=1,5:2").Error,
              "--fit speed=1,5:2: LO is not a number (\".\" as the decimal point): 1,5");
    EXPECT_EQ(ParseFitOption("speed").Error,
              "--fit speed: give NAME=LO:HI, such as zone1.htc1=0.0001:0.01");
    EXPECT_EQ(ParseFitOption("spede=1:2").Error.substr(0, 48),
              "--fit spede=1:2: unknown input 'spede'; a fit va");
    EXPECT_EQ(FitOptionText(Fit("start=-5:12.5")), "start=-5:12.5");
}

TEST(Calibration, TheExampleIsTheGeneratorsProfile) {
    // examples/oven-logger.csv is made by make_logger_example from
    // examples/oven-true.txt; whoever changes one makes the other again.
    const TCalcInput truth = InputOfDataFile(Examples + "/oven-true.txt");
    EXPECT_EQ(ReadFileBytes(Examples + "/oven-logger.csv"),
              ExampleLoggerText(MakeProfile(truth, SyntheticLogger{})));
}

TEST(Calibration, FitLinesReadBack) {
    const std::string line = FitLine("zone1.htc1", 0.0012019214773091838, 8.021732031431333e-07);
    EXPECT_EQ(line, "zone1.htc1=0.0012019214773091838 \u00b1 8.021732031431333e-07");
    const auto back = ParseFitLine(line + "\r\n");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Name, "zone1.htc1");
    EXPECT_EQ(back->Value, 0.0012019214773091838);
    EXPECT_EQ(back->StdError, 8.021732031431333e-07);
    const auto unknown = ParseFitLine(FitLine("start", 37, std::nan("")));
    ASSERT_TRUE(unknown);
    EXPECT_TRUE(std::isnan(unknown->StdError));
    EXPECT_FALSE(ParseFitLine("TC1 [face1]: samples=400 rms=0.2 max=0.6"));
    EXPECT_FALSE(ParseFitLine("x=1 \u00b1 y"));
}

} // namespace
} // namespace korvane
