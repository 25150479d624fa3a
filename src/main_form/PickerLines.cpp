#include "PickerLines.h"

#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace korvane {

PickerLineDelegate::PickerLineDelegate(int lineHeight, QObject* parent)
    : QStyledItemDelegate(parent), lineHeight_(lineHeight) {}

QSize PickerLineDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setWidth(size.width() + index.data(LevelRole).toInt() * IndentPerLevel);
    size.setHeight(std::max(lineHeight_, option.fontMetrics.lineSpacing()));
    return size;
}

void PickerLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    QStyleOptionViewItem indented = option;
    indented.rect.setLeft(option.rect.left() + index.data(LevelRole).toInt() * IndentPerLevel);
    QStyledItemDelegate::paint(painter, indented, index);
}

QIcon FolderIcon(FolderGlyph glyph) {
    QPixmap pixmap(14, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const QColor fill = glyph == FolderGlyph::Current ? QColor(255, 255, 255) : QColor(255, 255, 0);
    painter.setPen(QColor(128, 128, 0));
    painter.setBrush(fill);
    // The tab, then the body; an open folder shows its front flap tilted.
    painter.drawPolygon(QPolygon({QPoint(0, 2), QPoint(1, 1), QPoint(5, 1), QPoint(6, 2)}));
    painter.drawRect(0, 2, 12, 9);
    if (glyph != FolderGlyph::Closed) {
        painter.setBrush(glyph == FolderGlyph::Current ? QColor(192, 192, 192)
                                                       : QColor(255, 255, 128));
        painter.drawPolygon(QPolygon({QPoint(2, 5), QPoint(13, 5), QPoint(11, 11), QPoint(0, 11)}));
    }
    return QIcon(pixmap);
}

} // namespace korvane
