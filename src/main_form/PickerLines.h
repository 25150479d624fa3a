#pragma once

#include <QIcon>
#include <QStyledItemDelegate>

namespace korvane {

// Lines of the folder pickers at a fixed height, indented by their level. A
// font whose line spacing is taller gets lines of its line spacing, so that
// descenders and underscores are not cut off.
class PickerLineDelegate : public QStyledItemDelegate {
  public:
    static constexpr int LevelRole = Qt::UserRole + 1;
    static constexpr int IndentPerLevel = 8;

    PickerLineDelegate(int lineHeight, QObject* parent);

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

  private:
    int lineHeight_;
};

enum class FolderGlyph { Open, Current, Closed };
QIcon FolderIcon(FolderGlyph glyph);

} // namespace korvane
