#include "print/calibration.h"

#include <QStringList>
#include <cmath>

#include "common/numbers.h"
#include "common/prompts.h"
#include "print/pdf_printer.h"
#include "print/print_texts.h"
#include "store/registry.h"

namespace print {
namespace {

constexpr double kDefaultMargin = 13;
constexpr double kSquareAt = 10;
constexpr double kSquareSide = 10;
// Where the instruction line of the check page starts, below the square.
constexpr QPointF kInstructionAt(10, 26);
constexpr double kInstructionPoints = 9;
// A margin beyond this is no measurement of a sheet of paper.
constexpr double kLargestMargin = 1000;

// Printer names become keys: the settings file reads "/" and "\" as group separators.
QString PrinterKey(const QString& printer) {
  return QString::fromLatin1(printer.toUtf8().toPercentEncoding(" ()-_.~"));
}

std::optional<double> StrictNumber(const QString& text) {
  bool ok = false;
  const double v = text.toDouble(&ok);
  if (!ok || !std::isfinite(v) || std::abs(v) > kLargestMargin) return std::nullopt;
  return v;
}

std::optional<QPointF> OwnMargins(const QString& printer) {
  const QString stored = Registry::GetSetting(kPrinterMarginsSection, PrinterKey(printer));
  const QStringList parts = stored.split(u' ', Qt::SkipEmptyParts);
  if (parts.size() != 2) return std::nullopt;
  const auto x = StrictNumber(parts[0]), y = StrictNumber(parts[1]);
  if (!x || !y) return std::nullopt;
  return QPointF(*x, *y);
}

// The general keys as they were always read: empty means 13, anything else its number.
std::optional<QPointF> GeneralMargins() {
  const QString x = Registry::GetSetting(Registry::kCollateSection, kMarginXKey);
  const QString y = Registry::GetSetting(Registry::kCollateSection, kMarginYKey);
  if (x.isEmpty() && y.isEmpty()) return std::nullopt;
  const auto margin = [](const QString& t) { return t.isEmpty() ? kDefaultMargin : common::Val(t); };
  return QPointF(margin(x), margin(y));
}

}  // namespace

std::optional<QPointF> StoredMargins(const QString& printer) {
  if (Registry::SettingKeys(kPrinterMarginsSection).isEmpty()) return GeneralMargins();
  return OwnMargins(printer);
}

bool IsCalibrated(const QString& printer) {
  return IsPdfPrinter(printer) || StoredMargins(printer).has_value();
}

PrinterOffsets ReadPrinterOffsets(const QString& printer) {
  if (IsPdfPrinter(printer)) return {0, 0};
  const QPointF m = StoredMargins(printer).value_or(QPointF(kDefaultMargin, kDefaultMargin));
  return {m.x() - kSquareAt, m.y() - kSquareAt};
}

void StoreMargins(const QString& printer, const QString& typedX, const QString& typedY) {
  const QString x = MarginToStore(typedX), y = MarginToStore(typedY);
  Registry::SaveSetting(kPrinterMarginsSection, PrinterKey(printer), x + u' ' + y);
  Registry::SaveSetting(Registry::kCollateSection, kMarginXKey, x);
  Registry::SaveSetting(Registry::kCollateSection, kMarginYKey, y);
}

bool AskForCalibrationFigure() {
  return common::prompts().AskTitled(kCalibrationQuestion, kCalibrationTitle);
}

void PrintCalibrationSquare(PrinterDevice& device) {
  device.SetPaperSize(QPageSize::A4);
  device.SetUnitMillimetres();
  device.SetOrientation(QPageLayout::Portrait);
  device.SetOrigin(QPointF(0, 0));
  device.FillRect(QRectF(kSquareAt, kSquareAt, kSquareSide, kSquareSide), Qt::black);
  common::FontChoice font;
  font.name = QStringLiteral("宋体");
  device.SetFont(font);
  device.SetFontSize(kInstructionPoints);
  device.SetCurrentPosition(kInstructionAt);
  device.PrintText(kCalibrationPageLine.arg(device.DeviceName()));
  device.EndDoc();
}

bool PrintCalibrationFigure(PrinterDevice& device) {
  if (!AskForCalibrationFigure()) return false;
  PrintCalibrationSquare(device);
  return true;
}

QString MarginShown(std::optional<double> stored) {
  return common::NumberText(stored.value_or(kDefaultMargin));
}

QString MarginToStore(const QString& typed) {
  QString t = typed;
  t.replace(u'。', u'.');
  return common::NumberText(common::Val(t));
}

bool MarginKeyAllowed(QChar c) { return (c >= u'0' && c <= u'9') || c == u'-' || c == u'.'; }

}  // namespace print
