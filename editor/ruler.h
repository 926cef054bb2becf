#pragma once
// The ruler grid drawn on the canvas background when "显示标尺(厘米)" is checked: a line every
// 2 mm, darker every 10 mm, and the distance in centimetres every 2 cm. It is a screen aid only
// and never printed.

#include <QColor>
#include <QPointF>
#include <QSize>
#include <QString>
#include <vector>

class QPainter;

namespace editor {

inline const QColor kRulerDark{150, 150, 150};
inline const QColor kRulerLight{230, 230, 230};
constexpr double kRulerFigurePoints = 9;

struct RulerLine {
  bool vertical;
  double at;  // twips from the canvas' left (vertical) or top (horizontal) edge
  int mm;
  bool dark;  // a multiple of 10 mm
};

// Where a figure goes: its text's top-left corner, or its top-right corner when alignRight.
struct RulerFigure {
  QString text;
  QPointF at;  // twips
  bool alignRight;
};

struct RulerGrid {
  std::vector<RulerLine> lines;
  std::vector<RulerFigure> figures;
};

// The grid for a canvas of `canvas` twips showing an envelope W mm wide. Empty when W or the
// canvas is empty.
RulerGrid RulerGridOf(QSize canvas, double W);

// Paints the grid on a surface whose units are pixels at 15 twips each.
void PaintRuler(QPainter& painter, QSize canvas, double W);

}  // namespace editor
