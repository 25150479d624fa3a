#pragma once

#include <QChartView>
#include <QStringList>

#include <cstddef>
#include <vector>

class QValueAxis;

namespace korvane {

// Metrics against one input: each metric a solid line, its exact-solution
// companion dashed in the same colour, the value a seek found as a dot.
class WhatIfChart : public QChartView {
  public:
    explicit WhatIfChart(QWidget* parent = nullptr);

    // A new sweep: the input's name, the metrics by name and, for each, the
    // index of its companion among them (or -1); trials come later.
    void Reset(const QString& input, const QStringList& metrics, const std::vector<int>& exactOf,
               std::size_t trials);
    // A computed trial (NaN metrics are left out).
    void SetTrial(std::size_t index, double input, const std::vector<double>& metrics);
    void MarkFound(double input, double metric);
    void Redraw();

    // Points drawn for a metric (tests).
    std::size_t PointCount(const QString& metric) const;

  private:
    QString input_;
    QStringList metrics_;
    std::vector<int> exactOf_;
    std::vector<double> inputs_;
    std::vector<std::vector<double>> values_; // [trial][metric]
    QValueAxis* x_;
    QValueAxis* y_;
    bool found_ = false;
    double foundX_ = 0, foundY_ = 0;
};

} // namespace korvane
