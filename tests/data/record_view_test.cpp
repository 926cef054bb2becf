#include "data/record_view.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <numeric>

#include "data/data_texts.h"
#include "data/postcodes.h"
#include "data/record_table.h"
#include "data/workbook_import.h"
#include "data/xlsx_export.h"
#include "tests/support/scripted_prompts.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using data::Record;
using data::RecordTable;

// Ties everywhere, postcodes whose numeric and digit orders differ, an empty postcode and one
// written with a space.
std::vector<Record> Sample() {
  std::vector<Record> r = {
      {u"1"_s, u"甲"_s, u"100000"_s, u"北京市朝阳区"_s},
      {u"2"_s, u"乙"_s, u"010000"_s, u"内蒙古呼和浩特市"_s},
      {u"3"_s, u"丙"_s, u""_s, u"浙江省杭州市"_s},
      {u"10"_s, u"丁"_s, u"100000"_s, u"北京市海淀区"_s},
      {u"4"_s, u"戊"_s, u"31000"_s, u"浙江省宁波市"_s},
      {u"5"_s, u"己"_s, u"310 000"_s, u"广东省广州市"_s},
      {u"6"_s, u"庚"_s, u"100000"_s, u"浙江省温州市 Lane"_s},
  };
  r[4].postcodeGenerated = true;
  return r;
}

QStringList Names(const RecordTable& t) {
  QStringList names;
  for (int r = 1; r <= t.recordCount(); ++r) names << t.cell(r, data::kNameColumn);
  return names;
}

TEST(RecordViewTest, SortsStablyPostcodesByTheirDigitsAndUndoRestoresTheOrder) {
  const struct {
    int column;
    bool descending;
    QStringList names;
  } cases[] = {
      // Equal postcodes keep the list's order both ways; the empty one goes last both ways.
      {data::kPostcodeColumn, false, {u"乙"_s, u"甲"_s, u"丁"_s, u"庚"_s, u"戊"_s, u"己"_s, u"丙"_s}},
      {data::kPostcodeColumn, true, {u"己"_s, u"戊"_s, u"甲"_s, u"丁"_s, u"庚"_s, u"乙"_s, u"丙"_s}},
      // Record numbers by value: 10 after 6, not after 1.
      {data::kNumberColumn, false, {u"甲"_s, u"乙"_s, u"丙"_s, u"戊"_s, u"己"_s, u"庚"_s, u"丁"_s}},
  };
  for (const auto& c : cases) {
    RecordTable t;
    t.ReplaceAll(Sample());
    QSignalSpy resets(&t, &RecordTable::modelReset);
    t.Sort(c.column, c.descending);
    EXPECT_EQ(Names(t), c.names) << c.column << c.descending;
    EXPECT_EQ(resets.count(), 1) << "views and the working list hear of the new order";
    EXPECT_TRUE(t.record(5).postcodeGenerated == (t.cell(5, data::kNameColumn) == u"戊"_s));
    ASSERT_TRUE(t.Undo());
    EXPECT_EQ(t.records(), Sample());
  }
}

// Texts of a few characters with long shared beginnings, many equal, some empty, enough for
// every way the sort takes: by the first four units, by the units after them, and small runs.
TEST(RecordViewTest, TextsSortByCharacterCodeStablyWithEmptyCellsLast) {
  std::vector<Record> records;
  std::uint32_t seed = 7;
  const auto next = [&](std::uint32_t below) { return (seed = seed * 1103515245u + 12345u) / 65536 % below; };
  const QString letters = u"浙江省杭州市A路1"_s;
  for (int i = 0; i < 5000; ++i) {
    QString text = next(3) == 0 ? u"浙江省杭州市西湖区"_s.left(int(next(10))) : QString();
    for (std::uint32_t k = next(12); k > 0; --k) text += letters[qsizetype(next(2) ? 0 : next(9))];
    records.push_back({QString::number(i), text, QString(), text});
  }
  for (const bool descending : {false, true}) {
    std::vector<int> expected(records.size());
    std::iota(expected.begin(), expected.end(), 0);
    std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
      const QString &x = records[a][data::kAddressColumn], &y = records[b][data::kAddressColumn];
      if (x.isEmpty() || y.isEmpty()) return y.isEmpty() && !x.isEmpty();
      return descending ? x > y : x < y;
    });
    EXPECT_EQ(data::SortOrder(records, data::kAddressColumn, descending), expected) << descending;
  }
}

TEST(RecordViewTest, FiltersShowTheRightRecordsAndClearingBringsAllBackSorted) {
  const 生成邮编::PostcodeIndex index({{u"北京"_s, u"朝阳"_s, u"100020"_s},
                                       {u"浙江"_s, u"杭州"_s, u"310000"_s},
                                       {u"广东"_s, u"广州"_s, u"510000"_s}});
  const struct {
    QStringList settings;  // as the batch tool takes them
    QStringList names;
  } cases[] = {
      {{u"text=lane"_s}, {u"庚"_s}},  // any column, Latin case ignored
      {{u"address=北京"_s}, {u"甲"_s, u"丁"_s}},
      {{u"name=北京"_s}, {}},
      {{u"postcode=10"_s}, {u"甲"_s, u"丁"_s, u"庚"_s}},
      {{u"province=浙江"_s}, {u"丙"_s, u"戊"_s, u"庚"_s}},
      {{u"province=浙江省"_s, u"postcode=10"_s}, {u"庚"_s}},
      {{u"problems"_s}, {u"己"_s, u"庚"_s}},  // 310 000 in 广东, 100000 in 浙江
      {{u"generated"_s}, {u"戊"_s}},
  };
  for (const auto& c : cases) {
    data::RecordFilter filter;
    for (const QString& s : c.settings) ASSERT_TRUE(data::AddFilter(s, &filter)) << s.toStdString();
    RecordTable t;
    t.ReplaceAll(Sample());
    t.SetPostcodeCheck(std::make_shared<const 生成邮编::PostcodeIndex>(index));
    t.SetFilter(filter);
    EXPECT_EQ(Names(t), c.names) << c.settings.join(u' ').toStdString();
    EXPECT_EQ(t.totalCount(), 7);
  }
  for (const QString& bad : {u"postcode=1a"_s, u"colour=red"_s, u"text="_s}) {
    data::RecordFilter unused;
    EXPECT_FALSE(data::AddFilter(bad, &unused)) << bad.toStdString();
  }

  // Sorting while filtered sorts the whole list; clearing the filter shows it in that order.
  RecordTable t;
  t.ReplaceAll(Sample());
  data::RecordFilter beijing;
  data::AddFilter(u"address=北京"_s, &beijing);
  t.SetFilter(beijing);
  t.Sort(data::kNameColumn, true);
  EXPECT_EQ(Names(t), (QStringList{u"甲"_s, u"丁"_s}));
  t.SetFilter({});
  // By character code: 甲 U+7532 first, 丁 U+4E01 last.
  EXPECT_EQ(Names(t), (QStringList{u"甲"_s, u"戊"_s, u"庚"_s, u"己"_s, u"乙"_s, u"丙"_s, u"丁"_s}));
  EXPECT_EQ(t.Find(2, u"北京"_s, false), 6) << "the next match after row 2: 丁";
  EXPECT_EQ(t.Find(2, u"北京"_s, true), 0) << "the one before: 甲";
  EXPECT_EQ(t.Find(6, u"北京"_s, false), 0) << "forward wraps around";
  EXPECT_EQ(t.Find(-1, u"没有"_s, false), -1);
}

// A long list is searched from both ends of the way at once: the match nearest along the way
// wins, whichever half it lies in, in both directions and around the end of the list.
TEST(RecordViewTest, FindInALongListGivesTheNearestMatchAlongTheWay) {
  std::vector<int> shown(150000);
  std::iota(shown.begin(), shown.end(), 0);
  std::vector<Record> records(shown.size(), Record{u"1"_s, u"某"_s, u"310012"_s, u"文三路"_s});
  for (int row : {5, 80000, 140000}) records[std::size_t(row)][data::kAddressColumn] = u"北京路"_s;
  const struct {
    int from;
    bool backward;
    int found;
  } cases[] = {
      {0, false, 5},           // in the first half of the way
      {5, false, 80000},       // 79,995 steps on: in the second half
      {80000, false, 140000},  // the first half's match, though the second half holds one too
      {140000, false, 5},      // around the end
      {5, true, 140000},       // backward, around the start
      {100000, true, 80000},  {-1, false, 5},
  };
  for (const auto& c : cases)
    EXPECT_EQ(data::FindRecord(records, shown, c.from, u"北京"_s, c.backward), c.found)
        << "from " << c.from << (c.backward ? " backward" : " forward");
  EXPECT_EQ(data::FindRecord(records, shown, 0, u"没有"_s, false), -1);
  records[80000][data::kAddressColumn] = records[140000][data::kAddressColumn] = u"文三路"_s;
  EXPECT_EQ(data::FindRecord(records, shown, 5, u"北京"_s, false), 5) << "the whole way round";
}

// The list keeps each address's province once a filter read it: it must follow the records.
TEST(RecordViewTest, TheProvinceFilterFollowsSortsEditsUndoAndRemovals) {
  RecordTable t;
  t.ReplaceAll(Sample());
  data::RecordFilter zhejiang;
  ASSERT_TRUE(data::AddFilter(u"province=浙江"_s, &zhejiang));
  t.SetFilter(zhejiang);
  EXPECT_EQ(Names(t), (QStringList{u"丙"_s, u"戊"_s, u"庚"_s}));
  t.SetFilter({});
  t.Sort(data::kNameColumn, false);  // 丁 丙 乙 己 庚 戊 甲
  t.SetFilter(zhejiang);
  EXPECT_EQ(Names(t), (QStringList{u"丙"_s, u"庚"_s, u"戊"_s}));
  t.SetFilter({});
  ASSERT_EQ(t.cell(7, data::kNameColumn), u"甲"_s);
  t.SetCell(7, data::kAddressColumn, u"浙江省湖州市"_s);
  t.SetFilter(zhejiang);
  EXPECT_EQ(Names(t), (QStringList{u"丙"_s, u"庚"_s, u"戊"_s, u"甲"_s}));
  t.SetFilter({});
  ASSERT_TRUE(t.Undo());  // the sort; the edit stays
  t.SetFilter(zhejiang);
  EXPECT_EQ(Names(t), (QStringList{u"甲"_s, u"丙"_s, u"戊"_s, u"庚"_s}));
  t.SetFilter({});
  t.Modify([](std::vector<Record>& r) { r.erase(r.begin() + 2); });  // 丙
  t.SetFilter(zhejiang);
  EXPECT_EQ(Names(t), (QStringList{u"甲"_s, u"戊"_s, u"庚"_s}));
}

// A long list reads its addresses in two halves at once: every record is placed, in either half.
TEST(RecordViewTest, TheProvinceFilterPlacesEveryAddressOfALongList) {
  std::vector<Record> records;
  for (int i = 0; i < 120000; ++i)
    records.push_back({QString::number(i + 1), u"某"_s, u"310012"_s,
                       i % 3 == 0 ? u"浙江省杭州市文三路1号"_s : u"北京市海淀区中关村大街1号"_s});
  RecordTable t;
  t.ReplaceAll(std::move(records));
  data::RecordFilter zhejiang;
  ASSERT_TRUE(data::AddFilter(u"province=浙江"_s, &zhejiang));
  t.SetFilter(zhejiang);
  ASSERT_EQ(t.recordCount(), 40000);
  EXPECT_EQ(t.cell(1, data::kNumberColumn), u"1"_s);
  EXPECT_EQ(t.cell(40000, data::kNumberColumn), u"119998"_s);
}

TEST(RecordViewTest, UndoHistoryDropsItsOldestStepsBeyondItsCellsAndSaysSo) {
  RecordTable t;
  t.SetUndoCellLimit(60);  // a 7-record list is 28 cells
  QSignalSpy dropped(&t, &RecordTable::UndoStepsDropped);
  t.ReplaceAll(Sample());  // holds the empty list: 0 cells
  t.ReplaceAll(Sample());  // 28
  EXPECT_EQ(dropped.count(), 0);
  t.ReplaceAll(Sample());                // 56
  t.Sort(data::kPostcodeColumn, false);  // 63: the two oldest steps go, 35 stay
  ASSERT_EQ(dropped.count(), 1);
  EXPECT_EQ(dropped.first().first().toInt(), 2);
  EXPECT_EQ(t.undoSteps(), 2);
  std::vector<Record> big(40, Sample().front());
  t.ReplaceAll(big);  // 28 more; the newest step always stays even when alone it is too big
  t.ReplaceAll({});   // 160
  EXPECT_EQ(t.undoSteps(), 1);
  ASSERT_TRUE(t.Undo());
  EXPECT_EQ(t.records(), big);
}

TEST(RecordViewTest, XlsxExportComesBackCellForCellThroughTheImport) {
  QTemporaryDir dir;
  std::vector<Record> records = {
      {u"1"_s, u"张三"_s, u"010000"_s, u"内蒙古//呼和浩特市, \"新华\"大街 1号"_s},
      {u"2"_s, u"0012"_s, u"000100"_s, u"2024-01-01"_s},  // numbers and dates stay text
      {u"3"_s, u"1E5"_s, u"001234"_s, u"3.10"_s},
      {u"4"_s, u"  前后空格  "_s, u""_s, QString(5000, u'长')},
      {u"5"_s, u"Tab\there"_s, u"000000"_s, u"=SUM(A1)"_s},
  };
  const QString path = dir.filePath(u"导出.xlsx"_s);
  ASSERT_EQ(data::ExportRecordsXlsx(path, records), QString());
  test::ScriptedPrompts& prompts = test::FreshPrompts();
  RecordTable grid;
  data::Expressions expressions = {u"B"_s, u"C"_s, u"D"_s};
  ASSERT_EQ(data::ImportWorkbook(grid, path, u"地址"_s, 2, std::nullopt, expressions, false), 0);
  EXPECT_EQ(grid.records(), records);
  EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join(u'\n').toStdString();
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"导出.xlsx"_s});

  if (geteuid() != 0) {  // root writes anywhere
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(data::ExportRecordsXlsx(dir.filePath(u"b.xlsx"_s), records), data::kFolderNotWritable);
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  }
}

}  // namespace
