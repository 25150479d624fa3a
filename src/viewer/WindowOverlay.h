#pragma once

#include "ChartKit.h"
#include "ChartOptions.h"

#include <QString>

#include <vector>

namespace korvane {

// A process window's limits drawn along the line, below the curves: a band
// on the temperature axis for each limit on a temperature (a peak, an exit),
// over its zone or the whole line, green where the scheme's run passes and
// red where it fails; a line at each temperature that a time statistic is
// timed at. Each says in a label which limit it is and whether it passes.
class WindowOverlay {
  public:
    // What is drawn for one or more limits (those with the same band or
    // level share one).
    struct Shape {
        bool Band = false;               // else a threshold line
        std::vector<std::size_t> Limits; // from 1, in the file's order
        double Low = 0, High = 0;        // the band's min and max; a line's level twice
        double From = 0, To = 0;         // x
        bool Pass = false;               // every limit of it, on the scheme's side
        QString Label;
        QRect LabelBox; // in the plot's pixels; empty while hidden
    };

    // Drops what was drawn (the plot has cleared its items).
    void Reset();
    // Draws the window of options over the plot of the first run; xScale
    // turns cm along the line into x.
    void Draw(ChartPlot& plot, const ChartOptions& options, const LoadedRun& first, double xScale);
    // Puts each label where it covers the fewest curves and no other label.
    void PlaceLabels(const ChartPlot& plot);
    const std::vector<Shape>& Shapes() const { return shapes_; }

  private:
    std::vector<Shape> shapes_;
    std::vector<QCPItemText*> labels_; // [shape]
};

} // namespace korvane
