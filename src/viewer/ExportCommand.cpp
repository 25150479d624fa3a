#include "ExportCommand.h"

#include "ChartExport.h"
#include "ViewerWindow.h"

#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

#include <iostream>
#include <ostream>

namespace korvane {

bool IsExportCommand(const std::vector<std::string>& arguments) {
    return !arguments.empty() && arguments.front() == "--export";
}

void KeepQtQuiet() {
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::cerr << text.toStdString() << '\n';
    });
}

int RunExportCommand(const std::vector<std::string>& arguments, std::ostream& errors) {
    if (!IsExportCommand(arguments) || arguments.size() < 3) {
        errors << ViewerUsageText;
        return ExportUsage;
    }
    // The target's name is the system's 8-bit file name, as the inputs' are.
    const QString target = QFile::decodeName(QByteArray::fromStdString(arguments[1]));
    const QString suffix = QFileInfo(target).suffix().toLower();
    using Exporter = bool (*)(const RunList&, const ChartOptions&, const QString&);
    const Exporter exporter = suffix == "png"   ? ExportPng
                              : suffix == "svg" ? ExportSvg
                              : suffix == "pdf" ? ExportPdf
                                                : nullptr;
    if (!exporter) {
        errors << "korvane-view: " << arguments[1]
               << ": the picture's name must end in .png, .svg or .pdf\n"
               << ViewerUsageText;
        return ExportUsage;
    }

    RunList runs;
    bool refused = false;
    for (std::size_t i = 2; i < arguments.size(); ++i) {
        try {
            runs.push_back(std::make_shared<const LoadedRun>(LoadRun(arguments[i])));
        } catch (const std::exception& error) {
            errors << error.what() << '\n';
            refused = true;
        }
    }
    if (refused)
        return ExportInputRefused;
    // What the window would show above the charts.
    for (const auto& run : runs)
        for (const std::string& warning : run->Warnings)
            errors << run->Path << ": " << warning << '\n';

    if (!exporter(runs, OpeningOptions(*runs.front()), target) || QFileInfo(target).size() == 0) {
        errors << arguments[1] << " could not be written.\n";
        return ExportNotWritten;
    }
    return ExportWritten;
}

} // namespace korvane
