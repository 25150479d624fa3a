// being written
#include "NumberFormat.h"
namespace korvane {
namespace { char separator = '.'; }
char DecimalSeparator() { return separator; }
void SetDecimalSeparator(char s) { separator = s; }
} // namespace korvane
