#include "common/font_substitutes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace common {
namespace {

// The print faces sit in fonts/ of the build folder, or in share/kovapost/fonts when installed.
bool LoadPrintFaces() {
  const QDir program(QCoreApplication::applicationDirPath());
  for (const QString& folder :
       {QStringLiteral("fonts"), QStringLiteral("../fonts"), QStringLiteral("../share/kovapost/fonts")}) {
    const QDir dir(program.filePath(folder));
    const QStringList files = dir.entryList({QStringLiteral("*.otf")}, QDir::Files, QDir::Name);
    if (files.isEmpty()) continue;
    for (const QString& file : files) QFontDatabase::addApplicationFont(dir.filePath(file));
    return true;
  }
  return false;
}

}  // namespace

void InstallFontSubstitutes() {
  [[maybe_unused]] static const bool loaded = LoadPrintFaces();  // once per process
  const QStringList song = {QStringLiteral("Kovapost Song SC"), QStringLiteral("Noto Serif CJK SC"),
                            QStringLiteral("AR PL UMing CN")};
  const QStringList hei = {QStringLiteral("Kovapost Hei SC"), QStringLiteral("Noto Sans CJK SC"),
                           QStringLiteral("WenQuanYi Zen Hei")};
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
