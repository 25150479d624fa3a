#include "BatchJob.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QProcess>
#include <QTableWidget>

namespace korvane {

BatchJob::BatchJob(QObject* parent) : QObject(parent) {}

BatchJob::~BatchJob() {
    if (process_) {
        process_->disconnect(this);
        process_->kill();
        process_->waitForFinished(2000);
    }
}

QString BatchJob::FreshFile(const QString& base) {
    if (!dir_ || !dir_->isValid())
        dir_ = std::make_unique<QTemporaryDir>();
    QString path;
    int n = 1;
    do
        path = QDir(dir_->path()).filePath(base + (n > 1 ? QString::number(n) : "") + ".txt");
    while (QFile::exists(path) && ++n);
    return path;
}

void BatchJob::Start(const QString& program, const QStringList& args) {
    delete process_;
    process_ = new QProcess(this);
    QProcess* process = process_;
    connect(process, &QProcess::readyReadStandardError, this, [this, process] {
        if (process == process_ && OnStandardError)
            OnStandardError();
    });
    connect(process, &QProcess::finished, this, [this, process](int code, QProcess::ExitStatus s) {
        if (process == process_ && OnFinished)
            OnFinished(code, s != QProcess::NormalExit);
    });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart && process == process_ && OnFinished)
            OnFinished(-1, true);
    });
    elapsed_.start();
    process->start(program, args);
}

void BatchJob::Cancel() {
    if (!Busy())
        return;
    QProcess* process = process_;
    process_ = nullptr; // its result is no longer wanted
    process->kill();
    process->waitForFinished(2000);
    process->deleteLater();
}

bool BatchJob::Busy() const {
    return process_ && process_->state() != QProcess::NotRunning;
}

QTableWidget* BoundsTable(const QString& nameHeader) {
    auto* table = new QTableWidget(0, 4);
    table->setHorizontalHeaderLabels({nameHeader, "Data file", "From", "To"});
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

QComboBox* ModelChoice(const QString& toolTip) {
    auto* model = new QComboBox;
    model->addItem("the exact solution", "exact");
    model->addItem("the scheme at the data file's grid", "scheme");
    model->setToolTip(toolTip);
    return model;
}

QLabel* AnswerLabel() {
    auto* label = new QLabel;
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    return label;
}

} // namespace korvane
