#include "ResultNumber.h"

#include <charconv>
#include <cmath>
#include <string>

namespace korvane {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Skips a run of digits; false when there is none.
bool Digits(std::string_view text, std::size_t& at) {
    const std::size_t start = at;
    while (at < text.size() && IsDigit(text[at]))
        ++at;
    return at > start;
}

} // namespace

std::optional<double> ParseResultNumber(std::string_view text) {
    // Checked by hand first: from_chars would take "inf", "0x1p3" or a
    // second decimal symbol's prefix, none of which the file ever holds.
    std::string plain(text);
    std::size_t at = 0;
    if (at < text.size() && text[at] == '-')
        ++at;
    if (!Digits(text, at))
        return std::nullopt;
    if (at < text.size() && (text[at] == '.' || text[at] == ',')) {
        plain[at] = '.';
        ++at;
        if (!Digits(text, at))
            return std::nullopt;
    }
    if (at < text.size() && (text[at] == 'E' || text[at] == 'e')) {
        ++at;
        if (at < text.size() && (text[at] == '-' || text[at] == '+'))
            ++at;
        if (!Digits(text, at))
            return std::nullopt;
    }
    if (at != text.size())
        return std::nullopt;

    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace korvane
