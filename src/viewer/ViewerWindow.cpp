#include "ViewerWindow.h"

#include "AppLook.h"

#include "AlongLineChart.h"
#include "CalibratePanel.h"
#include "ChartExport.h"
#include "MeasuredTable.h"
#include "OptimisePanel.h"
#include "ProfileChart.h"
#include "RunExport.h"
#include "RunPath.h"
#include "ViewerServices.h"
#include "WhatIfPanel.h"
#include "WindowPage.h"
#include "ZoneTable.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPrinter>
#include <QProgressBar>
#include <QPromise>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QThreadPool>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <memory>

namespace korvane {

namespace {

std::vector<LoadOutcome> LoadAll(const QStringList& paths) {
    std::vector<LoadOutcome> outcomes;
    for (const QString& path : paths) {
        LoadOutcome outcome;
        try {
            outcome.Run =
                std::make_shared<const LoadedRun>(LoadRun(QFile::encodeName(path).toStdString()));
        } catch (const std::exception& error) {
            outcome.Error = error.what();
        }
        outcomes.push_back(std::move(outcome));
    }
    return outcomes;
}

// Exports draw both charts again on this thread: a few hundred milliseconds.
class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

QLabel* WrappingLabel() {
    auto* label = new QLabel;
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

ChartOptions OpeningOptions(const LoadedRun& first) {
    ChartOptions options;
    const auto& rows = first.Run.Zones.front().Rows;
    options.PickedRow = rows.empty() ? 0 : rows.size() - 1;
    return options;
}

QStringList RunWarnings(const RunList& runs) {
    QStringList lines;
    for (const auto& run : runs)
        for (const std::string& warning : run->Warnings)
            lines << (runs.size() > 1 ? RunFileName(run->Path) + ": " : QString()) +
                         QString::fromStdString(warning);
    return lines;
}

ViewerWindow::ViewerWindow(ViewerServices& services) : services_(services) {
    setWindowTitle("Korvane viewer");
    resize(1100, 860);

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 4, 6, 4);
    Source = WrappingLabel();
    layout->addWidget(Source);
    // Above the charts, where it cannot be missed, and not in a box that is
    // gone once clicked away.
    Warnings = WrappingLabel();
    Warnings->setObjectName("warnings");
    Warnings->setTextFormat(Qt::PlainText);
    Warnings->setStyleSheet("QLabel#warnings { background: #fff4ce; color: #4d3800; "
                            "border: 1px solid #d9a400; padding: 3px 6px; }");
    Warnings->hide();
    layout->addWidget(Warnings);

    Along = new AlongLineChart(services_);
    Along->OnPick = [this](std::size_t row) { PickRow(row); };

    auto* profilePage = new QWidget;
    auto* profileLayout = new QVBoxLayout(profilePage);
    profileLayout->setContentsMargins(0, 4, 0, 0);
    Position = new QLabel("Click on the chart above or move the slider to pick a position.");
    Position->setWordWrap(true);
    PositionSlider = new QSlider(Qt::Horizontal);
    PositionSlider->setToolTip("Position of the profile along the line");
    Profile = new ProfileChart(services_);
    profileLayout->addWidget(Position);
    profileLayout->addWidget(PositionSlider);
    profileLayout->addWidget(Profile, 1);
    connect(PositionSlider, &QSlider::valueChanged, this, [this](int value) {
        Handle([&] { PickRow(static_cast<std::size_t>(std::max(value, 0))); });
    });

    auto* zonesPage = new QWidget;
    auto* zonesLayout = new QVBoxLayout(zonesPage);
    zonesLayout->setContentsMargins(0, 4, 0, 0);
    Sentence = WrappingLabel();
    Zones = new ZoneTable;
    zonesLayout->addWidget(Sentence);
    zonesLayout->addWidget(Zones, 1);

    Lower = new QTabWidget;
    Lower->addTab(profilePage, "T&hrough the thickness");
    Lower->addTab(zonesPage, "&Zones");
    WindowTab = new WindowPage;
    Lower->addTab(WindowTab, "Process &window");
    WhatIf = new WhatIfPanel(services_);
    WhatIf->OnOpenRun = [this](const QString& path) { AddFiles({path}); };
    Lower->addTab(WhatIf, "What &if");
    MeasuredView = new MeasuredTable;
    Lower->addTab(MeasuredView, "&Measured");
    Calibrate = new CalibratePanel(services_);
    Calibrate->OnFitted = [this](const QString& path, double start, double lag) {
        // The calibrated start and lag hold for the profile from now on.
        if (measured_) {
            auto profile = std::make_shared<MeasuredProfile>(*measured_);
            profile->Start = start;
            MeasuredRequest request = measuredRequest_;
            request.Start = start;
            SetMeasured(std::move(profile), request, lag);
        }
        AddFiles({path});
    };
    Lower->addTab(Calibrate, "&Calibrate");
    Optimise = new OptimisePanel(services_);
    Optimise->OnFound = [this](const QString& path) { AddFiles({path}); };
    Lower->addTab(Optimise, "&Optimise");

    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(Along);
    splitter->addWidget(Lower);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({460, 400});
    layout->addWidget(splitter, 1);
    setCentralWidget(central);

    progress_ = new QProgressBar;
    progress_->setRange(0, 0);
    progress_->setMaximumWidth(160);
    progress_->hide();
    statusBar()->addPermanentWidget(progress_);
    progressDelay_ = new QTimer(this);
    progressDelay_->setSingleShot(true);
    progressDelay_->setInterval(100);
    connect(progressDelay_, &QTimer::timeout, this, [this] {
        Handle([this] {
            progress_->show();
            statusBar()->showMessage("Reading the file and computing the exact solution…");
        });
    });
    connect(&loading_, &QFutureWatcherBase::finished, this,
            [this] { Handle([this] { LoadDone(); }); });

    BuildActions();
    ShowRuns();
}

ViewerWindow::~ViewerWindow() {
    loading_.waitForFinished();
}

template <class Handler> void ViewerWindow::Handle(Handler handler) {
    Guard(services_, handler);
}

void ViewerWindow::BuildActions() {
    QMenu* file = menuBar()->addMenu("&File");
    QMenu* view = menuBar()->addMenu("&View");
    QToolBar* tools = addToolBar("Tools");
    tools->setMovable(false);
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);

    // The tool bar shows the short name, the menu the whole one.
    auto action = [&](QMenu* menu, const QString& text, const QString& shortText, auto method,
                      QKeySequence key = {}) {
        auto* a = new QAction(text, this);
        a->setShortcut(key);
        a->setIconText(shortText);
        a->setToolTip(QString(text).remove('&').remove("…"));
        connect(a, &QAction::triggered, this,
                [this, method] { Handle([&] { (this->*method)(); }); });
        menu->addAction(a);
        tools->addAction(a);
        return a;
    };
    fileActions_ << action(file, "&Open…", "Open…", &ViewerWindow::OpenClick, QKeySequence::Open);
    fileActions_ << action(file, "&Compare with…", "Compare with…", &ViewerWindow::CompareClick);
    action(file, "Open process &window…", "Window…", &ViewerWindow::OpenWindowClick);
    closeWindow_ = file->addAction("C&lose process window");
    closeWindow_->setEnabled(false);
    connect(closeWindow_, &QAction::triggered, this,
            [this] { Handle([this] { CloseWindowClick(); }); });
    MeasuredAction =
        action(file, "Add &measured profile…", "Measured…", &ViewerWindow::AddMeasuredClick);
    file->addSeparator();
    tools->addSeparator();
    exportActions_ << action(file, "Export chart as P&NG…", "PNG…", &ViewerWindow::ExportPngClick);
    if (SvgExportAvailable())
        exportActions_ << action(file, "Export chart as S&VG…", "SVG…",
                                 &ViewerWindow::ExportSvgClick);
    exportActions_ << action(file, "Export rows as C&SV…", "CSV…", &ViewerWindow::ExportCsvClick);
    exportActions_ << action(file, "Export chart as P&DF…", "PDF…", &ViewerWindow::ExportPdfClick);
    exportActions_ << action(file, "&Print…", "Print…", &ViewerWindow::PrintClick,
                             QKeySequence::Print);
    file->addSeparator();
    QAction* quit = file->addAction("&Quit");
    quit->setShortcut(QKeySequence::Quit);
    connect(quit, &QAction::triggered, this, &QWidget::close);

    tools->addSeparator();
    auto toggle = [&](const QString& text, bool on, void (ViewerWindow::*method)(bool)) {
        auto* a = new QAction(text, this);
        a->setCheckable(true);
        a->setChecked(on);
        connect(a, &QAction::toggled, this,
                [this, method](bool checked) { Handle([&] { (this->*method)(checked); }); });
        view->addAction(a);
        tools->addAction(a);
        return a;
    };
    TimeAxisAction = toggle("&Time axis", false, &ViewerWindow::SetTimeAxis);
    AllPointsAction = toggle("&All 11 points", false, &ViewerWindow::SetAllPoints);
    ExactAction = toggle("&Exact solution", true, &ViewerWindow::SetShowExact);
}

void ViewerWindow::OpenFiles(const QStringList& paths) {
    Load(paths, true);
}

void ViewerWindow::AddFiles(const QStringList& paths) {
    Load(paths, false);
}

bool ViewerWindow::IsLoading() const {
    return loading_.isRunning();
}

void ViewerWindow::Load(const QStringList& paths, bool replace) {
    if (paths.isEmpty() || IsLoading())
        return;
    replace_ = replace;
    for (QAction* a : fileActions_)
        a->setEnabled(false);
    progressDelay_->start();
    // A promise on the global pool: the Qt the Windows build links has no
    // Qt Concurrent.
    auto promise = std::make_shared<QPromise<std::vector<LoadOutcome>>>();
    loading_.setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start([promise, paths] {
        promise->addResult(LoadAll(paths));
        promise->finish();
    });
}

void ViewerWindow::LoadDone() {
    progressDelay_->stop();
    progress_->hide();
    statusBar()->clearMessage();
    for (QAction* a : fileActions_)
        a->setEnabled(true);
    std::vector<LoadOutcome> outcomes = loading_.result();
    std::string errors;
    bool first = replace_;
    for (LoadOutcome& outcome : outcomes) {
        if (!outcome.Run) {
            errors += (errors.empty() ? "" : "\n") + outcome.Error;
            continue;
        }
        if (first) {
            runs_.clear();
            options_.PickedRow = OpeningOptions(*outcome.Run).PickedRow;
            first = false;
        }
        runs_.push_back(std::move(outcome.Run));
    }
    ShowRuns();
    if (!errors.empty())
        services_.ShowError(errors);
}

void ViewerWindow::ShowRuns() {
    UpdateTitle();
    for (QAction* a : exportActions_)
        a->setEnabled(!runs_.empty());
    MeasuredAction->setEnabled(!runs_.empty());
    const QStringList warnings = RunWarnings(runs_);
    Warnings->setText(CelsiusShown("⚠ " + warnings.join("\n⚠ ")));
    Warnings->setVisible(!warnings.isEmpty());
    const LoadedRun* first = runs_.empty() ? nullptr : runs_.front().get();
    if (!first) {
        Source->setText("Open a result file or a data file (File ▸ Open, or korvane-view FILE).");
        Sentence->clear();
    } else if (first->FromResultFile) {
        Source->setText(
            CelsiusShown("<b>Result file</b>: the temperatures as printed, to 0.1 ℃. The exact "
                         "solution (dashed) is computed from the inputs printed in its header."));
        Sentence->setText(CelsiusShown(DistanceSentence(*first)));
    } else {
        Source->setText("<b>Data file</b>: the run computed in memory at full precision; the "
                        "exact solution (dashed) from the same inputs.");
        Sentence->setText(CelsiusShown(DistanceSentence(*first)));
    }
    const int rows = first ? static_cast<int>(first->RowCount()) : 0;
    options_.PickedRow = std::min<std::size_t>(options_.PickedRow, rows > 0 ? rows - 1 : 0);
    {
        const QSignalBlocker block(PositionSlider);
        PositionSlider->setRange(0, std::max(rows - 1, 0));
        PositionSlider->setValue(static_cast<int>(options_.PickedRow));
    }
    WindowTab->SetRun(first ? runs_.front() : nullptr);
    options_.Window = WindowTab->Judged();
    comparisons_.clear();
    if (measured_)
        for (const auto& run : runs_)
            comparisons_.push_back(CompareProfile(*measured_, run->Run, lag_));
    options_.Measured = runs_.empty() ? nullptr : measured_;
    Along->Show(runs_, options_);
    Zones->Show(first);
    const QString dataFile = first && !first->FromResultFile ? RunPathText(first->Path) : QString();
    WhatIf->SetDataFile(dataFile);
    MeasuredView->Show(measured_.get(), runs_, comparisons_);
    Calibrate->SetRun(dataFile, measured_, measuredRequest_, lag_);
    Optimise->SetRun(dataFile);
    ShowProfile();
}

void ViewerWindow::SetMeasured(std::shared_ptr<const MeasuredProfile> profile,
                               const MeasuredRequest& request, double lag) {
    measured_ = std::move(profile);
    measuredRequest_ = request;
    lag_ = lag;
    ShowRuns();
}

void ViewerWindow::AddMeasuredClick() {
    if (runs_.empty())
        throw std::runtime_error("Open a result or data file first.");
    const QString path = services_.ChooseMeasuredFile(this);
    if (path.isEmpty())
        return;
    const std::string file = QFile::encodeName(path).toStdString();
    try {
        const LoggerTable table = ReadLoggerTable(file);
        // The same file again starts from its mapping; another from a guess.
        MeasuredRequest guess =
            measured_ && measuredRequest_.File == file ? measuredRequest_ : SuggestRequest(table);
        const auto request = services_.AskMeasuredMapping(this, table, guess);
        if (!request)
            return;
        MeasuredRequest asked = *request;
        asked.File = file;
        auto profile = std::make_shared<const MeasuredProfile>(ExtractProfile(table, asked));
        SetMeasured(std::move(profile), asked, measuredRequest_.File == file ? lag_ : 0);
    } catch (const MeasuredError& error) {
        throw std::runtime_error(error.what());
    }
    // Samples have times: the chart shows them against time.
    TimeAxisAction->setChecked(true);
    Lower->setCurrentWidget(MeasuredView);
}

void ViewerWindow::ShowProfile() {
    Profile->Show(runs_, options_);
    if (!runs_.empty() && runs_.front()->RowCount() > 0)
        Position->setText("Profile at " +
                          ProfileChart::PositionText(*runs_.front(), options_.PickedRow) +
                          ". Click on the chart above or move the slider to pick another.");
}

void ViewerWindow::PickRow(std::size_t row) {
    if (runs_.empty() || row >= runs_.front()->RowCount())
        return;
    options_.PickedRow = row;
    {
        const QSignalBlocker block(PositionSlider);
        PositionSlider->setValue(static_cast<int>(row));
    }
    Along->SetPicked(row);
    ShowProfile();
    Lower->setCurrentIndex(0);
}

void ViewerWindow::UpdateTitle() {
    if (runs_.empty()) {
        setWindowTitle("Korvane viewer");
        return;
    }
    const auto name = [](const LoadedRun& run) {
        return RunFileName(run.Path) + (run.Complete ? "" : " (incomplete)");
    };
    QString title = name(*runs_.front());
    if (runs_.size() > 1) {
        QStringList others;
        for (std::size_t r = 1; r < runs_.size(); ++r)
            others << name(*runs_[r]);
        title += " compared with " + others.join(", ");
    }
    setWindowTitle(title + " – Korvane viewer");
}

void ViewerWindow::SetTimeAxis(bool on) {
    options_.TimeAxis = on;
    Along->Show(runs_, options_);
}

void ViewerWindow::SetAllPoints(bool on) {
    options_.AllPoints = on;
    Along->Show(runs_, options_);
}

void ViewerWindow::SetShowExact(bool on) {
    options_.ShowExact = on;
    Along->Show(runs_, options_);
    ShowProfile();
}

void ViewerWindow::OpenClick() {
    OpenFiles(services_.ChooseRunFiles(this, "Open a result or data file"));
}

void ViewerWindow::CompareClick() {
    const QStringList files = services_.ChooseRunFiles(this, "Compare with");
    if (runs_.empty())
        OpenFiles(files);
    else
        AddFiles(files);
}

void ViewerWindow::OpenWindowClick() {
    const QString path = services_.ChooseWindowFile(this, "Open a process window");
    if (!path.isEmpty())
        OpenWindow(path);
}

void ViewerWindow::OpenWindow(const QString& path) {
    WindowTab->Open(path);
    WindowChanged();
    Lower->setCurrentWidget(WindowTab);
}

void ViewerWindow::CloseWindowClick() {
    WindowTab->Close();
    WindowChanged();
}

void ViewerWindow::WindowChanged() {
    closeWindow_->setEnabled(WindowTab->IsOpen());
    WhatIf->SetWindowFile(WindowTab->FilePath());
    Optimise->SetWindowFile(WindowTab->FilePath());
    options_.Window = WindowTab->Judged();
    Along->Show(runs_, options_);
}

QString ViewerWindow::SaveName(const QString& title, const QString& filter, const QString& suffix) {
    if (runs_.empty())
        throw std::runtime_error("Open a result or data file first.");
    const QFileInfo first(RunPathText(runs_.front()->Path));
    return services_.ChooseSaveFile(this, title, filter,
                                    first.dir().filePath(first.completeBaseName() + suffix));
}

void ViewerWindow::ExportChart(const QString& title, const QString& filter, const QString& suffix,
                               ChartExporter exporter) {
    const QString path = SaveName(title, filter, suffix);
    const WaitCursor wait;
    if (!path.isEmpty() && !exporter(runs_, options_, path))
        throw std::runtime_error(path.toStdString() + " could not be written.");
}

void ViewerWindow::ExportPngClick() {
    ExportChart("Export chart as PNG", "PNG pictures (*.png)", ".png", ExportPng);
}

void ViewerWindow::ExportSvgClick() {
    ExportChart("Export chart as SVG", "SVG drawings (*.svg)", ".svg", ExportSvg);
}

void ViewerWindow::ExportPdfClick() {
    ExportChart("Export chart as PDF", "PDF documents (*.pdf)", ".pdf", ExportPdf);
}

void ViewerWindow::ExportCsvClick() {
    const QString path = SaveName("Export rows as CSV", "CSV tables (*.csv)", ".csv");
    if (path.isEmpty())
        return;
    const LoadedRun& first = *runs_.front();
    std::string error;
    if (!WriteWholeFile(QFile::encodeName(path).toStdString(), CsvText(first.Run, first.ExactRows),
                        error))
        throw std::runtime_error(path.toStdString() + ": " + error);
}

void ViewerWindow::PrintClick() {
    if (runs_.empty())
        throw std::runtime_error("Open a result or data file first.");
    QPrinter printer;
    printer.setPageOrientation(QPageLayout::Landscape);
    if (services_.RunPrintDialog(this, printer))
        PrintCharts(runs_, options_, printer);
}

} // namespace korvane
