#pragma once

#include "LoggerTable.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// Where a thermocouple sits in the plate.
struct ChannelDepth {
    enum class Kind { Face1, Face2, Centre, Mean, Cm } Where = Kind::Face1;
    double Cm = 0; // from face 1, for Kind::Cm
};

// "face1", "face2", "centre" (or "center"), "mean", or a depth in cm from
// face 1 ("." as the decimal point).
std::optional<ChannelDepth> ParseDepth(std::string_view text);
std::string DepthText(const ChannelDepth& depth);
// cm from face 1 in a plate of this thickness; NaN for the mean.
double DepthCm(const ChannelDepth& depth, double thickness);

enum class TemperatureUnit { Celsius, Fahrenheit };

// What the user asks of a logger's file.
struct ChannelRequest {
    std::string Column; // header text, or the column's number from 1
    ChannelDepth Depth;
};
struct MeasuredRequest {
    std::string File;
    std::vector<ChannelRequest> Channels;
    std::string TimeColumn;              // empty: the first column
    std::optional<TemperatureUnit> Unit; // otherwise from each column's header
    double Start = 0;                    // the logger's time when the plate entered zone 1, s
};

// --channel COLUMN=DEPTH: split at the last "=".
struct ParsedChannel {
    ChannelRequest Channel;
    std::string Error;
};
ParsedChannel ParseChannelOption(std::string_view text);
std::string ChannelOptionText(const ChannelRequest& channel);
// --unit C|F
std::optional<TemperatureUnit> ParseUnit(std::string_view text);
// --start: seconds ("." as the decimal point), or mm:ss(.s) / hh:mm:ss(.s).
std::optional<double> ParseStartTime(std::string_view text);

// Whether a column's header says Fahrenheit: "°F", "℉", "(F)", "[F]", "degF".
bool HeaderSaysFahrenheit(std::string_view header);

// One thermocouple's samples, in the order of the file.
struct MeasuredChannel {
    std::string Name; // the header text, or "column N"
    int Column = 0;   // from 1
    ChannelDepth Depth;
    TemperatureUnit Unit = TemperatureUnit::Celsius; // as the file has it
    std::vector<double> Time;                        // the logger's time, s
    std::vector<double> Temp;                        // C
    std::vector<int> Line;                           // of each sample in the file
};

struct MeasuredProfile {
    std::string File;
    std::vector<MeasuredChannel> Channels;
    double Start = 0; // the logger's time at zone 1's entry
    // How the file was read, for the user.
    std::string Encoding;
    char Delimiter = ',', Decimal = '.';
    int HeaderLine = 0;
    std::string TimeColumn;
};

// The column a request names: a number from 1, or header text (exactly,
// then ignoring case, then the one header that starts with it). Throws
// MeasuredError that lists the columns.
std::size_t FindColumn(const LoggerTable& table, std::string_view column);

// The channels' samples: a line without a time is passed over, an empty cell
// is no sample; a time before the line above's, a cell that is not a number
// and a channel without any sample are refused with their line and column.
MeasuredProfile ExtractProfile(const LoggerTable& table, const MeasuredRequest& request);

// A first guess at which column is which, for the user to correct: the
// first column is the time; each other whose header names a depth ("top" or
// "face 1", "middle", "centre" or "core", "bottom" or "face 2", "mean" or
// "average") is a channel at that depth; when none does, the second column
// is one at face 1. Columns by number.
MeasuredRequest SuggestRequest(const LoggerTable& table);
MeasuredProfile ReadMeasuredProfile(const MeasuredRequest& request);

} // namespace korvane
