#include "ExportCommand.h"

#include "ChartExport.h"
#include "EventGuard.h"
#include "ViewerWindow.h"

#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

#include <iostream>
#include <ostream>

namespace korvane {

ViewerArguments ParseViewerArguments(const std::vector<std::string>& arguments) {
    ViewerArguments parsed;
    std::size_t i = 0;
    for (; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (!arg.starts_with("--"))
            break;
        std::string* value = arg == "--export"   ? &parsed.Export
                             : arg == "--window" ? &parsed.WindowFile
                                                 : nullptr;
        if (!value) {
            parsed.Error = "unknown option " + arg;
            return parsed;
        }
        if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
            parsed.Error = arg + " needs a FILE";
            return parsed;
        }
        if (!value->empty()) {
            parsed.Error = arg + " is given twice";
            return parsed;
        }
        *value = arguments[++i];
    }
    parsed.Inputs.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i), arguments.end());
    if (!parsed.Export.empty() && parsed.Inputs.empty())
        parsed.Error = "--export needs an INPUT to draw";
    return parsed;
}

bool IsExportCommand(const std::vector<std::string>& arguments) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (arg == "--export")
            return true;
        if (arg == "--" || !arg.starts_with("--"))
            break;
        if (arg == "--window")
            ++i; // its file
    }
    return false;
}

void KeepQtQuiet() {
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::cerr << text.toStdString() << '\n';
    });
}

int RunExportCommand(const std::vector<std::string>& arguments, std::ostream& errors) {
    const ViewerArguments command = ParseViewerArguments(arguments);
    if (!IsExportCommand(arguments) || !command.Error.empty()) {
        if (!command.Error.empty())
            errors << "korvane-view: " << command.Error << '\n';
        errors << ViewerUsageText;
        return ExportUsage;
    }
    // The target's name is the system's 8-bit file name, as the inputs' are.
    const QString target = QFile::decodeName(QByteArray::fromStdString(command.Export));
    const QString suffix = QFileInfo(target).suffix().toLower();
    using Exporter = bool (*)(const RunList&, const ChartOptions&, const QString&);
    const Exporter exporter = suffix == "png"   ? ExportPng
                              : suffix == "svg" ? ExportSvg
                              : suffix == "pdf" ? ExportPdf
                                                : nullptr;
    if (!exporter) {
        errors << "korvane-view: " << command.Export
               << ": the picture's name must end in .png, .svg or .pdf\n"
               << ViewerUsageText;
        return ExportUsage;
    }

    std::shared_ptr<const WindowFile> window;
    if (!command.WindowFile.empty()) {
        auto opened = OpenWindowFile(command.WindowFile);
        if (auto* message = std::get_if<std::string>(&opened)) {
            errors << *message << '\n';
            return ExportInputRefused;
        }
        window = std::get<std::shared_ptr<const WindowFile>>(opened);
    }
    RunList runs;
    bool refused = false;
    for (const std::string& input : command.Inputs) {
        try {
            runs.push_back(std::make_shared<const LoadedRun>(LoadRun(input)));
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

    ChartOptions options = OpeningOptions(*runs.front());
    if (window)
        options.Window =
            std::make_shared<const JudgedWindow>(JudgeWindow(runs.front()->Run, window));
    if (!exporter(runs, options, target) || QFileInfo(target).size() == 0) {
        errors << command.Export << " could not be written.\n";
        return ExportNotWritten;
    }
    return ExportWritten;
}

bool OpenCommandLine(ViewerWindow& window, ErrorBox& box, const std::vector<std::string>& arguments,
                     std::ostream& errors) {
    const ViewerArguments command = ParseViewerArguments(arguments);
    if (!command.Error.empty()) {
        errors << "korvane-view: " << command.Error << '\n' << ViewerUsageText;
        return false;
    }
    window.show();
    if (!command.WindowFile.empty())
        Guard(box, [&] {
            window.OpenWindow(QFile::decodeName(QByteArray::fromStdString(command.WindowFile)));
        });
    QStringList files;
    for (const std::string& input : command.Inputs)
        files << QFile::decodeName(QByteArray::fromStdString(input));
    if (!files.isEmpty())
        window.OpenFiles(files);
    return true;
}

} // namespace korvane
