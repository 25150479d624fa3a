#include "MeasuredProfile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace korvane {

namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

std::string ColumnList(const LoggerTable& table) {
    std::string list;
    for (std::size_t c = 1; c <= table.Columns; ++c)
        list += (c > 1 ? ", " : "") + std::to_string(c) + " \"" + table.ColumnName(c) + "\"";
    return list;
}

std::string Quoted(std::string_view cell) {
    return "\"" + std::string(cell) + "\"";
}

} // namespace

std::optional<ChannelDepth> ParseDepth(std::string_view text) {
    const std::string word = Lower(text);
    if (word == "face1")
        return ChannelDepth{ChannelDepth::Kind::Face1, 0};
    if (word == "face2")
        return ChannelDepth{ChannelDepth::Kind::Face2, 0};
    if (word == "centre" || word == "center")
        return ChannelDepth{ChannelDepth::Kind::Centre, 0};
    if (word == "mean")
        return ChannelDepth{ChannelDepth::Kind::Mean, 0};
    const auto cm = ParseLoggerNumber(text, '.');
    if (!cm || !(*cm >= 0) || text.find(',') != std::string_view::npos)
        return std::nullopt;
    return ChannelDepth{ChannelDepth::Kind::Cm, *cm};
}

std::string DepthText(const ChannelDepth& depth) {
    switch (depth.Where) {
    case ChannelDepth::Kind::Face1:
        return "face1";
    case ChannelDepth::Kind::Face2:
        return "face2";
    case ChannelDepth::Kind::Centre:
        return "centre";
    case ChannelDepth::Kind::Mean:
        return "mean";
    case ChannelDepth::Kind::Cm:
        break;
    }
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, depth.Cm).ptr);
}

double DepthCm(const ChannelDepth& depth, double thickness) {
    switch (depth.Where) {
    case ChannelDepth::Kind::Face1:
        return 0;
    case ChannelDepth::Kind::Face2:
        return thickness;
    case ChannelDepth::Kind::Centre:
        return thickness / 2;
    case ChannelDepth::Kind::Mean:
        return std::numeric_limits<double>::quiet_NaN();
    case ChannelDepth::Kind::Cm:
        break;
    }
    return std::clamp(depth.Cm, 0.0, thickness);
}

ParsedChannel ParseChannelOption(std::string_view text) {
    ParsedChannel parsed;
    const auto equals = text.rfind('=');
    if (equals == std::string_view::npos || equals == 0) {
        parsed.Error = "--channel " + std::string(text) +
                       ": give COLUMN=DEPTH, such as 2=face1 or \"TC1\"=centre";
        return parsed;
    }
    const auto depth = ParseDepth(text.substr(equals + 1));
    if (!depth) {
        parsed.Error = "--channel " + std::string(text) + ": the depth \"" +
                       std::string(text.substr(equals + 1)) +
                       "\" is none of face1, face2, centre, mean or a depth in cm from face 1";
        return parsed;
    }
    parsed.Channel = {std::string(text.substr(0, equals)), *depth};
    return parsed;
}

std::string ChannelOptionText(const ChannelRequest& channel) {
    return channel.Column + "=" + DepthText(channel.Depth);
}

std::optional<TemperatureUnit> ParseUnit(std::string_view text) {
    const std::string word = Lower(text);
    if (word == "c" || word == "\u00b0c" || word == "\u2103")
        return TemperatureUnit::Celsius;
    if (word == "f" || word == "\u00b0f" || word == "\u2109")
        return TemperatureUnit::Fahrenheit;
    return std::nullopt;
}

std::optional<double> ParseStartTime(std::string_view text) {
    if (!text.empty() && text.front() == '-') {
        const auto later = ParseLoggerTime(text.substr(1), '.');
        return later && text.size() > 1 && text[1] != '-' && text[1] != '+'
                   ? std::optional<double>(-*later)
                   : std::nullopt;
    }
    return ParseLoggerTime(text, '.');
}

bool HeaderSaysFahrenheit(std::string_view header) {
    const std::string text(header);
    const std::string lower = Lower(header);
    return text.find("\u00b0F") != std::string::npos || text.find("\u2109") != std::string::npos ||
           text.find("(F)") != std::string::npos || text.find("[F]") != std::string::npos ||
           lower.find("degf") != std::string::npos || lower.find("deg f") != std::string::npos;
}

std::size_t FindColumn(const LoggerTable& table, std::string_view column) {
    const std::string where = MeasuredPlace(table.File, 0, 0);
    if (!column.empty() &&
        std::all_of(column.begin(), column.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        std::size_t number = 0;
        const auto result = std::from_chars(column.data(), column.data() + column.size(), number);
        if (result.ec != std::errc() || number < 1 || number > table.Columns)
            throw MeasuredError(where + "there is no column " + std::string(column) + "; the " +
                                std::to_string(table.Columns) +
                                " columns are: " + ColumnList(table));
        return number;
    }
    const auto find = [&](auto same) -> std::size_t {
        std::size_t found = 0;
        for (std::size_t c = 1; c <= table.Header.size(); ++c)
            if (same(table.Header[c - 1])) {
                if (found)
                    throw MeasuredError(where + "\"" + std::string(column) + "\" names columns " +
                                        std::to_string(found) + " and " + std::to_string(c) +
                                        "; name it by its number");
                found = c;
            }
        return found;
    };
    const std::string lower = Lower(column);
    if (const auto c = find([&](const std::string& h) { return h == column; }))
        return c;
    if (const auto c = find([&](const std::string& h) { return Lower(h) == lower; }))
        return c;
    if (const auto c = find([&](const std::string& h) { return Lower(h).rfind(lower, 0) == 0; }))
        return c;
    throw MeasuredError(where + "no column is named \"" + std::string(column) + "\"; " +
                        (table.Header.empty() ? "the file has no header row, so name columns "
                                                "by number; "
                                              : "") +
                        "the columns are: " + ColumnList(table));
}

MeasuredProfile ExtractProfile(const LoggerTable& table, const MeasuredRequest& request) {
    MeasuredProfile profile;
    profile.File = table.File;
    profile.Start = request.Start;
    profile.Encoding = table.Encoding;
    profile.Delimiter = table.Delimiter;
    profile.Decimal = table.Decimal;
    profile.HeaderLine = table.HeaderLine;
    if (request.Channels.empty())
        throw MeasuredError(MeasuredPlace(table.File, 0, 0) + "no channel is named");
    const std::size_t timeColumn =
        request.TimeColumn.empty() ? 1 : FindColumn(table, request.TimeColumn);
    profile.TimeColumn = table.ColumnName(timeColumn);
    for (const auto& wanted : request.Channels) {
        MeasuredChannel channel;
        const std::size_t column = FindColumn(table, wanted.Column);
        if (column == timeColumn)
            throw MeasuredError(MeasuredPlace(table.File, 0, 0) + "column " +
                                std::to_string(column) + " \"" + table.ColumnName(column) +
                                "\" is the time column");
        for (const auto& other : profile.Channels)
            if (other.Column == static_cast<int>(column))
                throw MeasuredError(MeasuredPlace(table.File, 0, 0) + "column " +
                                    std::to_string(column) + " \"" + table.ColumnName(column) +
                                    "\" is named twice");
        channel.Name = table.ColumnName(column);
        channel.Column = static_cast<int>(column);
        channel.Depth = wanted.Depth;
        channel.Unit = request.Unit.value_or(column <= table.Header.size() &&
                                                     HeaderSaysFahrenheit(table.Header[column - 1])
                                                 ? TemperatureUnit::Fahrenheit
                                                 : TemperatureUnit::Celsius);
        profile.Channels.push_back(std::move(channel));
    }

    double lastTime = -std::numeric_limits<double>::infinity();
    int lastLine = 0;
    const auto cellAt = [](const LoggerTable::Row& row, std::size_t column) -> std::string_view {
        return column <= row.Cells.size() ? std::string_view(row.Cells[column - 1])
                                          : std::string_view();
    };
    const auto number = [&](const LoggerTable::Row& row, std::size_t column,
                            std::string_view cell) -> std::string {
        const char other = table.Decimal == '.' ? ',' : '.';
        if (ParseLoggerNumber(cell, other) || ParseLoggerTime(cell, other))
            return MeasuredPlace(table.File, row.Line, static_cast<int>(column)) + Quoted(cell) +
                   " has \"" + std::string(1, other) +
                   "\" as its decimal symbol, but the file's is \"" +
                   std::string(1, table.Decimal) + "\"";
        return {};
    };
    for (const auto& row : table.Rows) {
        const std::string_view timeCell = cellAt(row, timeColumn);
        if (timeCell.empty())
            continue;
        const auto time = ParseLoggerTime(timeCell, table.Decimal);
        if (!time) {
            const std::string mixed = number(row, timeColumn, timeCell);
            throw MeasuredError(
                !mixed.empty()
                    ? mixed
                    : MeasuredPlace(table.File, row.Line, static_cast<int>(timeColumn)) +
                          Quoted(timeCell) + " is not a time (seconds, mm:ss or hh:mm:ss, with \"" +
                          std::string(1, table.Decimal) + "\" before a fraction)");
        }
        if (*time < lastTime)
            throw MeasuredError(MeasuredPlace(table.File, row.Line, static_cast<int>(timeColumn)) +
                                "the time " + std::string(timeCell) + " is before that of line " +
                                std::to_string(lastLine));
        lastTime = *time;
        lastLine = row.Line;
        for (auto& channel : profile.Channels) {
            const std::size_t column = static_cast<std::size_t>(channel.Column);
            const std::string_view cell = cellAt(row, column);
            if (cell.empty())
                continue;
            const auto value = ParseLoggerNumber(cell, table.Decimal);
            if (!value) {
                const std::string mixed = number(row, column, cell);
                throw MeasuredError(!mixed.empty()
                                        ? mixed
                                        : MeasuredPlace(table.File, row.Line, channel.Column) +
                                              Quoted(cell) + " is not a temperature");
            }
            const double celsius =
                channel.Unit == TemperatureUnit::Fahrenheit ? (*value - 32) * 5 / 9 : *value;
            channel.Time.push_back(*time);
            channel.Temp.push_back(celsius);
            channel.Line.push_back(row.Line);
        }
    }
    for (const auto& channel : profile.Channels)
        if (channel.Time.empty())
            throw MeasuredError(MeasuredPlace(table.File, 0, channel.Column) + "\"" + channel.Name +
                                "\" holds no temperature");
    return profile;
}

MeasuredRequest SuggestRequest(const LoggerTable& table) {
    MeasuredRequest request;
    request.File = table.File;
    using Kind = ChannelDepth::Kind;
    const std::pair<const char*, Kind> words[] = {
        {"face 1", Kind::Face1},  {"face1", Kind::Face1},   {"top", Kind::Face1},
        {"face 2", Kind::Face2},  {"face2", Kind::Face2},   {"bottom", Kind::Face2},
        {"middle", Kind::Centre}, {"centre", Kind::Centre}, {"center", Kind::Centre},
        {"core", Kind::Centre},   {"mean", Kind::Mean},     {"average", Kind::Mean}};
    for (std::size_t c = 2; c <= table.Header.size(); ++c) {
        const std::string header = Lower(table.Header[c - 1]);
        for (const auto& [word, kind] : words)
            if (header.find(word) != std::string::npos) {
                request.Channels.push_back({std::to_string(c), {kind, 0}});
                break;
            }
    }
    if (request.Channels.empty() && table.Columns >= 2)
        request.Channels.push_back({"2", {Kind::Face1, 0}});
    return request;
}

MeasuredProfile ReadMeasuredProfile(const MeasuredRequest& request) {
    return ExtractProfile(ReadLoggerTable(request.File), request);
}

} // namespace korvane
