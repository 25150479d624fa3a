#include "WhatIfOptions.h"

#include "RunExport.h"

#include <charconv>
#include <cmath>

namespace korvane {

namespace {

constexpr const char* DecimalPoint = " (\".\" as the decimal point)";

std::vector<std::string_view> SplitView(std::string_view text, char by) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const auto end = text.find(by, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

// "has no TO and STEPS", "has 4 parts, not 3": what is wrong with the count of
// the parts of FORM (such as "FROM:TO:STEPS") after the "=".
std::string PartsProblem(std::size_t got, const std::vector<const char*>& names) {
    std::string form;
    for (const char* name : names)
        form += (form.empty() ? "" : ":") + std::string(name);
    if (got > names.size())
        return form + " has " + std::to_string(got) + " parts, not " + std::to_string(names.size());
    if (got == 0)
        return "=" + form + " is missing";
    std::string missing;
    for (std::size_t i = got; i < names.size(); ++i)
        missing += (i == got ? "" : i + 1 == names.size() ? " and " : ", ") + std::string(names[i]);
    return form + " has no " + missing;
}

std::string NotANumber(const char* part, std::string_view text) {
    return std::string(part) + " is not a number" + DecimalPoint + ": '" + std::string(text) + "'";
}

bool Whole(double value) {
    return value == std::floor(value);
}

std::string SizeText(const std::vector<SweepAxis>& axes) {
    std::string text;
    for (const auto& axis : axes)
        text += (text.empty() ? "" : " x ") + std::to_string(axis.Steps);
    if (axes.size() > 1)
        text += " = " + std::to_string(SweepSize(axes));
    return text;
}

} // namespace

std::vector<double> AxisValues(const SweepAxis& axis) {
    std::vector<double> values;
    if (axis.Steps < 1)
        return values;
    const auto value = [&](int i) -> double {
        if (i == 0)
            return axis.From;
        if (i == axis.Steps - 1)
            return axis.To;
        const long double x =
            axis.From + (static_cast<long double>(axis.To) - axis.From) * i / (axis.Steps - 1);
        // Whole numbers at least 1 apart round to distinct whole numbers.
        return static_cast<double>(axis.Input && axis.Input->Integer ? std::round(x) : x);
    };
    for (int i = 0; i < axis.Steps; ++i)
        values.push_back(value(i));
    return values;
}

ParsedAxis ParseSweepAxis(std::string_view text) {
    ParsedAxis parsed;
    const auto equals = text.find('=');
    const std::string_view name = text.substr(0, equals);
    parsed.Axis.Input = FindInput(name);
    if (!parsed.Axis.Input) {
        parsed.Error = UnknownInputMessage(name);
        return parsed;
    }
    const auto refuse = [&](const std::string& problem) {
        parsed.Error = "--sweep " + std::string(text) + ": " + problem;
        return parsed;
    };
    const std::vector<const char*> form = {"FROM", "TO", "STEPS"};
    const auto parts = equals == std::string_view::npos ? std::vector<std::string_view>{}
                                                        : SplitView(text.substr(equals + 1), ':');
    if (parts.size() != form.size())
        return refuse(PartsProblem(parts.size(), form));
    const auto from = ParsePlainNumber(parts[0]);
    if (!from)
        return refuse(NotANumber("FROM", parts[0]));
    const auto to = ParsePlainNumber(parts[1]);
    if (!to)
        return refuse(NotANumber("TO", parts[1]));
    const auto steps = ParsePlainNumber(parts[2]);
    if (!steps)
        return refuse(NotANumber("STEPS", parts[2]));
    const std::string cap = std::to_string(MaxSweepTrials);
    if (!(*steps >= 1) || !Whole(*steps))
        return refuse("STEPS is a whole number of trials from 1 to " + cap + ", not " +
                      std::string(parts[2]));
    if (*steps > static_cast<double>(MaxSweepTrials))
        return refuse("STEPS is above the cap of " + cap + " trials: " + std::string(parts[2]));
    if (parsed.Axis.Input->Integer) {
        const std::string& input = parsed.Axis.Input->Name;
        for (std::size_t i = 0; i < 2; ++i)
            if (!Whole(i == 0 ? *from : *to))
                return refuse(input + " takes whole numbers, and " + form[i] +
                              " is not one: " + std::string(parts[i]));
        const long double count = std::fabs(static_cast<long double>(*to) - *from) + 1;
        if (count < *steps)
            return refuse("from " + ShortestNumber(*from) + " to " + ShortestNumber(*to) +
                          " there are only " + ShortestNumber(static_cast<double>(count)) +
                          " whole numbers, fewer than STEPS (" + std::string(parts[2]) + ")");
    }
    parsed.Axis.From = *from;
    parsed.Axis.To = *to;
    parsed.Axis.Steps = static_cast<int>(*steps);
    return parsed;
}

std::string SweepAxisText(const SweepAxis& axis) {
    return axis.Input->Name + "=" + ShortestNumber(axis.From) + ":" + ShortestNumber(axis.To) +
           ":" + std::to_string(axis.Steps);
}

std::size_t SweepSize(const std::vector<SweepAxis>& axes) {
    std::size_t size = axes.empty() ? 0 : 1;
    for (const auto& axis : axes)
        size *= static_cast<std::size_t>(std::max(axis.Steps, 0));
    return size;
}

std::string SweepGridProblem(const std::vector<SweepAxis>& axes) {
    for (std::size_t a = 0; a < axes.size(); ++a)
        for (std::size_t b = 0; b < a; ++b)
            if (axes[a].Input == axes[b].Input)
                return "input '" + axes[a].Input->Name + "' is swept twice";
    if (SweepSize(axes) > MaxSweepTrials)
        return std::string(axes.size() > 1 ? "the grid of " : "the sweep of ") + SizeText(axes) +
               " trials is above the cap of " + std::to_string(MaxSweepTrials) + " trials";
    return {};
}

ParsedShare ParseShare(std::string_view text) {
    ParsedShare parsed;
    const auto slash = text.find('/');
    const auto k = ParsePlainNumber(text.substr(0, slash));
    const auto n =
        slash == std::string_view::npos ? std::nullopt : ParsePlainNumber(text.substr(slash + 1));
    if (!k || !n || !Whole(*k) || !Whole(*n) || *k < 1 || *k > *n ||
        *n > static_cast<double>(MaxShareParts)) {
        parsed.Error =
            "--share reads K/N with whole numbers 1 <= K <= N <= " + std::to_string(MaxShareParts) +
            ": " + std::string(text);
        return parsed;
    }
    parsed.Share = {static_cast<std::size_t>(*k) - 1, static_cast<std::size_t>(*n)};
    return parsed;
}

std::string ShareText(SweepShare share) {
    return std::to_string(share.Part + 1) + "/" + std::to_string(share.Parts);
}

std::size_t ShareSize(std::size_t total, SweepShare share) {
    return total > share.Part ? (total - share.Part - 1) / share.Parts + 1 : 0;
}

std::string SweepCountLine(const std::vector<SweepAxis>& axes, SweepShare share) {
    const std::size_t total = SweepSize(axes);
    std::string line = "sweep of " + SizeText(axes) + (total == 1 ? " trial" : " trials");
    if (share.Parts > 1)
        line += "; share " + ShareText(share) + " runs " + std::to_string(ShareSize(total, share)) +
                " of them";
    return line;
}

ParsedSeekRange ParseSeekRange(std::string_view text) {
    ParsedSeekRange parsed;
    const auto equals = text.find('=');
    const std::string_view name = text.substr(0, equals);
    parsed.Range.Input = FindInput(name);
    if (!parsed.Range.Input) {
        parsed.Error = UnknownInputMessage(name);
        return parsed;
    }
    const auto refuse = [&](const std::string& problem) {
        parsed.Error = "--seek " + std::string(text) + ": " + problem;
        return parsed;
    };
    const std::vector<const char*> form = {"FROM", "TO"};
    const auto parts = equals == std::string_view::npos ? std::vector<std::string_view>{}
                                                        : SplitView(text.substr(equals + 1), ':');
    if (parts.size() != form.size())
        return refuse(PartsProblem(parts.size(), form));
    const auto from = ParsePlainNumber(parts[0]);
    if (!from)
        return refuse(NotANumber("FROM", parts[0]));
    const auto to = ParsePlainNumber(parts[1]);
    if (!to)
        return refuse(NotANumber("TO", parts[1]));
    parsed.Range.From = *from;
    parsed.Range.To = *to;
    return parsed;
}

std::string SeekRangeText(const SeekRange& range) {
    return range.Input->Name + "=" + ShortestNumber(range.From) + ":" + ShortestNumber(range.To);
}

ParsedTarget ParseSeekTarget(std::string_view text) {
    ParsedTarget parsed;
    const auto equals = text.rfind('=');
    const std::string_view name = text.substr(0, equals);
    auto metric = FindMetric(name);
    if (!metric) {
        parsed.Error = UnknownMetricMessage(name);
        return parsed;
    }
    parsed.Target.Metric = std::move(*metric);
    const auto refuse = [&](const std::string& problem) {
        parsed.Error = "--target " + std::string(text) + ": " + problem;
        return parsed;
    };
    if (equals == std::string_view::npos)
        return refuse("METRIC=VALUE has no VALUE");
    const auto value = ParsePlainNumber(text.substr(equals + 1));
    if (!value)
        return refuse(NotANumber("VALUE", text.substr(equals + 1)));
    parsed.Target.Value = *value;
    return parsed;
}

std::string SeekTargetText(const SeekTarget& target) {
    return target.Metric.Name + "=" + ShortestNumber(target.Value);
}

} // namespace korvane
