// The SVG export, built where Qt SVG is found.
#include "ChartExport.h"
#include "ChartSheet.h"

#include <QSvgGenerator>

namespace korvane {

bool SvgExportAvailable() {
    return true;
}

bool ExportSvg(const RunList& runs, const ChartOptions& options, const QString& path) {
    ChartSheet sheet(runs, options);
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(ExportSize);
    // The screen's resolution: the drawing is as large as the charts on it
    // (the generator's own 72 dpi would make its text a quarter smaller).
    svg.setResolution(sheet.logicalDpiX());
    svg.setViewBox(QRect(QPoint(0, 0), ExportSize));
    svg.setTitle("Korvane run");
    return sheet.Paint(svg, QRectF(QPointF(0, 0), ExportSize), true);
}

} // namespace korvane
