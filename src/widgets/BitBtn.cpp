#include "BitBtn.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace korvane {

QIcon CheckMarkGlyph() {
    QPixmap pixmap(18, 18);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath tick;
    tick.moveTo(2, 9);
    tick.lineTo(7, 14);
    tick.lineTo(16, 3);
    painter.setPen(QPen(QColor(0, 128, 0), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(tick);
    return QIcon(pixmap);
}

QIcon ExitDoorGlyph() {
    QPixmap pixmap(18, 18);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    // The door frame, the door swung open, and an arrow leaving through it.
    painter.setPen(Qt::black);
    painter.drawRect(6, 1, 10, 15);
    painter.setBrush(QColor(128, 128, 0));
    painter.drawPolygon(QPolygon({QPoint(6, 1), QPoint(11, 3), QPoint(11, 17), QPoint(6, 16)}));
    painter.setBrush(QColor(0, 0, 128));
    painter.setPen(Qt::NoPen);
    painter.drawRect(1, 8, 5, 2);
    painter.drawPolygon(QPolygon({QPoint(0, 9), QPoint(3, 5), QPoint(3, 13)}));
    painter.setPen(Qt::yellow);
    painter.drawPoint(9, 9);
    return QIcon(pixmap);
}

TBitBtn::TBitBtn(Kind kind, const QString& caption, QWidget* parent)
    : QPushButton(kind == Kind::OK ? CheckMarkGlyph() : ExitDoorGlyph(), caption, parent),
      kind_(kind) {
    setIconSize(QSize(18, 18));
    setFocusPolicy(Qt::ClickFocus);
    // A focused button takes Enter itself, as the original's buttons did.
    setAutoDefault(true);
    if (kind == Kind::Close)
        connect(this, &QPushButton::clicked, this, [this] { window()->close(); });
}

} // namespace korvane
