// The shared main of every test program: a QApplication on the offscreen platform with a
// 1366 x 768 screen at 96 dpi, the Chinese font substitutes, settings in a private temporary
// folder, and the scripted prompts installed so that no test can block.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "common/font_substitutes.h"
#include "tests/support/scripted_prompts.h"

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" KOVA_TEST_SUPPORT "/offscreen_screen.json");
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
