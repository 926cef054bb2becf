#include "print/preview.h"

#include <QPainter>
#include <QPainterPath>

#include "print/envelope_renderer.h"
#include "print/image_device.h"
#include "print/rotated_renderer.h"

namespace print {
namespace {

// Finer pictures than this add nothing on a screen.
constexpr double kMostPreviewRotationDpi = 300;

}  // namespace

Preview RenderPreview(const editor::EnvelopeModel& envelope, const PreviewTarget& target,
                      PrinterOffsets offsets, double rotationDpi, double dpi) {
  Preview preview;
  preview.dpi = dpi;
  ImageDevice device(target.printerName, dpi, target.resolution, target.unprintable, target.takesA3);
  const bool rotate = envelope.options().rotate;
  const PrintStatus status = rotate ? RenderRotated(device, envelope, offsets.x, offsets.y,
                                                    std::min(rotationDpi, kMostPreviewRotationDpi))
                                    : RenderEnvelope(device, envelope, offsets.x, offsets.y);
  preview.paperRefused = status == PrintStatus::kPaperRefused;
  if (status != PrintStatus::kPrinted) return preview;
  preview.envelope = EnvelopeOnPage(device, envelope, offsets.x, offsets.y);
  preview.paper = device.layout().fullRect(QPageLayout::Millimeter).size();
  if (!device.pages().isEmpty()) {
    preview.page = device.pages().constLast();
  } else {  // an envelope with nothing on it is still a sheet of paper
    const double perMm = dpi / 25.4;
    preview.page = QImage((preview.paper * perMm).toSize(), QImage::Format_RGB32);
    preview.page.fill(Qt::white);
  }

  QPainter p(&preview.page);
  const double perMm = dpi / 25.4;
  const QSizeF drawable = device.DrawableSize();
  const QMarginsF m = device.OrientedMargins();
  preview.printable = QRectF(QPointF(m.left(), m.top()), drawable);
  if (!m.isNull()) {  // what the printer cannot reach
    QPainterPath paper, reach;
    paper.addRect(QRectF(QPointF(0, 0), preview.paper * perMm));
    reach.addRect(QRectF(preview.printable.topLeft() * perMm, preview.printable.size() * perMm));
    p.fillPath(paper.subtracted(reach), QColor(0, 0, 0, 28));
  }
  QPen outline(QColor(0, 120, 215), 1, Qt::DashLine);
  p.setPen(outline);
  p.drawRect(QRectF(preview.envelope.topLeft() * perMm, preview.envelope.size() * perMm));
  return preview;
}

}  // namespace print
