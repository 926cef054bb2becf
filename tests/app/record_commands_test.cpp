#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

#include "app/main_window.h"
#include "data/data_texts.h"
#include "data/ui/record_grid.h"
#include "editor/ui/envelope_canvas.h"
#include "tests/support/scripted_prompts.h"

namespace {

std::vector<data::Record> Numbered(const QStringList& names) {
  std::vector<data::Record> records;
  for (const QString& name : names)
    records.push_back({QString::number(records.size() + 1), name, QStringLiteral("310000"), name + u"路"_qs});
  return records;
}

struct LoadedWindow {
  MF window;
  LoadedWindow() {
    window.Load();
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  void Import(const QStringList& names) {
    window.records().ReplaceAll(Numbered(names));
    window.recordGrid()->AfterCommand(3);
  }
  void Click(int index) {
    window.SST()->setCurrentIndex(MF::kGridTab);
    QTest::mouseClick(window.CB(index), Qt::LeftButton);
  }
};

TEST(RecordCommandsTest, EmptyGridCommandsDoNothingAndPrintSelectedIsRefused) {
  LoadedWindow w;
  const QString address = w.window.envelope().box(editor::kAddressBox).text;
  for (int index : {4, 5, 6, 7, 8, 13, 18}) {
    test::ScriptedPrompts& prompts = test::FreshPrompts();
    w.Click(index);
    EXPECT_TRUE(prompts.shown.isEmpty()) << index;
    EXPECT_EQ(w.window.envelope().box(editor::kAddressBox).text, address) << index;
  }
  test::ScriptedPrompts& prompts = test::FreshPrompts();
  w.window.CB_Click(16);
  EXPECT_EQ(prompts.shown, QStringList{data::kNoRecordsToPrint});
}

TEST(RecordCommandsTest, CleaningButtonsChangeTheGridAndTheNavigatorFollows) {
  LoadedWindow w;
  w.Import({u"A"_qs, u"B"_qs, u"A"_qs, u""_qs});
  EXPECT_EQ(w.window.NS()->maximum(), 4);
  EXPECT_EQ(w.window.Num(1)->text(), u"4"_qs);
  EXPECT_EQ(w.window.envelope().box(editor::kNameBox).text, u"A"_qs);

  w.Click(4);  // no rule ticked: nothing
  EXPECT_EQ(w.window.records().recordCount(), 4);
  QTest::mouseClick(w.window.Option1(0), Qt::LeftButton);
  w.Click(4);
  EXPECT_EQ(w.window.records().recordCount(), 3);
  w.Click(7);
  ASSERT_EQ(w.window.records().recordCount(), 2);
  EXPECT_EQ(w.window.records().cell(1, data::kNameColumn), u"B"_qs);
  EXPECT_EQ(w.window.records().cell(2, data::kNumberColumn), u"2"_qs);
  EXPECT_EQ(w.window.NS()->maximum(), 2);
  EXPECT_EQ(w.window.Num(1)->text(), u"2"_qs);

  w.window.NS()->setValue(2);
  w.Click(8);
  EXPECT_EQ(w.window.records().recordCount(), 0);
  EXPECT_EQ(w.window.NS()->maximum(), 1);
  EXPECT_EQ(w.window.envelope().box(editor::kNameBox).text, u"A"_qs);  // the canvas keeps the last
}

TEST(RecordCommandsTest, TipLineTellsWhatACommandDidAndCtrlZTakesItBack) {
  LoadedWindow w;
  w.Import({u"A"_qs, u"B"_qs, u"A"_qs});
  const std::vector<data::Record> imported = w.window.records().records();
  w.Click(7);
  EXPECT_EQ(w.window.T2()->text(), data::kMergedDuplicatesDone.arg(1));
  ASSERT_EQ(w.window.records().recordCount(), 2);
  w.Click(8);
  EXPECT_EQ(w.window.T2()->text(), data::kDeletedAllDone.arg(2));

  // Ctrl+Z on the grid tab, twice: back to the imported records, and the navigator follows.
  for (int step : {1, 2}) {
    w.window.MSF()->setFocus();
    QTest::keyClick(w.window.MSF(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.window.records().recordCount(), step == 1 ? 2 : 3) << step;
  }
  EXPECT_EQ(w.window.records().records(), imported);
  EXPECT_EQ(w.window.NS()->maximum(), 3);
  EXPECT_EQ(w.window.Num(1)->text(), u"3"_qs);
  EXPECT_EQ(w.window.T2()->text(), data::kUndoDone.arg(w.window.records().undoSteps()));
}

TEST(RecordCommandsTest, TheFilterBarDecidesWhatTheNavigatorAndPrintingSee) {
  LoadedWindow w;
  w.Import({u"张三"_qs, u"李四"_qs, u"王五"_qs, u"李六"_qs});
  w.window.SST()->setCurrentIndex(MF::kGridTab);
  auto* text = w.window.findChild<QLineEdit*>(u"FilterText"_qs);
  ASSERT_NE(text, nullptr);
  text->setText(u"李"_qs);
  emit text->returnPressed();
  EXPECT_EQ(w.window.T2()->text(), data::kShownCount.arg(2).arg(4));
  EXPECT_EQ(w.window.Num(1)->text(), u"2"_qs) << "the run's count is the shown records";
  EXPECT_EQ(w.window.envelope().box(editor::kNameBox).text, u"李四"_qs);
  w.window.NS()->setValue(2);
  EXPECT_EQ(w.window.envelope().box(editor::kNameBox).text, u"李六"_qs)
      << "the navigator walks the shown rows";

  // Nothing shown: every print command says so before any printer is chosen.
  text->setText(u"赵"_qs);
  emit text->returnPressed();
  EXPECT_EQ(w.window.T2()->text(), data::kShownCount.arg(0).arg(4));
  for (int index : {0, 1, 14, 15, 16}) {
    test::ScriptedPrompts& prompts = test::FreshPrompts();
    w.window.CB_Click(index);
    EXPECT_EQ(prompts.shown, QStringList{data::kNothingShownToPrint}) << index;
  }
  QTest::mouseClick(w.window.findChild<QPushButton*>(u"ClearFilter"_qs), Qt::LeftButton);
  EXPECT_EQ(w.window.records().recordCount(), 4);
}

}  // namespace
