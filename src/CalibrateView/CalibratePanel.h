#pragma once

#include "FitOptions.h"
#include "MeasuredProfile.h"
#include "WhatIfCase.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;

namespace korvane {

class BatchJob;
class ErrorBox;

// Calibrate: fit the inputs of a data file's run to the measured profile
// within bounds, in a korvane-batch --fit process (so that the viewer's own
// runs go on, and Cancel ends it at once); the fitted run then opens beside
// the current one.
class CalibratePanel : public QWidget {
  public:
    explicit CalibratePanel(ErrorBox& errors, QWidget* parent = nullptr);
    ~CalibratePanel() override;

    // The run's data file and the profile with how it was read; an empty
    // path, a result file or no profile leaves the panel saying what it needs.
    void SetRun(const QString& dataFile, std::shared_ptr<const MeasuredProfile> profile,
                const MeasuredRequest& request, double lag);
    void SetBatchProgram(const QString& program) { program_ = program; }
    // The fit converged within its bounds: its data file, start and lag.
    std::function<void(const QString& dataFile, double start, double lag)> OnFitted;

    // The user's commands.
    void RunClick();
    void CancelClick();
    bool Busy() const;

    // The arguments of the fit that Run starts (empty, and Status says why,
    // when the table holds a bound that is no number).
    QStringList FitArguments(const QString& outData);

    QTableWidget* Inputs; // Fit, input, value, from, to
    QComboBox* Model;
    QPushButton* RunButton;
    QPushButton* CancelButton;
    QProgressBar* Progress;
    QLabel* Status;
    QLabel* Result;

  private:
    void FillInputs();
    void Finished(int exitCode, bool crashed);
    void SetBusy(bool busy);
    template <class Handler> void Handle(Handler handler);

    ErrorBox& errors_;
    QString program_;
    QString dataFile_;
    std::optional<WhatIfCase> base_;
    std::shared_ptr<const MeasuredProfile> profile_;
    MeasuredRequest request_;
    double lag_ = 0;
    BatchJob* job_;
    QTimer* clock_;
    QString outData_;
};

} // namespace korvane
