// The two save-name boxes hold the same text after every keystroke, whichever
// page it is typed on, and the exchange stops after one bounce.
#include "FakeUiServices.h"

#include "Edit.h"
#include "MainForm.h"
#include "TabbedNotebook.h"

#include <QSignalSpy>
#include <QtTest>

using namespace korvane;

class SaveNameTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QVERIFY(QDir::setCurrent(folder_.path())); }

    void bothBoxesStartWithTheDefault() {
        FakeUiServices services;
        TForm1 form(services);
        QCOMPARE(form.Edit[12]->text(), QString("result.txt"));
        QCOMPARE(form.Edit[30]->text(), QString("result.txt"));
    }

    void typingOnEitherPageMirrorsEveryKeystroke() {
        FakeUiServices services;
        TForm1 form(services);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QSignalSpy changes12(form.Edit[12], &QLineEdit::textChanged);
        QSignalSpy changes30(form.Edit[30], &QLineEdit::textChanged);

        form.Edit[12]->setFocus();
        form.Edit[12]->setCursorPosition(6); // result|.txt
        QTest::keyClick(form.Edit[12], Qt::Key_2);
        QCOMPARE(form.Edit[30]->text(), QString("result2.txt"));
        // One change each: the copy back is equal and raises nothing.
        QCOMPARE(changes12.count(), 1);
        QCOMPARE(changes30.count(), 1);
        // The copy back leaves the cursor where the user is typing.
        QCOMPARE(form.Edit[12]->cursorPosition(), 7);
        QTest::keyClick(form.Edit[12], Qt::Key_3);
        QCOMPARE(form.Edit[12]->text(), QString("result23.txt"));
        QCOMPARE(form.Edit[30]->text(), QString("result23.txt"));

        form.TabbedNotebook1->SetPageIndex(1);
        form.Edit[30]->setFocus();
        form.Edit[30]->end(false);
        QTest::keyClick(form.Edit[30], Qt::Key_Backspace);
        QCOMPARE(form.Edit[12]->text(), QString("result23.tx"));
        QCOMPARE(form.Edit[30]->cursorPosition(), 11);
    }

    void emptyingOneBoxEmptiesTheOther() {
        FakeUiServices services;
        TForm1 form(services);
        form.Edit[30]->clear();
        QCOMPARE(form.Edit[12]->text(), QString());
        form.Edit[12]->setText("sub/out.txt");
        QCOMPARE(form.Edit[30]->text(), QString("sub/out.txt"));
        QVERIFY(services.errors.empty());
    }

    void otherBoxesHaveNoHandler() {
        FakeUiServices services;
        TForm1 form(services);
        form.Edit[4]->setText("0.02");
        QCOMPARE(form.Edit[12]->text(), QString("result.txt"));
        QCOMPARE(form.Edit[30]->text(), QString("result.txt"));
    }

  private:
    QTemporaryDir folder_;
};

QTEST_MAIN(SaveNameTest)
#include "tst_save_name.moc"
