#pragma once

#include "ChartKit.h"
#include "ChartOptions.h"
#include "WindowOverlay.h"

#include <functional>
#include <vector>

namespace korvane {

// Temperature against position along the line (or time): the faces, the
// centre and the mean of every run, each zone of the first run as a labelled
// band, the exact solution dashed in the same colours, other runs lighter
// and marked.
class AlongLineChart : public ChartPlot {
  public:
    explicit AlongLineChart(ErrorBox& errors, QWidget* parent = nullptr);

    void Show(const RunList& runs, const ChartOptions& options);
    // Moves the line that marks the profile's position.
    void SetPicked(std::size_t row);
    // Told the flat row of the first run nearest to a click in the plot.
    std::function<void(std::size_t row)> OnPick;

    // The curves drawn for the first run, by legend name (tests).
    QCPGraph* SchemeCurve(const QString& name) const;
    QCPGraph* ExactCurve(const QString& name) const;
    // The zone bands' x ranges and their labels as drawn now (tests).
    struct Band {
        double From, To;
        QString Label;
        bool Visible;
    };
    std::vector<Band> Bands() const;
    double PickedX() const;
    // The process window's limits as drawn now.
    const WindowOverlay& Window() const { return window_; }
    // The markers of the measured channels, in the order of the profile (tests).
    const std::vector<QCPGraph*>& MeasuredCurves() const { return measured_; }

  private:
    void MovePicked(std::size_t row);
    void AddBands(const LoadedRun& run, double xScale);
    void AddMeasured(const LoadedRun& run, const MeasuredProfile& profile, bool timeAxis);
    void PlaceZoneLabels();
    void ThinMarkers();
    std::optional<Readout> Reading(double x) const;

    RunList runs_;
    ChartOptions options_;
    std::vector<std::size_t> shown_;                // the curves: 0..10 points, 11 the mean
    std::vector<std::vector<QCPGraph*>> runCurves_; // [run][shown curve]
    std::vector<QCPGraph*> exactCurves_;            // [shown curve], or none
    std::vector<QCPGraph*> measured_;               // [channel]
    QCPItemStraightLine* picked_ = nullptr;
    struct ZoneBand {
        QCPItemRect* Rect;
        QCPItemText* Label;
        double From, To;
        int ZoneNo;
        QString Outer;
    };
    std::vector<ZoneBand> bands_;
    WindowOverlay window_;
};

} // namespace korvane
