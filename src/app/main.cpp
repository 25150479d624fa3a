#include "AppLook.h"
#include "FinishForm.h"
#include "FloatControl.h"
#include "MainForm.h"
#include "QtUiServices.h"
#include "RegionalSettings.h"

#include <QApplication>
#include <QMessageBox>

#include <clocale>
#include <exception>

int main(int argc, char* argv[]) {
    korvane::platform::SetExtendedPrecision();
    QApplication application(argc, argv);
    // Numbers are converted with the separator handed to the core, never
    // with the C library's locale, which QApplication has just set.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setWindowIcon(korvane::ProgramIcon());
    korvane::ReadRegionalSettings();

    try {
        korvane::QtUiServices services;
        korvane::TForm1 Form1(services);
        korvane::TFinishForm FinishForm(&Form1);
        services.SetWindows(&Form1, &FinishForm);

        Form1.show();
        return application.exec();
    } catch (const std::exception& error) {
        // Only start-up can end here (a working folder that is gone, say):
        // every handler of the running window has its own guard.
        QMessageBox::critical(nullptr, "Korvane", QString::fromUtf8(error.what()));
        return 1;
    }
}
