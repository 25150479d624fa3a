#include "AppLook.h"
#include "DecimalSymbol.h"
#include "Display.h"
#include "ExportCommand.h"
#include "FloatControl.h"
#include "NumberFormat.h"
#include "QtViewerServices.h"
#include "ViewerWindow.h"

#include <QApplication>
#include <QFile>

#include <clocale>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    korvane::platform::SetExtendedPrecision();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const bool exporting = korvane::IsExportCommand(arguments);
    // An export shows no window and needs no display: a platform that draws
    // without one, unless the user named one. Qt sees none of the export's
    // own arguments.
    char platformOption[] = "-platform";
    std::string windowless =
        korvane::platform::WindowlessQtPlatform() ? korvane::platform::WindowlessQtPlatform() : "";
    std::vector<char*> qtArguments{argv[0]};
    if (!exporting)
        qtArguments.assign(argv, argv + argc);
    else if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !windowless.empty())
        qtArguments.insert(qtArguments.end(), {platformOption, windowless.data()});
    if (exporting)
        korvane::KeepQtQuiet();
    int qtArgumentCount = static_cast<int>(qtArguments.size());
    qtArguments.push_back(nullptr);
    QApplication application(qtArgumentCount, qtArguments.data());
    QApplication::setApplicationName("korvane-view");
    QApplication::setFont(korvane::InstalledFont(QApplication::font()));
    // Data files are read with the user's decimal symbol, by the window's and
    // korvane-batch's rule; the C library's own locale stays out of every
    // conversion.
    std::setlocale(LC_NUMERIC, "C");
    korvane::SetDecimalSeparator(korvane::UserDecimalSymbol());
    if (exporting)
        return korvane::RunExportCommand(arguments, std::cerr);
    QApplication::setWindowIcon(korvane::ProgramIcon());

    korvane::QtViewerServices services;
    korvane::ViewerWindow window(services);
    // Qt has taken its own options out of these.
    std::vector<std::string> ours;
    for (const QString& argument : QApplication::arguments().mid(1))
        ours.push_back(QFile::encodeName(argument).toStdString());
    if (!korvane::OpenCommandLine(window, services, ours, std::cerr))
        return korvane::ExportUsage;
    return application.exec();
}
