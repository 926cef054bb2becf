#include "print/ui/print_command.h"

#include <QDir>
#include <QPrinterInfo>

#include "common/prompts.h"
#include "print/current_printer.h"
#include "print/pdf_printer.h"
#include "print/print_texts.h"
#include "print/ui/system_printer_device.h"

namespace print {

QStringList PrinterNames() {
  QStringList names = QPrinterInfo::availablePrinterNames();
  names.append(kPdfPrinterName);
  return names;
}

QString DefaultPrinterName() {
  const QString name = QPrinterInfo::defaultPrinterName();
  return name.isEmpty() ? kPdfPrinterName : name;
}

QString EffectivePrinterName() {
  return CurrentPrinterName().isEmpty() ? DefaultPrinterName() : CurrentPrinterName();
}

bool PrinterReachable(const QString& name) {
  if (IsPdfPrinter(name)) return true;
  const QPrinterInfo info = QPrinterInfo::printerInfo(name);
  return !info.isNull() && info.state() != QPrinter::Error;
}

std::unique_ptr<PrintCommand> PrintCommand::Open(const QString& pdfPrefix) {
  const QString name = EffectivePrinterName();
  if (IsPdfPrinter(name)) {
    std::unique_ptr<PdfDevice> pdf = OpenPdfPrinter(pdfPrefix);
    if (!pdf) return nullptr;
    PdfDevice* raw = pdf.get();
    return std::unique_ptr<PrintCommand>(new PrintCommand(std::move(pdf), raw));
  }
  return std::unique_ptr<PrintCommand>(
      new PrintCommand(std::make_unique<SystemPrinterDevice>(QPrinterInfo::printerInfo(name)), nullptr));
}

PrintCommand::PrintCommand(std::unique_ptr<PrinterDevice> device, PdfDevice* pdf)
    : device_(std::move(device)), pdf_(pdf) {}

PrintCommand::~PrintCommand() { Finish(); }

QString PrintCommand::Finish() {
  if (finished_ || !pdf_) return {};
  finished_ = true;
  if (pdf_->pageCount() == 0) {
    pdf_->Finish();
    return {};
  }
  const QString shown = QDir::toNativeSeparators(pdf_->path());
  if (!pdf_->Finish()) {
    common::prompts().Message(kPdfNotWritten.arg(shown));
    return {};
  }
  writtenPdf_ = shown;
  return kPdfWrittenTip.arg(shown);
}

}  // namespace print
