#include <gtest/gtest.h>

#include <QSignalSpy>

#include "data/cleaning.h"
#include "data/postcodes.h"
#include "data/record_table.h"

namespace {

using data::Record;
using data::RecordTable;

// Records with the traps of each command: duplicates, empty fields, spaces, line-break marks,
// a generated postcode, and record numbers that are not simply 1..n.
std::vector<Record> Sample() {
  std::vector<Record> r = {
      {u"1"_qs, u"张 三"_qs, u""_qs, u"浙江省宁波市海曙区中山西路"_qs},
      {u"2"_qs, u"李四"_qs, u"310000"_qs, u"浙江省//杭州市"_qs},
      {u"3"_qs, u""_qs, u"100020"_qs, u"北京市朝阳区"_qs},
      {u"4"_qs, u"李四"_qs, u"310000"_qs, u"浙江省//杭州市"_qs},
      {u"5"_qs, u"王五"_qs, u"315000"_qs, u""_qs},
      {u"6"_qs, u""_qs, u""_qs, u""_qs},
      {u"x"_qs, u"赵六"_qs, u""_qs, u"中山路1号"_qs},
  };
  r[4].postcodeGenerated = true;
  return r;
}

const 生成邮编::PostcodeIndex& Index() {
  static const 生成邮编::PostcodeIndex index(
      {{u"北京"_qs, u"朝阳"_qs, u"100020"_qs}, {u"浙江"_qs, u"宁波"_qs, u"315000"_qs}});
  return index;
}

TEST(RecordUndoTest, EachDataCommandIsTakenBackExactly) {
  const struct {
    const char* what;
    std::function<void(RecordTable&)> command;
  } commands[] = {
      {"import",
       [](RecordTable& t) {
         t.ReplaceAll({{u"1"_qs, u"新"_qs, u""_qs, u""_qs}});
       }},
      {"remove incomplete (name)",
       [](RecordTable& t) { t.Modify([](auto& r) { data::RemoveIncomplete(r, data::Rule::kNeedsName); }); }},
      {"remove spaces", [](RecordTable& t) { t.ModifyCells(data::RemoveSpaces); }},
      {"remove line-break marks", [](RecordTable& t) { t.ModifyCells(data::RemoveLineBreakMarks); }},
      {"merge duplicates", [](RecordTable& t) { t.Modify(data::MergeDuplicates); }},
      {"delete all", [](RecordTable& t) { t.Clear(); }},
      {"delete selected",
       [](RecordTable& t) { t.Modify([](auto& r) { data::DeleteRecordRange(r, 6, 2); }); }},
      {"complete postcodes",
       [](RecordTable& t) { t.ModifyCells([](auto& r) { 生成邮编::CompletePostcodes(r, Index()); }); }},
  };
  for (const auto& c : commands) {
    RecordTable table;
    table.ReplaceAll(Sample());
    c.command(table);
    EXPECT_NE(table.records(), Sample()) << c.what;
    QSignalSpy reset(&table, &RecordTable::modelReset);
    QSignalSpy changed(&table, &RecordTable::dataChanged);
    ASSERT_TRUE(table.Undo()) << c.what;
    EXPECT_EQ(table.records(), Sample()) << c.what;
    EXPECT_GT(reset.size() + changed.size(), 0) << c.what << ": views and change trackers must hear of it";
  }
}

TEST(RecordUndoTest, TenStepsBackAndEditsOfOtherRecordsStay) {
  RecordTable table;
  std::vector<Record> twice = Sample();
  for (const Record& r : Sample()) twice.push_back(r);
  table.ReplaceAll(twice);
  std::vector<std::vector<Record>> states{table.records()};
  for (int i = 0; i < RecordTable::kUndoSteps; ++i) {  // ten removals, one record each
    table.Modify([](auto& r) { data::DeleteRecordRange(r, 1, 1); });
    states.push_back(table.records());
  }
  for (int i = RecordTable::kUndoSteps - 1; i >= 0; --i) {
    ASSERT_TRUE(table.Undo()) << i;
    EXPECT_EQ(table.records(), states[i]) << i;
  }
  EXPECT_FALSE(table.Undo());  // the first import fell off the end

  // A removal taken back after an edit: the edited survivor keeps the edit.
  table.ReplaceAll(Sample());
  table.Modify(data::MergeDuplicates);
  table.SetCell(1, data::kNameColumn, u"张三"_qs);
  ASSERT_TRUE(table.Undo());
  std::vector<Record> expected = Sample();
  expected[0][data::kNameColumn] = u"张三"_qs;
  EXPECT_EQ(table.records(), expected);
}

}  // namespace
