#include "RegionalSettings.h"

#include "DecimalSymbol.h"
#include "NumberFormat.h"

namespace korvane {

void ReadRegionalSettings() {
    SetDecimalSeparator(UserDecimalSymbol());
}

} // namespace korvane
