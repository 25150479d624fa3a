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
