#pragma once

#include "ChartKit.h"

#include <QStringList>

#include <cstddef>
#include <vector>

namespace korvane {

// Metrics against one input: each metric a solid line, its exact-solution
// companion dashed and thinner in the same colour, the value a seek found
// marked and named.
class WhatIfChart : public ChartPlot {
  public:
    explicit WhatIfChart(ErrorBox& errors, QWidget* parent = nullptr);

    // A new sweep: the input's name, the metrics by name and, for each, the
    // index of its companion among them (or -1); trials come later.
    void Reset(const QString& input, const QStringList& metrics, const std::vector<int>& exactOf,
               std::size_t trials);
    // A computed trial (NaN metrics are left out).
    void SetTrial(std::size_t index, double input, const std::vector<double>& metrics);
    void MarkFound(double input, double metric);
    void Redraw();

    // The curve and the points drawn for a metric (tests).
    QCPGraph* MetricCurve(const QString& metric) const;
    std::size_t PointCount(const QString& metric) const;

  private:
    std::optional<Readout> Reading(double input) const;

    QString input_;
    QStringList metrics_;
    std::vector<int> exactOf_;
    std::vector<double> inputs_;
    std::vector<std::vector<double>> values_; // [trial][metric]
    bool found_ = false;
    double foundX_ = 0, foundY_ = 0;
};

} // namespace korvane
