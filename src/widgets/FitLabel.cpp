#include "FitLabel.h"

#include <QFontMetricsF>
#include <QLabel>

#include <cmath>

namespace korvane {

namespace {

// Whether rect lies within the parent's inside (inside its frame or bevel)
// and clear of every other control there.
bool IsFree(const QLabel* label, const QRect& rect) {
    const QWidget* parent = label->parentWidget();
    if (!parent)
        return false;
    if (!parent->contentsRect().contains(rect))
        return false;
    for (const QObject* child : parent->children()) {
        const auto* widget = qobject_cast<const QWidget*>(child);
        if (widget && widget != label && !widget->isWindow() && widget->geometry().intersects(rect))
            return false;
    }
    return true;
}

// The widest rect up to width pixels more that is still free.
QRect Grown(const QLabel* label, int width) {
    const bool centred = label->alignment() & Qt::AlignHCenter;
    QRect best = label->geometry();
    for (int more = 1; more <= width; ++more) {
        QRect rect = label->geometry();
        if (centred)
            rect.adjust(-more / 2, 0, more - more / 2, 0);
        else
            rect.setWidth(rect.width() + more);
        if (!IsFree(label, rect))
            break;
        best = rect;
    }
    return best;
}

} // namespace

void FitLabel(QLabel* label) {
    QFont font = label->font();
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0);
    const QString text = label->text();
    const int needed = static_cast<int>(std::ceil(QFontMetricsF(font).horizontalAdvance(text)));
    if (needed > label->width())
        label->setGeometry(Grown(label, needed - label->width()));
    const qreal overflow = QFontMetricsF(font).horizontalAdvance(text) - label->width();
    if (overflow > 0 && text.size() > 1) {
        const qreal tighter = std::ceil(overflow / (text.size() - 1) * 10) / 10;
        font.setLetterSpacing(QFont::AbsoluteSpacing, -tighter);
    }
    label->setFont(font);
}

} // namespace korvane
