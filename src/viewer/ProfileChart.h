#pragma once

#include "ChartKit.h"
#include "ChartOptions.h"

namespace korvane {

// The profile through the thickness where the user picked it: the 11
// printed points of every run, every node of a computed run, and the exact
// curve of the first.
class ProfileChart : public ChartPlot {
  public:
    explicit ProfileChart(ErrorBox& errors, QWidget* parent = nullptr);

    void Show(const RunList& runs, const ChartOptions& options);
    // "at 12.5 cm along the line (zone 2, z = 2.5 cm, 1.5 s)"
    static QString PositionText(const LoadedRun& run, std::size_t flatRow);

    // The printed points of run r (0 the first) and the exact profile (tests).
    QCPGraph* Points(std::size_t run) const;
    QCPGraph* Exact() const;

  private:
    std::optional<Readout> Reading(double depth) const;

    RunList runs_;
    std::vector<QCPGraph*> points_, nodes_; // [run]; nodes_ null for a result file
    QCPGraph* exact_ = nullptr;
};

} // namespace korvane
