#include "QtViewerServices.h"

#include "MeasuredDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>

namespace korvane {

void QtViewerServices::ShowError(const std::string& text) {
    QMessageBox::critical(QApplication::activeWindow(), "Korvane viewer",
                          QString::fromStdString(text));
}

QStringList QtViewerServices::ChooseRunFiles(QWidget* parent, const QString& title) {
    return QFileDialog::getOpenFileNames(
        parent, title, QString(), "Result and data files (*.txt *.result *.res);;All files (*)");
}

QString QtViewerServices::ChooseWindowFile(QWidget* parent, const QString& title) {
    return QFileDialog::getOpenFileName(parent, title, QString(),
                                        "Process windows (*.json);;All files (*)");
}

QString QtViewerServices::ChooseSaveFile(QWidget* parent, const QString& title,
                                         const QString& filter, const QString& suggested) {
    return QFileDialog::getSaveFileName(parent, title, suggested, filter);
}

bool QtViewerServices::RunPrintDialog(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace korvane

namespace korvane {

QString QtViewerServices::ChooseMeasuredFile(QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, "Add a measured profile", QString(),
                                        "Logger exports (*.csv *.txt *.tsv *.dat);;All files (*)");
}

std::optional<MeasuredRequest> QtViewerServices::AskMeasuredMapping(QWidget* parent,
                                                                    const LoggerTable& table,
                                                                    const MeasuredRequest& guess) {
    MeasuredDialog dialog(table, guess, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Request();
}

} // namespace korvane
