#include "editor/envelope_guide.h"

#include <QPainter>
#include <algorithm>

#include "editor/envelope_model.h"

namespace editor {
namespace {

const QColor kGuideRed{240, 150, 150};
const QColor kGuideFill{250, 225, 225};

}  // namespace

EnvelopeGuide EnvelopeGuideOf(double W, double H) {
  EnvelopeGuide guide;
  const double top = H >= 150 ? 15 : 10;
  for (int k = 0; k < 6; ++k) guide.postcodeBoxes[k] = QRectF(20 + 10 * k, top, 8, 10);
  guide.stampArea = QRectF(W - 50, 0, 50, 30);
  const double left = std::max(0.0, W - 160);
  guide.barcodeStrip = QRectF(left, H - 15, std::max(0.0, W - 55 - left), 15);
  return guide;
}

void PaintEnvelopeGuide(QPainter& painter, int canvasWidth, double W, double H) {
  if (!(W > 0 && H > 0 && canvasWidth > 0)) return;
  const double pixelsPerMm = canvasWidth / W / kTwipsPerPixel;
  const auto pixels = [pixelsPerMm](const QRectF& mm) {
    return QRectF(mm.topLeft() * pixelsPerMm, mm.size() * pixelsPerMm);
  };
  const EnvelopeGuide guide = EnvelopeGuideOf(W, H);
  painter.save();
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(kGuideRed, 1));
  for (const QRectF& box : guide.postcodeBoxes) painter.drawRect(pixels(box));
  painter.setPen(QPen(kGuideRed, 1, Qt::DashLine));
  painter.drawRect(pixels(guide.stampArea));
  painter.fillRect(pixels(guide.barcodeStrip), QBrush(kGuideFill, Qt::BDiagPattern));
  painter.drawRect(pixels(guide.barcodeStrip));
  painter.restore();
}

}  // namespace editor
