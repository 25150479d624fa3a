#include "ProfileChart.h"

#include "RunPath.h"

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

constexpr int ExactSamples = 101;

QString Temperature(double t) {
    return std::isnan(t) ? QString("–") : QString::number(t, 'f', 1);
}

} // namespace

ProfileChart::ProfileChart(ErrorBox& errors, QWidget* parent) : ChartPlot(errors, parent) {
    setMinimumSize(360, 220);
    SetYRoom(0.08, 0.08, 1.0);
    ReadoutAt = [this](double depth) { return Reading(depth); };
}

QString ProfileChart::PositionText(const LoadedRun& run, std::size_t flatRow) {
    const auto [zone, row] = run.RowAt(flatRow);
    const double zLine = run.ZLineOf(zone, row);
    return QString("%1 cm along the line (zone %2, z = %3 cm), %4 s")
        .arg(zLine, 0, 'f', 2)
        .arg(run.Run.Zones[zone].ZoneNo)
        .arg(run.Run.Zones[zone].Rows[row].Z, 0, 'f', 2)
        .arg(zLine / run.CmPerSec, 0, 'g', 4);
}

QCPGraph* ProfileChart::Points(std::size_t run) const {
    return run < points_.size() ? points_[run] : nullptr;
}

QCPGraph* ProfileChart::Exact() const {
    return exact_;
}

void ProfileChart::Show(const RunList& runs, const ChartOptions& options) {
    // Another position on the same run keeps a zoom into the thickness.
    const bool sameRun = !runs_.empty() && !runs.empty() && runs_.front() == runs.front();
    runs_ = runs;
    Clear();
    points_.clear();
    nodes_.clear();
    exact_ = nullptr;
    if (runs.empty() || runs.front()->RowCount() == 0) {
        SetTitle({});
        SetAxisTitles({}, {});
        replot();
        return;
    }

    const LoadedRun& first = *runs.front();
    const std::size_t picked = std::min(options.PickedRow, first.RowCount() - 1);
    const auto [zone, row] = first.RowAt(picked);
    const double zLine = first.ZLineOf(zone, row);
    SetTitle("Through the thickness at " + PositionText(first, picked));
    SetAxisTitles("Depth from face 1 (cm)", "Temperature (℃)");

    for (std::size_t r = 0; r < runs.size(); ++r) {
        const LoadedRun& run = *runs[r];
        nodes_.push_back(nullptr);
        points_.push_back(nullptr);
        if (run.RowCount() == 0)
            continue;
        const auto [z, i] = run.RowAt(r == 0 ? picked : NearestRow(run, zLine));
        const HistoryRow& at = run.Run.Zones[z].Rows[i];
        if (!at.Nodes.empty()) { // computed runs know every node
            QVector<double> x, t;
            const double dx = run.Run.Input.Thickness / (static_cast<double>(at.Nodes.size()) - 1);
            for (std::size_t n = 0; n < at.Nodes.size(); ++n) {
                x.push_back(dx * static_cast<double>(n));
                t.push_back(at.Nodes[n]);
            }
            const QPen pen = r == 0 ? CurvePen(QColor(120, 120, 120), CurveKind::Scheme, 1.5)
                                    : CurvePen(RunColour(r), CurveKind::Compared, 1.5);
            nodes_.back() = AddCurve("nodes", r == 0 ? "scheme, every node" : QString(), pen);
            nodes_.back()->setData(x, t, true);
        }
        QVector<double> x, t;
        for (std::size_t k = 0; k < 11; ++k) {
            x.push_back(run.Depths[k]);
            t.push_back(at.Points[k]);
        }
        points_.back() =
            AddCurve("points",
                     runs.size() == 1 ? QString("scheme T1…T11")
                                      : QString("run %1: %2").arg(r + 1).arg(RunFileName(run.Path)),
                     Qt::NoPen, RunMarker(r, RunColour(r), r == 0 ? 8 : 8.5));
        points_.back()->setLineStyle(QCPGraph::lsNone);
        points_.back()->setData(x, t, true);
    }
    if (options.ShowExact && zone < first.SolvedZones()) {
        QVector<double> x, t;
        const double h = first.Run.Input.Thickness;
        const double time = first.Run.Zones[zone].Rows[row].Z / first.CmPerSec;
        for (int i = 0; i < ExactSamples; ++i) {
            x.push_back(h * i / (ExactSamples - 1));
            t.push_back(first.Exact->Temperature(zone, x.back(), time));
        }
        exact_ = AddCurve("exact", "exact solution",
                          CurvePen(QColor(31, 119, 180), CurveKind::Exact, 2.2));
        exact_->setData(x, t, true);
    }
    // A little room beyond the faces, so that their points show whole.
    const double h = first.Run.Input.Thickness;
    SetHome(-0.015 * h, 1.015 * h, sameRun);
    replot();
}

// Each run's temperature at the depth under the cursor: between its nodes
// where it has them, else between its printed points.
std::optional<ChartPlot::Readout> ProfileChart::Reading(double depth) const {
    if (points_.empty() || !points_.front())
        return std::nullopt;
    std::vector<QStringList> table{{QString("%1 cm deep").arg(depth, 0, 'g', 3), "℃"}};
    for (std::size_t r = 0; r < points_.size(); ++r) {
        const QCPGraph* graph = nodes_[r] ? nodes_[r] : points_[r];
        if (graph)
            table.push_back({points_.size() == 1 ? QString("scheme") : QString("run %1").arg(r + 1),
                             Temperature(CurveValue(*graph, depth))});
    }
    if (exact_)
        table.push_back({"exact", Temperature(CurveValue(*exact_, depth))});
    return Readout{depth, TextTable(table)};
}

} // namespace korvane
