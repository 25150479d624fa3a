// korvane-view --export as scripts run it: a plain process with no display
// and no QT_QPA_PLATFORM, its exit code and the pictures it writes.
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString Golden(const char* name) {
    return QString(KORVANE_GOLDEN_DIR) + "/" + name;
}

struct Outcome {
    int code = -1;
    QString errors;
};

Outcome Export(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(name);
    process.setProcessEnvironment(environment);
    process.start(KORVANE_VIEW, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class ExportCommandTest : public QObject {
    Q_OBJECT

  private slots:
    void picturesOfAResultFileAndADataFile() {
        QTemporaryDir dir;
        const QString png = dir.filePath("r.png"), svg = dir.filePath("d.svg"),
                      pdf = dir.filePath("both.pdf");
        const Outcome first = Export({"--export", png, Golden("defaults.result")});
        QCOMPARE(first.code, 0);
        QVERIFY2(!first.errors.contains("incomplete"), qPrintable(first.errors));
        const QImage image(png);
        QCOMPARE(image.size(), QSize(1200, 900));
        // Drawn, not blank.
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 7)
            for (int x = 0; x < image.width(); x += 7)
                colours.insert(image.pixel(x, y));
        QVERIFY(colours.size() > 10);

        QCOMPARE(Export({"--export", svg, Golden("layers7-four-zones.txt")}).code, 0);
        QSvgRenderer drawing(svg);
        QVERIFY(drawing.isValid());
        QCOMPARE(drawing.viewBox(), QRect(0, 0, 1200, 900));

        QCOMPARE(Export({"--export", pdf, Golden("layers7-four-zones.txt"),
                         Golden("layers7-four-zones.result")})
                     .code,
                 0);
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.size() > 1000);
        QCOMPARE(file.read(5), QByteArray("%PDF-"));
    }

    // --window draws the process window's limits: light green bands where
    // the run passes. A refused window file is an input refused, nothing
    // written; --window without its file is a wrong argument.
    void aProcessWindowIsDrawnToo() {
        QTemporaryDir dir;
        const QString data = QString(KORVANE_EXAMPLES_DIR) + "/heating.txt";
        const QString window = QString(KORVANE_EXAMPLES_DIR) + "/heating-window.json";
        // Pixels of a light green fill over the zones' blue and cream.
        const auto greenish = [](const QString& png) {
            const QImage image(png);
            int count = 0;
            for (int y = 0; y < image.height(); y += 2)
                for (int x = 0; x < image.width(); x += 2) {
                    const QColor c = image.pixelColor(x, y);
                    count += c.red() > 190 && c.blue() > 190 && c.green() > c.red() + 5 &&
                             c.green() > c.blue() + 3;
                }
            return count;
        };
        const QString plain = dir.filePath("plain.png"), with = dir.filePath("window.png");
        QCOMPARE(Export({"--export", plain, data}).code, 0);
        const Outcome drawn = Export({"--export", with, "--window", window, data});
        QCOMPARE(drawn.code, 0);
        QCOMPARE(drawn.errors, QString());
        QVERIFY2(greenish(with) > 20 * std::max(greenish(plain), 100),
                 qPrintable(QString("%1 against %2").arg(greenish(with)).arg(greenish(plain))));

        QFile bad(dir.filePath("bad.json"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("{\"limits\": [{\"metric\": \"zone4.exit.TMAX\", \"min\": 1, \"max\": 2}]}");
        bad.close();
        const QString target = dir.filePath("refused.png");
        const Outcome refused = Export({"--export", target, "--window", bad.fileName(), data});
        QCOMPARE(refused.code, 1);
        QVERIFY2(refused.errors.startsWith("window file " + bad.fileName() +
                                           ": limit 1: unknown metric 'zone4.exit.TMAX'"),
                 qPrintable(refused.errors));
        QVERIFY(!QFile::exists(target));
        const Outcome usage = Export({"--export", target, data, "--window"});
        QCOMPARE(usage.code, 1); // "--window" after the inputs is an input
        const Outcome missing = Export({"--export", target, "--window"});
        QCOMPARE(missing.code, 64);
        QVERIFY(missing.errors.startsWith("korvane-view: --window needs a FILE\nusage: "));
    }

    void warningsGoToStandardError() {
        QTemporaryDir dir;
        QFile golden(Golden("layers7-four-zones.result"));
        QVERIFY(golden.open(QIODevice::ReadOnly));
        const QByteArray bytes = golden.readAll();
        QFile cut(dir.filePath("cut.result"));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(bytes.left(bytes.lastIndexOf("128.8") + 2));
        cut.close();
        const Outcome outcome = Export({"--export", dir.filePath("c.png"), cut.fileName()});
        QCOMPARE(outcome.code, 0);
        QCOMPARE(outcome.errors, cut.fileName() +
                                     ": The file is incomplete: line 109 has no line end: the file "
                                     "is cut in zone 4, which shows 16 rows of about 17 (the cut "
                                     "row is left out).\n");
    }

    void refusedInputsWrongArgumentsAndUnwritablePictures() {
        QTemporaryDir dir;
        QFile notes(dir.filePath("notes.txt"));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("Density = 1\n");
        notes.close();
        const QString png = dir.filePath("x.png");
        const Outcome refused =
            Export({"--export", png, Golden("defaults.result"), notes.fileName()});
        QCOMPARE(refused.code, 1);
        QVERIFY2(refused.errors.startsWith(notes.fileName() + " is neither a result file (line 2:"),
                 qPrintable(refused.errors));
        QVERIFY(!QFile::exists(png));

        for (const QStringList& wrong :
             {QStringList{"--export"}, QStringList{"--export", png},
              QStringList{"--export", dir.filePath("x.gif"), Golden("defaults.result")}}) {
            const Outcome usage = Export(wrong);
            QCOMPARE(usage.code, 64);
            QVERIFY(usage.errors.contains("usage: korvane-view"));
        }

        for (const char* name : {"x.png", "x.svg", "x.pdf"}) {
            const QString target = dir.filePath(QString("no/such/folder/") + name);
            const Outcome unwritable = Export({"--export", target, Golden("defaults.result")});
            QCOMPARE(unwritable.code, 2);
            QCOMPARE(unwritable.errors, target + " could not be written.\n");
        }
    }
};

QTEST_MAIN(ExportCommandTest)
#include "tst_export_command.moc"
