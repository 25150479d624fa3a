#pragma once

#include "LoadedRun.h"

#include <QTableWidget>

namespace korvane {

// The metrics of every zone of a run, one row a zone.
class ZoneTable : public QTableWidget {
  public:
    explicit ZoneTable(QWidget* parent = nullptr);
    void Show(const LoadedRun* run);
};

// In words: how far the printed temperatures are from the exact solution.
QString DistanceSentence(const LoadedRun& run);

} // namespace korvane
