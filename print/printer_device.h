#pragma once
// The application's printer as every print procedure sees it: envelopes, the calibration
// square and label sheets all draw through this one interface, so the same rendering code
// serves a system printer, the built-in PDF printer, the preview and the tests.
//
// Coordinates are millimetres on the oriented page, measured from the paper's top-left
// corner (full page, no margins), shifted by the origin. Lengths handed out (text width and
// height, drawable size) are millimetres too.
//
// A print job is everything drawn between two EndDoc() calls: the first drawing call after
// EndDoc() begins a new job (for a system printer a new spooled document, for the PDF printer
// a new page of the same file). Page setup (paper, orientation) applies to the next job that
// begins; set it before drawing.
//
// Calls that a real printer may refuse return false; the device then keeps its previous state.
// Callers that are told to pass over a failed step simply ignore the result.

#include <QColor>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include "common/prompts.h"

namespace print {

class PrinterDevice {
 public:
  virtual ~PrinterDevice() = default;

  // The printer's device name, as the printer chooser lists it.
  virtual QString DeviceName() const = 0;

  // Paper. SetPaperSize returns false when the printer refuses the size (and keeps the old one).
  virtual QPageSize::PageSizeId PaperSize() const = 0;
  virtual bool SetPaperSize(QPageSize::PageSizeId size) = 0;
  // Millimetres are the only unit; a device may still fail the call (a broken driver).
  virtual bool SetUnitMillimetres() = 0;
  virtual QPageLayout::Orientation Orientation() const = 0;
  virtual bool SetOrientation(QPageLayout::Orientation orientation) = 0;
  // The page point that coordinates (0, 0) stand for, in mm; (0, 0) is the paper's corner.
  virtual bool SetOrigin(QPointF mm) = 0;
  // The drawable part of the oriented page: the paper less the printer's unprintable margins.
  virtual QSizeF DrawableSize() const = 0;
  // The paper's size in mm, unoriented; also for a custom paper.
  virtual QSizeF PaperSizeMm() const { return QPageSize(PaperSize()).size(QPageSize::Millimeter); }
  // Whether every envelope gets a page of its own size, as print shops take them: no A4 around
  // it, no printer offsets, no centre feed, no turning. Only the PDF printer offers it.
  virtual bool EnvelopeSizedPages() const { return false; }
  // A paper of `mm` (width and height as given). False when the printer refuses it.
  virtual bool SetCustomPaperSize(QSizeF) { return false; }

  // The current font: name, size in points, effects and colour. SetFontSize may be refused.
  virtual void SetFont(const common::FontChoice& font) = 0;
  virtual bool SetFontSize(double points) = 0;
  virtual const common::FontChoice& Font() const = 0;

  // The current position: the top-left corner of the next text drawn.
  virtual QPointF CurrentPosition() const = 0;
  virtual void SetCurrentPosition(QPointF mm) = 0;
  // Measurements in the current font.
  virtual double TextWidth(const QString& text) const = 0;
  virtual double TextHeight(const QString& text) const = 0;
  // Prints one line of text with its top-left corner at the current position, then moves the
  // current position to the end of the text on the same line.
  virtual void PrintText(const QString& text) = 0;

  // Shapes, in mm.
  virtual void DrawLine(QPointF from, QPointF to, const QColor& color) = 0;
  virtual void FillRect(const QRectF& rect, const QColor& color) = 0;
  // Draws `image` (or its `source` part, in image pixels; a null source means all of it) into
  // the rectangle with one corner at `corner` and the signed `extent`: a negative width mirrors
  // the image left to right, a negative height top to bottom (both: turned by 180 degrees).
  virtual void DrawImage(QPointF corner, QSizeF extent, const QImage& image,
                         const QRect& source = QRect()) = 0;

  // Ends the current page within the job; the next drawing starts a new page.
  virtual bool NewPage() = 0;
  // Ends the document and sends the job. False when the printer could not take it. A job with
  // nothing drawn on it sends nothing (no blank sheet) and succeeds.
  virtual bool EndDoc() = 0;
};

}  // namespace print
