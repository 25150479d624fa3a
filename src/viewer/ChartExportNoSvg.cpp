// Without Qt SVG (the Windows build) there is no SVG export; the viewer's
// menu leaves its entry out.
#include "ChartExport.h"

namespace korvane {

bool SvgExportAvailable() {
    return false;
}

bool ExportSvg(const RunList&, const ChartOptions&, const QString&) {
    return false;
}

} // namespace korvane
