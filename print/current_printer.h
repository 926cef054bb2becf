#pragma once
// The application's current printer: the one every print command goes to until the printer
// chooser switches it. It is a device name; the built-in "PDF 文件" is one too.

#include <QString>

namespace print {

// Empty until the chooser or the start-up sets it.
const QString& CurrentPrinterName();
void SetCurrentPrinterName(const QString& name);

// The printer name the chooser confirmed last, empty after a cancel; read by the dispatcher.
const QString& ChosenPrinterName();
void SetChosenPrinterName(const QString& name);

}  // namespace print
