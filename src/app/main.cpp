#include "AppLook.h"
#include "FinishForm.h"
#include "MainForm.h"
#include "QtUiServices.h"
#include "RegionalSettings.h"

#include <QApplication>

#include <clocale>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // Numbers are converted with the separator handed to the core, never
    // with the C library's locale, which QApplication has just set.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setWindowIcon(korvane::ProgramIcon());
    korvane::ReadRegionalSettings();

    korvane::QtUiServices services;
    korvane::TForm1 Form1(services);
    korvane::TFinishForm FinishForm;
    services.SetFinishForm(&FinishForm);

    Form1.show();
    return application.exec();
}
