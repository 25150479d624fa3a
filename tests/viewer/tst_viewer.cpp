// The viewer on the golden files: what each chart draws, the table, the
// exports, and files that are no run.
#include "AlongLineChart.h"
#include "AppLook.h"
#include "ChartExport.h"
#include "ExportCommand.h"
#include "FakeViewerServices.h"
#include "Palette.h"
#include "ProfileChart.h"
#include "ResultReader.h"
#include "ViewerServices.h"
#include "ViewerWindow.h"
#include "WhatIfPanel.h"
#include "WindowPage.h"
#include "ZoneTable.h"

#include <QFontDatabase>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QProcess>
#include <QRawFont>
#include <QSet>
#include <QSlider>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QXmlStreamReader>
#include <QtTest>

#include <cmath>
#include <sstream>
#include <tuple>

using namespace korvane;

namespace {

QString Golden(const char* name) {
    return QString(KORVANE_GOLDEN_DIR) + "/" + name;
}

QString Example(const char* name) {
    return QString(KORVANE_EXAMPLES_DIR) + "/" + name;
}

// korvane-batch --window W --report DIR/r.json DATA DIR/RESULT: the report's
// window, and the result file beside it.
QJsonObject BatchWindow(const QTemporaryDir& dir, const QString& window, const QString& data,
                        const QString& result) {
    QProcess batch;
    batch.start(KORVANE_BATCH, {"--window", window, "--report", dir.filePath("r.json"), data,
                                dir.filePath(result)});
    if (!batch.waitForFinished(30000) || batch.exitCode() != 0)
        return {};
    QFile report(dir.filePath("r.json"));
    if (!report.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(report.readAll()).object()["window"].toObject();
}

double Held(const QTableWidget* table, int row, int column) {
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->data(Qt::UserRole).toDouble() : -1e300;
}

// A reported number, NaN for null, against what a cell holds.
bool SameNumber(const QJsonValue& reported, double held) {
    return reported.isNull() ? std::isnan(held) : reported.toDouble() == held;
}

int CurveCount(const ChartPlot* chart, const QString& role) {
    return static_cast<int>(chart->Curves(role).size());
}

double KeyAt(const QCPGraph* graph, int i) {
    return graph->data()->at(i)->key;
}

double ValueOf(const QCPGraph* graph, int i) {
    return graph->data()->at(i)->value;
}

// The point of the axes at fractions of their width and height.
QPoint InAxes(const ChartPlot* chart, double fx, double fy) {
    const QRect axes = chart->axisRect()->rect();
    return QPoint(axes.left() + static_cast<int>(axes.width() * fx),
                  axes.top() + static_cast<int>(axes.height() * fy));
}

void Wheel(QWidget* widget, QPoint at, int notches) {
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

// The smallest and largest value of every curve within the x range.
ValueRange Visible(const ChartPlot* chart, const QCPRange& x) {
    ValueRange y;
    for (int i = 0; i < chart->graphCount(); ++i)
        for (auto p = chart->graph(i)->data()->constBegin();
             p != chart->graph(i)->data()->constEnd(); ++p)
            if (x.contains(p->key))
                y.Add(p->value);
    return y;
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

    // A Wine prefix has neither Tahoma nor, in some faces, the ℃ glyph.
    void missingFacesAndGlyphsFallBack() {
        QFont wanted("No Such Face Korvane");
        wanted.setPixelSize(13);
        const QFont sans = InstalledFont(wanted);
        QVERIFY(QFontDatabase::hasFamily(sans.family()));
        QCOMPARE(sans.pixelSize(), 13);
        QVERIFY(QFontDatabase::hasFamily(InstalledFont(wanted, true).family()));
        const QFont present(QFontDatabase::families().value(0));
        QCOMPARE(InstalledFont(present).family(), present.family());

        const QFont before = QApplication::font();
        QString without;
        for (const QString& family : QFontDatabase::families())
            if (!QRawFont::fromFont(QFont(family)).supportsCharacter(QChar(0x2103)))
                without = family;
        if (without.isEmpty())
            QSKIP("every installed face has the degree Celsius sign");
        QApplication::setFont(QFont(without));
        const QString shown = CelsiusShown("outer 30 / 50 ℃");
        QApplication::setFont(before);
        QCOMPARE(shown, QString::fromUtf8("outer 30 / 50 °C"));
        QCOMPARE(CelsiusShown("20 ℃"), QRawFont::fromFont(before).supportsCharacter(QChar(0x2103))
                                           ? QString::fromUtf8("20 ℃")
                                           : QString::fromUtf8("20 °C"));
    }

    void resultFileDrawsEveryRowOfEveryZone() {
        QVERIFY(Open({Golden("layers7-four-zones.result")}));
        const LoadedRun& run = *window_->Runs().front();
        QVERIFY(run.FromResultFile);
        QVERIFY(window_->windowTitle().startsWith("layers7-four-zones.result"));
        QVERIFY(window_->Source->text().contains("inputs printed in its header"));
        // 4 zone blocks of 21, 14, 9 and 17 rows.
        const int rows = 111 - 10 - 4 * 10;
        AlongLineChart* along = window_->Along;
        for (const char* name : {"T1 face 1", "T6 at 3/7 H", "T11 face 2", "TAV mean"}) {
            QCPGraph* scheme = along->SchemeCurve(name);
            QVERIFY2(scheme, name);
            QCOMPARE(scheme->dataCount(), rows);
            QCPGraph* exact = along->ExactCurve(name);
            QVERIFY2(exact, name);
            QCOMPARE(exact->dataCount(), static_cast<int>(run.ExactCurve.size()));
            // The exact curve starts at the plate's uniform temperature.
            QCOMPARE(ValueOf(exact, 0), 200.0);
        }
        // Zone 2 starts where zone 1 ends: 5 cm along the line, the row repeated.
        QCPGraph* t1 = along->SchemeCurve("T1 face 1");
        QCOMPARE(KeyAt(t1, 20), 5.0);
        QCOMPARE(KeyAt(t1, 21), 5.0);
        QCOMPARE(ValueOf(t1, 21), ValueOf(t1, 20));
        QCOMPARE(KeyAt(t1, rows - 1), 5.0 + 3.3 + 2.0 + 4.0);
        QCOMPARE(along->xAxis->range(), QCPRange(0, 5.0 + 3.3 + 2.0 + 4.0));
        // Every zone a band, labelled with its outer temperatures.
        const auto bands = along->Bands();
        QCOMPARE(bands.size(), std::size_t{4});
        QCOMPARE(bands[1].From, 5.0);
        QCOMPARE(bands[1].To, 8.3);
        QCOMPARE(bands[1].Label, QString("Zone 2\nouter 600 / 600 ℃"));
        QCOMPARE(bands[3].Label, QString("Zone 4\nouter 300 / 10 ℃"));
        // The legend names each colour once, and what the dashes are.
        QCOMPARE(along->LegendNames(), QStringList({"T1 face 1", "T6 at 3/7 H", "T11 face 2",
                                                    "TAV mean", "exact solution"}));

        // One click on the time axis: x in seconds at 5 m/min (8.33 cm/s).
        window_->TimeAxisAction->trigger();
        QCOMPARE(KeyAt(along->SchemeCurve("T1 face 1"), 20), 5.0 / (5.0 * 100 / 60));
        QCOMPARE(along->Bands()[1].From, 5.0 / (5.0 * 100 / 60));
        // All eleven points on request, those between the faces one entry.
        window_->AllPointsAction->trigger();
        QCOMPARE(CurveCount(along, "scheme"), 12);
        QCOMPARE(CurveCount(along, "exact"), 12);
        QVERIFY(along->LegendNames().contains("T2…T10 between the faces"));
        QCOMPARE(along->LegendNames().size(), 6);
        QVERIFY(services_->errors.empty());
    }

    void profileAndTableFollowThePickedPosition() {
        QVERIFY(Open({Golden("layers7-four-zones.result")}));
        window_->PositionSlider->setValue(25); // zone 2, row 5
        QCOMPARE(window_->Options().PickedRow, std::size_t{25});
        QVERIFY(window_->Position->text().contains("zone 2, z = 1.00 cm"));
        const QCPGraph* points = window_->Profile->Points(0);
        const QCPGraph* exact = window_->Profile->Exact();
        QVERIFY(points && exact);
        QCOMPARE(points->dataCount(), 11);
        QCOMPARE(KeyAt(points, 0), 0.0);
        QCOMPARE(KeyAt(points, 10), 0.05);
        const HistoryRow& row = window_->Runs().front()->Run.Zones[1].Rows[4];
        QCOMPARE(ValueOf(points, 3), row.Points[3]);
        QCOMPARE(exact->dataCount(), 101);
        QCOMPARE(window_->Profile->LegendNames(), QStringList({"scheme T1…T11", "exact solution"}));
        // The line on the chart above marks where: zone 2 starts at 5 cm.
        QCOMPARE(window_->Along->PickedX(), 5.0 + row.Z);

        // A click on the chart along the line picks the row under the mouse.
        AlongLineChart* along = window_->Along;
        const QPoint inZone4 = InAxes(along, 0.9, 0.5);
        QTest::mouseClick(along, Qt::LeftButton, {}, inZone4);
        const std::size_t picked = window_->Options().PickedRow;
        QCOMPARE(picked,
                 NearestRow(*window_->Runs().front(), along->xAxis->pixelToCoord(inZone4.x())));
        QVERIFY(picked > 44);
        QVERIFY(window_->Position->text().contains("zone 4"));
        QCOMPARE(window_->PositionSlider->value(), static_cast<int>(picked));

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
        AlongLineChart* along = window_->Along;
        QCOMPARE(CurveCount(along, "compared"), 4);
        QVERIFY(along->LegendNames().contains("run 2: layers7-four-zones.result"));
        QVERIFY(window_->Profile->LegendNames().contains("run 2: layers7-four-zones.result"));
        QCOMPARE(window_->Profile->Points(1)->dataCount(), 11);

        // Told apart at a glance: the scheme solid, the exact solution
        // dashed and thinner, the other run lighter and marked; each legend
        // sample drawn as its curve.
        const QCPGraph* scheme = along->SchemeCurve("T1 face 1");
        const QCPGraph* exact = along->ExactCurve("T1 face 1");
        const QCPGraph* compared = along->Curve("compared", "T1 face 1");
        QCOMPARE(scheme->pen().style(), Qt::SolidLine);
        QVERIFY(exact->pen().style() != Qt::SolidLine);
        QVERIFY(exact->pen().widthF() < scheme->pen().widthF());
        QCOMPARE(exact->pen().color(), scheme->pen().color());
        QVERIFY(compared->pen().color().lightness() > scheme->pen().color().lightness());
        QVERIFY(!compared->scatterStyle().isNone());
        QVERIFY(scheme->scatterStyle().isNone());
        QVERIFY(along->Curve("legend", "exact solution")->pen().style() != Qt::SolidLine);
        QVERIFY(
            !along->Curve("legend", "run 2: layers7-four-zones.result")->scatterStyle().isNone());
    }

    // Wheel and drag move along x only, y follows what is visible, a drag is
    // no click, the readout shows the row a click would pick, and a double
    // click shows the whole line again.
    void zoomPanAndReadout() {
        QVERIFY(Open({Golden("layers7-four-zones.result")}));
        AlongLineChart* along = window_->Along;
        const QCPRange home = along->xAxis->range();
        const QCPRange homeY = along->yAxis->range();
        const std::size_t picked = window_->Options().PickedRow;

        Wheel(along, InAxes(along, 0.8, 0.5), 4);
        const QCPRange zoomed = along->xAxis->range();
        QVERIFY(zoomed.size() < home.size() * 0.6);
        QVERIFY(zoomed.lower > home.lower && zoomed.upper <= home.upper);
        // The zone labels stay in view above the curves that are.
        const ValueRange visible = Visible(along, zoomed);
        const QCPRange y = along->yAxis->range();
        QVERIFY(y.lower <= visible.Low && y.upper >= visible.High);
        QVERIFY(y.upper < homeY.upper);
        QVERIFY(y.upper - visible.High >= 0.2 * (visible.High - visible.Low));

        // Zooming out stops at the whole line.
        Wheel(along, InAxes(along, 0.5, 0.5), -40);
        QCOMPARE(along->xAxis->range(), home);
        Wheel(along, InAxes(along, 0.5, 0.5), 4);

        // A drag pans and picks nothing.
        const QCPRange before = along->xAxis->range();
        QTest::mousePress(along, Qt::LeftButton, {}, InAxes(along, 0.6, 0.5));
        QTest::mouseMove(along, InAxes(along, 0.4, 0.5));
        QTest::mouseRelease(along, Qt::LeftButton, {}, InAxes(along, 0.4, 0.5));
        QVERIFY(along->xAxis->range().lower > before.lower);
        QCOMPARE(along->xAxis->range().size(), before.size());
        QCOMPARE(window_->Options().PickedRow, picked);

        // The readout: the row nearest the cursor, every curve's temperature.
        const LoadedRun& run = *window_->Runs().front();
        const QPoint at = InAxes(along, 0.3, 0.6);
        QTest::mouseMove(along, at);
        const std::size_t row = NearestRow(run, along->xAxis->pixelToCoord(at.x()));
        const auto [zone, r] = run.RowAt(row);
        const QString text = along->ReadoutText();
        QVERIFY2(text.startsWith(QString("%1 cm (").arg(run.ZLineOf(zone, r), 0, 'f', 2)),
                 qPrintable(text));
        QVERIFY(text.contains(QString("zone %1").arg(run.Run.Zones[zone].ZoneNo)));
        const HistoryRow& values = run.Run.Zones[zone].Rows[r];
        QVERIFY(text.contains(
            QRegularExpression(QString("T1 face 1 +%1  ").arg(values.Points[0], 0, 'f', 1))));
        QVERIFY(text.contains(
            QRegularExpression(QString("TAV mean +%1  ").arg(values.Mean, 0, 'f', 1))));
        QVERIFY(text.contains("exact"));
        QTest::mouseMove(along, QPoint(2, 2)); // off the axes
        QVERIFY(along->ReadoutText().isEmpty());

        // A view toggle keeps the zoom; a double click shows the whole line.
        const QCPRange kept = along->xAxis->range();
        window_->AllPointsAction->trigger();
        QCOMPARE(along->xAxis->range(), kept);
        QTest::mouseDClick(along, Qt::LeftButton, {}, InAxes(along, 0.5, 0.5));
        QCOMPARE(along->xAxis->range(), home);
        QCOMPARE(along->yAxis->range(), homeY);

        // The profile zooms into the thickness alike, and reads out its depth.
        ProfileChart* profile = window_->Profile;
        Wheel(profile, InAxes(profile, 0.2, 0.5), 3);
        QVERIFY(profile->xAxis->range().size() < 0.05);
        QTest::mouseMove(profile, InAxes(profile, 0.5, 0.5));
        QVERIFY2(profile->ReadoutText().contains("scheme"), qPrintable(profile->ReadoutText()));
        QVERIFY(services_->errors.empty());
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

        // SVG where Qt SVG is: its menu entry says so.
        bool svgEntry = false;
        for (QAction* action : window_->menuBar()->actions().front()->menu()->actions())
            svgEntry |= action->text() == "Export chart as S&VG…";
        QCOMPARE(svgEntry, SvgExportAvailable());
        if (SvgExportAvailable()) {
            services_->saveName = dir.filePath("chart.svg");
            window_->ExportSvgClick();
            QFile svgFile(services_->saveName);
            QVERIFY(svgFile.open(QIODevice::ReadOnly));
            QXmlStreamReader svg(&svgFile);
            QVERIFY(svg.readNextStartElement());
            QCOMPARE(svg.name(), QString("svg"));
            QCOMPARE(svg.attributes().value("viewBox"), QString("0 0 1200 900"));
            QCOMPARE(svg.attributes().value("width"), QString("317.5mm"));
            // The text as large as on the screen: most of it the axis labels' pixels.
            const int pixels = window_->Along->xAxis->tickLabelFont().pixelSize();
            QMap<int, int> sizes;
            while (!svg.atEnd())
                if (svg.readNext() == QXmlStreamReader::StartElement &&
                    svg.name() == QString("text"))
                    ++sizes[qRound(svg.attributes().value("font-size").toDouble())];
            QVERIFY(!svg.hasError());
            QVERIFY(!sizes.isEmpty());
            int common = 0;
            for (auto size = sizes.begin(); size != sizes.end(); ++size)
                if (size.value() > sizes.value(common))
                    common = size.key();
            QCOMPARE(common, pixels);
        }

        services_->saveName = dir.filePath("chart.pdf");
        window_->ExportPdfClick();
        QFile pdf(services_->saveName);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.read(5), QByteArray("%PDF-"));

        // Printing draws the same sheet at the printer's resolution.
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("printed.pdf"));
        PrintCharts(window_->Runs(), window_->Options(), printer);
        QFile printed(printer.outputFileName());
        QVERIFY(printed.open(QIODevice::ReadOnly));
        QCOMPARE(printed.read(5), QByteArray("%PDF-"));
        QVERIFY(printed.size() > 20000);

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
        QCPGraph* exact = window_->Along->ExactCurve("TAV mean");
        QVERIFY(exact);
        QCOMPARE(KeyAt(exact, exact->dataCount() - 1), 5.0);
        QCOMPARE(window_->Zones->item(1, 3)->text(), QString("no exact solution"));
        QVERIFY(window_->Sentence->text().contains("from zone 2 on a negative heat transfer"));
        QVERIFY(!window_->Sentence->text().contains("prints 0.1"));

        // The profile in zone 3 has the scheme's points and every node, no exact curve.
        window_->PickRow(40);
        QVERIFY(!window_->Profile->Exact());
        QVERIFY(!window_->Profile->LegendNames().contains("exact solution"));
        QCOMPARE(window_->Profile->LegendNames(),
                 QStringList({"scheme, every node", "scheme T1…T11"}));

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

    // The cure oven's window on its data file: a band for each limit on a
    // temperature, over its zone or the whole line, a line at each
    // temperature that a time is timed at, each labelled, all below the
    // curves; limits that share a band share it. The table holds what
    // korvane-batch reports for the same file.
    void windowLimitsAreDrawnAndJudgedAsKorvaneBatchJudgesThem() {
        QVERIFY(Open({Example("heating.txt")}));
        services_->windowChosen = Example("heating-window.json");
        Trigger("Open process &window…");
        QVERIFY(services_->errors.empty());
        QCOMPARE(window_->Lower->currentWidget(), window_->WindowTab);
        QCOMPARE(window_->Options().Window, window_->WindowTab->Judged());

        AlongLineChart* along = window_->Along;
        window_->Along->replot(); // the labels are placed at each layout
        using Shape = WindowOverlay::Shape;
        const std::vector<Shape>& shapes = along->Window().Shapes();
        QCOMPARE(shapes.size(), std::size_t{5});
        const auto is = [](const Shape& s, bool band, double low, double high, double from,
                           double to, std::vector<std::size_t> limits) {
            return s.Band == band && s.Low == low && s.High == high && s.From == from &&
                   s.To == to && s.Limits == limits && s.Pass;
        };
        QVERIFY(is(shapes[0], false, 170, 170, 0, 360, {1}));
        QVERIFY(is(shapes[1], true, 175, 190, 0, 360, {2, 3}));
        QVERIFY(is(shapes[2], false, 50, 50, 0, 360, {4}));
        QVERIFY(is(shapes[3], false, 150, 150, 0, 360, {4}));
        QVERIFY(is(shapes[4], true, 30, 60, 300, 360, {6})); // zone 4's exit
        QVERIFY2(shapes[0].Label.contains("limit 1, time above 170"), qPrintable(shapes[0].Label));
        QVERIFY(shapes[0].Label.endsWith("120–240 s: pass"));
        QVERIFY(shapes[1].Label.contains("limit 2, peak of face 1: pass"));
        QVERIFY(shapes[1].Label.contains("limit 3, peak a quarter into the board: pass"));
        QVERIFY(shapes[2].Label.contains("limit 4 from here to 150"));
        QVERIFY(shapes[3].Label.contains("end of limit 4"));
        // Every label in the axes, over no other.
        const QRect axes = along->axisRect()->rect();
        for (std::size_t s = 0; s < shapes.size(); ++s) {
            QVERIFY2(axes.contains(shapes[s].LabelBox), qPrintable(shapes[s].Label));
            for (std::size_t t = 0; t < s; ++t)
                QVERIFY(!shapes[s].LabelBox.intersects(shapes[t].LabelBox));
        }
        // Light fills and lines below the curves; y shows the bands whole.
        for (int i = 0; i < along->itemCount(); ++i)
            if (qobject_cast<QCPItemRect*>(along->item(i)) ||
                qobject_cast<QCPItemLine*>(along->item(i)))
                QVERIFY(along->item(i)->layer()->index() < along->layer("main")->index());
        QVERIFY(along->yAxis->range().contains(190) && along->yAxis->range().contains(30));
        // On the time axis, zone 4 in seconds at 0.5 m/min.
        window_->TimeAxisAction->trigger();
        QCOMPARE(along->Window().Shapes()[4].From, 300 / (0.5 * 100 / 60));

        // The values, indices and verdicts that korvane-batch reports.
        QTemporaryDir dir;
        const QJsonObject reported =
            BatchWindow(dir, Example("heating-window.json"), Example("heating.txt"), "h.result");
        QVERIFY(!reported.isEmpty());
        const QTableWidget* table = window_->WindowTab->Table;
        QCOMPARE(table->rowCount(), 7);
        using C = WindowPage::Column;
        for (const auto& [side, value, index, verdict] :
             {std::tuple{"scheme", C::SchemeValue, C::SchemeIndex, C::SchemeVerdict},
              std::tuple{"exact", C::ExactValue, C::ExactIndex, C::ExactVerdict}}) {
            const QJsonObject judged = reported[side].toObject();
            const QJsonArray limits = judged["limits"].toArray();
            QCOMPARE(limits.size(), 6);
            for (int i = 0; i < 6; ++i) {
                const QJsonObject limit = limits[i].toObject();
                QVERIFY2(SameNumber(limit["value"], Held(table, i, value)), side);
                QVERIFY2(SameNumber(limit["index"], Held(table, i, index)), side);
                QCOMPARE(table->item(i, verdict)->text(),
                         QString(limit["pass"].toBool() ? "pass" : "FAIL"));
            }
            QVERIFY(SameNumber(judged["pwi"], Held(table, 6, index)));
            QCOMPARE(table->item(6, verdict)->text(), QString("pass"));
        }
        QCOMPARE(table->item(0, C::SchemeValue)->text(),
                 QString::number(reported["scheme"]["limits"][0]["value"].toDouble(), 'g', 6));
        QVERIFY(window_->WindowTab->Summary->text().contains("Scheme: index 61.5, <b>pass</b>"));

        // The result file of the same run is judged on its printed rows: a
        // depth has no value there, which fails and leaves no index; the
        // window stays open for the new run.
        window_->OpenFiles({dir.filePath("h.result")});
        QTRY_VERIFY(!window_->IsLoading() && window_->Runs().front()->FromResultFile);
        QCOMPARE(window_->WindowTab->Judged()->Scheme.Limits.size(), std::size_t{6});
        QCOMPARE(table->item(2, C::SchemeValue)->text(), QString("no value"));
        QCOMPARE(table->item(2, C::SchemeIndex)->text(), QString("no value"));
        QCOMPARE(table->item(2, C::SchemeVerdict)->text(), QString("no value, FAIL"));
        QCOMPARE(table->item(6, C::SchemeIndex)->text(), QString("no value"));
        QCOMPARE(table->item(6, C::SchemeVerdict)->text(), QString("FAIL (a limit has no value)"));
        QCOMPARE(table->item(2, C::ExactVerdict)->text(), QString("pass"));
        QVERIFY(std::abs(Held(table, 1, C::SchemeValue) -
                         reported["scheme"]["limits"][1]["value"].toDouble()) <= 0.05);
        QCOMPARE(along->Window().Shapes().size(), std::size_t{5});
        QVERIFY(!along->Window().Shapes()[1].Pass); // limit 3 has no value
        QVERIFY(along->Window().Shapes()[1].Label.contains("limit 3, peak a quarter into the "
                                                           "board: no value, FAIL"));
        QVERIFY(services_->errors.empty());

        // Closed, nothing of it is left.
        Trigger("C&lose process window");
        QVERIFY(along->Window().Shapes().empty());
        QVERIFY(!window_->Options().Window);
        QCOMPARE(table->rowCount(), 0);
        QVERIFY(window_->WindowTab->Summary->text().startsWith("No process window is open"));
        QVERIFY(window_->WhatIf->WindowFile().isEmpty());
    }

    // A refused window file shows its message, with its place in the file,
    // and changes nothing: the window open before stays.
    void refusedWindowFileChangesNothing() {
        QVERIFY(Open({Example("heating.txt")}));
        window_->OpenWindow(Example("heating-window.json"));
        const auto before = window_->WindowTab->Judged();
        QTemporaryDir dir;
        const QString limits =
            Write(dir, "limits.json",
                  "{\"limits\": [\n {\"metric\": \"zone4.exit.TAV\", \"min\": 30, \"max\": 60},\n"
                  " {\"metric\": \"profile.T1.peak.T\", \"min\": 250, \"max\": 240}]}\n");
        const QString syntax = Write(dir, "syntax.json", "{\"limits\": [\n  {\"metric\" 1}]}\n");
        for (const QString& path : {limits, syntax}) {
            services_->windowChosen = path;
            Trigger("Open process &window…"); // the guard shows what is wrong
        }
        QCOMPARE(services_->errors.size(), std::size_t{2});
        QCOMPARE(QString::fromStdString(services_->errors[0]),
                 "window file " + limits +
                     ": limit 2 (profile.T1.peak.T): min 250 is not below max 240");
        QVERIFY2(QString::fromStdString(services_->errors[1])
                     .startsWith("window file " + syntax + ": line 2, column 13: "),
                 services_->errors[1].c_str());
        QCOMPARE(window_->WindowTab->Judged(), before);
        QCOMPARE(window_->Options().Window, before);
        QCOMPARE(window_->WindowTab->FilePath(), Example("heating-window.json"));
        QCOMPARE(window_->Along->Window().Shapes().size(), std::size_t{5});
        QCOMPARE(window_->WhatIf->WindowFile(), Example("heating-window.json"));
    }

    // korvane-view [--window FILE] [FILE...] and --export's options.
    void commandLineTakesAWindow() {
        const auto parse = [](std::vector<std::string> args) { return ParseViewerArguments(args); };
        ViewerArguments a = parse({"--window", "w.json", "a.txt", "b.result"});
        QCOMPARE(a.WindowFile, std::string("w.json"));
        QCOMPARE(a.Inputs, (std::vector<std::string>{"a.txt", "b.result"}));
        QVERIFY(a.Export.empty() && a.Error.empty());
        a = parse({"--export", "x.png", "--window", "w.json", "--", "--odd.txt"});
        QCOMPARE(a.Export, std::string("x.png"));
        QCOMPARE(a.Inputs, std::vector<std::string>{"--odd.txt"});
        QVERIFY(IsExportCommand({"--window", "w.json", "--export", "x.png", "a.txt"}));
        QVERIFY(!IsExportCommand({"a.txt", "--export", "x.png"}));
        QCOMPARE(parse({"--window"}).Error, std::string("--window needs a FILE"));
        QCOMPARE(parse({"--window", "a", "--window", "b"}).Error,
                 std::string("--window is given twice"));
        QCOMPARE(parse({"--windwo", "a"}).Error, std::string("unknown option --windwo"));
        QCOMPARE(parse({"--export", "x.png"}).Error,
                 std::string("--export needs an INPUT to draw"));
        QVERIFY(parse({}).Error.empty());

        std::ostringstream errors;
        QVERIFY(!OpenCommandLine(*window_, *services_, {"--window"}, errors));
        QVERIFY(errors.str().starts_with("korvane-view: --window needs a FILE\nusage: "));
        QVERIFY(OpenCommandLine(*window_, *services_,
                                {"--window", Example("heating-window.json").toStdString(),
                                 Example("heating.txt").toStdString()},
                                errors));
        QTRY_VERIFY(!window_->IsLoading() && !window_->Runs().empty());
        QVERIFY(window_->Options().Window);
        QCOMPARE(window_->Options().Window->Scheme.Limits.size(), std::size_t{6});
        QVERIFY(services_->errors.empty());
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
    void Trigger(const QString& text) {
        for (QAction* action : window_->findChildren<QAction*>())
            if (action->text() == text)
                action->trigger();
    }

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
