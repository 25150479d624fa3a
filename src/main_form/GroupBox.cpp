#include "GroupBox.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace korvane {

TGroupBox::TGroupBox(const QString& caption, QWidget* parent)
    : QWidget(parent), caption_(caption) {}

void TGroupBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int lineY = metrics.height() / 2;
    const QRect frame(0, lineY, width() - 1, height() - lineY - 1);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(frame.translated(1, 1).adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    if (caption_.isEmpty())
        return;
    const QRect text(8, 0, metrics.horizontalAdvance(caption_) + 2, metrics.height());
    painter.fillRect(text, palette().color(QPalette::Button));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(text, Qt::AlignCenter | Qt::TextSingleLine, caption_);
}

bool TGroupBox::IsBareArea(const QPointF& position) const {
    return rect().contains(position.toPoint()) && !childAt(position.toPoint());
}

void TGroupBox::mousePressEvent(QMouseEvent* event) {
    pressedOnBareArea_ = event->button() == Qt::LeftButton && IsBareArea(event->position());
}

void TGroupBox::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        pressedOnBareArea_ && event->button() == Qt::LeftButton && IsBareArea(event->position());
    pressedOnBareArea_ = false;
    if (click && OnClick)
        OnClick();
}

} // namespace korvane
