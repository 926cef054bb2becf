#include "print/current_printer.h"

namespace print {
namespace {
QString current;
QString chosen;
}  // namespace

const QString& CurrentPrinterName() { return current; }
void SetCurrentPrinterName(const QString& name) { current = name; }

const QString& ChosenPrinterName() { return chosen; }
void SetChosenPrinterName(const QString& name) { chosen = name; }

}  // namespace print
