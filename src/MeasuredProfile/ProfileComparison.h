#pragma once

#include "ExactLine.h"
#include "MeasuredProfile.h"
#include "RunHistory.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

// What a measured channel is held against: the temperature at a depth at any
// time since the plate entered zone 1. Before that the plate is at its
// initial temperature; past the line's end the model goes on smoothly (a
// fit's trial may move a sample there). Read from several threads at once.
class ProfileModel {
  public:
    virtual ~ProfileModel() = default;
    virtual double At(const ChannelDepth& depth, double t) const = 0;
    // The zone (0-based) of time t; nothing before 0 or after the line's end.
    virtual std::optional<std::size_t> ZoneAt(double t) const = 0;
    virtual double LineEnd() const = 0;
};

// The scheme's rows, straight between rows in time and between nodes in
// depth (the printed points of a run read from a result file); past the
// line's end the last row.
class SchemeModel : public ProfileModel {
  public:
    explicit SchemeModel(const RunHistory& run);
    double At(const ChannelDepth& depth, double t) const override;
    std::optional<std::size_t> ZoneAt(double t) const override;
    double LineEnd() const override;

  private:
    const RunHistory& run_;
    double cmPerSec_;
    std::vector<double> starts_, ends_; // s
    PointValues depths_;
};

// The exact solution along the line.
class ExactModel : public ProfileModel {
  public:
    explicit ExactModel(std::shared_ptr<const ExactLine> line) : line_(std::move(line)) {}
    double At(const ChannelDepth& depth, double t) const override;
    std::optional<std::size_t> ZoneAt(double t) const override { return line_->ZoneAt(t); }
    double LineEnd() const override { return line_->LineEnd(); }
    const ExactLine& Line() const { return *line_; }

  private:
    std::shared_ptr<const ExactLine> line_;
};

// Runs body(begin, end) over parts of [0, count), perhaps on several threads
// at once, and returns when all are done.
using ParallelFor = std::function<void(std::size_t count,
                                       const std::function<void(std::size_t, std::size_t)>& body)>;

// The model at times since zone 1's entry (in order, as a channel's samples
// are), seen through a thermocouple of first-order time constant lag (s; 0:
// none), which starts at the initial temperature.
std::vector<double> ModelAtTimes(const ProfileModel& model, const ChannelDepth& depth,
                                 const std::vector<double>& times, double lag,
                                 const ParallelFor* parallel = nullptr);

// The same for several channels at once, all their points shared out in one
// go: a fit's trial is too short for a hand-over per channel.
struct ModelQuery {
    ChannelDepth Depth;
    std::vector<double> Times;
};
std::vector<std::vector<double>> ModelAtTimes(const ProfileModel& model,
                                              const std::vector<ModelQuery>& queries, double lag,
                                              const ParallelFor* parallel = nullptr);

// The times of a channel's samples since zone 1's entry.
std::vector<double> SinceEntry(const MeasuredChannel& channel, double start);

// The smallest time after a zone's entry at which any sample lies (at least
// a thousandth of a step): the exact series need that many terms.
double SmallestZoneTime(const MeasuredProfile& profile, const ExactLine& line, double start);

// measured - model over some samples: how many, the RMS and the difference of
// largest magnitude, with its sign (NaN without samples).
struct Difference {
    std::size_t Samples = 0;
    double Rms = 0, Max = 0;
    void Add(double difference);
    void Finish();
};

struct ZoneDifference {
    int ZoneNo = 0;
    Difference Scheme, Exact; // Exact has no samples where the zone has no exact solution
};

struct ChannelComparison {
    const MeasuredChannel* Channel = nullptr;
    std::size_t BeforeLine = 0, AfterLine = 0; // samples before zone 1 and after the last zone
    std::vector<ZoneDifference> Zones;
    Difference Scheme, Exact;                            // over the whole line
    std::vector<double> SchemeAtSamples, ExactAtSamples; // NaN outside the line
};

struct ProfileComparison {
    double Start = 0, Lag = 0;
    std::vector<ChannelComparison> Channels;
};

// Every channel against the run's rows and against the exact solution that
// hands over at the same rows.
ProfileComparison CompareProfile(const MeasuredProfile& profile, const RunHistory& run,
                                 double lag = 0);

// The report's "measured" member.
std::string ComparisonJson(const MeasuredProfile& profile, const ProfileComparison& comparison);

// One line per channel for standard output: samples in the line, then the
// RMS and the largest difference from the scheme and from the exact solution.
std::string ComparisonSummary(const ProfileComparison& comparison);

} // namespace korvane
