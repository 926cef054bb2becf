#include "print/envelope_renderer.h"

#include <QFontMetrics>
#include <QImage>

#include "common/numbers.h"
#include "common/prompts.h"
#include "print/line_filler.h"
#include "print/painter_device.h"
#include "print/print_texts.h"

namespace print {
namespace {

constexpr double kA4ShortSide = 210;
constexpr int kScreenDpi = 96;
// A full-width character: the height of one printed line.
const QString kLineHeightSample = QStringLiteral("国");

// The screen stand-in: a 96-dpi image, the same on every machine.
const QImage& ScreenStandIn() {
  static const QImage image = [] {
    QImage i(1, 1, QImage::Format_RGB32);
    const int dotsPerMeter = common::RoundToInt(kScreenDpi / 0.0254);
    i.setDotsPerMeterX(dotsPerMeter);
    i.setDotsPerMeterY(dotsPerMeter);
    return i;
  }();
  return image;
}

// Prints the lines of a centred box: each broken piece centred across `place`; a digit box's
// one line also centred down it.
void PrintCentred(PrinterDevice& device, const QStringList& lines, const QRectF& place, double boxW,
                  double pitch, bool digit) {
  const auto width = [&device](const QString& s) { return device.TextWidth(s); };
  double y = digit ? place.top() + (place.height() - device.TextHeight(lines.front())) / 2 : place.top();
  for (const QString& line : lines) {
    for (const QString& piece : BreakLine(line, boxW, width)) {
      device.SetCurrentPosition(QPointF(place.left() + (place.width() - device.TextWidth(piece)) / 2, y));
      device.PrintText(piece);
      y += pitch;
    }
  }
}

}  // namespace

int ErrorNumber(PrintStatus status) {
  switch (status) {
    case PrintStatus::kPrinted:
    case PrintStatus::kPageNotPrepared:
      return 0;
    case PrintStatus::kJobNotSent:
      return 482;  // printer error
    case PrintStatus::kPictureTooLarge:
      return 7;  // out of memory
    case PrintStatus::kPaperRefused:
      return 0;
  }
  return 0;
}

bool NeedsA3(double W, double H, const editor::TabOptions& options) {
  return (options.portrait && H > kA4ShortSide) || (options.landscape && W > kA4ShortSide);
}

PageSetup SetupPrinterPage(PrinterDevice& device, double W, double H, const editor::TabOptions& options) {
  if (device.EnvelopeSizedPages()) {
    const bool ok = device.SetCustomPaperSize(QSizeF(W, H)) && device.SetUnitMillimetres() &&
                    device.SetOrientation(QPageLayout::Portrait) && device.SetOrigin(QPointF(0, 0));
    return ok ? PageSetup::kReady : PageSetup::kFailed;
  }
  if (!device.DeviceName().toUpper().startsWith(QStringLiteral("OKI"))) {
    if (!NeedsA3(W, H, options)) {
      device.SetPaperSize(QPageSize::A4);
    } else if (!device.SetPaperSize(QPageSize::A3)) {
      return PageSetup::kPaperRefused;
    }
  }
  if (!device.SetUnitMillimetres()) return PageSetup::kFailed;
  if (!device.SetOrientation(options.portrait ? QPageLayout::Landscape : QPageLayout::Portrait))
    return PageSetup::kFailed;
  return device.SetOrigin(QPointF(0, 0)) ? PageSetup::kReady : PageSetup::kFailed;
}

QString PaperRefusedText(const QString& printer, double W, double H) {
  return kPaperRefused.arg(printer, common::NumberText(W), common::NumberText(H));
}

double ShortSide(const PrinterDevice& device) {
  // The paper as it is, so that a printer keeping its own paper (the OKI rule) still gets its
  // envelope on the sheet.
  const QSizeF paper = device.PaperSizeMm();
  return paper.isValid() ? std::min(paper.width(), paper.height()) : kA4ShortSide;
}

void CopyBoxFont(PrinterDevice& device, const editor::Box& box) { device.SetFont(box.font); }

int ScreenSampleTwips(const QString& sample, double size, bool bold) {
  QFont font(QStringLiteral("宋体"));
  font.setPointSizeF(size > 0 ? size : kSmallestFontSize);
  font.setBold(bold);
  return QFontMetrics(font, &ScreenStandIn()).horizontalAdvance(sample) * editor::kTwipsPerPixel;
}

const float* FontSizeCache::Find(const Key& key) const {
  const auto it = sizes_.find(key);
  return it == sizes_.end() ? nullptr : &it->second;
}

float FitPrinterFontSize(PrinterDevice& device, double boxSize, const editor::Box& box, double mmPerTwip,
                         bool bold, FontSizeCache* cache) {
  const FontSizeCache::Key key{box.font.name, bold, box.font.italic, boxSize, mmPerTwip};
  if (cache) {
    if (const float* known = cache->Find(key)) {
      device.SetFontSize(*known);
      return *known;
    }
  }
  const double target = ScreenSampleTwips(kFontSample, boxSize, bold) * mmPerTwip;
  const float size = SearchFontSize(boxSize, target, 0.01f, -0.1f, kSmallestFontSize, [&](double points) {
    device.SetFontSize(points);  // a refused size leaves the last accepted one, as on a printer
    return device.TextWidth(kFontSample);
  });
  device.SetFontSize(size);
  if (cache) cache->Store(key, size);
  return size;
}

QRectF EnvelopeOnPage(const PrinterDevice& device, const editor::EnvelopeModel& envelope, double offX,
                      double offY) {
  const double W = envelope.W(), H = envelope.H(), S = ShortSide(device);
  if (device.EnvelopeSizedPages()) return {0, 0, W, H};
  const editor::TabOptions& o = envelope.options();
  double x = -offX, y = -offY;
  if (o.portrait) {
    y += S - H;
    if (o.centreFeed) y -= (S - H) / 2;
  } else if (o.centreFeed) {
    x += (S - W) / 2;
  }
  return {x, y, W, H};
}

PrintStatus RenderEnvelope(PrinterDevice& device, const editor::EnvelopeModel& envelope, double offX,
                           double offY, FontSizeCache* cache) {
  const double W = envelope.W(), H = envelope.H();
  const QSize canvas = envelope.canvasSize();
  const editor::TabOptions& options = envelope.options();
  // An envelope without a size has no scale: nothing can be placed.
  const PageSetup setup = W > 0 && H > 0 && canvas.width() > 0 && canvas.height() > 0
                              ? SetupPrinterPage(device, W, H, options)
                              : PageSetup::kFailed;
  if (setup == PageSetup::kPaperRefused) return PrintStatus::kPaperRefused;
  if (setup != PageSetup::kReady) {
    common::prompts().Message(kPrintError);
    return PrintStatus::kPageNotPrepared;
  }
  // Font sizes belong to the reference scale, not to the canvas the screen happens to allow.
  const double mmPerTwip = 1.0 / editor::kReferenceTwipsPerMm;
  if (device.EnvelopeSizedPages()) offX = offY = 0;  // a page of its own has no printer offsets
  const QRectF envelopeOnPage = EnvelopeOnPage(device, envelope, offX, offY);
  // Where the paper puts the envelope beyond the offsets: a landscape page, centre feed.
  const QPointF paperShift = envelopeOnPage.topLeft() + QPointF(offX, offY);
  using common::RoundToInt;

  for (int i = 0; i < editor::kBoxCount; ++i) {
    const editor::Box& box = envelope.box(i);
    const QStringList lines = BoxLines(box.text);
    if (lines.isEmpty()) continue;  // measuring a font for nothing would only cost time
    const QRect& g = box.geometry;
    CopyBoxFont(device, box);
    FitPrinterFontSize(device, box.font.size, box, mmPerTwip, box.font.bold, cache);
    // The box on the envelope, in millimetres.
    const QRectF onEnvelope(W * g.left() / canvas.width(), H * g.top() / canvas.height(),
                            W * g.width() / canvas.width(), H * g.height() / canvas.height());
    const int boxW = RoundToInt(onEnvelope.width());
    const double pitch = device.TextHeight(kLineHeightSample) + 1;
    if (editor::RulesOf(i).centred) {
      // Centred boxes (the postcode digits, the tag) print centred as the canvas shows them:
      // a digit in the middle of its pre-printed box, each line of the tag across its box.
      PrintCentred(device, lines, onEnvelope.translated(envelopeOnPage.topLeft()), boxW, pitch,
                   i <= editor::kLastDigitBox);
      continue;
    }
    // The other boxes start at whole millimetres: the place on the envelope less the offsets is
    // rounded first, then moved by the paper's own shift (whole or half millimetres).
    const int X = RoundToInt(RoundToInt(onEnvelope.left() - offX) + paperShift.x());
    int Y = RoundToInt(RoundToInt(onEnvelope.top() - offY) + paperShift.y());
    const auto width = [&device](const QString& s) { return device.TextWidth(s); };
    for (const QString& line : lines) {
      device.SetCurrentPosition(QPointF(X, Y));
      for (const QString& piece : BreakLine(line, boxW, width)) {
        device.PrintText(piece);
        Y = RoundToInt(Y + pitch);
        device.SetCurrentPosition(QPointF(X, Y));
      }
    }
  }
  return device.EndDoc() ? PrintStatus::kPrinted : PrintStatus::kJobNotSent;
}

}  // namespace print
