#include "common/font_substitutes.h"

#include <QFont>
#include <QStringList>

namespace common {

void InstallFontSubstitutes() {
  const QStringList song = {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN")};
  const QStringList hei = {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei")};
  for (const QString& face : {QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("新宋体"),
                              QStringLiteral("NSimSun")}) {
    QFont::removeSubstitutions(face);
    QFont::insertSubstitutions(face, song);
  }
  for (const QString& face : {QStringLiteral("黑体"), QStringLiteral("SimHei")}) {
    QFont::removeSubstitutions(face);
    QFont::insertSubstitutions(face, hei);
  }
}

}  // namespace common
