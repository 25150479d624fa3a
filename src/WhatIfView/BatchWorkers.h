#pragma once

#include "GoalSeek.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QProcess;

namespace korvane {

// korvane-batch beside this program (installed or in the build tree), or on the PATH.
QString BatchProgram();

// One computed or refused trial of a sweep, as korvane-batch reports it.
struct SweepPoint {
    std::size_t Index = 0;
    double Input = 0;
    std::vector<double> Metrics; // NaN where empty
    QString Message;
};

// A sweep of one input split among several korvane-batch processes (--share
// K/N --out -), each streaming its CSV lines as the trials are done.
class SweepWorkers : public QObject {
  public:
    explicit SweepWorkers(QObject* parent = nullptr);
    ~SweepWorkers() override;

    // Starts the sweep; false (and Error()) when korvane-batch cannot be started.
    // windowFile, when given, is the process window that window metrics read.
    bool Start(const QString& program, const QString& dataFile, const QString& sweep,
               const QStringList& metrics, int processes, const QString& windowFile = {});
    void Cancel();
    bool Running() const;
    const QString& Error() const { return error_; }

    std::function<void(const SweepPoint&)> OnPoint;
    // All processes have ended; cancelled or failed says why there is no more.
    std::function<void(bool cancelled, const QString& failure)> OnFinished;

  private:
    struct Worker {
        QProcess* process = nullptr;
        QByteArray pending;
        bool headerSeen = false;
    };
    void Read(std::size_t w);
    void Ended(std::size_t w);

    std::vector<Worker> workers_;
    std::size_t metricCount_ = 0;
    bool cancelled_ = false;
    bool reported_ = false;
    QString error_, failure_;
};

// What a seek in a korvane-batch process found.
struct SeekOutcome {
    SeekStatus Status = SeekStatus::Failed;
    double Value = 0, Metric = 0;
    QString Reason; // how it ended, a line to show ("No solution in the range.")
    QString Notes;  // standard error: refused trials, crossings, why nothing was found
};

// One korvane-batch --seek process.
class SeekWorker : public QObject {
  public:
    explicit SeekWorker(QObject* parent = nullptr);
    ~SeekWorker() override;
    bool Start(const QString& program, const QString& dataFile, const QString& seek,
               const QString& target, const QString& windowFile = {});
    void Cancel();
    bool Running() const;
    const QString& Error() const { return error_; }
    std::function<void(const SeekOutcome&)> OnFinished;

  private:
    QProcess* process_ = nullptr;
    QString error_;
};

} // namespace korvane
