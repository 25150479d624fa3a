#pragma once

#include "ChartOptions.h"
#include "ProfileComparison.h"

#include <QWidget>

#include <vector>

class QLabel;
class QTableWidget;

namespace korvane {

// The measured profile held against every run shown: per run, channel and
// zone the samples compared and measured - scheme and measured - exact (RMS
// and the largest difference), a row for the whole line after each channel.
class MeasuredTable : public QWidget {
  public:
    explicit MeasuredTable(QWidget* parent = nullptr);
    void Show(const MeasuredProfile* profile, const RunList& runs,
              const std::vector<ProfileComparison>& comparisons);

    QLabel* Summary;
    QTableWidget* Table;
};

} // namespace korvane
