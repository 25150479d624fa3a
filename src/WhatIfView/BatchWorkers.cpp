#include "BatchWorkers.h"

#include "SiblingProgram.h"

#include <QProcess>

#include <cmath>
#include <limits>

namespace korvane {

namespace {

double Cell(const QByteArray& text, bool& ok) {
    if (text.isEmpty())
        return std::numeric_limits<double>::quiet_NaN();
    return text.toDouble(&ok);
}

} // namespace

QString BatchProgram() {
    return SiblingProgram("korvane-batch", "../batch");
}

bool ParseSweepLine(const QByteArray& line, std::size_t metricCount, SweepPoint& point) {
    // Numbers never hold a comma; only the message may be quoted.
    QList<QByteArray> cells;
    int start = 0;
    for (std::size_t c = 0; c < metricCount + 1; ++c) {
        const int comma = line.indexOf(',', start);
        if (comma < 0)
            return false;
        cells << line.mid(start, comma - start);
        start = comma + 1;
    }
    QByteArray message = line.mid(start);
    if (message.startsWith('"') && message.endsWith('"') && message.size() >= 2)
        message = message.mid(1, message.size() - 2).replace("\"\"", "\"");
    bool ok = true;
    point.Input = Cell(cells[0], ok);
    point.Metrics.clear();
    for (std::size_t m = 0; m < metricCount; ++m)
        point.Metrics.push_back(Cell(cells[static_cast<qsizetype>(m) + 1], ok));
    point.Message = QString::fromUtf8(message);
    return ok && !std::isnan(point.Input);
}

bool ParseSeekLine(const QString& line, double& value, double& metric) {
    const QStringList parts = line.trimmed().split(' ');
    if (parts.size() != 2)
        return false;
    bool ok1 = false, ok2 = false;
    value = parts[0].section('=', 1).toDouble(&ok1);
    metric = parts[1].section('=', -1).toDouble(&ok2);
    return ok1 && ok2;
}

SweepWorkers::SweepWorkers(QObject* parent) : QObject(parent) {}

SweepWorkers::~SweepWorkers() {
    OnPoint = nullptr;
    OnFinished = nullptr;
    Cancel();
}

bool SweepWorkers::Start(const QString& program, const QString& dataFile, const QString& sweep,
                         const QStringList& metrics, int processes) {
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
    for (std::size_t w = 0; w < workers_.size(); ++w)
        workers_[w].process->start(
            program, {"--sweep", sweep, "--metrics", metrics.join(','), "--share",
                      QString("%1/%2").arg(w + 1).arg(workers_.size()), "--out", "-", dataFile});
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
        SweepPoint point;
        // The share's j-th line is the trial (K-1) + j N of the whole sweep.
        point.Index = w + worker.lines * workers_.size();
        ++worker.lines;
        if (ParseSweepLine(line, metricCount_, point) && OnPoint && !cancelled_)
            OnPoint(point);
    }
}

void SweepWorkers::Ended(std::size_t w) {
    Worker& worker = workers_[w];
    if (worker.process->state() != QProcess::NotRunning)
        return;
    Read(w);
    if (!cancelled_ &&
        (worker.process->exitStatus() != QProcess::NormalExit || worker.process->exitCode() != 0 ||
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
                       const QString& target) {
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
        SeekOutcome outcome;
        outcome.Notes = QString::fromUtf8(process->readAllStandardError()).trimmed();
        const QString out = QString::fromUtf8(process->readAllStandardOutput());
        outcome.NotBracketed =
            process->exitStatus() == QProcess::NormalExit && process->exitCode() == 3;
        outcome.Found = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0 &&
                        ParseSeekLine(out, outcome.Value, outcome.Metric);
        if (OnFinished && process == process_)
            OnFinished(outcome);
    });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart && OnFinished && process == process_) {
            SeekOutcome outcome;
            outcome.Notes = "korvane-batch could not be started: " + process->errorString();
            OnFinished(outcome);
        }
    });
    process->start(program, {"--seek", seek, "--target", target, dataFile});
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
