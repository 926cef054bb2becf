#include "print/image_device.h"

#include "common/numbers.h"

namespace print {
namespace {

void SetResolution(QImage& image, double dpi) {
  const int dotsPerMeter = common::RoundToInt(dpi / 0.0254);
  image.setDotsPerMeterX(dotsPerMeter);
  image.setDotsPerMeterY(dotsPerMeter);
}

}  // namespace

ImageDevice::ImageDevice(const QString& deviceName, double dpi, double measuringDpi,
                         const QMarginsF& unprintable, bool takesA3)
    : name_(deviceName),
      dpi_(dpi),
      measuringDpi_(measuringDpi),
      unprintable_(unprintable),
      takesA3_(takesA3),
      measuring_(1, 1, QImage::Format_RGB32) {
  SetResolution(measuring_, measuringDpi_);
}

ImageDevice::~ImageDevice() { FinishPage(); }

void ImageDevice::FinishPage() {
  if (!painter_.isActive()) return;
  painter_.end();
  pages_.append(page_);
  page_ = QImage();
}

QPainter* ImageDevice::BeginPage(const QPageLayout& layout, bool) {
  FinishPage();
  const QSizeF mm = layout.fullRect(QPageLayout::Millimeter).size();
  const double perMm = dpi_ / 25.4;
  page_ = QImage(common::RoundToInt(mm.width() * perMm), common::RoundToInt(mm.height() * perMm),
                 QImage::Format_RGB32);
  if (page_.isNull()) return nullptr;
  SetResolution(page_, dpi_);
  page_.fill(Qt::white);
  if (!painter_.begin(&page_)) return nullptr;
  // The printer cannot reach its margins: what would land there is not shown either.
  const QMarginsF m = UnprintableMargins();
  if (!m.isNull()) {
    const QRectF reach(QPointF(m.left(), m.top()),
                       QSizeF(mm.width() - m.left() - m.right(), mm.height() - m.top() - m.bottom()));
    painter_.setClipRect(QRectF(reach.topLeft() * perMm, reach.size() * perMm));
  }
  return &painter_;
}

QMarginsF ImageDevice::UnprintableMargins() const {
  const QMarginsF& m = unprintable_;
  // Turned a quarter to the left: the portrait page's right edge becomes the top.
  return Orientation() == QPageLayout::Landscape ? QMarginsF(m.top(), m.right(), m.bottom(), m.left()) : m;
}

bool ImageDevice::FinishJob() {
  FinishPage();
  return true;
}

}  // namespace print
