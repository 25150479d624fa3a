#pragma once

#include <QString>

#include <string>

namespace korvane {

// Text of the original platform's code page 932 (Shift-JIS with Microsoft's
// extensions), as data files carry it. A byte that does not decode shows as
// U+FFFD.
QString DecodeCp932(const std::string& bytes);

// The same from any code set the system knows, the locale's encoding where it
// does not know it; tests reach that fallback through a name it lacks.
QString DecodeFrom(const std::string& bytes, const char* codeSet);

} // namespace korvane
