#pragma once

#include "BatchWorkers.h"
#include "WhatIfCase.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace korvane {

class ErrorBox;
class WhatIfChart;

// What if: vary one input of a data file's run over a range and chart the
// chosen metrics against it, the exact solution's beside the scheme's; find
// the value at which a metric reaches a target, and open that run.
class WhatIfPanel : public QWidget {
  public:
    explicit WhatIfPanel(ErrorBox& errors, QWidget* parent = nullptr);

    // The data file whose inputs are varied; an empty path (or a result file)
    // leaves the panel saying what it needs.
    void SetDataFile(const QString& path);
    void SetBatchProgram(const QString& program) { program_ = program; }
    // The process window that window.* metrics read (passed to every
    // korvane-batch as --window FILE), or none; with one, window.pwi joins
    // the metrics, without one the window metrics leave them.
    void SetWindowFile(const QString& path);
    const QString& WindowFile() const { return windowFile_; }
    // Asked to show a data file beside the current run.
    std::function<void(const QString& dataFile)> OnOpenRun;

    // The user's commands.
    void RunClick();
    void CancelClick();
    void FindClick();
    void OpenRunClick();
    bool Busy() const;

    QComboBox* Input;
    QLineEdit* From;
    QLineEdit* To;
    QSpinBox* Steps;
    QLineEdit* Metrics;
    QCheckBox* WithExact;
    QPushButton* RunButton;
    QPushButton* CancelButton;
    QProgressBar* Progress;
    QLabel* Status;
    QComboBox* TargetMetric;
    QLineEdit* Target;
    QPushButton* FindButton;
    QLabel* Answer;
    QPushButton* OpenRunButton;
    WhatIfChart* Chart;

  private:
    void InputChanged();
    void MetricsChanged();
    std::optional<double> ReadNumber(QLineEdit* edit, const char* what);
    bool WindowMissing(const std::vector<std::string>& metrics);
    void PointDone(const SweepPoint& point);
    void SweepDone(bool cancelled, const QString& failure);
    void SeekDone(const SeekOutcome& outcome);
    void SetBusy(bool busy);
    template <class Handler> void Handle(Handler handler);

    ErrorBox& errors_;
    QString program_;
    QString dataFile_;
    QString windowFile_;
    std::optional<WhatIfCase> base_;
    SweepWorkers sweep_;
    SeekWorker seek_;
    QStringList chartMetrics_;
    std::size_t trials_ = 0, done_ = 0, refused_ = 0;
    QString firstRefusal_;
    QElapsedTimer clock_;
    const InputName* foundInput_ = nullptr;
    double foundValue_ = 0;
    std::unique_ptr<QTemporaryDir> runsDir_;
};

} // namespace korvane
