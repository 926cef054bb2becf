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

QStringList Import(const QByteArray& bytes, int start, std::optional<int> end, bool filter,
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
    int start;
    std::optional<int> end;
    bool filter;
    QStringList rows;
  } cases[] = {
      {"line break inside quotes, filter off",
       "n,1,\"上海市\r\n浦东\",x\r\n",
       1,
       1,
       false,
       {u"n|000001|上海市//浦东"_s}},
      {"line break inside quotes, filter on",
       "n,1,\"上海市\r\n浦东\",x\r\n",
       1,
       1,
       true,
       {u"n|000001|上海市浦东"_s}},
      {"the end row asks for more rows than the file has",
       "a,1,x\nb,2,y\n",
       1,
       3,
       false,
       {u"a|000001|x"_s, u"b|000002|y"_s, u"||"_s}},
      {"without an end row: to the last line that is not empty",
       "h\na,1,x\n\nc,3,z\n\n\n",
       2,
       std::nullopt,
       false,
       {u"a|000001|x"_s, u"||"_s, u"c|000003|z"_s}},
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
       {u"a|000001|never closed//more"_s, u"||"_s}},
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
      {"UTF-16LE without BOM", encode(QStringConverter::Utf16LE, QStringConverter::Flag::Default)},
      {"UTF-16BE without BOM", encode(QStringConverter::Utf16BE, QStringConverter::Flag::Default)},
  };
  for (const auto& c : cases) EXPECT_EQ(Import(c.bytes, 2, 2, false), expected) << c.name;

  // Two exports put together, each line in its own encoding.
  QStringEncoder gb("GB18030");
  const QByteArray joined = gb(u"王五,200001,上海市浦东新区\n"_s) + u"赵六,300001,天津市和平区\n"_s.toUtf8();
  EXPECT_EQ(Import(joined, 1, std::nullopt, false),
            (QStringList{u"王五|200001|上海市浦东新区"_s, u"赵六|300001|天津市和平区"_s}));
  // U+4E00 and U+4E01 put a zero byte into UTF-16 that must not tip the byte order.
  QStringEncoder utf16le(QStringConverter::Utf16LE);
  EXPECT_EQ(Import(utf16le(u"一丁,100001,一丁\r\n"_s), 1, 1, false), QStringList{u"一丁|100001|一丁"_s});
}

QByteArray FixtureBytes(const char* name) {
  QFile file(Fixture(name));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
  return file.readAll();
}

TEST(CsvReaderTest, EveryLineEndGivesTheSameRecords) {
  // LibreOffice's export with CR LF (as on Windows, in GB18030 and UTF-8), with LF alone (as it
  // writes on Linux), and turned into CR alone and into a mix of all three. The quoted address
  // holds a line break of the same form as the line ends.
  const QByteArray crlf = FixtureBytes("addresses_utf8.csv");
  QByteArray cr = crlf;
  cr.replace("\r\n", "\r");
  QByteArray mixed;
  const QList<QByteArray> lines = crlf.split('\n');
  for (qsizetype i = 0; i < lines.size(); ++i)
    mixed += lines[i].chopped(lines[i].endsWith('\r') ? 1 : 0) + (i % 3 == 0   ? "\r\n"
                                                                  : i % 3 == 1 ? "\n"
                                                                               : "\r");
  const struct {
    const char* name;
    QByteArray bytes;
  } cases[] = {
      {"CR LF, GB18030", FixtureBytes("addresses_gbk.csv")},
      {"CR LF", crlf},
      {"LF", FixtureBytes("addresses_utf8_lf.csv")},
      {"CR", cr},
      {"mixed", mixed},
  };
  const data::Expressions expressions = {u"A，\" 收\""_s, u"B"_s, u"C,D"_s};
  QStringList expected = {u"张三 收|100001|北京市海淀区中关村大街1号某某科技公司"_s,
                          u"李四 收|010001|上海市//浦东新区"_s,
                          u"王五 收|510620|广州市, 天河区 \"体育东路\""_s, u" 收|300000|"_s};
  for (int i = 0; i < 5; ++i) expected << u" 收||"_s;
  expected << u"赵六 收|410000|长沙市岳麓区"_s;
  QStringList filtered = expected;
  filtered[1] = u"李四 收|010001|上海市浦东新区"_s;
  for (const auto& c : cases) {
    EXPECT_EQ(Import(c.bytes, 2, std::nullopt, false, expressions), expected) << c.name;
    EXPECT_EQ(Import(c.bytes, 2, std::nullopt, true, expressions), filtered) << c.name;
    int rows = 0;
    CsvFile file(c.bytes);
    data::PreviewCsv(file.path(), &rows);
    EXPECT_EQ(rows, 11) << c.name;
  }
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
  // The open quote takes every line into its one record, which ends with the file.
  QByteArray manyLines = "\"";
  for (int i = 0; i < 100000; ++i) manyLines += "line,2,3\r\n";
  const QStringList swallowed = Import(manyLines, 1, std::nullopt, false);
  ASSERT_EQ(swallowed.size(), 1);
  EXPECT_EQ(swallowed[0].count(u"line,2,3"_s), 100000);
  // Bytes no encoding can read are shown as replacement characters; the commas still cut.
  const QStringList garbage =
      Import(QByteArray("\x81\x30\xFF,\x80,\xFE\r\nb,2,y\r\n"), 1, std::nullopt, false);
  ASSERT_EQ(garbage.size(), 2);
  EXPECT_TRUE(garbage[0].contains(QChar::ReplacementCharacter)) << garbage[0].toStdString();
  EXPECT_EQ(garbage[0].count(u'|'), 2);
  EXPECT_EQ(garbage[1], u"b|000002|y"_s);
  // An address of 10,000 characters comes in whole.
  const QString longAddress = u"北"_s.repeated(10000);
  EXPECT_EQ(Import(u"a,1,"_s.toUtf8() + longAddress.toUtf8(), 1, 1, false),
            QStringList{u"a|000001|"_s + longAddress});
}

TEST(CsvReaderTest, ImportsAreLimitedToTheRowsOfAWorksheet) {
  EXPECT_EQ(data::ImportRowCount(2, 10), 9);
  EXPECT_EQ(data::ImportRowCount(5, 4), 0);
  EXPECT_EQ(data::ImportRowCount(5, 1), 0);
  EXPECT_EQ(data::ImportRowCount(1, 2000000000), data::kMaxImportRows);
}

}  // namespace
