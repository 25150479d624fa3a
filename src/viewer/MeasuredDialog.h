#pragma once

#include "MeasuredProfile.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace korvane {

// File ▸ Add measured profile…: which column is the time, which columns are
// thermocouples at what depth, the unit, and the logger's time when the
// plate entered zone 1. Shows how the file was read and its first values.
class MeasuredDialog : public QDialog {
  public:
    MeasuredDialog(const LoggerTable& table, const MeasuredRequest& guess,
                   QWidget* parent = nullptr);

    // What the dialog says now (columns by number).
    MeasuredRequest Request() const;
    // Empty, or why OK cannot be taken: no channel, a start that is no time.
    QString Problem() const;

    QComboBox* TimeColumn;
    QComboBox* Unit;
    QLineEdit* Start;
    QTableWidget* Columns; // a row per column: its header, first values and depth
    QLabel* Message;

    // The depth box of a column (from 1): "—", face 1, face 2, centre, mean, cm.
    QComboBox* DepthOf(int column) const;
    QDoubleSpinBox* CmOf(int column) const;

  private:
    void accept() override;

    const LoggerTable& table_;
    MeasuredRequest guess_;
    std::vector<QComboBox*> depths_;
    std::vector<QDoubleSpinBox*> cms_;
};

} // namespace korvane
