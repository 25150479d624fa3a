// Read Input Data in the window: the open dialog, the three failure messages
// and the values landing in the enabled boxes only, all or nothing.
#include "WindowTest.h"

#include "BitBtn.h"
#include "Cp932.h"
#include "DirectoryListBox.h"
#include "Edit.h"
#include "GroupBox.h"
#include "MainForm.h"
#include "TabbedNotebook.h"

#include <QtTest>

using namespace korvane;

namespace {

// The box each of the 28 lines feeds.
const int LineBox[29] = {0,  1,  2,  3,  4,  8,  11, 13, 14, 5,  6,  9,  10, 7, 15,
                         16, 17, 18, 23, 19, 20, 21, 22, 24, 25, 26, 27, 28, 29};
const int DisabledBoxes[] = {1, 2, 3, 5, 6, 15, 16, 19, 20};

QByteArray NumberedLines(int count) {
    QByteArray data;
    for (int line = 1; line <= count; ++line)
        data += "Label " + QByteArray::number(line) + " = " + QByteArray::number(100 + line) +
                " unit\r\n";
    return data;
}

} // namespace

class InputDataTest : public WindowTest {
    Q_OBJECT

  private slots:
    void init() { QVERIFY(OpenWindow()); }

    void cleanup() { CloseWindow(); }

    void aFullFileFillsTheEnabledBoxesOnly() {
        services_->filesChosen = {Write("full.txt", NumberedLines(28) + "line 29 is ignored\n")};
        form_->InputData1->click();
        QVERIFY(services_->messages.empty());
        QCOMPARE(services_->dialogFolder, path_);
        QCOMPARE(services_->dialogFilters, QStringList({"Data files (*.txt)", "All files (*)"}));
        QCOMPARE(form_->DataFileName, path_ + "/full.txt");
        int filled = 0;
        for (int line = 1; line <= 28; ++line) {
            const int box = LineBox[line];
            const bool disabled = std::find(std::begin(DisabledBoxes), std::end(DisabledBoxes),
                                            box) != std::end(DisabledBoxes);
            const QString expected = disabled ? before_[box] : QString::number(100 + line);
            QCOMPARE(form_->Edit[box]->text(), expected);
            filled += !disabled;
        }
        QCOMPARE(filled, 19);
        QCOMPARE(form_->Edit[12]->text(), QString("result.txt"));
    }

    void aFileThatIsNotADataFileChangesNothing_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("27 lines") << NumberedLines(27);
        QByteArray gap = NumberedLines(28);
        gap.replace("Label 14 = 114 unit", "");
        QTest::newRow("line 14 empty") << gap;
        QTest::newRow("empty file") << QByteArray();
    }

    void aFileThatIsNotADataFileChangesNothing() {
        QFETCH(QByteArray, data);
        const QString file = Write("short.txt", data);
        services_->filesChosen = {file};
        form_->InputData1->click();
        QCOMPARE(services_->messages.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(services_->messages[0]),
                 "\"" + file + "\" is not a correct data file!");
        for (int box = 1; box <= 30; ++box)
            QCOMPARE(form_->Edit[box]->text(), before_[box]);
    }

    void theDialogAndTheFileCanFail_data() {
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<QString>("message");
        QTest::newRow("cancelled") << QStringList() << "Select one data file! Please try again.";
        QTest::newRow("two files")
            << QStringList({"a.txt", "b.txt"}) << "Select one data file! Please try again.";
        QTest::newRow("gone") << QStringList({"/no/such/file.txt"}) << "Data file can not open!";
        QTest::newRow("a folder") << QStringList({"/"}) << "Data file can not open!";
    }

    void theDialogAndTheFileCanFail() {
        QFETCH(QStringList, chosen);
        QFETCH(QString, message);
        services_->filesChosen = chosen;
        form_->InputData1->click();
        QCOMPARE(services_->messages.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(services_->messages[0]), message);
        for (int box = 1; box <= 30; ++box)
            QCOMPARE(form_->Edit[box]->text(), before_[box]);
    }

    void valuesAreCutAndDecoded() {
        QByteArray data = NumberedLines(28);
        data.replace("Label 4 = 104 unit", "Thickness (cm) =   0.013 cm");
        data.replace("Label 5 = 105 unit", "=27.0");
        data.replace("Label 6 = 106 unit", "Initial = \t300");
        data.replace("Label 7 = 107 unit", "Increment = a=b c");
        data.replace("Label 24 = 124 unit", "Zone4 =");
        // Code page 932: a hiragana letter and the degree sign.
        data.replace("Label 26 = 126 unit", "Zone4 = \x82\xA0\x81\x8E \x81\x8E");
        services_->filesChosen = {Write("cut.txt", data)};
        form_->TabbedNotebook1->SetPageIndex(1);
        form_->InputData2->click();
        QVERIFY(services_->messages.empty());
        QCOMPARE(form_->Edit[4]->text(), QString("0.013"));
        QCOMPARE(form_->Edit[8]->text(), QString("27.0"));
        QCOMPARE(form_->Edit[11]->text(), QString("\t300"));
        QCOMPARE(form_->Edit[13]->text(), QString("a=b"));
        QCOMPARE(form_->Edit[25]->text(), QString());
        QCOMPARE(form_->Edit[27]->text(), QString::fromUtf8("あ℃"));
    }

    void nulBytesAreTextOnEveryDecodingPath() {
        const std::string text = "1" + std::string(1, '\0') + "2";
        const QString decoded = QString::fromLatin1(text.data(), 3);
        QCOMPARE(DecodeCp932(text), decoded);
        QCOMPARE(DecodeCp932(text + "\x81\x8E"), decoded + QString::fromUtf8("℃"));
        // Where iconv lacks the code set.
        const QString fallback = DecodeFrom(text + "\xC3\xA9", "no such code set");
        QVERIFY(fallback.startsWith(decoded) && fallback.size() > 3);
    }

    void aClickOnTheBareZonePageReadsData() {
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        form_->TabbedNotebook1->SetPageIndex(1);
        QTest::mouseClick(form_->GroupBox1, Qt::LeftButton, {}, QPoint(600, 440));
        QCOMPARE(services_->dialogsRun, 1);
        QCOMPARE(services_->messages.size(), std::size_t(1));
    }

    void theDialogStartsInThePickersFolder() {
        QVERIFY(QDir(path_).mkdir("data"));
        form_->DirectoryListBox1->SetDirectory(path_ + "/data");
        form_->InputData1->click();
        QCOMPARE(services_->dialogFolder, path_ + "/data");
    }
};

QTEST_MAIN(InputDataTest)
#include "tst_input_data.moc"
