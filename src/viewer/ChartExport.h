#pragma once

#include "ChartOptions.h"

#include <QSize>
#include <QString>

class QPrinter;

namespace korvane {

class ErrorBox;

// Size of an exported picture: the chart along the line above the profile.
inline constexpr QSize ExportSize{1200, 900};

// False when the file cannot be written.
bool ExportPng(const RunList& runs, const ChartOptions& options, const QString& path);
bool ExportSvg(const RunList& runs, const ChartOptions& options, const QString& path);
// To a PDF file, or to a printer set up by the print dialog.
bool ExportPdf(const RunList& runs, const ChartOptions& options, const QString& path);
void PrintCharts(const RunList& runs, const ChartOptions& options, QPrinter& printer);

} // namespace korvane
