#include "app/program.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/app_texts.h"
#include "app/main_window.h"
#include "app/qt_prompts.h"
#include "app/single_instance.h"
#include "common/font_substitutes.h"
#include "common/prompts.h"
#include "store/database.h"
#include "store/user_copy.h"

namespace app {

bool InstallQtTranslations() {
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

void UseProgramFont() {
  common::InstallFontSubstitutes();
  QFont song(QStringLiteral("宋体"));
  song.setPointSize(9);
  QApplication::setFont(song);
}

int RunProgram(const std::function<void(MF&)>& shown) {
  QApplication::setApplicationName(QStringLiteral("kovapost"));
  QApplication::setApplicationVersion(kVersion);
  // The desktop entry's name ties the window to its menu entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.kovapost.Kovapost"));
  QIcon icon;
  for (const int size : {16, 32, 48, 256}) icon.addFile(QStringLiteral(":/icons/kovapost-%1.png").arg(size));
  QApplication::setWindowIcon(icon);
  InstallQtTranslations();
  UseProgramFont();
  QtPrompts prompts;
  common::SetPrompts(&prompts);

  SingleInstance instance;
  if (!instance.Acquire()) {
    common::prompts().Message(kAlreadyRunning);
    common::SetPrompts(nullptr);
    return 1;
  }

  int result = 0;
  {
    MF window;
    window.SetInstanceCheck([&instance] { return instance.AnotherHolds(); });
    {
      // A database that cannot be used says so once, not once for each of the start's reads.
      DataBase::OneMessage once;
      if (const QString problem = DataBase::UseUserCopy().problem; !problem.isEmpty())
        DataBase::Tell(problem);
      window.Load();
    }
    window.show();
    if (shown) shown(window);
    result = QApplication::exec();
  }
  common::SetPrompts(nullptr);
  return result;
}

}  // namespace app
