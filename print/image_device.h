#pragma once
// A printer device that paints each page into an image: the preview shows what a print would
// put on the paper, drawn by the very same renderer. It stands in for a given printer, with its
// name, its unprintable margins and whether it takes A3.

#include <QList>

#include "print/painter_device.h"

namespace print {

class ImageDevice final : public PainterDevice {
 public:
  // Paints at `dpi` and measures text at `measuringDpi`, the resolution of the printer it
  // stands for, so that font sizes and line breaks come out as on that printer.
  ImageDevice(const QString& deviceName, double dpi, double measuringDpi, const QMarginsF& unprintable = {},
              bool takesA3 = true);
  ~ImageDevice() override;

  QString DeviceName() const override { return name_; }
  // One image per finished page, white paper at the device's resolution.
  const QList<QImage>& pages() const { return pages_; }
  // The unprintable margins (given for a portrait page) on the page as it is now oriented.
  QMarginsF OrientedMargins() const { return UnprintableMargins(); }

 protected:
  QPainter* BeginPage(const QPageLayout& layout, bool firstOfJob) override;
  bool FinishJob() override;
  const QPaintDevice* MeasuringDevice() const override { return &measuring_; }
  double Resolution() const override { return dpi_; }
  double MeasuringResolution() const override { return measuringDpi_; }
  bool Accepts(QPageSize::PageSizeId size) const override { return takesA3_ || size != QPageSize::A3; }
  QMarginsF UnprintableMargins() const override;

 private:
  void FinishPage();

  QString name_;
  double dpi_;
  double measuringDpi_;
  QMarginsF unprintable_;
  bool takesA3_;
  QImage measuring_;
  QImage page_;
  QPainter painter_;
  QList<QImage> pages_;
};

}  // namespace print
