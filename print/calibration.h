#pragma once
// Printer calibration: a black square whose place on the page is known, the margins the user
// measured from it, and the offsets every envelope and label print subtracts.
//
// Margins are kept per printer, so that an office with a laser and a dot-matrix printer
// calibrates each once. The general keys "X" and "Y" keep the margins of the printer calibrated
// last; they stand for every printer as long as no printer has margins of its own (settings
// written before margins were kept per printer). The PDF printer has no hardware margin: its
// offsets are 0 and it is never calibrated.

#include <QChar>
#include <QPointF>
#include <QString>
#include <optional>

#include "print/printer_device.h"

namespace print {

// The margins the user measured, less the square's nominal 10 mm: positive offsets move all
// printing left and up.
struct PrinterOffsets {
  double x = 3;
  double y = 3;
};

// The margins stored for `printer` (mm), or nothing when it was never calibrated. A stored
// value that is not two numbers reads as never calibrated.
std::optional<QPointF> StoredMargins(const QString& printer);
// Whether `printer` needs no calibration now: it has margins, or it is the PDF printer.
bool IsCalibrated(const QString& printer);
// The offsets of `printer`: 0 for the PDF printer, 3 mm (a margin of 13) when never calibrated.
PrinterOffsets ReadPrinterOffsets(const QString& printer);
// Stores what the user typed as the margins of `printer`, and as the general "X" and "Y".
void StoreMargins(const QString& printer, const QString& typedX, const QString& typedY);

// Asks, under the title "打印位置校验", whether to print the check figure.
bool AskForCalibrationFigure();
// The check page: A4, the square from (10, 10) to (20, 20) mm from the paper's corner, and one
// line below it saying what to measure and on which printer. One job; failing steps are passed
// over.
void PrintCalibrationSquare(PrinterDevice& device);
// Both: asks, and on yes prints. True when it was printed.
bool PrintCalibrationFigure(PrinterDevice& device);

// The margin dialog's rules, without the dialog.
// The text a margin box starts with: 13 when nothing is stored, else the stored number.
QString MarginShown(std::optional<double> stored);
// The text stored for what the user typed: "。" read as ".", then the number it starts with.
QString MarginToStore(const QString& typed);
// Keys a margin box takes: the digits, "-" and ".". (Backspace is handled by the dialog.)
bool MarginKeyAllowed(QChar c);

}  // namespace print
