// The shared main of every test program: a QApplication on the offscreen platform with a
// 1366 x 768 screen at 96 dpi (or the one KOVA_TEST_SCREEN names), the Chinese font substitutes, settings in
// a private temporary folder, and the scripted prompts installed so that no test can block.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "common/font_substitutes.h"
#include "tests/support/scripted_prompts.h"

int main(int argc, char* argv[]) {
  // KOVA_TEST_SCREEN names another screen file, for the tests that try the window on many screens.
  const QByteArray screen = qgetenv("KOVA_TEST_SCREEN");
  qputenv("QT_QPA_PLATFORM",
          "offscreen:configfile=" +
              (screen.isEmpty() ? QByteArray(KOVA_TEST_SUPPORT "/offscreen_screen.json") : screen));
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  common::InstallFontSubstitutes();
  QTemporaryDir settingsDir;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
  testing::InitGoogleTest(&argc, argv);
  test::ScriptedPrompts scripted;
  common::SetPrompts(&scripted);
  const int result = RUN_ALL_TESTS();
  common::SetPrompts(nullptr);
  return result;
}
