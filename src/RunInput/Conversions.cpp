#include "Conversions.h"

#include "NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace korvane {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Leading blanks and an optional sign; returns whether the sign was a minus.
bool SkipBlanksAndSign(std::string_view text, std::size_t& i) {
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        return text[i++] == '-';
    return false;
}

} // namespace

std::optional<double> ConvertReal(std::string_view text) {
    const char separator = DecimalSeparator();
    const std::size_t n = text.size();
    std::size_t i = 0;
    const bool negative = SkipBlanksAndSign(text, i);

    std::string mantissa;
    std::size_t digitCount = 0;
    // Position of the decimal point within the digits, counted from the left.
    std::int64_t pointAt = -1;
    while (i < n && (IsDigit(text[i]) || (text[i] == separator && pointAt < 0))) {
        if (text[i] == separator) {
            pointAt = static_cast<std::int64_t>(digitCount);
        } else {
            mantissa += text[i];
            ++digitCount;
        }
        ++i;
    }
    if (digitCount == 0)
        return std::nullopt;
    if (pointAt < 0)
        pointAt = static_cast<std::int64_t>(digitCount);

    // Exponents far beyond any double's range are clamped; the result is the same.
    std::int64_t exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            expNegative = text[i++] == '-';
        if (i >= n || !IsDigit(text[i]))
            return std::nullopt;
        while (i < n && IsDigit(text[i])) {
            if (exponent < std::int64_t{1000000000000000})
                exponent = exponent * 10 + (text[i] - '0');
            ++i;
        }
        if (expNegative)
            exponent = -exponent;
    }
    while (i < n && text[i] == ' ')
        ++i;
    if (i != n)
        return std::nullopt;

    const auto firstNonZero = mantissa.find_first_not_of('0');
    if (firstNonZero == std::string::npos)
        return negative ? -0.0 : 0.0;

    // Canonical form for the locale-free reader: digits, then a power of ten.
    const std::int64_t power = exponent - (static_cast<std::int64_t>(digitCount) - pointAt);
    std::string canonical = mantissa.substr(firstNonZero);
    canonical += 'e';
    canonical += std::to_string(power);

    double value = 0;
    const auto result =
        std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Below the smallest subnormal the nearest double is zero; above the
        // largest the text does not convert.
        const std::int64_t magnitude =
            power + static_cast<std::int64_t>(mantissa.size() - firstNonZero);
        if (magnitude > 0)
            return std::nullopt;
        value = 0;
    } else if (result.ec != std::errc() || result.ptr != canonical.data() + canonical.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<std::int32_t> ConvertInteger(std::string_view text) {
    const std::size_t n = text.size();
    std::size_t i = 0;
    const bool negative = SkipBlanksAndSign(text, i);

    int base = 10;
    if (i < n && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i < n && (text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= n)
        return std::nullopt;

    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < n; ++i) {
        const int digit = base == 16 ? HexValue(text[i]) : (IsDigit(text[i]) ? text[i] - '0' : -1);
        if (digit < 0)
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return std::nullopt;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace korvane
