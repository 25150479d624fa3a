#include "MeasuredTable.h"

#include "AppLook.h"

#include "RunPath.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace korvane {

namespace {

QString Number(double value, int decimals) {
    return std::isfinite(value) ? QString::number(value, 'f', decimals) : QString("–");
}

QString Pair(const Difference& d) {
    if (d.Samples == 0)
        return "–";
    return Number(d.Rms, 2) + " / " + (d.Max > 0 ? "+" : "") + Number(d.Max, 2);
}

QString DepthName(const ChannelDepth& depth) {
    switch (depth.Where) {
    case ChannelDepth::Kind::Face1:
        return "face 1";
    case ChannelDepth::Kind::Face2:
        return "face 2";
    case ChannelDepth::Kind::Centre:
        return "centre";
    case ChannelDepth::Kind::Mean:
        return "mean";
    case ChannelDepth::Kind::Cm:
        break;
    }
    return QString("%1 cm").arg(depth.Cm, 0, 'g', 6);
}

} // namespace

MeasuredTable::MeasuredTable(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    Summary = new QLabel;
    Summary->setWordWrap(true);
    Summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Table = new QTableWidget;
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->setSelectionMode(QAbstractItemView::NoSelection);
    Table->setAlternatingRowColors(true);
    Table->verticalHeader()->hide();
    Table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(Summary);
    layout->addWidget(Table, 1);
    Show(nullptr, {}, {});
}

void MeasuredTable::Show(const MeasuredProfile* profile, const RunList& runs,
                         const std::vector<ProfileComparison>& comparisons) {
    Table->clear();
    Table->setRowCount(0);
    QStringList heads{"Channel", "Depth", "Zone", "Samples"};
    const std::size_t shown = std::min(runs.size(), comparisons.size());
    for (std::size_t r = 0; r < shown; ++r) {
        const QString run = QString("run %1: %2").arg(r + 1).arg(RunFileName(runs[r]->Path));
        heads << CelsiusShown(run + "\nmeasured − scheme ℃")
              << CelsiusShown(run + "\nmeasured − exact ℃");
    }
    Table->setColumnCount(static_cast<int>(heads.size()));
    Table->setHorizontalHeaderLabels(heads);
    if (!profile || shown == 0) {
        Summary->setText("File ▸ Add measured profile… reads a logger's export (text or CSV) and "
                         "holds it against the runs shown; the Calibrate tab then fits the "
                         "inputs to it.");
        return;
    }
    const ProfileComparison& first = comparisons.front();
    std::size_t before = 0, after = 0;
    bool fahrenheit = false;
    for (const auto& c : first.Channels) {
        before = std::max(before, c.BeforeLine);
        after = std::max(after, c.AfterLine);
        fahrenheit = fahrenheit || c.Channel->Unit == TemperatureUnit::Fahrenheit;
    }
    Summary->setText(CelsiusShown(
        QString("<b>%1</b>: %2 channel(s)%3; the plate entered zone 1 at the logger's %4 s%5. "
                "Samples before zone 1 (up to %6 a channel) and after the line (up to %7) are "
                "not compared. Each cell: RMS / largest difference; positive where the "
                "measurement is warmer.")
            .arg(QFileInfo(QString::fromStdString(profile->File)).fileName())
            .arg(profile->Channels.size())
            .arg(fahrenheit ? QString(", read in ℉ and shown in ℃") : QString())
            .arg(first.Start, 0, 'f', 2)
            .arg(first.Lag > 0
                     ? QString(", through a thermocouple lag of %1 s").arg(first.Lag, 0, 'f', 2)
                     : QString())
            .arg(before)
            .arg(after)));
    const auto add = [&](QStringList cells, bool bold) {
        const int row = Table->rowCount();
        Table->insertRow(row);
        for (int k = 0; k < cells.size(); ++k) {
            auto* item = new QTableWidgetItem(cells[k]);
            item->setTextAlignment((k >= 3 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
            if (bold) {
                QFont font = item->font();
                font.setBold(true);
                item->setFont(font);
            }
            Table->setItem(row, k, item);
        }
    };
    // A cell of another run names its sample count where it differs (another speed).
    const auto cell = [](const Difference& d, std::size_t samples) {
        QString text = Pair(d);
        if (d.Samples != samples && d.Samples > 0)
            text += QString(" (%1)").arg(d.Samples);
        return text;
    };
    for (std::size_t c = 0; c < first.Channels.size(); ++c) {
        const MeasuredChannel& channel = *first.Channels[c].Channel;
        const QString name = QString::fromStdString(channel.Name);
        const QString depth = DepthName(channel.Depth);
        const std::size_t zones = first.Channels[c].Zones.size();
        for (std::size_t z = 0; z <= zones; ++z) {
            const bool line = z == zones;
            const Difference& base =
                line ? first.Channels[c].Scheme : first.Channels[c].Zones[z].Scheme;
            QStringList cells{name, depth,
                              line ? QString("line")
                                   : QString::number(first.Channels[c].Zones[z].ZoneNo),
                              QString::number(base.Samples)};
            for (std::size_t r = 0; r < shown; ++r) {
                const ChannelComparison& cc = comparisons[r].Channels[c];
                const bool has = line || z < cc.Zones.size();
                cells << (has ? cell(line ? cc.Scheme : cc.Zones[z].Scheme, base.Samples) : "–")
                      << (has ? cell(line ? cc.Exact : cc.Zones[z].Exact, base.Samples) : "–");
            }
            add(cells, line);
        }
    }
}

} // namespace korvane
