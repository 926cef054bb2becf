#pragma once
// A printer device that paints with QPainter: the common part of the PDF printer, the system
// printers (print/ui/) and the preview page. Subclasses only say how a job and a page begin
// and end on their paint device; measuring, fonts and drawing are the same for all of them.
// Chinese text is measured and drawn from the glyphs of its face (print/plain_text_face.h),
// everything else as Qt shapes it.
//
// The painter works in device pixels with its origin at the paper's corner; millimetres are
// converted here rather than by a world transform, so that point sizes keep their meaning.

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QMarginsF>
#include <QPainter>
#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

#include "print/plain_text_face.h"
#include "print/printer_device.h"

namespace print {

class PainterDevice : public PrinterDevice {
 public:
  QPageSize::PageSizeId PaperSize() const override { return layout_.pageSize().id(); }
  bool SetPaperSize(QPageSize::PageSizeId size) override;
  bool SetUnitMillimetres() override { return true; }
  QPageLayout::Orientation Orientation() const override { return layout_.orientation(); }
  bool SetOrientation(QPageLayout::Orientation orientation) override;
  bool SetOrigin(QPointF mm) override;
  QSizeF DrawableSize() const override;
  QSizeF PaperSizeMm() const override { return layout_.pageSize().size(QPageSize::Millimeter); }
  bool SetCustomPaperSize(QSizeF mm) override;

  void SetFont(const common::FontChoice& font) override;
  bool SetFontSize(double points) override;
  const common::FontChoice& Font() const override { return font_; }

  QPointF CurrentPosition() const override { return position_; }
  void SetCurrentPosition(QPointF mm) override { position_ = mm; }
  double TextWidth(const QString& text) const override;
  double TextHeight(const QString& text) const override;
  void PrintText(const QString& text) override;

  void DrawLine(QPointF from, QPointF to, const QColor& color) override;
  void FillRect(const QRectF& rect, const QColor& color) override;
  void DrawImage(QPointF corner, QSizeF extent, const QImage& image, const QRect& source = QRect()) override;

  bool NewPage() override;
  bool EndDoc() override;

  // The page layout the next job begins with: paper, orientation, no margins.
  const QPageLayout& layout() const { return layout_; }

 protected:
  PainterDevice();

  // Opens a job (or, after NewPage, the next page of it) with `layout` and returns the painter
  // to draw with; nullptr when the device cannot start one. Called before the first drawing of
  // each job and each page.
  virtual QPainter* BeginPage(const QPageLayout& layout, bool firstOfJob) = 0;
  // Ends the job that BeginPage opened; false when it could not be sent.
  virtual bool FinishJob() = 0;
  // The device whose resolution fonts are measured at, also while no job is open.
  virtual const QPaintDevice* MeasuringDevice() const = 0;
  // Device pixels per inch of the painter.
  virtual double Resolution() const = 0;
  // Pixels per inch of the measuring device; a preview paints coarser than it measures.
  virtual double MeasuringResolution() const { return Resolution(); }
  // Whether the printer takes this paper at all; the PDF printer takes any.
  virtual bool Accepts(QPageSize::PageSizeId) const { return true; }
  // The printer's unprintable margins on the oriented page, in mm.
  virtual QMarginsF UnprintableMargins() const { return {}; }

  bool jobOpen() const { return painter_ != nullptr; }

 private:
  // The font as it is shaped at `resolution`, and the factor that scales it back to its size.
  struct ShapedFont {
    QFont font;
    double scale = 1;
  };
  ShapedFont Shaped(double resolution) const;
  ShapedFont Painted() const;
  void UpdateFont();
  const QFont& QtFont() const;
  // The face that measures and draws text without shaping, or nullptr for this font.
  const PlainTextFace* Face() const;
  // The width of `text` in the measuring metrics when it needs no shaping, and its glyphs and
  // their positions when asked for; negative when it needs shaping.
  double PlainLayout(const QString& text, QList<quint32>* glyphs, QList<QPointF>* positions) const;
  // Draws `text` from the face's glyphs and gives its width in the measuring metrics; negative,
  // drawing nothing, when it needs Qt's shaping.
  double DrawPlain(QPainter& painter, QPointF baseline, const QString& text);
  // Draws `text` as Qt shapes it.
  void DrawShaped(QPainter& painter, QPointF baseline, const QString& text);

  QPainter* Painter();
  QPointF ToDevice(QPointF mm) const;
  // The metrics text is measured with, and the factor of their shaped font.
  struct Measuring {
    QFontMetricsF metrics;
    double scale;
    double mmPerUnit;  // a length of the metrics in mm
    qreal height;      // of a line, asked for with every layout
    // Widths of the texts measured in this font: fitting measures the same texts again and
    // again, and each measurement shapes the text anew.
    mutable QHash<QString, qreal> widths;
    // The advances of the face's glyphs, by their number (PlainTextFace::Slot); negative
    // until measured. Qt's own advances at this size, so widths are the ones shaping gives.
    mutable std::vector<float> advances;
  };
  const Measuring& Measured() const;
  const QFontMetricsF& Metrics() const { return Measured().metrics; }
  // A length of the measuring metrics in mm.
  double MeasuredMm(double length) const;

  QPageLayout layout_;
  QPointF origin_;
  QPointF position_;
  common::FontChoice font_;
  mutable QFont qfont_;
  mutable bool qfontStale_ = true;                                     // font_ changed since
  mutable const Measuring* measuring_ = nullptr;                       // in knownMetrics_
  using FontKey = std::tuple<QString, qreal, bool, bool, bool, bool>;  // name, size and effects
  mutable std::map<FontKey, Measuring> knownMetrics_;
  using FaceKey = std::tuple<QString, bool, bool, bool, bool>;  // name and effects
  mutable std::map<FaceKey, std::unique_ptr<PlainTextFace>> faces_;
  mutable const PlainTextFace* face_ = nullptr;  // in faces_
  mutable bool faceKnown_ = false;
  QList<quint32> glyphs_;  // kept between texts to spare the allocations
  QList<QPointF> glyphPositions_;
  ShapedFont painted_;           // what the open job's painter draws text with
  bool paintedStale_ = true;     // the painter's font is not the current one
  QPainter* painter_ = nullptr;  // the open job's painter, owned by the subclass
  bool pageEnded_ = false;       // NewPage() was called: the next drawing begins a new page
};

// The Qt font for a box font.
QFont ToQFont(const common::FontChoice& font);

}  // namespace print
