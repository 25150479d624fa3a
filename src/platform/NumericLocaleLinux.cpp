#include "NumericLocale.h"

#include <cstdlib>
#include <langinfo.h>
#include <locale.h>

namespace korvane::platform {

namespace {
bool IsSet(const char* value) {
    return value != nullptr && *value != '\0';
}
} // namespace

std::optional<std::string> LocaleDecimalText(const char* lcAll, const char* lcNumeric,
                                             const char* lang) {
    const char* name = IsSet(lcAll) ? lcAll : IsSet(lcNumeric) ? lcNumeric : lang;
    // Never "": to newlocale that means the process's environment.
    if (!IsSet(name))
        name = "C";
    // The locale's own data, as the C library reads it (LOCPATH included).
    const locale_t locale = ::newlocale(LC_NUMERIC_MASK, name, static_cast<locale_t>(0));
    if (locale == static_cast<locale_t>(0))
        return std::nullopt;
    const char* radix = ::nl_langinfo_l(RADIXCHAR, locale);
    std::optional<std::string> text;
    if (radix != nullptr)
        text = radix;
    ::freelocale(locale);
    return text;
}

std::optional<std::string> UserDecimalText() {
    return LocaleDecimalText(std::getenv("LC_ALL"), std::getenv("LC_NUMERIC"), std::getenv("LANG"));
}

} // namespace korvane::platform
