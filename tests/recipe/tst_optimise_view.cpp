// The viewer's Optimise panel: what it needs before it runs, the arguments it
// gives korvane-batch --optimise, the recipe found opening beside the run,
// Cancel, and a window that no recipe meets.
#include "FakeViewerServices.h"
#include "OptimisePanel.h"
#include "ViewerWindow.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QtTest>

using namespace korvane;

namespace {

QString BatchPath;

QString Example(const char* name) {
    return QString(KORVANE_EXAMPLES_DIR) + "/" + name;
}

int InputRow(const OptimisePanel& panel, const QString& name) {
    for (int row = 0; row < panel.Inputs->rowCount(); ++row)
        if (panel.Inputs->item(row, 0)->text() == name)
            return row;
    return -1;
}

void SetBounds(OptimisePanel& panel, const QString& name, const QString& from, const QString& to) {
    const int row = InputRow(panel, name);
    QVERIFY(row >= 0);
    panel.Inputs->item(row, 0)->setCheckState(Qt::Checked);
    panel.Inputs->item(row, 2)->setText(from);
    panel.Inputs->item(row, 3)->setText(to);
}

// Only the inputs named stay checked.
void CheckOnly(OptimisePanel& panel, const QStringList& names) {
    for (int row = 0; row < panel.Inputs->rowCount(); ++row)
        panel.Inputs->item(row, 0)->setCheckState(
            names.contains(panel.Inputs->item(row, 0)->text()) ? Qt::Checked : Qt::Unchecked);
}

} // namespace

class OptimiseViewTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<FakeViewerServices> services_;
    std::unique_ptr<ViewerWindow> window_;

    OptimisePanel& Panel() { return *window_->Optimise; }

  private slots:
    void init() {
        services_ = std::make_unique<FakeViewerServices>();
        window_ = std::make_unique<ViewerWindow>(*services_);
        window_->Optimise->SetBatchProgram(BatchPath);
        window_->OpenFiles({Example("heating.txt")});
        QTRY_VERIFY(!window_->IsLoading() && !window_->Runs().empty());
    }

    void cleanup() {
        window_.reset();
        services_.reset();
    }

    void needsAProcessWindowAndSaysWhatItWillRun() {
        OptimisePanel& panel = Panel();
        QVERIFY(!panel.RunButton->isEnabled());
        QVERIFY(panel.Status->text().contains("Open the product's process window"));
        window_->OpenWindow(Example("heating-recipe.json"));
        QVERIFY(panel.RunButton->isEnabled());
        QVERIFY(panel.Status->text().contains("heating-recipe.json"));
        // The speed and the first zones' outer temperatures at first; no row mover.
        QCOMPARE(panel.Inputs->item(InputRow(panel, "speed"), 0)->checkState(), Qt::Checked);
        QCOMPARE(panel.Inputs->item(InputRow(panel, "zone2.outer1"), 0)->checkState(), Qt::Checked);
        QCOMPARE(panel.Inputs->item(InputRow(panel, "density"), 0)->checkState(), Qt::Unchecked);
        QCOMPARE(InputRow(panel, "dz"), -1);
        QCOMPARE(InputRow(panel, "zone1.length"), -1);

        CheckOnly(panel, {"speed"});
        SetBounds(panel, "speed", "0,2", "2");
        panel.Goal->setCurrentIndex(1);
        QVERIFY(panel.GoalInput->isEnabled());
        QCOMPARE(panel.GoalInput->currentText(), QString("speed"));
        panel.Margin->setValue(80);
        const QString args = panel.SearchArguments("out.txt").join(' ');
        QCOMPARE(args, "--optimise speed=0.2:2 --window " + Example("heating-recipe.json") +
                           " --goal max:speed --margin 80 --model exact --max-runs 3000"
                           " --progress --out-data out.txt " +
                           Example("heating.txt"));

        // The goal's input must be optimised; a bound must be a number.
        panel.GoalInput->setCurrentText("zone1.outer1");
        QVERIFY(panel.SearchArguments("out.txt").isEmpty());
        QVERIFY(panel.Status->text().startsWith("Check zone1.outer1 among the inputs"));
        SetBounds(panel, "zone1.outer1", "x", "300");
        QVERIFY(panel.SearchArguments("out.txt").isEmpty());
        QVERIFY(panel.Status->text().contains("LO is not a number"));

        // A run from a result file has no data file to search.
        panel.SetRun({});
        QVERIFY(!panel.RunButton->isEnabled());
        QVERIFY(panel.Status->text().contains("a run opened from a data file"));
    }

    void opensTheRecipeFoundBesideTheRun() {
        OptimisePanel& panel = Panel();
        window_->OpenWindow(Example("heating-recipe.json"));
        CheckOnly(panel, {"speed", "zone1.outer1"});
        SetBounds(panel, "speed", "0.2", "2");
        SetBounds(panel, "zone1.outer1", "150", "300");
        panel.Goal->setCurrentIndex(1);
        panel.MaxRuns->setValue(400);
        panel.RunButton->click();
        QVERIFY(panel.Busy());
        QVERIFY(panel.CancelButton->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!panel.Busy(), 60000);
        QVERIFY2(panel.Status->text().startsWith("Found in"), qPrintable(panel.Status->text()));
        QTRY_COMPARE(window_->Runs().size(), std::size_t{2});
        QTRY_VERIFY(!window_->IsLoading());
        QVERIFY(panel.Result->text().contains("Process window index: "));
        QVERIFY(panel.Result->text().contains("<td>speed</td>"));
        QVERIFY(services_->errors.empty());
        // The recipe is faster than the data file's line.
        QVERIFY(window_->Runs()[1]->Run.Input.Speed > window_->Runs()[0]->Run.Input.Speed);
    }

    void cancelsAndSaysWhenNoRecipeMeetsTheWindow() {
        OptimisePanel& panel = Panel();
        window_->OpenWindow(Example("heating-recipe.json"));
        CheckOnly(panel, {"speed", "zone1.outer1", "zone2.outer1", "zone3.outer1"});
        panel.MaxRuns->setValue(1000000);
        panel.RunButton->click();
        QVERIFY(panel.Busy());
        // The runs so far show while it searches.
        QTRY_VERIFY_WITH_TIMEOUT(panel.Progress->value() > 0, 30000);
        QVERIFY2(panel.Status->text().contains(" runs, "), qPrintable(panel.Status->text()));
        panel.CancelButton->click();
        QVERIFY(!panel.Busy());
        QCOMPARE(panel.Status->text(), QString("Cancelled; no run opened."));

        CheckOnly(panel, {"speed", "zone1.outer1"});
        SetBounds(panel, "speed", "1.5", "2");
        SetBounds(panel, "zone1.outer1", "150", "160");
        panel.MaxRuns->setValue(100);
        panel.RunButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(!panel.Busy(), 60000);
        QVERIFY2(panel.Status->text().startsWith("No recipe within these bounds"),
                 qPrintable(panel.Status->text()));
        QVERIFY2(panel.Result->text().contains("limit 1 &quot;peak at the middle&quot;"),
                 qPrintable(panel.Result->text()));
        QCOMPARE(window_->Runs().size(), std::size_t{1});
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc > 1)
        BatchPath = QString::fromLocal8Bit(argv[argc - 1]);
    OptimiseViewTest test;
    return QTest::qExec(&test, 1, argv);
}

#include "tst_optimise_view.moc"
