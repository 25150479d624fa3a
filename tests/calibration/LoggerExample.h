#pragma once

#include "CalcTypes.h"
#include "MeasuredProfile.h"

#include <string>
#include <vector>

namespace korvane::testing {

// A logger that rides through the line: the exact solution at known inputs,
// sampled at a fixed interval from before zone 1 to after the line, with
// Gaussian noise of a fixed seed, so that a fit has a known answer.
struct SyntheticLogger {
    double Start = 37.4;   // the logger's time at zone 1's entry, s
    double Interval = 2.0; // s
    double After = 20;     // s recorded past the line's end
    double Noise = 0.2;    // C, standard deviation
    unsigned Seed = 20240314;
    double Lag = 0; // the thermocouples' time constant, s
    std::vector<ChannelDepth> Depths = {{ChannelDepth::Kind::Face1, 0},
                                        {ChannelDepth::Kind::Centre, 0},
                                        {ChannelDepth::Kind::Face2, 0}};
};

struct SyntheticProfile {
    std::vector<double> Time;              // the logger's time, s
    std::vector<std::vector<double>> Temp; // [channel][sample], C
};
SyntheticProfile MakeProfile(const TCalcInput& input, const SyntheticLogger& logger);

// The profile as the example's logger writes it: a preamble, ";" between
// fields, decimal commas, mm:ss.s, degrees Fahrenheit to 0.1.
std::string ExampleLoggerText(const SyntheticProfile& profile);

// The same samples as a plain CSV: seconds, ".", Celsius to 0.001.
std::string PlainCsvText(const SyntheticProfile& profile);

// The inputs of a data file, as a run takes them.
TCalcInput InputOfDataFile(const std::string& path);

} // namespace korvane::testing
