#include "RegionalSettings.h"

#include "DecimalSymbol.h"
#include "NumberFormat.h"

namespace korvane {

void ReadRegionalSettings() {
    SetDecimalSeparator(EnvironmentDecimalSymbol());
}

} // namespace korvane
