#include "CalibratePanel.h"

#include "AppLook.h"

#include "BatchExit.h"
#include "BatchJob.h"
#include "BatchWorkers.h"
#include "EventGuard.h"
#include "RunExport.h"
#include "WhatIfOptions.h"
#include "WhatIfPlan.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMap>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace korvane {

namespace {

enum Column { FitColumn, ValueColumn, FromColumn, ToColumn };

QString Number(double value) {
    return QString::fromStdString(ShortestNumber(value));
}

// A bound as the user would type it: six digits, not 0.44999999999999996.
QString Bound(double value) {
    return QString::number(value, 'g', 6);
}

// The bounds a fit of an input starts with: a quarter to four times a heat
// transfer coefficient, 15 s either side of the start, up to 10 s of lag,
// otherwise half to one and a half times the value.
std::pair<double, double> DefaultBounds(const InputName* input, const std::string& text,
                                        double value) {
    if (!input)
        return {value - 15, value + 15};
    if (input->Name.find(".htc") != std::string::npos && value > 0)
        return {value / 4, value * 4};
    const InputRange range = DefaultRange(*input, text);
    return {range.From, range.To};
}

bool IsCoefficient(const std::string& name) {
    return name.find(".htc") != std::string::npos;
}

} // namespace

CalibratePanel::CalibratePanel(ErrorBox& errors, QWidget* parent)
    : QWidget(parent), errors_(errors) {
    program_ = BatchProgram();
    Inputs = BoundsTable("Fit");
    Model = ModelChoice("The exact slab solution is the physics; the scheme's own distance from "
                        "it would be soaked up into the coefficients.");
    RunButton = new QPushButton("&Calibrate");
    CancelButton = new QPushButton("Cancel");
    CancelButton->setEnabled(false);
    Progress = new QProgressBar;
    Progress->setRange(0, 0);
    Progress->setMaximumWidth(140);
    Progress->hide();
    Status = new QLabel;
    Status->setWordWrap(true);
    Result = AnswerLabel();
    clock_ = new QTimer(this);
    clock_->setInterval(200);
    job_ = new BatchJob(this);
    job_->OnFinished = [this](int code, bool crashed) { Handle([&] { Finished(code, crashed); }); };

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel("Fit"));
    controls->addWidget(Model);
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
    layout->addLayout(controls);
    layout->addLayout(body, 1);

    connect(RunButton, &QPushButton::clicked, this, [this] { Handle([this] { RunClick(); }); });
    connect(CancelButton, &QPushButton::clicked, this,
            [this] { Handle([this] { CancelClick(); }); });
    connect(clock_, &QTimer::timeout, this, [this] {
        Handle([this] {
            Status->setText(QString("Fitting in korvane-batch… %1 s")
                                .arg(static_cast<double>(job_->ElapsedMs()) / 1000, 0, 'f', 1));
        });
    });
    SetRun({}, nullptr, {}, 0);
}

CalibratePanel::~CalibratePanel() = default;

template <class Handler> void CalibratePanel::Handle(Handler handler) {
    Guard(errors_, handler);
}

void CalibratePanel::SetRun(const QString& dataFile, std::shared_ptr<const MeasuredProfile> profile,
                            const MeasuredRequest& request, double lag) {
    const bool sameRun = !dataFile.isEmpty() && dataFile == dataFile_ && base_;
    const bool sameProfile = profile == profile_;
    profile_ = std::move(profile);
    request_ = request;
    lag_ = lag;
    if (!sameRun) {
        base_.reset();
        dataFile_.clear();
        if (!dataFile.isEmpty()) {
            auto loaded = WhatIfCase::FromDataFile(QFile::encodeName(dataFile).toStdString());
            if (auto* error = std::get_if<std::string>(&loaded)) {
                Status->setText(QString::fromStdString(*error));
            } else {
                base_.emplace(std::move(std::get<WhatIfCase>(loaded)));
                dataFile_ = dataFile;
            }
        }
        FillInputs();
    } else {
        // A new start or lag shows in their rows, the start's bounds around it.
        for (int row = 0; row < Inputs->rowCount(); ++row) {
            const QString name = Inputs->item(row, FitColumn)->text();
            const QString start = Number(profile_ ? profile_->Start : 0);
            if (name == QString::fromStdString(std::string(StartName)) &&
                Inputs->item(row, ValueColumn)->text() != start) {
                const auto [from, to] = DefaultBounds(nullptr, {}, profile_ ? profile_->Start : 0);
                Inputs->item(row, ValueColumn)->setText(start);
                Inputs->item(row, FromColumn)->setText(Bound(from));
                Inputs->item(row, ToColumn)->setText(Bound(to));
            }
            if (name == QString::fromStdString(std::string(LagName)))
                Inputs->item(row, ValueColumn)->setText(Number(lag_));
        }
    }
    const bool ready = base_ && profile_;
    if (!base_ && dataFile.isEmpty())
        Status->setText("Calibrate works on a run opened from a data file: open one, then add "
                        "its measured profile (File ▸ Add measured profile…).");
    else if (base_ && !profile_)
        Status->setText("Add the measured profile of this run (File ▸ Add measured profile…) "
                        "to fit its inputs to it.");
    else if (ready && !Busy() && !(sameRun && sameProfile))
        Status->setText("Fits the checked inputs of " + QFileInfo(dataFile_).fileName() +
                        " within their bounds to the measured channels (least squares); the "
                        "fitted run opens beside this one.");
    RunButton->setEnabled(ready && !Busy());
    Inputs->setEnabled(ready);
}

void CalibratePanel::FillInputs() {
    Inputs->setRowCount(0);
    if (!base_)
        return;
    auto input = base_->TrialInput({}, "calibrate");
    const int zones =
        std::holds_alternative<TCalcInput>(input) ? std::get<TCalcInput>(input).ZoneCount : 4;
    const auto add = [&](const QString& name, const InputName* in, const QString& text,
                         double value, bool checked) {
        const auto [from, to] = DefaultBounds(in, text.toStdString(), value);
        const int row = Inputs->rowCount();
        Inputs->insertRow(row);
        auto* fit = new QTableWidgetItem(name);
        fit->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        fit->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
        Inputs->setItem(row, FitColumn, fit);
        auto* shown = new QTableWidgetItem(text);
        shown->setFlags(Qt::ItemIsEnabled);
        Inputs->setItem(row, ValueColumn, shown);
        Inputs->setItem(row, FromColumn, new QTableWidgetItem(Bound(from)));
        Inputs->setItem(row, ToColumn, new QTableWidgetItem(Bound(to)));
    };
    for (const auto& in : InputNames()) {
        // A fit moves no row: not layers, dz or a length; no zone the file leaves off.
        if (!IsFittable(in))
            continue;
        if (in.Line >= 9 && (in.Line - 9) / 5 + 1 > zones)
            continue;
        const std::string text = base_->Values()[static_cast<std::size_t>(in.Line)];
        QString plain = QString::fromStdString(text);
        plain.replace(',', '.');
        const auto value = ParsePlainNumber(plain.toStdString());
        add(QString::fromStdString(in.Name), &in, QString::fromStdString(text), value.value_or(0),
            IsCoefficient(in.Name));
    }
    const double start = profile_ ? profile_->Start : 0;
    add(QString::fromStdString(std::string(StartName)), nullptr, Number(start), start, true);
    const int lagRow = Inputs->rowCount();
    add(QString::fromStdString(std::string(LagName)), nullptr, Number(lag_), lag_, false);
    Inputs->item(lagRow, FromColumn)->setText("0");
    Inputs->item(lagRow, ToColumn)->setText("10");
}

QStringList CalibratePanel::FitArguments(const QString& outData) {
    QStringList args;
    if (!profile_ || !base_)
        return {};
    for (int row = 0; row < Inputs->rowCount(); ++row) {
        if (Inputs->item(row, FitColumn)->checkState() != Qt::Checked)
            continue;
        const auto bound = [&](int column) {
            QString text = Inputs->item(row, column)->text().trimmed();
            text.replace(',', '.');
            return text;
        };
        const QString option =
            Inputs->item(row, FitColumn)->text() + "=" + bound(FromColumn) + ":" + bound(ToColumn);
        const auto parsed = ParseFitOption(option.toStdString());
        if (!parsed.Error.empty()) {
            Status->setText(QString::fromStdString(parsed.Error));
            return {};
        }
        args << "--fit" << QString::fromStdString(FitOptionText(parsed.Parameter));
    }
    if (args.isEmpty()) {
        Status->setText("Check at least one input to fit.");
        return {};
    }
    args << "--measured" << QString::fromStdString(request_.File);
    for (const auto& channel : request_.Channels)
        args << "--channel" << QString::fromStdString(ChannelOptionText(channel));
    if (!request_.TimeColumn.empty())
        args << "--time-column" << QString::fromStdString(request_.TimeColumn);
    if (request_.Unit)
        args << "--unit" << (*request_.Unit == TemperatureUnit::Celsius ? "C" : "F");
    args << "--start" << Number(profile_->Start);
    if (lag_ > 0)
        args << "--lag" << Number(lag_);
    args << "--model" << Model->currentData().toString() << "--out-data" << outData << dataFile_;
    return args;
}

bool CalibratePanel::Busy() const {
    return job_->Busy();
}

void CalibratePanel::SetBusy(bool busy) {
    RunButton->setEnabled(!busy && base_ && profile_);
    CancelButton->setEnabled(busy);
    Progress->setVisible(busy);
    if (busy) {
        clock_->start();
    } else {
        clock_->stop();
    }
}

void CalibratePanel::RunClick() {
    if (Busy() || !base_ || !profile_)
        return;
    if (program_.isEmpty()) {
        Status->setText("korvane-batch was not found beside the viewer or on the PATH.");
        return;
    }
    outData_ = job_->FreshFile(QFileInfo(dataFile_).completeBaseName() + "-fitted");
    const QStringList args = FitArguments(outData_);
    if (args.isEmpty())
        return;
    Result->clear();
    job_->Start(program_, args);
    SetBusy(true);
}

void CalibratePanel::CancelClick() {
    if (!Busy())
        return;
    job_->Cancel();
    SetBusy(false);
    Status->setText("Cancelled.");
}

void CalibratePanel::Finished(int exitCode, bool crashed) {
    SetBusy(false);
    const double seconds = static_cast<double>(job_->ElapsedMs()) / 1000;
    const QString out = QString::fromUtf8(job_->Process()->readAllStandardOutput());
    const QString err = QString::fromUtf8(job_->Process()->readAllStandardError()).trimmed();
    if (crashed) {
        Status->setText("korvane-batch could not run the fit: " + job_->Process()->errorString());
        Result->setText(err.toHtmlEscaped());
        return;
    }
    // The fitted inputs beside the data file's, then each channel's residuals.
    QString table = "<table cellspacing=4><tr><th align=left>Input</th><th align=right>Fitted"
                    "</th><th align=right>± standard error</th><th align=right>Was</th></tr>";
    double start = profile_ ? profile_->Start : 0, lag = lag_;
    QString residuals;
    for (const QString& line : out.split('\n', Qt::SkipEmptyParts)) {
        const auto fitted = ParseFitLine(line.toStdString());
        if (!fitted) {
            // "NAME [DEPTH]: samples=N rms=R max=M"
            const int colon = line.lastIndexOf("]: ");
            QMap<QString, QString> fields;
            for (const QString& field : line.mid(colon + 3).split(' ', Qt::SkipEmptyParts))
                fields[field.section('=', 0, 0)] = field.section('=', 1);
            residuals += QString("<tr><td>%1</td><td align=right>%2</td><td align=right>%3</td>"
                                 "<td align=right>%4</td></tr>")
                             .arg(line.left(colon + 1).toHtmlEscaped(), fields["samples"],
                                  QString::number(fields["rms"].toDouble(), 'f', 3),
                                  QString::number(fields["max"].toDouble(), 'f', 3));
            continue;
        }
        const QString name = QString::fromStdString(fitted->Name);
        QString was;
        for (int row = 0; row < Inputs->rowCount(); ++row)
            if (Inputs->item(row, FitColumn)->text() == name)
                was = Inputs->item(row, ValueColumn)->text();
        if (fitted->Name == StartName)
            start = fitted->Value;
        if (fitted->Name == LagName)
            lag = fitted->Value;
        table += QString("<tr><td>%1</td><td align=right>%2</td><td align=right>%3</td>"
                         "<td align=right>%4</td></tr>")
                     .arg(name, QString::number(fitted->Value, 'g', 6),
                          QString::number(fitted->StdError, 'g', 2), was.toHtmlEscaped());
    }
    table += "</table>";
    QString text;
    if (!out.isEmpty())
        text = table +
               CelsiusShown("<p>Measured − fitted model, ℃:</p><table cellspacing=4>"
                            "<tr><th align=left>Channel</th><th align=right>Samples</th>"
                            "<th align=right>RMS</th><th align=right>Largest</th></tr>") +
               residuals + "</table>";
    if (!err.isEmpty())
        text += "<p>" + err.toHtmlEscaped().replace('\n', "<br>") + "</p>";
    Result->setText(text);
    if (exitCode == BatchOk) {
        // The window shows the calibrated start and lag, then this.
        if (OnFitted)
            OnFitted(outData_, start, lag);
        Status->setText(QString("Calibrated in %1 s; the fitted run %2 opens beside this one.")
                            .arg(seconds, 0, 'f', 1)
                            .arg(QFileInfo(outData_).fileName()));
    } else if (exitCode == BatchNoSolution) {
        Status->setText("Not calibrated: the fit did not converge or an input ends on its "
                        "bound (see below); no run opened.");
    } else {
        Status->setText(QString("korvane-batch refused the fit (exit %1).").arg(exitCode));
    }
}

} // namespace korvane
