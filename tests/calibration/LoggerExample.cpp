#include "LoggerExample.h"

#include "ExactLine.h"
#include "ProfileComparison.h"
#include "RunExport.h"
#include "WhatIfCase.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>
#include <stdexcept>
#include <variant>

namespace korvane::testing {

namespace {

// Box-Muller on the generator's own numbers: the same on every library.
class Gaussian {
  public:
    explicit Gaussian(unsigned seed) : engine_(seed) {}
    double operator()() {
        const auto uniform = [this] {
            return (static_cast<double>(engine_()) + 0.5) / 4294967296.0;
        };
        const double u1 = uniform(), u2 = uniform();
        return std::sqrt(-2 * std::log(u1)) * std::cos(2 * std::numbers::pi * u2);
    }

  private:
    std::mt19937 engine_;
};

std::string Fixed(double value, int decimals, char decimal) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string text = buffer;
    for (char& c : text)
        if (c == '.')
            c = decimal;
    return text;
}

std::string Clock(double seconds) {
    const long tenths = std::lround(seconds * 10);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02ld:%02ld.%ld", tenths / 600, tenths / 10 % 60,
                  tenths % 10);
    return buffer;
}

} // namespace

SyntheticProfile MakeProfile(const TCalcInput& input, const SyntheticLogger& logger) {
    ExactOptions options;
    options.SumTolerance = 1e-9;
    options.MinTime = input.DeltaZ / CmPerSecOf(input) / 1000;
    const ExactModel model(std::make_shared<const ExactLine>(input, options));
    SyntheticProfile profile;
    const double end = logger.Start + model.LineEnd() + logger.After;
    for (long i = 0; i * logger.Interval <= end; ++i)
        profile.Time.push_back(static_cast<double>(i) * logger.Interval);
    std::vector<double> since;
    for (const double t : profile.Time)
        since.push_back(t - logger.Start);
    Gaussian noise(logger.Seed);
    for (const auto& depth : logger.Depths)
        profile.Temp.push_back(ModelAtTimes(model, depth, since, logger.Lag));
    // Noise sample after sample, channel after channel, as a logger reads them.
    for (std::size_t i = 0; i < profile.Time.size(); ++i)
        for (auto& channel : profile.Temp)
            channel[i] += logger.Noise * noise();
    return profile;
}

std::string ExampleLoggerText(const SyntheticProfile& profile) {
    std::string text = "Logger;TempTrace 8\nSerial;TT8-20419\nInterval;2,0 s\n"
                       "Started;2024-03-14 09:12:05\nChannels;3\n\n"
                       "Time;TC1 top (\u00b0F);TC2 middle (\u00b0F);TC3 bottom (\u00b0F)\n";
    for (std::size_t i = 0; i < profile.Time.size(); ++i) {
        text += Clock(profile.Time[i]);
        for (const auto& channel : profile.Temp)
            text += ";" + Fixed(channel[i] * 9 / 5 + 32, 1, ',');
        text += "\n";
    }
    return text;
}

std::string PlainCsvText(const SyntheticProfile& profile) {
    std::string text = "time_s";
    for (std::size_t c = 0; c < profile.Temp.size(); ++c)
        text += ",T" + std::to_string(c + 1);
    text += "\n";
    for (std::size_t i = 0; i < profile.Time.size(); ++i) {
        text += ShortestNumber(profile.Time[i]);
        for (const auto& channel : profile.Temp)
            text += "," + Fixed(channel[i], 3, '.');
        text += "\n";
    }
    return text;
}

TCalcInput InputOfDataFile(const std::string& path) {
    auto loaded = WhatIfCase::FromDataFile(path);
    if (auto* message = std::get_if<std::string>(&loaded))
        throw std::runtime_error(*message);
    auto input = std::get<WhatIfCase>(loaded).TrialInput({}, "memory");
    if (auto* message = std::get_if<std::string>(&input))
        throw std::runtime_error(*message);
    return std::get<TCalcInput>(input);
}

} // namespace korvane::testing
