#pragma once

#include "LongDouble.h"

namespace korvane {

// The decimal symbol of the numeric locale named by these values of LC_ALL,
// LC_NUMERIC and LANG (null or empty where a variable is unset): the first one
// set wins, none set is the C locale. The locale's own data is read, as the C
// library reads it (LOCPATH included), without reading or changing the
// process's locale. "." for a locale that is not installed or not known, and
// where the symbol is not one visible ASCII character.
char NumericLocaleDecimalSymbol(const char* lcAll, const char* lcNumeric, const char* lang);

// The same rule for the user's own settings: on Windows the decimal symbol of
// the regional settings, elsewhere the locale this process's environment
// names. What the window and korvane-batch hand to the core, so both read and
// write numbers alike.
char UserDecimalSymbol();

} // namespace korvane
