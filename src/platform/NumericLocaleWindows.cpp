#include "NumericLocale.h"

#include <windows.h>

namespace korvane::platform {

namespace {

bool IsSet(const char* value) {
    return value != nullptr && *value != '\0';
}

std::optional<std::string> DecimalOf(const wchar_t* localeName) {
    wchar_t symbol[16] = {};
    const int length = ::GetLocaleInfoEx(localeName, LOCALE_SDECIMAL, symbol, 16);
    if (length <= 0)
        return std::nullopt;
    char utf8[64] = {};
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, symbol, length - 1, utf8, sizeof utf8, nullptr, nullptr);
    return std::string(utf8, static_cast<std::size_t>(size > 0 ? size : 0));
}

} // namespace

std::optional<std::string> LocaleDecimalText(const char* lcAll, const char* lcNumeric,
                                             const char* lang) {
    const char* name = IsSet(lcAll) ? lcAll : IsSet(lcNumeric) ? lcNumeric : lang;
    std::string locale = IsSet(name) ? name : "C";
    if (locale == "C" || locale == "POSIX")
        return std::string(".");
    // "de_DE.UTF-8@euro" names the Windows locale "de-DE".
    locale = locale.substr(0, locale.find_first_of(".@"));
    std::wstring wide;
    for (const char c : locale)
        wide += c == '_' ? L'-' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return DecimalOf(wide.c_str());
}

std::optional<std::string> UserDecimalText() {
    return DecimalOf(LOCALE_NAME_USER_DEFAULT);
}

} // namespace korvane::platform
