#include "CalcTypes.h"

namespace korvane {

TCalcInput CalcInput;
TZoneInput CurZone;
std::int32_t CurZoneNo = 0;
double CurLength = 0;

} // namespace korvane
