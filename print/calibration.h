#pragma once
// Printer calibration: a black square whose place on the page is known, the margins the user
// measured from it, and the offsets every envelope print subtracts.

#include <QChar>
#include <QString>

#include "print/printer_device.h"

namespace print {

// The margins the user measured, less the square's nominal 10 mm: positive offsets move all
// printing left and up.
struct PrinterOffsets {
  double x = 3;
  double y = 3;
};

// Reads "X" and "Y" under "Envelop Collate"; an empty or missing margin counts as 13 mm.
PrinterOffsets ReadPrinterOffsets();

// Asks whether to print the check figure and, on yes, prints the square from (10, 10) to
// (20, 20) mm as one job. Failing printer steps are passed over. True when it was printed.
bool PrintCalibrationFigure(PrinterDevice& device);
// Its two halves, for a printer that is only opened once the user said yes.
bool AskForCalibrationFigure();
void PrintCalibrationSquare(PrinterDevice& device);

// The margin dialog's rules, without the dialog.
// The text a margin box starts with: 13 when nothing is stored, else the stored number.
QString MarginShown(const QString& stored);
// The text stored for what the user typed: "。" read as ".", then the number it starts with.
QString MarginToStore(const QString& typed);
// Keys a margin box takes: the digits, "-" and ".". (Backspace is handled by the dialog.)
bool MarginKeyAllowed(QChar c);

}  // namespace print
