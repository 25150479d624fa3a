#pragma once

#include "ChartOptions.h"

#include <QChartView>

class QScatterSeries;

namespace korvane {

// The profile through the thickness where the user picked it: the 11
// printed points of every run and the exact curve of the first.
class ProfileChart : public QChartView {
  public:
    explicit ProfileChart(QWidget* parent = nullptr);

    void Show(const RunList& runs, const ChartOptions& options);
    // "at 12.5 cm along the line (zone 2, z = 2.5 cm, 1.5 s)"
    static QString PositionText(const LoadedRun& run, std::size_t flatRow);
};

} // namespace korvane
