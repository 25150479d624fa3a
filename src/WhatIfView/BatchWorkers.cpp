#include "BatchWorkers.h"

#include "SiblingProgram.h"
#include "Sweep.h"

#include <QProcess>

namespace korvane {

QString BatchProgram() {
    return SiblingProgram("korvane-batch", "../batch");
}

SweepWorkers::SweepWorkers(QObject* parent) : QObject(parent) {}

SweepWorkers::~SweepWorkers() {
    OnPoint = nullptr;
    OnFinished = nullptr;
    Cancel();
}

bool SweepWorkers::Start(const QString& program, const QString& dataFile, const QString& sweep,
                         const QStringList& metrics, int processes, const QString& windowFile) {
    Cancel();
    // The old processes have ended; nothing of theirs may reach the new sweep.
    for (auto& worker : workers_) {
        worker.process->disconnect(this);
        worker.process->deleteLater();
    }
    workers_.clear();
    cancelled_ = false;
    reported_ = false;
    error_.clear();
    failure_.clear();
    metricCount_ = static_cast<std::size_t>(metrics.size());
    if (program.isEmpty()) {
        error_ = "korvane-batch was not found beside the viewer or on the PATH.";
        return false;
    }
    workers_.resize(static_cast<std::size_t>(std::max(processes, 1)));
    for (std::size_t w = 0; w < workers_.size(); ++w) {
        auto* process = new QProcess(this);
        workers_[w].process = process;
        connect(process, &QProcess::readyReadStandardOutput, this, [this, w] { Read(w); });
        connect(process, &QProcess::finished, this, [this, w] { Ended(w); });
        connect(process, &QProcess::errorOccurred, this, [this, w](QProcess::ProcessError e) {
            if (e == QProcess::FailedToStart)
                Ended(w);
        });
    }
    for (std::size_t w = 0; w < workers_.size(); ++w) {
        QStringList args = {"--sweep",   sweep,
                            "--metrics", metrics.join(','),
                            "--share",   QString("%1/%2").arg(w + 1).arg(workers_.size()),
                            "--out",     "-"};
        if (!windowFile.isEmpty())
            args << "--window" << windowFile;
        workers_[w].process->start(program, args << "--" << dataFile);
    }
    return true;
}

void SweepWorkers::Cancel() {
    cancelled_ = true;
    for (auto& worker : workers_)
        if (worker.process && worker.process->state() != QProcess::NotRunning) {
            worker.process->kill();
            worker.process->waitForFinished(2000);
        }
}

bool SweepWorkers::Running() const {
    for (const auto& worker : workers_)
        if (worker.process && worker.process->state() != QProcess::NotRunning)
            return true;
    return false;
}

void SweepWorkers::Read(std::size_t w) {
    Worker& worker = workers_[w];
    worker.pending += worker.process->readAllStandardOutput();
    int end;
    while ((end = worker.pending.indexOf('\n')) >= 0) {
        const QByteArray line = worker.pending.left(end);
        worker.pending.remove(0, end + 1);
        if (!worker.headerSeen) {
            worker.headerSeen = true;
            continue;
        }
        const std::string_view text(line.constData(), static_cast<std::size_t>(line.size()));
        // (A console's line end on Windows.)
        const auto row = ParseSweepCsvLine(text.substr(0, text.find_last_not_of('\r') + 1), 1,
                                           metricCount_, true);
        if (!row || !OnPoint || cancelled_)
            continue;
        SweepPoint point;
        point.Index = row->Index;
        point.Input = row->Inputs[0];
        point.Metrics = row->Outcome.Metrics;
        point.Message = QString::fromStdString(row->Outcome.Message);
        OnPoint(point);
    }
}

void SweepWorkers::Ended(std::size_t w) {
    Worker& worker = workers_[w];
    if (worker.process->state() != QProcess::NotRunning)
        return;
    Read(w);
    if (!cancelled_ && (worker.process->exitStatus() != QProcess::NormalExit ||
                        worker.process->exitCode() != BatchOk ||
                        worker.process->error() == QProcess::FailedToStart)) {
        const QString errors = QString::fromUtf8(worker.process->readAllStandardError()).trimmed();
        if (failure_.isEmpty())
            failure_ = errors.isEmpty() ? "korvane-batch failed: " + worker.process->errorString()
                                        : errors;
    }
    if (Running() || reported_)
        return;
    reported_ = true;
    if (OnFinished) {
        auto finished = OnFinished;
        finished(cancelled_, failure_);
    }
}

SeekWorker::SeekWorker(QObject* parent) : QObject(parent) {}

SeekWorker::~SeekWorker() {
    OnFinished = nullptr;
    Cancel();
}

bool SeekWorker::Start(const QString& program, const QString& dataFile, const QString& seek,
                       const QString& target, const QString& windowFile) {
    Cancel();
    error_.clear();
    if (program.isEmpty()) {
        error_ = "korvane-batch was not found beside the viewer or on the PATH.";
        return false;
    }
    delete process_;
    process_ = new QProcess(this);
    QProcess* process = process_;
    connect(process, &QProcess::finished, this, [this, process] {
        const QByteArray out = process->readAllStandardOutput();
        const QByteArray err = process->readAllStandardError();
        const SeekReport report = ReadSeekReport(
            process->exitStatus() == QProcess::NormalExit ? process->exitCode() : BatchFailed,
            std::string_view(out.constData(), static_cast<std::size_t>(out.size())),
            std::string_view(err.constData(), static_cast<std::size_t>(err.size())));
        SeekOutcome outcome;
        outcome.Status = report.Status;
        outcome.Value = report.Value;
        outcome.Metric = report.Metric;
        outcome.Reason = SeekStatusText(report.Status);
        outcome.Notes = QString::fromStdString(report.Notes).trimmed();
        if (OnFinished && process == process_)
            OnFinished(outcome);
    });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart && OnFinished && process == process_) {
            SeekOutcome outcome;
            outcome.Reason = SeekStatusText(outcome.Status);
            outcome.Notes = "korvane-batch could not be started: " + process->errorString();
            OnFinished(outcome);
        }
    });
    QStringList args = {"--seek", seek, "--target", target};
    if (!windowFile.isEmpty())
        args << "--window" << windowFile;
    process->start(program, args << "--" << dataFile);
    return true;
}

void SeekWorker::Cancel() {
    if (process_ && process_->state() != QProcess::NotRunning) {
        QProcess* process = process_;
        process_ = nullptr; // its result is no longer wanted
        process->kill();
        process->waitForFinished(2000);
        process->deleteLater();
    }
}

bool SeekWorker::Running() const {
    return process_ && process_->state() != QProcess::NotRunning;
}

} // namespace korvane
