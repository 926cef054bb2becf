#pragma once
// An installed printer as a printer device: every job is one spooled document. Lives outside
// the core because QPrinter pulls in the widget library.

#include <QPrinter>
#include <QPrinterInfo>

#include "print/painter_device.h"

namespace print {

// Whether the printer takes this paper: it lists it, takes custom sizes, or lists none at all.
bool PrinterTakes(const QPrinterInfo& info, QPageSize::PageSizeId size);
// The driver's unprintable margins in mm for a paper and orientation, asked of `printer` by
// setting that paper on it.
QMarginsF DriverMargins(QPrinter& printer, const QPageSize& paper, QPageLayout::Orientation orientation);

class SystemPrinterDevice final : public PainterDevice {
 public:
  explicit SystemPrinterDevice(const QPrinterInfo& info);
  ~SystemPrinterDevice() override;

  QString DeviceName() const override { return info_.printerName(); }

 protected:
  QPainter* BeginPage(const QPageLayout& layout, bool firstOfJob) override;
  bool FinishJob() override;
  const QPaintDevice* MeasuringDevice() const override { return &printer_; }
  double Resolution() const override { return printer_.resolution(); }
  bool Accepts(QPageSize::PageSizeId size) const override;
  QMarginsF UnprintableMargins() const override;

 private:
  QPrinterInfo info_;
  QPrinter printer_;
  mutable QPrinter probe_;  // asked for the driver's margins, never printed on
  QPainter painter_;
};

}  // namespace print
