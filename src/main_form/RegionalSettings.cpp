#include "RegionalSettings.h"

#include "NumberFormat.h"

#include <QLocale>

namespace korvane {

char DecimalSymbol(const QLocale& locale) {
    const QString symbol = locale.decimalPoint();
    if (symbol.size() != 1 || symbol[0].unicode() < 0x21 || symbol[0].unicode() > 0x7E)
        return '.';
    return static_cast<char>(symbol[0].unicode());
}

void ReadRegionalSettings() {
    SetDecimalSeparator(DecimalSymbol(QLocale::system()));
}

} // namespace korvane
