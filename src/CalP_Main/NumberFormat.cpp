#include "NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace korvane {

namespace {

char separator = '.';

constexpr int ExpansionDigits = 18;

// |value| as 18 significant decimal digits and the exponent E with
// |value| = 0.d1d2...d18 * 10^E.
void Expand(long double magnitude, std::string& digits, int& exponent) {
    char buffer[64];
    // Both conversions are exact; the double one is many times faster, and
    // nearly every value printed is a stored double.
    const double asDouble = static_cast<double>(magnitude);
    const auto result = static_cast<long double>(asDouble) == magnitude
                            ? std::to_chars(buffer, buffer + sizeof buffer, asDouble,
                                            std::chars_format::scientific, ExpansionDigits - 1)
                            : std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                            std::chars_format::scientific, ExpansionDigits - 1);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    digits.assign(1, text[0]);
    digits.append(text.substr(2, ExpansionDigits - 1));
    const auto e = text.find('e');
    int exp10 = 0;
    const char* first = text.data() + e + 1;
    if (*first == '+')
        ++first;
    std::from_chars(first, text.data() + text.size(), exp10);
    exponent = exp10 + 1;
}

std::string ZeroText(int digits) {
    std::string text = "0";
    if (digits > 0) {
        text += separator;
        text.append(static_cast<std::size_t>(digits), '0');
    }
    return text;
}

__extension__ typedef unsigned __int128 Wide; // a mantissa times 10^4 needs 67 bits

constexpr std::uint64_t PowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};

} // namespace

// Rounding the exact binary value at the last decimal kept, half away from
// zero, gives the digits of the 18-digit expansion rounded there, unless the
// value lies within half a unit of its 18th digit of a half: 18-digit rounding
// moves it by at most 0.5 10^(E - 18) = 0.5 10^(E + Digits - 18) units of the
// last decimal, below 2^-35 of a unit when E + Digits <= Precision <= 7. Values
// that close to a half (2^-30 here) go to the expansion.
bool FormatFixedCommon(long double Value, int Precision, int Digits, std::string& text) {
    if (Digits < 1 || Digits > 4 || Precision > 7 || Precision <= Digits)
        return false;
    const double v = static_cast<double>(Value);
    if (static_cast<long double>(v) != Value || !std::isfinite(v))
        return false;
    const double magnitude = std::fabs(v);
    const std::uint64_t unitsPerOne = PowersOfTen[Digits];
    // Every digit before the point kept, with room for a carry: E + Digits <= Precision.
    if (!(magnitude < 0.999 * static_cast<double>(PowersOfTen[Precision - Digits])))
        return false;
    if (magnitude < 0.4 / static_cast<double>(unitsPerOne)) {
        text = ZeroText(Digits);
        return true;
    }
    // magnitude = mantissa * 2^-shift, a normal double in the range above.
    std::uint64_t bits;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | std::uint64_t{1} << 52;
    const int shift = 1075 - static_cast<int>(bits >> 52); // 33..67
    const Wide scaled = static_cast<Wide>(mantissa) * unitsPerOne;
    const Wide one = static_cast<Wide>(1) << shift;
    const Wide rest = scaled & (one - 1);
    const Wide half = one >> 1;
    const Wide window = one >> 30;
    if ((rest > half ? rest - half : half - rest) <= window)
        return false;
    const std::uint64_t units = static_cast<std::uint64_t>(scaled >> shift) + (rest > half ? 1 : 0);
    if (units == 0) {
        text = ZeroText(Digits);
        return true;
    }

    char buffer[32];
    char* end = buffer + sizeof buffer;
    char* p = end;
    std::uint64_t fractionDigits = units % unitsPerOne;
    for (int i = 0; i < Digits; ++i, fractionDigits /= 10)
        *--p = static_cast<char>('0' + fractionDigits % 10);
    *--p = separator;
    std::uint64_t whole = units / unitsPerOne;
    do {
        *--p = static_cast<char>('0' + whole % 10);
        whole /= 10;
    } while (whole != 0);
    if (std::signbit(v))
        *--p = '-';
    text.assign(p, end);
    return true;
}

char DecimalSeparator() {
    return separator;
}
void SetDecimalSeparator(char value) {
    separator = value;
}

std::string FormatFixedByExpansion(long double Value, int Precision, int Digits) {
    Precision = std::clamp(Precision, 2, ExpansionDigits);
    Digits = std::clamp(Digits, 0, ExpansionDigits);
    const bool negative = std::signbit(Value);
    if (std::isnan(Value))
        return "NAN";
    if (std::isinf(Value))
        return negative ? "-INF" : "INF";
    if (Value == 0)
        return ZeroText(Digits);

    std::string digits;
    int E = 0;
    Expand(std::fabs(Value), digits, E);

    const int K = std::min(E + Digits, Precision);
    if (K < 0)
        return ZeroText(Digits);
    std::string kept = digits.substr(0, static_cast<std::size_t>(K));
    if (K < ExpansionDigits && digits[static_cast<std::size_t>(K)] >= '5') {
        int i = K - 1;
        while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9')
            kept[static_cast<std::size_t>(i--)] = '0';
        if (i >= 0) {
            ++kept[static_cast<std::size_t>(i)];
        } else {
            kept.assign(1, '1');
            ++E;
        }
    }
    while (!kept.empty() && kept.back() == '0')
        kept.pop_back();
    if (kept.empty())
        return ZeroText(Digits);

    std::string text = negative ? "-" : "";
    if (E > Precision) {
        text += kept[0];
        if (kept.size() > 1) {
            text += separator;
            text.append(kept, 1);
        }
        text += 'E';
        const int power = E - 1;
        if (power < 0)
            text += '-';
        std::string number = std::to_string(std::abs(power));
        const std::size_t minimum = Digits <= 4 ? static_cast<std::size_t>(Digits) : 0;
        if (number.size() < minimum)
            number.insert(0, minimum - number.size(), '0');
        return text + number;
    }

    const auto digitAt = [&](int index) {
        return index >= 0 && index < static_cast<int>(kept.size())
                   ? kept[static_cast<std::size_t>(index)]
                   : '0';
    };
    if (E > 0) {
        for (int i = 0; i < E; ++i)
            text += digitAt(i);
    } else {
        text += '0';
    }
    if (Digits > 0) {
        text += separator;
        // Fraction digit f (from 0) is significant digit E + f.
        for (int f = 0; f < Digits; ++f)
            text += digitAt(E + f);
    }
    return text;
}

std::string FormatFixed(long double Value, int Precision, int Digits) {
    std::string text;
    if (!FormatFixedCommon(Value, Precision, Digits, text))
        text = FormatFixedByExpansion(Value, Precision, Digits);
    return text;
}

std::string FormatRight(int Width, int Digits, long double Value) {
    std::string text = FormatFixed(Value, Width, Digits);
    // A text of 3 to Width characters becomes Width long; any other stays.
    if (text.size() >= 3 && text.size() < static_cast<std::size_t>(Width))
        text.insert(0, static_cast<std::size_t>(Width) - text.size(), ' ');
    return text;
}

} // namespace korvane
