#pragma once
// "打印预览": the page the next envelope print would produce, drawn by the same renderer onto an
// image that stands for the chosen printer, with the envelope's outline where it lies on the
// paper and the printer's unprintable margins shaded.

#include <QImage>
#include <QMarginsF>

#include "editor/envelope_model.h"
#include "print/calibration.h"

namespace print {

// The printer the preview stands for.
struct PreviewTarget {
  QString printerName;
  double resolution = 1200;  // dots per inch the printer measures text at
  QMarginsF unprintable;     // mm, on a portrait page
  bool takesA3 = true;
};

struct Preview {
  QImage page;       // the paper, white, at `dpi`; null when the page could not be prepared
  QRectF envelope;   // mm on the page
  QSizeF paper;      // mm, oriented
  QRectF printable;  // mm: the part of the paper the printer reaches; nothing outside is shown
  double dpi = 0;
  bool paperRefused = false;  // the printer lacks the paper the envelope needs
};

// Renders the shown envelope as the next print would: normally, or turned when the envelope's
// options ask for it (the picture at `rotationDpi`, capped for the screen).
Preview RenderPreview(const editor::EnvelopeModel& envelope, const PreviewTarget& target,
                      PrinterOffsets offsets, double rotationDpi, double dpi = 100);

}  // namespace print
