#include "ProfileStats.h"

#include "RunExport.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace korvane {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// Splits at the dots that are not inside square brackets; nothing when the
// brackets do not pair up.
std::optional<std::vector<std::string_view>> SplitWords(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t start = 0;
    bool inside = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '[') {
            if (inside)
                return std::nullopt;
            inside = true;
        } else if (c == ']') {
            if (!inside)
                return std::nullopt;
            inside = false;
        } else if (c == '.' && !inside) {
            words.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    if (inside)
        return std::nullopt;
    words.push_back(text.substr(start));
    return words;
}

// "name[a:b]" with count numbers, or "name" alone for count 0.
std::optional<std::vector<double>> Call(std::string_view word, std::string_view name,
                                        std::size_t count) {
    if (!word.starts_with(name))
        return std::nullopt;
    word.remove_prefix(name.size());
    std::vector<double> args;
    if (count == 0)
        return word.empty() ? std::optional(args) : std::nullopt;
    if (word.size() < 2 || word.front() != '[' || word.back() != ']')
        return std::nullopt;
    word = word.substr(1, word.size() - 2);
    std::size_t start = 0;
    while (true) {
        const auto colon = word.find(':', start);
        const auto value = ParsePlainNumber(word.substr(start, colon - start));
        if (!value)
            return std::nullopt;
        args.push_back(*value);
        if (colon == std::string_view::npos)
            break;
        start = colon + 1;
    }
    if (args.size() != count)
        return std::nullopt;
    return args;
}

std::optional<ChannelName> ParseChannel(std::string_view word) {
    ChannelName channel;
    if (word == "TAV")
        return channel;
    if (const auto depth = Call(word, "z", 1)) {
        channel.What = ChannelName::Kind::Depth;
        channel.Depth = (*depth)[0];
        return channel;
    }
    if (word.size() < 2 || word.size() > 3 || word[0] != 'T' || word[1] == '0')
        return std::nullopt;
    std::size_t point = 0;
    const auto read = std::from_chars(word.data() + 1, word.data() + word.size(), point);
    if (read.ec != std::errc() || read.ptr != word.data() + word.size() || point < 1 ||
        point > PrintedPoints)
        return std::nullopt;
    channel.What = ChannelName::Kind::Point;
    channel.Point = point - 1;
    return channel;
}

// (t, value) of every row of every zone, a later zone's repeated first row
// left out; value(zone, row) gives the channel's value or nothing.
template <class Value> std::optional<Channel> Along(const RunHistory& run, Value value) {
    const double v = CmPerSecOf(run.Input);
    const auto starts = ZoneLineStarts(run);
    Channel channel;
    for (std::size_t i = 0; i < run.Zones.size(); ++i) {
        const auto& rows = run.Zones[i].Rows;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            if (r == 0 && !channel.empty())
                continue;
            const std::optional<double> at = value(i, r);
            if (!at)
                return std::nullopt;
            // As the CSV's time_s.
            const double zLine = starts[i] + rows[r].Z;
            channel.push_back({zLine / v, *at});
        }
    }
    return channel;
}

bool InPlate(const RunHistory& run, double depth) {
    return depth >= 0 && depth <= run.Input.Thickness;
}

// Where a segment reaches x (a value between its ends), linear in time; a
// row on the value is its own time.
double CrossTime(const TimeSample& a, const TimeSample& b, double x) {
    if (x == b.Value)
        return b.Time;
    if (x == a.Value)
        return a.Time;
    return static_cast<double>(a.Time + (static_cast<long double>(x) - a.Value) *
                                            (static_cast<long double>(b.Time) - a.Time) /
                                            (static_cast<long double>(b.Value) - a.Value));
}

bool RisesTo(const TimeSample& a, const TimeSample& b, double x) {
    return a.Value < x && x <= b.Value;
}

} // namespace

std::optional<ProfileStat> ParseProfileStat(std::string_view text) {
    const auto words = SplitWords(text);
    if (!words || words->size() < 2 || words->size() > 3)
        return std::nullopt;
    const auto channel = ParseChannel((*words)[0]);
    if (!channel)
        return std::nullopt;
    ProfileStat stat;
    stat.Channel = *channel;
    const std::string_view w = (*words)[1];
    if (words->size() == 3) {
        if (w != "peak")
            return std::nullopt;
        if ((*words)[2] == "T")
            stat.Stat = StatKind::PeakT;
        else if ((*words)[2] == "time_s")
            stat.Stat = StatKind::PeakTime;
        else
            return std::nullopt;
        return stat;
    }
    if (const auto x = Call(w, "time_above", 1)) {
        stat.Stat = StatKind::TimeAbove;
        stat.X = (*x)[0];
    } else if (const auto xy = Call(w, "time_between", 2)) {
        stat.Stat = StatKind::TimeBetween;
        stat.X = (*xy)[0];
        stat.Y = (*xy)[1];
        if (!(stat.X < stat.Y))
            return std::nullopt;
    } else if (const auto to = Call(w, "time_to", 1)) {
        stat.Stat = StatKind::TimeTo;
        stat.X = (*to)[0];
    } else if (w == "max_rise_rate") {
        stat.Stat = StatKind::MaxRiseRate;
    } else if (w == "max_fall_rate") {
        stat.Stat = StatKind::MaxFallRate;
    } else {
        return std::nullopt;
    }
    return stat;
}

std::string ProfileStatForms() {
    return "CH.STAT, CH one of T1..T11, TAV, z[DEPTH] (cm from face 1), STAT one of peak.T, "
           "peak.time_s, time_above[X], time_between[X:Y] (X < Y), time_to[X], max_rise_rate, "
           "max_fall_rate";
}

std::optional<Channel> SchemeChannel(const RunHistory& run, const ChannelName& channel) {
    using Kind = ChannelName::Kind;
    if (channel.What == Kind::Depth && !InPlate(run, channel.Depth))
        return std::nullopt;
    const std::size_t layers =
        run.Input.LayerCount > 0 ? static_cast<std::size_t>(run.Input.LayerCount) : 0;
    return Along(run, [&](std::size_t i, std::size_t r) -> std::optional<double> {
        const HistoryRow& row = run.Zones[i].Rows[r];
        if (channel.What == Kind::Mean)
            return row.Mean;
        if (channel.What == Kind::Point)
            return row.Points[channel.Point];
        if (layers == 0 || row.Nodes.size() != layers + 1)
            return std::nullopt;
        // Node j lies at j H / layers.
        const long double p =
            static_cast<long double>(channel.Depth) / run.Input.Thickness * layers;
        const std::size_t j = std::min(static_cast<std::size_t>(p), layers - 1);
        const long double f = p - j;
        return static_cast<double>(row.Nodes[j] +
                                   (static_cast<long double>(row.Nodes[j + 1]) - row.Nodes[j]) * f);
    });
}

std::optional<Channel> ExactChannel(const RunHistory& run, const ExactRun& exact,
                                    const ExactSlab& slab, const ChannelName& channel) {
    using Kind = ChannelName::Kind;
    if (channel.What == Kind::Depth && !InPlate(run, channel.Depth))
        return std::nullopt;
    const double v = CmPerSecOf(run.Input);
    return Along(run, [&](std::size_t i, std::size_t r) -> std::optional<double> {
        if (channel.What == Kind::Depth) {
            if (i >= slab.SolvedZones())
                return std::nullopt;
            return slab.Temperature(i, channel.Depth, run.Zones[i].Rows[r].Z / v);
        }
        if (i >= exact.size() || !exact[i] || r >= exact[i]->size())
            return std::nullopt;
        const ExactRow& row = (*exact[i])[r];
        return channel.What == Kind::Mean ? row.Mean : row.Points[channel.Point];
    });
}

double PeakValue(const Channel& channel) {
    double peak = NaN;
    for (const auto& s : channel)
        if (std::isnan(peak) || s.Value > peak)
            peak = s.Value;
    return peak;
}

double PeakTime(const Channel& channel) {
    const double peak = PeakValue(channel);
    for (const auto& s : channel)
        if (s.Value == peak)
            return s.Time;
    return NaN;
}

double TimeAbove(const Channel& channel, double x) {
    if (channel.empty())
        return NaN;
    long double sum = 0;
    for (std::size_t k = 1; k < channel.size(); ++k) {
        const TimeSample &a = channel[k - 1], &b = channel[k];
        const bool aAbove = a.Value > x, bAbove = b.Value > x;
        if (aAbove && bAbove)
            sum += static_cast<long double>(b.Time) - a.Time;
        else if (aAbove)
            sum += static_cast<long double>(CrossTime(a, b, x)) - a.Time;
        else if (bAbove)
            sum += static_cast<long double>(b.Time) - CrossTime(a, b, x);
    }
    return static_cast<double>(sum);
}

double TimeBetween(const Channel& channel, double x, double y) {
    std::size_t k = 1;
    while (k < channel.size() && !RisesTo(channel[k - 1], channel[k], x))
        ++k;
    if (k >= channel.size())
        return NaN;
    const double from = CrossTime(channel[k - 1], channel[k], x);
    for (; k < channel.size(); ++k) {
        if (!RisesTo(channel[k - 1], channel[k], y))
            continue;
        const double to = CrossTime(channel[k - 1], channel[k], y);
        if (to >= from)
            return static_cast<double>(static_cast<long double>(to) - from);
    }
    return NaN;
}

double TimeTo(const Channel& channel, double x) {
    if (channel.empty())
        return NaN;
    if (channel.front().Value == x)
        return channel.front().Time;
    for (std::size_t k = 1; k < channel.size(); ++k) {
        const TimeSample &a = channel[k - 1], &b = channel[k];
        if (RisesTo(a, b, x) || (a.Value > x && x >= b.Value))
            return CrossTime(a, b, x);
    }
    return NaN;
}

namespace {

// The largest rise (sign 1) or fall (sign -1) per second between samples.
double MaxRate(const Channel& channel, int sign) {
    if (channel.empty())
        return NaN;
    double best = 0;
    for (std::size_t k = 1; k < channel.size(); ++k) {
        const long double dt = static_cast<long double>(channel[k].Time) - channel[k - 1].Time;
        if (!(dt > 0))
            continue;
        const double rate = static_cast<double>(
            sign * (static_cast<long double>(channel[k].Value) - channel[k - 1].Value) / dt);
        best = std::max(best, rate);
    }
    return best;
}

} // namespace

double MaxRiseRate(const Channel& channel) {
    return MaxRate(channel, 1);
}

double MaxFallRate(const Channel& channel) {
    return MaxRate(channel, -1);
}

double StatValue(const Channel& channel, const ProfileStat& stat) {
    switch (stat.Stat) {
    case StatKind::PeakT:
        return PeakValue(channel);
    case StatKind::PeakTime:
        return PeakTime(channel);
    case StatKind::TimeAbove:
        return TimeAbove(channel, stat.X);
    case StatKind::TimeBetween:
        return TimeBetween(channel, stat.X, stat.Y);
    case StatKind::TimeTo:
        return TimeTo(channel, stat.X);
    case StatKind::MaxRiseRate:
        return MaxRiseRate(channel);
    case StatKind::MaxFallRate:
        return MaxFallRate(channel);
    }
    return NaN;
}

} // namespace korvane
