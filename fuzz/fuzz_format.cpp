// FormatFixed and FormatRight on arbitrary finite doubles and long doubles,
// against a second construction of the text: the 18-digit expansion (from
// printf) rounded half away from zero to a multiple of the last place kept.
#include "FuzzCheck.h"
#include "NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string Zero(int digits, char sep) {
    return digits > 0
               ? "0" + std::string(1, sep) + std::string(static_cast<std::size_t>(digits), '0')
               : "0";
}

std::string Expected(long double value, int precision, int digits, char sep) {
    const int P = std::clamp(precision, 2, 18);
    if (value == 0)
        return Zero(digits, sep);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17Le", std::fabs(value));
    // d.ddddddddddddddddde[+-]x
    std::uint64_t M = static_cast<std::uint64_t>(buf[0] - '0');
    for (int i = 2; i < 19; ++i)
        M = M * 10 + static_cast<std::uint64_t>(buf[i] - '0');
    const int E = std::atoi(buf + 20) + 1;

    const int K = std::min(E + digits, P);
    std::uint64_t q = 0;
    if (K >= 0) {
        std::uint64_t unit = 1;
        for (int i = 0; i < 18 - K; ++i)
            unit *= 10;
        q = M / unit;
        if ((M % unit) * 2 >= unit)
            ++q;
    }
    if (q == 0)
        return Zero(digits, sep);
    // The kept value is q * 10^place.
    int place = E - K;
    std::string qs = std::to_string(q);
    while (qs.size() > 1 && qs.back() == '0') {
        qs.pop_back();
        ++place;
    }
    const int exponent = static_cast<int>(qs.size()) + place; // digits before the point
    std::string text = std::signbit(value) ? "-" : "";
    if (exponent > P) {
        text += qs[0];
        if (qs.size() > 1)
            text += sep + qs.substr(1);
        text += 'E';
        std::string e = std::to_string(std::abs(exponent - 1));
        if (digits <= 4 && static_cast<int>(e.size()) < digits)
            e.insert(0, static_cast<std::size_t>(digits - static_cast<int>(e.size())), '0');
        if (exponent - 1 < 0)
            text += '-';
        return text + e;
    }
    // In units of 10^-digits the value is a whole number (place >= -digits).
    std::string units = qs + std::string(static_cast<std::size_t>(place + digits), '0');
    if (static_cast<int>(units.size()) < digits + 1)
        units.insert(0, static_cast<std::size_t>(digits + 1 - static_cast<int>(units.size())), '0');
    const std::size_t point = units.size() - static_cast<std::size_t>(digits);
    text += units.substr(0, point);
    if (digits > 0)
        text += sep + units.substr(point);
    return text;
}

void Check(long double value, int precision, int digits, char sep) {
    korvane::SetDecimalSeparator(sep);
    const std::string got = korvane::FormatFixed(value, precision, digits);
    const std::string want = Expected(value, precision, digits, sep);
    FUZZ_CHECK(got == want, "FormatFixed(%.21Lg, %d, %d) = \"%s\", expected \"%s\"", value,
               precision, digits, got.c_str(), want.c_str());
    FUZZ_CHECK(got.rfind("-0", 0) != 0 || got.find_first_of("123456789") != std::string::npos,
               "negative zero \"%s\"", got.c_str());

    // FormatRight: Width doubles as the precision; 3..Width characters are padded to Width.
    const std::string right = korvane::FormatRight(precision, digits, value);
    const int n = static_cast<int>(got.size());
    const std::string padded = n >= 3 && n <= precision
                                   ? std::string(static_cast<std::size_t>(precision - n), ' ') + got
                                   : got;
    FUZZ_CHECK(right == padded, "FormatRight(%d, %d, %.21Lg) = \"%s\", expected \"%s\"", precision,
               digits, value, right.c_str(), padded.c_str());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The oracle itself must hold the documented cases.
    const struct {
        double v;
        int p, d;
        const char* text;
    } known[] = {
        {0.000155, 7, 5, "0.00016"}, {0.15, 5, 1, "0.1"},        {0.25, 5, 1, "0.3"},
        {-0.04, 5, 1, "0.0"},        {-0.06, 5, 1, "-0.1"},      {12345.67, 5, 1, "12346.0"},
        {100000, 5, 1, "1E5"},       {123456, 5, 1, "1.2346E5"}, {12345678.9, 7, 5, "1.234568E7"},
        {0.005, 6, 2, "0.01"},       {99999.4, 5, 1, "99999.0"}};
    for (const auto& k : known) {
        FUZZ_CHECK(Expected(k.v, k.p, k.d, '.') == k.text, "oracle: %.17g gives \"%s\"", k.v,
                   Expected(k.v, k.p, k.d, '.').c_str());
        Check(k.v, k.p, k.d, '.');
    }
    return 0;
}

// Byte 0: long double or double, separator; byte 1: precision (0..20, held to
// 2..18 inside); byte 2: decimals (0..7); then the value's bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    const bool extended = data[0] & 1;
    const char sep = (data[0] & 2) ? ',' : '.';
    const int precision = data[1] % 21;
    const int digits = data[2] % 8;
    data += 3;
    size -= 3;

    long double value;
    if (extended) {
        if (size < 10)
            return 0;
        // Sign, 15-bit exponent and 64-bit significand, with the explicit
        // integer bit set as a canonical x87 number has it.
        std::uint64_t significand;
        std::memcpy(&significand, data, 8);
        const unsigned exp = (data[8] | (data[9] << 8)) & 0x7fff;
        const bool negative = data[9] & 0x80;
        if (exp == 0x7fff)
            return 0;
        if (exp != 0)
            significand |= 1ULL << 63;
        else
            significand &= ~(1ULL << 63);
        value = std::ldexp(static_cast<long double>(significand),
                           (exp == 0 ? 1 : static_cast<int>(exp)) - 16383 - 63);
        if (negative)
            value = -value;
    } else {
        if (size < 8)
            return 0;
        double d;
        std::memcpy(&d, data, 8);
        if (!std::isfinite(d))
            return 0;
        value = d;
    }
    Check(value, precision, digits, sep);
    return 0;
}
