// ConvertReal and ConvertInteger against a second, regex-based reading of the
// box grammar, with strtod (C locale) as the reference for the value.
#include "Conversions.h"
#include "FuzzCheck.h"
#include "NumberFormat.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <regex>
#include <string>

using korvane::fuzz::Shown;

namespace {

// Long texts only slow the regex down; the grammar has nothing that needs them.
constexpr std::size_t MaxText = 200;

const std::regex& RealGrammar(char separator) {
    static const std::regex point(
        R"(^ *[+-]?(?:[0-9]+(?:\.[0-9]*)?|\.[0-9]+)(?:[eE][+-]?[0-9]+)? *$)");
    static const std::regex comma(
        R"(^ *[+-]?(?:[0-9]+(?:,[0-9]*)?|,[0-9]+)(?:[eE][+-]?[0-9]+)? *$)");
    return separator == ',' ? comma : point;
}

std::optional<double> ReferenceReal(const std::string& text, char separator) {
    if (!std::regex_match(text, RealGrammar(separator)))
        return std::nullopt;
    std::string c = text;
    for (char& ch : c)
        if (ch == separator)
            ch = '.';
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(c.c_str(), &end);
    FUZZ_CHECK(end != c.c_str(), "strtod read nothing of \"%s\"", Shown(text).c_str());
    if (errno == ERANGE && std::isinf(value))
        return std::nullopt;
    return value;
}

std::optional<std::int32_t> ReferenceInteger(const std::string& text) {
    static const std::regex grammar(R"(^ *([+-]?)(?:(\$|0[xX]|[xX])([0-9A-Fa-f]+)|([0-9]+))$)");
    std::smatch m;
    if (!std::regex_match(text, m, grammar))
        return std::nullopt;
    const bool hex = m[2].matched;
    const std::string digits = hex ? m[3].str() : m[4].str();
    const int base = hex ? 16 : 10;
    long long magnitude = 0;
    for (char ch : digits) {
        const int d = std::isdigit(static_cast<unsigned char>(ch))
                          ? ch - '0'
                          : std::tolower(static_cast<unsigned char>(ch)) - 'a' + 10;
        magnitude = magnitude * base + d;
        if (magnitude > (1LL << 32))
            return std::nullopt;
    }
    const long long value = m[1].str() == "-" ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

bool SameDouble(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > MaxText + 1)
        return 0;
    const char separator = (data[0] & 1) ? ',' : '.';
    korvane::SetDecimalSeparator(separator);
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    const auto real = korvane::ConvertReal(text);
    const auto expected = ReferenceReal(text, separator);
    FUZZ_CHECK(real.has_value() == expected.has_value(),
               "ConvertReal(\"%s\", '%c') %s, the grammar %s", Shown(text).c_str(), separator,
               real ? "converts" : "refuses", expected ? "accepts" : "refuses");
    if (real)
        FUZZ_CHECK(SameDouble(*real, *expected), "ConvertReal(\"%s\", '%c') = %.17g, not %.17g",
                   Shown(text).c_str(), separator, *real, *expected);

    const auto integer = korvane::ConvertInteger(text);
    const auto expectedInt = ReferenceInteger(text);
    FUZZ_CHECK(integer == expectedInt, "ConvertInteger(\"%s\") = %s, expected %s",
               Shown(text).c_str(), integer ? std::to_string(*integer).c_str() : "none",
               expectedInt ? std::to_string(*expectedInt).c_str() : "none");
    return 0;
}
