#include "labels/label_memory.h"

#include "store/registry.h"

namespace labels {
namespace {

QString NumberKey(int index) { return QStringLiteral("TNum%1").arg(index); }
QString CheckKey(int index) { return QStringLiteral("CK%1").arg(index); }
const QString kLandscapeKey = QStringLiteral("TagDir");

}  // namespace

LabelSheet LoadLabelSheet() {
  LabelSheet sheet;
  for (int i = 0; i < kNumberCount; ++i)
    if (i != kStartCell)
      sheet.numbers[i] = Registry::GetSetting(kLabelSection, NumberKey(i), sheet.numbers[i]);
  for (int i = 0; i < kCheckCount; ++i)
    sheet.ticked[i] = Registry::GetSetting(kLabelSection, CheckKey(i),
                                           sheet.ticked[i] ? QStringLiteral("1") : QStringLiteral("0")) ==
                      QStringLiteral("1");
  sheet.landscape = Registry::GetSetting(kLabelSection, kLandscapeKey) == QStringLiteral("1");
  return sheet;
}

void SaveLabelSheet(const LabelSheet& sheet) {
  for (int i = 0; i < kNumberCount; ++i)
    if (i != kStartCell) Registry::SaveSetting(kLabelSection, NumberKey(i), sheet.numbers[i]);
  for (int i = 0; i < kCheckCount; ++i)
    Registry::SaveSetting(kLabelSection, CheckKey(i),
                          sheet.ticked[i] ? QStringLiteral("1") : QStringLiteral("0"));
  Registry::SaveSetting(kLabelSection, kLandscapeKey,
                        sheet.landscape ? QStringLiteral("1") : QStringLiteral("0"));
}

}  // namespace labels
