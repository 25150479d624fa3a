#include "NumericLocale.h"

#include <windows.h>

namespace korvane::platform {

NumericLocale ReadNumericLocale() {
    NumericLocale locale;
    wchar_t symbol[16] = {};
    const int length = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, symbol, 16);
    if (length <= 1) // nothing but the terminating zero
        return locale;
    char utf8[64] = {};
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, symbol, length - 1, utf8, sizeof utf8, nullptr, nullptr);
    if (size > 0)
        locale.decimalSymbol = std::string(utf8, static_cast<std::size_t>(size));
    return locale;
}

} // namespace korvane::platform
