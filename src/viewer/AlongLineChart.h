#pragma once

#include "ChartOptions.h"

#include <QChartView>

#include <functional>
#include <vector>

class QGraphicsSimpleTextItem;
class QLineSeries;
class QValueAxis;

namespace korvane {

class ErrorBox;

// Temperature against position along the line (or time): the faces, the
// centre and the mean of every run, each zone of the first run as a labelled
// band, the exact solution dashed in the same colours.
class AlongLineChart : public QChartView {
  public:
    AlongLineChart(ErrorBox& errors, QWidget* parent = nullptr);

    void Show(const RunList& runs, const ChartOptions& options);
    // Moves the line that marks the profile's position.
    void SetPicked(std::size_t row);
    // Told the flat row of the first run nearest to a click in the plot.
    std::function<void(std::size_t row)> OnPick;

    // The curves drawn for the first run's scheme, by legend name (tests).
    QLineSeries* SchemeSeries(const QString& name) const;
    QLineSeries* ExactSeries(const QString& name) const;

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void AddBands(const LoadedRun& run, double xScale, double low, double high);
    void PlaceZoneLabels();

    ErrorBox& errors_;
    RunList runs_;
    ChartOptions options_;
    QValueAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
    QLineSeries* picked_ = nullptr;
    struct ZoneLabel {
        QGraphicsSimpleTextItem* item;
        double from, to; // x values of the band
    };
    std::vector<ZoneLabel> labels_;
};

} // namespace korvane
