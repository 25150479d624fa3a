// The folder pickers of both pages stay on one folder, which is the process's
// current directory, on a temporary folder tree.
#include "FakeUiServices.h"
#include "ListClicks.h"

#include "CurrentFolder.h"
#include "DirectoryListBox.h"
#include "DriveComboBox.h"
#include "Drives.h"
#include "Edit.h"
#include "FileListBox.h"
#include "MainForm.h"
#include "TabbedNotebook.h"

#include <QtTest>

using namespace korvane;

namespace {

QStringList Lines(const QListWidget* list) {
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}

} // namespace

class PickersTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        tree_.reset(new QTemporaryDir);
        QVERIFY(tree_->isValid());
        root_ = QDir(tree_->path()).canonicalPath();
        QDir dir(root_);
        for (const char* sub : {"beta", "Alpha", ".hidden", "gamma/inner"})
            QVERIFY(dir.mkpath(sub));
        for (const char* file : {"b.txt", "A.result", "noext", ".dotfile", "gamma/in.txt"}) {
            QFile f(dir.filePath(file));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QVERIFY(QDir::setCurrent(root_));
        services_ = std::make_unique<FakeUiServices>();
        form_ = std::make_unique<TForm1>(*services_);
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }

    void cleanup() {
        form_.reset();
        QDir::setCurrent(QDir::tempPath());
    }

    void startAtTheCurrentDirectory() {
        for (TDirectoryListBox* list : {form_->DirectoryListBox1, form_->DirectoryListBox2})
            QCOMPARE(list->Directory(), root_);
        for (TFileListBox* list : {form_->FileListBox1, form_->FileListBox2}) {
            QCOMPARE(list->Directory(), root_);
            // Every file whatever its name, hidden ones left out, letter case ignored.
            QCOMPARE(Lines(list), QStringList({"A.result", "b.txt", "noext"}));
        }
        const QStringList lines = Lines(form_->DirectoryListBox1);
        QCOMPARE(lines.first(), QString("/"));
        QCOMPARE(lines.mid(lines.size() - 4),
                 QStringList({QDir(root_).dirName(), "Alpha", "beta", "gamma"}));
        QCOMPARE(form_->DriveComboBox1->Drive(), DriveOf(root_));
        QCOMPARE(form_->DriveComboBox2->Drive(), DriveOf(root_));
    }

    void drivesListRealFileSystemsRootFirst() {
        const QStringList drives = AvailableDrives();
        QVERIFY(!drives.isEmpty());
        QCOMPARE(drives.first(), QString("/"));
        for (const char* pseudo : {"/proc", "/sys", "/dev"})
            QVERIFY(!drives.contains(pseudo));
        QStringList sorted = drives;
        sorted.sort();
        QCOMPARE(drives, sorted);
        QCOMPARE(DriveOf(root_ + "/no/such/folder"), DriveOf(root_));
        // A root entered with chroot lists no mount of "/".
        QCOMPARE(DrivesAmong({}), QStringList({"/"}));
    }

    void linesAtLeastAsTallAsTheirFont() {
        QVERIFY(QFile(root_ + "/on_mount_gyq.txt").open(QIODevice::WriteOnly));
        form_->FileListBox1->Update();
        // The font found here, and one far taller than the lines of the layout.
        for (int pixelSize : {12, 30}) {
            QFont font = form_->font();
            font.setPixelSize(pixelSize);
            for (QListWidget* list : {static_cast<QListWidget*>(form_->FileListBox1),
                                      static_cast<QListWidget*>(form_->DirectoryListBox1)}) {
                list->setFont(font);
                list->doItemsLayout();
                const int height = list->visualItemRect(list->item(0)).height();
                QVERIFY2(
                    height >= QFontMetrics(font).lineSpacing(),
                    qPrintable(QString("%1: %2 px lines").arg(list->objectName()).arg(height)));
            }
        }
    }

    void openingASubfolderOnOnePageMovesTheOther_data() {
        QTest::addColumn<int>("page");
        QTest::newRow("first page") << 1;
        QTest::newRow("second page") << 2;
    }

    void openingASubfolderOnOnePageMovesTheOther() {
        QFETCH(int, page);
        if (page == 2)
            form_->TabbedNotebook1->SetPageIndex(1);
        TDirectoryListBox* list = page == 1 ? form_->DirectoryListBox1 : form_->DirectoryListBox2;
        DoubleClick(list, LineOf(list, "gamma"));
        const QString gamma = root_ + "/gamma";
        QCOMPARE(CurrentFolder(), gamma);
        for (TDirectoryListBox* dirs : {form_->DirectoryListBox1, form_->DirectoryListBox2})
            QCOMPARE(dirs->Directory(), gamma);
        for (TFileListBox* files : {form_->FileListBox1, form_->FileListBox2}) {
            QCOMPARE(files->Directory(), gamma);
            QCOMPARE(Lines(files), QStringList({"in.txt"}));
        }
        QVERIFY(services_->errors.empty());

        // And back up through the line of a parent folder.
        DoubleClick(list, LineOf(list, QDir(root_).dirName()));
        QCOMPARE(CurrentFolder(), root_);
        QCOMPARE(form_->FileListBox1->Directory(), root_);
        QCOMPARE(form_->DirectoryListBox2->Directory(), root_);
    }

    void enterOpensTheSelectedLine() {
        TDirectoryListBox* list = form_->DirectoryListBox1;
        list->setFocus();
        list->setCurrentItem(LineOf(list, "Alpha"));
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(CurrentFolder(), root_ + "/Alpha");
        QCOMPARE(form_->DirectoryListBox2->Directory(), root_ + "/Alpha");
    }

    void aSingleClickOnlySelects() {
        form_->TabbedNotebook1->SetPageIndex(1);
        TDirectoryListBox* list = form_->DirectoryListBox2;
        QListWidgetItem* beta = LineOf(list, "beta");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(beta).center());
        QCOMPARE(list->currentItem(), beta);
        QCOMPARE(list->Directory(), root_);
        QCOMPARE(CurrentFolder(), root_);
    }

    void openingTheShownFolderMirrorsNothing() {
        // Marks that a re-read or a mirrored setting would wipe out.
        QListWidgetItem* chosen = LineOf(form_->DirectoryListBox1, "beta");
        form_->DirectoryListBox1->setCurrentItem(chosen);
        form_->FileListBox1->setCurrentRow(1);
        QVERIFY(QDir::setCurrent(root_ + "/Alpha"));

        form_->TabbedNotebook1->SetPageIndex(1);
        TDirectoryListBox* list = form_->DirectoryListBox2;
        DoubleClick(list, LineOf(list, QDir(root_).dirName()));
        QCOMPARE(form_->DirectoryListBox1->currentItem(), chosen);
        QCOMPARE(form_->FileListBox1->currentRow(), 1);
        QCOMPARE(CurrentFolder(), root_ + "/Alpha");

        // Setting the drive already shown does nothing either.
        form_->DriveComboBox1->SetDrive(form_->DriveComboBox1->Drive());
        QCOMPARE(form_->DirectoryListBox1->currentItem(), chosen);
        QCOMPARE(CurrentFolder(), root_ + "/Alpha");
    }

    void selectingAFileChangesNothingElse() {
        form_->TabbedNotebook1->SetPageIndex(1);
        QTest::mouseClick(
            form_->FileListBox2->viewport(), Qt::LeftButton, {},
            form_->FileListBox2->visualItemRect(form_->FileListBox2->item(0)).center());
        QCOMPARE(form_->FileListBox2->SelectedFilePath(), root_ + "/A.result");
        QCOMPARE(form_->Edit[12]->text(), QString("result.txt"));
        QCOMPARE(form_->FileListBox1->currentRow(), -1);
        // A mirrored directory does not disturb the selection it equals.
        form_->FileListBox2->ApplyFilePath(root_ + "/A.result");
        QCOMPARE(form_->FileListBox2->Directory(), root_);
    }

    void aRefusedFolderChangeShowsTheErrorAndKeepsWhatWasSet() {
        TDirectoryListBox* list = form_->DirectoryListBox1;
        QListWidgetItem* beta = LineOf(list, "beta");
        QVERIFY(QDir(root_).rmdir("beta"));
        QVERIFY(QDir(root_).remove("b.txt"));
        DoubleClick(list, beta);
        QCOMPARE(services_->errors.size(), std::size_t(1));
        QVERIFY2(QString::fromStdString(services_->errors[0]).startsWith("I/O error 2"),
                 services_->errors[0].c_str());
        for (TDirectoryListBox* dirs : {form_->DirectoryListBox1, form_->DirectoryListBox2})
            QCOMPARE(dirs->Directory(), root_);
        QCOMPARE(form_->FileListBox2->Directory(), root_);
        QCOMPARE(CurrentFolder(), root_);
        // Both pages show what exists now, the folder shown highlighted.
        for (TDirectoryListBox* dirs : {form_->DirectoryListBox1, form_->DirectoryListBox2}) {
            QVERIFY(!LineOf(dirs, "beta"));
            QCOMPARE(dirs->currentItem()->text(), QDir(root_).dirName());
        }
        for (TFileListBox* files : {form_->FileListBox1, form_->FileListBox2})
            QCOMPARE(Lines(files), QStringList({"A.result", "noext"}));
        // The window goes on working.
        DoubleClick(list, LineOf(list, "Alpha"));
        QCOMPARE(form_->DirectoryListBox2->Directory(), root_ + "/Alpha");
        QCOMPARE(services_->errors.size(), std::size_t(1));
    }

    void reReadingAFileListMakesItsFolderCurrent() {
        QVERIFY(QDir::setCurrent(QDir::tempPath()));
        QFile made(root_ + "/new.txt");
        QVERIFY(made.open(QIODevice::WriteOnly));
        form_->FileListBox1->Update();
        QCOMPARE(CurrentFolder(), root_);
        QVERIFY(Lines(form_->FileListBox1).contains("new.txt"));
        QVERIFY(!Lines(form_->FileListBox2).contains("new.txt"));
    }

  private:
    std::unique_ptr<QTemporaryDir> tree_;
    QString root_;
    std::unique_ptr<FakeUiServices> services_;
    std::unique_ptr<TForm1> form_;
};

QTEST_MAIN(PickersTest)
#include "tst_pickers.moc"
