#pragma once
// The preview sheet PTag(0) as a printer device: one picture of the sheet at screen resolution
// (96 dpi, 15 twips per pixel), drawn by the same label renderer as the printed sheets. Its
// "paper" is the picture itself, so millimetres here are the sheet's screen millimetres.

#include <QImage>

#include "print/painter_device.h"

namespace labels {

constexpr double kScreenDpi = 96;
constexpr double kTwipsPerMm = 1440 / 25.4;

class SheetDevice final : public print::PainterDevice {
 public:
  // A sheet of `twips` (PTag(0)'s size). A null size gives a device that only measures.
  explicit SheetDevice(QSize twips = {});
  ~SheetDevice() override;

  QString DeviceName() const override { return QStringLiteral("PTag"); }
  QSizeF DrawableSize() const override { return size_; }
  // The picture as last drawn; it stays when a drawing is refused.
  const QImage& picture() const { return picture_; }

 protected:
  QPainter* BeginPage(const QPageLayout& layout, bool firstOfJob) override;
  bool FinishJob() override;
  const QPaintDevice* MeasuringDevice() const override { return &measuring_; }
  double Resolution() const override { return kScreenDpi; }

 private:
  QSizeF size_;  // mm
  QImage measuring_;
  QImage drawing_;
  QImage picture_;
  QPainter painter_;
};

}  // namespace labels
