#include "ModelPicture.h"

#include "AppLook.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace korvane {

namespace {

// The cross-section (front face) and the depth of the perspective.
constexpr int Left = 72, Right = 182, Top = 78, Bottom = 200, Depth = 20;
constexpr int Layers = 10;
constexpr double LayerWidth = double(Right - Left) / Layers;

double NodeX(int node) {
    return Left + node * LayerWidth;
}
// The profile: lowest at the faces, highest in the middle.
double ProfileY(double node) {
    return 178 - 64 * std::sin(std::numbers::pi * node / Layers);
}

// A letter with a small subscript, its baseline at y.
void DrawSymbol(QPainter& painter, double x, double y, const QString& letter,
                const QString& subscript = {}) {
    const QFont base = UiFont(13);
    painter.setFont(base);
    painter.drawText(QPointF(x, y), letter);
    if (subscript.isEmpty())
        return;
    const double advance = QFontMetricsF(base).horizontalAdvance(letter);
    painter.setFont(UiFont(9));
    painter.drawText(QPointF(x + advance, y + 3), subscript);
}

void DrawArrowHead(QPainter& painter, QPointF tip, QPointF from) {
    const QPointF along = tip - from;
    const double length = std::hypot(along.x(), along.y());
    const QPointF unit = along / length, normal(-unit.y(), unit.x());
    painter.save();
    painter.setBrush(painter.pen().color());
    painter.drawPolygon(
        QPolygonF({tip, tip - unit * 5 + normal * 2.5, tip - unit * 5 - normal * 2.5}));
    painter.restore();
}

void DrawArrow(QPainter& painter, QPointF from, QPointF to) {
    painter.drawLine(from, to);
    DrawArrowHead(painter, to, from);
}

void DrawSlab(QPainter& painter) {
    const QPolygonF top({QPointF(Left, Top), QPointF(Right, Top),
                         QPointF(Right - Depth, Top - Depth), QPointF(Left - Depth, Top - Depth)});
    const QPolygonF side({QPointF(Left, Top), QPointF(Left, Bottom),
                          QPointF(Left - Depth, Bottom - Depth),
                          QPointF(Left - Depth, Top - Depth)});
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawPolygon(side);
    painter.setBrush(Qt::NoBrush);
    painter.save();
    QPainterPath clip;
    clip.addPolygon(top);
    painter.setClipPath(clip);
    for (int x = Left - Depth - 40; x < Right + 10; x += 6)
        painter.drawLine(QPointF(x, Top), QPointF(x + Depth + 4, Top - Depth - 4));
    painter.restore();
    painter.drawPolygon(top);
    painter.setBrush(QColor(192, 192, 192));
    painter.drawRect(QRectF(Left, Top, Right - Left, Bottom - Top));
    for (int node = 0; node <= Layers; ++node)
        painter.drawLine(QPointF(NodeX(node), Top), QPointF(NodeX(node), Bottom));
}

void DrawProfile(QPainter& painter) {
    QPainterPath curve;
    curve.moveTo(NodeX(0), ProfileY(0));
    for (int step = 1; step <= Layers * 8; ++step)
        curve.lineTo(Left + step * LayerWidth / 8, ProfileY(step / 8.0));
    painter.setPen(QPen(Qt::red, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(curve);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::black);
    for (int node = 0; node <= Layers; ++node)
        painter.drawEllipse(QPointF(NodeX(node), ProfileY(node)), 2, 2);
    DrawSymbol(painter, NodeX(0) + 3, ProfileY(0) + 14, "T", "1");
    DrawSymbol(painter, NodeX(1) - 16, ProfileY(1) - 3, "T", "2");
    DrawSymbol(painter, NodeX(2) - 16, ProfileY(2) - 3, "T", "3");
    DrawSymbol(painter, NodeX(5) - 5, ProfileY(5) - 6, "T", "i");
    DrawSymbol(painter, NodeX(9) + 4, ProfileY(9) - 3, "T", "n");
    DrawSymbol(painter, NodeX(10) - 24, ProfileY(10) + 14, "T", "n+1");
}

void DrawDimensions(QPainter& painter) {
    painter.setPen(Qt::black);
    // The thickness coordinate along the top edge, the plate's along its left edge.
    DrawArrow(painter, QPointF(Right + 4, Top + 1), QPointF(Right + 18, Top + 1));
    DrawSymbol(painter, Right + 8, Top - 4, "y");
    DrawArrow(painter, QPointF(Left - 8, Bottom - 2), QPointF(Left - 8, Bottom + 16));
    DrawSymbol(painter, Left - 20, Bottom + 12, "z");
    // One layer, at the top of the section.
    const double a = NodeX(7), b = NodeX(8), y = Top + 8;
    painter.drawLine(QPointF(a, y), QPointF(b, y));
    painter.drawLine(QPointF(a, y - 3), QPointF(a, y + 3));
    painter.drawLine(QPointF(b, y - 3), QPointF(b, y + 3));
    DrawSymbol(painter, a - 1, y + 15, QString::fromUtf8("Δy"));
    // The whole thickness, below the section.
    const double h = Bottom + 12;
    painter.drawLine(QPointF(Left, Bottom + 2), QPointF(Left, h + 4));
    painter.drawLine(QPointF(Right, Bottom + 2), QPointF(Right, h + 4));
    DrawArrow(painter, QPointF((Left + Right) / 2.0, h), QPointF(Left + 1, h));
    DrawArrow(painter, QPointF((Left + Right) / 2.0, h), QPointF(Right - 1, h));
    painter.fillRect(QRectF((Left + Right) / 2.0 - 7, h - 7, 14, 14), QColor(255, 192, 255));
    DrawSymbol(painter, (Left + Right) / 2.0 - 4, h + 5, "H");
}

void DrawSurroundings(QPainter& painter) {
    const double end = ProfileY(0), arrowY = 140;
    painter.setPen(QPen(Qt::red, 2));
    painter.drawLine(QPointF(Left - 52, end), QPointF(Left - 24, end));
    painter.drawLine(QPointF(Right + 6, end), QPointF(Right + 34, end));
    painter.setPen(Qt::black);
    DrawSymbol(painter, Left - 52, end - 5, "T", "01");
    DrawSymbol(painter, Right + 10, end - 5, "T", "02");
    DrawArrow(painter, QPointF(Left - 56, arrowY), QPointF(Left - 22, arrowY));
    DrawArrow(painter, QPointF(Right + 34, arrowY), QPointF(Right + 3, arrowY));
    DrawSymbol(painter, Left - 52, arrowY - 5, "h", "1");
    DrawSymbol(painter, Right + 14, arrowY - 5, "h", "2");
}

} // namespace

QImage ModelPicture() {
    QImage image(232, 256, QImage::Format_RGB888);
    image.fill(QColor(255, 192, 255));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    DrawSlab(painter);
    DrawProfile(painter);
    DrawDimensions(painter);
    DrawSurroundings(painter);
    return image;
}

TImage::TImage(const QImage& image, QWidget* parent) : QWidget(parent), image_(image) {}

QPoint TImage::ImageOrigin() const {
    // Integer halves rounded toward zero, as the original centred its bitmap.
    return {(width() - image_.width()) / 2, (height() - image_.height()) / 2};
}

void TImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(ImageOrigin(), image_);
}

} // namespace korvane
