#include "AlongLineChart.h"

#include "AppLook.h"

#include "Palette.h"
#include "ProfileComparison.h"
#include "RunPath.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

constexpr std::size_t MeanCurve = 11;
// Markers on another run's line, at about this many over the visible part.
constexpr int MarkersPerCurve = 28;

std::vector<std::size_t> ShownCurves(bool allPoints) {
    std::vector<std::size_t> curves;
    for (std::size_t k = 0; k < 11; ++k)
        if (allPoints || k == 0 || k == 5 || k == 10)
            curves.push_back(k);
    curves.push_back(MeanCurve);
    return curves;
}

bool IsMainCurve(std::size_t curve) {
    return curve == 0 || curve == 5 || curve == 10 || curve == MeanCurve;
}

QColor CurveColour(std::size_t curve) {
    return curve == MeanCurve ? MeanColour() : PointColour(curve);
}

QString CurveName(std::size_t curve, int layerCount) {
    return curve == MeanCurve ? QString("TAV mean") : PointName(curve, layerCount);
}

double CurveWidth(std::size_t curve) {
    return IsMainCurve(curve) ? 2.0 : 1.0;
}

// The x of a position along the line: cm, or seconds at the run's speed.
double XOf(const LoadedRun& run, double zLine, bool timeAxis) {
    return timeAxis ? zLine / run.CmPerSec : zLine;
}

QString Temperature(double t) {
    return std::isnan(t) ? QString("–") : QString::number(t, 'f', 1);
}

// A measured channel in the colour of the curve at its depth.
QColor DepthColour(const ChannelDepth& depth, double thickness) {
    switch (depth.Where) {
    case ChannelDepth::Kind::Face1:
        return PointColour(0);
    case ChannelDepth::Kind::Face2:
        return PointColour(10);
    case ChannelDepth::Kind::Centre:
        return PointColour(5);
    case ChannelDepth::Kind::Mean:
        return MeanColour();
    case ChannelDepth::Kind::Cm:
        break;
    }
    const double f = thickness > 0 ? std::clamp(depth.Cm / thickness, 0.0, 1.0) : 0;
    return PointColour(static_cast<std::size_t>(std::lround(f * 10)));
}

QString DepthWords(const ChannelDepth& depth) {
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

AlongLineChart::AlongLineChart(ErrorBox& errors, QWidget* parent) : ChartPlot(errors, parent) {
    setMinimumSize(480, 280);
    SetYRoom(0.04, 0.22, 1.0); // room above the curves for the zone labels
    OnLayout = [this] {
        PlaceZoneLabels();
        window_.PlaceLabels(*this);
        ThinMarkers();
    };
    OnClick = [this](double x) {
        if (runs_.empty() || !OnPick)
            return;
        const LoadedRun& first = *runs_.front();
        OnPick(NearestRow(first, options_.TimeAxis ? x * first.CmPerSec : x));
    };
    ReadoutAt = [this](double x) { return Reading(x); };
}

QCPGraph* AlongLineChart::SchemeCurve(const QString& name) const {
    return Curve("scheme", name);
}

QCPGraph* AlongLineChart::ExactCurve(const QString& name) const {
    return Curve("exact", name);
}

void AlongLineChart::Show(const RunList& runs, const ChartOptions& options) {
    // A view toggle on the same run keeps the zoom; the time axis changes x.
    const bool sameX = !runs_.empty() && !runs.empty() && runs_.front() == runs.front() &&
                       options_.TimeAxis == options.TimeAxis;
    runs_ = runs;
    options_ = options;
    Clear();
    window_.Reset();
    bands_.clear();
    runCurves_.clear();
    exactCurves_.clear();
    measured_.clear();
    picked_ = nullptr;
    if (runs.empty()) {
        SetTitle({});
        SetAxisTitles({}, {});
        replot();
        return;
    }
    const LoadedRun& first = *runs.front();
    SetTitle("Temperature along the line: " + RunFileName(first.Path));
    SetAxisTitles(options.TimeAxis ? "Time since entering zone 1 (s)"
                                   : "Position along the line (cm)",
                  "Temperature (℃)");
    AddBands(first, options.TimeAxis ? 1 / first.CmPerSec : 1.0);
    window_.Draw(*this, options, first, options.TimeAxis ? 1 / first.CmPerSec : 1.0);

    shown_ = ShownCurves(options.AllPoints);
    // The points between the faces first, so that the faces and the mean lie on top.
    std::vector<std::size_t> order;
    for (bool main : {false, true})
        for (std::size_t c = 0; c < shown_.size(); ++c)
            if (IsMainCurve(shown_[c]) == main)
                order.push_back(c);
    double end = 0;
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const LoadedRun& run = *runs[r];
        runCurves_.emplace_back(shown_.size(), nullptr);
        QVector<double> x;
        for (std::size_t zone = 0; zone < run.Run.Zones.size(); ++zone)
            for (const HistoryRow& row : run.Run.Zones[zone].Rows)
                x.push_back(XOf(run, run.ZoneStarts[zone] + row.Z, options.TimeAxis));
        if (!x.isEmpty())
            end = std::max(end, x.back());
        for (std::size_t c : order) {
            const std::size_t curve = shown_[c];
            QVector<double> t;
            t.reserve(x.size());
            for (const ZoneHistory& zone : run.Run.Zones)
                for (const HistoryRow& row : zone.Rows)
                    t.push_back(curve == MeanCurve ? row.Mean : row.Points[curve]);
            const QString name = CurveName(curve, run.Run.Input.LayerCount);
            const QColor colour = CurveColour(curve);
            // Another run's points between the faces stay plain: markers on
            // twelve curves would be a blur.
            QCPGraph* graph =
                r == 0 ? AddCurve("scheme", name,
                                  CurvePen(colour, CurveKind::Scheme, CurveWidth(curve)), {},
                                  IsMainCurve(curve))
                       : AddCurve("compared", name,
                                  CurvePen(colour, CurveKind::Compared, CurveWidth(curve)),
                                  IsMainCurve(curve) ? RunMarker(r, ComparedColour(colour), 6)
                                                     : QCPScatterStyle(),
                                  false);
            graph->setData(x, t, true);
            runCurves_.back()[c] = graph;
        }
        if (r == 0 && options.ShowExact && !run.ExactCurve.empty()) {
            exactCurves_.assign(shown_.size(), nullptr);
            QVector<double> xe;
            for (const ExactSample& sample : run.ExactCurve)
                xe.push_back(XOf(run, sample.ZLine, options.TimeAxis));
            for (std::size_t c : order) {
                const std::size_t curve = shown_[c];
                QVector<double> t;
                for (const ExactSample& sample : run.ExactCurve)
                    t.push_back(curve == MeanCurve ? sample.Mean : sample.Points[curve]);
                QCPGraph* graph = AddCurve(
                    "exact", CurveName(curve, run.Run.Input.LayerCount),
                    CurvePen(CurveColour(curve), CurveKind::Exact, CurveWidth(curve)), {}, false);
                graph->setData(xe, t, true);
                exactCurves_[c] = graph;
            }
        }
    }

    if (options.Measured)
        AddMeasured(first, *options.Measured, options.TimeAxis);

    // Legend entries without points: what the thin lines, the dashes and the
    // other runs' lines mean.
    const QColor grey(90, 90, 90);
    if (options.AllPoints)
        AddLegendEntry("T2…T10 between the faces", CurvePen(PointColour(3), CurveKind::Scheme, 1));
    if (!exactCurves_.empty())
        AddLegendEntry("exact solution", CurvePen(grey, CurveKind::Exact, 2));
    for (std::size_t r = 1; r < runs.size(); ++r)
        AddLegendEntry(QString("run %1: %2").arg(r + 1).arg(RunFileName(runs[r]->Path)),
                       CurvePen(grey, CurveKind::Compared, 2), RunMarker(r, ComparedColour(grey)));

    // Where the profile below is taken.
    picked_ = new QCPItemStraightLine(this);
    picked_->setPen(QPen(QColor(110, 60, 150), 1.5, Qt::DashDotLine));
    picked_->setSelectable(false);
    SetHome(0, end > 0 ? end : 1, sameX);
    MovePicked(options.PickedRow);
    replot();
}

void AlongLineChart::SetPicked(std::size_t row) {
    MovePicked(row);
    replot();
}

void AlongLineChart::MovePicked(std::size_t row) {
    options_.PickedRow = row;
    if (!picked_ || runs_.empty() || row >= runs_.front()->RowCount())
        return;
    const LoadedRun& first = *runs_.front();
    const auto [zone, at] = first.RowAt(row);
    const double x = XOf(first, first.ZLineOf(zone, at), options_.TimeAxis);
    picked_->point1->setCoords(x, 0);
    picked_->point2->setCoords(x, 1);
}

double AlongLineChart::PickedX() const {
    return picked_ ? picked_->point1->key() : std::numeric_limits<double>::quiet_NaN();
}

void AlongLineChart::AddBands(const LoadedRun& run, double xScale) {
    static const QColor fills[] = {QColor(236, 242, 250), QColor(250, 245, 232)};
    for (std::size_t zone = 0; zone < run.Run.Zones.size(); ++zone) {
        const ZoneHistory& history = run.Run.Zones[zone];
        const double from = run.ZoneStarts[zone] * xScale;
        const double to =
            (run.ZoneStarts[zone] + (history.Rows.empty() ? 0 : history.Rows.back().Z)) * xScale;
        // Across the whole height whatever y shows: x in the plot, y in the axes.
        auto* rect = new QCPItemRect(this);
        rect->setLayer("background");
        for (QCPItemPosition* corner : {rect->topLeft, rect->bottomRight}) {
            corner->setTypeX(QCPItemPosition::ptPlotCoords);
            corner->setTypeY(QCPItemPosition::ptAxisRectRatio);
        }
        rect->topLeft->setCoords(from, 0);
        rect->bottomRight->setCoords(to, 1);
        rect->setBrush(fills[zone % 2]);
        rect->setPen(QPen(QColor(200, 200, 200), 1.0));
        rect->setSelectable(false);

        auto* label = new QCPItemText(this);
        label->setLayer("legend");
        label->position->setTypeX(QCPItemPosition::ptPlotCoords);
        label->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
        label->position->setCoords((from + to) / 2, 0.015);
        label->setPositionAlignment(Qt::AlignTop | Qt::AlignHCenter);
        label->setTextAlignment(Qt::AlignHCenter);
        label->setFont(TextFont(0.95));
        label->setColor(QColor(60, 60, 60));
        label->setSelectable(false);
        bands_.push_back({rect, label, from, to, history.ZoneNo,
                          QString("outer %1 / %2 ℃")
                              .arg(history.Zone.OuterTemp1, 0, 'g', 6)
                              .arg(history.Zone.OuterTemp2, 0, 'g', 6)});
    }
}

// The samples in the line, where the first run places them: at their time
// since zone 1's entry, or at the run's speed along it. Dots alone, on top of
// the curves; a second channel at the same depth has another shape.
void AlongLineChart::AddMeasured(const LoadedRun& run, const MeasuredProfile& profile,
                                 bool timeAxis) {
    // Shapes that no other run's line has (their open circles, triangles, squares).
    static const QCPScatterStyle::ScatterShape shapes[] = {
        QCPScatterStyle::ssDisc, QCPScatterStyle::ssCross, QCPScatterStyle::ssPlus,
        QCPScatterStyle::ssStar, QCPScatterStyle::ssTriangleInverted};
    const SchemeModel scheme(run.Run);
    std::vector<QRgb> colours;
    for (const MeasuredChannel& channel : profile.Channels) {
        const QColor colour = DepthColour(channel.Depth, run.Run.Input.Thickness);
        const auto same = std::count(colours.begin(), colours.end(), colour.rgb());
        colours.push_back(colour.rgb());
        QVector<double> x, t;
        for (std::size_t i = 0; i < channel.Time.size(); ++i) {
            const double since = channel.Time[i] - profile.Start;
            if (!scheme.ZoneAt(since))
                continue;
            x.push_back(timeAxis ? since : since * run.CmPerSec);
            t.push_back(channel.Temp[i]);
        }
        QCPGraph* graph =
            AddCurve("measured",
                     QString("%1, %2 (measured)")
                         .arg(QString::fromStdString(channel.Name), DepthWords(channel.Depth)),
                     QPen(Qt::NoPen),
                     QCPScatterStyle(shapes[static_cast<std::size_t>(same) % std::size(shapes)],
                                     QPen(colour, 1.2), colour, 4));
        graph->setLineStyle(QCPGraph::lsNone);
        graph->setLayer("main");
        graph->setData(x, t, true);
        measured_.push_back(graph);
    }
}

// Each label centred over the visible part of its band, as much of it as fits.
void AlongLineChart::PlaceZoneLabels() {
    const QCPRange range = xAxis->range();
    for (const ZoneBand& band : bands_) {
        const double from = std::max(band.From, range.lower);
        const double to = std::min(band.To, range.upper);
        const double room = xAxis->coordToPixel(to) - xAxis->coordToPixel(from) - 6;
        const QFontMetrics metrics(band.Label->font());
        const QString whole = QString("Zone %1\n%2").arg(band.ZoneNo).arg(band.Outer);
        QString text;
        for (const QString& candidate :
             {whole, QString("Zone %1").arg(band.ZoneNo), QString::number(band.ZoneNo)})
            if (metrics.boundingRect(QRect(), 0, candidate).width() <= room) {
                text = candidate;
                break;
            }
        band.Label->setText(CelsiusShown(text));
        band.Label->setVisible(!text.isEmpty());
        band.Label->position->setCoords((from + to) / 2, 0.015);
    }
}

// Markers by pixels rather than points: the same spacing at every zoom.
void AlongLineChart::ThinMarkers() {
    const QCPRange range = xAxis->range();
    for (std::size_t r = 1; r < runCurves_.size(); ++r)
        for (QCPGraph* graph : runCurves_[r]) {
            const auto points = graph->data();
            const auto visible = points->findEnd(range.upper) - points->findBegin(range.lower);
            graph->setScatterSkip(std::max(0, static_cast<int>(visible) / MarkersPerCurve - 1));
        }
}

std::vector<AlongLineChart::Band> AlongLineChart::Bands() const {
    std::vector<Band> bands;
    for (const ZoneBand& band : bands_)
        bands.push_back({band.From, band.To, band.Label->text(), band.Label->visible()});
    return bands;
}

// The row a click would pick: its position, zone and time, and every curve's
// temperature there, the runs side by side.
std::optional<ChartPlot::Readout> AlongLineChart::Reading(double x) const {
    if (runs_.empty() || runs_.front()->RowCount() == 0)
        return std::nullopt;
    const LoadedRun& first = *runs_.front();
    const std::size_t row = NearestRow(first, options_.TimeAxis ? x * first.CmPerSec : x);
    const auto [zone, at] = first.RowAt(row);
    const double zLine = first.ZLineOf(zone, at);
    const double key = XOf(first, zLine, options_.TimeAxis);
    const QString cm = QString("%1 cm").arg(zLine, 0, 'f', 2);
    const QString s = QString("%1 s").arg(zLine / first.CmPerSec, 0, 'f', 2);
    QString text = QString("%1 (%2), zone %3, in ℃\n")
                       .arg(options_.TimeAxis ? s : cm, options_.TimeAxis ? cm : s)
                       .arg(first.Run.Zones[zone].ZoneNo);

    std::vector<QStringList> table;
    QStringList header{""};
    header << (runs_.size() > 1 ? "run 1" : "scheme");
    if (!exactCurves_.empty())
        header << "exact";
    for (std::size_t r = 1; r < runs_.size(); ++r)
        header << QString("run %1").arg(r + 1);
    table.push_back(header);
    for (std::size_t c = 0; c < shown_.size(); ++c) {
        QStringList line{CurveName(shown_[c], first.Run.Input.LayerCount)};
        line << Temperature(CurveValue(*runCurves_[0][c], key));
        if (!exactCurves_.empty())
            line << Temperature(CurveValue(*exactCurves_[c], key));
        for (std::size_t r = 1; r < runCurves_.size(); ++r)
            line << Temperature(CurveValue(*runCurves_[r][c], key));
        table.push_back(line);
    }
    text += TextTable(table);
    for (QCPGraph* graph : measured_) {
        const double value = CurveValue(*graph, key);
        if (!std::isnan(value))
            text += "\n" + graph->name() + ": " + Temperature(value);
    }
    text += "\nwheel zoom, drag pan, double click all; click: profile here";
    return Readout{key, text};
}

} // namespace korvane
