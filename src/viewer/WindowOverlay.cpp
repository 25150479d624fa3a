#include "WindowOverlay.h"

#include "AppLook.h"

#include "RunExport.h"
#include "WindowText.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

const QColor PassFill(70, 170, 90, 38), FailFill(220, 60, 50, 38);
const QColor PassEdge(60, 150, 80, 150), FailEdge(200, 50, 40, 150);
const QColor PassText(25, 100, 45), FailText(170, 25, 20);
const QColor LineColour(70, 70, 85, 210);

QString Degrees(double level) {
    return QString::fromStdString(ShortestNumber(level)) + " ℃";
}

// The temperatures of the run's rows: a band's far bound is drawn no
// further than a few spans beyond them.
ValueRange RowRange(const LoadedRun& run) {
    ValueRange range;
    for (const ZoneHistory& zone : run.Run.Zones)
        for (const HistoryRow& row : zone.Rows) {
            for (double t : row.Points)
                range.Add(t);
            range.Add(row.Mean);
        }
    return range;
}

} // namespace

void WindowOverlay::Reset() {
    shapes_.clear();
    labels_.clear();
}

void WindowOverlay::Draw(ChartPlot& plot, const ChartOptions& options, const LoadedRun& first,
                         double xScale) {
    Reset();
    if (!options.Window || first.Run.Zones.empty())
        return;
    const JudgedWindow& judged = *options.Window;
    const auto& limits = judged.File->Window.Limits;
    const auto zoneFrom = [&](std::size_t zone) { return first.ZoneStarts[zone] * xScale; };
    const auto zoneTo = [&](std::size_t zone) {
        const auto& rows = first.Run.Zones[zone].Rows;
        return (first.ZoneStarts[zone] + (rows.empty() ? 0 : rows.back().Z)) * xScale;
    };
    const std::size_t zones = first.Run.Zones.size();
    const double end = zoneTo(zones - 1);

    // Limits with the same band or level share one shape and one label.
    std::vector<QStringList> parts;
    const auto add = [&](bool band, double low, double high, double from, double to,
                         std::size_t limit, bool pass, const QString& part) {
        std::size_t s = 0;
        while (s < shapes_.size() &&
               !(shapes_[s].Band == band && shapes_[s].Low == low && shapes_[s].High == high &&
                 shapes_[s].From == from && shapes_[s].To == to))
            ++s;
        if (s == shapes_.size()) {
            shapes_.push_back({band, {}, low, high, from, to, true, {}, {}});
            parts.emplace_back();
        }
        if (std::find(shapes_[s].Limits.begin(), shapes_[s].Limits.end(), limit) ==
            shapes_[s].Limits.end())
            shapes_[s].Limits.push_back(limit);
        shapes_[s].Pass = shapes_[s].Pass && pass;
        parts[s] << part;
    };
    for (std::size_t i = 0; i < limits.size(); ++i) {
        const WindowLimit& limit = limits[i];
        const LimitResult result =
            i < judged.Scheme.Limits.size() ? judged.Scheme.Limits[i] : LimitResult{};
        const LimitMark mark = MarkOf(limit.Metric);
        const QString what = QString("limit %1, %2").arg(i + 1).arg(LimitName(limit));
        if (mark.What == LimitMark::Kind::Band) {
            double from = 0, to = end;
            if (mark.Zone >= 0) {
                // A zone the run does not have has no value and no place.
                const std::size_t zone = mark.Zone == 0 ? zones - 1 : mark.Zone - 1;
                if (zone >= zones)
                    continue;
                from = zoneFrom(zone);
                to = zoneTo(zone);
            }
            add(true, limit.Min, limit.Max, from, to, i + 1, result.Pass,
                what + ": " + Verdict(result));
        } else if (mark.What == LimitMark::Kind::Thresholds) {
            const bool between = mark.Levels.size() == 2;
            for (std::size_t k = 0; k < mark.Levels.size(); ++k) {
                QString part = what + ", " + LimitRange(limit) + ": " + Verdict(result);
                if (between)
                    part = k == 0 ? QString("limit %1 from here to %2, %3, %4: %5")
                                        .arg(i + 1)
                                        .arg(Degrees(mark.Levels[1]), LimitName(limit),
                                             LimitRange(limit), Verdict(result))
                                  : QString("end of limit %1").arg(i + 1);
                add(false, mark.Levels[k], mark.Levels[k], 0, end, i + 1, result.Pass, part);
            }
        }
    }

    const ValueRange rows = RowRange(first);
    const double span = rows.Empty() ? 1.0 : std::max(rows.High - rows.Low, 1.0);
    const double lowest = rows.Empty() ? -1e4 : rows.Low - 10 * span;
    const double highest = rows.Empty() ? 1e4 : rows.High + 10 * span;
    std::vector<double> levels;
    for (std::size_t s = 0; s < shapes_.size(); ++s) {
        Shape& shape = shapes_[s];
        const QString range = shape.Band ? QString::fromStdString(ShortestNumber(shape.Low)) + "–" +
                                               Degrees(shape.High)
                                         : Degrees(shape.Low);
        shape.Label = CelsiusShown(range + " · " + parts[s].join(" · "));
        levels.push_back(shape.Low);
        levels.push_back(shape.High);
        if (shape.Band) {
            // Below the curves and the grid, over the zones' fills.
            auto* rect = new QCPItemRect(&plot);
            rect->setLayer("background");
            rect->topLeft->setCoords(shape.From, std::min(shape.High, highest));
            rect->bottomRight->setCoords(shape.To, std::max(shape.Low, lowest));
            rect->setBrush(shape.Pass ? PassFill : FailFill);
            rect->setPen(QPen(shape.Pass ? PassEdge : FailEdge, 1.0));
            rect->setSelectable(false);
        } else {
            auto* line = new QCPItemLine(&plot);
            line->setLayer("grid");
            line->start->setCoords(shape.From, shape.Low);
            line->end->setCoords(shape.To, shape.Low);
            QPen pen(LineColour, 1.3, Qt::CustomDashLine);
            pen.setDashPattern({7, 3, 2, 3}); // neither the exact curves' dashes nor solid
            line->setPen(pen);
            line->setSelectable(false);
        }
        auto* label = new QCPItemText(&plot);
        label->setLayer("grid");
        label->setFont(plot.TextFont(0.85));
        label->setColor(shape.Pass ? PassText : FailText);
        label->setBrush(QColor(255, 255, 255, 190));
        label->setPadding(QMargins(3, 1, 3, 1));
        label->setPositionAlignment(Qt::AlignLeft | (shape.Band ? Qt::AlignTop : Qt::AlignBottom));
        label->setText(shape.Label);
        label->setSelectable(false);
        labels_.push_back(label);
    }
    plot.IncludeInY(levels);
}

namespace {

// Where the curves are on the screen: per column of a few pixels, the
// highest and lowest pixel that any curve passes through.
class CurveCover {
  public:
    static constexpr int Column = 6;

    explicit CurveCover(const ChartPlot& plot) : rect_(plot.axisRect()->rect()) {
        columns_.assign(static_cast<std::size_t>(rect_.width() / Column + 2), {1e9, -1e9});
        const QCPRange x = plot.xAxis->range();
        for (int g = 0; g < plot.graphCount(); ++g) {
            const auto data = plot.graph(g)->data();
            if (data->isEmpty())
                continue;
            auto it = data->findBegin(x.lower);
            const auto end = data->findEnd(x.upper);
            QPointF previous;
            bool first = true;
            for (; it != end; ++it) {
                const QPointF p(plot.xAxis->coordToPixel(it->key),
                                plot.yAxis->coordToPixel(it->value));
                if (!std::isfinite(p.y()))
                    continue;
                Segment(first ? p : previous, p);
                previous = p;
                first = false;
            }
        }
    }

    // How many columns under the box a curve passes through.
    int Covered(const QRect& box) const {
        int count = 0;
        for (int c = Index(box.left()); c <= Index(box.right()); ++c) {
            const auto [top, bottom] = columns_[static_cast<std::size_t>(c)];
            count += top <= box.bottom() && bottom >= box.top();
        }
        return count;
    }

  private:
    int Index(double px) const {
        return std::clamp(static_cast<int>((px - rect_.left()) / Column), 0,
                          static_cast<int>(columns_.size()) - 1);
    }
    // Every column between two points, the line straight between them.
    void Segment(QPointF a, QPointF b) {
        if (a.x() > b.x())
            std::swap(a, b);
        for (int c = Index(a.x()); c <= Index(b.x()); ++c) {
            const double left = std::max(a.x(), rect_.left() + c * double(Column));
            const double right = std::min(b.x(), rect_.left() + (c + 1) * double(Column));
            for (double px : {left, right}) {
                const double f = b.x() > a.x() ? (px - a.x()) / (b.x() - a.x()) : 0;
                const double py = a.y() + f * (b.y() - a.y());
                auto& [top, bottom] = columns_[static_cast<std::size_t>(c)];
                top = std::min(top, py);
                bottom = std::max(bottom, py);
            }
        }
    }

    QRect rect_;
    std::vector<std::pair<double, double>> columns_;
};

} // namespace

// Each label where it covers the fewest curves and no other label: along
// the visible part of its shape, above or below a line, inside a band's top
// or bottom; clear of the zone labels at the top.
void WindowOverlay::PlaceLabels(const ChartPlot& plot) {
    const QCPRange x = plot.xAxis->range();
    const QCPRange y = plot.yAxis->range();
    const QRect axes = plot.axisRect()->rect();
    const CurveCover cover(plot);
    // Two lines of the zone labels.
    const int reserved = axes.top() + 2 * QFontMetrics(plot.TextFont(0.95)).lineSpacing() + 6;
    std::vector<QRect> taken;
    for (std::size_t s = 0; s < shapes_.size(); ++s) {
        Shape& shape = shapes_[s];
        QCPItemText* label = labels_[s];
        const bool visible = shape.To > x.lower && shape.From < x.upper && shape.High >= y.lower &&
                             shape.Low <= y.upper;
        label->setVisible(visible);
        shape.LabelBox = QRect();
        if (!visible)
            continue;
        const QSize size = QFontMetrics(label->font()).size(0, label->text()) + QSize(6, 2);
        // Within the shape's visible part where the label fits, else as
        // near it as the axes allow.
        int left = static_cast<int>(plot.xAxis->coordToPixel(std::max(shape.From, x.lower))) + 3;
        const int right =
            std::min(static_cast<int>(plot.xAxis->coordToPixel(std::min(shape.To, x.upper))),
                     axes.right()) -
            3 - size.width();
        if (right < left)
            left = std::max(axes.left() + 3, right);
        const auto pixel = [&](double value) {
            return static_cast<int>(std::clamp(plot.yAxis->coordToPixel(value), double(axes.top()),
                                               double(axes.bottom())));
        };
        std::vector<int> tops;
        if (shape.Band) {
            const int top = pixel(shape.High), bottom = pixel(shape.Low);
            // Inside where it fits, else just outside; outside too where
            // the curves fill the band.
            if (bottom - top >= size.height() + 2)
                tops = {top + 1, bottom - size.height() - 1};
            tops.insert(tops.end(), {top - size.height() - 1, bottom + 1});
        } else {
            const int at = pixel(shape.Low);
            tops = {at - size.height() - 1, at + 2};
        }
        QRect best;
        int bestScore = 0;
        const int steps = std::clamp((std::max(right, left) - left) / 40, 0, 24);
        for (int k = 0; k <= steps; ++k) {
            const int px = steps == 0 ? left : left + (right - left) * k / steps;
            for (int top : tops) {
                const QRect box(
                    QPoint(px, std::clamp(top, reserved, axes.bottom() - size.height())), size);
                int score = cover.Covered(box);
                for (const QRect& other : taken)
                    score += box.intersects(other.adjusted(-2, -2, 2, 2)) ? 10000 : 0;
                if (best.isNull() || score < bestScore) {
                    best = box;
                    bestScore = score;
                }
            }
        }
        taken.push_back(best);
        shape.LabelBox = best;
        label->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->position->setType(QCPItemPosition::ptAbsolute);
        label->position->setCoords(best.left(), best.top());
    }
}

} // namespace korvane
