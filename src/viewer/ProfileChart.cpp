#include "ProfileChart.h"

#include "Palette.h"
#include "RunPath.h"

#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

constexpr int ExactSamples = 101;

const QScatterSeries::MarkerShape RunMarkers[] = {
    QScatterSeries::MarkerShapeCircle, QScatterSeries::MarkerShapeRectangle,
    QScatterSeries::MarkerShapeTriangle, QScatterSeries::MarkerShapeStar};

} // namespace

ProfileChart::ProfileChart(QWidget* parent) : QChartView(parent) {
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(360, 220);
}

QString ProfileChart::PositionText(const LoadedRun& run, std::size_t flatRow) {
    const auto [zone, row] = run.RowAt(flatRow);
    const double zLine = run.ZLineOf(zone, row);
    return QString("%1 cm along the line (zone %2, z = %3 cm), %4 s")
        .arg(zLine, 0, 'f', 2)
        .arg(run.Run.Zones[zone].ZoneNo)
        .arg(run.Run.Zones[zone].Rows[row].Z, 0, 'f', 2)
        .arg(zLine / run.CmPerSec, 0, 'g', 4);
}

void ProfileChart::Show(const RunList& runs, const ChartOptions& options) {
    QChart* chart = FreshChart(*this);
    if (runs.empty() || runs.front()->RowCount() == 0)
        return;

    const LoadedRun& first = *runs.front();
    const std::size_t picked = std::min(options.PickedRow, first.RowCount() - 1);
    const auto [zone, row] = first.RowAt(picked);
    const double zLine = first.ZLineOf(zone, row);
    chart->setTitle("Through the thickness at " + PositionText(first, picked));

    auto* axisX = new QValueAxis;
    auto* axisY = new QValueAxis;
    axisX->setTitleText("Depth from face 1 (cm)");
    axisY->setTitleText("Temperature (℃)");
    axisX->setLabelFormat("%g");
    axisY->setLabelFormat("%g");
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    double low = INFINITY, high = -INFINITY;
    auto add = [&](QXYSeries* series) {
        for (const QPointF& p : series->points()) {
            low = std::min(low, p.y());
            high = std::max(high, p.y());
        }
        chart->addSeries(series);
        series->attachAxis(axisX);
        series->attachAxis(axisY);
    };

    if (options.ShowExact && zone < first.SolvedZones()) {
        auto* exact = new QLineSeries;
        exact->setName("exact solution");
        exact->setPen(QPen(QColor(90, 90, 90), 1.5, Qt::DashLine));
        const double h = first.Run.Input.Thickness;
        const double t = first.Run.Zones[zone].Rows[row].Z / first.CmPerSec;
        for (int i = 0; i < ExactSamples; ++i) {
            const double x = h * i / (ExactSamples - 1);
            exact->append(x, first.Exact->Temperature(zone, x, t));
        }
        add(exact);
    }
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const LoadedRun& run = *runs[r];
        if (run.RowCount() == 0)
            continue;
        const auto [z, i] = run.RowAt(r == 0 ? picked : NearestRow(run, zLine));
        const HistoryRow& at = run.Run.Zones[z].Rows[i];
        if (!at.Nodes.empty()) { // computed runs know every node
            auto* nodes = new QLineSeries;
            nodes->setName(r == 0 ? "scheme, every node" : "");
            nodes->setPen(QPen(QColor(150, 150, 150), 1.0, RunPenStyle(r)));
            const double dx = run.Run.Input.Thickness / (at.Nodes.size() - 1.0);
            for (std::size_t n = 0; n < at.Nodes.size(); ++n)
                nodes->append(dx * static_cast<double>(n), at.Nodes[n]);
            add(nodes);
            if (r != 0)
                for (QLegendMarker* m : chart->legend()->markers(nodes))
                    m->setVisible(false);
        }
        auto* points = new QScatterSeries;
        points->setObjectName("points");
        points->setName(runs.size() == 1
                            ? QString("scheme T1…T11")
                            : QString("run %1: %2").arg(r + 1).arg(RunFileName(run.Path)));
        points->setMarkerShape(RunMarkers[r % 4]);
        points->setMarkerSize(r == 0 ? 9 : 8);
        points->setColor(r == 0 ? QColor(30, 30, 30) : QColor(230, 120, 20));
        points->setBorderColor(points->color());
        for (std::size_t k = 0; k < 11; ++k)
            points->append(run.Depths[k], at.Points[k]);
        add(points);
    }
    const double span = std::max(high - low, 1.0);
    axisY->setRange(low - 0.08 * span, high + 0.08 * span);
    axisY->applyNiceNumbers();
    const double h = first.Run.Input.Thickness;
    axisX->setRange(0, h);
    axisX->setTickType(QValueAxis::TicksDynamic);
    axisX->setTickAnchor(0);
    const double rough = h / 5, power = std::pow(10.0, std::floor(std::log10(rough)));
    axisX->setTickInterval(rough <= power       ? power
                           : rough <= 2 * power ? 2 * power
                           : rough <= 5 * power ? 5 * power
                                                : 10 * power);
}

} // namespace korvane
