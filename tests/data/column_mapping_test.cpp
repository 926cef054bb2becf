#include "data/column_mapping.h"

#include <gtest/gtest.h>

#include <map>

#include "data/workbook_errors.h"
#include "tests/support/qt_printers.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using data::ColumnNumber;
using data::NormaliseExpression;

TEST(ColumnMappingTest, NormalisingTurnsFullWidthFormsIntoAsciiAndDropsOneOuterComma) {
  const struct {
    const char16_t* in;
    const char16_t* out;
  } cases[] = {
      {u"A，\" 收\"", u"A,\" 收\""}, {u"“收”", u"\"收\""}, {u" ,A, ", u"A"}, {u",,A,,", u",A,"}, {u",", u""},
      {u"  D,F  ", u"D,F"},          {u"\tA", u"\tA"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NormaliseExpression(QString::fromUtf16(c.in)), QString::fromUtf16(c.out))
        << QString::fromUtf16(c.in).toStdString();
}

TEST(ColumnMappingTest, ColumnNumbersCountFromAOneAndTwoLettersToZz) {
  const struct {
    const char16_t* item;
    int column;
  } cases[] = {
      {u"A", 1},   {u"b", 2},   {u"Z", 26}, {u"AA", 27}, {u"AB", 28}, {u"ZZ", 702},
      {u" c ", 3}, {u"ABC", 0}, {u"1", 1},  {u"收", 1},  {u"[", 27},  {u"a收", 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ColumnNumber(QString::fromUtf16(c.item)), c.column) << QString::fromUtf16(c.item).toStdString();
  EXPECT_EQ(ColumnNumber(u"  "), std::nullopt);
}

TEST(ColumnMappingTest, PostcodesShorterThanSixArePaddedWithZeros) {
  const struct {
    const char16_t* in;
    const char16_t* out;
  } cases[] = {
      {u"12345", u"012345"}, {u"1", u"000001"}, {u"", u""}, {u"100001", u"100001"}, {u"1234567", u"1234567"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(data::PadPostcode(QString::fromUtf16(c.in)), QString::fromUtf16(c.out));
}

// A sheet of a few cells; anything outside the usual range is refused like a spreadsheet does.
struct FakeSheet {
  std::map<std::pair<int, int>, QString> cells;
  int CellText(int row, int column, QString& text) const {
    if (row < 1 || column < 1) return data::kWorkbookCellOutOfRange;
    const auto found = cells.find({row, column});
    text = found == cells.end() ? QString() : found->second;
    return 0;
  }
};

TEST(ColumnMappingTest, EvaluatingAWorkbookRowConcatenatesItems) {
  FakeSheet sheet;
  sheet.cells = {{{3, 1}, u"张三"_s},
                 {{3, 2}, u"10001"_s},
                 {{3, 4}, u"北京市\n海淀区"_s},
                 {{3, 6}, u"某公司"_s},
                 {{3, 28}, u"AB列"_s}};
  const data::CellReader read = [&](int r, int c, QString& t) { return sheet.CellText(r, c, t); };
  const struct {
    const char16_t* expression;
    bool filter;
    const char16_t* field;
    int error;
  } cases[] = {
      {u"A，\" 收\"", false, u"张三 收", 0},
      {u"D,F", false, u"北京市//海淀区某公司", 0},
      {u"D,F", true, u"北京市海淀区某公司", 0},
      {u"D,\"//\",F", true, u"北京市海淀区//某公司", 0},
      {u"ab", false, u"AB列", 0},
      {u"\"", false, u"", 0},
      {u"ABC", false, u"", data::kWorkbookCellOutOfRange},
      {u"A,,B", false, u"", data::kWorkbookInvalidArgument},
      {u"", false, u"", 0},
  };
  for (const auto& c : cases) {
    const data::Expressions expressions = {NormaliseExpression(QString::fromUtf16(c.expression)), u"B"_s,
                                           u""_s};
    const data::MappingResult result = data::EvaluateMapping(expressions, 3, c.filter, read);
    const QString label = QString::fromUtf16(c.expression);
    EXPECT_EQ(result.error, c.error) << label.toStdString();
    if (c.error) continue;
    EXPECT_EQ(result.fields[0], QString::fromUtf16(c.field)) << label.toStdString();
    EXPECT_EQ(result.fields[1], u"010001"_s) << label.toStdString();
  }
}

}  // namespace
