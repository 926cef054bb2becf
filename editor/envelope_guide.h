#pragma once
// The guide drawn faintly on the canvas when "显示标准格线" is checked: where a standard Chinese
// envelope has its pre-printed red postcode boxes, its stamp area and its bar-code strip, so that
// boxes can be laid on them. A screen aid only, never printed. The shipped default formats
// (resources/standard_formats.tsv) follow the same figures.

#include <QRectF>
#include <array>

class QPainter;

namespace editor {

struct EnvelopeGuide {
  std::array<QRectF, 6> postcodeBoxes;  // mm from the envelope's top-left corner
  QRectF stampArea;
  QRectF barcodeStrip;
};

// The guide of a W x H mm envelope: six boxes 8 x 10 mm, 2 mm apart, the first 20 mm from the
// left and 10 mm from the top (15 mm on the large sizes, 150 mm high and more); a 50 x 30 mm stamp
// area in the top-right corner; the bar-code strip 55 to 160 mm from the right edge in the
// lowest 15 mm.
EnvelopeGuide EnvelopeGuideOf(double W, double H);

// Paints the guide on a surface whose units are pixels at 15 twips each, for a canvas of
// `canvasWidth` twips showing a W x H envelope.
void PaintEnvelopeGuide(QPainter& painter, int canvasWidth, double W, double H);

}  // namespace editor
