#include "AlongLineChart.h"

#include "EventGuard.h"
#include "Palette.h"
#include "RunPath.h"

#include <QAreaSeries>
#include <QGraphicsSimpleTextItem>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvane {

namespace {

constexpr std::size_t MeanCurve = 11;

std::vector<std::size_t> ShownCurves(bool allPoints) {
    std::vector<std::size_t> curves;
    for (std::size_t k = 0; k < 11; ++k)
        if (allPoints || k == 0 || k == 5 || k == 10)
            curves.push_back(k);
    curves.push_back(MeanCurve);
    return curves;
}

bool IsMainCurve(std::size_t curve) {
    return curve == 0 || curve == 5 || curve == 10 || curve == MeanCurve;
}

QColor CurveColour(std::size_t curve) {
    return curve == MeanCurve ? MeanColour() : PointColour(curve);
}

QString CurveName(std::size_t curve, int layerCount) {
    return curve == MeanCurve ? QString("TAV mean") : PointName(curve, layerCount);
}

// The x of a position along the line: cm, or seconds at the run's speed.
double XOf(const LoadedRun& run, double zLine, bool timeAxis) {
    return timeAxis ? zLine / run.CmPerSec : zLine;
}

void HideFromLegend(QChart* chart, QAbstractSeries* series) {
    for (QLegendMarker* marker : chart->legend()->markers(series))
        marker->setVisible(false);
}

// 1, 2 or 5 times a power of ten, at least `rough`.
double NiceStep(double rough) {
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * power >= rough)
            return m * power;
    return 10 * power;
}

struct Range {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    void Add(double value) {
        if (std::isfinite(value)) {
            low = std::min(low, value);
            high = std::max(high, value);
        }
    }
};

} // namespace

AlongLineChart::AlongLineChart(ErrorBox& errors, QWidget* parent)
    : QChartView(parent), errors_(errors) {
    setRenderHint(QPainter::Antialiasing);
    setCursor(Qt::CrossCursor);
    setMinimumSize(480, 280);
}

QLineSeries* AlongLineChart::SchemeSeries(const QString& name) const {
    for (QAbstractSeries* series : chart()->series())
        if (series->objectName() == "scheme" && series->name() == name)
            return static_cast<QLineSeries*>(series);
    return nullptr;
}

QLineSeries* AlongLineChart::ExactSeries(const QString& name) const {
    for (QAbstractSeries* series : chart()->series())
        if (series->objectName() == "exact " + name)
            return static_cast<QLineSeries*>(series);
    return nullptr;
}

void AlongLineChart::Show(const RunList& runs, const ChartOptions& options) {
    runs_ = runs;
    options_ = options;
    labels_.clear();
    picked_ = nullptr;
    axisX_ = axisY_ = nullptr;
    QChart* chart = FreshChart(*this);
    if (runs.empty())
        return;
    chart->setTitle("Temperature along the line: " + RunFileName(runs.front()->Path));

    axisX_ = new QValueAxis;
    axisY_ = new QValueAxis;
    axisX_->setTitleText(options.TimeAxis ? "Time since entering zone 1 (s)"
                                          : "Position along the line (cm)");
    axisY_->setTitleText("Temperature (℃)");
    axisX_->setLabelFormat("%g");
    axisY_->setLabelFormat("%g");
    chart->addAxis(axisX_, Qt::AlignBottom);
    chart->addAxis(axisY_, Qt::AlignLeft);

    std::vector<QLineSeries*> curves;
    Range x, y;
    const std::vector<std::size_t> shown = ShownCurves(options.AllPoints);
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const LoadedRun& run = *runs[r];
        for (std::size_t curve : shown) {
            auto* series = new QLineSeries;
            series->setObjectName(r == 0 ? "scheme" : "compared");
            series->setName(CurveName(curve, run.Run.Input.LayerCount));
            series->setProperty("between", !IsMainCurve(curve));
            // Other runs' dots a little wider, so that they show over the first.
            QPen pen(CurveColour(curve), (IsMainCurve(curve) ? 2.0 : 1.0) + (r > 0 ? 0.5 : 0.0),
                     RunPenStyle(r));
            series->setPen(pen);
            for (std::size_t zone = 0; zone < run.Run.Zones.size(); ++zone)
                for (const HistoryRow& row : run.Run.Zones[zone].Rows) {
                    const double t = curve == MeanCurve ? row.Mean : row.Points[curve];
                    const double at = XOf(run, run.ZoneStarts[zone] + row.Z, options.TimeAxis);
                    series->append(at, t);
                    x.Add(at);
                    y.Add(t);
                }
            curves.push_back(series);
        }
        if (r == 0 && options.ShowExact && !run.ExactCurve.empty())
            for (std::size_t curve : shown) {
                auto* series = new QLineSeries;
                series->setObjectName("exact " + CurveName(curve, run.Run.Input.LayerCount));
                series->setName(series->objectName());
                series->setPen(
                    QPen(CurveColour(curve), IsMainCurve(curve) ? 1.5 : 1.0, Qt::DashLine));
                for (const ExactSample& sample : run.ExactCurve) {
                    const double t = curve == MeanCurve ? sample.Mean : sample.Points[curve];
                    series->append(XOf(run, sample.ZLine, options.TimeAxis), t);
                    y.Add(t);
                }
                curves.push_back(series);
            }
    }

    // Room above the curves for the zone labels.
    const double span = std::max(y.high - y.low, 1.0);
    axisY_->setRange(y.low - 0.04 * span, y.high + 0.22 * span);
    axisY_->applyNiceNumbers();
    // The axis ends where the line ends, with round ticks from 0.
    const double end = x.high > 0 ? x.high : 1;
    axisX_->setRange(0, end);
    axisX_->setTickType(QValueAxis::TicksDynamic);
    axisX_->setTickAnchor(0);
    axisX_->setTickInterval(NiceStep(end / 8));

    AddBands(*runs.front(), options.TimeAxis ? 1 / runs.front()->CmPerSec : 1.0, axisY_->min(),
             axisY_->max());
    for (QLineSeries* series : curves) {
        chart->addSeries(series);
        series->attachAxis(axisX_);
        series->attachAxis(axisY_);
        // The legend names each colour once: the first run's faces, middle
        // and mean; the points between share one entry below.
        if (series->objectName() != "scheme" || series->property("between").toBool())
            HideFromLegend(chart, series);
    }

    // Legend entries without points: what dashes and the other runs' lines mean.
    auto legendOnly = [&](const QString& name, Qt::PenStyle style) {
        auto* series = new QLineSeries;
        series->setName(name);
        series->setPen(QPen(QColor(90, 90, 90), 1.5, style));
        chart->addSeries(series);
        series->attachAxis(axisX_);
        series->attachAxis(axisY_);
    };
    if (options.AllPoints) {
        legendOnly("T2…T10 between the faces", Qt::SolidLine);
        chart->series().back()->setProperty("between", true);
        static_cast<QLineSeries*>(chart->series().back())->setPen(QPen(PointColour(3), 1.0));
    }
    if (options.ShowExact && !runs.front()->ExactCurve.empty())
        legendOnly("exact solution", Qt::DashLine);
    for (std::size_t r = 1; r < runs.size(); ++r)
        legendOnly(QString("run %1: %2").arg(r + 1).arg(RunFileName(runs[r]->Path)),
                   RunPenStyle(r));

    // Where the profile below is taken.
    picked_ = new QLineSeries;
    picked_->setObjectName("picked");
    picked_->setPen(QPen(QColor(110, 60, 150), 1.5, Qt::DashDotLine));
    chart->addSeries(picked_);
    picked_->attachAxis(axisX_);
    picked_->attachAxis(axisY_);
    HideFromLegend(chart, picked_);
    SetPicked(options.PickedRow);

    connect(chart, &QChart::plotAreaChanged, this,
            [this] { Guard(errors_, [this] { PlaceZoneLabels(); }); });
    PlaceZoneLabels();
}

void AlongLineChart::SetPicked(std::size_t row) {
    options_.PickedRow = row;
    if (!picked_ || runs_.empty() || row >= runs_.front()->RowCount())
        return;
    const LoadedRun& first = *runs_.front();
    const auto [zone, at] = first.RowAt(row);
    const double x = XOf(first, first.ZLineOf(zone, at), options_.TimeAxis);
    picked_->replace(QList<QPointF>{{x, axisY_->min()}, {x, axisY_->max()}});
}

void AlongLineChart::AddBands(const LoadedRun& run, double xScale, double low, double high) {
    static const QColor fills[] = {QColor(236, 242, 250), QColor(250, 245, 232)};
    for (std::size_t zone = 0; zone < run.Run.Zones.size(); ++zone) {
        const ZoneHistory& history = run.Run.Zones[zone];
        const double from = run.ZoneStarts[zone] * xScale;
        const double to =
            (run.ZoneStarts[zone] + (history.Rows.empty() ? 0 : history.Rows.back().Z)) * xScale;
        auto* area = new QAreaSeries;
        auto* lower = new QLineSeries(area);
        auto* upper = new QLineSeries(area);
        lower->append(from, low);
        lower->append(to, low);
        upper->append(from, high);
        upper->append(to, high);
        area->setLowerSeries(lower);
        area->setUpperSeries(upper);
        area->setBrush(fills[zone % 2]);
        area->setPen(QPen(QColor(200, 200, 200), 1.0));
        area->setName(QString("zone %1").arg(history.ZoneNo));
        area->setObjectName("band");
        chart()->addSeries(area);
        area->attachAxis(axisX_);
        area->attachAxis(axisY_);
        HideFromLegend(chart(), area);

        auto* label = new QGraphicsSimpleTextItem(chart());
        label->setText(QString("Zone %1\nouter %2 / %3 ℃")
                           .arg(history.ZoneNo)
                           .arg(history.Zone.OuterTemp1, 0, 'g', 6)
                           .arg(history.Zone.OuterTemp2, 0, 'g', 6));
        QFont font = label->font();
        font.setPointSizeF(8.5);
        label->setFont(font);
        label->setBrush(QColor(60, 60, 60));
        label->setZValue(20);
        labels_.push_back({label, from, to});
    }
}

void AlongLineChart::PlaceZoneLabels() {
    if (!axisY_)
        return;
    const QRectF plot = chart()->plotArea();
    for (const ZoneLabel& label : labels_) {
        const double left = chart()->mapToPosition(QPointF(label.from, axisY_->max())).x();
        const double right = chart()->mapToPosition(QPointF(label.to, axisY_->max())).x();
        const QRectF box = label.item->boundingRect();
        // A band too narrow for its label keeps only the zone number's line.
        label.item->setVisible(right - left >= box.width() * 0.6);
        label.item->setPos(std::max(left + 3, (left + right - box.width()) / 2), plot.top() + 3);
    }
}

void AlongLineChart::mousePressEvent(QMouseEvent* event) {
    Guard(errors_, [&] {
        if (event->button() != Qt::LeftButton || runs_.empty() || !OnPick ||
            !chart()->plotArea().contains(event->position()))
            return;
        const double x = chart()->mapToValue(event->position()).x();
        const LoadedRun& first = *runs_.front();
        OnPick(NearestRow(first, options_.TimeAxis ? x * first.CmPerSec : x));
    });
    QChartView::mousePressEvent(event);
}

} // namespace korvane
