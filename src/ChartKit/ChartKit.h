#pragma once

#include <qcustomplot.h>

#include <QString>
#include <QStringList>

#include <cstddef>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

namespace korvane {

class ErrorBox;

// 1, 2 or 5 times a power of ten, at least `rough`.
double NiceStep(double rough);

// The smallest and largest finite value seen.
struct ValueRange {
    double Low = std::numeric_limits<double>::infinity();
    double High = -std::numeric_limits<double>::infinity();
    void Add(double value);
    bool Empty() const { return !(Low <= High); }
};

// How a curve is drawn says what it is, the same in every chart: the scheme
// solid, the exact solution dashed and thinner, other runs lighter and
// marked (run 2 circles, run 3 triangles, run 4 squares).
enum class CurveKind { Scheme, Exact, Compared };
QPen CurvePen(const QColor& colour, CurveKind kind, double width);
QColor ComparedColour(const QColor& colour);
QCPScatterStyle RunMarker(std::size_t run, const QColor& colour, double size = 7);
// Colours of curves that are not a depth through the plate (metrics).
QColor SeriesColour(std::size_t k);
// A run's colour where each run has one (the first near black).
QColor RunColour(std::size_t run);

// The graph's value at key, straight between its points; NaN outside them.
double CurveValue(const QCPGraph& graph, double key);

// Rows of text as a table: the first column left-aligned, the others right
// (for a fixed-pitch font).
QString TextTable(const std::vector<QStringList>& rows);

// The charts' common plot: a title, the legend below the axes with a line
// sample for each entry, zoom (wheel) and pan (drag) along x with y fitted
// to what is visible, a double click back to the whole range, a click that
// is not a drag, and a readout of the values under the cursor that stays in
// the corner away from it.
class ChartPlot : public QCustomPlot {
  public:
    explicit ChartPlot(ErrorBox& errors, QWidget* parent = nullptr);

    // Drops every curve and item; axes, title and legend stay in place.
    void Clear();
    void SetTitle(const QString& title);
    void SetAxisTitles(const QString& x, const QString& y);

    // A curve with its role ("scheme", "exact", "compared", ...) and name,
    // for the readout and tests; an entry of the legend when inLegend.
    QCPGraph* AddCurve(const QString& role, const QString& name, const QPen& pen,
                       const QCPScatterStyle& marker = {}, bool inLegend = true);
    // A legend entry without points, explaining a line style.
    void AddLegendEntry(const QString& name, const QPen& pen, const QCPScatterStyle& marker = {});
    QCPGraph* Curve(const QString& role, const QString& name) const;
    std::vector<QCPGraph*> Curves(const QString& role) const;
    QStringList LegendNames() const;

    // The whole x range (a double click returns to it) and the room kept
    // below and above the curves, as fractions of their span, at least
    // minSpan. keepZoom leaves a zoomed view where it is.
    void SetHome(double low, double high, bool keepZoom = false);
    void SetYRoom(double below, double above, double minSpan);
    // Levels that y shows beside the curves (limits drawn over them), each
    // while it lies within one span of the visible curves; Clear drops them.
    void IncludeInY(std::vector<double> levels);
    bool Zoomed() const;
    void ShowHome();
    // Fits y to the curves within the visible x range and draws.
    void FitY();

    // Told where a click (not a drag) landed in the axes, in x units.
    std::function<void(double key)> OnClick;
    // The readout at the cursor's x: the key it snaps to and the text.
    struct Readout {
        double Key;
        QString Text;
    };
    std::function<std::optional<Readout>(double key)> ReadoutAt;
    // Called after each layout, before drawing (labels that follow the axes).
    std::function<void()> OnLayout;
    void ShowReadout(double key);
    void HideReadout();
    QString ReadoutText() const; // empty when hidden

    // Draws the chart into `where` of an active painter: vectors on a PDF,
    // SVG or printer.
    void Paint(QCPPainter& painter, const QRect& where);
    // The chart's fonts: in pixels, so that a printer or a drawing keeps them
    // in proportion whatever its resolution.
    QFont TextFont(double scale = 1.0, bool bold = false) const;
    QFont FixedFont() const;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void XRangeChanged(const QCPRange& range);
    void FitLegendColumns();
    void MakeReadoutItems();

    ErrorBox& errors_;
    QCPTextElement* title_;
    QCPRange home_{0, 1};
    double roomBelow_ = 0.05, roomAbove_ = 0.05, minSpan_ = 0;
    std::vector<double> yAlso_;
    QPoint pressedAt_;
    bool pressed_ = false, afterDoubleClick_ = false;
    QCPItemStraightLine* cursorLine_ = nullptr;
    QCPItemText* readoutBox_ = nullptr;
    std::vector<QCPItemTracer*> tracers_;
};

} // namespace korvane
