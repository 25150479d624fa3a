#include "EventGuard.h"
#include "FakeViewerServices.h"
#include "RunMetrics.h"
#include "Sweep.h"
#include "ViewerServices.h"
#include "ViewerWindow.h"
#include "WhatIfChart.h"
#include "WhatIfPanel.h"
#include "WindowPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

using namespace korvane;

namespace {

QString BatchPath;

class RecordingErrors : public ErrorBox {
  public:
    void ShowError(const std::string& text) override { errors << QString::fromStdString(text); }
    QStringList errors;
};

QString Defaults() {
    return QString(KORVANE_GOLDEN_DIR) + "/defaults.txt";
}

QString Example(const char* name) {
    return QString(KORVANE_EXAMPLES_DIR) + "/" + name;
}

} // namespace

class WhatIfPanelTest : public QObject {
    Q_OBJECT

  private:
    RecordingErrors errors_;
    std::unique_ptr<WhatIfPanel> panel_;

    void Sweep(const QString& input, const QString& from, const QString& to, int steps,
               const QString& metrics) {
        panel_->Input->setCurrentText(input);
        panel_->From->setText(from);
        panel_->To->setText(to);
        panel_->Steps->setValue(steps);
        panel_->Metrics->setText(metrics);
        panel_->RunButton->click();
    }

  private slots:
    void init() {
        panel_ = std::make_unique<WhatIfPanel>(errors_);
        panel_->SetBatchProgram(BatchPath);
        panel_->SetDataFile(Defaults());
        errors_.errors.clear();
    }

    void needsADataFile() {
        panel_->SetDataFile({});
        QVERIFY(!panel_->RunButton->isEnabled());
        QVERIFY(panel_->Status->text().contains("data file"));
        panel_->SetDataFile(QString(KORVANE_GOLDEN_DIR) + "/defaults.result");
        QVERIFY(!panel_->RunButton->isEnabled());
        QVERIFY(panel_->Status->text().contains("is not a correct data file"));
    }

    // Both processes' trials land where they belong: the chart holds what a
    // trial in this process computes.
    void sweepChartsSchemeAndExactSideBySide() {
        Sweep("speed", "10", "40", 31, "zone3.exit.TAV");
        QTRY_VERIFY_WITH_TIMEOUT(!panel_->Busy(), 20000);
        QVERIFY2(panel_->Status->text().startsWith("31 trials in"),
                 qPrintable(panel_->Status->text()));
        WhatIfChart* chart = panel_->Chart;
        QCPGraph* scheme = chart->MetricCurve("zone3.exit.TAV");
        QCPGraph* exact = chart->MetricCurve("zone3.exact.exit.TAV");
        QVERIFY(scheme && exact);
        QCOMPARE(scheme->dataCount(), 31);
        QCOMPARE(exact->dataCount(), 31);
        // The companion dashed and thinner in the same colour, and its
        // legend sample so too.
        QCOMPARE(scheme->pen().style(), Qt::SolidLine);
        QVERIFY(exact->pen().style() != Qt::SolidLine);
        QVERIFY(exact->pen().widthF() < scheme->pen().widthF());
        QCOMPARE(exact->pen().color(), scheme->pen().color());
        QCOMPARE(chart->LegendNames(), QStringList({"zone3.exit.TAV", "zone3.exact.exit.TAV"}));
        const auto base = std::get<WhatIfCase>(WhatIfCase::FromDataFile(Defaults().toStdString()));
        double at17 = 0;
        for (int i : {0, 7, 30}) {
            const auto trial = base.Run({{FindInput("speed"), 10.0 + i}},
                                        ParseMetricList("zone3.exit.TAV").Metrics);
            QCOMPARE(scheme->data()->at(i)->key, 10.0 + i);
            QCOMPARE(scheme->data()->at(i)->value, trial.Metrics[0]);
            if (i == 7)
                at17 = trial.Metrics[0];
        }
        QCOMPARE(chart->xAxis->range().lower, 10 - 0.02 * 30);
        QCOMPARE(chart->xAxis->range().upper, 40 + 0.02 * 30);

        // The readout names the trial nearest the cursor.
        chart->ShowReadout(17.3);
        QVERIFY2(chart->ReadoutText().startsWith("speed = 17 (trial 8 of 31)\nzone3.exit.TAV"),
                 qPrintable(chart->ReadoutText()));
        QVERIFY(chart->ReadoutText().contains(QString::number(at17, 'g', 6)));

        // The value a seek finds is marked on the chart and named.
        panel_->TargetMetric->setCurrentText("zone3.exit.TAV");
        panel_->Target->setText(QString::number(at17, 'g', 17));
        panel_->FindButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(!panel_->Busy(), 20000);
        const std::vector<QCPGraph*> found = chart->Curves("found");
        QCOMPARE(found.size(), std::size_t{1});
        QCOMPARE(found[0]->dataCount(), 1);
        // Within the seek's tolerance of the metric.
        QVERIFY2(std::abs(found[0]->data()->at(0)->key - 17) < 0.1,
                 qPrintable(panel_->Answer->text()));
        QVERIFY(std::abs(found[0]->data()->at(0)->value - at17) <= 0.01);
        QVERIFY(chart->LegendNames().back().startsWith("found: speed = 17"));
        QCOMPARE(chart->MetricCurve("zone3.exit.TAV")->dataCount(), 31);
        QVERIFY(errors_.errors.isEmpty());
    }

    void refusedTrialsAreCountedAndNamed() {
        Sweep("dz", "0.01", "0.5", 3, "zone3.exit.TAV");
        QTRY_VERIFY_WITH_TIMEOUT(!panel_->Busy(), 20000);
        QVERIFY2(panel_->Status->text().contains("1 refused, the first dz=0.01: Length is too "
                                                 "large or Increment is too small"),
                 qPrintable(panel_->Status->text()));
        QCOMPARE(panel_->Chart->PointCount("zone3.exit.TAV"), std::size_t{2});
    }

    void cancelStopsEveryProcess() {
        Sweep("speed", "10", "40", 10000, "zone3.exit.TAV");
        QVERIFY(panel_->Busy());
        panel_->CancelButton->click();
        QVERIFY(!panel_->Busy());
        QVERIFY2(panel_->Status->text().startsWith("Cancelled after"),
                 qPrintable(panel_->Status->text()));
        QVERIFY(panel_->RunButton->isEnabled());
    }

    void findsTheValueAndOpensItsRun() {
        panel_->Input->setCurrentText("speed");
        panel_->From->setText("10");
        panel_->To->setText("1000");
        panel_->Metrics->setText("zone3.exit.TAV");
        panel_->TargetMetric->clear();
        panel_->TargetMetric->addItem("zone3.exit.TAV");
        panel_->Target->setText("120");
        panel_->FindButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(!panel_->Busy(), 20000);
        QVERIFY2(panel_->Answer->text().startsWith("<b>speed = 118.5"),
                 qPrintable(panel_->Answer->text()));
        QVERIFY(panel_->OpenRunButton->isEnabled());
        QString opened;
        panel_->OnOpenRun = [&](const QString& path) { opened = path; };
        panel_->OpenRunButton->click();
        QVERIFY(opened.endsWith("defaults-speed-118.5" + opened.section("118.5", 1)));
        const auto run = WhatIfCase::FromDataFile(opened.toStdString());
        QVERIFY(std::holds_alternative<WhatIfCase>(run));
        const auto trial =
            std::get<WhatIfCase>(run).Run({}, ParseMetricList("zone3.exit.TAV").Metrics);
        QVERIFY(std::abs(trial.Metrics[0] - 120) <= 0.01);

        panel_->Target->setText("500");
        panel_->FindButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(!panel_->Busy(), 20000);
        QVERIFY(panel_->Answer->text().startsWith("<b>No solution in the range.</b><br>not "
                                                  "bracketed"));
        QVERIFY(!panel_->OpenRunButton->isEnabled());
    }

    // In the viewer: a data file's run gets the panel, a result file's does
    // not, and the found run is drawn beside the first.
    void viewerOpensTheFoundRunBesideTheFirst() {
        FakeViewerServices services;
        ViewerWindow window(services);
        window.OpenFiles({QString(KORVANE_GOLDEN_DIR) + "/defaults.result"});
        QTRY_VERIFY_WITH_TIMEOUT(!window.IsLoading() && window.Runs().size() == 1, 20000);
        QVERIFY(!window.WhatIf->RunButton->isEnabled());
        window.OpenFiles({Defaults()});
        QTRY_VERIFY_WITH_TIMEOUT(
            !window.IsLoading() && window.Runs().front()->Path == Defaults().toStdString(), 20000);
        WhatIfPanel& panel = *window.WhatIf;
        QVERIFY(panel.RunButton->isEnabled());
        panel.SetBatchProgram(BatchPath);
        panel.Input->setCurrentText("speed");
        panel.From->setText("10");
        panel.To->setText("1000");
        panel.TargetMetric->setCurrentText("line.exit.TAV");
        panel.Target->setText("120");
        panel.FindButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(!panel.Busy(), 20000);
        QVERIFY2(panel.OpenRunButton->isEnabled(), qPrintable(panel.Answer->text()));
        const QString answer = panel.Answer->text();
        panel.OpenRunButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(!window.IsLoading() && window.Runs().size() == 2, 20000);
        QVERIFY(window.windowTitle().contains("compared with defaults-speed-118.5"));
        // Adding a run beside the first leaves the panel as it was.
        QCOMPARE(panel.Answer->text(), answer);
        QVERIFY(std::abs(window.Runs()[1]->Metrics.back().Exit.TAV - 120) <= 0.01);
        QVERIFY(services.errors.empty());
    }

    // Exit 3 is also a seek that ran out of trials: the answer says which.
    void seekThatStopsShortSaysWhy() {
        QTemporaryDir dir;
        const QString fake = dir.filePath("korvane-batch");
        QFile script(fake);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho 'not converged: after 200 trials zone3.exit.TAV is still "
                     "between 47 (speed=10) and 300 (speed=1e+31)' >&2\nexit 3\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        panel_->SetBatchProgram(fake);
        panel_->Target->setText("120");
        panel_->FindButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(!panel_->Busy(), 20000);
        QCOMPARE(panel_->Answer->text(),
                 QString("<b>No value met either tolerance.</b><br>not converged: after 200 "
                         "trials zone3.exit.TAV is still between 47 (speed=10) and 300 "
                         "(speed=1e+31)"));
        QVERIFY(!panel_->OpenRunButton->isEnabled());
    }

    // Each process's share refused: results, not a failure of the sweep.
    void sharesOfRefusedTrialsAreNoFailure() {
        Sweep("speed", "0", "0", 3, "zone3.exit.TAV");
        QTRY_VERIFY_WITH_TIMEOUT(!panel_->Busy(), 20000);
        QVERIFY2(QRegularExpression("^3 trials in [0-9.]+ s\\. 3 refused, the first speed=0: Value "
                                    "of Speed is not correct$")
                     .match(panel_->Status->text())
                     .hasMatch(),
                 qPrintable(panel_->Status->text()));
    }

    // Layers run over the counts the checks accept, in whole numbers.
    void wholeNumberRangesAreCheckedBeforeAnyProcess() {
        panel_->Input->setCurrentText("layers");
        QCOMPARE(panel_->From->text(), QString("3"));
        QCOMPARE(panel_->To->text(), QString("100"));
        Sweep("layers", "4", "6", 8, "zone3.exit.TAV");
        QVERIFY(!panel_->Busy());
        QCOMPARE(panel_->Status->text(), QString("--sweep layers=4:6:8: from 4 to 6 there are only "
                                                 "3 whole numbers, fewer than STEPS (8)"));
        Sweep("layers", "4", "40", 8, "zone1.exit.TAV");
        QTRY_VERIFY_WITH_TIMEOUT(!panel_->Busy(), 20000);
        QVERIFY2(panel_->Status->text().startsWith("8 trials in"),
                 qPrintable(panel_->Status->text()));
        QCOMPARE(panel_->Chart->MetricCurve("zone1.exit.TAV")->data()->at(1)->key, 9.0);
    }

    // With a process window open in the viewer the panel offers its index,
    // the exact side beside it, and every korvane-batch it runs reads the
    // window: the chart holds what a trial with the window computes, and a
    // seek finds where the run leaves the window. Closed, the window
    // metrics go; named without a window, no process starts.
    void chartsTheWindowIndexWithAWindowOpen() {
        FakeViewerServices services;
        ViewerWindow window(services);
        window.OpenFiles({Example("heating.txt")});
        QTRY_VERIFY_WITH_TIMEOUT(!window.IsLoading() && window.Runs().size() == 1, 20000);
        WhatIfPanel& panel = *window.WhatIf;
        panel.SetBatchProgram(BatchPath);
        window.OpenWindow(Example("heating-window.json"));
        QCOMPARE(panel.WindowFile(), Example("heating-window.json"));
        QCOMPARE(panel.Metrics->text(), QString("line.exit.TAV, window.pwi"));
        QVERIFY(panel.TargetMetric->findText("window.pwi") >= 0);
        QVERIFY(panel.TargetMetric->findText("window.exact.pwi") >= 0);

        panel.Input->setCurrentText("speed");
        panel.From->setText("0.4");
        panel.To->setText("0.6");
        panel.Steps->setValue(5);
        panel.Metrics->setText("window.pwi");
        panel.RunButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(!panel.Busy(), 20000);
        QVERIFY2(panel.Status->text().startsWith("5 trials in"), qPrintable(panel.Status->text()));
        QCPGraph* scheme = panel.Chart->MetricCurve("window.pwi");
        QCPGraph* exact = panel.Chart->MetricCurve("window.exact.pwi");
        QVERIFY(scheme && exact);
        QCOMPARE(scheme->dataCount(), 5);
        QCOMPARE(exact->dataCount(), 5);
        auto base =
            std::get<WhatIfCase>(WhatIfCase::FromDataFile(Example("heating.txt").toStdString()));
        base.SetWindow(std::make_shared<const ProcessWindow>(
            std::get<ProcessWindow>(LoadWindow(Example("heating-window.json").toStdString()))));
        for (int i : {0, 2, 4}) {
            const auto trial = base.Run({{FindInput("speed"), scheme->data()->at(i)->key}},
                                        ParseMetricList("window.pwi,window.exact.pwi").Metrics);
            QCOMPARE(scheme->data()->at(i)->value, trial.Metrics[0]);
            QCOMPARE(exact->data()->at(i)->value, trial.Metrics[1]);
        }
        // At 0.5 m/min the run is the one shown, its index that of the table.
        QCOMPARE(scheme->data()->at(2)->value, window.WindowTab->Judged()->Scheme.Pwi);

        panel.TargetMetric->setCurrentText("window.pwi");
        panel.From->setText("0.45");
        panel.To->setText("0.8");
        panel.Target->setText("100");
        panel.FindButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(!panel.Busy(), 20000);
        QVERIFY2(panel.Answer->text().startsWith("<b>speed = 0.55"),
                 qPrintable(panel.Answer->text()));

        window.CloseWindowClick();
        QVERIFY(panel.WindowFile().isEmpty());
        QCOMPARE(panel.Metrics->text(), QString(""));
        panel.Metrics->setText("zone4.exit.TAV, window.2.index");
        panel.RunButton->click();
        QVERIFY(!panel.Busy());
        QCOMPARE(panel.Status->text(), QString("window.2.index needs a process window: open one "
                                               "with File ▸ Open process window…."));
        QVERIFY(services.errors.empty());
    }

    void unknownMetricGoesToTheErrorBox() {
        Sweep("speed", "10", "40", 3, "zone3.exit.TMAX");
        QCOMPARE(errors_.errors.size(), 1);
        QVERIFY(errors_.errors[0].startsWith("unknown metric 'zone3.exit.TMAX'; valid metrics:"));
        QVERIFY(!panel_->Busy());
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    BatchPath = QApplication::arguments().value(1);
    QStringList args = QApplication::arguments();
    if (args.size() > 1)
        args.removeAt(1);
    WhatIfPanelTest test;
    return QTest::qExec(&test, args);
}

#include "tst_whatif_panel.moc"
