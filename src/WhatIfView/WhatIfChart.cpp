#include "WhatIfChart.h"

#include "WhatIfNames.h"

#include <QChart>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvane {

namespace {

QColor MetricColour(int k) {
    static const QColor colours[] = {QColor(200, 40, 40),  QColor(30, 90, 200),
                                     QColor(20, 140, 60),  QColor(150, 60, 170),
                                     QColor(220, 130, 20), QColor(60, 60, 60)};
    return colours[k % 6];
}

} // namespace

WhatIfChart::WhatIfChart(QWidget* parent) : QChartView(new QChart, parent) {
    setRenderHint(QPainter::Antialiasing);
    chart()->legend()->setAlignment(Qt::AlignBottom);
    setMinimumHeight(220);
    // The axes stay: series come and go with each redraw.
    x_ = new QValueAxis;
    y_ = new QValueAxis;
    x_->setLabelFormat("%.4g");
    y_->setLabelFormat("%.4g");
    chart()->addAxis(x_, Qt::AlignBottom);
    chart()->addAxis(y_, Qt::AlignLeft);
}

void WhatIfChart::Reset(const QString& input, const QStringList& metrics,
                        const std::vector<int>& exactOf, std::size_t trials) {
    input_ = input;
    metrics_ = metrics;
    exactOf_ = exactOf;
    inputs_.assign(trials, std::numeric_limits<double>::quiet_NaN());
    values_.assign(trials, {});
    found_ = false;
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

namespace {

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

} // namespace

std::size_t WhatIfChart::PointCount(const QString& metric) const {
    for (QAbstractSeries* s : chart()->series())
        if (s->name() == metric)
            return static_cast<std::size_t>(static_cast<QLineSeries*>(s)->count());
    return 0;
}

void WhatIfChart::Redraw() {
    QChart* c = chart();
    c->removeAllSeries();
    QValueAxis* x = x_;
    QValueAxis* y = y_;
    x->setTitleText(WithUnit(input_, InputUnit(input_.toStdString())));
    y->setTitleText(WithUnit(metrics_.size() == 1 ? metrics_.front() : QString("value"),
                             SharedMetricUnit(metrics_)));

    double xLo = INFINITY, xHi = -INFINITY, yLo = INFINITY, yHi = -INFINITY;
    std::vector<int> colourOf(static_cast<std::size_t>(metrics_.size()), -1);
    int nextColour = 0;
    for (int m = 0; m < metrics_.size(); ++m)
        if (colourOf[static_cast<std::size_t>(m)] < 0) {
            colourOf[static_cast<std::size_t>(m)] = nextColour;
            const int exact = exactOf_[static_cast<std::size_t>(m)];
            if (exact >= 0)
                colourOf[static_cast<std::size_t>(exact)] = nextColour;
            ++nextColour;
        }
    std::vector<bool> isExact(static_cast<std::size_t>(metrics_.size()), false);
    for (int e : exactOf_)
        if (e >= 0)
            isExact[static_cast<std::size_t>(e)] = true;

    for (int m = 0; m < metrics_.size(); ++m) {
        auto* series = new QLineSeries;
        series->setName(metrics_[m]);
        QPen pen(MetricColour(colourOf[static_cast<std::size_t>(m)]));
        pen.setWidthF(2);
        if (isExact[static_cast<std::size_t>(m)])
            pen.setStyle(Qt::DashLine);
        series->setPen(pen);
        series->setPointsVisible(inputs_.size() <= 60);
        for (std::size_t t = 0; t < inputs_.size(); ++t) {
            const auto& v = values_[t];
            if (std::isnan(inputs_[t]) || static_cast<std::size_t>(m) >= v.size() ||
                std::isnan(v[static_cast<std::size_t>(m)]))
                continue;
            const double value = v[static_cast<std::size_t>(m)];
            series->append(inputs_[t], value);
            xLo = std::min(xLo, inputs_[t]);
            xHi = std::max(xHi, inputs_[t]);
            yLo = std::min(yLo, value);
            yHi = std::max(yHi, value);
        }
        c->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
    }
    if (found_) {
        auto* dot = new QScatterSeries;
        dot->setName("found");
        dot->setMarkerSize(11);
        dot->setColor(Qt::black);
        dot->append(foundX_, foundY_);
        c->addSeries(dot);
        dot->attachAxis(x);
        dot->attachAxis(y);
        xLo = std::min(xLo, foundX_);
        xHi = std::max(xHi, foundX_);
        yLo = std::min(yLo, foundY_);
        yHi = std::max(yHi, foundY_);
    }
    if (xLo <= xHi) {
        const double pad = yHi > yLo ? (yHi - yLo) * 0.05 : 1;
        x->setRange(xLo, xHi > xLo ? xHi : xLo + 1);
        y->setRange(yLo - pad, yHi + pad);
        // The range as swept: nice numbers would widen it to round ends.
        x->setTickCount(7);
        y->applyNiceNumbers();
    }
}

} // namespace korvane
