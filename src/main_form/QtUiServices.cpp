#include "QtUiServices.h"

#include "FinishForm.h"

#include <QFileDialog>
#include <QMessageBox>

namespace korvane {

namespace {

// Owned by the main window whichever window has the focus, if any: a box
// without an owner can hide behind the window that waits for it.
void ShowBox(QWidget* owner, QMessageBox::Icon icon, const std::string& text) {
    QMessageBox box(icon, "Korvane", QString::fromUtf8(text), QMessageBox::Ok, owner);
    box.exec();
}

} // namespace

void QtUiServices::ShowMessage(const std::string& text) {
    ShowBox(form1_, QMessageBox::NoIcon, text);
}

void QtUiServices::ShowError(const std::string& text) {
    ShowBox(form1_, QMessageBox::Critical, text);
}

QStringList QtUiServices::RunOpenDialog(QFileDialog& dialog) {
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

void QtUiServices::ShowFinishForm() {
    if (finishForm_)
        finishForm_->exec();
}

} // namespace korvane
