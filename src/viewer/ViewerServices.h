#pragma once

#include "EventGuard.h"
#include "MeasuredProfile.h"

#include <QString>
#include <QStringList>

#include <optional>

class QPrinter;
class QWidget;

namespace korvane {

// Everything modal that the viewer's handlers reach; tests put their own in place.
class ViewerServices : public ErrorBox {
  public:
    // Result or data files to open; none when cancelled.
    virtual QStringList ChooseRunFiles(QWidget* parent, const QString& title) = 0;
    // A process-window file to open; empty when cancelled.
    virtual QString ChooseWindowFile(QWidget* parent, const QString& title) = 0;
    // A file name to save under; empty when cancelled.
    virtual QString ChooseSaveFile(QWidget* parent, const QString& title, const QString& filter,
                                   const QString& suggested) = 0;
    // The print dialog; false when cancelled.
    virtual bool RunPrintDialog(QWidget* parent, QPrinter& printer) = 0;
    // A logger's export to add; empty when cancelled.
    virtual QString ChooseMeasuredFile(QWidget* parent) = 0;
    // Which columns are the time and which thermocouples at what depth, the
    // unit and the logger's time at zone 1's entry, starting from a guess;
    // nothing when cancelled.
    virtual std::optional<MeasuredRequest>
    AskMeasuredMapping(QWidget* parent, const LoggerTable& table, const MeasuredRequest& guess) = 0;
};

} // namespace korvane
