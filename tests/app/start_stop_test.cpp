// What the main window keeps from one run to the next through the parameter database.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

#include "app/main_window.h"
#include "editor/format_store.h"
#include "store/store_texts.h"
#include "tests/support/par_database.h"
#include "tests/support/scripted_prompts.h"

namespace {

constexpr int kC5 = 4;

TEST(StartStopTest, TheNextStartShowsTheSizeTextsAndOptionsOfTheLastExit) {
  test::ParDatabase db;
  const test::ScriptedPrompts& prompts = test::FreshPrompts();
  const QString address = QStringLiteral("上海市黄浦区\n南京东路100号");
  {
    MF first;
    first.Load();
    EXPECT_TRUE(first.O1(editor::kDefaultSize)->isChecked());
    EXPECT_TRUE(first.O3(0)->isChecked());
    first.O1(kC5)->click();
    first.O3(1)->click();
    first.O2(1)->click();      // lock off
    first.CRotate()->click();  // rotation on
    first.envelope().SetBoxText(editor::kAddressBox, address);
    // Saved as they changed: a crash now would keep them.
    EXPECT_EQ(db.Sql(QStringLiteral("SELECT Val FROM 默认 WHERE Ord IN (1, 10, 12) ORDER BY Ord")),
              (QStringList{QStringLiteral("True"), QStringLiteral("0"), QStringLiteral("1")}));
    first.Unload();
  }
  EXPECT_EQ(db.Sql(QStringLiteral("SELECT count(*) FROM 默认")), QStringList{QStringLiteral("14")});

  MF second;
  second.Load();
  EXPECT_TRUE(second.O1(kC5)->isChecked());
  EXPECT_FALSE(second.O1(editor::kDefaultSize)->isChecked());
  EXPECT_TRUE(second.O3(1)->isChecked());
  EXPECT_FALSE(second.O3(0)->isChecked());
  EXPECT_FALSE(second.O2(1)->isChecked());
  EXPECT_TRUE(second.O2(0)->isChecked());
  EXPECT_TRUE(second.CRotate()->isChecked());
  EXPECT_FALSE(second.CHK()->isChecked());
  EXPECT_EQ(second.envelope().box(editor::kAddressBox).text, address);
  const QSize canvas = second.envelope().canvasSize();
  EXPECT_NEAR(double(canvas.width()) / canvas.height(), 229.0 / 162.0, 0.01);
  EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST(StartStopTest, SaveFormatStoresTheArrangementForTheChosenSize) {
  test::ParDatabase db;
  const test::ScriptedPrompts& prompts = test::FreshPrompts();
  MF window;
  window.Load();
  const QRect moved(1500, 900, 4800, 700);
  window.envelope().SetBoxGeometry(editor::kAddressBox, moved);
  window.CB(12)->click();
  EXPECT_EQ(prompts.shown,
            QStringList{DataBase::FormatSavedText(window.envelope().sizeCaption(editor::kDefaultSize))});
  window.O1(kC5)->click();
  window.envelope().SetBoxGeometry(editor::kAddressBox, QRect(0, 0, 100, 100));
  window.O1(editor::kDefaultSize)->click();
  EXPECT_EQ(window.envelope().box(editor::kAddressBox).geometry, moved);
}

}  // namespace
