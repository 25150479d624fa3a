#pragma once

#include "ExactSlab.h"
#include "RunHistory.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// One temperature of a run along the whole line, against the time since the
// plate entered zone 1 (the CSV's time_s). A later zone's first row repeats
// the last row of the zone before and is taken once; between samples the
// channel is linear in time.
struct TimeSample {
    double Time = 0; // s
    double Value = 0;
};
using Channel = std::vector<TimeSample>;

// T1..T11 as printed, TAV, or the temperature at a depth, linear between the
// nodes.
struct ChannelName {
    enum class Kind { Point, Mean, Depth } What = Kind::Mean;
    std::size_t Point = 0; // 0..10 (T1..T11)
    double Depth = 0;      // cm from face 1
};

enum class StatKind { PeakT, PeakTime, TimeAbove, TimeBetween, TimeTo, MaxRiseRate, MaxFallRate };

// A statistic of a channel, with its arguments (the numbers in brackets).
struct ProfileStat {
    ChannelName Channel;
    StatKind Stat = StatKind::PeakT;
    double X = 0, Y = 0;
};

// "T6.time_above[217.5]", "TAV.time_between[150:190]", "z[0.04].peak.T":
// arguments in square brackets, separated by ":", "." as the decimal point,
// so that a name holds no comma and its last dot outside brackets starts the
// statistic's last word. Nothing for any other text.
std::optional<ProfileStat> ParseProfileStat(std::string_view text);

// The forms ParseProfileStat reads, for a message: "CH.STAT, CH one of ...".
std::string ProfileStatForms();

// The scheme's channel: from every row of every zone, a depth from each row's
// nodes. Nothing for a depth outside the plate or rows without nodes (a run
// read from a result file).
std::optional<Channel> SchemeChannel(const RunHistory& run, const ChannelName& channel);

// The exact solution at the same rows: T1..T11 and TAV from exact, a depth
// from slab. Nothing when a zone of the run has no exact solution, or for a
// depth outside the plate.
std::optional<Channel> ExactChannel(const RunHistory& run, const ExactRun& exact,
                                    const ExactSlab& slab, const ChannelName& channel);

// The statistics; NaN where there is none (a temperature never reached, an
// empty channel).
double PeakValue(const Channel& channel);
double PeakTime(const Channel& channel); // the first time of the maximum
// Total time above x.
double TimeAbove(const Channel& channel, double x);
// From the first rising crossing of x to the first rising crossing of y after
// it; a rising crossing is where the channel comes up from below to the value.
double TimeBetween(const Channel& channel, double x, double y);
// The first time the channel is at x, rising, falling, or from the start.
double TimeTo(const Channel& channel, double x);
// The largest rise and fall between consecutive samples, C/s; 0 when none.
double MaxRiseRate(const Channel& channel);
double MaxFallRate(const Channel& channel);

double StatValue(const Channel& channel, const ProfileStat& stat);

} // namespace korvane
