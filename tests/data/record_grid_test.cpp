#include "data/ui/record_grid.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include "data/csv_export.h"
#include "data/data_texts.h"
#include "data/show_record.h"
#include "data/ui/window_wait.h"
#include "tests/support/scripted_prompts.h"

namespace {

using data::Record;

std::vector<Record> Numbered(std::initializer_list<std::array<const char16_t*, 3>> fields) {
  std::vector<Record> records;
  for (const auto& f : fields)
    records.push_back({QString::number(records.size() + 1), QString::fromUtf16(f[0]),
                       QString::fromUtf16(f[1]), QString::fromUtf16(f[2])});
  return records;
}

// The grid tab's widgets as the window has them, shown offscreen.
struct GridWindow {
  QWidget window;
  QTableView* msf = new QTableView(&window);
  QScrollBar* ns = new QScrollBar(Qt::Horizontal, &window);
  QLineEdit* num0 = new QLineEdit(&window);
  QLineEdit* num1 = new QLineEdit(&window);
  data::RecordTable records;
  editor::EnvelopeModel envelope;
  data::ui::RecordGrid grid{{msf, ns, num0, num1}, &records, &envelope};

  explicit GridWindow(std::vector<Record> list = {}) {
    data::ui::InitRecordGrid(msf, &records);
    msf->setGeometry(0, 0, 700, 400);
    ns->setGeometry(0, 410, 700, 20);
    records.ReplaceAll(std::move(list));
    grid.RefreshNavigator(true);
    window.resize(720, 440);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  QString box(int i) const { return envelope.box(i).text; }
  QStringList digits() const {
    QStringList d;
    for (int i = 0; i < 6; ++i) d << box(i);
    return d;
  }
  void DoubleClick(int record, int column) {
    const QModelIndex cell = records.index(record - 1, column);
    msf->scrollTo(cell);
    const QPoint at = msf->visualRect(cell).center();
    QTest::mouseClick(msf->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(msf->viewport(), Qt::LeftButton, {}, at);
  }
};

TEST(RecordGridTest, GridLooksLikeTheDesign) {
  GridWindow w(Numbered({{u"张三", u"310000", u"杭州"}}));
  const int widths[] = {27, 53, 43, 427};  // 400, 800, 650 and 6400 twips, at least
  for (int c = 0; c < data::kColumnCount; ++c) {
    EXPECT_GE(w.msf->columnWidth(c), widths[c]) << c;
    EXPECT_EQ(w.records.headerData(c, Qt::Horizontal).toString(), data::kHeaderTexts[c]);
  }
  EXPECT_EQ(w.msf->columnWidth(data::kAddressColumn), 427);
  // A six-digit postcode and the largest record number are not cut off.
  const auto fits = [&](int column, const QString& text) {
    return w.msf->fontMetrics().horizontalAdvance(text) < w.msf->columnWidth(column);
  };
  EXPECT_TRUE(fits(data::kPostcodeColumn, u"000000"_qs));
  EXPECT_EQ(w.msf->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
  const auto alignment = [&](int column) {
    return w.records.data(w.records.index(0, column), Qt::TextAlignmentRole).value<Qt::Alignment>() &
           Qt::AlignHorizontal_Mask;
  };
  EXPECT_EQ(alignment(0), Qt::AlignRight);  // a number in the "general" column
  EXPECT_EQ(alignment(2), Qt::AlignLeft);
  w.records.ReplaceAll(std::vector<Record>(123456, Record{}));
  w.grid.RefreshNavigator(true);
  EXPECT_TRUE(fits(data::kNumberColumn, u"123456"_qs));
}

TEST(ShowRecordTest, RecordFillsTheEnvelopeBoxes) {
  const struct {
    const char16_t* postcode;
    QStringList digits;
  } postcodes[] = {
      {u" 310012 ", {u"3"_qs, u"1"_qs, u"0"_qs, u"0"_qs, u"1"_qs, u"2"_qs}},
      {u"3100", {u"3"_qs, u"1"_qs, u"0"_qs, u"0"_qs, u""_qs, u""_qs}},
      {u"3100127", {u"3"_qs, u"1"_qs, u"0"_qs, u"0"_qs, u"1"_qs, u"2"_qs}},
      {u"　31", {u"　"_qs, u"3"_qs, u"1"_qs, u""_qs, u""_qs, u""_qs}},  // only ordinary spaces are trimmed
      {u"", {u""_qs, u""_qs, u""_qs, u""_qs, u""_qs, u""_qs}},
  };
  for (const auto& p : postcodes) {
    const std::array<QString, 6> digits = data::PostcodeDigits(QString::fromUtf16(p.postcode));
    EXPECT_EQ(QStringList(digits.begin(), digits.end()), p.digits)
        << QString::fromUtf16(p.postcode).toStdString();
  }

  GridWindow w(Numbered({{u"王//五", u"310000", u"浙江省//杭州市"}}));
  EXPECT_EQ(w.box(editor::kAddressBox), u"浙江省\r\n杭州市"_qs);
  EXPECT_EQ(w.box(editor::kNameBox), u"王//五"_qs);
  EXPECT_EQ(w.num0->text(), u"1"_qs);
  EXPECT_EQ(w.num1->text(), u"1"_qs);
}

TEST(RecordGridTest, EditingTheShownRecordUpdatesTheCanvasAtEveryKeystroke) {
  GridWindow w(Numbered({{u"甲", u"1", u"a"}, {u"乙", u"2", u"b"}, {u"丙", u"3", u"c"}}));
  w.ns->setValue(2);
  ASSERT_EQ(w.box(editor::kNameBox), u"乙"_qs);

  w.DoubleClick(2, data::kNameColumn);
  ASSERT_TRUE(w.grid.tt()->isVisible());
  EXPECT_EQ(w.grid.tt()->geometry().topLeft(), w.msf->visualRect(w.records.index(1, 1)).topLeft());
  EXPECT_EQ(w.grid.tt()->text(), u"乙"_qs);
  QTest::keyClick(w.grid.tt(), Qt::Key_End);
  QTest::keyClicks(w.grid.tt(), u"x"_qs);
  EXPECT_EQ(w.records.cell(2, data::kNameColumn), u"乙x"_qs);
  EXPECT_EQ(w.box(editor::kNameBox), u"乙x"_qs);
  QTest::keyClicks(w.grid.tt(), u"y"_qs);
  EXPECT_EQ(w.box(editor::kNameBox), u"乙xy"_qs);

  // Another record's edit is written to the grid only.
  w.DoubleClick(3, data::kAddressColumn);
  ASSERT_TRUE(w.grid.tt()->isVisible());
  QTest::keyClicks(w.grid.tt(), u"z"_qs);
  EXPECT_EQ(w.records.cell(3, data::kAddressColumn), u"cz"_qs);
  EXPECT_EQ(w.box(editor::kAddressBox), u"b"_qs);

  // A click on the grid ends the edit; what was typed stays.
  QTest::mouseClick(w.msf->viewport(), Qt::LeftButton, {}, w.msf->visualRect(w.records.index(0, 1)).center());
  EXPECT_FALSE(w.grid.tt()->isVisible());
  EXPECT_EQ(w.records.cell(3, data::kAddressColumn), u"cz"_qs);

  // The record number is not editable.
  w.DoubleClick(1, data::kNumberColumn);
  EXPECT_FALSE(w.grid.tt()->isVisible());
}

TEST(RecordGridTest, DataCommandsAndTheNavigator) {
  GridWindow w(Numbered({{u"1", u"", u""},
                         {u"2", u"", u""},
                         {u"3", u"", u""},
                         {u"4", u"", u""},
                         {u"5", u"", u""},
                         {u"6", u"", u""},
                         {u"7", u"", u""}}));
  w.ns->setValue(7);
  // Rows 5 up to 3 selected: the current row is 3, the other end 5.
  w.msf->setCurrentIndex(w.records.index(4, 1));
  w.msf->selectionModel()->select(QItemSelection(w.records.index(2, 1), w.records.index(4, 1)),
                                  QItemSelectionModel::ClearAndSelect);
  w.msf->selectionModel()->setCurrentIndex(w.records.index(2, 1), QItemSelectionModel::NoUpdate);
  EXPECT_EQ(w.grid.SelectedRows(), std::make_pair(3, 5));
  w.grid.DeleteSelectedRecords();
  w.grid.RefreshNavigator(false);
  ASSERT_EQ(w.records.recordCount(), 4);
  const QStringList names = {u"1"_qs, u"2"_qs, u"6"_qs, u"7"_qs};
  for (int r = 1; r <= 4; ++r) {
    EXPECT_EQ(w.records.cell(r, data::kNameColumn), names[r - 1]);
    EXPECT_EQ(w.records.cell(r, data::kNumberColumn), QString::number(r));
  }
  EXPECT_EQ(w.ns->maximum(), 4);
  EXPECT_EQ(w.ns->value(), 4);  // the navigator followed the shrinking list
  EXPECT_EQ(w.box(editor::kNameBox), u"7"_qs);
  EXPECT_EQ(w.num1->text(), u"4"_qs);

  // Deleting everything keeps the canvas, but the counters show no records left.
  w.grid.DeleteAllRecords();
  w.grid.RefreshNavigator(false);
  EXPECT_EQ(w.ns->minimum(), 1);
  EXPECT_EQ(w.ns->maximum(), 1);
  EXPECT_EQ(w.box(editor::kNameBox), u"7"_qs);
  EXPECT_EQ(w.num0->text(), u"0"_qs);
  EXPECT_EQ(w.num1->text(), u"0"_qs);
}

TEST(RecordGridTest, PostcodeCompletionAndCheck) {
  const 生成邮编::PostcodeTable table = {{u"浙江"_qs, u"杭州"_qs, u"310000"_qs},
                                         {u"浙江"_qs, u"宁波"_qs, u"315000"_qs}};
  {
    GridWindow w(Numbered({{u"甲", u"", u"浙江省宁波市某路"}}));
    test::ScriptedPrompts& prompts = test::FreshPrompts();
    w.grid.SetPostcodeTableReader([] { return std::nullopt; });
    w.grid.CompletePostcodes();
    EXPECT_EQ(prompts.shown, QStringList{data::kNoPostcodeTable});
    EXPECT_EQ(w.records.cell(1, data::kPostcodeColumn), QString());
  }
  GridWindow w(Numbered({{u"甲", u"", u"浙江省宁波市某路"}, {u"乙", u"100000", u"浙江省杭州市"}}));
  w.grid.SetPostcodeTableReader([&] { return std::optional(table); });
  w.grid.CompletePostcodes();
  EXPECT_EQ(w.records.cell(1, data::kPostcodeColumn), u"315000"_qs);
  EXPECT_EQ(w.digits(), (QStringList{u"3"_qs, u"1"_qs, u"5"_qs, u"0"_qs, u"0"_qs, u"0"_qs}));
  // The record of another province's postcode is marked, not changed.
  const QModelIndex wrong = w.records.index(1, data::kPostcodeColumn);
  EXPECT_EQ(w.records.data(wrong, Qt::ToolTipRole).toString(), data::kPostcodeMismatchTip);
  EXPECT_EQ(w.records.data(wrong, Qt::BackgroundRole).value<QColor>(),
            data::RecordTable::PostcodeMismatchColor());
  // The generated postcode has its own colour until the user edits it.
  const QModelIndex generated = w.records.index(0, data::kPostcodeColumn);
  EXPECT_EQ(w.records.data(generated, Qt::ToolTipRole).toString(), data::kGeneratedPostcodeTip);
  EXPECT_EQ(w.records.data(generated, Qt::ForegroundRole).value<QColor>(),
            data::RecordTable::GeneratedPostcodeColor());
  EXPECT_FALSE(w.records.data(wrong, Qt::ForegroundRole).isValid());
  w.records.SetCell(1, data::kPostcodeColumn, u"315012"_qs);
  EXPECT_FALSE(w.records.data(generated, Qt::ForegroundRole).isValid());
  EXPECT_EQ(w.records.cell(2, data::kPostcodeColumn), u"100000"_qs);
  // Mending the address settles the mark.
  w.records.SetCell(2, data::kAddressColumn, u"北京市"_qs);
  EXPECT_FALSE(w.records.data(wrong, Qt::ToolTipRole).isValid());
}

TEST(RecordGridTest, ExportAsksForAFileAndKeepsTheChosenEncoding) {
  QTemporaryDir dir;
  GridWindow w(Numbered({{u"张三", u"310000", u"杭州"}}));
  const struct {
    QString chosen;  // path as typed, without the suffix
    QString filter;
    data::CsvEncoding encoding;
  } cases[] = {
      {dir.filePath(u"名单"_qs), data::kExportFilter.section(u";;"_qs, 0, 0), data::CsvEncoding::kUtf8},
      {dir.filePath(u"旧名单"_qs), data::kExportFilter.section(u";;"_qs, 1, 1), data::CsvEncoding::kGb18030},
  };
  for (const auto& c : cases) {
    test::ScriptedPrompts& prompts = test::FreshPrompts();
    prompts.files = {c.chosen};
    prompts.saveFilters = {c.filter};
    w.grid.ExportRecords();
    QFile file(c.chosen + u".csv"_qs);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << c.chosen.toStdString();
    EXPECT_EQ(file.readAll(), data::RecordsToCsv(w.records.records(), c.encoding));
    EXPECT_EQ(prompts.shown.value(1), data::kExportDone + QDir::toNativeSeparators(c.chosen + u".csv"_qs));
  }
  // Cancelled: nothing written, nothing said.
  test::ScriptedPrompts& prompts = test::FreshPrompts();
  w.grid.ExportRecords();
  EXPECT_EQ(prompts.shown, QStringList{data::kExportTitle});
}

}  // namespace

namespace {

TEST(RecordGridTest, EmptyGridTurnsDataCommandsIntoNoOps) {
  GridWindow w;
  const struct {
    int index;
    bool runs;
    QStringList shown;
  } cases[] = {
      {data::ui::kRemoveIncomplete, false, {}},
      {data::ui::kRemoveSpaces, false, {}},
      {data::ui::kRemoveLineBreaks, false, {}},
      {data::ui::kMergeDuplicates, false, {}},
      {data::ui::kDeleteAll, false, {}},
      {data::ui::kExport, false, {}},
      {data::ui::kPrintSelected, false, {data::kNoRecordsToPrint}},
      {data::ui::kImport, true, {}},
      {data::ui::kDeleteSelected, true, {}},
      {data::ui::kCompletePostcodes, true, {}},
      {0, true, {}},
  };
  for (const auto& c : cases) {
    test::ScriptedPrompts& prompts = test::FreshPrompts();
    EXPECT_EQ(w.grid.Accepts(c.index), c.runs) << c.index;
    EXPECT_EQ(prompts.shown, c.shown) << c.index;
  }
  GridWindow filled(Numbered({{u"甲", u"1", u"a"}}));
  for (int index : {4, 5, 6, 7, 8, 16, 18}) EXPECT_TRUE(filled.grid.Accepts(index)) << index;
}

}  // namespace

namespace {

TEST(WindowWaitTest, WaitsUntilNoVisibleWindowHasTheCaption) {
  QWidget dialog;
  dialog.setWindowTitle(u"请选择打印机"_qs);
  EXPECT_FALSE(data::ui::WindowIsOpen(u"请选择打印机"_qs));  // loaded but hidden
  dialog.show();
  EXPECT_TRUE(data::ui::WindowIsOpen(u"请选择打印机"_qs));
  EXPECT_FALSE(data::ui::WindowIsOpen(u"请选择"_qs));  // the whole caption must agree
  bool closedByEvent = false;
  QTimer::singleShot(50, &dialog, [&] {
    closedByEvent = true;
    dialog.close();
  });
  data::ui::WaitWhileWindowOpen(u"请选择打印机"_qs);
  EXPECT_TRUE(closedByEvent);
  EXPECT_FALSE(data::ui::WindowIsOpen(u"请选择打印机"_qs));
}

}  // namespace
