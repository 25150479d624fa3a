#pragma once

#include "WhatIfCase.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTimer;

namespace korvane {

class BatchJob;
class ErrorBox;

// Optimise: search the recipe (the checked inputs within their bounds) that
// centres the process window or pushes one input as far as the window
// allows, in a korvane-batch --optimise process (Cancel ends it at once);
// the recipe found opens beside the current run.
class OptimisePanel : public QWidget {
  public:
    explicit OptimisePanel(ErrorBox& errors, QWidget* parent = nullptr);
    ~OptimisePanel() override;

    // The run's data file (empty for a run read from a result file) and the
    // process window's file (empty without one).
    void SetRun(const QString& dataFile);
    void SetWindowFile(const QString& path);
    void SetBatchProgram(const QString& program) { program_ = program; }
    // A recipe inside the window was found: its data file.
    std::function<void(const QString& dataFile)> OnFound;

    // The user's commands.
    void RunClick();
    void CancelClick();
    bool Busy() const;

    // The arguments of the search that Run starts (empty, and Status says
    // why, when a checked bound is no number or the goal's input is not checked).
    QStringList SearchArguments(const QString& outData);

    QTableWidget* Inputs; // Optimise, data file, from, to
    QComboBox* Goal;      // centre, max, min
    QComboBox* GoalInput;
    QDoubleSpinBox* Margin;
    QComboBox* Model;
    QSpinBox* MaxRuns;
    QPushButton* RunButton;
    QPushButton* CancelButton;
    QProgressBar* Progress;
    QLabel* Status;
    QLabel* Result;

  private:
    void FillInputs();
    void ShowReady();
    void ReadProgress();
    void ShowSearching();
    void Finished(int exitCode, bool crashed);
    void SetBusy(bool busy);
    template <class Handler> void Handle(Handler handler);

    ErrorBox& errors_;
    QString program_;
    QString dataFile_, windowFile_;
    std::optional<WhatIfCase> base_;
    BatchJob* job_;
    QString errText_;
    QTimer* clock_;
    QString progressText_;
    QString outData_;
};

} // namespace korvane
