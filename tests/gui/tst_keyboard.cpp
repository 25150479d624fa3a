// Keyboard and mouse rules of the main window and the completion dialog.
#include "FakeUiServices.h"

#include "BitBtn.h"
#include "Edit.h"
#include "FinishForm.h"
#include "GroupBox.h"
#include "MainForm.h"
#include "Panel.h"
#include "TabbedNotebook.h"

#include <QSignalSpy>
#include <QTabBar>
#include <QtTest>

using namespace korvane;

class KeyboardTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QVERIFY(QDir::setCurrent(folder_.path())); }

    void init() {
        services_ = std::make_unique<FakeUiServices>();
        form_ = std::make_unique<TForm1>(*services_);
        form_->show();
        QApplication::setActiveWindow(form_.get());
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    }

    void cleanup() { form_.reset(); }

    void focusStartsInThickness() { QCOMPARE(QApplication::focusWidget(), form_->Edit[4]); }

    void tabRunsThroughTheEnabledInputsOfThePageShown() {
        const std::vector<int> firstPage = {4, 8, 11, 13, 14, 4};
        for (std::size_t i = 1; i < firstPage.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), form_->Edit[firstPage[i]]);
        }
        form_->TabbedNotebook1->SetPageIndex(1);
        QCOMPARE(QApplication::focusWidget(), form_->Edit[9]);
        const std::vector<int> secondPage = {9,  10, 7,  17, 18, 23, 21, 22,
                                             24, 25, 26, 27, 28, 29, 9};
        for (std::size_t i = 1; i < secondPage.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), form_->Edit[secondPage[i]]);
        }
    }

    void enterInAnEditBoxClicksGoOfThePageShown() {
        QSignalSpy start(form_->Start, &QPushButton::clicked);
        QSignalSpy bitBtn1(form_->BitBtn1, &QPushButton::clicked);
        QSignalSpy readData(form_->InputData1, &QPushButton::clicked);
        QTest::keyClick(form_->Edit[4], Qt::Key_Return);
        QTest::keyClick(form_->Edit[12], Qt::Key_Enter);
        QCOMPARE(start.count(), 2);
        QCOMPARE(bitBtn1.count(), 0);
        form_->TabbedNotebook1->SetPageIndex(1);
        QTest::keyClick(form_->Edit[29], Qt::Key_Return);
        QCOMPARE(start.count(), 2);
        QCOMPARE(bitBtn1.count(), 1);
        QCOMPARE(readData.count(), 0);
    }

    void altKeysClickGoAndCloseOfThePageShown() {
        // A mnemonic presses its button for a moment: the click comes later.
        QSignalSpy start(form_->Start, &QPushButton::clicked);
        QSignalSpy bitBtn1(form_->BitBtn1, &QPushButton::clicked);
        QTest::keyClick(form_->Edit[8], Qt::Key_G, Qt::AltModifier);
        QTRY_COMPARE(start.count(), 1);
        form_->TabbedNotebook1->SetPageIndex(1);
        QTest::keyClick(form_->Edit[9], Qt::Key_G, Qt::AltModifier);
        QTRY_COMPARE(bitBtn1.count(), 1);
        QCOMPARE(start.count(), 1);
        QSignalSpy close(form_->BitBtn2, &QPushButton::clicked);
        QTest::keyClick(form_->Edit[9], Qt::Key_C, Qt::AltModifier);
        QTRY_COMPARE(close.count(), 1);
        QVERIFY(!form_->isVisible());
    }

    void closeButtonsEndTheWindow() {
        QTest::mouseClick(form_->Close, Qt::LeftButton);
        QVERIFY(!form_->isVisible());
    }

    void escapeDoesNothing() {
        QSignalSpy start(form_->Start, &QPushButton::clicked);
        QTest::keyClick(form_->Edit[4], Qt::Key_Escape);
        QVERIFY(form_->isVisible());
        QCOMPARE(start.count(), 0);
        QCOMPARE(form_->Edit[4]->text(), QString("0.013"));
    }

    void escapeKeepsTheCompletionDialogOpen() {
        TFinishForm dialog;
        int result = -1;
        QTimer::singleShot(0, &dialog, [&] {
            QTest::keyClick(&dialog, Qt::Key_Escape);
            QVERIFY(dialog.isVisible());
            QTest::keyClick(dialog.BitBtn1, Qt::Key_Return);
        });
        result = dialog.exec();
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
    }

    void clicksOnLabelsOrZoneBoxesAreNotTheBareArea() {
        QTest::mouseClick(form_->TabbedNotebook1->Tabs(), Qt::LeftButton, {},
                          form_->TabbedNotebook1->Tabs()->tabRect(1).center());
        QCOMPARE(form_->TabbedNotebook1->PageIndex(), 1);
        QTest::mouseClick(form_->Panel[32], Qt::LeftButton);
        QTest::mouseClick(form_->GroupBox2, Qt::LeftButton, {}, QPoint(100, 120));
        QTest::mouseClick(form_->Edit[5], Qt::LeftButton);
        QCOMPARE(services_->dialogsRun, 0);
        QVERIFY(services_->errors.empty());
    }

  private:
    QTemporaryDir folder_;
    std::unique_ptr<FakeUiServices> services_;
    std::unique_ptr<TForm1> form_;
};

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
