#include "print/calibration.h"

#include "common/numbers.h"
#include "common/prompts.h"
#include "print/print_texts.h"
#include "store/registry.h"

namespace print {
namespace {

constexpr double kDefaultMargin = 13;
constexpr double kSquareAt = 10;
constexpr double kSquareSide = 10;

double Margin(const QString& key) {
  const QString stored = Registry::GetSetting(Registry::kCollateSection, key);
  return stored.isEmpty() ? kDefaultMargin : common::Val(stored);
}

}  // namespace

PrinterOffsets ReadPrinterOffsets() { return {Margin(kMarginXKey) - kSquareAt, Margin(kMarginYKey) - kSquareAt}; }

bool AskForCalibrationFigure() { return common::prompts().Ask(kCalibrationQuestion); }

void PrintCalibrationSquare(PrinterDevice& device) {
  device.SetUnitMillimetres();
  device.SetOrigin(QPointF(0, 0));
  device.FillRect(QRectF(kSquareAt, kSquareAt, kSquareSide, kSquareSide), Qt::black);
  device.EndDoc();
}

bool PrintCalibrationFigure(PrinterDevice& device) {
  if (!AskForCalibrationFigure()) return false;
  PrintCalibrationSquare(device);
  return true;
}

QString MarginShown(const QString& stored) {
  return stored.isEmpty() ? common::NumberText(kDefaultMargin) : common::NumberText(common::Val(stored));
}

QString MarginToStore(const QString& typed) {
  QString t = typed;
  t.replace(u'。', u'.');
  return common::NumberText(common::Val(t));
}

bool MarginKeyAllowed(QChar c) { return (c >= u'0' && c <= u'9') || c == u'-' || c == u'.'; }

}  // namespace print
