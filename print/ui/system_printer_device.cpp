#include "print/ui/system_printer_device.h"

#include <QPrintEngine>
#include <algorithm>

namespace print {
namespace {

// The CUPS engine's list of job options, name and value in turn.
constexpr auto kCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

bool Lists(const QPrinterInfo& info, QPageSize::PageSizeId size) {
  const QList<QPageSize> sizes = info.supportedPageSizes();
  return std::any_of(sizes.begin(), sizes.end(), [size](const QPageSize& s) { return s.id() == size; });
}

// Paper and orientation one by one, then the full page last. A whole page layout with zero
// margins is refused by a driver with unprintable margins and no custom sizes (so paper and
// orientation would silently stay), and on other drivers its margins are raised to the driver's
// minimum, which moves the origin. In full-page mode the origin is the paper's corner whatever
// the margins.
void ApplyPage(QPrinter& printer, const QPrinterInfo& info, QPageSize::PageSizeId size,
               QPageLayout::Orientation orientation) {
  printer.setPageOrientation(orientation);
  const QPageSize paper(size);
  printer.setPageSize(paper);  // after the orientation: the driver's margins follow it
  // A paper the driver does not list goes as a custom size of the same dimensions: CUPS does not
  // know "A3" on such a driver and would print on its default paper, scaled down. Qt asks for
  // the paper by name, so the size is added as a job option (other engines ignore the key).
  QStringList options;
  if (info.supportsCustomPageSizes() && !Lists(info, size)) {
    const QSizeF mm = paper.size(QPageSize::Millimeter);
    options = {QStringLiteral("PageSize"), QStringLiteral("Custom.%1x%2mm").arg(mm.width()).arg(mm.height())};
  }
  printer.printEngine()->setProperty(kCupsOptions, options);
  printer.setFullPage(true);
}

}  // namespace

bool PrinterTakes(const QPrinterInfo& info, QPageSize::PageSizeId size) {
  return info.supportedPageSizes().isEmpty() || info.supportsCustomPageSizes() || Lists(info, size);
}

QMarginsF DriverMargins(QPrinter& printer, const QPrinterInfo& info, QPageSize::PageSizeId size,
                        QPageLayout::Orientation orientation) {
  // Setting the paper on a printer asks the driver for them (a page layout alone would reset
  // them to 0).
  ApplyPage(printer, info, size, orientation);
  QPageLayout layout = printer.pageLayout();
  layout.setUnits(QPageLayout::Millimeter);
  return layout.minimumMargins();
}

SystemPrinterDevice::SystemPrinterDevice(const QPrinterInfo& info)
    : info_(info), printer_(info, QPrinter::HighResolution), probe_(info, QPrinter::HighResolution) {
  ApplyPage(printer_, info_, PaperSize(), Orientation());
  printer_.setDocName(QStringLiteral("Kovapost"));  // the job's name in the printer's queue
}

SystemPrinterDevice::~SystemPrinterDevice() {
  if (painter_.isActive()) painter_.end();
}

QPainter* SystemPrinterDevice::BeginPage(const QPageLayout& layout, bool firstOfJob) {
  ApplyPage(printer_, info_, layout.pageSize().id(), layout.orientation());
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

bool SystemPrinterDevice::Accepts(QPageSize::PageSizeId size) const { return PrinterTakes(info_, size); }

QMarginsF SystemPrinterDevice::UnprintableMargins() const {
  return DriverMargins(probe_, info_, PaperSize(), Orientation());
}

}  // namespace print
