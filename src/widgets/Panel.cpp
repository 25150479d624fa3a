#include "Panel.h"

#include <QPainter>

namespace korvane {

namespace {

// Draws one bevel inside rect and returns what is left inside it.
QRect DrawBevel(QPainter& painter, QRect rect, TPanel::Bevel bevel, int width,
                const QPalette& palette) {
    if (bevel == TPanel::Bevel::None)
        return rect;
    const QColor light = palette.color(QPalette::Light);
    const QColor dark = palette.color(QPalette::Dark);
    const QColor topLeft = bevel == TPanel::Bevel::Raised ? light : dark;
    const QColor bottomRight = bevel == TPanel::Bevel::Raised ? dark : light;
    for (int i = 0; i < width; ++i) {
        painter.setPen(topLeft);
        painter.drawLine(rect.left(), rect.bottom(), rect.left(), rect.top());
        painter.drawLine(rect.left(), rect.top(), rect.right(), rect.top());
        painter.setPen(bottomRight);
        painter.drawLine(rect.right(), rect.top() + 1, rect.right(), rect.bottom());
        painter.drawLine(rect.left() + 1, rect.bottom(), rect.right(), rect.bottom());
        rect.adjust(1, 1, -1, -1);
    }
    return rect;
}

} // namespace

TPanel::TPanel(QWidget* parent, Bevel outer, Bevel inner, int bevelWidth)
    : QWidget(parent), outer_(outer), inner_(inner), bevelWidth_(bevelWidth) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    // What lies inside the bevels, for the controls that the panel holds.
    const int inset = bevelWidth * ((outer != Bevel::None) + (inner != Bevel::None));
    setContentsMargins(inset, inset, inset, inset);
}

void TPanel::SetCaption(const QString& caption) {
    if (caption == caption_)
        return;
    caption_ = caption;
    update();
}

void TPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QRect inside = DrawBevel(painter, rect(), outer_, bevelWidth_, palette());
    inside = DrawBevel(painter, inside, inner_, bevelWidth_, palette());
    if (caption_.isEmpty())
        return;
    // Captions wider than the panel overflow on both sides and are clipped,
    // so their blanks give way first.
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(inside, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip, caption_);
}

} // namespace korvane
