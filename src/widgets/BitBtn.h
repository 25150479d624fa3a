#pragma once

#include <QPushButton>

namespace korvane {

// A push button of the original toolkit's two kinds: OK shows a check mark
// and may be a default button; Close shows an exit door and closes its window.
class TBitBtn : public QPushButton {
  public:
    enum class Kind { OK, Close };

    TBitBtn(Kind kind, const QString& caption, QWidget* parent);
    Kind ButtonKind() const { return kind_; }

  private:
    Kind kind_;
};

// The stock glyphs of the two kinds.
QIcon CheckMarkGlyph();
QIcon ExitDoorGlyph();

} // namespace korvane
