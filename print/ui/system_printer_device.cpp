#include "print/ui/system_printer_device.h"

#include <QPrintEngine>
#include <algorithm>

namespace print {
namespace {

bool Lists(const QPrinterInfo& info, QPageSize::PageSizeId size) {
  const QList<QPageSize> sizes = info.supportedPageSizes();
  return std::any_of(sizes.begin(), sizes.end(), [size](const QPageSize& s) { return s.id() == size; });
}

// The CUPS engine's job options, name and value in turn. Qt's own print dialog sets them through
// this key; there is no public call for them.
constexpr auto kCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);
const QString kPageSizeOption = QStringLiteral("PageSize");

// Paper and orientation one by one, then the full page last. A whole page layout with zero
// margins is refused by a driver with unprintable margins and no custom sizes (so paper and
// orientation would silently stay), and on other drivers its margins are raised to the driver's
// minimum, which moves the origin. In full-page mode the origin is the paper's corner whatever
// the margins. False when the printer does not take the paper.
bool ApplyPage(QPrinter& printer, const QPageSize& paper, QPageLayout::Orientation orientation) {
  printer.setPageOrientation(orientation);
  const bool taken = printer.setPageSize(paper);  // after the orientation: the driver's margins follow it
  printer.setFullPage(true);
  return taken;
}

// Qt names a standard paper to CUPS by its name alone. A driver that does not list it (A3 on a
// printer that takes it only as a custom size) does not know that name, and CUPS would print on
// its default paper, scaled down; such a paper is asked for as the driver's custom size of the
// same dimensions. Only the page-size option of the job is touched.
void AskForUnlistedPaper(QPrinter& printer, const QPrinterInfo& info, const QPageSize& paper) {
  QStringList options = printer.printEngine()->property(kCupsOptions).toStringList();
  for (qsizetype i = 0; i + 1 < options.size();) {
    if (options[i] == kPageSizeOption) {
      options.remove(i, 2);
    } else {
      i += 2;
    }
  }
  if (paper.id() != QPageSize::Custom && info.supportsCustomPageSizes() && !Lists(info, paper.id())) {
    const QSizeF mm = paper.size(QPageSize::Millimeter);
    options << kPageSizeOption << QStringLiteral("Custom.%1x%2mm").arg(mm.width()).arg(mm.height());
  }
  printer.printEngine()->setProperty(kCupsOptions, options);
}

}  // namespace

bool PrinterTakes(const QPrinterInfo& info, QPageSize::PageSizeId size) {
  return info.supportedPageSizes().isEmpty() || info.supportsCustomPageSizes() || Lists(info, size);
}

QMarginsF DriverMargins(QPrinter& printer, const QPageSize& paper, QPageLayout::Orientation orientation) {
  // Setting the paper on a printer asks the driver for them (a page layout alone would reset
  // them to 0).
  ApplyPage(printer, paper, orientation);
  QPageLayout layout = printer.pageLayout();
  layout.setUnits(QPageLayout::Millimeter);
  return layout.minimumMargins();
}

SystemPrinterDevice::SystemPrinterDevice(const QPrinterInfo& info)
    : info_(info), printer_(info, QPrinter::HighResolution), probe_(info, QPrinter::HighResolution) {
  ApplyPage(printer_, layout().pageSize(), Orientation());
  printer_.setDocName(QStringLiteral("Kovapost"));  // the job's name in the printer's queue
}

SystemPrinterDevice::~SystemPrinterDevice() {
  if (painter_.isActive()) painter_.end();
}

QPainter* SystemPrinterDevice::BeginPage(const QPageLayout& layout, bool firstOfJob) {
  if (!firstOfJob) return printer_.newPage() ? &painter_ : nullptr;
  // The paper is the job's. One the printer will not take would come out on whatever paper it
  // has: nothing is sent then.
  if (!ApplyPage(printer_, layout.pageSize(), layout.orientation())) return nullptr;
  AskForUnlistedPaper(printer_, info_, layout.pageSize());
  return painter_.begin(&printer_) ? &painter_ : nullptr;
}

bool SystemPrinterDevice::FinishJob() {
  const bool ended = painter_.end();
  return ended && printer_.printerState() != QPrinter::Error;
}

bool SystemPrinterDevice::Accepts(QPageSize::PageSizeId size) const { return PrinterTakes(info_, size); }

QMarginsF SystemPrinterDevice::UnprintableMargins() const {
  return DriverMargins(probe_, layout().pageSize(), Orientation());
}

}  // namespace print
