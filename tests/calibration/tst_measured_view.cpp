// The viewer with a measured profile: the markers over the chart along the
// line, the table of differences, broken files, and the Calibrate panel
// running korvane-batch --fit and opening the fitted run beside the first.
#include "AlongLineChart.h"
#include "CalibratePanel.h"
#include "FakeViewerServices.h"
#include "MeasuredDialog.h"
#include "MeasuredTable.h"
#include "Palette.h"
#include "ViewerWindow.h"

#include <QAction>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace korvane;

namespace {

QString BatchPath;

QString Example(const char* name) {
    return QString(KORVANE_EXAMPLES_DIR) + "/" + name;
}

// The row of an input in the Calibrate panel's table.
int InputRow(const CalibratePanel& panel, const QString& name) {
    for (int row = 0; row < panel.Inputs->rowCount(); ++row)
        if (panel.Inputs->item(row, 0)->text() == name)
            return row;
    return -1;
}

} // namespace

class MeasuredViewTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<FakeViewerServices> services_;
    std::unique_ptr<ViewerWindow> window_;

    void AddProfile(double start) {
        services_->measuredFile = Example("oven-logger.csv");
        const LoggerTable table = ReadLoggerTable(Example("oven-logger.csv").toStdString());
        MeasuredRequest request = SuggestRequest(table);
        request.Start = start;
        services_->mapping = request;
        window_->MeasuredAction->trigger();
    }

  private slots:
    void init() {
        services_ = std::make_unique<FakeViewerServices>();
        window_ = std::make_unique<ViewerWindow>(*services_);
        window_->Calibrate->SetBatchProgram(BatchPath);
        window_->OpenFiles({Example("oven.txt")});
        QTRY_VERIFY(!window_->IsLoading() && !window_->Runs().empty());
    }

    void cleanup() {
        window_.reset();
        services_.reset();
    }

    void drawsTheSamplesInTheLineOverTheChart() {
        QVERIFY(window_->MeasuredAction->isEnabled());
        AddProfile(37.4);
        QVERIFY(services_->errors.empty());
        QVERIFY(window_->Measured());
        // The guess named the three thermocouples by their headers.
        QCOMPARE(services_->guessSeen.Channels.size(), std::size_t{3});
        QVERIFY(window_->TimeAxisAction->isChecked());
        const auto& curves = window_->Along->MeasuredCurves();
        QCOMPARE(curves.size(), std::size_t{3});
        for (QCPGraph* graph : curves)
            QCOMPARE(graph->data()->size(), 400); // 19 before zone 1 and 10 after are left out
        QCOMPARE(curves[0]->scatterStyle().pen().color(), PointColour(0));
        QCOMPARE(curves[1]->scatterStyle().pen().color(), PointColour(5));
        QCOMPARE(curves[2]->scatterStyle().pen().color(), PointColour(10));
        QVERIFY(window_->Along->LegendNames().contains("TC1 top (°F), face 1 (measured)"));
        // The first in the line, at 38 s, is 0.6 s after the entry, still near 25 C.
        QCOMPARE(curves[0]->data()->at(0)->key, 38 - 37.4);
        QCOMPARE(curves[0]->data()->at(0)->value, window_->Measured()->Channels[0].Temp[19]);
        // On the position axis the samples lie where the plate was at their time.
        window_->TimeAxisAction->setChecked(false);
        const double v = window_->Runs().front()->CmPerSec;
        QCOMPARE(window_->Along->MeasuredCurves()[0]->data()->at(0)->key, (38 - 37.4) * v);

        // Three channels, three zones and the line each.
        QTableWidget* table = window_->MeasuredView->Table;
        QCOMPARE(table->rowCount(), 12);
        QCOMPARE(table->item(3, 2)->text(), QString("line"));
        QCOMPARE(table->item(3, 3)->text(), QString("400"));
        QVERIFY(window_->MeasuredView->Summary->text().contains("37.40 s"));
        const auto& comparison = window_->Comparisons().front().Channels[0];
        QCOMPARE(table->item(3, 4)->text(), QString("%1 / %2")
                                                .arg(comparison.Scheme.Rms, 0, 'f', 2)
                                                .arg(comparison.Scheme.Max, 0, 'f', 2));
    }

    void refusesBrokenProfilesAndTakesCancel() {
        QTemporaryDir dir;
        const QString broken = dir.filePath("broken.csv");
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("time;T1 top\n0;20,5\n1;21,0\n2;hot\n");
        file.close();
        services_->measuredFile = broken;
        window_->MeasuredAction->trigger();
        QCOMPARE(services_->errors.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(services_->errors[0]),
                 broken + ": line 4, column 2: \"hot\" is not a temperature");
        QVERIFY(!window_->Measured());
        services_->cancelMapping = true;
        services_->measuredFile = Example("oven-logger.csv");
        window_->MeasuredAction->trigger();
        QVERIFY(!window_->Measured());
        QCOMPARE(services_->errors.size(), std::size_t{1});
    }

    void theDialogMapsColumnsToDepths() {
        const LoggerTable table = ReadLoggerTable(Example("oven-logger.csv").toStdString());
        MeasuredDialog dialog(table, SuggestRequest(table));
        QCOMPARE(dialog.DepthOf(2)->currentText(), QString("face 1"));
        QCOMPARE(dialog.DepthOf(3)->currentText(), QString("centre"));
        dialog.DepthOf(4)->setCurrentIndex(5); // a depth in cm
        QVERIFY(dialog.CmOf(4)->isEnabled());
        dialog.CmOf(4)->setValue(0.25);
        dialog.Start->setText("00:37,4");
        MeasuredRequest request = dialog.Request();
        QCOMPARE(request.Start, 37.4);
        QCOMPARE(request.Channels.size(), std::size_t{3});
        QCOMPARE(QString::fromStdString(ChannelOptionText(request.Channels[2])), QString("4=0.25"));
        QCOMPARE(request.TimeColumn, std::string("1"));
        QVERIFY(dialog.Problem().isEmpty());
        dialog.Start->setText("soon");
        QVERIFY(dialog.Problem().contains("no time"));
        dialog.Start->setText("37");
        for (int c = 2; c <= 4; ++c)
            dialog.DepthOf(c)->setCurrentIndex(0);
        QVERIFY(dialog.Problem().contains("at least one column"));
    }

    void calibratesAndOpensTheFittedRunBeside() {
        CalibratePanel& panel = *window_->Calibrate;
        QVERIFY(!panel.RunButton->isEnabled());
        QVERIFY(panel.Status->text().contains("Add the measured profile"));
        AddProfile(37);
        QVERIFY(panel.RunButton->isEnabled());
        // Every coefficient of the three zones and the start are checked.
        QCOMPARE(panel.Inputs->item(InputRow(panel, "zone3.htc2"), 0)->checkState(), Qt::Checked);
        QCOMPARE(panel.Inputs->item(InputRow(panel, "speed"), 0)->checkState(), Qt::Unchecked);
        QCOMPARE(InputRow(panel, "zone4.htc1"), -1);
        QCOMPARE(InputRow(panel, "dz"), -1);
        const int start = InputRow(panel, "start");
        QCOMPARE(panel.Inputs->item(start, 2)->text(), QString("22"));
        const QStringList args = panel.FitArguments("out.txt");
        QVERIFY(args.contains("zone1.htc1=0.00025:0.004"));
        QVERIFY(args.join(' ').contains("--channel 2=face1 --channel 3=centre --channel 4=face2"));
        QVERIFY(args.join(' ').endsWith("--start 37 --model exact --out-data out.txt " +
                                        Example("oven.txt")));

        panel.RunButton->click();
        QVERIFY(panel.Busy());
        QTRY_VERIFY_WITH_TIMEOUT(!panel.Busy(), 60000);
        QTRY_COMPARE(window_->Runs().size(), std::size_t{2});
        QTRY_VERIFY(!window_->IsLoading());
        QVERIFY2(panel.Status->text().startsWith("Calibrated in"),
                 qPrintable(panel.Status->text()));
        QVERIFY(panel.Result->text().contains("zone1.htc1"));
        QVERIFY(services_->errors.empty());
        // The calibrated start holds for the profile; the fitted run is 0.2 C off it.
        QVERIFY(std::abs(window_->Measured()->Start - 37.4) < 0.05);
        const auto& fitted = window_->Comparisons()[1].Channels[1];
        QVERIFY(fitted.Exact.Rms < 0.25);
        QVERIFY(window_->Comparisons()[0].Channels[1].Exact.Rms > 5);
    }

    void saysWhyItDidNotCalibrate() {
        CalibratePanel& panel = *window_->Calibrate;
        AddProfile(37.4);
        for (int row = 0; row < panel.Inputs->rowCount(); ++row)
            panel.Inputs->item(row, 0)->setCheckState(Qt::Unchecked);
        const int htc = InputRow(panel, "zone1.htc1");
        panel.Inputs->item(htc, 0)->setCheckState(Qt::Checked);
        panel.Inputs->item(htc, 2)->setText("x");
        panel.RunButton->click();
        QVERIFY(!panel.Busy());
        QVERIFY(panel.Status->text().contains("LO is not a number"));
        panel.Inputs->item(htc, 2)->setText("0,0002");
        panel.Inputs->item(htc, 3)->setText("0.0003");
        panel.RunButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(!panel.Busy(), 60000);
        QVERIFY2(panel.Status->text().startsWith("Not calibrated"),
                 qPrintable(panel.Status->text()));
        QVERIFY2(panel.Result->text().contains("ends on its upper bound 3e-04"),
                 qPrintable(panel.Result->text()));
        QCOMPARE(window_->Runs().size(), std::size_t{1});
        // A run from a result file has no data file to fit.
        window_->Calibrate->SetRun({}, nullptr, {}, 0);
        QVERIFY(!panel.RunButton->isEnabled());
        QVERIFY(panel.Status->text().contains("data file"));
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc > 1)
        BatchPath = QString::fromLocal8Bit(argv[argc - 1]);
    MeasuredViewTest test;
    return QTest::qExec(&test, 1, argv);
}

#include "tst_measured_view.moc"
