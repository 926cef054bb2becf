// Sub_main: the program's entry point. Refuses a second running instance before any window is
// shown, then shows the main window MF.
#include <QApplication>
#include <QFont>

#include "app/app_texts.h"
#include "app/main_window.h"
#include "app/qt_prompts.h"
#include "app/single_instance.h"
#include "common/font_substitutes.h"
#include "common/prompts.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("kovapost"));
  QApplication::setApplicationVersion(app::kVersion);
  common::InstallFontSubstitutes();
  QFont song(QStringLiteral("宋体"));
  song.setPointSize(9);
  QApplication::setFont(song);
  app::QtPrompts prompts;
  common::SetPrompts(&prompts);

  app::SingleInstance instance;
  if (!instance.Acquire()) {
    common::prompts().Message(app::kAlreadyRunning);
    common::SetPrompts(nullptr);
    return 1;
  }

  int result = 0;
  {
    MF window;
    window.SetInstanceCheck([&instance] { return instance.AnotherHolds(); });
    window.Load();
    window.show();
    result = QApplication::exec();
  }
  common::SetPrompts(nullptr);
  return result;
}
