#include "ChartExport.h"

#include "AlongLineChart.h"
#include "ChartSheet.h"
#include "ProfileChart.h"

#include <QApplication>
#include <QImage>
#include <QPdfWriter>
#include <QPrinter>
#include <QVBoxLayout>

#include <stdexcept>

namespace korvane {

ChartSheet::ChartSheet(const RunList& runs, const ChartOptions& options) {
    setAttribute(Qt::WA_DontShowOnScreen);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    along_ = new AlongLineChart(errors_, this);
    profile_ = new ProfileChart(errors_, this);
    layout->addWidget(along_, 3);
    layout->addWidget(profile_, 2);
    resize(ExportSize);
    show();
    QApplication::sendPostedEvents();
    along_->Show(runs, options);
    profile_->Show(runs, options);
}

bool ChartSheet::Paint(QPaintDevice& device, const QRectF& page, bool vectors) {
    QCPPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setMode(QCPPainter::pmVectorized, vectors);
    painter.setMode(QCPPainter::pmNonCosmetic, vectors);
    const double scale = std::min(page.width() / width(), page.height() / height());
    painter.translate(page.topLeft());
    painter.scale(scale, scale);
    painter.fillRect(rect(), Qt::white);
    along_->Paint(painter, along_->geometry());
    profile_->Paint(painter, profile_->geometry());
    return painter.end();
}

bool ExportPng(const RunList& runs, const ChartOptions& options, const QString& path) {
    ChartSheet sheet(runs, options);
    QImage image(ExportSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    return sheet.Paint(image, QRectF(QPointF(0, 0), ExportSize), false) && image.save(path, "PNG");
}

bool ExportPdf(const RunList& runs, const ChartOptions& options, const QString& path) {
    QPdfWriter pdf(path);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageOrientation(QPageLayout::Landscape);
    pdf.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    // Lines and text stay vectors; a printer's resolution would only slow
    // down the drawing.
    pdf.setResolution(150);
    pdf.setTitle("Korvane run");
    ChartSheet sheet(runs, options);
    return sheet.Paint(
        pdf, QRectF(QPointF(0, 0), pdf.pageLayout().paintRectPixels(pdf.resolution()).size()),
        true);
}

void PrintCharts(const RunList& runs, const ChartOptions& options, QPrinter& printer) {
    ChartSheet sheet(runs, options);
    if (!sheet.Paint(printer, QRectF(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size()),
                     true))
        throw std::runtime_error("The printer could not be started.");
}

} // namespace korvane
