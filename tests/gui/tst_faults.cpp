// Faults through the window: result files that cannot be written, faults of
// the computation, data files that are no data files, values that no box
// should choke on, save names the file system refuses, refused folder changes
// and a decimal comma. The functions named permission* need a user whom
// permissions bind; as root they skip and a second test entry runs them as
// nobody.
#include "WindowTest.h"

#include "BitBtn.h"
#include "Calculate.h"
#include "CurrentFolder.h"
#include "DirectoryListBox.h"
#include "Edit.h"
#include "FileListBox.h"
#include "MainForm.h"
#include "NumberFormat.h"
#include "TabbedNotebook.h"
#include "TestSupport.h"

#include <QProcess>
#include <QScopeGuard>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace korvane;

namespace {

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Golden() {
    return Contents(KORVANE_GOLDEN_DIR "/defaults.result");
}

bool Lists(const QListWidget* list, const QString& name) {
    return !list->findItems(name, Qt::MatchExactly).isEmpty();
}

// The files this process holds open under any of paths.
QStringList OpenFilesUnder(const QStringList& paths) {
    QStringList open;
    for (const QFileInfo& fd : QDir("/proc/self/fd").entryInfoList(QDir::Files | QDir::System))
        for (const QString& path : paths)
            if (fd.symLinkTarget().startsWith(path))
                open << fd.symLinkTarget();
    return open;
}

// While it lives, writing a file beyond size bytes fails with EFBIG (0: no limit).
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t size) : size_(size) {
        if (!size_)
            return;
        getrlimit(RLIMIT_FSIZE, &old_);
        signal_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{size_, old_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        if (!size_)
            return;
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, signal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlim_t size_;
    rlimit old_{};
    void (*signal_)(int) = SIG_DFL;
};

// Each of the three zones of the window as built fails to append.
const std::vector<std::string> NothingWritable = korvane::testing::NothingWritableMessages(3);

// Boxes as "N=text": three layers of exactly the conductivity's thickness and
// an increment that makes the Fourier number exactly 1, so that zone 4's
// Biot numbers of -1 and -0.75 make its system exactly singular.
const QStringList SingularZoneFour = {"4=0.0018", "14=3",  "13=0.0172368", "7=1",
                                      "23=1",     "24=1",  "25=-1",        "26=-0.75",
                                      "27=300",   "28=50", "29=1"};
// Everything at one temperature keeps the right-hand side consistent: 0 / 0.
const QStringList AllAtThreeHundred = {"9=300",  "10=300", "17=300", "18=300",
                                       "21=300", "22=300", "28=300"};

// The window's defaults as a data file of count lines, line 4 given.
QByteArray DataLines(int count, const QByteArray& line4 = "0.013") {
    const char* values[] = {"1.14", "0.56",   "0.0006", "0.013", "27.0",   "300.0",  "0.5",
                            "10",   "0.0005", "0.09",   "30.0",  "50.0",   "10.0",   "0.09",
                            "0.09", "50.0",   "50.0",   "10.0",  "0.0005", "0.0005", "30.0",
                            "30.0", "20.0",   "",       "",      "",       "",       ""};
    QByteArray data;
    for (int line = 1; line <= count; ++line)
        data += "Line " + QByteArray::number(line) + " = " +
                (line == 4 ? line4 : QByteArray(values[line - 1])) + '\n';
    return data;
}

} // namespace

class FaultsTest : public WindowTest {
    Q_OBJECT

  private slots:
    void init() {
        SetDecimalSeparator('.');
        QVERIFY(OpenWindow());
        // Listed only once the file lists have been read again.
        QVERIFY(QFile(path_ + "/marker.txt").open(QIODevice::WriteOnly));
    }

    void cleanup() {
        CloseWindow();
        SetDecimalSeparator('.');
        // What a case made unreadable goes as well.
        if (folder_)
            for (const QFileInfo& entry :
                 QDir(path_).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot))
                QFile::setPermissions(entry.filePath(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        folder_.reset();
    }

    void aResultFileThatCannotBeOpenedShowsEveryMessage_data() {
        QTest::addColumn<QString>("saveName");
        QTest::newRow("folder missing") << "missing/result.txt";
        QTest::newRow("a directory") << "folder";
        QTest::newRow("name too long") << QString(300, 'r') + ".txt";
        QTest::newRow("path too long") << QString("./").repeated(2100) + "result.txt";
        QTest::newRow("NUL in the name") << QString("res") + QChar(0) + "ult.txt";
    }

    void aResultFileThatCannotBeOpenedShowsEveryMessage() {
        QFETCH(QString, saveName);
        QVERIFY(QDir(path_).mkdir("folder"));
        form_->Edit[12]->setText(saveName);
        form_->Start->click();
        QCOMPARE(services_->messages, NothingWritable);
        QVERIFY(services_->errors.empty());
        QCOMPARE(services_->finishShown, 0);
        QVERIFY(Lists(form_->FileListBox1, "marker.txt"));
        QVERIFY(Lists(form_->FileListBox2, "marker.txt"));
        QCOMPARE(QDir(path_).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList({"folder", "marker.txt"}));
        QVERIFY(QDir(path_ + "/folder").isEmpty());
    }

    void aFaultEndsTheRunInTheErrorBox_data() {
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("zonesKept"); // -1: no file to look at
        QTest::addColumn<bool>("asTheDefaults");
        QTest::addColumn<int>("fileSizeLimit");
        QTest::newRow("disk full")
            << QStringList({"12=/dev/full"}) << "No space left on device" << -1 << false << 0;
        // The write that reaches the limit is cut in the middle of zone 2.
        QTest::newRow("file size limit") << QStringList() << "File too large" << 2 << true << 4000;
        QTest::newRow("singular zone, division by zero")
            << SingularZoneFour << "Floating point division by zero" << 3 << false << 0;
        QTest::newRow("singular zone, 0 / 0")
            << SingularZoneFour + AllAtThreeHundred << "Invalid floating point operation" << 3
            << false << 0;
        QTest::newRow("overflow") << QStringList(
                                         {"25=1e300", "26=0.09", "27=1e300", "28=50", "29=10"})
                                  << "Floating point overflow" << 3 << true << 0;
    }

    void aFaultEndsTheRunInTheErrorBox() {
        QFETCH(QStringList, boxes);
        QFETCH(QString, error);
        QFETCH(int, zonesKept);
        QFETCH(bool, asTheDefaults);
        QFETCH(int, fileSizeLimit);
        SetBoxes(boxes);
        {
            FileSizeLimit limit(fileSizeLimit);
            form_->Start->click();
        }
        QVERIFY(services_->messages.empty());
        QCOMPARE(services_->errors, std::vector<std::string>({error.toStdString()}));
        QCOMPARE(services_->finishShown, 0);
        QVERIFY(!Lists(form_->FileListBox1, "marker.txt"));
        QVERIFY(!Lists(form_->FileListBox2, "marker.txt"));
        QCOMPARE(OpenFilesUnder({path_, "/dev/full"}), QStringList());
        if (zonesKept >= 0) {
            // The header and the blocks written before the fault.
            const QByteArray written = Contents(path_ + "/result.txt");
            QVERIFY(written.startsWith("Density "));
            QCOMPARE(written.count("\r\n[Zone "), zonesKept);
            if (fileSizeLimit)
                QCOMPARE(written.size(), fileSizeLimit);
            else
                QVERIFY(written.endsWith("\r\n\r\n\r\n"));
            if (asTheDefaults)
                QVERIFY(Golden().startsWith(written));
        }

        // Nothing of the fault is left for the next run.
        SetBoxes({"25=", "12=again.txt"});
        form_->Start->click();
        QCOMPARE(services_->errors.size(), std::size_t(1));
        QCOMPARE(services_->finishShown, 1);
        QVERIFY(Lists(form_->FileListBox2, "again.txt"));
    }

    void aDataFileThatIsNoDataFileChangesNoBox_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("message");
        const QString format = "\"%path\" is not a correct data file!";
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            if (char c = static_cast<char>(i * 37 % 256); c != '\n' && c != '=')
                binary += c;
        QTest::newRow("binary") << binary << format;
        QTest::newRow("CR-only line ends") << DataLines(28).replace('\n', '\r') << format;
        QByteArray nul = DataLines(28);
        nul[nul.indexOf("= 0.0005")] = '\0';
        QTest::newRow("NUL in place of =") << nul << format;
        QTest::newRow("27 lines") << DataLines(27) << format;
        QTest::newRow("endless") << QByteArray("/dev/zero") << "Data file can not open!";
    }

    void aDataFileThatIsNoDataFileChangesNoBox() {
        QFETCH(QByteArray, data);
        QFETCH(QString, message);
        // A non-ASCII name: the message shows the path as chosen.
        const QString file = data == "/dev/zero" ? QString(data) : Write("データ ℃.txt", data);
        services_->filesChosen = {file};
        form_->InputData1->click();
        message.replace("%path", file);
        QCOMPARE(services_->messages, std::vector<std::string>({message.toStdString()}));
        ExpectBoxesUnchanged();
    }

    void oddValuesReachTheirBoxAndGoRefusesThem_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("boxText");
        QTest::newRow("NUL") << QByteArray("0.0") + '\0' + "13" << QString("0.0") + QChar(0) + "13";
        // A line edit keeps the first 32767 characters.
        QTest::newRow("50 MB") << QByteArray(50 << 20, '7') << QString(32767, '7');
        QTest::newRow("50 MB of code page 932")
            << QByteArray("\x82\xA0").repeated(25 << 20) << QString::fromUtf8("あ").repeated(32767);
        QTest::newRow("code page 932 full-width digits")
            << QByteArray("\x82\x4f\x81\x44\x82\x50") << QString::fromUtf8("０．１");
        QTest::newRow("a lead byte alone")
            << QByteArray("0.01\x81") << QString::fromUtf8("0.01\uFFFD");
        QByteArray every;
        for (int c = 1; c < 256; ++c)
            if (c != '\n' && c != '\r' && c != ' ' && c != '=')
                every += static_cast<char>(c);
        QTest::newRow("every byte") << every << QString();
    }

    void oddValuesReachTheirBoxAndGoRefusesThem() {
        QFETCH(QByteArray, value);
        QFETCH(QString, boxText);
        services_->filesChosen = {Write("data.txt", DataLines(28, value))};
        form_->InputData1->click();
        QVERIFY(services_->messages.empty());
        if (!boxText.isNull())
            QCOMPARE(form_->Edit[4]->text(), boxText);
        QCOMPARE(form_->Edit[8]->text(), QString("27.0"));
        form_->Start->click();
        QCOMPARE(services_->messages, std::vector<std::string>({"Input value is not correct!"}));
        QVERIFY(services_->errors.empty());
        QVERIFY(!QFile::exists(path_ + "/result.txt"));
    }

    void aNonAsciiSaveNameKeepsItsBytesAndTheFilesBytes_data() {
        QTest::addColumn<QByteArray>("utf8");
        QTest::newRow("Japanese and ℃") << QByteArray("結果 ℃.txt");
        QTest::newRow("accents and an emoji") << QByteArray("Ergebnis ä é 😀.txt");
    }

    void aNonAsciiSaveNameKeepsItsBytesAndTheFilesBytes() {
        QFETCH(QByteArray, utf8);
        form_->Edit[30]->setText(QString::fromUtf8(utf8));
        form_->TabbedNotebook1->SetPageIndex(1);
        form_->BitBtn1->click();
        QVERIFY(services_->messages.empty());
        QCOMPARE(services_->finishShown, 1);
        struct stat info {};
        QCOMPARE(::stat((path_.toUtf8() + '/' + utf8).constData(), &info), 0);
        QCOMPARE(Contents(path_ + '/' + QString::fromUtf8(utf8)), Golden());
        QVERIFY(Lists(form_->FileListBox1, QString::fromUtf8(utf8)));
    }

    void theFolderShownIsRemovedBeforeGo() {
        // The bare name has nowhere to go, and re-reading the lists is refused.
        QVERIFY(QDir(path_).mkdir("gone"));
        form_->DirectoryListBox1->SetDirectory(path_ + "/gone");
        QCOMPARE(form_->FileListBox2->Directory(), path_ + "/gone");
        QVERIFY(QDir(path_).rmdir("gone"));
        form_->Start->click();
        QCOMPARE(services_->messages, NothingWritable);
        QCOMPARE(services_->errors.size(), std::size_t(1));
        QVERIFY2(QString::fromStdString(services_->errors[0]).startsWith("I/O error 2:"),
                 services_->errors[0].c_str());
        QCOMPARE(services_->finishShown, 0);
        QCOMPARE(form_->FileListBox1->Directory(), path_ + "/gone");
    }

    void aDecimalCommaFromTheRegionalSettings() {
        // The settings change while the window runs, to a comma locale of its
        // own compiled into a private LOCPATH.
        QTemporaryDir locales;
        const QString german = locales.filePath("de_DE.iso88591");
        QProcess::execute("localedef", {"-c", "-i", "de_DE", "-f", "ISO-8859-1", german});
        QVERIFY2(QFileInfo::exists(german + "/LC_NUMERIC"), "localedef made no locale");
        const QByteArray lcAll = qgetenv("LC_ALL");
        const QByteArray locPath = qgetenv("LOCPATH");
        const auto restore = qScopeGuard([&] {
            lcAll.isNull() ? qunsetenv("LC_ALL") : qputenv("LC_ALL", lcAll);
            locPath.isNull() ? qunsetenv("LOCPATH") : qputenv("LOCPATH", locPath);
        });
        qputenv("LOCPATH", QFile::encodeName(locales.path()));
        qputenv("LC_ALL", "de_DE.ISO-8859-1");
        QEvent changed(QEvent::LocaleChange);
        QApplication::sendEvent(form_.get(), &changed);
        QCOMPARE(DecimalSeparator(), ',');

        form_->Start->click();
        QCOMPARE(services_->messages, std::vector<std::string>({"Input value is not correct!"}));
        QVERIFY(!QFile::exists(path_ + "/result.txt"));

        // The disabled boxes too, which a user cannot change: with their fixed
        // full stops no run is possible under a comma locale.
        for (int box :
             {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24})
            form_->Edit[box]->setText(form_->Edit[box]->text().replace('.', ','));
        services_->messages.clear();
        form_->Start->click();
        QVERIFY(services_->messages.empty());
        QCOMPARE(services_->finishShown, 1);
        const QString commas =
            QString::fromLatin1(Golden()).replace(QRegularExpression("(\\d)\\.(\\d)"), "\\1,\\2");
        QCOMPARE(Contents(path_ + "/result.txt"), commas.toLatin1());

        // One that is not installed gives the full stop, as in korvane-batch.
        qputenv("LC_ALL", "fr_FR.UTF-8");
        QApplication::sendEvent(form_.get(), &changed);
        QCOMPARE(DecimalSeparator(), '.');
    }

    void permissionReadOnlyResultFile() {
        if (::geteuid() == 0)
            QSKIP("root writes any file; the unprivileged test entry runs this");
        QFile earlier(path_ + "/result.txt");
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier run\r\n");
        earlier.close();
        QVERIFY(earlier.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        form_->Start->click();
        QCOMPARE(services_->messages, NothingWritable);
        QCOMPARE(services_->finishShown, 0);
        QVERIFY(Lists(form_->FileListBox1, "marker.txt"));
        QCOMPARE(Contents(path_ + "/result.txt"), QByteArray("earlier run\r\n"));
    }

    void permissionUnreadableDataFile() {
        if (::geteuid() == 0)
            QSKIP("root reads any file; the unprivileged test entry runs this");
        const QString file = Write("data.txt", DataLines(28));
        QVERIFY(QFile::setPermissions(file, {}));
        services_->filesChosen = {file};
        form_->InputData1->click();
        QCOMPARE(services_->messages, std::vector<std::string>({"Data file can not open!"}));
        ExpectBoxesUnchanged();
    }

    void permissionForbiddenFolder() {
        if (::geteuid() == 0)
            QSKIP("root enters any folder; the unprivileged test entry runs this");
        QVERIFY(QDir(path_).mkdir("forbidden"));
        QVERIFY(QFile::setPermissions(path_ + "/forbidden", QFile::ReadOwner | QFile::WriteOwner));
        // A window that lists the new folder.
        form_ = std::make_unique<TForm1>(*services_);
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        form_->TabbedNotebook1->SetPageIndex(1);
        TDirectoryListBox* list = form_->DirectoryListBox2;
        const auto lines = list->findItems("forbidden", Qt::MatchExactly);
        QCOMPARE(lines.size(), 1);
        list->setFocus();
        list->setCurrentItem(lines.first());
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(services_->errors, std::vector<std::string>({"I/O error 13: Permission denied"}));
        QCOMPARE(CurrentFolder(), path_);
        for (TDirectoryListBox* dirs : {form_->DirectoryListBox1, form_->DirectoryListBox2})
            QCOMPARE(dirs->Directory(), path_);
        for (TFileListBox* files : {form_->FileListBox1, form_->FileListBox2})
            QCOMPARE(files->Directory(), path_);
    }

  private:
    void SetBoxes(const QStringList& boxes) {
        for (const QString& entry : boxes) {
            const auto equals = entry.indexOf('=');
            form_->Edit[entry.left(equals).toUInt()]->setText(entry.mid(equals + 1));
        }
    }

    void ExpectBoxesUnchanged() {
        for (int box = 1; box <= 30; ++box)
            QCOMPARE(form_->Edit[box]->text(), before_[box]);
    }
};

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    FaultsTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_faults.moc"
