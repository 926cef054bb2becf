#include "data/workbook.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>

#include "data/import_texts.h"
#include "data/reading_process.h"
#include "data/record_table.h"
#include "data/workbook_import.h"
#include "tests/support/qt_printers.h"
#include "tests/support/scripted_prompts.h"

namespace {

using namespace Qt::Literals::StringLiterals;

QString Fixture(const QString& name) { return QStringLiteral(KOVA_FIXTURES "/import/") + name; }

QByteArray FixtureBytes(const QString& name) {
  QFile file(Fixture(name));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  return file.readAll();
}

// A file with the given bytes under the given name, in a folder of its own.
class TempFile {
 public:
  TempFile(const QString& name, const QByteArray& bytes) : path_(dir_.filePath(name)) {
    QFile file(path_);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  const QString& path() const { return path_; }

 private:
  QTemporaryDir dir_;
  QString path_;
};

const QString kLibreOfficeBooks[] = {u"addresses.xls"_s, u"addresses.xlsx"_s, u"addresses.ods"_s};

TEST(WorkbookTest, SheetNamesComeInTheWorkbooksOrder) {
  const struct {
    QString file;
    QStringList names;
  } cases[] = {
      {u"addresses.xls"_s, {u"地址"_s, u"其他"_s}},       {u"addresses.xlsx"_s, {u"地址"_s, u"其他"_s}},
      {u"addresses.ods"_s, {u"地址"_s, u"其他"_s}},       {u"perl_doubles.xls"_s, {u"地址"_s, u"第二页"_s}},
      {u"xlsxwriter.xlsx"_s, {u"收件人"_s, u"Sheet2"_s}},
  };
  for (const auto& c : cases) {
    QStringList names;
    EXPECT_EQ(data::ReadSheetNames(Fixture(c.file), names), 0) << c.file.toStdString();
    EXPECT_EQ(names, c.names) << c.file.toStdString();
  }
}

TEST(WorkbookTest, CellsReadAsASpreadsheetShowsThem) {
  struct Cell {
    int row, column;
    QString text;
  };
  const std::vector<Cell> common = {
      {2, 1, u"张三"_s},
      {2, 2, u"100001"_s},
      {3, 2, u"10001"_s},
      {2, 5, u"2024-03-05"_s},
      {2, 7, u"3.25"_s},
      {3, 3, u"上海市\n浦东新区"_s},
      {4, 3, u"广州市, 天河区 \"体育东路\""_s},
      {11, 1, u"赵六"_s},
      {8, 1, u""_s},
      {100, 50, u""_s},
  };
  const struct {
    QString file;
    QString sheet;
    std::vector<Cell> cells;
  } cases[] = {
      {u"addresses.xls"_s, u"地址"_s, common},
      {u"addresses.xlsx"_s, u"地址"_s, common},
      {u"addresses.ods"_s, u"地址"_s, common},
      // Formulas by their cached value; the merged D2:D3 shows its value in both cells.
      {u"addresses.xlsx"_s, u"地址"_s, {{2, 6, u"100002"_s}, {3, 4, u"某某科技公司"_s}}},
      {u"addresses.ods"_s, u"地址"_s, {{2, 6, u"100002"_s}}},
      {u"addresses.ods"_s, u"其他"_s, {{1, 1, u"备注"_s}}},
      {u"perl_doubles.xls"_s,
       u"地址"_s,
       {{2, 2, u"10001"_s}, {3, 2, u"7.5"_s}, {3, 3, u"重庆市\n渝中区"_s}, {4, 4, u"2023-12-31"_s}}},
      {u"xlsxwriter.xlsx"_s,
       u"收件人"_s,
       {{2, 2, u"10001"_s},
        {3, 2, u"10003"_s},
        {2, 4, u"2022-01-09"_s},
        {3, 4, u"0.1"_s},
        {3, 3, u"杭州市西湖区"_s},
        {4, 3, u"杭州市西湖区"_s},
        {2, 3, u"南京市鼓楼区"_s}}},
  };
  for (const auto& c : cases) {
    data::Worksheet sheet;
    ASSERT_EQ(data::ReadWorksheet(Fixture(c.file), c.sheet, sheet), 0) << c.file.toStdString();
    for (const Cell& cell : c.cells) {
      QString text;
      EXPECT_EQ(sheet.CellText(cell.row, cell.column, text), 0);
      EXPECT_EQ(text, cell.text) << c.file.toStdString() << " " << cell.row << "," << cell.column;
    }
  }
}

// The same address list written by each program people use (tests/fixtures/import/writers):
// numbers, a postcode kept as text, dates, a line break in a cell, a merged address, inline or
// shared strings as each writer keeps them.
const QString kWriterMatrix[] = {
    u"openpyxl.xlsx"_s,
    u"pandas.xlsx"_s,
    u"xlsxwriter_py.xlsx"_s,
    u"libxlsxwriter.xlsx"_s,
    u"libreoffice.xlsx"_s,
    u"gnumeric.xlsx"_s,
    u"libreoffice.xls"_s,
    u"gnumeric.xls"_s,
    u"writeexcel.xls"_s,
    u"libreoffice.ods"_s,
    u"gnumeric.ods"_s,
    // Relationships that lead back where they came from are passed over.
    u"looping_relationships.xlsx"_s,
};

TEST(WorkbookTest, EveryWriterGivesTheSameRecords) {
  const std::vector<data::Record> expected = {
      {u"1"_s, u"张三"_s, u"310000"_s, u"浙江省杭州市西湖区文三路188号|2024-03-05"_s},
      {u"2"_s, u"李四"_s, u"010001"_s, u"上海市//浦东新区|2023-12-31"_s},
      {u"3"_s, u"王五"_s, u"021000"_s, u"天津市和平区南京路219号|"_s},
      {u"4"_s, u"赵六"_s, u"100001"_s, u"天津市和平区南京路219号|2024-02-29"_s},
      {u"5"_s, u"钱七"_s, u"518000"_s, u"深圳市福田区深南大道6008号,\"特区报社\"|"_s},
  };
  for (const QString& name : kWriterMatrix) {
    const QString file = u"writers/"_s + name;
    test::ScriptedPrompts& prompts = test::FreshPrompts();
    QStringList names;
    EXPECT_EQ(data::ReadSheetNames(Fixture(file), names), 0) << name.toStdString();
    EXPECT_EQ(names, (QStringList{u"地址"_s, u"其他"_s})) << name.toStdString();
    data::PreviewCells cells;
    int rows = 0;
    EXPECT_EQ(data::PreviewWorkbook(Fixture(file), u"地址"_s, cells, &rows), 0) << name.toStdString();
    EXPECT_EQ(rows, 6) << name.toStdString();
    data::RecordTable grid;
    data::Expressions expressions = {u"A"_s, u"B"_s, u"C,\"|\",D"_s};
    EXPECT_EQ(data::ImportWorkbook(grid, Fixture(file), u"地址"_s, 2, std::nullopt, expressions, false), 0);
    EXPECT_EQ(grid.records(), expected) << name.toStdString();
    EXPECT_TRUE(prompts.shown.isEmpty()) << name.toStdString();
  }
}

TEST(WorkbookTest, PackagesWithPartsMissingAreDamaged) {
  // Cut from the openpyxl and XlsxWriter files: a sheet whose cells are nowhere never reads as
  // an empty sheet; the other sheet still reads.
  const struct {
    QString file, sheet;
    int error;
  } cases[] = {
      {u"missing_sheet_part.xlsx"_s, u"地址"_s, 5},     {u"missing_sheet_part.xlsx"_s, u"其他"_s, 0},
      {u"missing_relationship.xlsx"_s, u"地址"_s, 5},   {u"missing_relationship.xlsx"_s, u"其他"_s, 0},
      {u"missing_shared_strings.xlsx"_s, u"地址"_s, 5}, {u"missing_sheet_part.xlsx"_s, u"无"_s, 9},
  };
  for (const auto& c : cases) {
    data::Worksheet sheet;
    EXPECT_EQ(data::ReadWorksheet(Fixture(u"writers/"_s + c.file), c.sheet, sheet), c.error)
        << c.file.toStdString() << " " << c.sheet.toStdString();
    QString text;
    if (c.error == 0) {
      sheet.CellText(1, 1, text);
      EXPECT_EQ(text, u"备注"_s) << c.file.toStdString();
    }
  }
}

TEST(WorkbookTest, DatesAndFormatCodes) {
  const struct {
    double serial;
    bool date, time;
    const char16_t* text;
  } cases[] = {
      {45356, true, false, u"2024-03-05"},
      {1, true, false, u"1900-01-01"},
      {59, true, false, u"1900-02-28"},
      {61, true, false, u"1900-03-01"},
      {45356.5, true, true, u"2024-03-05 12:00:00"},
      {0.75, false, true, u"18:00:00"},
      {45356, true, true, u"2024-03-05"},
      {-1, true, false, u"-1"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(data::detail::SerialDateText(c.serial, c.date, c.time), QString::fromUtf16(c.text)) << c.serial;
}

TEST(WorkbookTest, CellsOutsideTheFormatAreOutOfRange) {
  data::Worksheet xls;
  ASSERT_EQ(data::ReadWorksheet(Fixture(u"addresses.xls"_s), u"地址"_s, xls), 0);
  data::Worksheet xlsx;
  ASSERT_EQ(data::ReadWorksheet(Fixture(u"addresses.xlsx"_s), u"地址"_s, xlsx), 0);
  QString text;
  const struct {
    const data::Worksheet* sheet;
    int row, column, error;
  } cases[] = {
      {&xls, 0, 1, 1004},   {&xls, 1, 0, 1004}, {&xls, 65536, 256, 0},     {&xls, 65537, 1, 1004},
      {&xls, 1, 257, 1004}, {&xlsx, 1, 702, 0}, {&xlsx, 1048577, 1, 1004},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.sheet->CellText(c.row, c.column, text), c.error) << c.row << "," << c.column;
}

TEST(WorkbookTest, CellsKeepTheirPlaceInWhateverOrderTheyCome) {
  data::Worksheet sheet;
  sheet.SetCell(0, 5, u"F1"_s);
  sheet.SetCell(0, 1, u"B1"_s);
  sheet.SetCell(0, 3, u"D1"_s);
  sheet.SetCell(0, 1, u"B1 again"_s);
  sheet.SetCell(0, 2, QString());  // empty text leaves nothing behind
  sheet.SetCell(4, 16383, u"XFD5"_s);
  sheet.SetCell(2, 0, u"A3"_s);
  const struct {
    int row, column;
    QString text;
  } cases[] = {
      {1, 6, u"F1"_s},       {1, 2, u"B1 again"_s}, {1, 4, u"D1"_s}, {1, 3, {}}, {1, 1, {}}, {1, 7, {}},
      {5, 16384, u"XFD5"_s}, {5, 16383, {}},        {3, 1, u"A3"_s}, {2, 1, {}}, {9, 9, {}},
  };
  QString text;
  for (const auto& c : cases) {
    ASSERT_EQ(sheet.CellText(c.row, c.column, text), 0);
    EXPECT_EQ(text, c.text) << c.row << "," << c.column;
  }

  // The same after the way from the reading process, and a cut-off stream is noticed.
  sheet.AddMergedArea(6, 0, 8, 1);
  sheet.SetCell(6, 0, u"merged"_s);
  QByteArray bytes;
  QDataStream out(&bytes, QIODevice::WriteOnly);
  out << sheet;
  data::Worksheet copy;
  QDataStream in(bytes);
  in >> copy;
  for (const auto& c : cases) {
    copy.CellText(c.row, c.column, text);
    EXPECT_EQ(text, c.text) << c.row << "," << c.column;
  }
  copy.CellText(9, 2, text);
  EXPECT_EQ(text, u"merged"_s);
  QDataStream cut(bytes.left(bytes.size() - 1));
  cut >> copy;
  EXPECT_NE(cut.status(), QDataStream::Ok);
}

TEST(WorkbookTest, ASheetOfCellsFarToTheRightReadsInFull) {
  // 6000 rows with a number in column XFD: a 50 KB file that once took gigabytes, as if every
  // row were filled from A to its last cell.
  data::Worksheet sheet;
  ASSERT_EQ(data::ReadWorksheet(Fixture(u"far_right_cells.xlsx"_s), u"地址"_s, sheet), 0);
  QString text;
  for (int row : {1, 2, 3000, 6000}) {
    ASSERT_EQ(sheet.CellText(row, 16384, text), 0);
    EXPECT_EQ(text, QString::number(row));
    sheet.CellText(row, 16383, text);
    EXPECT_EQ(text, QString());
  }
  sheet.CellText(6000, 1, text);
  EXPECT_EQ(text, u"姓名"_s);
}

TEST(WorkbookTest, TextKeptInTheSheetItselfIsRead) {
  // libxlsxwriter's constant-memory mode writes every string into the sheet (t="inlineStr"), as
  // streaming exporters do; the second sheet is the wanted one.
  const struct {
    QString sheet;
    int row, column;
    QString text;
  } cases[] = {
      {u"收件人"_s, 1, 1, u"姓名"_s},   {u"收件人"_s, 2, 1, u"郑十一"_s},
      {u"收件人"_s, 2, 2, u"10001"_s},  {u"收件人"_s, 2, 3, u"天津市和平区 \"南京路\"  <1号>"_s},
      {u"收件人"_s, 3, 2, u"050000"_s}, {u"收件人"_s, 3, 3, u"石家庄市\n长安区"_s},
      {u"收件人"_s, 4, 28, u"AB4"_s},   {u"收件人"_s, 4, 1, {}},
      {u"说明"_s, 1, 1, u"不是地址"_s}, {u"说明"_s, 2, 1, {}},
  };
  for (const auto& c : cases) {
    data::Worksheet sheet;
    ASSERT_EQ(data::ReadWorksheet(Fixture(u"xlsxwriter_inline.xlsx"_s), c.sheet, sheet), 0);
    QString text;
    sheet.CellText(c.row, c.column, text);
    EXPECT_EQ(text, c.text) << c.sheet.toStdString() << " " << c.row << "," << c.column;
  }
}

TEST(WorkbookTest, ImportStopsAfterFiveEmptyRows) {
  for (const QString& file : kLibreOfficeBooks) {
    test::FreshPrompts();
    data::RecordTable grid;
    data::Expressions expressions = {u"A，\" 收\""_s, u"B"_s, u"C"_s};
    EXPECT_EQ(data::ImportWorkbook(grid, Fixture(file), u"地址"_s, 2, 20, expressions, false), 0);
    ASSERT_EQ(grid.recordCount(), 19) << file.toStdString();
    EXPECT_EQ(grid.record(1),
              (data::Record{u"1"_s, u"张三 收"_s, u"100001"_s, u"北京市海淀区中关村大街1号"_s}));
    EXPECT_EQ(grid.record(2), (data::Record{u"2"_s, u"李四 收"_s, u"010001"_s, u"上海市//浦东新区"_s}));
    // The recipient literal alone makes the row with only a postcode non-empty anyway.
    EXPECT_EQ(grid.record(4), (data::Record{u"4"_s, u" 收"_s, u"300000"_s, u""_s}));
    // The literal " 收" keeps every row non-empty, so the second block is reached.
    EXPECT_EQ(grid.cell(10, 1), u"赵六 收"_s);

    data::Expressions plain = {u"A"_s, u"B"_s, u"C"_s};
    EXPECT_EQ(data::ImportWorkbook(grid, Fixture(file), u"地址"_s, 2, 20, plain, true), 0);
    EXPECT_EQ(grid.recordCount(), 19);
    EXPECT_EQ(grid.record(2), (data::Record{u"2"_s, u"李四"_s, u"010001"_s, u"上海市浦东新区"_s}));
    EXPECT_EQ(grid.record(4), (data::Record{u"4"_s, u""_s, u"300000"_s, u""_s}));
    for (int r = 5; r <= 19; ++r)
      EXPECT_EQ(grid.record(r), (data::Record{QString::number(r), {}, {}, {}})) << r;
    EXPECT_TRUE(test::FreshPrompts().shown.isEmpty());
  }
}

TEST(WorkbookTest, FailuresShowTheirMessage) {
  const TempFile textAsXls(u"text.xls"_s, "姓名,邮编\r\n");
  const TempFile empty(u"empty.xlsx"_s, "");
  const QByteArray xlsx = FixtureBytes(u"addresses.xlsx"_s);
  const QByteArray xls = FixtureBytes(u"addresses.xls"_s);
  const TempFile truncatedXlsx(u"cut.xlsx"_s, xlsx.left(xlsx.size() / 2));
  const TempFile truncatedXls(u"cut.xls"_s, xls.left(1600));
  const TempFile xlsxNamedXls(u"renamed.xls"_s, xlsx);
  const struct {
    const char* name;
    QString path, sheet, recipient;
    int start;
    int error;
    QString message;
  } cases[] = {
      {"missing file", Fixture(u"none.xls"_s), u"地址"_s, u"A"_s, 2, 5, data::texts::kCannotOpenWorkbook},
      {"no such sheet", Fixture(u"addresses.xlsx"_s), u"地 址"_s, u"A"_s, 2, 9, data::texts::kNoSuchSheet},
      {"no such sheet in .xls", Fixture(u"addresses.xls"_s), u"Sheet1"_s, u"A"_s, 2, 9,
       data::texts::kNoSuchSheet},
      {"text named .xls", textAsXls.path(), u"地址"_s, u"A"_s, 2, 438, data::texts::kNotAWorkbook},
      {"empty file", empty.path(), u"地址"_s, u"A"_s, 2, 438, data::texts::kNotAWorkbook},
      {"truncated .xlsx", truncatedXlsx.path(), u"地址"_s, u"A"_s, 2, 5, data::texts::kCannotOpenWorkbook},
      {"truncated .xls", truncatedXls.path(), u"地址"_s, u"A"_s, 2, 5, data::texts::kCannotOpenWorkbook},
      {".xls that crashes the reader", Fixture(u"freexl_crash.xls"_s), u"地址"_s, u"A"_s, 2, 5,
       data::texts::kCannotOpenWorkbook},
      {"three letters", Fixture(u"addresses.ods"_s), u"地址"_s, u"ABC"_s, 2, 1004,
       data::texts::kColumnOutOfRange},
      {"row 0", Fixture(u"addresses.xls"_s), u"地址"_s, u"A"_s, 0, 1004, data::texts::kColumnOutOfRange},
      {"empty item", Fixture(u"addresses.xls"_s), u"地址"_s, u"A,,B"_s, 2, 5,
       data::texts::kCannotOpenWorkbook},
      {"wrong ending, right content", xlsxNamedXls.path(), u"地址"_s, u"A"_s, 2, 0, QString()},
  };
  for (const auto& c : cases) {
    test::ScriptedPrompts& prompts = test::FreshPrompts();
    data::RecordTable grid;
    grid.ReplaceAll({data::Record{u"1"_s, u"旧"_s, {}, {}}});
    data::Expressions expressions = {c.recipient, u"B"_s, u"C"_s};
    EXPECT_EQ(data::ImportWorkbook(grid, c.path, c.sheet, c.start, 10, expressions, false), c.error)
        << c.name;
    EXPECT_EQ(prompts.shown, c.message.isEmpty() ? QStringList() : QStringList{c.message}) << c.name;
    // A workbook that cannot be read leaves the grid as it was; a failing cell leaves numbered rows.
    const bool failedInACell = c.error == 1004 || c.recipient == u"A,,B";
    if (failedInACell) {
      EXPECT_EQ(grid.recordCount(), 11 - c.start) << c.name;
    } else if (c.error) {
      EXPECT_EQ(grid.cell(1, 1), u"旧"_s) << c.name;
    }
  }
}

TEST(WorkbookTest, PreviewShowsTheTopLeftCells) {
  data::PreviewCells cells;
  EXPECT_EQ(data::PreviewWorkbook(Fixture(u"addresses.ods"_s), u"地址"_s, cells), 0);
  EXPECT_EQ(cells[0][0], u"姓名"_s);
  EXPECT_EQ(cells[2][1], u"10001"_s);
  EXPECT_EQ(cells[9][0], QString());
  test::ScriptedPrompts& prompts = test::FreshPrompts();
  EXPECT_EQ(data::PreviewWorkbook(Fixture(u"addresses.ods"_s), u"无"_s, cells), 9);
  EXPECT_EQ(prompts.shown, QStringList{data::texts::kNoSuchSheet});
  EXPECT_EQ(cells[0][0], QString());
}

TEST(WorkbookTest, EveryPrefixOfAWorkbookIsHandled) {
  // Cut at many places, each file gives an error number or a sheet, never a crash.
  for (const QString& file : {u"addresses.xls"_s, u"addresses.xlsx"_s, u"addresses.ods"_s}) {
    const QByteArray bytes = FixtureBytes(file);
    for (qsizetype cut = 0; cut < bytes.size(); cut += 97) {
      QStringList names;
      data::Worksheet sheet;
      const QString wanted = u"地址"_s;
      const int error = data::ReadWorkbookBytes(bytes.left(cut), &wanted, names, &sheet);
      EXPECT_TRUE(error == 0 || error == 5 || error == 9 || error == 438)
          << file.toStdString() << " " << cut << " " << error;
    }
  }
}

TEST(WorkbookTest, AZipThatClaimsGigabytesIsDamagedNotLoaded) {
  // Found by the fuzzer: an .xlsx whose first entry claims a packed size of 4 GB made the parser
  // set aside that much memory before reading a byte.
  QStringList names;
  data::Worksheet sheet;
  const QString wanted = u"地址"_s;
  EXPECT_EQ(data::ReadWorkbookBytes(FixtureBytes(u"huge_zip_entry.xlsx"_s), &wanted, names, &sheet), 5);
}

TEST(WorkbookTest, AnXlsThatCrashesTheReaderIsReportedAsDamaged) {
  // Found by the fuzzer: FreeXL itself crashes inside freexl_open on this file. The program must
  // report it like any damaged workbook and read the next file as usual.
  const QString crash = Fixture(u"freexl_crash.xls"_s);
  QStringList names;
  EXPECT_EQ(data::ReadSheetNames(crash, names), 5);
  data::Worksheet sheet;
  EXPECT_EQ(data::ReadWorksheet(crash, u"地址"_s, sheet), 5);
  QStringList bytesNames;
  const QString wanted = u"地址"_s;
  EXPECT_EQ(data::ReadWorkbookBytes(FixtureBytes(u"freexl_crash.xls"_s), &wanted, bytesNames, &sheet), 5);

  ASSERT_EQ(data::ReadSheetNames(Fixture(u"addresses.xls"_s), names), 0);
  EXPECT_EQ(names, QStringList({u"地址"_s, u"其他"_s}));
}

TEST(WorkbookTest, AnXlsReaderThatNeverAnswersIsGivenUp) {
  // A named pipe without a writer keeps FreeXL waiting for ever, as a reader caught in a loop
  // would: the reading process is stopped at its time limit and the file reported as damaged.
  QTemporaryDir dir;
  const QByteArray fifo = QFile::encodeName(dir.filePath(u"stuck.xls"_s));
  ASSERT_EQ(mkfifo(fifo.constData(), 0600), 0);
  QStringList names;
  data::Worksheet sheet;
  const QString wanted = u"地址"_s;
  const QString path = QFile::decodeName(fifo);
  const auto read = [&](QStringList& n, data::Worksheet* s) {
    return data::detail::ReadXlsFile(path, &wanted, n, s);
  };
  EXPECT_EQ(data::detail::ReadInChildProcess(read, names, &sheet, 300), 5);
}

}  // namespace
