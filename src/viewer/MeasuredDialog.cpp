#include "MeasuredDialog.h"

#include "AppLook.h"

#include "RunExport.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

namespace korvane {

namespace {

// Values shown of each column, from the top of the data.
constexpr std::size_t PreviewRows = 4;

enum DepthChoice { NotUsed, Face1, Face2, Centre, Mean, Cm };

QString DelimiterName(char delimiter) {
    return delimiter == '\t' ? "tabs" : delimiter == ';' ? "semicolons" : "commas";
}

} // namespace

MeasuredDialog::MeasuredDialog(const LoggerTable& table, const MeasuredRequest& guess,
                               QWidget* parent)
    : QDialog(parent), table_(table), guess_(guess) {
    setWindowTitle("Add a measured profile");
    resize(720, 480);
    auto* layout = new QVBoxLayout(this);
    const QString header = table.HeaderLine > 0
                               ? QString("the header in line %1").arg(table.HeaderLine)
                               : QString("no header row");
    auto* read = new QLabel(QString("<b>%1</b>: %2, %3 between fields, \"%4\" as decimal "
                                    "symbol, %5, %6 lines of values.")
                                .arg(QFileInfo(QString::fromStdString(table.File)).fileName(),
                                     QString::fromStdString(table.Encoding),
                                     DelimiterName(table.Delimiter), QString(table.Decimal), header)
                                .arg(table.Rows.size()));
    read->setWordWrap(true);
    layout->addWidget(read);

    auto* form = new QFormLayout;
    TimeColumn = new QComboBox;
    for (std::size_t c = 1; c <= table.Columns; ++c)
        TimeColumn->addItem(
            QString("%1: %2").arg(c).arg(QString::fromStdString(table.ColumnName(c))));
    std::size_t timeColumn = 1;
    if (!guess.TimeColumn.empty())
        try {
            timeColumn = FindColumn(table, guess.TimeColumn);
        } catch (const MeasuredError&) {
        }
    TimeColumn->setCurrentIndex(static_cast<int>(timeColumn) - 1);
    form->addRow("Time column", TimeColumn);
    Unit = new QComboBox;
    Unit->addItems({"From each column's header (℉ where it says °F)", "℃", "℉"});
    Unit->setCurrentIndex(!guess.Unit ? 0 : *guess.Unit == TemperatureUnit::Celsius ? 1 : 2);
    form->addRow("Temperatures in", Unit);
    Start = new QLineEdit(QString::fromStdString(ShortestNumber(guess.Start)));
    Start->setToolTip("Seconds (\".\" or \",\" as decimal symbol), mm:ss or hh:mm:ss");
    form->addRow("Logger's time at zone 1's entry", Start);
    layout->addLayout(form);

    Columns = new QTableWidget(static_cast<int>(table.Columns), 4);
    Columns->setHorizontalHeaderLabels({"Column", "First values", "Thermocouple", "Depth (cm)"});
    Columns->verticalHeader()->hide();
    Columns->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    for (std::size_t c = 1; c <= table.Columns; ++c) {
        const int row = static_cast<int>(c) - 1;
        Columns->setItem(row, 0,
                         new QTableWidgetItem(QString("%1: %2").arg(c).arg(
                             QString::fromStdString(table.ColumnName(c)))));
        QStringList values;
        for (std::size_t r = 0; r < table.Rows.size() && r < PreviewRows; ++r)
            values << (c <= table.Rows[r].Cells.size()
                           ? QString::fromStdString(table.Rows[r].Cells[c - 1])
                           : QString());
        Columns->setItem(row, 1, new QTableWidgetItem(values.join("  ")));
        for (int k = 0; k < 2; ++k)
            Columns->item(row, k)->setFlags(Qt::ItemIsEnabled);
        auto* depth = new QComboBox;
        depth->addItems({"—", "face 1", "face 2", "centre", "mean", "depth from face 1"});
        auto* cm = new QDoubleSpinBox;
        cm->setDecimals(4);
        cm->setRange(0, 1000);
        cm->setSingleStep(0.01);
        cm->setEnabled(false);
        connect(depth, &QComboBox::currentIndexChanged, cm,
                [cm](int index) { cm->setEnabled(index == Cm); });
        Columns->setCellWidget(row, 2, depth);
        Columns->setCellWidget(row, 3, cm);
        depths_.push_back(depth);
        cms_.push_back(cm);
    }
    for (const auto& channel : guess.Channels) {
        std::size_t column = 0;
        try {
            column = FindColumn(table, channel.Column);
        } catch (const MeasuredError&) {
            continue;
        }
        QComboBox* depth = depths_[column - 1];
        switch (channel.Depth.Where) {
        case ChannelDepth::Kind::Face1:
            depth->setCurrentIndex(Face1);
            break;
        case ChannelDepth::Kind::Face2:
            depth->setCurrentIndex(Face2);
            break;
        case ChannelDepth::Kind::Centre:
            depth->setCurrentIndex(Centre);
            break;
        case ChannelDepth::Kind::Mean:
            depth->setCurrentIndex(Mean);
            break;
        case ChannelDepth::Kind::Cm:
            depth->setCurrentIndex(Cm);
            cms_[column - 1]->setValue(channel.Depth.Cm);
            break;
        }
    }
    layout->addWidget(Columns, 1);
    Message = new QLabel;
    Message->setStyleSheet("color: #a00000;");
    layout->addWidget(Message);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    // Qt writes ℃ only where the font has it.
    for (int i = 0; i < Unit->count(); ++i)
        Unit->setItemText(i, CelsiusShown(Unit->itemText(i)));
}

QComboBox* MeasuredDialog::DepthOf(int column) const {
    return depths_.at(static_cast<std::size_t>(column - 1));
}

QDoubleSpinBox* MeasuredDialog::CmOf(int column) const {
    return cms_.at(static_cast<std::size_t>(column - 1));
}

MeasuredRequest MeasuredDialog::Request() const {
    MeasuredRequest request;
    request.File = table_.File;
    request.TimeColumn = std::to_string(TimeColumn->currentIndex() + 1);
    if (Unit->currentIndex() > 0)
        request.Unit =
            Unit->currentIndex() == 1 ? TemperatureUnit::Celsius : TemperatureUnit::Fahrenheit;
    QString start = Start->text().trimmed();
    if (!start.contains(':'))
        start.replace(',', '.');
    request.Start = ParseStartTime(start.toStdString()).value_or(guess_.Start);
    for (std::size_t c = 0; c < depths_.size(); ++c) {
        ChannelDepth depth;
        switch (depths_[c]->currentIndex()) {
        case Face1:
            depth.Where = ChannelDepth::Kind::Face1;
            break;
        case Face2:
            depth.Where = ChannelDepth::Kind::Face2;
            break;
        case Centre:
            depth.Where = ChannelDepth::Kind::Centre;
            break;
        case Mean:
            depth.Where = ChannelDepth::Kind::Mean;
            break;
        case Cm:
            depth = {ChannelDepth::Kind::Cm, cms_[c]->value()};
            break;
        default:
            continue;
        }
        if (static_cast<int>(c) == TimeColumn->currentIndex())
            continue;
        request.Channels.push_back({std::to_string(c + 1), depth});
    }
    return request;
}

QString MeasuredDialog::Problem() const {
    QString start = Start->text().trimmed();
    if (!start.contains(':'))
        start.replace(',', '.');
    if (!ParseStartTime(start.toStdString()))
        return "The logger's time at zone 1's entry is no time: give seconds, mm:ss or hh:mm:ss.";
    if (Request().Channels.empty())
        return "Give at least one column a thermocouple's depth.";
    return {};
}

void MeasuredDialog::accept() {
    const QString problem = Problem();
    Message->setText(problem);
    if (problem.isEmpty())
        QDialog::accept();
}

} // namespace korvane
