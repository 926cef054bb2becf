#include "print/ui/system_printer_device.h"

namespace print {
namespace {

// Paper and orientation one by one, then the full page last. A whole page layout with zero
// margins is refused by a driver with unprintable margins and no custom sizes (so paper and
// orientation would silently stay), and on other drivers its margins are raised to the driver's
// minimum, which moves the origin. In full-page mode the origin is the paper's corner whatever
// the margins.
void ApplyPage(QPrinter& printer, QPageSize::PageSizeId size, QPageLayout::Orientation orientation) {
  printer.setPageOrientation(orientation);
  printer.setPageSize(QPageSize(size));  // after the orientation: the driver's margins follow it
  printer.setFullPage(true);
}

}  // namespace

SystemPrinterDevice::SystemPrinterDevice(const QPrinterInfo& info)
    : info_(info), printer_(info, QPrinter::HighResolution), probe_(info, QPrinter::HighResolution) {
  ApplyPage(printer_, PaperSize(), Orientation());
  printer_.setDocName(QStringLiteral("Kovapost"));  // the job's name in the printer's queue
}

SystemPrinterDevice::~SystemPrinterDevice() {
  if (painter_.isActive()) painter_.end();
}

QPainter* SystemPrinterDevice::BeginPage(const QPageLayout& layout, bool firstOfJob) {
  ApplyPage(printer_, layout.pageSize().id(), layout.orientation());
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
  // The driver's margins for this paper and orientation: setting the paper on a printer asks the
  // driver for them (a page layout alone would reset them to 0).
  ApplyPage(probe_, PaperSize(), Orientation());
  QPageLayout layout = probe_.pageLayout();
  layout.setUnits(QPageLayout::Millimeter);
  return layout.minimumMargins();
}

}  // namespace print
