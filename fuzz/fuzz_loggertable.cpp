// The logger reader on arbitrary bytes: no crash, no hang; a refusal names
// the file, and a line that the file has. What it accepts has finite
// samples in time order, and each channel written back as a plain CSV with
// the shortest numbers reads again as the same samples.
#include "FuzzCheck.h"
#include "MeasuredProfile.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

using namespace korvane;

namespace {

std::string Number(double value) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// The line number a message names, or 0.
long LineOf(const std::string& message) {
    const auto at = message.find(": line ");
    return at == std::string::npos ? 0 : std::strtol(message.c_str() + at + 7, nullptr, 10);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    long lines = 1;
    for (const char c : bytes)
        lines += c == '\n' || c == '\r';
    MeasuredProfile profile;
    try {
        const LoggerTable table = ParseLoggerTable(bytes, "log");
        profile = ExtractProfile(table, SuggestRequest(table));
    } catch (const MeasuredError& error) {
        const std::string message = error.what();
        FUZZ_CHECK(message.rfind("log: ", 0) == 0, "%s", fuzz::Shown(message).c_str());
        FUZZ_CHECK(LineOf(message) <= lines, "%s", fuzz::Shown(message).c_str());
        return 0;
    }
    for (const auto& channel : profile.Channels) {
        FUZZ_CHECK(!channel.Time.empty() && channel.Time.size() == channel.Temp.size(), "%s",
                   channel.Name.c_str());
        std::string csv = "time,T\n";
        for (std::size_t i = 0; i < channel.Time.size(); ++i) {
            FUZZ_CHECK(std::isfinite(channel.Time[i]) && std::isfinite(channel.Temp[i]),
                       "sample %zu", i);
            FUZZ_CHECK(i == 0 || channel.Time[i] >= channel.Time[i - 1], "sample %zu", i);
            csv += Number(channel.Time[i]) + "," + Number(channel.Temp[i]) + "\n";
        }
        MeasuredRequest again;
        again.Channels = {{"2", channel.Depth}};
        again.Unit = TemperatureUnit::Celsius;
        const auto back = ExtractProfile(ParseLoggerTable(csv, "back"), again);
        FUZZ_CHECK(back.Channels[0].Time == channel.Time && back.Channels[0].Temp == channel.Temp,
                   "%s", fuzz::Shown(csv.substr(0, 200)).c_str());
    }
    return 0;
}
