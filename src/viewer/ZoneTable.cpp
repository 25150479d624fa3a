#include "ZoneTable.h"

#include "AppLook.h"

#include <QHeaderView>

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

// A file may hold temperatures of 1e300 ℃: beyond ten million, six digits
// and a power of ten, never a row of three hundred digits.
QString Number(double value, int decimals) {
    if (!std::isfinite(value))
        return "–";
    return std::abs(value) < 1e7 ? QString::number(value, 'f', decimals)
                                 : QString::number(value, 'g', 6);
}

QString Exponent(double value) {
    return std::isfinite(value) ? QString::number(value, 'g', 3) : QString("–");
}

QString At(const ValueAt& v) {
    return Number(v.Value, 1) + " at " + Number(v.Z, 2);
}

struct Column {
    const char* head;
    QString (*cell)(const ZoneMetrics&);
};

const Column Columns[] = {
    {"Rows", [](const ZoneMetrics& m) { return QString::number(m.Rows); }},
    {"Time in\nzone (s)", [](const ZoneMetrics& m) { return Exponent(m.ResidenceS); }},
    {"Exit, scheme ℃\nT1 / T6 / T11 / TAV",
     [](const ZoneMetrics& m) {
         return Number(m.Exit.T1, 1) + " / " + Number(m.Exit.T6, 1) + " / " +
                Number(m.Exit.T11, 1) + " / " + Number(m.Exit.TAV, 1);
     }},
    {"Exit, exact ℃\nT1 / T6 / T11 / TAV",
     [](const ZoneMetrics& m) {
         if (!m.Exact)
             return QString("no exact solution");
         const FourValues& e = m.Exact->Exit;
         return Number(e.T1, 1) + " / " + Number(e.T6, 1) + " / " + Number(e.T11, 1) + " / " +
                Number(e.TAV, 1);
     }},
    {"|Scheme − exact| up to ℃\nfaces / inside / mean",
     [](const ZoneMetrics& m) {
         if (!m.Exact)
             return QString("–");
         return Number(m.Exact->MaxErrorFaces, 1) + " / " + Number(m.Exact->MaxErrorInterior, 1) +
                " / " + Number(m.Exact->MaxErrorMean, 1);
     }},
    {"Highest ℃\nat z (cm)", [](const ZoneMetrics& m) { return At(m.Peak); }},
    {"Lowest ℃\nat z (cm)", [](const ZoneMetrics& m) { return At(m.Low); }},
    {"Largest ΔT through\nthickness ℃ at z (cm)",
     [](const ZoneMetrics& m) { return At(m.MaxDifference); }},
    {"Fastest rise / fall\nof the mean ℃/s",
     [](const ZoneMetrics& m) {
         return Exponent(m.MaxHeatingRate) + " / " + Exponent(m.MaxCoolingRate);
     }},
    {"Entry ℃\nT1 / T6 / T11 / TAV",
     [](const ZoneMetrics& m) {
         return Number(m.Entry.T1, 1) + " / " + Number(m.Entry.T6, 1) + " / " +
                Number(m.Entry.T11, 1) + " / " + Number(m.Entry.TAV, 1);
     }},
    {"Biot\nface 1 / 2",
     [](const ZoneMetrics& m) { return Exponent(m.Biot[0]) + " / " + Exponent(m.Biot[1]); }},
    {"Mesh\nFourier", [](const ZoneMetrics& m) { return Exponent(m.MeshFourier); }},
};

} // namespace

ZoneTable::ZoneTable(QWidget* parent) : QTableWidget(parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setAlternatingRowColors(true);
    verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

void ZoneTable::Show(const LoadedRun* run) {
    clear();
    const int columns = static_cast<int>(std::size(Columns));
    setColumnCount(columns);
    QStringList heads;
    for (const Column& column : Columns)
        heads << CelsiusShown(column.head);
    setHorizontalHeaderLabels(heads);
    setRowCount(run ? static_cast<int>(run->Metrics.size()) : 0);
    if (!run)
        return;
    QStringList zones;
    for (int row = 0; row < rowCount(); ++row) {
        const ZoneMetrics& m = run->Metrics[static_cast<std::size_t>(row)];
        zones << QString("Zone %1").arg(m.ZoneNo);
        for (int column = 0; column < columns; ++column) {
            auto* item = new QTableWidgetItem(Columns[column].cell(m));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            setItem(row, column, item);
        }
    }
    setVerticalHeaderLabels(zones);
}

QString DistanceSentence(const LoadedRun& run) {
    double faces = 0, inside = 0, mean = 0;
    int solved = 0;
    for (const ZoneMetrics& m : run.Metrics)
        if (m.Exact) {
            ++solved;
            faces = std::max(faces, m.Exact->MaxErrorFaces);
            inside = std::max(inside, m.Exact->MaxErrorInterior);
            mean = std::max(mean, m.Exact->MaxErrorMean);
        }
    const TCalcInput& in = run.Run.Input;
    QString text;
    const QString settings =
        QString("At %1 layers and Δz = %2 cm").arg(in.LayerCount).arg(in.DeltaZ, 0, 'g', 6);
    if (solved == 0) {
        text = settings + " there is no exact solution to compare with (a zone has a negative "
                          "heat transfer coefficient, or the inputs are not a plate's).";
        return text;
    }
    text = settings + QString(", the scheme's temperatures are up to %1 ℃ from the exact "
                              "solution at the faces, %2 ℃ inside the plate and %3 ℃ for "
                              "the mean")
                          .arg(Number(faces, 1), Number(inside, 1), Number(mean, 1));
    if (solved < static_cast<int>(run.Metrics.size()))
        text += QString(" (zones 1 to %1; from zone %2 on a negative heat transfer coefficient "
                        "leaves no exact solution)")
                    .arg(solved)
                    .arg(solved + 1);
    text += ". More layers and a smaller Δz bring the scheme closer to it.";
    if (run.FromResultFile)
        text += " The file prints 0.1 ℃, so distances below 0.05 ℃ do not show.";
    return text;
}

} // namespace korvane
