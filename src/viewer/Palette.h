#pragma once

#include <QColor>
#include <QString>

#include <cstddef>

namespace korvane {

// Colours of the curves, the same in both charts and for every run.
QColor PointColour(std::size_t point); // T1..T11 as 0..10: face 1 red to face 2 blue
QColor MeanColour();

// "T1 face 1", "T6 centre" (or "T6 at 3/7 of the thickness"), "T11 face 2".
QString PointName(std::size_t point, int layerCount);

} // namespace korvane
