#pragma once

#include "ViewerServices.h"

#include <QStringList>

#include <string>
#include <vector>

namespace korvane {

// The viewer's modal dialogs for the tests: errors are kept, the file dialogs
// answer what the test put here, the print dialog is cancelled.
class FakeViewerServices : public ViewerServices {
  public:
    std::vector<std::string> errors;
    QStringList filesChosen;
    QString saveName;
    QString windowChosen;
    void ShowError(const std::string& text) override { errors.push_back(text); }
    QStringList ChooseRunFiles(QWidget*, const QString&) override { return filesChosen; }
    QString ChooseWindowFile(QWidget*, const QString&) override { return windowChosen; }
    QString ChooseSaveFile(QWidget*, const QString&, const QString&, const QString&) override {
        return saveName;
    }
    bool RunPrintDialog(QWidget*, QPrinter&) override { return false; }
    // The measured profile: the file, and the mapping answered (the guess
    // when none is set; cancelled when cancelMapping).
    QString measuredFile;
    std::optional<MeasuredRequest> mapping;
    bool cancelMapping = false;
    MeasuredRequest guessSeen;
    QString ChooseMeasuredFile(QWidget*) override { return measuredFile; }
    std::optional<MeasuredRequest> AskMeasuredMapping(QWidget*, const LoggerTable&,
                                                      const MeasuredRequest& guess) override {
        guessSeen = guess;
        if (cancelMapping)
            return std::nullopt;
        return mapping ? mapping : guess;
    }
};

} // namespace korvane
