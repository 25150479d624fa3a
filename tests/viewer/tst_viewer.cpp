// The viewer on the golden files: what each chart draws, the table, the
// exports, and files that are no run.
#include "AlongLineChart.h"
#include "ChartExport.h"
#include "Palette.h"
#include "ProfileChart.h"
#include "ResultReader.h"
#include "ViewerServices.h"
#include "ViewerWindow.h"
#include "ZoneTable.h"

#include <QAreaSeries>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QMenuBar>
#include <QScatterSeries>
#include <QSet>
#include <QSlider>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace korvane;

namespace {

class FakeViewerServices : public ViewerServices {
  public:
    std::vector<std::string> errors;
    QStringList filesChosen;
    QString saveName;
    void ShowError(const std::string& text) override { errors.push_back(text); }
    QStringList ChooseRunFiles(QWidget*, const QString&) override { return filesChosen; }
    QString ChooseSaveFile(QWidget*, const QString&, const QString&, const QString&) override {
        return saveName;
    }
    bool RunPrintDialog(QWidget*, QPrinter&) override { return false; }
};

QString Golden(const char* name) {
    return QString(KORVANE_GOLDEN_DIR) + "/" + name;
}

int SeriesCount(QChart* chart, const QString& objectName) {
    int count = 0;
    for (QAbstractSeries* series : chart->series())
        count += series->objectName() == objectName;
    return count;
}

} // namespace

class ViewerTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        services_ = std::make_unique<FakeViewerServices>();
        window_ = std::make_unique<ViewerWindow>(*services_);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void cleanup() { window_.reset(); }

    void resultFileDrawsEveryRowOfEveryZone() {
        QVERIFY(Open({Golden("layers7-four-zones.result")}));
        const LoadedRun& run = *window_->Runs().front();
        QVERIFY(run.FromResultFile);
        QVERIFY(window_->windowTitle().startsWith("layers7-four-zones.result"));
        QVERIFY(window_->Source->text().contains("inputs printed in its header"));
        // 4 zone blocks of 21, 14, 9 and 17 rows.
        const int rows = 111 - 10 - 4 * 10;
        for (const char* name : {"T1 face 1", "T6 at 3/7 H", "T11 face 2", "TAV mean"}) {
            QLineSeries* scheme = window_->Along->SchemeSeries(name);
            QVERIFY2(scheme, name);
            QCOMPARE(scheme->count(), rows);
            QLineSeries* exact = window_->Along->ExactSeries(name);
            QVERIFY2(exact, name);
            QCOMPARE(exact->count(), static_cast<int>(run.ExactCurve.size()));
            // The exact curve starts at the plate's uniform temperature.
            QCOMPARE(exact->at(0).y(), 200.0);
        }
        // Zone 2 starts where zone 1 ends: 5 cm along the line, the row repeated.
        QLineSeries* t1 = window_->Along->SchemeSeries("T1 face 1");
        QCOMPARE(t1->at(20).x(), 5.0);
        QCOMPARE(t1->at(21).x(), 5.0);
        QCOMPARE(t1->at(21).y(), t1->at(20).y());
        QCOMPARE(t1->at(rows - 1).x(), 5.0 + 3.3 + 2.0 + 4.0);
        QCOMPARE(SeriesCount(window_->Along->chart(), "band"), 4);

        // One click on the time axis: x in seconds at 5 m/min (8.33 cm/s).
        window_->TimeAxisAction->trigger();
        QCOMPARE(window_->Along->SchemeSeries("T1 face 1")->at(20).x(), 5.0 / (5.0 * 100 / 60));
        // All eleven points on request.
        window_->AllPointsAction->trigger();
        QCOMPARE(SeriesCount(window_->Along->chart(), "scheme"), 12);
        QVERIFY(services_->errors.empty());
    }

    void profileAndTableFollowThePickedPosition() {
        QVERIFY(Open({Golden("layers7-four-zones.result")}));
        window_->PositionSlider->setValue(25); // zone 2, row 5
        QCOMPARE(window_->Options().PickedRow, std::size_t{25});
        QVERIFY(window_->Position->text().contains("zone 2, z = 1.00 cm"));
        QChart* profile = window_->Profile->chart();
        QScatterSeries* points = nullptr;
        QLineSeries* exact = nullptr;
        for (QAbstractSeries* series : profile->series()) {
            if (series->objectName() == "points")
                points = static_cast<QScatterSeries*>(series);
            if (series->name() == "exact solution")
                exact = static_cast<QLineSeries*>(series);
        }
        QVERIFY(points && exact);
        QCOMPARE(points->count(), 11);
        QCOMPARE(points->at(0).x(), 0.0);
        QCOMPARE(points->at(10).x(), 0.05);
        const HistoryRow& row = window_->Runs().front()->Run.Zones[1].Rows[4];
        QCOMPARE(points->at(3).y(), row.Points[3]);
        QCOMPARE(exact->count(), 101);

        // A click on the chart along the line picks the row under the mouse.
        AlongLineChart* along = window_->Along;
        const QRectF plot = along->chart()->plotArea();
        const QPointF inZone4(plot.left() + plot.width() * 0.9, plot.center().y());
        QTest::mouseClick(along->viewport(), Qt::LeftButton, {},
                          along->mapFromScene(along->chart()->mapToScene(inZone4)));
        QVERIFY(window_->Options().PickedRow > 44);
        QVERIFY(window_->Position->text().contains("zone 4"));

        QCOMPARE(window_->Zones->rowCount(), 4);
        QCOMPARE(window_->Zones->item(0, 0)->text(), QString("21"));
        QVERIFY(window_->Sentence->text().contains("At 7 layers and Δz = 0.25 cm"));
        QVERIFY(window_->Sentence->text().contains("More layers and a smaller Δz"));
    }

    void dataFileRunsAtFullPrecisionWithinThePrintedDigits() {
        QVERIFY(Open({Golden("layers7-four-zones.txt"), Golden("layers7-four-zones.result")}));
        QCOMPARE(window_->Runs().size(), std::size_t{2});
        QVERIFY(window_->windowTitle().contains("compared with layers7-four-zones.result"));
        const LoadedRun& computed = *window_->Runs()[0];
        const LoadedRun& printed = *window_->Runs()[1];
        QVERIFY(!computed.FromResultFile);
        QVERIFY(window_->Source->text().contains("full precision"));
        QCOMPARE(computed.Run.Zones.size(), printed.Run.Zones.size());
        for (std::size_t z = 0; z < computed.Run.Zones.size(); ++z) {
            const auto& a = computed.Run.Zones[z].Rows;
            const auto& b = printed.Run.Zones[z].Rows;
            QCOMPARE(a.size(), b.size());
            for (std::size_t r = 0; r < a.size(); ++r) {
                QCOMPARE(a[r].Nodes.size(), std::size_t{8});
                for (std::size_t k = 0; k < 11; ++k)
                    QVERIFY(std::abs(a[r].Points[k] - b[r].Points[k]) <= 0.05 + 1e-9);
                QVERIFY(std::abs(a[r].Mean - b[r].Mean) <= 0.05 + 1e-9);
            }
        }
        // The compared run is drawn over the first, and named in the legend.
        QCOMPARE(SeriesCount(window_->Along->chart(), "compared"), 4);
        bool named = false;
        for (QAbstractSeries* series : window_->Along->chart()->series())
            named |= series->name() == "run 2: layers7-four-zones.result";
        QVERIFY(named);
    }

    void exportsHaveTheirSize() {
        QVERIFY(Open({Golden("defaults.result")}));
        QTemporaryDir dir;
        services_->saveName = dir.filePath("chart.png");
        window_->ExportPngClick();
        const QImage png(services_->saveName);
        QCOMPARE(png.size(), ExportSize);
        // Not a blank page: the curves' colours are there.
        int red = 0;
        for (int y = 0; y < png.height(); y += 2)
            for (int x = 0; x < png.width(); x += 2) {
                const QColor c = png.pixelColor(x, y);
                red += c.red() > 180 && c.green() < 90 && c.blue() < 90;
            }
        QVERIFY(red > 200);

        services_->saveName = dir.filePath("chart.svg");
        window_->ExportSvgClick();
        QSvgRenderer svg(services_->saveName);
        QVERIFY(svg.isValid());
        QCOMPARE(svg.viewBox(), QRect(QPoint(0, 0), ExportSize));
        QFile svgFile(services_->saveName);
        QVERIFY(svgFile.open(QIODevice::ReadOnly));
        QVERIFY(svgFile.readAll().contains("width=\"317.5mm\" height=\"238.125mm\""));

        services_->saveName = dir.filePath("chart.pdf");
        window_->ExportPdfClick();
        QFile pdf(services_->saveName);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.read(5), QByteArray("%PDF-"));

        services_->saveName = dir.filePath("rows.csv");
        window_->ExportCsvClick();
        QFile csv(services_->saveName);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = csv.readAll().split('\n');
        QVERIFY(lines[0].startsWith("zone,z_zone_cm,z_line_cm,time_s,T1,"));
        QCOMPARE(lines.size(), 1 + (123 - 10 - 3 * 10) + 1); // header, rows, the last end
        QVERIFY(services_->errors.empty());

        services_->saveName = dir.filePath("no/such/folder/chart.png");
        for (QAction* action : window_->findChildren<QAction*>())
            if (action->text() == "Export chart as P&NG…")
                action->trigger(); // the guard shows what went wrong
        QCOMPARE(services_->errors.size(), std::size_t{1});
        QVERIFY(services_->errors[0].find("could not be written") != std::string::npos);
    }

    void zonesWithoutAnExactSolutionAreSaidSo() {
        // Zone 2 loses heat through a negative coefficient: no exact solution
        // from there on, and the data file's error names the file.
        QTemporaryDir dir;
        QFile golden(Golden("layers7-four-zones.txt"));
        QVERIFY(golden.open(QIODevice::ReadOnly));
        QByteArray data = golden.readAll();
        data.replace("Zone2 Heat Trans. Coeff.(1) (cal/cm2.s.C) = 0.0008",
                     "Zone2 Heat Trans. Coeff.(1) (cal/cm2.s.C) = -0.0008");
        QFile negative(dir.filePath("negative.txt"));
        QVERIFY(negative.open(QIODevice::WriteOnly));
        negative.write(data);
        negative.close();

        QVERIFY(Open({negative.fileName()}));
        const LoadedRun& run = *window_->Runs().front();
        QCOMPARE(run.SolvedZones(), std::size_t{1});
        QVERIFY(run.ExactRows[0] && !run.ExactRows[1] && !run.ExactRows[3]);
        // The dashed curve ends with zone 1 (5 cm).
        QLineSeries* exact = window_->Along->ExactSeries("TAV mean");
        QVERIFY(exact);
        QCOMPARE(exact->at(exact->count() - 1).x(), 5.0);
        QCOMPARE(window_->Zones->item(1, 3)->text(), QString("no exact solution"));
        QVERIFY(window_->Sentence->text().contains("from zone 2 on a negative heat transfer"));
        QVERIFY(!window_->Sentence->text().contains("prints 0.1"));

        // The profile in zone 3 has the scheme's points and every node, no exact curve.
        window_->PickRow(40);
        for (QAbstractSeries* series : window_->Profile->chart()->series())
            QVERIFY(series->name() != "exact solution");

        data.replace("Thickness (cm) = 0.05", "Thickness (cm) = -0.05");
        QVERIFY(negative.open(QIODevice::WriteOnly | QIODevice::Truncate));
        negative.write(data);
        negative.close();
        window_->OpenFiles({negative.fileName()});
        QTRY_COMPARE(services_->errors.size(), std::size_t{1});
        QVERIFY(services_->errors[0].find("negative.txt is not a correct data file: line 4 "
                                          "(Thickness): ") != std::string::npos);
        // What was shown stays.
        QCOMPARE(window_->Runs().front()->Run.Input.Thickness, 0.05);
    }

    void curvesAreNamedAfterTheirDepth() {
        QCOMPARE(PointName(0, 7), QString("T1 face 1"));
        QCOMPARE(PointName(5, 10), QString("T6 centre"));
        QCOMPARE(PointName(5, 7), QString("T6 at 3/7 H"));
        QCOMPARE(PointName(5, 25), QString("T6 at 12/25 H"));
        QCOMPARE(PointName(1, 3), QString("T2 at face 1"));
        QCOMPARE(PointName(9, 3), QString("T10 at 2/3 H"));
        QCOMPARE(PointName(10, 3), QString("T11 face 2"));
    }

    void filesThatAreNoRunSayWhy() {
        QTemporaryDir dir;
        QFile bad(dir.filePath("notes.txt"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("Density = 1\r\nnothing else\r\n");
        bad.close();
        services_->filesChosen = {bad.fileName(), dir.filePath("missing.result")};
        window_->OpenClick();
        QTRY_VERIFY(!window_->IsLoading());
        QTRY_COMPARE(services_->errors.size(), std::size_t{1});
        const QString text = QString::fromStdString(services_->errors[0]);
        QVERIFY(text.contains("notes.txt is neither a result file (line 2:"));
        QVERIFY(text.contains("missing.result"));
        QVERIFY(window_->Runs().empty());
        QCOMPARE(window_->windowTitle(), QString("Korvane viewer"));
    }

    // What the reader says about a file is a line above the charts, and an
    // incomplete file is marked in the title too.
    void incompleteAndColdFilesSaySoAboveTheCharts() {
        QTemporaryDir dir;
        const QByteArray golden = ReadAll(Golden("layers7-four-zones.result"));
        // "128.8", the last mean, cut to "12".
        const QString cut = Write(dir, "cut.result", golden.left(golden.lastIndexOf("128.8") + 2));
        QVERIFY(Open({cut}));
        QVERIFY(!window_->Runs().front()->Complete);
        QVERIFY(window_->Warnings->isVisible());
        QVERIFY(window_->Warnings->text().contains("zone 4, which shows 16 rows of about 17"));
        QVERIFY(window_->windowTitle().startsWith("cut.result (incomplete) – "));

        window_->AddFiles({Golden("layers7-four-zones.result")});
        QTRY_COMPARE(window_->Runs().size(), std::size_t{2});
        QVERIFY(window_->Warnings->text().startsWith("⚠ cut.result: The file is incomplete"));
        QVERIFY(window_->windowTitle().contains("compared with layers7-four-zones.result –"));

        window_->OpenFiles({Golden("layers7-four-zones.result")});
        QTRY_COMPARE(window_->Runs().size(), std::size_t{1});
        QVERIFY(!window_->Warnings->isVisible());
        QVERIFY(!window_->windowTitle().contains("incomplete"));
        QVERIFY(services_->errors.empty());
    }

    // Temperatures of 1e300 ℃ are numbers a result file can hold: the table
    // and the sentence show them in a few digits, and the window stays on
    // the screen.
    void hugeTemperaturesKeepTheWindowOnTheScreen() {
        QTemporaryDir dir;
        QByteArray file = ReadAll(Golden("defaults.result"));
        const qsizetype row = file.indexOf("  0.5  298.5");
        file.replace(row, file.indexOf("\r\n", row) - row,
                     "  0.5  -1E300 1E300 298.7 298.2 297.2 295.2 291.7 285.5 274.6 255.5 -1E300 "
                     "1E300");
        QVERIFY(Open({Write(dir, "hot.result", file)}));
        QVERIFY(
            window_->Warnings->text().contains("line 20: T1 is -1e+300 ℃, below absolute zero"));
        for (int r = 0; r < window_->Zones->rowCount(); ++r)
            for (int c = 0; c < window_->Zones->columnCount(); ++c)
                QVERIFY2(window_->Zones->item(r, c)->text().size() < 60,
                         qPrintable(window_->Zones->item(r, c)->text()));
        QVERIFY2(window_->Sentence->text().size() < 500, qPrintable(window_->Sentence->text()));
        QVERIFY(window_->minimumSizeHint().width() <= 1280);
    }

    // Nothing to export before a run is shown.
    void exportsWaitForARun() {
        QStringList exports;
        for (QAction* action : window_->findChildren<QAction*>())
            if (action->text().startsWith("Export") || action->text() == "&Print…") {
                exports << action->text();
                QVERIFY2(!action->isEnabled(), qPrintable(action->text()));
            }
        QCOMPARE(exports.size(), 5);
        QVERIFY(Open({Golden("defaults.result")}));
        for (QAction* action : window_->findChildren<QAction*>())
            if (exports.contains(action->text()))
                QVERIFY2(action->isEnabled(), qPrintable(action->text()));
    }

    // A letter two entries of one menu share only moves between them; the
    // keyboard could then never reach the CSV export.
    void everyMenuEntryHasALetterOfItsOwn() {
        QMenuBar* bar = window_->menuBar();
        QVERIFY(!bar->actions().isEmpty());
        for (QAction* menu : bar->actions()) {
            QSet<QChar> letters;
            for (QAction* entry : menu->menu()->actions()) {
                if (entry->isSeparator())
                    continue;
                const QString text = entry->text();
                const qsizetype amp = text.indexOf('&');
                QVERIFY2(amp >= 0 && amp + 1 < text.size(), qPrintable(text));
                const QChar letter = text[amp + 1].toLower();
                QVERIFY2(!letters.contains(letter), qPrintable(text));
                letters.insert(letter);
            }
        }
    }

  private:
    static QByteArray ReadAll(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        return file.fileName();
    }

    bool Open(const QStringList& files) {
        window_->OpenFiles(files);
        return QTest::qWaitFor([&] { return !window_->IsLoading() && !window_->Runs().empty(); },
                               10000) &&
               window_->Runs().size() == static_cast<std::size_t>(files.size());
    }

    std::unique_ptr<FakeViewerServices> services_;
    std::unique_ptr<ViewerWindow> window_;
};

QTEST_MAIN(ViewerTest)
#include "tst_viewer.moc"
