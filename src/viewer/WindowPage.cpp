#include "WindowPage.h"

#include "AppLook.h"

#include "RunPath.h"
#include "WindowText.h"

#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>
#include <stdexcept>

namespace korvane {

namespace {

using enum WindowPage::Column;

const char* const Heads[Columns] = {"Limit",         "Metric",        "Range",
                                    "Scheme\nvalue", "Scheme\nindex", "Scheme",
                                    "Exact\nvalue",  "Exact\nindex",  "Exact"};

QTableWidgetItem* Cell(const QString& text, Qt::Alignment align = Qt::AlignLeft) {
    auto* item = new QTableWidgetItem(CelsiusShown(text));
    item->setTextAlignment(align | Qt::AlignVCenter);
    return item;
}

QTableWidgetItem* NumberCell(const QString& text, double value) {
    QTableWidgetItem* item = Cell(text, Qt::AlignRight);
    item->setData(Qt::UserRole, value);
    return item;
}

// The word says it; the colour only helps.
QTableWidgetItem* VerdictCell(bool pass, const QString& text) {
    QTableWidgetItem* item = Cell(text, Qt::AlignHCenter);
    item->setData(Qt::UserRole, pass);
    item->setBackground(pass ? QColor(214, 240, 220) : QColor(250, 214, 210));
    item->setForeground(pass ? QColor(20, 90, 40) : QColor(150, 20, 15));
    if (!pass) {
        QFont bold = item->font();
        bold.setBold(true);
        item->setFont(bold);
    }
    return item;
}

QString RunVerdict(const WindowResult& result) {
    if (std::isnan(result.Pwi))
        return "FAIL (a limit has no value)";
    return result.Pass ? "pass" : "FAIL";
}

} // namespace

WindowPage::WindowPage(QWidget* parent) : QWidget(parent) {
    Summary = new QLabel;
    Summary->setWordWrap(true);
    Summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Table = new QTableWidget;
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->setSelectionMode(QAbstractItemView::NoSelection);
    Table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Table->horizontalHeader()->setStretchLastSection(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addWidget(Summary);
    layout->addWidget(Table, 1);
    ShowJudged();
}

void WindowPage::Open(const QString& path) {
    auto opened = OpenWindowFile(QFile::encodeName(path).toStdString());
    if (auto* message = std::get_if<std::string>(&opened))
        throw std::runtime_error(*message);
    file_ = std::get<std::shared_ptr<const WindowFile>>(opened);
    Judge();
}

void WindowPage::Close() {
    file_.reset();
    Judge();
}

QString WindowPage::FilePath() const {
    return file_ ? RunPathText(file_->Path) : QString();
}

void WindowPage::SetRun(std::shared_ptr<const LoadedRun> run) {
    if (run == run_)
        return;
    run_ = std::move(run);
    Judge();
}

// On this thread: the cure oven's window on the largest run takes about
// 10 ms (korvane_chart_bench Window/judge).
void WindowPage::Judge() {
    judged_.reset();
    if (file_ && run_)
        judged_ = std::make_shared<const JudgedWindow>(JudgeWindow(run_->Run, file_));
    ShowJudged();
}

void WindowPage::ShowJudged() {
    Table->clear();
    Table->setColumnCount(Columns);
    QStringList heads;
    for (const char* head : Heads)
        heads << head;
    Table->setHorizontalHeaderLabels(heads);
    Table->setRowCount(0);
    if (!file_) {
        Summary->setText("No process window is open. File ▸ Open process window… reads one: a "
                         "JSON file of limits on metrics of the run, as korvane-batch --window "
                         "takes.");
        return;
    }
    const ProcessWindow& window = file_->Window;
    const QString name =
        (window.Name.empty() ? QString("Process window")
                             : "Process window “" + QString::fromStdString(window.Name) + "”") +
        " (" + RunFileName(file_->Path) + ")";
    if (!judged_) {
        Summary->setText("<b>" + name.toHtmlEscaped() + "</b>: open a run to judge it.");
        return;
    }
    const auto side = [](const char* what, const WindowResult& result) {
        return QString("%1: index %2, <b>%3</b>")
            .arg(what, WindowIndex(result.Pwi), RunVerdict(result).toHtmlEscaped());
    };
    QString text =
        "<b>" + name.toHtmlEscaped() + "</b> on " + RunFileName(run_->Path).toHtmlEscaped() + ". " +
        side("Scheme", judged_->Scheme) + "; " + side("exact solution", judged_->Exact) + ".";
    if (!judged_->ExactProblem.empty())
        text += " The exact solution has no values here: " +
                QString::fromStdString(judged_->ExactProblem).toHtmlEscaped() + ".";
    text += "<br>A limit's index is 0 in the middle of its range and 100 on either bound; the "
            "run's index is the largest, and the run passes when every limit is within its "
            "bounds.";
    if (run_->FromResultFile)
        text += " A result file is judged on its printed rows (0.1 ℃, and no nodes: z[…] has "
                "no value on the scheme's side).";
    Summary->setText(CelsiusShown(text));

    const int limits = static_cast<int>(window.Limits.size());
    Table->setRowCount(limits + 1);
    QStringList rows;
    for (int i = 0; i < limits; ++i) {
        const WindowLimit& limit = window.Limits[static_cast<std::size_t>(i)];
        const auto result = [&](const WindowResult& of) {
            return static_cast<std::size_t>(i) < of.Limits.size()
                       ? of.Limits[static_cast<std::size_t>(i)]
                       : LimitResult{};
        };
        const LimitResult scheme = result(judged_->Scheme), exact = result(judged_->Exact);
        rows << QString::number(i + 1);
        Table->setItem(i, LimitColumn, Cell(limit.Label.empty() ? QString() : LimitName(limit)));
        Table->setItem(i, MetricColumn, Cell(QString::fromStdString(limit.Metric)));
        Table->setItem(i, RangeColumn, Cell(LimitRange(limit), Qt::AlignRight));
        Table->setItem(i, SchemeValue, NumberCell(WindowValue(scheme.Value), scheme.Value));
        Table->setItem(i, SchemeIndex, NumberCell(WindowIndex(scheme.Index), scheme.Index));
        Table->setItem(i, SchemeVerdict, VerdictCell(scheme.Pass, Verdict(scheme)));
        Table->setItem(i, ExactValue, NumberCell(WindowValue(exact.Value), exact.Value));
        Table->setItem(i, ExactIndex, NumberCell(WindowIndex(exact.Index), exact.Index));
        Table->setItem(i, ExactVerdict, VerdictCell(exact.Pass, Verdict(exact)));
    }
    rows << "Run";
    Table->setItem(limits, LimitColumn, Cell("the run's index (PWI)"));
    Table->setItem(limits, MetricColumn, Cell("window.pwi / window.exact.pwi"));
    Table->setItem(limits, RangeColumn, Cell("0–100", Qt::AlignRight));
    Table->setItem(limits, SchemeIndex,
                   NumberCell(WindowIndex(judged_->Scheme.Pwi), judged_->Scheme.Pwi));
    Table->setItem(limits, SchemeVerdict,
                   VerdictCell(judged_->Scheme.Pass, RunVerdict(judged_->Scheme)));
    Table->setItem(limits, ExactIndex,
                   NumberCell(WindowIndex(judged_->Exact.Pwi), judged_->Exact.Pwi));
    Table->setItem(limits, ExactVerdict,
                   VerdictCell(judged_->Exact.Pass, RunVerdict(judged_->Exact)));
    for (int c = 0; c < Columns; ++c) {
        QTableWidgetItem* item = Table->item(limits, c);
        if (!item)
            Table->setItem(limits, c, item = Cell({}));
        QFont bold = item->font();
        bold.setBold(true);
        item->setFont(bold);
    }
    Table->setVerticalHeaderLabels(rows);
}

} // namespace korvane
