#include "QtViewerServices.h"

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
