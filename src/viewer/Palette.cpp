#include "Palette.h"

#include "ResultFile.h"

#include <numeric>

namespace korvane {

QColor PointColour(std::size_t point) {
    switch (point) {
    case 0:
        return QColor(214, 39, 40);
    case 5:
        return QColor(44, 160, 44);
    case 10:
        return QColor(31, 119, 180);
    default: {
        // Between the faces: from the red of face 1 to the blue of face 2.
        const double f = static_cast<double>(point) / 10.0;
        return QColor::fromRgbF(static_cast<float>(0.84 * (1 - f) + 0.12 * f),
                                static_cast<float>(0.35 * (1 - f) + 0.47 * f),
                                static_cast<float>(0.25 * (1 - f) + 0.71 * f));
    }
    }
}

QColor MeanColour() {
    return QColor(30, 30, 30);
}

QString PointName(std::size_t point, int layerCount) {
    const QString t = QString("T%1").arg(point + 1);
    if (point == 0)
        return t + " face 1";
    if (point == 10)
        return t + " face 2";
    // A column shows a node; its depth is a fraction of the layer count.
    const int node = ColumnNodesFor(layerCount)[point + 1] - 1;
    if (node == 0)
        return t + " at face 1";
    if (node == layerCount)
        return t + " at face 2";
    if (2 * node == layerCount)
        return t + " centre";
    const int d = std::gcd(node, layerCount);
    return t + QString(" at %1/%2 H").arg(node / d).arg(layerCount / d);
}

} // namespace korvane
