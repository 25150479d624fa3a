#include "WhatIfPanel.h"

#include "EventGuard.h"
#include "RunExport.h"
#include "Sweep.h"
#include "WhatIfChart.h"
#include "WhatIfPlan.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>

#include <cmath>
#include <stdexcept>

namespace korvane {

namespace {

QString Number(double value) {
    return QString::fromStdString(ShortestNumber(value));
}

} // namespace

WhatIfPanel::WhatIfPanel(ErrorBox& errors, QWidget* parent) : QWidget(parent), errors_(errors) {
    program_ = BatchProgram();

    Input = new QComboBox;
    for (const auto& input : InputNames())
        Input->addItem(QString::fromStdString(input.Name));
    From = new QLineEdit;
    To = new QLineEdit;
    From->setMaximumWidth(110);
    To->setMaximumWidth(110);
    Steps = new QSpinBox;
    Steps->setRange(2, 10000);
    Steps->setValue(21);
    Metrics = new QLineEdit("line.exit.TAV");
    Metrics->setToolTip("Metrics separated by commas: paths of the zone report (zone3.exit.TAV, "
                        "zone1.peak.T, zone2.biot.1, line.exit.TAV for the last zone), profile "
                        "statistics (profile.T6.time_above[170]) and, with a process window "
                        "open, window.pwi and window.N.index …");
    WithExact = new QCheckBox("Exact solution beside");
    WithExact->setChecked(true);
    RunButton = new QPushButton("&Run sweep");
    CancelButton = new QPushButton("Cancel");
    CancelButton->setEnabled(false);
    Progress = new QProgressBar;
    Progress->setMaximumWidth(180);
    Progress->hide();
    Status = new QLabel;
    Status->setWordWrap(true);
    Status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Chart = new WhatIfChart(errors_);
    TargetMetric = new QComboBox;
    TargetMetric->setMinimumContentsLength(22);
    Target = new QLineEdit;
    Target->setMaximumWidth(90);
    FindButton = new QPushButton("Find &value");
    Answer = new QLabel;
    Answer->setWordWrap(true);
    Answer->setTextInteractionFlags(Qt::TextSelectableByMouse);
    OpenRunButton = new QPushButton("&Open this run");
    OpenRunButton->setEnabled(false);

    auto* range = new QHBoxLayout;
    range->addWidget(new QLabel("Vary"));
    range->addWidget(Input);
    range->addWidget(new QLabel("from"));
    range->addWidget(From);
    range->addWidget(new QLabel("to"));
    range->addWidget(To);
    range->addWidget(new QLabel("in"));
    range->addWidget(Steps);
    range->addWidget(new QLabel("trials"));
    range->addStretch();
    auto* metrics = new QHBoxLayout;
    metrics->addWidget(new QLabel("Metrics"));
    metrics->addWidget(Metrics, 1);
    metrics->addWidget(WithExact);
    metrics->addWidget(RunButton);
    metrics->addWidget(CancelButton);
    metrics->addWidget(Progress);
    auto* seek = new QHBoxLayout;
    seek->addWidget(new QLabel("Find where"));
    seek->addWidget(TargetMetric);
    seek->addWidget(new QLabel("reaches"));
    seek->addWidget(Target);
    seek->addWidget(FindButton);
    seek->addWidget(OpenRunButton);
    seek->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addLayout(range);
    layout->addLayout(metrics);
    layout->addWidget(Status);
    layout->addWidget(Chart, 1);
    layout->addLayout(seek);
    layout->addWidget(Answer);

    connect(Input, &QComboBox::currentIndexChanged, this,
            [this] { Handle([this] { InputChanged(); }); });
    connect(Metrics, &QLineEdit::editingFinished, this,
            [this] { Handle([this] { MetricsChanged(); }); });
    connect(RunButton, &QPushButton::clicked, this, [this] { Handle([this] { RunClick(); }); });
    connect(CancelButton, &QPushButton::clicked, this,
            [this] { Handle([this] { CancelClick(); }); });
    connect(FindButton, &QPushButton::clicked, this, [this] { Handle([this] { FindClick(); }); });
    connect(OpenRunButton, &QPushButton::clicked, this,
            [this] { Handle([this] { OpenRunClick(); }); });
    sweep_.OnPoint = [this](const SweepPoint& p) { Handle([&] { PointDone(p); }); };
    sweep_.OnFinished = [this](bool cancelled, const QString& failure) {
        Handle([&] { SweepDone(cancelled, failure); });
    };
    seek_.OnFinished = [this](const SeekOutcome& o) { Handle([&] { SeekDone(o); }); };

    Input->setCurrentText("speed");
    MetricsChanged();
    SetDataFile({});
}

template <class Handler> void WhatIfPanel::Handle(Handler handler) {
    Guard(errors_, handler);
}

void WhatIfPanel::SetDataFile(const QString& path) {
    // The same run shown again (another run added beside it) keeps the sweep.
    if (!path.isEmpty() && path == dataFile_)
        return;
    sweep_.Cancel();
    seek_.Cancel();
    SetBusy(false);
    base_.reset();
    dataFile_.clear();
    foundInput_ = nullptr;
    OpenRunButton->setEnabled(false);
    Answer->clear();
    if (!path.isEmpty()) {
        auto loaded = WhatIfCase::FromDataFile(QFile::encodeName(path).toStdString());
        if (auto* error = std::get_if<std::string>(&loaded)) {
            Status->setText(QString::fromStdString(*error));
        } else {
            base_.emplace(std::move(std::get<WhatIfCase>(loaded)));
            dataFile_ = path;
        }
    }
    if (!base_ && path.isEmpty())
        Status->setText("What if works on a run opened from a data file: open one to vary its "
                        "inputs.");
    else if (base_)
        Status->setText("Varies one input of " + QFileInfo(path).fileName() +
                        "; every trial goes through the same checks as Go.");
    setEnabled(true);
    for (QWidget* w : std::initializer_list<QWidget*>{Input, From, To, Steps, Metrics, WithExact,
                                                      RunButton, TargetMetric, Target, FindButton})
        w->setEnabled(base_.has_value());
    InputChanged();
}

void WhatIfPanel::SetWindowFile(const QString& path) {
    if (path == windowFile_)
        return;
    windowFile_ = path;
    const std::string list = Metrics->text().toStdString();
    const std::string changed = WithWindowMetrics(list, !path.isEmpty());
    if (changed != list) {
        Metrics->setText(QString::fromStdString(changed));
        MetricsChanged();
    }
}

// A window metric without a window: korvane-batch would refuse every process.
bool WhatIfPanel::WindowMissing(const std::vector<std::string>& metrics) {
    if (!windowFile_.isEmpty())
        return false;
    for (const auto& name : metrics)
        if (const auto metric = FindMetric(name);
            metric && metric->From == MetricName::Source::Window) {
            Status->setText(QString::fromStdString(name) +
                            " needs a process window: open one with File ▸ Open process "
                            "window….");
            return true;
        }
    return false;
}

void WhatIfPanel::InputChanged() {
    const InputName* input = FindInput(Input->currentText().toStdString());
    if (!input || !base_)
        return;
    const InputRange range =
        DefaultRange(*input, base_->Values()[static_cast<std::size_t>(input->Line)]);
    From->setText(Number(range.From));
    To->setText(Number(range.To));
}

void WhatIfPanel::MetricsChanged() {
    const QString current = TargetMetric->currentText();
    TargetMetric->clear();
    for (const auto& name :
         PlanMetrics(Metrics->text().toStdString(), WithExact->isChecked()).Names)
        TargetMetric->addItem(QString::fromStdString(name));
    if (!current.isEmpty() && TargetMetric->findText(current) >= 0)
        TargetMetric->setCurrentText(current);
}

std::optional<double> WhatIfPanel::ReadNumber(QLineEdit* edit, const char* what) {
    QString text = edit->text().trimmed();
    text.replace(',', '.');
    const auto value = ParsePlainNumber(text.toStdString());
    if (!value)
        Status->setText(QString("The %1 is not a number.").arg(what));
    return value;
}

bool WhatIfPanel::Busy() const {
    return sweep_.Running() || seek_.Running();
}

void WhatIfPanel::SetBusy(bool busy) {
    RunButton->setEnabled(!busy && base_);
    FindButton->setEnabled(!busy && base_);
    CancelButton->setEnabled(busy);
    Progress->setVisible(busy);
}

void WhatIfPanel::RunClick() {
    if (!base_ || Busy())
        return;
    const auto from = ReadNumber(From, "start of the range");
    const auto to = ReadNumber(To, "end of the range");
    if (!from || !to)
        return;
    const MetricPlan plan = PlanMetrics(Metrics->text().toStdString(), WithExact->isChecked());
    if (!plan.Error.empty())
        throw std::runtime_error(plan.Error);
    if (plan.Names.empty()) {
        Status->setText("Name at least one metric.");
        return;
    }
    if (WindowMissing(plan.Names))
        return;
    const InputName* input = FindInput(Input->currentText().toStdString());
    if (!input)
        return;
    // The batch tool's own check of the range, before any process starts.
    const std::string sweepText = SweepAxisText({input, *from, *to, Steps->value()});
    if (const auto axis = ParseSweepAxis(sweepText); !axis.Error.empty()) {
        Status->setText(QString::fromStdString(axis.Error));
        return;
    }
    QStringList names;
    for (const auto& name : plan.Names)
        names << QString::fromStdString(name);
    MetricsChanged();
    chartMetrics_ = names;
    trials_ = static_cast<std::size_t>(Steps->value());
    done_ = refused_ = 0;
    firstRefusal_.clear();
    Chart->Reset(Input->currentText(), names, plan.ExactOf, trials_);
    const QString sweep = QString::fromStdString(sweepText);
    // One process per core: each runs every N-th trial.
    const int processes = std::clamp(QThread::idealThreadCount(), 1,
                                     static_cast<int>(std::min<std::size_t>(trials_, 16)));
    Progress->setRange(0, static_cast<int>(trials_));
    Progress->setValue(0);
    clock_.start();
    if (!sweep_.Start(program_, dataFile_, sweep, names, processes, windowFile_)) {
        Status->setText(sweep_.Error());
        return;
    }
    Status->setText(
        QString("Running %1 trials in %2 korvane-batch processes…").arg(trials_).arg(processes));
    SetBusy(true);
}

void WhatIfPanel::PointDone(const SweepPoint& point) {
    ++done_;
    Progress->setValue(static_cast<int>(done_));
    if (!point.Message.isEmpty()) {
        if (refused_++ == 0)
            firstRefusal_ = Input->currentText() + "=" + Number(point.Input) + ": " + point.Message;
        return;
    }
    Chart->SetTrial(point.Index, point.Input, point.Metrics);
    // Redrawing every trial of a long sweep would cost more than the trials.
    if (done_ == trials_ || done_ % std::max<std::size_t>(trials_ / 20, 1) == 0)
        Chart->Redraw();
}

void WhatIfPanel::SweepDone(bool cancelled, const QString& failure) {
    SetBusy(false);
    Chart->Redraw();
    const double seconds = static_cast<double>(clock_.elapsed()) / 1000;
    QString text = cancelled ? QString("Cancelled after %1 of %2 trials.").arg(done_).arg(trials_)
                             : QString("%1 trials in %2 s.").arg(done_).arg(seconds, 0, 'f', 2);
    if (refused_ > 0)
        text += QString(" %1 refused, the first %2").arg(refused_).arg(firstRefusal_);
    if (!failure.isEmpty())
        text += " " + failure;
    Status->setText(text);
}

void WhatIfPanel::CancelClick() {
    sweep_.Cancel();
    seek_.Cancel();
    SetBusy(false);
}

void WhatIfPanel::FindClick() {
    if (!base_ || Busy())
        return;
    const auto from = ReadNumber(From, "start of the range");
    const auto to = ReadNumber(To, "end of the range");
    const auto target = ReadNumber(Target, "target");
    if (!from || !to || !target)
        return;
    const InputName* input = FindInput(Input->currentText().toStdString());
    const std::string name = TargetMetric->currentText().toStdString();
    const auto metric = FindMetric(name);
    if (!metric)
        throw std::runtime_error(UnknownMetricMessage(name));
    if (!input || WindowMissing({name}))
        return;
    foundInput_ = nullptr;
    OpenRunButton->setEnabled(false);
    Answer->setText("Seeking…");
    if (!seek_.Start(program_, dataFile_,
                     QString::fromStdString(SeekRangeText({input, *from, *to})),
                     QString::fromStdString(SeekTargetText({*metric, *target})), windowFile_)) {
        Answer->setText(seek_.Error());
        return;
    }
    SetBusy(true);
    Progress->setRange(0, 0);
}

void WhatIfPanel::SeekDone(const SeekOutcome& outcome) {
    SetBusy(false);
    QString text;
    if (outcome.Status == SeekStatus::Found) {
        foundInput_ = FindInput(Input->currentText().toStdString());
        foundValue_ = outcome.Value;
        text = QString("<b>%1 = %2</b> gives %3 = %4.")
                   .arg(Input->currentText(), Number(outcome.Value), TargetMetric->currentText(),
                        Number(outcome.Metric));
        if (chartMetrics_.contains(TargetMetric->currentText()))
            Chart->MarkFound(outcome.Value, outcome.Metric);
    } else {
        text = "<b>" + outcome.Reason.toHtmlEscaped() + "</b>";
    }
    if (!outcome.Notes.isEmpty())
        text += "<br>" + outcome.Notes.toHtmlEscaped().replace('\n', "<br>");
    Answer->setText(text);
    OpenRunButton->setEnabled(foundInput_ != nullptr);
}

void WhatIfPanel::OpenRunClick() {
    if (!base_ || !foundInput_ || !OnOpenRun)
        return;
    if (!runsDir_ || !runsDir_->isValid())
        runsDir_ = std::make_unique<QTemporaryDir>();
    const QString name = QFileInfo(dataFile_).completeBaseName() + "-" +
                         QString::fromStdString(foundInput_->Name) + "-" + Number(foundValue_) +
                         ".txt";
    const QString path = QDir(runsDir_->path()).filePath(name);
    QFile file(path);
    const std::string text = DataFileText(base_->TrialValues({{foundInput_, foundValue_}}));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()))
        throw std::runtime_error(path.toStdString() + " could not be written.");
    file.close();
    OnOpenRun(path);
}

} // namespace korvane
