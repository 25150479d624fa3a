#pragma once

#include "ChartOptions.h"
#include "ProfileComparison.h"

#include <QFutureWatcher>
#include <QMainWindow>

class QAction;
class QLabel;
class QProgressBar;
class QSlider;
class QTabWidget;
class QTimer;

namespace korvane {

class AlongLineChart;
class CalibratePanel;
class OptimisePanel;
class MeasuredTable;
class ProfileChart;
class WhatIfPanel;
class ViewerServices;
class WindowPage;
class ZoneTable;

// A loaded run, or why the file could not be shown.
struct LoadOutcome {
    std::shared_ptr<const LoadedRun> Run;
    std::string Error;
};

// What a newly opened run shows first, in the window and an export: the
// profile at zone 1's exit, where it has had time to take shape.
ChartOptions OpeningOptions(const LoadedRun& first);

// What the reader said about the runs (an incomplete file, a temperature
// below absolute zero), one line each; the file named when there are several.
QStringList RunWarnings(const RunList& runs);

// The result viewer: a run (result or data file) as charts and a table,
// with other runs drawn over it.
class ViewerWindow : public QMainWindow {
  public:
    explicit ViewerWindow(ViewerServices& services);
    ~ViewerWindow() override;

    // The first file replaces what is shown, the others are compared with it.
    void OpenFiles(const QStringList& paths);
    // Adds runs drawn over the first.
    void AddFiles(const QStringList& paths);
    bool IsLoading() const;
    const RunList& Runs() const { return runs_; }
    const ChartOptions& Options() const { return options_; }

    // The user's commands.
    void OpenClick();
    void CompareClick();
    void OpenWindowClick();
    void CloseWindowClick();
    // A process window judged on the first run; a refused file throws its
    // message and changes nothing.
    void OpenWindow(const QString& path);
    void ExportPngClick();
    void ExportSvgClick();
    void ExportCsvClick();
    void ExportPdfClick();
    void PrintClick();
    // File ▸ Add measured profile…: a logger's export, its columns mapped in
    // a dialog, drawn over the chart along the line (on a time axis) and
    // held against every run in the Measured tab.
    void AddMeasuredClick();
    void SetMeasured(std::shared_ptr<const MeasuredProfile> profile, const MeasuredRequest& request,
                     double lag);
    const MeasuredProfile* Measured() const { return measured_.get(); }
    const std::vector<ProfileComparison>& Comparisons() const { return comparisons_; }
    void SetTimeAxis(bool on);
    void SetAllPoints(bool on);
    void SetShowExact(bool on);
    void PickRow(std::size_t row);

    AlongLineChart* Along;
    ProfileChart* Profile;
    ZoneTable* Zones;
    // The process window's limits judged on the first run.
    WindowPage* WindowTab;
    WhatIfPanel* WhatIf; // varies the inputs of a run opened from a data file
    MeasuredTable* MeasuredView;
    CalibratePanel* Calibrate; // fits a data file's inputs to the measured profile
    OptimisePanel* Optimise;   // searches a recipe that meets the process window
    QLabel* Source;            // where the run comes from and what the dashes are
    QLabel* Warnings;          // above the charts: an incomplete file, a temperature below 0 K
    QLabel* Sentence;          // the distance to the exact solution in words
    QLabel* Position;          // where the profile is taken
    QSlider* PositionSlider;
    QTabWidget* Lower;
    QAction* TimeAxisAction;
    QAction* AllPointsAction;
    QAction* ExactAction;
    QAction* MeasuredAction;

  private:
    void BuildActions();
    void Load(const QStringList& paths, bool replace);
    void LoadDone();
    void ShowRuns();
    void ShowProfile();
    void WindowChanged();
    void UpdateTitle();
    QString SaveName(const QString& title, const QString& filter, const QString& suffix);
    using ChartExporter = bool (*)(const RunList&, const ChartOptions&, const QString&);
    void ExportChart(const QString& title, const QString& filter, const QString& suffix,
                     ChartExporter exporter);
    template <class Handler> void Handle(Handler handler);

    ViewerServices& services_;
    RunList runs_;
    ChartOptions options_;
    QFutureWatcher<std::vector<LoadOutcome>> loading_;
    bool replace_ = false;
    QProgressBar* progress_;
    QTimer* progressDelay_;
    QList<QAction*> fileActions_;
    QList<QAction*> exportActions_; // enabled while a run is shown
    QAction* closeWindow_;
    std::shared_ptr<const MeasuredProfile> measured_;
    MeasuredRequest measuredRequest_;
    double lag_ = 0;
    std::vector<ProfileComparison> comparisons_; // of each run
};

} // namespace korvane
