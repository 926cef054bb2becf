#pragma once
// The drawing layer of the canvas on which the selection band is outlined: the outline is drawn
// in black and erased in white, like ink on the canvas, and the layer is wiped when the band ends
// so the ruler grid under it shows whole again. It lies under the boxes and lets the mouse through.

#include <QImage>
#include <QWidget>

namespace editor::ui {

class BandLayer : public QWidget {
 public:
  explicit BandLayer(QWidget* canvas);

  // Draws the outline of `twips` (canvas twips, corners included) in `color`.
  void Outline(const QRect& twips, const QColor& color);
  // Wipes the layer.
  void Clear();
  const QImage& image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QImage image_;
};

}  // namespace editor::ui
