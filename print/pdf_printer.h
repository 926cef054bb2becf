#pragma once
// The built-in PDF printer "PDF 文件": always there, so the program can be used (and tested)
// without any printer. Each print command writes one new PDF into a folder the user picks once.

#include <QDateTime>
#include <memory>

#include "print/pdf_device.h"
#include "print/print_texts.h"

namespace print {

inline bool IsPdfPrinter(const QString& deviceName) { return deviceName == kPdfPrinterName; }

// The remembered folder, or the one the user picks now when none is remembered or it has gone
// or cannot be written. Empty when the user cancelled.
QString PdfFolder();

// A file in `folder` that does not exist yet, named after the command and the time:
// "信封_20261208_014500.pdf", then "信封_20261208_014500_2.pdf" and so on.
QString NewPdfPath(const QString& folder, const QString& prefix, const QDateTime& now);

// Whether the user chose envelope-size pages for the PDF printer.
bool EnvelopePagesChosen();

// The PDF printer for one print command; nullptr when the user cancelled the folder choice.
std::unique_ptr<PdfDevice> OpenPdfPrinter(const QString& prefix);

}  // namespace print
