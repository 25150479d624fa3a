#pragma once

#include <QLineEdit>

namespace korvane {

// A single-line edit box whose text can be set only where it really changes.
class TEdit : public QLineEdit {
  public:
    using QLineEdit::QLineEdit;

    // Unlike setText, an unchanged text neither raises textChanged nor moves
    // the cursor.
    void SetTextIfChanged(const QString& text) {
        if (text != this->text())
            setText(text);
    }
};

// The enabled flag of the box itself, whatever its page shows.
inline bool OwnEnabled(const QWidget* widget) {
    return !widget->testAttribute(Qt::WA_ForceDisabled);
}

} // namespace korvane
