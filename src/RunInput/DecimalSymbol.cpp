// The one place that asks the platform for a locale's decimal symbol: here
// the C library's locale data, opened beside the process's own locale.
#include "DecimalSymbol.h"

#include <cstdlib>
#include <cstring>
#include <langinfo.h>
#include <locale.h>

namespace korvane {

namespace {

bool IsSet(const char* value) {
    return value != nullptr && *value != '\0';
}

} // namespace

char NumericLocaleDecimalSymbol(const char* lcAll, const char* lcNumeric, const char* lang) {
    const char* name = IsSet(lcAll) ? lcAll : IsSet(lcNumeric) ? lcNumeric : lang;
    // Never "": to newlocale that means the process's environment.
    if (!IsSet(name))
        name = "C";
    const locale_t locale = ::newlocale(LC_NUMERIC_MASK, name, static_cast<locale_t>(0));
    if (locale == static_cast<locale_t>(0))
        return '.';
    const char* radix = ::nl_langinfo_l(RADIXCHAR, locale);
    const bool visibleAscii =
        radix != nullptr && std::strlen(radix) == 1 && radix[0] >= '!' && radix[0] <= '~';
    const char symbol = visibleAscii ? radix[0] : '.';
    ::freelocale(locale);
    return symbol;
}

char EnvironmentDecimalSymbol() {
    return NumericLocaleDecimalSymbol(std::getenv("LC_ALL"), std::getenv("LC_NUMERIC"),
                                      std::getenv("LANG"));
}

} // namespace korvane
