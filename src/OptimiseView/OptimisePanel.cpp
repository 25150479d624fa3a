#include "OptimisePanel.h"

#include "BatchExit.h"
#include "BatchJob.h"
#include "BatchWorkers.h"
#include "EventGuard.h"
#include "FitOptions.h"
#include "RecipeSearch.h"
#include "RunExport.h"
#include "WhatIfPlan.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMap>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace korvane {

namespace {

enum Column { NameColumn, ValueColumn, FromColumn, ToColumn };

// A bound as the user would type it: six digits, not 0.44999999999999996.
QString Bound(double value) {
    return QString::number(value, 'g', 6);
}

// The inputs a recipe usually moves: the line speed and the first two
// zones' outer temperatures.
bool CheckedAtFirst(const std::string& name) {
    return name == "speed" || name == "zone1.outer1" || name == "zone2.outer1";
}

QString Seconds(qint64 ms) {
    return QString::number(static_cast<double>(ms) / 1000, 'f', 1);
}

} // namespace

OptimisePanel::OptimisePanel(ErrorBox& errors, QWidget* parent) : QWidget(parent), errors_(errors) {
    program_ = BatchProgram();
    Inputs = BoundsTable("Optimise");
    Goal = new QComboBox;
    Goal->addItem("the window's centre", "centre");
    Goal->addItem("the largest", "max");
    Goal->addItem("the smallest", "min");
    Goal->setToolTip("The centre: the smallest process window index. The largest or smallest: "
                     "of one optimised input (the speed, for the fastest line) while the run "
                     "stays inside the window.");
    GoalInput = new QComboBox;
    Margin = new QDoubleSpinBox;
    Margin->setRange(1, 100);
    Margin->setDecimals(0);
    Margin->setValue(100);
    Margin->setPrefix("index ≤ ");
    Margin->setToolTip("Inside the window means an index of at most this: below 100 keeps a "
                       "safety margin from the limits.");
    Model = ModelChoice("The exact slab solution is the physics and runs on every core; the "
                        "scheme marches one run at a time.");
    MaxRuns = new QSpinBox;
    MaxRuns->setRange(10, 1000000);
    MaxRuns->setSingleStep(500);
    MaxRuns->setValue(3000);
    MaxRuns->setSuffix(" runs at most");
    RunButton = new QPushButton("&Optimise");
    CancelButton = new QPushButton("Cancel");
    CancelButton->setEnabled(false);
    Progress = new QProgressBar;
    Progress->setMaximumWidth(160);
    Progress->hide();
    Status = new QLabel;
    Status->setWordWrap(true);
    Result = AnswerLabel();
    clock_ = new QTimer(this);
    clock_->setInterval(200);
    job_ = new BatchJob(this);
    job_->OnStandardError = [this] { Handle([this] { ReadProgress(); }); };
    job_->OnFinished = [this](int code, bool crashed) { Handle([&] { Finished(code, crashed); }); };

    auto* goal = new QHBoxLayout;
    goal->addWidget(new QLabel("Find"));
    goal->addWidget(Goal);
    goal->addWidget(GoalInput);
    goal->addWidget(new QLabel("inside"));
    goal->addWidget(Margin);
    goal->addWidget(new QLabel("on"));
    goal->addWidget(Model);
    goal->addStretch();
    auto* controls = new QHBoxLayout;
    controls->addWidget(MaxRuns);
    controls->addWidget(RunButton);
    controls->addWidget(CancelButton);
    controls->addWidget(Progress);
    controls->addStretch();
    auto* body = new QHBoxLayout;
    body->addWidget(Inputs, 3);
    body->addWidget(Result, 2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addWidget(Status);
    layout->addLayout(goal);
    layout->addLayout(controls);
    layout->addLayout(body, 1);

    connect(Goal, &QComboBox::currentIndexChanged, this,
            [this] { Handle([this] { GoalInput->setEnabled(Goal->currentIndex() != 0); }); });
    GoalInput->setEnabled(false);
    connect(RunButton, &QPushButton::clicked, this, [this] { Handle([this] { RunClick(); }); });
    connect(CancelButton, &QPushButton::clicked, this,
            [this] { Handle([this] { CancelClick(); }); });
    connect(clock_, &QTimer::timeout, this, [this] { Handle([this] { ShowSearching(); }); });
    SetRun({});
}

OptimisePanel::~OptimisePanel() = default;

template <class Handler> void OptimisePanel::Handle(Handler handler) {
    Guard(errors_, handler);
}

void OptimisePanel::ShowSearching() {
    Status->setText("Searching in korvane-batch… " + progressText_ +
                    (progressText_.isEmpty() ? "" : ", ") + Seconds(job_->ElapsedMs()) + " s");
}

void OptimisePanel::SetRun(const QString& dataFile) {
    // The same run again (a recipe opened beside it) keeps what the panel says.
    if (!dataFile.isEmpty() && dataFile == dataFile_ && base_)
        return;
    base_.reset();
    dataFile_.clear();
    if (!dataFile.isEmpty()) {
        auto loaded = WhatIfCase::FromDataFile(QFile::encodeName(dataFile).toStdString());
        if (auto* error = std::get_if<std::string>(&loaded)) {
            Status->setText(QString::fromStdString(*error));
            Inputs->setRowCount(0);
            RunButton->setEnabled(false);
            return;
        }
        base_.emplace(std::move(std::get<WhatIfCase>(loaded)));
        dataFile_ = dataFile;
    }
    FillInputs();
    ShowReady();
}

void OptimisePanel::SetWindowFile(const QString& path) {
    if (path == windowFile_)
        return;
    windowFile_ = path;
    ShowReady();
}

void OptimisePanel::ShowReady() {
    const bool ready = base_ && !windowFile_.isEmpty();
    if (!Busy()) {
        if (!base_)
            Status->setText("Optimise works on a run opened from a data file: open one, and "
                            "the product's process window (File ▸ Open process window…).");
        else if (windowFile_.isEmpty())
            Status->setText("Open the product's process window (File ▸ Open process window…) "
                            "to search the recipe that meets it.");
        else
            Status->setText("Searches the checked inputs of " + QFileInfo(dataFile_).fileName() +
                            " within their bounds for the goal inside " +
                            QFileInfo(windowFile_).fileName() +
                            "; the recipe found opens beside this run.");
    }
    RunButton->setEnabled(ready && !Busy());
    Inputs->setEnabled(base_.has_value());
}

void OptimisePanel::FillInputs() {
    Inputs->setRowCount(0);
    GoalInput->clear();
    if (!base_)
        return;
    auto input = base_->TrialInput({}, "optimise");
    const int zones =
        std::holds_alternative<TCalcInput>(input) ? std::get<TCalcInput>(input).ZoneCount : 4;
    for (const auto& in : InputNames()) {
        // A recipe moves no row and no zone the file leaves off.
        if (!IsFittable(in) || (in.Line >= 9 && (in.Line - 9) / 5 + 1 > zones))
            continue;
        const std::string text = base_->Values()[static_cast<std::size_t>(in.Line)];
        const InputRange range = DefaultRange(in, text);
        const int row = Inputs->rowCount();
        Inputs->insertRow(row);
        auto* name = new QTableWidgetItem(QString::fromStdString(in.Name));
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        name->setCheckState(CheckedAtFirst(in.Name) ? Qt::Checked : Qt::Unchecked);
        Inputs->setItem(row, NameColumn, name);
        auto* shown = new QTableWidgetItem(QString::fromStdString(text));
        shown->setFlags(Qt::ItemIsEnabled);
        Inputs->setItem(row, ValueColumn, shown);
        Inputs->setItem(row, FromColumn, new QTableWidgetItem(Bound(range.From)));
        Inputs->setItem(row, ToColumn, new QTableWidgetItem(Bound(range.To)));
        GoalInput->addItem(QString::fromStdString(in.Name));
    }
    GoalInput->setCurrentText("speed");
}

QStringList OptimisePanel::SearchArguments(const QString& outData) {
    if (!base_ || windowFile_.isEmpty())
        return {};
    QStringList args;
    bool goalChecked = Goal->currentIndex() == 0;
    for (int row = 0; row < Inputs->rowCount(); ++row) {
        if (Inputs->item(row, NameColumn)->checkState() != Qt::Checked)
            continue;
        const auto bound = [&](int column) {
            QString text = Inputs->item(row, column)->text().trimmed();
            text.replace(',', '.');
            return text;
        };
        const QString name = Inputs->item(row, NameColumn)->text();
        const QString option = name + "=" + bound(FromColumn) + ":" + bound(ToColumn);
        const auto parsed = ParseBoundOption("--optimise", option.toStdString(), false);
        if (!parsed.Error.empty()) {
            Status->setText(QString::fromStdString(parsed.Error));
            return {};
        }
        goalChecked = goalChecked || name == GoalInput->currentText();
        args << "--optimise" << QString::fromStdString(FitOptionText(parsed.Parameter));
    }
    if (args.isEmpty()) {
        Status->setText("Check at least one input to optimise.");
        return {};
    }
    if (!goalChecked) {
        Status->setText("Check " + GoalInput->currentText() + " among the inputs to optimise: " +
                        "the goal is its " + Goal->currentText().section(' ', 1) + " value.");
        return {};
    }
    const QString goal = Goal->currentData().toString();
    args << "--window" << windowFile_ << "--goal"
         << (goal == "centre" ? goal : goal + ":" + GoalInput->currentText());
    if (Margin->value() < 100)
        args << "--margin" << QString::number(Margin->value());
    args << "--model" << Model->currentData().toString() << "--max-runs"
         << QString::number(MaxRuns->value()) << "--progress"
         << "--out-data" << outData << dataFile_;
    return args;
}

bool OptimisePanel::Busy() const {
    return job_->Busy();
}

void OptimisePanel::SetBusy(bool busy) {
    CancelButton->setEnabled(busy);
    Progress->setVisible(busy);
    if (busy) {
        progressText_.clear();
        Progress->setRange(0, MaxRuns->value());
        Progress->setValue(0);
        clock_->start();
    } else {
        clock_->stop();
    }
    RunButton->setEnabled(!busy && base_ && !windowFile_.isEmpty());
}

void OptimisePanel::RunClick() {
    if (Busy() || !base_ || windowFile_.isEmpty())
        return;
    if (program_.isEmpty()) {
        Status->setText("korvane-batch was not found beside the viewer or on the PATH.");
        return;
    }
    outData_ = job_->FreshFile(QFileInfo(dataFile_).completeBaseName() + "-recipe");
    const QStringList args = SearchArguments(outData_);
    if (args.isEmpty())
        return;
    Result->clear();
    errText_.clear();
    job_->Start(program_, args);
    SetBusy(true);
}

void OptimisePanel::ReadProgress() {
    // "optimise: N runs, best ..." lines; anything else is a message.
    static const QRegularExpression line("^optimise: (\\d+) runs, (.+)$");
    errText_ += QString::fromUtf8(job_->Process()->readAllStandardError());
    QStringList kept;
    const QStringList lines = errText_.split('\n');
    for (int i = 0; i + 1 < lines.size(); ++i) {
        const auto match = line.match(lines[i]);
        if (!match.hasMatch()) {
            kept << lines[i];
            continue;
        }
        Progress->setValue(std::min(match.captured(1).toInt(), Progress->maximum()));
        progressText_ = match.captured(1) + " runs, " + match.captured(2);
        ShowSearching();
    }
    kept << lines.back(); // not yet a whole line
    errText_ = kept.join('\n');
}

void OptimisePanel::CancelClick() {
    if (!Busy())
        return;
    job_->Cancel();
    SetBusy(false);
    Status->setText("Cancelled; no run opened.");
}

void OptimisePanel::Finished(int exitCode, bool crashed) {
    ReadProgress();
    SetBusy(false);
    const QString seconds = Seconds(job_->ElapsedMs());
    const QString out = QString::fromUtf8(job_->Process()->readAllStandardOutput());
    const QString err = errText_.trimmed();
    if (crashed) {
        Status->setText("korvane-batch could not run the search: " +
                        job_->Process()->errorString());
        Result->setText(err.toHtmlEscaped());
        return;
    }
    // The recipe beside the data file's values, then its index on both models.
    QString table = "<table cellspacing=4><tr><th align=left>Input</th><th align=right>Recipe"
                    "</th><th align=right>Was</th></tr>";
    QMap<QString, double> figures;
    for (const QString& text : out.split('\n', Qt::SkipEmptyParts)) {
        const auto value = ParseRecipeLine(text.toStdString());
        if (!value)
            continue;
        const QString name = QString::fromStdString(value->first);
        QString was;
        for (int row = 0; row < Inputs->rowCount(); ++row)
            if (Inputs->item(row, NameColumn)->text() == name)
                was = Inputs->item(row, ValueColumn)->text();
        if (was.isEmpty()) {
            figures[name] = value->second;
            continue;
        }
        table += QString("<tr><td>%1</td><td align=right>%2</td><td align=right>%3</td></tr>")
                     .arg(name, QString::number(value->second, 'g', 6), was.toHtmlEscaped());
    }
    table += "</table>";
    QString text;
    if (!out.isEmpty()) {
        const auto index = [&](const char* key) {
            return figures.contains(key) ? QString::number(figures[key], 'f', 1) : QString("none");
        };
        text = table + "<p>Process window index: " + index("window.exact.pwi") +
               " on the exact solution, " + index("window.pwi") +
               " on the scheme (inside: " + QString::number(Margin->value()) + " or less).<br>" +
               QString::number(figures.value("runs")) + " runs.</p>";
    }
    if (!err.isEmpty())
        text += "<p>" + err.toHtmlEscaped().replace('\n', "<br>") + "</p>";
    Result->setText(text);
    if (exitCode == BatchOk) {
        if (OnFound)
            OnFound(outData_);
        Status->setText(QString("Found in %1 s; the recipe %2 opens beside this run.")
                            .arg(seconds, QFileInfo(outData_).fileName()));
    } else if (exitCode == BatchNoSolution) {
        Status->setText("No recipe within these bounds is inside the window (the best found and "
                        "the limit that keeps it out below); no run opened.");
    } else {
        Status->setText(QString("korvane-batch refused the search (exit %1).").arg(exitCode));
    }
}

} // namespace korvane
