#include "print/ui/system_printer_device.h"

namespace print {

SystemPrinterDevice::SystemPrinterDevice(const QPrinterInfo& info)
    : info_(info), printer_(info, QPrinter::HighResolution) {
  // Positions are measured from the paper's corner, not from the driver's default margins.
  printer_.setFullPage(true);
  printer_.setPageLayout(layout());
  printer_.setDocName(QStringLiteral("Kovapost"));  // the job's name in the printer's queue
}

SystemPrinterDevice::~SystemPrinterDevice() {
  if (painter_.isActive()) painter_.end();
}

QPainter* SystemPrinterDevice::BeginPage(const QPageLayout& layout, bool firstOfJob) {
  printer_.setFullPage(true);
  printer_.setPageLayout(layout);
  if (firstOfJob) {
    if (!painter_.begin(&printer_)) return nullptr;
  } else if (!printer_.newPage()) {
    return nullptr;
  }
  return &painter_;
}

bool SystemPrinterDevice::FinishJob() {
  const bool ended = painter_.end();
  return ended && printer_.printerState() != QPrinter::Error;
}

bool SystemPrinterDevice::Accepts(QPageSize::PageSizeId size) const {
  const QList<QPageSize> sizes = info_.supportedPageSizes();
  if (sizes.isEmpty() || info_.supportsCustomPageSizes()) return true;
  for (const QPageSize& s : sizes)
    if (s.id() == size) return true;
  return false;
}

QMarginsF SystemPrinterDevice::UnprintableMargins() const {
  QPageLayout probe = printer_.pageLayout();
  probe.setPageSize(QPageSize(PaperSize()));
  probe.setOrientation(Orientation());
  probe.setUnits(QPageLayout::Millimeter);  // converts the minimum margins too
  return probe.minimumMargins();
}

}  // namespace print
