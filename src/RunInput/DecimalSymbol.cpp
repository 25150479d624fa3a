// The one place that asks the platform for a locale's decimal symbol: here
// the C library's locale data, opened beside the process's own locale.
#include "DecimalSymbol.h"

#include "NumericLocale.h"

namespace korvane {

namespace {

// One visible ASCII character, or "." for anything a result file cannot carry.
char Held(const std::optional<std::string>& text) {
    if (!text || text->size() != 1 || (*text)[0] < '!' || (*text)[0] > '~')
        return '.';
    return (*text)[0];
}

} // namespace

char NumericLocaleDecimalSymbol(const char* lcAll, const char* lcNumeric, const char* lang) {
    return Held(platform::LocaleDecimalText(lcAll, lcNumeric, lang));
}

char UserDecimalSymbol() {
    return Held(platform::UserDecimalText());
}

} // namespace korvane
