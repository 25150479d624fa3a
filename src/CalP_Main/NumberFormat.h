#pragma once

#include "LongDouble.h"

#include <string>

namespace korvane {

// The decimal symbol of the user's regional settings, used for every number
// read from a box or data file and written to the result file.
char DecimalSeparator();
void SetDecimalSeparator(char separator);

// Fixed notation with at most Precision significant digits and Digits
// decimals, rounded half away from zero from the 18-digit expansion; values
// too large for Precision digits switch to the form 1.2346E5.
std::string FormatFixed(long double Value, int Precision, int Digits);

// FormatFixed(Value, Width, Digits) right-aligned in Width characters; a
// longer text is returned as it is.
std::string FormatRight(int Width, int Digits, long double Value);

} // namespace korvane
