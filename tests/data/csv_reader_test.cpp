#include "data/csv_reader.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include "data/record_table.h"
#include "tests/support/qt_printers.h"

namespace {

using namespace Qt::Literals::StringLiterals;

QString Fixture(const char* name) {
  return QStringLiteral(KOVA_FIXTURES "/import/") + QString::fromUtf8(name);
}

// A CSV file with the given bytes in a folder of its own.
class CsvFile {
 public:
  explicit CsvFile(const QByteArray& bytes) : path_(dir_.filePath(u"list.csv"_s)) {
    QFile file(path_);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  const QString& path() const { return path_; }

 private:
  QTemporaryDir dir_;
  QString path_;
};

// Rows as "name|postcode|address", numbers checked separately.
QStringList Rows(const data::RecordTable& grid) {
  QStringList rows;
  for (int r = 1; r <= grid.recordCount(); ++r) {
    EXPECT_EQ(grid.cell(r, data::kNumberColumn), QString::number(r));
    rows << grid.cell(r, 1) + u'|' + grid.cell(r, 2) + u'|' + grid.cell(r, 3);
  }
  return rows;
}

QStringList Import(const QByteArray& bytes, int start, int end, bool filter,
                   data::Expressions expressions = {u"A"_s, u"B"_s, u"C"_s}) {
  CsvFile file(bytes);
  data::RecordTable grid;
  EXPECT_TRUE(data::ImportCsv(grid, file.path(), start, end, expressions, filter));
  return Rows(grid);
}

TEST(CsvReaderTest, RecordsSplitIntoFieldsAtCommasOutsideQuotes) {
  const struct {
    const char16_t* record;
    QStringList fields;
  } cases[] = {
      {u"a,\"b,c\",d", {u"a"_s, u"b,c"_s, u"d"_s}},
      {u"a,\"x\"\"y\",b", {u"a"_s, u"x\"y"_s, u"b"_s}},
      {u"a,\"\",b", {u"a"_s, u"\""_s, u"b"_s}},
      {u"ab\"c,d\",e", {u"abc,d"_s, u"e"_s}},
      {u"\"\"\"q\"\"\"", {u"\"q\""_s}},
      {u"\"a\"\"\",b", {u"a\""_s, u"b"_s}},
      {u"a,,", {u"a"_s, u""_s, u""_s}},
      {u"ζ,ξ,\"ζζ,ξ\"", {u"ζ"_s, u"ξ"_s, u"ζζ,ξ"_s}},
      {u"x\ny,z", {u"x\ny"_s, u"z"_s}},
      {u"\"a\r\nb\",c", {u"a\r\nb"_s, u"c"_s}},
  };
  for (const auto& c : cases) {
    const QString record = QString::fromUtf16(c.record);
    EXPECT_EQ(data::SplitCsvRecord(record), std::optional<QStringList>(c.fields)) << record.toStdString();
  }
  for (const char16_t* open : {u"\"open,", u"a,\"b\"\"", u"x\"y"})
    EXPECT_EQ(data::SplitCsvRecord(QString::fromUtf16(open)), std::nullopt)
        << QString::fromUtf16(open).toStdString();
}

TEST(CsvReaderTest, RunsAndOccurrencesAreCounted) {
  EXPECT_EQ(data::CountRun(u"a\"\"\"b", u'"', 1), 3);
  EXPECT_EQ(data::CountRun(u"a\"\"\"b", u'"', 0), 0);
  EXPECT_EQ(data::CountRun(u"\"\"", u'"', 5), 0);
  EXPECT_EQ(data::CountOccurrences(u"aaaa", u"aa"), 2);
  EXPECT_EQ(data::CountOccurrences(u"ζxζζ", u"ζ"), 3);
  EXPECT_EQ(data::CountOccurrences(u"abc", u""), 0);
}

TEST(CsvReaderTest, ImportKeepsTheReaderEdgeCases) {
  const struct {
    const char* name;
    QByteArray bytes;
    int start, end;
    bool filter;
    QStringList rows;
  } cases[] = {
      {"line break inside quotes, filter off",
       "n,1,\"上海市\r\n浦东\",x\r\n",
       1,
       1,
       false,
       {u"n|000001|上海市\r//浦东"_s}},
      {"line break inside quotes, filter on",
       "n,1,\"上海市\r\n浦东\",x\r\n",
       1,
       1,
       true,
       {u"n|000001|上海市浦东"_s}},
      {"line feeds alone are one line",
       "a,1,x\nb,2,y\n",
       1,
       3,
       false,
       {u"a|000001|x//b"_s, u"||"_s, u"||"_s}},
      {"start row skips physical lines", "\"open\r\nb,123,addr\r\n", 2, 2, false, {u"b|000123|addr"_s}},
      {"empty line leaves a numbered empty row",
       "h\r\na,1,x\r\n\r\nc,3,z\r\n",
       2,
       10,
       false,
       {u"a|000001|x"_s, u"||"_s, u"c|000003|z"_s, u"||"_s, u"||"_s, u"||"_s, u"||"_s, u"||"_s, u"||"_s}},
      {"postcodes",
       "a,12345,x\r\nb,1234567,y\r\nc,,z\r\n",
       1,
       3,
       false,
       {u"a|012345|x"_s, u"b|1234567|y"_s, u"c||z"_s}},
      {"end row one below start row", "a,1,x\r\n", 5, 4, false, {}},
      {"end of file inside quotes ends the record",
       "a,1,\"never closed\r\nmore",
       1,
       2,
       false,
       {u"a|000001|never closed\r//more"_s, u"||"_s}},
      {"all three fields empty still fill the row", ",,\r\nb,2,y", 1, 2, false, {u"||"_s, u"b|000002|y"_s}},
      {"Greek letters are data", "ζ,ξ,\"α,β\"\r\n", 1, 1, false, {u"ζ|00000ξ|α,β"_s}},
      {"empty file", "", 1, 2, false, {u"||"_s, u"||"_s}},
  };
  for (const auto& c : cases) EXPECT_EQ(Import(c.bytes, c.start, c.end, c.filter), c.rows) << c.name;
}

TEST(CsvReaderTest, CsvItemsFollowTheirOwnLiteralAndColumnRules) {
  const QByteArray line = "张三,100001,北京市,某公司\r\n";
  const struct {
    const char16_t* expression;
    const char16_t* name;
  } cases[] = {
      {u"A，\" 收\"", u"张三 收"}, {u"D,\"//\",C", u"某公司//北京市"}, {u"Z", u""},  {u"ABC", u""},
      {u"A, \"x\"", u"张三"},      {u"A,,D", u"张三某公司"},           {u"\"", u""}, {u",A,", u"张三"},
  };
  for (const auto& c : cases) {
    data::Expressions expressions = {QString::fromUtf16(c.expression), u"B"_s, u"C"_s};
    const QStringList rows = Import(line, 1, 1, false, expressions);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].section(u'|', 0, 0), QString::fromUtf16(c.name))
        << QString::fromUtf16(c.expression).toStdString();
  }
}

TEST(CsvReaderTest, ExpressionsAreStoredBackNormalised) {
  CsvFile file("a\r\n");
  data::RecordTable grid;
  data::Expressions expressions = {u" ，A， "_s, u"“x”"_s, u""_s};
  data::ImportCsv(grid, file.path(), 1, 1, expressions, false);
  EXPECT_EQ(expressions, (data::Expressions{u"A"_s, u"\"x\""_s, u""_s}));
}

TEST(CsvReaderTest, EncodingsAreRecognised) {
  const QString text = u"姓名,邮编,地址\r\n张三,10001,北京市\r\n"_s;
  const QStringList expected = {u"张三|010001|北京市"_s};
  auto encode = [&](QStringConverter::Encoding encoding, QStringConverter::Flags flags) {
    QStringEncoder encoder(encoding, flags);
    return QByteArray(encoder(text));
  };
  QStringEncoder gb18030("GB18030");
  const struct {
    const char* name;
    QByteArray bytes;
  } cases[] = {
      {"GB18030", gb18030(text)},
      {"UTF-8", encode(QStringConverter::Utf8, QStringConverter::Flag::Default)},
      {"UTF-8 with BOM", encode(QStringConverter::Utf8, QStringConverter::Flag::WriteBom)},
      {"UTF-16LE with BOM", encode(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom)},
      {"UTF-16BE with BOM", encode(QStringConverter::Utf16BE, QStringConverter::Flag::WriteBom)},
  };
  for (const auto& c : cases) EXPECT_EQ(Import(c.bytes, 2, 2, false), expected) << c.name;
}

TEST(CsvReaderTest, FilesWrittenByASpreadsheetImportAlike) {
  data::Expressions expressions = {u"A，\" 收\""_s, u"B"_s, u"C,D"_s};
  const QStringList expected = {u"张三 收|100001|北京市海淀区中关村大街1号某某科技公司"_s,
                                u"李四 收|010001|上海市\r//浦东新区"_s,
                                u"王五 收|510620|广州市, 天河区 \"体育东路\""_s, u" 收|300000|"_s};
  for (const char* name : {"addresses_gbk.csv", "addresses_utf8.csv"}) {
    data::RecordTable grid;
    data::Expressions copy = expressions;
    ASSERT_TRUE(data::ImportCsv(grid, Fixture(name), 2, 5, copy, false)) << name;
    EXPECT_EQ(Rows(grid), expected) << name;
  }
  // Saved with line feeds alone, the whole file is one line.
  data::RecordTable grid;
  data::Expressions acrossLines = {u"A"_s, u"B"_s, u"G"_s};
  ASSERT_TRUE(data::ImportCsv(grid, Fixture("addresses_utf8_lf.csv"), 1, 2, acrossLines, false));
  EXPECT_EQ(Rows(grid), (QStringList{u"姓名|0000邮编|小数//张三"_s, u"||"_s}));
}

TEST(CsvReaderTest, PreviewShowsTheFirstTenRecordsFromTheFirstLine) {
  QByteArray bytes;
  for (int i = 1; i <= 12; ++i)
    bytes += i == 3 ? QByteArray("\r\n")
                    : "r" + QByteArray::number(i) + ",\"x,y\"" + QByteArray(",f").repeated(25) + "\r\n";
  CsvFile file(bytes);
  const data::PreviewCells cells = data::PreviewCsv(file.path());
  EXPECT_EQ(cells[0][0], u"r1"_s);
  EXPECT_EQ(cells[0][1], u"x,y"_s);
  EXPECT_EQ(cells[0][19], u"f"_s);
  EXPECT_EQ(cells[2][0], QString());
  EXPECT_EQ(cells[9][0], u"r10"_s);
  EXPECT_EQ(data::PreviewCsv(file.path() + u".txt"_s)[0][0], QString());
}

TEST(CsvReaderTest, BadFilesNeitherHangNorLoseTheGrid) {
  data::RecordTable grid;
  grid.ReplaceAll({data::Record{u"1"_s, u"旧"_s, u""_s, u""_s}});
  data::Expressions expressions = {u"A"_s, u"B"_s, u"C"_s};
  EXPECT_FALSE(data::ImportCsv(grid, QDir::temp().filePath(u"gone-away.csv"_s), 1, 5, expressions, false));
  EXPECT_EQ(grid.recordCount(), 1);
  EXPECT_EQ(grid.cell(1, 1), u"旧"_s);

  // A 10 MB line, an unclosed quote in front of many lines, invalid bytes: each ends normally.
  const QByteArray longLine = "a,1," + QByteArray(10 * 1024 * 1024, 'x') + "\r\n";
  EXPECT_EQ(Import(longLine, 1, 1, false)[0].size(), 10 * 1024 * 1024 + 9);
  QByteArray manyLines = "\"";
  for (int i = 0; i < 100000; ++i) manyLines += "line,2,3\r\n";
  EXPECT_EQ(Import(manyLines, 1, 2, false).size(), 2);
  const QStringList garbage =
      Import(QByteArray("\xFF\xFE\x00", 3) + QByteArray("\x81\x30\xFF,\x80,\xFE\r\n"), 1, 1, false);
  EXPECT_EQ(garbage.size(), 1);
}

TEST(CsvReaderTest, ImportsAreLimitedToTheRowsOfAWorksheet) {
  EXPECT_EQ(data::ImportRowCount(2, 10), 9);
  EXPECT_EQ(data::ImportRowCount(5, 4), 0);
  EXPECT_EQ(data::ImportRowCount(5, 1), 0);
  EXPECT_EQ(data::ImportRowCount(1, 2000000000), data::kMaxImportRows);
}

}  // namespace
