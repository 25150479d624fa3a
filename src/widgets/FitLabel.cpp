#include "FitLabel.h"

#include <QFontMetricsF>
#include <QLabel>

#include <cmath>

namespace korvane {

void FitLetterSpacing(QLabel* label) {
    QFont font = label->font();
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0);
    const QString text = label->text();
    const qreal overflow = QFontMetricsF(font).horizontalAdvance(text) - label->width();
    if (overflow > 0 && text.size() > 1) {
        const qreal tighter = std::ceil(overflow / (text.size() - 1) * 10) / 10;
        font.setLetterSpacing(QFont::AbsoluteSpacing, -tighter);
    }
    label->setFont(font);
}

} // namespace korvane
