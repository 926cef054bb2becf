#include "labels/sheet_device.h"

#include "common/numbers.h"
#include "editor/envelope_model.h"

namespace labels {
namespace {

constexpr double kMaxPixels = 64.0e6;

QImage ScreenImage(QSize pixels) {
  QImage image(pixels, QImage::Format_RGB32);
  const int dotsPerMeter = common::RoundToInt(kScreenDpi / 0.0254);
  image.setDotsPerMeterX(dotsPerMeter);
  image.setDotsPerMeterY(dotsPerMeter);
  return image;
}

}  // namespace

SheetDevice::SheetDevice(QSize twips)
    : size_(twips.width() / kTwipsPerMm, twips.height() / kTwipsPerMm), measuring_(ScreenImage({1, 1})) {}

SheetDevice::~SheetDevice() {
  if (painter_.isActive()) painter_.end();
}

QPainter* SheetDevice::BeginPage(const QPageLayout&, bool firstOfJob) {
  if (!firstOfJob) return painter_.isActive() ? &painter_ : nullptr;  // one picture, one page
  const QSize pixels(common::RoundToInt(size_.width() * kTwipsPerMm / editor::kTwipsPerPixel),
                     common::RoundToInt(size_.height() * kTwipsPerMm / editor::kTwipsPerPixel));
  // A sheet for paper of absurd proportions would not fit in memory; the old picture stays.
  if (pixels.isEmpty() || double(pixels.width()) * pixels.height() > kMaxPixels) return nullptr;
  drawing_ = ScreenImage(pixels);
  if (drawing_.isNull() || !painter_.begin(&drawing_)) return nullptr;
  return &painter_;
}

bool SheetDevice::FinishJob() {
  if (!painter_.isActive()) return false;
  painter_.end();
  picture_ = std::move(drawing_);
  drawing_ = QImage();
  return true;
}

}  // namespace labels
