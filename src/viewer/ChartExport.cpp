#include "ChartExport.h"

#include "AlongLineChart.h"
#include "EventGuard.h"
#include "ProfileChart.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSvgGenerator>
#include <QVBoxLayout>

namespace korvane {

namespace {

// Nothing on the export sheet takes clicks, so nothing can be reported.
class NoErrors : public ErrorBox {
  public:
    void ShowError(const std::string&) override {}
};

// Both charts at the export size, laid out but never on screen.
class ExportSheet : public QWidget {
  public:
    ExportSheet(const RunList& runs, const ChartOptions& options) {
        setAttribute(Qt::WA_DontShowOnScreen);
        setAutoFillBackground(true);
        setPalette(QPalette(Qt::white));
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        auto* along = new AlongLineChart(errors_, this);
        auto* profile = new ProfileChart(this);
        along->setFrameShape(QFrame::NoFrame);
        profile->setFrameShape(QFrame::NoFrame);
        layout->addWidget(along, 3);
        layout->addWidget(profile, 2);
        resize(ExportSize);
        show();
        along->Show(runs, options);
        profile->Show(runs, options);
        QApplication::sendPostedEvents();
    }

  private:
    NoErrors errors_;
};

void RenderScaled(QWidget& sheet, QPainter& painter, const QRectF& page) {
    const double scale = std::min(page.width() / sheet.width(), page.height() / sheet.height());
    painter.translate(page.topLeft());
    painter.scale(scale, scale);
    sheet.render(&painter);
}

} // namespace

bool ExportPng(const RunList& runs, const ChartOptions& options, const QString& path) {
    ExportSheet sheet(runs, options);
    QImage image(ExportSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        sheet.render(&painter);
    }
    return image.save(path, "PNG");
}

bool ExportSvg(const RunList& runs, const ChartOptions& options, const QString& path) {
    ExportSheet sheet(runs, options);
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(ExportSize);
    svg.setResolution(96); // a CSS pixel: the drawing is as wide as the PNG on screen
    svg.setViewBox(QRect(QPoint(0, 0), ExportSize));
    svg.setTitle("Korvane run");
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    sheet.render(&painter);
    return painter.end();
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
    ExportSheet sheet(runs, options);
    QPainter painter;
    if (!painter.begin(&pdf))
        return false;
    RenderScaled(sheet, painter,
                 QRectF(QPointF(0, 0), pdf.pageLayout().paintRectPixels(pdf.resolution()).size()));
    return painter.end();
}

void PrintCharts(const RunList& runs, const ChartOptions& options, QPrinter& printer) {
    ExportSheet sheet(runs, options);
    QPainter painter;
    if (!painter.begin(&printer))
        throw std::runtime_error("The printer could not be started.");
    RenderScaled(sheet, painter,
                 QRectF(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size()));
    painter.end();
}

} // namespace korvane
