#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "app/app_texts.h"
#include "app/main_window.h"
#include "editor/ui/envelope_canvas.h"
#include "store/registry.h"
#include "tests/support/scripted_prompts.h"

namespace {

TEST(MainWindowTest, PictureAtDefaultSize) {
  MF window;
  window.Load();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const QString path = QStringLiteral(KOVA_BUILD_DIR "/main_window.png");
  ASSERT_TRUE(window.grab().save(path));
}

}  // namespace
