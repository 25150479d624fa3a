#pragma once

class QLocale;

namespace korvane {

// The decimal symbol of a locale as the core takes it: one ASCII character,
// "." where the locale's symbol is not one.
char DecimalSymbol(const QLocale& locale);

// Hands the decimal symbol of the user's regional settings to the core.
void ReadRegionalSettings();

} // namespace korvane
