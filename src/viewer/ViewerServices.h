#pragma once

#include "EventGuard.h"

#include <QString>
#include <QStringList>

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
};

} // namespace korvane
