#pragma once
// One envelope on one printer page: every box of the canvas at the place on the paper that
// matches its place on the canvas, in whole millimetres, less the printer offsets, in a font
// sized so that a sample text spans the same share of the envelope as on screen.

#include <algorithm>
#include <array>
#include <map>
#include <tuple>

#include "editor/envelope_model.h"
#include "print/printer_device.h"

namespace print {

// How printing an envelope ended. The error number is what the numbered failure message shows.
enum class PrintStatus {
  kPrinted,
  kPageNotPrepared,  // the printer refused the page setup, or the envelope has no size
  kJobNotSent,       // the printer could not take the job
  kPictureTooLarge,  // the rotated picture would not fit in memory
  kPaperRefused,     // the envelope needs A3 and the printer has none
};
int ErrorNumber(PrintStatus status);

// Whether the envelope asks for A3: its side across the page is longer than A4's short side.
bool NeedsA3(double W, double H, const editor::TabOptions& options);

enum class PageSetup { kReady, kFailed, kPaperRefused };
// Paper A4 or A3 (for an envelope that needs it), millimetres, orientation and origin. The page
// turns the other way round from the option's name: "纵向打印" lays the envelope on a landscape
// page. Printers named "OKI..." keep their paper size. kPaperRefused when the envelope needs A3
// and the printer has none (on A4 it would be cut off); kFailed when the printer refused the
// unit, orientation or origin.
PageSetup SetupPrinterPage(PrinterDevice& device, double W, double H, const editor::TabOptions& options);

// The message for an envelope whose paper the printer refused.
QString PaperRefusedText(const QString& printer, double W, double H);

// The short side of the paper the device now has (210 for A4, 297 for A3).
double ShortSide(const PrinterDevice& device);

// Font name, size, bold, colour, italic, underline and strikethrough of a box on the device.
void CopyBoxFont(PrinterDevice& device, const editor::Box& box);

// The width, in canvas twips, that `sample` covers in the measuring label (宋体 at `size`
// points) on a 96-dpi screen.
int ScreenSampleTwips(const QString& sample, double size, bool bold);

// The outcome of the stepwise font size search: from `start`, step by `step` (up to 10 001
// times) until `widthAt(size)` passes `target`: for a growing search the first size wider than
// the target, for a shrinking one the first narrower. No size below `smallest` is returned.
// The widths must grow with the size; the search bisects over the very sizes the stepwise
// search would try, so the answer is the same at a fraction of the measurements.
template <class WidthAt>
float SearchFontSize(double start, double target, float growStep, float shrinkStep, float smallest,
                     WidthAt widthAt);

// Remembers size search results for one device, so that a run measures each box font once.
class FontSizeCache {
 public:
  using Key = std::tuple<QString, bool, bool, double, double>;  // family, bold, italic, size, scale
  const float* Find(const Key& key) const;
  void Store(const Key& key, float size) { sizes_[key] = size; }

 private:
  std::map<Key, float> sizes_;
};

// The printer font size for a box of `boxSize` points: the 18-character sample is as wide on
// paper, relative to the envelope, as on the canvas. mmPerTwip is W / canvas width. The device
// must carry the box's font (CopyBoxFont); its size is left at the result.
float FitPrinterFontSize(PrinterDevice& device, double boxSize, const editor::Box& box, double mmPerTwip,
                         bool bold, FontSizeCache* cache = nullptr);

// Prints the envelope as one job. On a refused page setup, or an envelope without a size, shows
// "打印出错！" and prints nothing; a refused paper is left to the caller to report.
PrintStatus RenderEnvelope(PrinterDevice& device, const editor::EnvelopeModel& envelope, double offX,
                           double offY, FontSizeCache* cache = nullptr);

// Where the envelope lies on the page, in mm from the paper's corner: the place of its top-left
// corner and its size, the shifts for landscape pages and centre feed included. Normal and
// rotated printing put it at the same place, so one calibration serves both.
QRectF EnvelopeOnPage(const PrinterDevice& device, const editor::EnvelopeModel& envelope, double offX,
                      double offY);

// ---------------------------------------------------------------------------------------------

constexpr int kFontSearchSteps = 10001;
constexpr float kSmallestFontSize = 1.0f;

template <class WidthAt>
float SearchFontSize(double start, double target, float growStep, float shrinkStep, float smallest,
                     WidthAt widthAt) {
  const bool grow = !(widthAt(start) > target);
  const float step = grow ? growStep : shrinkStep;
  // The sizes the stepwise search tries, accumulated in single precision as it does.
  static thread_local std::array<float, kFontSearchSteps + 1> sizes;
  sizes[0] = static_cast<float>(start);
  int last = kFontSearchSteps;
  bool belowSmallest = false;
  for (int n = 1; n <= kFontSearchSteps; ++n) {
    sizes[n] = sizes[n - 1] + step;
    if (!grow && sizes[n] < smallest) {
      last = n - 1;
      belowSmallest = true;
      break;
    }
  }
  auto passed = [&](int n) {
    const double w = widthAt(sizes[n]);
    return grow ? w > target : w < target;
  };
  int found = -1;
  for (int lo = 1, hi = last; lo <= hi;) {
    const int mid = lo + (hi - lo) / 2;
    if (passed(mid)) {
      found = mid;
      hi = mid - 1;
    } else {
      lo = mid + 1;
    }
  }
  if (found > 0) return sizes[found];
  if (belowSmallest) return smallest;
  return std::max(sizes[kFontSearchSteps], smallest);
}

}  // namespace print
