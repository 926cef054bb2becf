#include "print/painter_device.h"

#include <QGlyphRun>
#include <cmath>

namespace print {
namespace {

constexpr double kMmPerInch = 25.4;

// Qt keeps a font's glyphs in memory only up to about 256 pixels. At a printer's resolution a
// 16-point font is past that, and every measurement then loads each glyph afresh from FreeType,
// eight times slower. Larger fonts are shaped at this many pixels and scaled back up; the
// output is vector, so the text comes out the same.
constexpr double kLargestShapedPixels = 200;

// Text measured for a printer, a PDF or a preview of them goes the plain way; the label sheet
// on screen, one page at a time, keeps Qt's shaping.
constexpr double kLeastPlainResolution = 300;

// Metrics kept for this many fonts at most; a size search tries many more sizes than that.
constexpr size_t kMostKnownFonts = 64;
// Widths kept per font at most: a label's texts come back while its sizes are tried, never
// after it, so the memory stays small.
constexpr qsizetype kMostKnownWidths = 4096;

QPageLayout FullPage(QPageSize::PageSizeId size, QPageLayout::Orientation orientation) {
  return QPageLayout(QPageSize(size), orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

}  // namespace

QFont ToQFont(const common::FontChoice& font) {
  QFont f(font.name);
  if (font.size > 0) f.setPointSizeF(font.size);
  f.setBold(font.bold);
  f.setItalic(font.italic);
  f.setUnderline(font.underline);
  f.setStrikeOut(font.strikeout);
  return f;
}

PainterDevice::PainterDevice() : layout_(FullPage(QPageSize::A4, QPageLayout::Portrait)) {
  font_.name = QStringLiteral("宋体");
}

bool PainterDevice::SetPaperSize(QPageSize::PageSizeId size) {
  if (!Accepts(size)) return false;
  layout_ = FullPage(size, layout_.orientation());
  return true;
}

bool PainterDevice::SetCustomPaperSize(QSizeF mm) {
  if (!(mm.width() > 0 && mm.height() > 0)) return false;
  layout_ = QPageLayout(QPageSize(mm, QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                        layout_.orientation(), QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
  return true;
}

bool PainterDevice::SetOrientation(QPageLayout::Orientation orientation) {
  layout_.setOrientation(orientation);
  return true;
}

bool PainterDevice::SetOrigin(QPointF mm) {
  origin_ = mm;
  return true;
}

QSizeF PainterDevice::DrawableSize() const {
  const QSizeF paper = layout_.fullRect(QPageLayout::Millimeter).size();
  const QMarginsF m = UnprintableMargins();
  return {paper.width() - m.left() - m.right(), paper.height() - m.top() - m.bottom()};
}

void PainterDevice::SetFont(const common::FontChoice& font) {
  common::FontChoice recoloured = font_;
  recoloured.color = font.color;
  if (recoloured == font) {  // boxes in a row often share a font: keep its metrics
    font_.color = font.color;
    return;
  }
  const bool sameFace = font.name == font_.name && font.bold == font_.bold && font.italic == font_.italic &&
                        font.underline == font_.underline && font.strikeout == font_.strikeout;
  font_ = font;
  if (!sameFace) faceKnown_ = false;
  UpdateFont();
}

bool PainterDevice::SetFontSize(double points) {
  if (!(points > 0) || !std::isfinite(points)) return false;  // printers refuse such sizes
  if (font_.size == points) return true;
  font_.size = points;
  UpdateFont();
  return true;
}

const QFont& PainterDevice::QtFont() const {
  if (qfontStale_) {
    qfont_ = ToQFont(font_);
    qfontStale_ = false;
  }
  return qfont_;
}

PainterDevice::ShapedFont PainterDevice::Shaped(double resolution) const {
  const QFont& qfont = QtFont();
  const double pixels = qfont.pointSizeF() * resolution / 72;
  if (!(pixels > kLargestShapedPixels)) return {qfont, 1};
  const double scale = pixels / kLargestShapedPixels;
  QFont font = qfont;
  font.setPointSizeF(qfont.pointSizeF() / scale);
  return {font, scale};
}

void PainterDevice::UpdateFont() {
  // Fitting switches fonts and sizes far more often than it prints: the Qt font, its metrics
  // and the painter's font are brought up to date when they are next needed.
  measuring_ = nullptr;
  qfontStale_ = true;
  paintedStale_ = true;
}

const PlainTextFace* PainterDevice::Face() const {
  if (MeasuringResolution() < kLeastPlainResolution) return nullptr;
  if (!faceKnown_) {
    const FaceKey key{font_.name, font_.bold, font_.italic, font_.underline, font_.strikeout};
    auto known = faces_.find(key);
    if (known == faces_.end()) known = faces_.emplace(key, std::make_unique<PlainTextFace>(QtFont())).first;
    face_ = known->second->usable() ? known->second.get() : nullptr;
    faceKnown_ = true;
  }
  return face_;
}

PainterDevice::ShapedFont PainterDevice::Painted() const {
  ShapedFont shaped = Shaped(Resolution());
  // A coarse page would round every advance to its pixels: lines would come out shorter than
  // on the printer, which measured them.
  if (Resolution() < MeasuringResolution()) shaped.font.setHintingPreference(QFont::PreferNoHinting);
  return shaped;
}

const PainterDevice::Measuring& PainterDevice::Measured() const {
  // Building metrics is the costly part of a measurement; fonts change far less often than
  // texts are measured.
  // A run switches between a handful of fonts for every envelope: the metrics of each are kept.
  if (!measuring_) {
    // The choice itself, not QFont::key(): that string is built anew every time, and a label
    // switches fonts for every item it lays out.
    const FontKey key{font_.name, font_.size, font_.bold, font_.italic, font_.underline, font_.strikeout};
    auto known = knownMetrics_.find(key);
    if (known == knownMetrics_.end()) {
      if (knownMetrics_.size() >= kMostKnownFonts) knownMetrics_.clear();
      const ShapedFont shaped = Shaped(MeasuringResolution());
      const QFontMetricsF metrics(shaped.font, MeasuringDevice());
      const double mmPerUnit = shaped.scale * kMmPerInch / MeasuringResolution();
      known =
          knownMetrics_.emplace(key, Measuring{metrics, shaped.scale, mmPerUnit, metrics.height(), {}, {}})
              .first;
    }
    measuring_ = &known->second;
  }
  return *measuring_;
}

double PainterDevice::MeasuredMm(double length) const { return length * Measured().mmPerUnit; }

double PainterDevice::TextWidth(const QString& text) const {
  const double plain = PlainLayout(text, nullptr, nullptr);
  if (plain >= 0) return MeasuredMm(plain);
  const Measuring& measuring = Measured();
  auto known = measuring.widths.constFind(text);
  if (known == measuring.widths.cend()) {
    if (measuring.widths.size() >= kMostKnownWidths) measuring.widths.clear();
    // A copy of its own: the text may be a view into someone else's string.
    known = measuring.widths.insert(QString(text.constData(), text.size()),
                                    measuring.metrics.horizontalAdvance(text));
  }
  return MeasuredMm(*known);
}

double PainterDevice::TextHeight(const QString&) const {
  // One line of the font, whatever the text, as a printer reports it.
  return MeasuredMm(Measured().height);
}

QPointF PainterDevice::ToDevice(QPointF mm) const { return (mm + origin_) * (Resolution() / kMmPerInch); }

QPainter* PainterDevice::Painter() {
  if (painter_ && !pageEnded_) return painter_;
  const bool first = painter_ == nullptr;
  pageEnded_ = false;
  painter_ = BeginPage(layout_, first);
  if (painter_) {
    paintedStale_ = true;
    painter_->setRenderHint(QPainter::Antialiasing, true);
  }
  return painter_;
}

double PainterDevice::PlainLayout(const QString& text, QList<quint32>* glyphs,
                                  QList<QPointF>* positions) const {
  const PlainTextFace* face = Face();
  if (!face) return -1;
  const Measuring& measuring = Measured();
  if (glyphs) {
    glyphs->resize(text.size());
    positions->resize(text.size());
  }
  double x = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    const int slot = face->Slot(c.unicode());
    if (slot < 0) return -1;
    if (measuring.advances.size() <= size_t(slot)) measuring.advances.resize(face->Slots(), -1);
    float& advance = measuring.advances[size_t(slot)];
    if (advance < 0) advance = float(measuring.metrics.horizontalAdvance(c));
    if (glyphs) {
      (*glyphs)[i] = face->Glyph(slot);
      (*positions)[i] = QPointF(x, 0);
    }
    x += advance;
  }
  return x;
}

double PainterDevice::DrawPlain(QPainter& painter, QPointF baseline, const QString& text) {
  const double width = PlainLayout(text, &glyphs_, &glyphPositions_);
  if (width < 0) return width;
  // Where the measurement put them, on this device.
  const double toDevice = Measured().scale * Resolution() / MeasuringResolution();
  for (QPointF& at : glyphPositions_) at.rx() *= toDevice;
  QGlyphRun run;
  run.setRawFont(Face()->At(font_.size * Resolution() / 72));
  run.setGlyphIndexes(glyphs_);
  run.setPositions(glyphPositions_);
  painter.drawGlyphRun(baseline, run);
  return width;
}

void PainterDevice::PrintText(const QString& text) {
  if (QPainter* p = Painter()) {
    p->setPen(font_.color);
    const QPointF baseline = ToDevice(position_ + QPointF(0, MeasuredMm(Metrics().ascent())));
    if (const double plain = DrawPlain(*p, baseline, text); plain >= 0) {
      position_.rx() += MeasuredMm(plain);
      return;
    }
    DrawShaped(*p, baseline, text);
  }
  position_.rx() += TextWidth(text);
}

void PainterDevice::DrawShaped(QPainter& painter, QPointF baseline, const QString& text) {
  if (paintedStale_) {
    painted_ = Painted();
    painter.setFont(painted_.font);
    paintedStale_ = false;
  }
  if (painted_.scale == 1) {
    painter.drawText(baseline, text);
  } else {
    painter.save();
    painter.scale(painted_.scale, painted_.scale);
    painter.drawText(baseline / painted_.scale, text);
    painter.restore();
  }
}

void PainterDevice::DrawLine(QPointF from, QPointF to, const QColor& color) {
  if (QPainter* p = Painter()) {
    p->setPen(QPen(color, Resolution() / kMmPerInch * 0.2));
    p->drawLine(ToDevice(from), ToDevice(to));
  }
}

void PainterDevice::FillRect(const QRectF& rect, const QColor& color) {
  if (QPainter* p = Painter())
    p->fillRect(QRectF(ToDevice(rect.topLeft()), ToDevice(rect.bottomRight())), color);
}

void PainterDevice::DrawImage(QPointF corner, QSizeF extent, const QImage& image, const QRect& source) {
  QPainter* p = Painter();
  if (!p || image.isNull() || extent.isNull()) return;
  const double scale = Resolution() / kMmPerInch;
  p->save();
  p->translate(ToDevice(corner));
  p->scale(extent.width() < 0 ? -1 : 1, extent.height() < 0 ? -1 : 1);
  const QRectF target(0, 0, std::abs(extent.width()) * scale, std::abs(extent.height()) * scale);
  p->setRenderHint(QPainter::SmoothPixmapTransform, true);
  p->drawImage(target, image, source.isNull() ? QRectF(image.rect()) : QRectF(source));
  p->restore();
}

bool PainterDevice::NewPage() {
  if (painter_) pageEnded_ = true;
  return true;
}

bool PainterDevice::EndDoc() {
  if (!painter_) return true;  // nothing drawn: nothing to send
  painter_ = nullptr;
  pageEnded_ = false;
  return FinishJob();
}

}  // namespace print
