#pragma once
// One print command on the current printer: an installed printer sends every job as its own
// document; the PDF printer gathers the command's jobs, one page each, into one new file.

#include <QStringList>
#include <memory>

#include "print/pdf_device.h"
#include "print/printer_device.h"

namespace print {

// The installed printers' device names, in the system's order, then "PDF 文件".
QStringList PrinterNames();
// The system's default printer, or "PDF 文件" when none is installed.
QString DefaultPrinterName();
// The current printer, the default when none has been chosen yet.
QString EffectivePrinterName();
// Whether the printer can take a job now: installed and not in an error state. The PDF printer
// always can.
bool PrinterReachable(const QString& name);

class PrintCommand {
 public:
  // Opens the current printer. nullptr when the user cancelled the PDF folder choice.
  // `pdfPrefix` names the PDF file ("信封", "校准").
  static std::unique_ptr<PrintCommand> Open(const QString& pdfPrefix);
  ~PrintCommand();

  PrinterDevice& device() { return *device_; }
  // Ends the command. For the PDF printer: closes the file and returns the tip-line text that
  // names it (or the failure message's text); otherwise an empty text.
  QString Finish();
  // The PDF file Finish() wrote, as the user sees its path; empty for other printers.
  const QString& writtenPdf() const { return writtenPdf_; }

 private:
  explicit PrintCommand(std::unique_ptr<PrinterDevice> device, PdfDevice* pdf);
  std::unique_ptr<PrinterDevice> device_;
  PdfDevice* pdf_;  // the same device when it is the PDF printer
  bool finished_ = false;
  QString writtenPdf_;
};

}  // namespace print
