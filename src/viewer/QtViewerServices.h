#pragma once

#include "ViewerServices.h"

namespace korvane {

// The dialogs as the user sees them.
class QtViewerServices : public ViewerServices {
  public:
    void ShowError(const std::string& text) override;
    QStringList ChooseRunFiles(QWidget* parent, const QString& title) override;
    QString ChooseWindowFile(QWidget* parent, const QString& title) override;
    QString ChooseSaveFile(QWidget* parent, const QString& title, const QString& filter,
                           const QString& suggested) override;
    bool RunPrintDialog(QWidget* parent, QPrinter& printer) override;
    QString ChooseMeasuredFile(QWidget* parent) override;
    std::optional<MeasuredRequest> AskMeasuredMapping(QWidget* parent, const LoggerTable& table,
                                                      const MeasuredRequest& guess) override;
};

} // namespace korvane
