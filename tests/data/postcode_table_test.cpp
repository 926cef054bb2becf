#include "data/postcode_table.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>

#include "data/data_texts.h"
#include "data/ui/record_grid.h"
#include "tests/support/par_database.h"
#include "tests/support/scripted_prompts.h"

namespace {

TEST(PostcodeTableTest, CompletionReadsTheShippedDatabase) {
  test::ParDatabase database;
  const std::optional<生成邮编::PostcodeTable> table = 生成邮编::ReadPostcodeTable();
  ASSERT_TRUE(table);
  EXPECT_EQ(int(table->size()), database.Sql(u"SELECT COUNT(*) FROM 邮编"_qs).value(0).toInt());
  const 生成邮编::PostcodeIndex index(*table);
  const struct {
    const char16_t* address;
    const char16_t* postcode;
  } cases[] = {
      {u"浙江省宁波市某路", u"315000"},
      {u"浙江省某县", u""},
      {u"宁波市某路", u"315000"},
      {u"杭州市西湖区", u"310000"},
      {u"某地", u""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(index.LookupPostcode(QString::fromUtf16(c.address)), QString::fromUtf16(c.postcode))
        << QString::fromUtf16(c.address).toStdString();
}

TEST(PostcodeTableTest, MissingTableIsReportedAndNothingChanges) {
  test::ParDatabase database;
  database.Sql(u"DROP TABLE 邮编"_qs);
  EXPECT_FALSE(生成邮编::ReadPostcodeTable());

  QTableView msf;
  QScrollBar ns(Qt::Horizontal);
  QLineEdit num0, num1;
  data::RecordTable records;
  editor::EnvelopeModel envelope;
  data::ui::InitRecordGrid(&msf, &records);
  data::ui::RecordGrid grid({&msf, &ns, &num0, &num1}, &records, &envelope);
  grid.SetPostcodeTableReader(生成邮编::ReadPostcodeTable);
  records.ReplaceAll({{u"1"_qs, u"甲"_qs, u""_qs, u"浙江省宁波市"_qs}});
  test::ScriptedPrompts& prompts = test::FreshPrompts();
  grid.CompletePostcodes();
  EXPECT_EQ(prompts.shown, QStringList{data::kNoPostcodeTable});
  EXPECT_EQ(records.cell(1, data::kPostcodeColumn), QString());
}

}  // namespace
