#pragma once

#include <QImage>
#include <QWidget>

namespace korvane {

// The sketch of the model beside the main inputs: the plate's cross-section
// in perspective, its layers, a temperature profile and the surroundings of
// both faces. 232 x 256 pixels.
QImage ModelPicture();

// A picture box that draws its image centred, clipped to its own rectangle.
class TImage : public QWidget {
  public:
    TImage(const QImage& image, QWidget* parent);
    const QImage& Picture() const { return image_; }
    // Where the image's top left corner lies in the box.
    QPoint ImageOrigin() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage image_;
};

} // namespace korvane
