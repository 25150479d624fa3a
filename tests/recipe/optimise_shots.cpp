// A picture of the viewer's Optimise panel after it found the fastest line
// inside a process window, the recipe opened beside the data file's run.
// Run by scripts/optimise-screenshots.sh.
#include "NumberFormat.h"
#include "OptimisePanel.h"
#include "QtViewerServices.h"
#include "ShotWait.h"
#include "ViewerWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>

#include <cstdio>

using namespace korvane;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: optimise_shots DATAFILE WINDOWFILE OUTDIR\n");
        return 64;
    }
    SetDecimalSeparator('.');
    QtViewerServices services;
    ViewerWindow window(services);
    window.resize(1200, 940);
    window.show();
    window.OpenFiles({args[1]});
    if (!WaitFor([&] { return !window.IsLoading() && !window.Runs().empty(); }))
        return 1;
    if (auto* splitter = window.findChild<QSplitter*>())
        splitter->setSizes({480, 420});
    window.OpenWindow(args[2]);
    OptimisePanel& panel = *window.Optimise;
    window.Lower->setCurrentWidget(&panel);
    panel.Goal->setCurrentIndex(1); // the largest speed
    panel.RunButton->click();
    if (!WaitFor(
            [&] { return !panel.Busy() && window.Runs().size() == 2 && !window.IsLoading(); })) {
        std::fprintf(stderr, "the search did not finish: %s\n%s\n",
                     panel.Status->text().toUtf8().constData(),
                     panel.Result->text().toUtf8().constData());
        return 1;
    }
    std::printf("%s\n", panel.Status->text().toUtf8().constData());
    window.grab().save(QDir(args[3]).filePath("viewer-optimise.png"));
    return 0;
}
