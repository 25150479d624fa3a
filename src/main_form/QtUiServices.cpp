#include "QtUiServices.h"

#include "AppLook.h"
#include "FinishForm.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace korvane {

namespace {

void ShowBox(QMessageBox::Icon icon, const std::string& text) {
    QMessageBox box(icon, "Korvane", QString::fromUtf8(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

} // namespace

void QtUiServices::ShowMessage(const std::string& text) {
    ShowBox(QMessageBox::NoIcon, text);
}

void QtUiServices::ShowError(const std::string& text) {
    ShowBox(QMessageBox::Critical, text);
}

QStringList QtUiServices::RunOpenDialog(QFileDialog& dialog) {
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

void QtUiServices::ShowFinishForm() {
    if (!finishForm_)
        return;
    CentreOnScreen(finishForm_);
    finishForm_->exec();
}

} // namespace korvane
