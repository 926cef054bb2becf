#include "editor/ui/band_layer.h"

#include <QPainter>

#include "common/numbers.h"
#include "editor/envelope_model.h"

namespace editor::ui {
namespace {

int Pixels(int twips) { return common::RoundToInt(double(twips) / kTwipsPerPixel); }

}  // namespace

BandLayer::BandLayer(QWidget* canvas) : QWidget(canvas) {
  setObjectName(QStringLiteral("BandLayer"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setGeometry(canvas->rect());
  lower();
  Clear();
}

void BandLayer::Outline(const QRect& twips, const QColor& color) {
  const QPoint a(Pixels(twips.left()), Pixels(twips.top()));
  const QPoint b(Pixels(twips.left() + twips.width() - 1), Pixels(twips.top() + twips.height() - 1));
  QPainter painter(&image_);
  painter.setPen(QPen(color, 0));
  const QPoint corners[] = {a, {b.x(), a.y()}, b, {a.x(), b.y()}, a};
  painter.drawPolyline(corners, 5);
  update();
}

void BandLayer::Clear() {
  image_ = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
  image_.fill(Qt::transparent);
  update();
}

void BandLayer::paintEvent(QPaintEvent*) { QPainter(this).drawImage(0, 0, image_); }

void BandLayer::resizeEvent(QResizeEvent*) { Clear(); }

}  // namespace editor::ui
