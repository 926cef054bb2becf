#include "print/rotated_renderer.h"

#include <QFontMetrics>
#include <QPainter>

#include "common/numbers.h"
#include "common/prompts.h"
#include "print/line_filler.h"
#include "print/painter_device.h"
#include "print/print_texts.h"
#include "store/registry.h"

namespace print {
namespace {

constexpr double kMmPerInch = 25.4;
constexpr int kPictureDpi = 96;  // the picture's fonts are sized as on the screen
constexpr qint64 kBandPixels = 16 * 1024 * 1024;
constexpr double kPictureLineGap = 20;  // twips
const QString kLineHeightSample = QStringLiteral("国");

void SetPictureResolution(QImage& image) {
  const int dotsPerMeter = common::RoundToInt(kPictureDpi / 0.0254);
  image.setDotsPerMeterX(dotsPerMeter);
  image.setDotsPerMeterY(dotsPerMeter);
}

const QImage& MeasuringPicture() {
  static const QImage image = [] {
    QImage i(1, 1, QImage::Format_RGB32);
    SetPictureResolution(i);
    return i;
  }();
  return image;
}

QFontMetrics PictureMetrics(const common::FontChoice& font) {
  return QFontMetrics(ToQFont(font), &MeasuringPicture());
}

double PictureWidth(const QFontMetrics& metrics, const QString& text) {
  return metrics.horizontalAdvance(text) * double(editor::kTwipsPerPixel);
}

}  // namespace

double RotationDpi() {
  const QString stored = Registry::GetSetting(Registry::kCollateSection, kDpiKey);
  const double dpi = stored.isEmpty() ? kDefaultRotationDpi : common::Val(stored);
  return dpi > 0 ? dpi : kDefaultRotationDpi;
}

RotationCanvas SizeRotationCanvas(double W, double H, double dpi) {
  RotationCanvas c;
  c.dpi = dpi;
  const double perMm = dpi / kMmPerInch;
  c.pixels = QSize(std::max(1, common::RoundToInt(W * perMm)), std::max(1, common::RoundToInt(H * perMm)));
  return c;
}

float FitPictureFontSize(double boxSize, const common::FontChoice& font, double ratio, bool bold) {
  // The picture is the same surface for every envelope, so one cache serves the whole program.
  static FontSizeCache cache;
  const FontSizeCache::Key key{font.name, bold, font.italic, boxSize, ratio};
  if (const float* known = cache.Find(key)) return *known;
  const double target = ScreenSampleTwips(kShortFontSample, boxSize, bold) * ratio;
  common::FontChoice probe = font;
  probe.bold = bold;
  const float size = SearchFontSize(boxSize, target, 0.1f, -0.1f, kSmallestFontSize, [&](double points) {
    probe.size = points;
    return PictureWidth(PictureMetrics(probe), kShortFontSample);
  });
  cache.Store(key, size);
  return size;
}

QList<PictureText> LayOutRotationCanvas(const editor::EnvelopeModel& envelope, const RotationCanvas& canvas) {
  QList<PictureText> texts;
  const int canvasWidth = envelope.canvasSize().width();
  if (canvasWidth <= 0) return texts;
  const double ratio = canvas.widthTwips() / canvasWidth;
  for (int i = 0; i < editor::kBoxCount; ++i) {
    const editor::Box& box = envelope.box(i);
    const QStringList lines = BoxLines(box.text);
    if (lines.isEmpty()) continue;
    common::FontChoice font = box.font;
    // Font sizes belong to the reference scale, not to the canvas on screen.
    font.size = FitPictureFontSize(box.font.size, box.font, ratio / envelope.FontZoom(), box.font.bold);
    const QFontMetrics metrics = PictureMetrics(font);
    const double x = box.geometry.left() * ratio;
    double y = box.geometry.top() * ratio;
    const double boxW = box.geometry.width() * ratio;
    const double pitch = metrics.height() * double(editor::kTwipsPerPixel) + kPictureLineGap;
    const auto width = [&metrics](const QString& s) { return PictureWidth(metrics, s); };
    // Centred boxes print as the unturned envelope prints them: each piece across the box, a
    // digit also down it.
    const bool centred = editor::RulesOf(i).centred;
    if (i <= editor::kLastDigitBox)
      y += (box.geometry.height() * ratio - metrics.height() * double(editor::kTwipsPerPixel)) / 2;
    for (const QString& line : lines) {
      for (const QString& piece : BreakLine(line, boxW, width)) {
        texts.append({QPointF(centred ? x + (boxW - width(piece)) / 2 : x, y), piece, font});
        y += pitch;
      }
    }
  }
  return texts;
}

QImage PaintPictureBand(const QList<PictureText>& texts, const RotationCanvas& canvas, int top, int rows) {
  QImage band(canvas.pixels.width(), rows, QImage::Format_RGB32);
  if (band.isNull()) return band;
  SetPictureResolution(band);
  band.fill(Qt::white);
  QPainter p(&band);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  p.translate(0, -top);
  for (const PictureText& t : texts) {
    const QFont font = ToQFont(t.font);
    const QFontMetricsF metrics(font, &band);
    const QPointF at = t.twips / double(editor::kTwipsPerPixel);
    if (at.y() > top + rows || at.y() + metrics.height() < top) continue;  // not in this band
    p.setFont(font);
    p.setPen(t.font.color);
    p.drawText(QPointF(at.x(), at.y() + metrics.ascent()), t.text);
  }
  return band;
}

int RowsPerBand(const RotationCanvas& canvas) {
  return int(std::clamp<qint64>(kBandPixels / std::max(1, canvas.pixels.width()), 1, canvas.pixels.height()));
}

PrintStatus PrintPictureRotated(PrinterDevice& device, const QList<PictureText>& texts,
                                const RotationCanvas& canvas, const editor::EnvelopeModel& envelope,
                                double offX, double offY) {
  const QRectF place = EnvelopeOnPage(device, envelope, offX, offY);
  const double W = place.width(), H = place.height(), x = place.right(), y = place.bottom();
  // Picture row r lands at y - r * H / rows: the first rows at the bottom of the turned image.
  const int total = canvas.pixels.height();
  const double mmPerRow = H / total;
  const int step = RowsPerBand(canvas);
  for (int top = 0; top < total; top += step) {
    const int rows = std::min(step, total - top);
    const QImage band = PaintPictureBand(texts, canvas, top, rows);
    if (band.isNull()) {
      device.EndDoc();
      return PrintStatus::kPictureTooLarge;
    }
    device.DrawImage(QPointF(x, y - top * mmPerRow), QSizeF(-W, -rows * mmPerRow), band);
  }
  return device.EndDoc() ? PrintStatus::kPrinted : PrintStatus::kJobNotSent;
}

PrintStatus RenderRotated(PrinterDevice& device, const editor::EnvelopeModel& envelope, double offX,
                          double offY, double dpi) {
  const double W = envelope.W(), H = envelope.H();
  if (!(W > 0 && H > 0 && envelope.canvasSize().width() > 0)) return PrintStatus::kPageNotPrepared;
  switch (SetupPrinterPage(device, W, H, envelope.options())) {
    case PageSetup::kReady:
      break;
    case PageSetup::kFailed:
      return PrintStatus::kPageNotPrepared;
    case PageSetup::kPaperRefused:
      return PrintStatus::kPaperRefused;
  }
  const RotationCanvas canvas = SizeRotationCanvas(W, H, dpi);
  if (canvas.pixelCount() > kMostRotationPixels) {
    common::prompts().Message(
        kRotationTooLarge.arg(common::NumberText(dpi)).arg(canvas.pixelCount() / 10000));
    return PrintStatus::kPictureTooLarge;
  }
  return PrintPictureRotated(device, LayOutRotationCanvas(envelope, canvas), canvas, envelope, offX, offY);
}

}  // namespace print
