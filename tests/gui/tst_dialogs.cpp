// The dialogs as the user sees them: every one owned by the main window, and
// both windows centred on the screen by their frames.
#include "FakeUiServices.h"

#include "FinishForm.h"
#include "MainForm.h"
#include "QtUiServices.h"

#include <QMessageBox>
#include <QScreen>
#include <QtTest>

using namespace korvane;

namespace {

// Runs what is due once the modal loop that the next statement opens is up.
template <class Inspect> void WhenModal(Inspect inspect) {
    QTimer::singleShot(0, [inspect] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        inspect(modal);
        modal->close();
    });
}

// How far the centre of a window's frame lies from the centre of its screen.
QPoint OffCentre(const QWidget* window) {
    return window->frameGeometry().center() - window->screen()->availableGeometry().center();
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY(folder_.isValid());
        QVERIFY(QDir::setCurrent(folder_.path()));
    }

    void messageBoxesOwnedByTheMainWindowWhateverHasTheFocus() {
        QtUiServices services;
        TForm1 form(services);
        TFinishForm finishForm(&form);
        services.SetWindows(&form, &finishForm);
        // The main window has not even been shown, so no window is active.
        QWidget* owner = nullptr;
        WhenModal([&](QWidget* box) { owner = box->parentWidget(); });
        services.ShowMessage("File can not open!");
        QCOMPARE(owner, &form);
    }

    void theCompletionDialogBelongsToTheMainWindowCentredOnTheScreen() {
        QtUiServices services;
        TForm1 form(services);
        TFinishForm finishForm(&form);
        services.SetWindows(&form, &finishForm);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(OffCentre(&form), QPoint());
        // Wherever the main window is: not centred on it.
        form.move(0, 0);

        const Qt::WindowFlags flags = finishForm.windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
        QCOMPARE(flags &
                     (Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                      Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint),
                 Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
        for (int shown = 1; shown <= 2; ++shown) {
            QWindow* transientParent = nullptr;
            QPoint offCentre(-1, -1);
            WhenModal([&](QWidget* dialog) {
                transientParent = dialog->windowHandle()->transientParent();
                offCentre = OffCentre(dialog);
            });
            services.ShowFinishForm();
            QCOMPARE(transientParent, form.windowHandle());
            QCOMPARE(offCentre, QPoint());
        }
    }

  private:
    QTemporaryDir folder_;
};

QTEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"
