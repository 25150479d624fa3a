#include "WhatIfChart.h"

#include "WhatIfNames.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvane {

namespace {

// Markers on every trial while there are few enough to tell apart.
constexpr std::size_t MaxMarkedTrials = 60;

QString WithUnit(const QString& title, const std::string& unit) {
    return unit.empty() ? title : title + " (" + QString::fromStdString(unit) + ")";
}

// The metrics' unit when they all have the same one.
std::string SharedMetricUnit(const QStringList& metrics) {
    std::string unit;
    for (int m = 0; m < metrics.size(); ++m) {
        const std::string u = MetricUnit(metrics[m].toStdString());
        if (m > 0 && u != unit)
            return {};
        unit = u;
    }
    return unit;
}

QString Number(double value) {
    return std::isnan(value) ? QString("–") : QString::number(value, 'g', 6);
}

} // namespace

WhatIfChart::WhatIfChart(ErrorBox& errors, QWidget* parent) : ChartPlot(errors, parent) {
    setMinimumHeight(220);
    SetYRoom(0.06, 0.06, 0);
    ReadoutAt = [this](double input) { return Reading(input); };
}

void WhatIfChart::Reset(const QString& input, const QStringList& metrics,
                        const std::vector<int>& exactOf, std::size_t trials) {
    input_ = input;
    metrics_ = metrics;
    exactOf_ = exactOf;
    inputs_.assign(trials, std::numeric_limits<double>::quiet_NaN());
    values_.assign(trials, {});
    found_ = false;
    SetHome(0, 1); // a new sweep starts unzoomed
    Redraw();
}

void WhatIfChart::SetTrial(std::size_t index, double input, const std::vector<double>& metrics) {
    if (index >= inputs_.size())
        return;
    inputs_[index] = input;
    values_[index] = metrics;
}

void WhatIfChart::MarkFound(double input, double metric) {
    found_ = true;
    foundX_ = input;
    foundY_ = metric;
    Redraw();
}

QCPGraph* WhatIfChart::MetricCurve(const QString& metric) const {
    return Curve("metric", metric);
}

std::size_t WhatIfChart::PointCount(const QString& metric) const {
    const QCPGraph* curve = MetricCurve(metric);
    return curve ? static_cast<std::size_t>(curve->dataCount()) : 0;
}

void WhatIfChart::Redraw() {
    Clear();
    QStringList shown; // the metrics asked for, without their exact companions
    for (std::size_t m = 0; m < exactOf_.size(); ++m)
        if (std::find(exactOf_.begin(), exactOf_.end(), static_cast<int>(m)) == exactOf_.end())
            shown << metrics_[static_cast<int>(m)];
    const bool companions =
        std::any_of(exactOf_.begin(), exactOf_.end(), [](int e) { return e >= 0; });
    SetTitle(metrics_.isEmpty() ? QString()
                                : shown.join(", ") + (companions ? " and exact solution" : "") +
                                      " against " + input_);
    SetAxisTitles(WithUnit(input_, InputUnit(input_.toStdString())),
                  WithUnit(metrics_.size() == 1 ? metrics_.front() : QString("value"),
                           SharedMetricUnit(metrics_)));

    // A metric and its exact companion share a colour.
    const auto count = static_cast<std::size_t>(metrics_.size());
    std::vector<int> colourOf(count, -1);
    std::vector<bool> isExact(count, false);
    int nextColour = 0;
    for (std::size_t m = 0; m < count; ++m)
        if (colourOf[m] < 0) {
            colourOf[m] = nextColour;
            if (const int exact = exactOf_[m]; exact >= 0) {
                colourOf[static_cast<std::size_t>(exact)] = nextColour;
                isExact[static_cast<std::size_t>(exact)] = true;
            }
            ++nextColour;
        }

    const bool marked = inputs_.size() <= MaxMarkedTrials;
    ValueRange x;
    for (std::size_t m = 0; m < count; ++m) {
        const QColor colour = SeriesColour(static_cast<std::size_t>(colourOf[m]));
        QCPScatterStyle marker;
        if (marked)
            marker = isExact[m] ? RunMarker(1, colour, 6) : RunMarker(0, colour, 6);
        QCPGraph* curve = AddCurve(
            "metric", metrics_[static_cast<int>(m)],
            CurvePen(colour, isExact[m] ? CurveKind::Exact : CurveKind::Scheme, 2), marker);
        // Trials arrive in any order; the line joins them by input.
        QVector<QCPGraphData> points;
        for (std::size_t t = 0; t < inputs_.size(); ++t) {
            const auto& v = values_[t];
            if (std::isnan(inputs_[t]) || m >= v.size() || std::isnan(v[m]))
                continue;
            points.push_back({inputs_[t], v[m]});
            x.Add(inputs_[t]);
        }
        curve->data()->set(points, false);
    }
    if (std::any_of(metrics_.begin(), metrics_.end(),
                    [](const QString& m) { return m.startsWith("window."); })) {
        // Where a window index says the run leaves its window.
        auto* edge = new QCPItemStraightLine(this);
        edge->setLayer("grid");
        edge->point1->setCoords(0, 100);
        edge->point2->setCoords(1, 100);
        edge->setPen(QPen(QColor(170, 25, 20, 200), 1.2, Qt::DashDotLine));
        edge->setSelectable(false);
        auto* label = new QCPItemText(this);
        label->setLayer("grid");
        label->position->setTypeX(QCPItemPosition::ptAxisRectRatio);
        label->position->setCoords(0.005, 100);
        label->setPositionAlignment(Qt::AlignLeft | Qt::AlignBottom);
        label->setFont(TextFont(0.85));
        label->setColor(QColor(170, 25, 20));
        label->setText("index 100: the edge of the window (inside below, outside above)");
        label->setSelectable(false);
        IncludeInY({100});
    }
    if (found_) {
        QCPGraph* dot =
            AddCurve("found", QString("found: %1 = %2").arg(input_, Number(foundX_)), Qt::NoPen,
                     QCPScatterStyle(QCPScatterStyle::ssDiamond, QPen(Qt::black, 1.5),
                                     QBrush(QColor(255, 220, 0)), 13));
        dot->setLineStyle(QCPGraph::lsNone);
        dot->addData(foundX_, foundY_);
        x.Add(foundX_);
        // The label a few pixels below and right of the point, clear of the marker.
        auto* at = new QCPItemTracer(this);
        at->setStyle(QCPItemTracer::tsNone);
        at->position->setCoords(foundX_, foundY_);
        auto* label = new QCPItemText(this);
        label->position->setParentAnchor(at->position);
        label->position->setCoords(9, 7);
        label->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setPadding(QMargins(3, 1, 3, 1));
        label->setFont(TextFont(1.0, true));
        label->setBrush(QColor(255, 255, 255, 225)); // readable over the lines
        label->setText(QString("%1 = %2").arg(input_, Number(foundX_)));
        label->setSelectable(false);
    }
    if (!x.Empty()) {
        // A little room on both sides for the markers at the ends.
        const double pad = x.High > x.Low ? (x.High - x.Low) * 0.02 : 0.5;
        SetHome(x.Low - pad, x.High + pad, true);
    }
    replot();
}

// The trial nearest to the cursor: its input and every metric's value.
std::optional<ChartPlot::Readout> WhatIfChart::Reading(double input) const {
    std::size_t best = inputs_.size();
    for (std::size_t t = 0; t < inputs_.size(); ++t)
        if (!std::isnan(inputs_[t]) && !values_[t].empty() &&
            (best == inputs_.size() ||
             std::abs(inputs_[t] - input) < std::abs(inputs_[best] - input)))
            best = t;
    if (best == inputs_.size())
        return std::nullopt;
    std::vector<QStringList> table;
    for (int m = 0; m < metrics_.size(); ++m) {
        const auto& v = values_[best];
        table.push_back({metrics_[m], Number(static_cast<std::size_t>(m) < v.size()
                                                 ? v[static_cast<std::size_t>(m)]
                                                 : std::numeric_limits<double>::quiet_NaN())});
    }
    const QString header = QString("%1 = %2 (trial %3 of %4)\n")
                               .arg(input_, Number(inputs_[best]))
                               .arg(best + 1)
                               .arg(inputs_.size());
    return Readout{inputs_[best], header + TextTable(table)};
}

} // namespace korvane
