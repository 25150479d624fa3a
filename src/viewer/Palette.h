#pragma once

#include <QChartView>
#include <QColor>
#include <QString>

#include <cstddef>

namespace korvane {

// Colours of the curves, the same in both charts and for every run.
QColor PointColour(std::size_t point); // T1..T11 as 0..10: face 1 red to face 2 blue
QColor MeanColour();

// "T1 face 1", "T6 centre" (or "T6 at 3/7 of the thickness"), "T11 face 2".
QString PointName(std::size_t point, int layerCount);

// The pen style of run 0, 1, 2, ... (the first is solid).
Qt::PenStyle RunPenStyle(std::size_t run);

// Gives the view a new, empty chart in the viewer's style and deletes the old
// one (a chart keeps series and axes that are simpler to drop than to reset).
QChart* FreshChart(QChartView& view);

} // namespace korvane
