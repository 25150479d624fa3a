#pragma once

#include "JudgedWindow.h"
#include "LoadedRun.h"

#include <QWidget>

#include <memory>

class QLabel;
class QTableWidget;

namespace korvane {

// The Process window tab: the open window's limits judged on the first run,
// each with its value, index and pass or FAIL on the scheme's side and on
// the exact solution's, and the run's index.
class WindowPage : public QWidget {
  public:
    explicit WindowPage(QWidget* parent = nullptr);

    // Reads a window file as korvane-batch --window does. One that is
    // refused throws its message (the file and the place in it) and changes
    // nothing.
    void Open(const QString& path);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    QString FilePath() const; // empty when none is open
    // The run it is judged on: the first run shown, or none.
    void SetRun(std::shared_ptr<const LoadedRun> run);
    // The window on that run; none without a window or a run.
    std::shared_ptr<const JudgedWindow> Judged() const { return judged_; }

    QLabel* Summary;
    // A row a limit, then the run's index; the numbers shown are held at
    // full precision in Qt::UserRole (NaN for none), a verdict as a bool.
    QTableWidget* Table;
    enum Column {
        LimitColumn,
        MetricColumn,
        RangeColumn,
        SchemeValue,
        SchemeIndex,
        SchemeVerdict,
        ExactValue,
        ExactIndex,
        ExactVerdict,
        Columns
    };

  private:
    void Judge();
    void ShowJudged();

    std::shared_ptr<const WindowFile> file_;
    std::shared_ptr<const LoadedRun> run_;
    std::shared_ptr<const JudgedWindow> judged_;
};

} // namespace korvane
