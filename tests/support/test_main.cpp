// The shared main of every test program: a QApplication on the offscreen platform, settings in
// a private temporary folder, and the scripted prompts installed so that no test can block.
#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/support/scripted_prompts.h"

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  QTemporaryDir settingsDir;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
  testing::InitGoogleTest(&argc, argv);
  test::ScriptedPrompts scripted;
  common::SetPrompts(&scripted);
  const int result = RUN_ALL_TESTS();
  common::SetPrompts(nullptr);
  return result;
}
