#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QProcess;
class QTableWidget;

namespace korvane {

// One korvane-batch process of a panel at a time (a fit, a recipe search):
// started with its arguments, ended at once by Cancel, whose result is then
// no longer wanted, and read when it finishes. The files it writes go to a
// temporary folder of the job's own, kept as long as the job.
class BatchJob : public QObject {
  public:
    explicit BatchJob(QObject* parent = nullptr);
    ~BatchJob() override;

    // A name in the job's folder that no file has yet: BASE.txt, BASE2.txt, ...
    QString FreshFile(const QString& base);

    void Start(const QString& program, const QStringList& args);
    void Cancel();
    bool Busy() const;
    qint64 ElapsedMs() const { return elapsed_.elapsed(); }
    // The process that finished, to read its output; nullptr before.
    QProcess* Process() const { return process_; }

    // The process ended (crashed: it did not start, or did not exit normally).
    std::function<void(int exitCode, bool crashed)> OnFinished;
    // Standard error has something new.
    std::function<void()> OnStandardError;

  private:
    QProcess* process_ = nullptr;
    std::unique_ptr<QTemporaryDir> dir_;
    QElapsedTimer elapsed_;
};

// The widgets of a panel that runs a job on a data file's inputs: the inputs'
// table (a checkable name, the data file's value, from, to), the choice of
// the model, and the label of the job's answer.
QTableWidget* BoundsTable(const QString& nameHeader);
QComboBox* ModelChoice(const QString& toolTip);
QLabel* AnswerLabel();

} // namespace korvane
