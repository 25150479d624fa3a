#include "ProcessWindow.h"

#include "RunExport.h"
#include "WindowJson.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace korvane {

namespace {

constexpr const char* LimitForm = "{\"metric\": NAME, \"min\": NUMBER, \"max\": NUMBER}";

// Keys named twice in one object, which the parser would let the last one win:
// the first such key and the limit it is in (0 outside the limits).
struct Duplicates {
    std::vector<std::set<std::string>> keys; // per open object
    std::string lastTopKey;
    std::size_t limit = 0; // of the limits array, from 1
    std::string key;       // the first key named twice
    std::size_t keyLimit = 0;
};

std::string Quoted(const std::string& key) {
    return "\"" + key + "\"";
}

// "line 3, column 14: syntax error ..." from the parser's message.
std::string SyntaxPlace(const Json::exception& error) {
    const std::string what = error.what();
    const std::string at = "parse error at ";
    if (const auto start = what.find(at); start != std::string::npos)
        return what.substr(start + at.size());
    // Number overflow and the like carry no place of their own.
    const auto bracket = what.find("] ");
    return bracket == std::string::npos ? what : what.substr(bracket + 2);
}

std::variant<ProcessWindow, std::string> FromJson(const Json& root, const MetricCheck& check) {
    if (!root.is_object())
        return std::string("a window is a JSON object {\"name\": TEXT, \"limits\": [") + LimitForm +
               ", ...]}";
    ProcessWindow window;
    for (auto it = root.begin(); it != root.end(); ++it)
        if (it.key() != "name" && it.key() != "limits")
            return "unknown key " + Quoted(it.key()) + " (a window has \"name\" and \"limits\")";
    if (root.contains("name")) {
        if (!root["name"].is_string())
            return std::string("\"name\" is not a text");
        window.Name = root["name"].get<std::string>();
    }
    if (!root.contains("limits"))
        return std::string("the window has no \"limits\"");
    const Json& limits = root["limits"];
    if (!limits.is_array())
        return std::string("\"limits\" is not an array [") + LimitForm + ", ...]";
    if (limits.empty())
        return std::string("\"limits\" is empty");
    for (std::size_t i = 0; i < limits.size(); ++i) {
        const Json& item = limits[i];
        std::string place = "limit " + std::to_string(i + 1);
        if (!item.is_object())
            return place + " is not an object " + LimitForm;
        WindowLimit limit;
        if (!item.contains("metric"))
            return place + " has no \"metric\"";
        if (!item["metric"].is_string())
            return place + ": \"metric\" is not a text";
        limit.Metric = item["metric"].get<std::string>();
        if (const std::string problem = check(limit.Metric); !problem.empty())
            return place + ": " + problem;
        place += " (" + limit.Metric + ")";
        for (auto it = item.begin(); it != item.end(); ++it)
            if (it.key() != "metric" && it.key() != "min" && it.key() != "max" &&
                it.key() != "label")
                return place + ": unknown key " + Quoted(it.key()) +
                       " (a limit has \"metric\", \"min\", \"max\" and \"label\")";
        for (const auto& [key, bound] : {std::pair{"min", &limit.Min}, {"max", &limit.Max}}) {
            if (!item.contains(key))
                return place + " has no " + Quoted(key) +
                       " (both bounds are needed: write a one-sided limit with a far other "
                       "bound)";
            if (!item[key].is_number())
                return place + ": " + Quoted(key) + " is not a number";
            *bound = item[key].get<double>();
            if (!std::isfinite(*bound))
                return place + ": " + Quoted(key) + " is not a finite number";
        }
        if (!(limit.Min < limit.Max))
            return place + ": min " + ShortestNumber(limit.Min) + " is not below max " +
                   ShortestNumber(limit.Max);
        if (item.contains("label")) {
            if (!item["label"].is_string())
                return place + ": \"label\" is not a text";
            limit.Label = item["label"].get<std::string>();
        }
        window.Limits.push_back(std::move(limit));
    }
    return window;
}

} // namespace

std::variant<ProcessWindow, std::string> ParseWindow(std::string_view text,
                                                     const MetricCheck& check) {
    Duplicates seen;
    const Json::parser_callback_t watch = [&seen](int depth, Json::parse_event_t event,
                                                  Json& parsed) {
        using Event = Json::parse_event_t;
        if (event == Event::object_start) {
            seen.keys.emplace_back();
            // The limits' objects lie at depth 2, in the top object's "limits".
            if (depth == 2 && seen.lastTopKey == "limits")
                ++seen.limit;
        } else if (event == Event::object_end) {
            if (!seen.keys.empty())
                seen.keys.pop_back();
        } else if (event == Event::key && !seen.keys.empty()) {
            const std::string key = parsed.get<std::string>();
            if (depth == 1)
                seen.lastTopKey = key;
            if (!seen.keys.back().insert(key).second && seen.key.empty()) {
                seen.key = key;
                seen.keyLimit = depth == 3 && seen.lastTopKey == "limits" ? seen.limit : 0;
            }
        }
        return true;
    };
    Json root;
    try {
        root = Json::parse(text.begin(), text.end(), watch);
    } catch (const Json::exception& error) {
        return SyntaxPlace(error);
    }
    if (!seen.key.empty())
        return (seen.keyLimit ? "limit " + std::to_string(seen.keyLimit) + " names "
                              : std::string("the window names ")) +
               Quoted(seen.key) + " twice";
    return FromJson(root, check);
}

std::variant<ProcessWindow, std::string> ReadWindowFile(const std::string& path,
                                                        const MetricCheck& check) {
    std::string text, error;
    if (!ReadWholeFile(path, text, error))
        return "Can not read the window file " + path + " (" + error + ")";
    auto parsed = ParseWindow(text, check);
    if (auto* message = std::get_if<std::string>(&parsed))
        *message = "window file " + path + ": " + *message;
    return parsed;
}

double LimitIndex(double value, double min, double max) {
    // |2 value - min - max| / (max - min): exactly 100 on a bound.
    const long double off = std::fabs(2.0L * value - min - max);
    return static_cast<double>(100 * off / (static_cast<long double>(max) - min));
}

WindowResult EvaluateWindow(const ProcessWindow& window,
                            const std::function<double(const std::string& metric)>& value) {
    WindowResult result;
    bool all = true, pass = !window.Limits.empty();
    double pwi = 0;
    for (const auto& limit : window.Limits) {
        LimitResult r;
        r.Value = value(limit.Metric);
        if (!std::isnan(r.Value)) {
            r.Index = LimitIndex(r.Value, limit.Min, limit.Max);
            r.Pass = limit.Min <= r.Value && r.Value <= limit.Max;
            pwi = std::max(pwi, r.Index);
        } else {
            all = false;
        }
        pass = pass && r.Pass;
        result.Limits.push_back(r);
    }
    result.Pass = pass;
    if (all && !window.Limits.empty())
        result.Pwi = pwi;
    return result;
}

Json WindowSideJson(const ProcessWindow& window, const WindowResult& result) {
    Json limits = Json::array();
    for (std::size_t i = 0; i < window.Limits.size(); ++i) {
        const WindowLimit& limit = window.Limits[i];
        const LimitResult r = i < result.Limits.size() ? result.Limits[i] : LimitResult{};
        limits.push_back({{"metric", limit.Metric},
                          {"label", limit.Label.empty() ? Json(nullptr) : Json(limit.Label)},
                          {"value", JsonNumber(r.Value)},
                          {"min", JsonNumber(limit.Min)},
                          {"max", JsonNumber(limit.Max)},
                          {"index", JsonNumber(r.Index)},
                          {"pass", r.Pass}});
    }
    return {{"pwi", JsonNumber(result.Pwi)}, {"pass", result.Pass}, {"limits", limits}};
}

Json WindowJson(const ProcessWindow& window, const WindowResult& scheme,
                const WindowResult& exact) {
    return {{"scheme", WindowSideJson(window, scheme)}, {"exact", WindowSideJson(window, exact)}};
}

} // namespace korvane
