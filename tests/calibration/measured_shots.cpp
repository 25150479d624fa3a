// Pictures of the viewer with a measured profile: the logger's columns
// mapped, the profile over the guessed run, then the run calibrated to it
// and opened beside the first. Run by scripts/measured-screenshots.sh.
#include "AlongLineChart.h"
#include "CalibratePanel.h"
#include "MeasuredDialog.h"
#include "MeasuredTable.h"
#include "NumberFormat.h"
#include "QtViewerServices.h"
#include "ShotWait.h"
#include "ViewerWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>

#include <cstdio>
#include <functional>

using namespace korvane;

namespace {

// The real dialogs but for the two that the pictures answer themselves.
class ShotServices : public QtViewerServices {
  public:
    QString file;
    double start = 0;
    QString ChooseMeasuredFile(QWidget*) override { return file; }
    std::optional<MeasuredRequest> AskMeasuredMapping(QWidget*, const LoggerTable&,
                                                      const MeasuredRequest& guess) override {
        MeasuredRequest request = guess;
        request.Start = start;
        return request;
    }
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: measured_shots DATAFILE LOGGERFILE START OUTDIR\n");
        return 64;
    }
    SetDecimalSeparator('.');
    const QDir out(args[4]);
    ShotServices services;
    services.file = args[2];
    services.start = args[3].toDouble();

    // The dialog that maps the logger's columns, as it first opens.
    {
        const LoggerTable table = ReadLoggerTable(QFile::encodeName(args[2]).toStdString());
        MeasuredRequest guess = SuggestRequest(table);
        guess.Start = services.start;
        MeasuredDialog dialog(table, guess);
        dialog.resize(760, 420);
        dialog.show();
        WaitFor([] { return true; });
        dialog.grab().save(out.filePath("measured-dialog.png"));
    }

    ViewerWindow window(services);
    window.resize(1200, 940);
    window.show();
    window.OpenFiles({args[1]});
    if (!WaitFor([&] { return !window.IsLoading() && !window.Runs().empty(); }))
        return 1;
    if (auto* splitter = window.findChild<QSplitter*>())
        splitter->setSizes({520, 380});
    window.AddMeasuredClick();
    WaitFor([] { return true; });
    window.grab().save(out.filePath("measured-before.png"));

    CalibratePanel& panel = *window.Calibrate;
    window.Lower->setCurrentWidget(&panel);
    panel.RunButton->click();
    if (!WaitFor(
            [&] { return !panel.Busy() && window.Runs().size() == 2 && !window.IsLoading(); })) {
        std::fprintf(stderr, "the fit did not finish: %s\n%s\n",
                     panel.Status->text().toUtf8().constData(),
                     panel.Result->text().toUtf8().constData());
        return 1;
    }
    std::printf("%s\n", panel.Status->text().toUtf8().constData());
    window.grab().save(out.filePath("measured-calibrated.png"));
    // Zone 3's entry, where the guess is farthest from the logger.
    window.Lower->setCurrentWidget(window.MeasuredView);
    window.ExactAction->setChecked(false);
    window.Along->xAxis->setRange(560, 760);
    window.Along->FitY();
    WaitFor([] { return true; });
    window.grab().save(out.filePath("measured-after.png"));
    return 0;
}
