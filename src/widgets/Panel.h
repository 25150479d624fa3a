#pragma once

#include <QWidget>

namespace korvane {

// A panel as the original toolkit drew it: up to two bevels (outer, then
// inner) of a given width and an optional caption centred in what is left.
// A label panel is one without bevels.
class TPanel : public QWidget {
  public:
    enum class Bevel { None, Raised, Lowered };

    explicit TPanel(QWidget* parent, Bevel outer = Bevel::None, Bevel inner = Bevel::None,
                    int bevelWidth = 1);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    Bevel Outer() const { return outer_; }
    Bevel Inner() const { return inner_; }
    int BevelWidth() const { return bevelWidth_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString caption_;
    Bevel outer_;
    Bevel inner_;
    int bevelWidth_;
};

} // namespace korvane
