#include "NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

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

} // namespace

char DecimalSeparator() {
    return separator;
}
void SetDecimalSeparator(char value) {
    separator = value;
}

std::string FormatFixed(long double Value, int Precision, int Digits) {
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

std::string FormatRight(int Width, int Digits, long double Value) {
    std::string text = FormatFixed(Value, Width, Digits);
    for (int i = 3; i <= Width; ++i)
        if (static_cast<std::size_t>(i) == text.size())
            text.insert(0, static_cast<std::size_t>(Width - i), ' ');
    return text;
}

} // namespace korvane
