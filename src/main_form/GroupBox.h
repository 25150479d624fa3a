#pragma once

#include <QWidget>

#include <functional>

namespace korvane {

// A group box drawn as the original toolkit drew it: an etched frame with the
// caption on its top line. A click on its own bare area raises OnClick.
class TGroupBox : public QWidget {
  public:
    TGroupBox(const QString& caption, QWidget* parent);

    QString Caption() const { return caption_; }

    std::function<void()> OnClick;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool IsBareArea(const QPointF& position) const;

    QString caption_;
    bool pressedOnBareArea_ = false;
};

} // namespace korvane
