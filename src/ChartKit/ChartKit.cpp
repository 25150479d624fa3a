#include "ChartKit.h"

#include "AppLook.h"

#include "EventGuard.h"

#include <QFontDatabase>

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

// A press and release this close together are a click, not a pan.
constexpr int ClickSlack = 4;
// The narrowest zoom, as a part of the whole range.
constexpr double MinZoom = 1e-4;

const char* const ReadoutLayer = "readout";

QColor Mix(const QColor& colour, const QColor& with, double f) {
    auto mix = [f](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * f)); };
    return QColor(mix(colour.red(), with.red()), mix(colour.green(), with.green()),
                  mix(colour.blue(), with.blue()));
}

} // namespace

double NiceStep(double rough) {
    if (!(rough > 0) || !std::isfinite(rough))
        return 1;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * power >= rough)
            return m * power;
    return 10 * power;
}

void ValueRange::Add(double value) {
    if (std::isfinite(value)) {
        Low = std::min(Low, value);
        High = std::max(High, value);
    }
}

QPen CurvePen(const QColor& colour, CurveKind kind, double width) {
    switch (kind) {
    case CurveKind::Exact: {
        QPen pen(colour, std::max(1.0, width * 0.6), Qt::CustomDashLine);
        // In pen widths: long dashes, clearly not a dotted line.
        pen.setDashPattern({5, 3});
        return pen;
    }
    case CurveKind::Compared:
        return QPen(ComparedColour(colour), std::max(1.0, width * 0.75));
    case CurveKind::Scheme:
        break;
    }
    return QPen(colour, width);
}

QColor ComparedColour(const QColor& colour) {
    return Mix(colour, Qt::white, 0.45);
}

QCPScatterStyle RunMarker(std::size_t run, const QColor& colour, double size) {
    static const QCPScatterStyle::ScatterShape shapes[] = {
        QCPScatterStyle::ssCircle, QCPScatterStyle::ssTriangle, QCPScatterStyle::ssSquare,
        QCPScatterStyle::ssDiamond};
    if (run == 0)
        return QCPScatterStyle(QCPScatterStyle::ssDisc, colour, colour, size);
    // Open, so that a point of another run underneath still shows.
    return QCPScatterStyle(shapes[(run - 1) % 4], QPen(colour, 1.3), Qt::NoBrush, size);
}

QColor SeriesColour(std::size_t k) {
    static const QColor colours[] = {QColor(200, 40, 40),  QColor(30, 90, 200),
                                     QColor(20, 140, 60),  QColor(150, 60, 170),
                                     QColor(220, 130, 20), QColor(60, 60, 60)};
    return colours[k % 6];
}

QColor RunColour(std::size_t run) {
    static const QColor colours[] = {QColor(30, 30, 30), QColor(230, 120, 20), QColor(150, 60, 170),
                                     QColor(20, 140, 130)};
    return colours[run % 4];
}

double CurveValue(const QCPGraph& graph, double key) {
    const auto data = graph.data();
    const double none = std::numeric_limits<double>::quiet_NaN();
    if (data->isEmpty() || !std::isfinite(key))
        return none;
    const auto at = data->findBegin(key, false); // the first point at or after key
    if (at == data->constEnd())
        return none;
    if (at->key == key)
        return at->value;
    if (at == data->constBegin())
        return none;
    const auto before = at - 1;
    const double f = (key - before->key) / (at->key - before->key);
    return before->value + f * (at->value - before->value);
}

QString TextTable(const std::vector<QStringList>& rows) {
    std::vector<qsizetype> widths;
    for (const QStringList& row : rows)
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (static_cast<std::size_t>(c) >= widths.size())
                widths.push_back(0);
            widths[static_cast<std::size_t>(c)] =
                std::max(widths[static_cast<std::size_t>(c)], row[c].size());
        }
    QStringList lines;
    for (const QStringList& row : rows) {
        QString line;
        for (qsizetype c = 0; c < row.size(); ++c) {
            const int width = static_cast<int>(widths[static_cast<std::size_t>(c)]);
            line += c == 0 ? row[c].leftJustified(width) : "  " + row[c].rightJustified(width);
        }
        lines << line;
    }
    return lines.join('\n');
}

ChartPlot::ChartPlot(ErrorBox& errors, QWidget* parent) : QCustomPlot(parent), errors_(errors) {
    setBackground(Qt::white);
    setAntialiasedElements(QCP::aePlottables | QCP::aeItems | QCP::aeLegendItems | QCP::aeScatters);
    setNoAntialiasingOnDrag(true);
    setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    axisRect()->setRangeDrag(Qt::Horizontal);
    axisRect()->setRangeZoom(Qt::Horizontal);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);

    for (QCPAxis* axis : {xAxis, yAxis}) {
        axis->setTickLabelFont(TextFont());
        axis->setLabelFont(TextFont(1.0, true));
        axis->setLabelColor(QColor(50, 50, 50));
        axis->setTickLabelColor(QColor(50, 50, 50));
        axis->setBasePen(QPen(QColor(120, 120, 120)));
        axis->setTickPen(QPen(QColor(120, 120, 120)));
        axis->setSubTickPen(QPen(QColor(160, 160, 160)));
        axis->grid()->setPen(QPen(QColor(225, 225, 225), 1));
        axis->grid()->setZeroLinePen(Qt::NoPen);
    }
    xAxis->ticker()->setTickCount(8);
    yAxis->ticker()->setTickCount(6);

    plotLayout()->setMargins(QMargins(4, 2, 10, 2));
    plotLayout()->insertRow(0);
    title_ = new QCPTextElement(this, QString(), TextFont(1.1, true));
    title_->setTextColor(QColor(40, 40, 40));
    plotLayout()->addElement(0, 0, title_);

    // The legend under the axes, its entries in as many columns as fit.
    legend->setVisible(true);
    legend->setFont(TextFont());
    legend->setTextColor(QColor(40, 40, 40));
    legend->setBorderPen(Qt::NoPen);
    legend->setBrush(Qt::NoBrush);
    legend->setIconSize(40, 14);
    legend->setColumnSpacing(18);
    legend->setRowSpacing(0);
    legend->setMargins(QMargins(8, 2, 8, 2));
    legend->setSelectableParts(QCPLegend::spNone);
    legend->setFillOrder(QCPLegend::foColumnsFirst);
    axisRect()->insetLayout()->take(legend);
    plotLayout()->addElement(2, 0, legend);
    plotLayout()->setRowStretchFactor(0, 0.001);
    plotLayout()->setRowStretchFactor(2, 0.001);

    // The readout redraws alone while the mouse moves.
    addLayer(ReadoutLayer, layer("legend"), limAbove);
    layer(ReadoutLayer)->setMode(QCPLayer::lmBuffered);
    setCurrentLayer("main");
    MakeReadoutItems();

    connect(xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            [this](const QCPRange& range) { Guard(errors_, [&] { XRangeChanged(range); }); });
    connect(this, &QCustomPlot::afterLayout, this, [this] {
        Guard(errors_, [this] {
            if (OnLayout)
                OnLayout();
        });
    });
}

QFont ChartPlot::TextFont(double scale, bool bold) const {
    QFont f = font();
    const double points = f.pointSizeF() > 0 ? f.pointSizeF() : 9.0;
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(points * scale * logicalDpiY() / 72))));
    f.setBold(bold);
    return f;
}

QFont ChartPlot::FixedFont() const {
    QFont f = InstalledFont(QFontDatabase::systemFont(QFontDatabase::FixedFont), true);
    f.setPixelSize(TextFont(0.95).pixelSize());
    return f;
}

void ChartPlot::MakeReadoutItems() {
    cursorLine_ = new QCPItemStraightLine(this);
    cursorLine_->setLayer(ReadoutLayer);
    cursorLine_->setPen(QPen(QColor(80, 80, 80, 170), 1));
    cursorLine_->setSelectable(false);
    cursorLine_->setVisible(false);
    readoutBox_ = new QCPItemText(this);
    readoutBox_->setLayer(ReadoutLayer);
    readoutBox_->position->setType(QCPItemPosition::ptAxisRectRatio);
    readoutBox_->setFont(FixedFont());
    readoutBox_->setColor(QColor(30, 30, 30));
    readoutBox_->setBrush(QColor(255, 255, 255, 235));
    readoutBox_->setPen(QPen(QColor(150, 150, 150)));
    readoutBox_->setPadding(QMargins(6, 4, 6, 4));
    readoutBox_->setTextAlignment(Qt::AlignLeft);
    readoutBox_->setSelectable(false);
    readoutBox_->setVisible(false);
    tracers_.clear();
}

void ChartPlot::Clear() {
    clearItems();
    clearGraphs();
    yAlso_.clear();
    MakeReadoutItems();
}

void ChartPlot::SetTitle(const QString& title) {
    title_->setText(CelsiusShown(title));
}

void ChartPlot::SetAxisTitles(const QString& x, const QString& y) {
    xAxis->setLabel(CelsiusShown(x));
    yAxis->setLabel(CelsiusShown(y));
}

QCPGraph* ChartPlot::AddCurve(const QString& role, const QString& name, const QPen& pen,
                              const QCPScatterStyle& marker, bool inLegend) {
    QCPGraph* graph = addGraph();
    graph->setName(name);
    graph->setPen(pen);
    graph->setScatterStyle(marker);
    graph->setSelectable(QCP::stNone);
    graph->setProperty("role", role);
    if (!inLegend || name.isEmpty())
        graph->removeFromLegend();
    else
        FitLegendColumns();
    return graph;
}

void ChartPlot::AddLegendEntry(const QString& name, const QPen& pen,
                               const QCPScatterStyle& marker) {
    AddCurve("legend", name, pen, marker);
}

QCPGraph* ChartPlot::Curve(const QString& role, const QString& name) const {
    for (int i = 0; i < graphCount(); ++i)
        if (graph(i)->property("role").toString() == role && graph(i)->name() == name)
            return graph(i);
    return nullptr;
}

std::vector<QCPGraph*> ChartPlot::Curves(const QString& role) const {
    std::vector<QCPGraph*> curves;
    for (int i = 0; i < graphCount(); ++i)
        if (graph(i)->property("role").toString() == role)
            curves.push_back(graph(i));
    return curves;
}

QStringList ChartPlot::LegendNames() const {
    QStringList names;
    for (int i = 0; i < legend->itemCount(); ++i)
        if (auto* item = qobject_cast<QCPPlottableLegendItem*>(legend->item(i)))
            names << item->plottable()->name();
    return names;
}

void ChartPlot::FitLegendColumns() {
    // Cells of the grid may be empty.
    int widest = 1, entries = 0;
    for (int i = 0; i < legend->itemCount(); ++i)
        if (QCPAbstractLegendItem* item = legend->item(i)) {
            widest = std::max(widest, item->minimumOuterSizeHint().width());
            ++entries;
        }
    const int room = width() - 30;
    const int columns =
        std::clamp(room / (widest + legend->columnSpacing()), 1, std::max(entries, 1));
    if (columns != legend->wrap()) {
        legend->setWrap(columns);
        legend->setFillOrder(QCPLegend::foColumnsFirst, true); // entries in order again
    }
}

void ChartPlot::SetHome(double low, double high, bool keepZoom) {
    if (!(high > low))
        high = low + 1;
    const bool zoomed = keepZoom && Zoomed();
    home_ = QCPRange(low, high);
    if (!zoomed)
        xAxis->setRange(home_);
    XRangeChanged(xAxis->range());
}

void ChartPlot::SetYRoom(double below, double above, double minSpan) {
    roomBelow_ = below;
    roomAbove_ = above;
    minSpan_ = minSpan;
}

void ChartPlot::IncludeInY(std::vector<double> levels) {
    yAlso_ = std::move(levels);
}

bool ChartPlot::Zoomed() const {
    const QCPRange r = xAxis->range();
    const double slack = home_.size() * 1e-9;
    return std::abs(r.lower - home_.lower) > slack || std::abs(r.upper - home_.upper) > slack;
}

void ChartPlot::ShowHome() {
    xAxis->setRange(home_);
    XRangeChanged(xAxis->range());
    replot();
}

void ChartPlot::XRangeChanged(const QCPRange& range) {
    // Zoom and pan stay within the whole range.
    const double whole = home_.size();
    const double span = std::clamp(range.size(), whole * MinZoom, whole);
    const double lower = std::clamp(range.lower, home_.lower, home_.upper - span);
    const double slack = whole * 1e-9;
    if (std::abs(lower - range.lower) > slack || std::abs(span - range.size()) > slack) {
        xAxis->setRange(lower, lower + span); // comes back here with the range kept
        return;
    }

    ValueRange y;
    for (int i = 0; i < graphCount(); ++i) {
        const QCPGraph& g = *graph(i);
        bool found = false;
        const QCPRange values = g.getValueRange(found, QCP::sdBoth, range);
        if (found) {
            y.Add(values.lower);
            y.Add(values.upper);
        }
        // Where the view cuts a line between two points.
        y.Add(CurveValue(g, range.lower));
        y.Add(CurveValue(g, range.upper));
    }
    if (y.Empty())
        return;
    // A far bound of a one-sided limit would flatten the curves.
    const double reach = std::max(y.High - y.Low, 1.0);
    const ValueRange curves = y;
    for (double level : yAlso_)
        if (level >= curves.Low - reach && level <= curves.High + reach)
            y.Add(level);
    double low = y.Low, high = y.High;
    const double least = minSpan_ > 0 ? minSpan_ : std::max(std::abs(high), 1.0) * 1e-3;
    if (high - low < least) {
        const double middle = (low + high) / 2;
        low = middle - least / 2;
        high = middle + least / 2;
    }
    const double spread = high - low;
    yAxis->setRange(low - roomBelow_ * spread, high + roomAbove_ * spread);
}

void ChartPlot::FitY() {
    XRangeChanged(xAxis->range());
    replot();
}

void ChartPlot::ShowReadout(double key) {
    const std::optional<Readout> readout = ReadoutAt ? ReadoutAt(key) : std::nullopt;
    if (!readout) {
        HideReadout();
        return;
    }
    cursorLine_->point1->setCoords(readout->Key, 0);
    cursorLine_->point2->setCoords(readout->Key, 1);
    cursorLine_->setVisible(true);
    // In the top corner away from the cursor, so the values at it stay in view.
    const bool right = xAxis->coordToPixel(readout->Key) < axisRect()->center().x();
    readoutBox_->position->setCoords(right ? 0.995 : 0.005, 0.012);
    readoutBox_->setPositionAlignment(Qt::AlignTop | (right ? Qt::AlignRight : Qt::AlignLeft));
    readoutBox_->setText(CelsiusShown(readout->Text));
    readoutBox_->setVisible(true);

    std::size_t used = 0;
    for (int i = 0; i < graphCount(); ++i) {
        QCPGraph* g = graph(i);
        if (g->property("role").toString() == "legend" || std::isnan(CurveValue(*g, readout->Key)))
            continue;
        if (used == tracers_.size()) {
            auto* tracer = new QCPItemTracer(this);
            tracer->setLayer(ReadoutLayer);
            tracer->setStyle(QCPItemTracer::tsCircle);
            tracer->setSize(7);
            tracer->setBrush(Qt::white);
            tracer->setInterpolating(true);
            tracer->setSelectable(false);
            tracers_.push_back(tracer);
        }
        QCPItemTracer* tracer = tracers_[used++];
        tracer->setGraph(g);
        tracer->setGraphKey(readout->Key);
        tracer->setPen(QPen(g->pen().color(), 1.5));
        tracer->setVisible(true);
    }
    for (std::size_t t = used; t < tracers_.size(); ++t)
        tracers_[t]->setVisible(false);
    layer(ReadoutLayer)->replot();
}

void ChartPlot::HideReadout() {
    if (!readoutBox_->visible())
        return;
    cursorLine_->setVisible(false);
    readoutBox_->setVisible(false);
    for (QCPItemTracer* tracer : tracers_)
        tracer->setVisible(false);
    layer(ReadoutLayer)->replot();
}

QString ChartPlot::ReadoutText() const {
    return readoutBox_->visible() ? readoutBox_->text() : QString();
}

void ChartPlot::Paint(QCPPainter& painter, const QRect& where) {
    HideReadout();
    painter.save();
    painter.translate(where.topLeft());
    toPainter(&painter, where.width(), where.height());
    painter.restore();
}

void ChartPlot::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    pressedAt_ = event->pos();
    QCustomPlot::mousePressEvent(event);
}

void ChartPlot::mouseMoveEvent(QMouseEvent* event) {
    QCustomPlot::mouseMoveEvent(event);
    Guard(errors_, [&] {
        if (axisRect()->rect().contains(event->pos()))
            ShowReadout(xAxis->pixelToCoord(event->position().x()));
        else
            HideReadout();
    });
}

void ChartPlot::mouseReleaseEvent(QMouseEvent* event) {
    QCustomPlot::mouseReleaseEvent(event);
    Guard(errors_, [&] {
        const bool click = pressed_ && !afterDoubleClick_ && event->button() == Qt::LeftButton &&
                           (event->pos() - pressedAt_).manhattanLength() <= ClickSlack &&
                           axisRect()->rect().contains(pressedAt_);
        pressed_ = afterDoubleClick_ = false;
        if (click && OnClick)
            OnClick(xAxis->pixelToCoord(pressedAt_.x()));
    });
}

void ChartPlot::mouseDoubleClickEvent(QMouseEvent* event) {
    QCustomPlot::mouseDoubleClickEvent(event);
    Guard(errors_, [&] {
        // Its first click has picked already; the release that ends it is no click.
        afterDoubleClick_ = true;
        pressed_ = false;
        if (event->button() == Qt::LeftButton && axisRect()->rect().contains(event->pos()))
            ShowHome();
    });
}

void ChartPlot::leaveEvent(QEvent* event) {
    QCustomPlot::leaveEvent(event);
    Guard(errors_, [this] { HideReadout(); });
}

void ChartPlot::resizeEvent(QResizeEvent* event) {
    Guard(errors_, [this] { FitLegendColumns(); });
    QCustomPlot::resizeEvent(event);
}

} // namespace korvane
