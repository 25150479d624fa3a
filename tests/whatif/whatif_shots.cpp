// Pictures of the viewer's What-if tab on a data file: a sweep of speed over
// 10-40 m/min with the readout at 25 m/min, then a wider sweep with the speed
// at which zone 3's exit mean is 120 C, and that run opened beside the first.
// Run by scripts/whatif-screenshots.sh.
#include "NumberFormat.h"
#include "QtViewerServices.h"
#include "ShotWait.h"
#include "ViewerWindow.h"
#include "WhatIfChart.h"
#include "WhatIfPanel.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>

#include <cstdio>
#include <functional>

using namespace korvane;

namespace {

void Sweep(WhatIfPanel& panel, const char* from, const char* to, int steps) {
    panel.Input->setCurrentText("speed");
    panel.From->setText(from);
    panel.To->setText(to);
    panel.Steps->setValue(steps);
    panel.Metrics->setText("zone3.exit.TAV");
    panel.RunButton->click();
    WaitFor([&] { return !panel.Busy(); });
    std::printf("sweep %s..%s in %d trials: %s\n", from, to, steps,
                panel.Status->text().toUtf8().constData());
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: whatif_shots DATAFILE OUTDIR\n");
        return 64;
    }
    SetDecimalSeparator('.');
    const QDir out(args[2]);
    QtViewerServices services;
    ViewerWindow window(services);
    window.resize(1200, 940);
    window.show();
    window.OpenFiles({args[1]});
    if (!WaitFor([&] { return !window.IsLoading() && !window.Runs().empty(); }))
        return 1;
    WhatIfPanel& panel = *window.WhatIf;
    window.Lower->setCurrentWidget(&panel);
    if (auto* splitter = window.findChild<QSplitter*>())
        splitter->setSizes({380, 520});

    Sweep(panel, "10", "40", 31);
    panel.Chart->ShowReadout(25); // as under the cursor
    window.grab().save(out.filePath("whatif-sweep.png"));
    panel.Chart->HideReadout();

    Sweep(panel, "10", "200", 39);
    panel.TargetMetric->setCurrentText("zone3.exit.TAV");
    panel.Target->setText("120");
    panel.FindButton->click();
    WaitFor([&] { return !panel.Busy(); });
    std::printf("seek: %s\n", panel.Answer->text().toUtf8().constData());
    window.grab().save(out.filePath("whatif-seek.png"));

    panel.OpenRunButton->click();
    if (!WaitFor([&] { return !window.IsLoading() && window.Runs().size() == 2; }))
        return 1;
    window.grab().save(out.filePath("whatif-open-run.png"));
    return 0;
}
