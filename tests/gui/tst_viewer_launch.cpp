// A double click in either file list opens the file in korvane-view, in a
// process of its own; Enter in a file list still clicks Go.
#include "WindowTest.h"

#include "BitBtn.h"
#include "FileListBox.h"
#include "ListClicks.h"
#include "SiblingProgram.h"
#include "TabbedNotebook.h"
#include "ViewerLauncher.h"

#include <QSignalSpy>
#include <QtTest>

using namespace korvane;

namespace {

class FakeLauncher : public ProcessLauncher {
  public:
    QString program;
    QStringList arguments;
    int started = 0;
    bool result = true;
    bool StartDetached(const QString& p, const QStringList& a) override {
        ++started;
        program = p;
        arguments = a;
        return result;
    }
};

} // namespace

class ViewerLaunchTest : public WindowTest {
    Q_OBJECT

  private slots:
    void init() {
        path_before_ = qgetenv("PATH");
        // The build tree's korvane-view, found as if it were installed on the PATH.
        qputenv("PATH", QByteArray(KORVANE_VIEWER_DIR) + ":" + path_before_);
        QVERIFY(OpenWindow());
        QVERIFY(!Write("result.txt", "x").isEmpty());
        form_->FileListBox1->Update();
        form_->FileListBox2->Update();
        form_->SetViewerLauncher(launcher_);
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }

    void cleanup() {
        CloseWindow();
        qputenv("PATH", path_before_);
        launcher_ = FakeLauncher();
    }

    void doubleClickInEitherListStartsTheViewerOnTheFile() {
        DoubleClick(form_->FileListBox1, LineOf(form_->FileListBox1, "result.txt"));
        QCOMPARE(launcher_.started, 1);
        QCOMPARE(QFileInfo(launcher_.program).fileName(), QString("korvane-view"));
        QVERIFY(QFileInfo(launcher_.program).isExecutable());
        QCOMPARE(launcher_.arguments, QStringList{path_ + "/result.txt"});

        form_->TabbedNotebook1->SetPageIndex(1);
        DoubleClick(form_->FileListBox2, LineOf(form_->FileListBox2, "result.txt"));
        QCOMPARE(launcher_.started, 2);
        QCOMPARE(launcher_.arguments, QStringList{path_ + "/result.txt"});
        QVERIFY(services_->errors.empty());
        // Nothing else happened: no run, no message, the same folder.
        QCOMPARE(services_->finishShown, 0);
        QVERIFY(services_->messages.empty());
        QCOMPARE(QDir::currentPath(), path_);
    }

    void aViewerThatCannotStartIsReported() {
        launcher_.result = false;
        DoubleClick(form_->FileListBox1, LineOf(form_->FileListBox1, "result.txt"));
        QCOMPARE(services_->errors.size(), std::size_t{1});

        qputenv("PATH", path_.toUtf8()); // a folder without korvane-view
        DoubleClick(form_->FileListBox1, LineOf(form_->FileListBox1, "result.txt"));
        QCOMPARE(launcher_.started, 1);
        QCOMPARE(services_->errors.size(), std::size_t{2});
    }

    // Beside this program, then in the build tree's folder, then on the PATH;
    // a file that cannot be run is no program.
    void siblingProgramsAreFoundWhereTheyAreBuilt() {
        qputenv("PATH", path_.toUtf8());
        const QString built = SiblingProgram("korvane-view", KORVANE_VIEWER_DIR);
        QCOMPARE(QFileInfo(built).fileName(), QString("korvane-view"));
        QVERIFY(QFileInfo(built).isExecutable());
        QVERIFY(!Write("korvane-fake", "x").isEmpty());
        QVERIFY(SiblingProgram("korvane-fake", path_).isEmpty());
        QFile(path_ + "/korvane-fake")
            .setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QCOMPARE(SiblingProgram("korvane-fake", path_), path_ + "/korvane-fake");
        QCOMPARE(SiblingProgram("korvane-fake", "/nonexistent"), path_ + "/korvane-fake");
    }

    void enterInAFileListStillClicksGo() {
        QSignalSpy go(form_->Start, &QPushButton::clicked);
        form_->FileListBox1->setFocus();
        form_->FileListBox1->setCurrentRow(0);
        QTest::keyClick(form_->FileListBox1, Qt::Key_Return);
        QCOMPARE(go.count(), 1);
        QCOMPARE(launcher_.started, 0);
    }

  private:
    FakeLauncher launcher_;
    QByteArray path_before_;
};

QTEST_MAIN(ViewerLaunchTest)
#include "tst_viewer_launch.moc"
