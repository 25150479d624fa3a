// Go in the window: the boxes through the core into the result file, the
// check messages, the zone rule, the completion dialog and the file lists.
#include "WindowTest.h"

#include "BitBtn.h"
#include "Calculate.h"
#include "Edit.h"
#include "FileListBox.h"
#include "LinEq.h"
#include "MainForm.h"
#include "TabbedNotebook.h"

#include <QtTest>

using namespace korvane;

namespace {

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool Lists(const QListWidget* list, const QString& name) {
    return !list->findItems(name, Qt::MatchExactly).isEmpty();
}

} // namespace

class RunTest : public WindowTest {
    Q_OBJECT

  private slots:
    void init() {
        QVERIFY(OpenWindow());
        CalcInput = TCalcInput{};
    }

    void cleanup() { CloseWindow(); }

    void theWindowAsBuiltWritesTheBatchToolsFile() {
        // The new file is listed once the dialog has been closed.
        bool listedDuringDialog = true;
        services_->onFinish = [&] {
            listedDuringDialog = Lists(form_->FileListBox1, "result.txt");
        };
        const std::uint64_t generalSolves = GeneralSolveCount();
        form_->Start->click();
        // The march takes the band path; the general solver is only its fallback.
        QCOMPARE(GeneralSolveCount(), generalSolves);
        QVERIFY(services_->messages.empty());
        QVERIFY(services_->errors.empty());
        QCOMPARE(services_->finishShown, 1);
        QCOMPARE(CalcInput.ZoneCount, 3);
        QCOMPARE(CalcInput.ZoneSteps, (std::array<std::int32_t, 5>{0, 20, 20, 40, 0}));
        QCOMPARE(Contents(path_ + "/result.txt"), Contents(KORVANE_GOLDEN_DIR "/defaults.result"));
        QVERIFY(!listedDuringDialog);
        QVERIFY(Lists(form_->FileListBox1, "result.txt"));
        QVERIFY(Lists(form_->FileListBox2, "result.txt"));
        services_->onFinish = nullptr;

        // A second Go overwrites the file and shows the same dialog again.
        form_->TabbedNotebook1->SetPageIndex(1);
        form_->BitBtn1->click();
        QCOMPARE(services_->finishShown, 2);
        QCOMPARE(Contents(path_ + "/result.txt"), Contents(KORVANE_GOLDEN_DIR "/defaults.result"));
    }

    void eachCheckShowsItsMessageAndWritesNothing_data() {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("1") << 1 << "0"
                           << "Value of Density is not correct";
        QTest::newRow("2") << 2 << "-0.56"
                           << "Value of Specific Heat is not correct";
        QTest::newRow("3") << 3 << "0"
                           << "Value of Thermal Conductivity is not correct";
        QTest::newRow("4") << 4 << "0"
                           << "Value of Thickness is not correct";
        QTest::newRow("5") << 5 << "0"
                           << "Value of Heat Transfer Coefficient-1 is not correct";
        QTest::newRow("6") << 6 << "-1"
                           << "Value of Heat Transfer Coefficient-2 is not correct";
        QTest::newRow("7") << 7 << "0.0"
                           << "Value of Length is not correct";
        QTest::newRow("8") << 8 << "0"
                           << "Value of Speed is not correct";
        QTest::newRow("9") << 9 << "0"
                           << "Value of Outer Temperature-1 is not correct";
        QTest::newRow("10") << 10 << "-5"
                            << "Value of Outer Temperature-2 is not correct";
        QTest::newRow("11") << 11 << "0"
                            << "Value of Initial Temperature is not correct";
        QTest::newRow("12") << 13 << "-0.5"
                            << "Value of Increment Δz is not correct";
        QTest::newRow("13") << 14 << "2"
                            << "Number of Layers is too small";
        QTest::newRow("14") << 12 << ""
                            << "Save File Name is not correct";
        QTest::newRow("15") << 14 << "101"
                            << "Number of Layers is to large";
        QTest::newRow("16") << 7 << "490.5"
                            << "Length is too large or Increment is too small";
        QTest::newRow("zero increment") << 13 << "0"
                                        << "Input value is not correct!";
        QTest::newRow("layers not whole") << 14 << "10.0"
                                          << "Input value is not correct!";
        QTest::newRow("empty box") << 8 << ""
                                   << "Input value is not correct!";
        QTest::newRow("zone 2 unreadable") << 17 << "fifty"
                                           << "Input value is not correct!";
    }

    void eachCheckShowsItsMessageAndWritesNothing() {
        QFETCH(int, box);
        QFETCH(QString, text);
        QFETCH(QString, message);
        form_->Edit[box]->setText(text);
        form_->Start->click();
        QCOMPARE(services_->messages.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(services_->messages[0]), message);
        QCOMPARE(services_->finishShown, 0);
        QVERIFY(QDir(path_).isEmpty());
    }

    void theSumOfStepsMayReachOneThousand() {
        form_->Edit[7]->setText("470.0"); // 940 + 20 + 40 steps
        form_->Start->click();
        QVERIFY(services_->messages.empty());
        QCOMPARE(services_->finishShown, 1);
    }

    void theFirstBoxOfZoneFourDecides_data() {
        QTest::addColumn<QString>("edit25");
        QTest::addColumn<QString>("others");
        QTest::addColumn<int>("zones");
        QTest::addColumn<QString>("message");
        QTest::newRow("0, rest unreadable") << "0"
                                            << "x" << 3 << "";
        QTest::newRow("one blank") << " "
                                   << "x" << 3 << "";
        QTest::newRow("empty") << ""
                               << "x" << 3 << "";
        QTest::newRow("0.0, rest empty") << "0.0"
                                         << "" << 4 << "Input value is not correct!";
        QTest::newRow("0.0, rest given") << "0.0"
                                         << "10.0" << 4 << "";
        QTest::newRow("a coefficient") << "0.001"
                                       << "20.0" << 4 << "";
    }

    void theFirstBoxOfZoneFourDecides() {
        QFETCH(QString, edit25);
        QFETCH(QString, others);
        QFETCH(int, zones);
        QFETCH(QString, message);
        form_->TabbedNotebook1->SetPageIndex(1);
        form_->Edit[25]->setText(edit25);
        for (int box = 26; box <= 29; ++box)
            form_->Edit[box]->setText(others);
        form_->BitBtn1->click();
        if (message.isEmpty()) {
            QVERIFY(services_->messages.empty());
            QCOMPARE(CalcInput.ZoneCount, zones);
            QCOMPARE(services_->finishShown, 1);
        } else {
            QCOMPARE(services_->messages.size(), std::size_t(1));
            QCOMPARE(QString::fromStdString(services_->messages[0]), message);
            QCOMPARE(CalcInput.ZoneCount, zones);
            QCOMPARE(services_->finishShown, 0);
        }
    }

    void enterInAnEditBoxRunsGoOfThatPage() {
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        QTest::keyClick(form_->Edit[8], Qt::Key_Return);
        QCOMPARE(services_->finishShown, 1);
        QVERIFY(QFile::exists(path_ + "/result.txt"));
        form_->TabbedNotebook1->SetPageIndex(1);
        form_->Edit[30]->setText("second.txt");
        QTest::keyClick(form_->Edit[29], Qt::Key_Enter);
        QCOMPARE(services_->finishShown, 2);
        QVERIFY(QFile::exists(path_ + "/second.txt"));
    }

    void theSaveNameAsTyped() {
        QVERIFY(QDir(path_).mkdir("sub"));
        form_->Edit[12]->setText("sub/relative.txt");
        form_->Start->click();
        QVERIFY(QFile::exists(path_ + "/sub/relative.txt"));

        QTemporaryDir elsewhere;
        const QString absolute = elsewhere.path() + "/absolute.txt";
        form_->Edit[30]->setText(absolute);
        form_->TabbedNotebook1->SetPageIndex(1);
        form_->BitBtn1->click();
        QVERIFY(QFile::exists(absolute));

        const QString japanese = QString::fromUtf8("結果 ℃.txt");
        form_->Edit[12]->setText(japanese);
        form_->TabbedNotebook1->SetPageIndex(0);
        form_->Start->click();
        QVERIFY(QFile::exists(path_ + "/" + japanese));
        QVERIFY(Lists(form_->FileListBox2, japanese));
        QCOMPARE(services_->finishShown, 3);
        QVERIFY(services_->messages.empty());
    }
};

QTEST_MAIN(RunTest)
#include "tst_run.moc"
