#pragma once

#include "ChartOptions.h"

#include <QSize>
#include <QString>

class QPrinter;

namespace korvane {

// Size of an exported picture: the chart along the line above the profile.
inline constexpr QSize ExportSize{1200, 900};

// False when the file cannot be written.
bool ExportPng(const RunList& runs, const ChartOptions& options, const QString& path);
// Only where Qt SVG was found (SvgExportAvailable); false elsewhere.
bool ExportSvg(const RunList& runs, const ChartOptions& options, const QString& path);
bool SvgExportAvailable();
// To a PDF file, or to a printer set up by the print dialog.
bool ExportPdf(const RunList& runs, const ChartOptions& options, const QString& path);
void PrintCharts(const RunList& runs, const ChartOptions& options, QPrinter& printer);

} // namespace korvane
