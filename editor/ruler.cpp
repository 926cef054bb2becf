#include "editor/ruler.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include "editor/envelope_model.h"

namespace editor {
namespace {

const QString kRulerFont = QStringLiteral("宋体");

QFont FigureFont() {
  QFont font(kRulerFont);
  font.setPointSizeF(kRulerFigurePoints);
  return font;
}

}  // namespace

RulerGrid RulerGridOf(QSize canvas, double W) {
  RulerGrid grid;
  if (W <= 0 || canvas.width() <= 0 || canvas.height() <= 0) return grid;
  const double s = canvas.width() / W;  // twips per mm
  const double Hc = double(canvas.height()) / canvas.width() * W;
  const auto add = [&](bool vertical, double extent) {
    for (int mm = 2; mm <= extent; mm += 2) grid.lines.push_back({vertical, mm * s, mm, mm % 10 == 0});
  };
  add(true, W);
  add(false, Hc);
  for (const RulerLine& line : grid.lines) {
    if (line.mm % 20 != 0) continue;
    const QString cm = QString::number(line.mm / 10);
    if (line.vertical) {
      grid.figures.push_back({cm, {line.at - 40, 20}, false});
    } else {
      grid.figures.push_back({cm, {20, line.at - 80}, false});
      grid.figures.push_back({cm, {canvas.width() - 40.0, line.at - 80}, true});
    }
  }
  return grid;
}

void PaintRuler(QPainter& painter, QSize canvas, double W) {
  const RulerGrid grid = RulerGridOf(canvas, W);
  if (grid.lines.empty()) return;
  const double px = kTwipsPerPixel;
  const double width = canvas.width() / px;
  const double height = canvas.height() / px;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  // Light lines first so that the dark ones stay whole where they cross.
  for (const bool dark : {false, true}) {
    painter.setPen(QPen(dark ? kRulerDark : kRulerLight, 0));
    for (const RulerLine& line : grid.lines) {
      if (line.dark != dark) continue;
      const double at = line.at / px;
      if (line.vertical)
        painter.drawLine(QPointF(at, 0), QPointF(at, height));
      else
        painter.drawLine(QPointF(0, at), QPointF(width, at));
    }
  }
  const QFont font = FigureFont();
  const QFontMetricsF metrics(font, painter.device());
  painter.setFont(font);
  painter.setPen(kRulerDark);
  for (const RulerFigure& figure : grid.figures) {
    QPointF topLeft = figure.at / px;
    if (figure.alignRight) topLeft.rx() -= metrics.horizontalAdvance(figure.text);
    painter.drawText(QRectF(topLeft, metrics.size(0, figure.text)), Qt::AlignLeft | Qt::AlignTop,
                     figure.text);
  }
  painter.restore();
}

}  // namespace editor
