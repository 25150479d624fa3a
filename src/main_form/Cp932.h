#pragma once

#include <QString>

#include <string>

namespace korvane {

// Text of the original platform's code page 932 (Shift-JIS with Microsoft's
// extensions), as data files carry it. A byte that does not decode shows as
// U+FFFD.
QString DecodeCp932(const std::string& bytes);

} // namespace korvane
