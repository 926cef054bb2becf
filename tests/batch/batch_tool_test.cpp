// kovapost-batch end to end: the built tool run on the bundled sample and the import fixtures,
// its exit status, what it writes, and the PDFs it makes read back with poppler.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

#include "batch/batch_run.h"
#include "batch/batch_texts.h"
#include "data/data_texts.h"
#include "data/import_texts.h"
#include "data/workbook.h"
#include "data/workbook_errors.h"
#include "editor/envelope_model.h"
#include "editor/option_memory.h"
#include "store/database.h"
#include "store/store_texts.h"
#include "tests/support/par_database.h"

using namespace Qt::Literals::StringLiterals;

namespace batch {
namespace {

const QString kSampleCsv = QStringLiteral(KOVA_SOURCE_DIR "/resources/sample/sample.csv");
const QString kSampleXlsx = QStringLiteral(KOVA_SOURCE_DIR "/resources/sample/sample.xlsx");

struct Outcome {
  int exit = -1;
  QString out;
  QString err;
  QStringList lines() const { return out.split(u'\n', Qt::SkipEmptyParts); }
};

class BatchTool : public ::testing::Test {
 protected:
  // The tool with its own empty settings, so stored margins of the machine play no part.
  Outcome Run(QStringList arguments,
              const QString& program = QStringLiteral(KOVA_BUILD_DIR "/kovapost-batch")) {
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"XDG_CONFIG_HOME"_s, home_.path());
    env.insert(u"XDG_DATA_HOME"_s, Path(u"data"_s));
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    // Where Qt would complain about it, the tool still says nothing but its own messages.
    env.remove(u"XDG_RUNTIME_DIR"_s);
    tool.setProcessEnvironment(env);
    tool.start(program, arguments);
    EXPECT_TRUE(tool.waitForFinished(120000));
    return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
            QString::fromUtf8(tool.readAllStandardOutput()), QString::fromUtf8(tool.readAllStandardError())};
  }
  Outcome Records(const QString& source, const QStringList& options = {}) {
    return Run(QStringList{u"records"_s, source} + options);
  }
  QString Path(const QString& name) const { return home_.filePath(name); }

  QTemporaryDir home_;
};

QString Poppler(const QString& program, const QStringList& arguments) {
  QProcess p;
  p.start(program, arguments);
  p.waitForFinished(60000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

int PageCount(const QString& pdf) {
  const QRegularExpressionMatch m =
      QRegularExpression(u"Pages:\\s+(\\d+)"_s).match(Poppler(u"pdfinfo"_s, {pdf}));
  return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Where a word first appears on a page: its left and top edges in points.
struct Word {
  double x = -1, y = -1;
};
Word FindWord(const QString& pdf, int page, const QString& text) {
  const QString html = Poppler(u"pdftotext"_s, {u"-bbox"_s, u"-f"_s, QString::number(page), u"-l"_s,
                                                QString::number(page), pdf, u"-"_s});
  const QRegularExpression word(u"<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"_s);
  for (auto it = word.globalMatch(html); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    // Noto CJK text can come back in compatibility forms.
    if (m.captured(3).normalized(QString::NormalizationForm_KC).contains(text))
      return {m.captured(1).toDouble(), m.captured(2).toDouble()};
  }
  return {};
}

constexpr double kPointsPerMm = 72 / 25.4;

TEST_F(BatchTool, BadArgumentsExitTwoWithTheUsage) {
  for (const QStringList& arguments :
       {QStringList{}, QStringList{u"records"_s}, QStringList{u"envelopes"_s, kSampleCsv},
        QStringList{u"records"_s, kSampleCsv, u"--start"_s, u"zero"_s}}) {
    const Outcome o = Run(arguments);
    EXPECT_EQ(o.exit, kBadArguments) << arguments.join(u' ').toStdString();
    EXPECT_TRUE(o.err.contains(kUsage)) << o.err.toStdString();
    EXPECT_TRUE(o.out.isEmpty());
  }
  const Outcome help = Run({u"--help"_s});
  EXPECT_EQ(help.exit, kSucceeded);
  EXPECT_EQ(help.out, kUsage);
}

TEST_F(BatchTool, UnreadableInputExitsOneWithTheProgramsMessage) {
  QFile text(Path(u"list.txt"_s));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("a,b,c\r\n");
  text.close();
  const struct {
    QStringList arguments;
    QString message;
  } cases[] = {
      {{u"records"_s, Path(u"missing.csv"_s)}, data::texts::kCsvUnreadable},
      {{u"records"_s, Path(u"missing.xlsx"_s)}, data::WorkbookErrorMessage(data::kWorkbookCannotOpen)},
      {{u"records"_s, Path(u"list.txt"_s)}, data::texts::kUnsupportedFile},
      {{u"records"_s, kSampleXlsx, u"--sheet"_s, u"没有这张"_s},
       data::WorkbookErrorMessage(data::kWorkbookNoSuchSheet)},
      {{u"envelopes"_s, kSampleCsv, u"-o"_s, Path(u"x.pdf"_s), u"--database"_s, Path(u"none.mdb"_s)},
       kNoDatabase.arg(Path(u"none.mdb"_s))},
      {{u"envelopes"_s, kSampleCsv, u"--printer"_s, u"没有这台打印机"_s},
       kUnknownPrinter.arg(u"没有这台打印机"_s)},
      {{u"envelopes"_s, kSampleCsv, u"--start"_s, u"99"_s, u"-o"_s, Path(u"x.pdf"_s)}, kNothingToPrint},
      {{u"labels"_s, kSampleCsv, u"--across"_s, u"101"_s, u"-o"_s, Path(u"x.pdf"_s)}, QString()},
  };
  for (const auto& c : cases) {
    const Outcome o = Run(c.arguments);
    EXPECT_EQ(o.exit, kFailed) << c.arguments.join(u' ').toStdString();
    EXPECT_FALSE(o.err.isEmpty());
    if (!c.message.isEmpty()) {
      EXPECT_TRUE(o.err.contains(c.message)) << o.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(Path(u"x.pdf"_s))) << "no half-written PDF is left behind";
  }
}

TEST_F(BatchTool, RecordsAreTheGridAsTsv) {
  const Outcome o = Records(kSampleCsv);
  ASSERT_EQ(o.exit, kSucceeded) << o.err.toStdString();
  const QStringList lines = o.lines();
  ASSERT_EQ(lines.size(), 30) << "the header row is skipped and nothing past the last record is added";
  EXPECT_EQ(lines[0], u"1\t张伟\t310000\t浙江省杭州市西湖区文三路188号");
  EXPECT_EQ(lines[2], u"3\t王芳\t\t浙江省温州市鹿城区人民路12号");
  // The quoted address with a line break (CR LF in the file): one "//".
  EXPECT_EQ(lines[15], u"16\t郭静\t300000\t天津市和平区南京路219号//国际大厦1506室");
  EXPECT_TRUE(lines[18].contains(u"路\"银座\"大厦")) << lines[18].toStdString();

  // The workbook twin gives the same grid.
  const Outcome xlsx = Records(kSampleXlsx);
  ASSERT_EQ(xlsx.exit, kSucceeded) << xlsx.err.toStdString();
  EXPECT_EQ(xlsx.lines().size(), 30);
  EXPECT_EQ(xlsx.lines()[0], lines[0]);
}

TEST_F(BatchTool, ImportOptionsShapeTheRecords) {
  // The name and address of one record; the postcode column has rules of its own.
  const struct {
    QStringList options;
    int count;
    int line;
    QString name, address;
  } cases[] = {
      {{u"--start"_s, u"3"_s, u"--end"_s, u"4"_s}, 2, 0, u"李娜"_s, u"浙江省宁波市海曙区中山西路56号"_s},
      {{u"--start"_s, u"1"_s, u"--end"_s, u"1"_s}, 1, 0, u"姓名"_s, u"地址"_s},
      {{u"--end"_s, u"1"_s}, 0, 0, QString(), QString()},
      {{u"--recipient"_s, u"B"_s, u"--postcode"_s, u"A"_s, u"--end"_s, u"2"_s},
       1,
       0,
       u"310000"_s,
       u"浙江省杭州市西湖区文三路188号"_s},
      {{u"--address"_s, u"A"_s, u"--end"_s, u"2"_s}, 1, 0, u"张伟"_s, u"张伟"_s},
      {{u"--filter-line-breaks"_s}, 30, 15, u"郭静"_s, u"天津市和平区南京路219号国际大厦1506室"_s},
  };
  for (const auto& c : cases) {
    const Outcome o = Records(kSampleCsv, c.options);
    const std::string what = c.options.join(u' ').toStdString();
    ASSERT_EQ(o.exit, kSucceeded) << o.err.toStdString();
    ASSERT_EQ(o.lines().size(), c.count) << what;
    if (c.count == 0) continue;
    const QStringList cells = o.lines()[c.line].split(u'\t');
    ASSERT_EQ(cells.size(), 4) << what;
    EXPECT_EQ(cells[0], QString::number(c.line + 1)) << what;
    EXPECT_EQ(cells[1], c.name) << what;
    EXPECT_EQ(cells[3], c.address) << what;
  }
  // A quoted literal keeps every row non-empty: with or without --end, the rows stop with the data.
  for (const QString& source : {kSampleCsv, kSampleXlsx}) {
    for (const QStringList& end : {QStringList(), QStringList{u"--end"_s, u"31"_s}}) {
      const Outcome literal = Records(source, QStringList{u"--recipient"_s, u"A,\" 收\""_s} + end);
      EXPECT_EQ(literal.exit, kSucceeded) << literal.err.toStdString();
      ASSERT_EQ(literal.lines().size(), 30) << source.toStdString() << " " << end.join(u' ').toStdString();
      EXPECT_EQ(literal.lines()[29].section(u'\t', 1, 1), u"曹阳 收"_s);
    }
  }
}

TEST_F(BatchTool, CleaningStepsRunInTheOrderGiven) {
  auto count = [](const Outcome& o, const QString& text) { return o.out.count(text); };
  const Outcome plain = Records(kSampleCsv);
  const int emptyPostcodes = int(plain.out.count(u"\t\t"_s));
  ASSERT_GT(emptyPostcodes, 0);

  EXPECT_EQ(Records(kSampleCsv, {u"--merge-duplicates"_s}).lines().size(), 29);
  EXPECT_EQ(Records(kSampleCsv, {u"--remove-incomplete"_s, u"postcode"_s}).lines().size(),
            30 - emptyPostcodes);
  EXPECT_EQ(Records(kSampleCsv, {u"--remove-incomplete"_s, u"name"_s}).lines().size(), 30);

  const Outcome spaced = Records(kSampleCsv, {u"--remove-spaces"_s});
  EXPECT_EQ(count(spaced, u"杨秀英"_s), 1);
  EXPECT_EQ(count(plain, u"杨 秀 英"_s), 1);

  const Outcome marks = Records(kSampleCsv, {u"--remove-line-breaks"_s});
  EXPECT_EQ(count(plain, u"//"_s), 1);
  EXPECT_EQ(count(marks, u"//"_s), 0);
  EXPECT_TRUE(marks.out.contains(u"南京路219号国际大厦1506室"_s));

  // Completion first keeps the records whose postcode it found; removal first drops them.
  const Outcome completed = Records(kSampleCsv, {u"--complete-postcodes"_s});
  ASSERT_EQ(completed.exit, kSucceeded) << completed.err.toStdString();
  EXPECT_EQ(completed.out.count(u"\t\t"_s), 0) << completed.out.toStdString();
  EXPECT_EQ(completed.lines()[2].section(u'\t', 2, 2).size(), 6) << completed.lines()[2].toStdString();
  EXPECT_EQ(Records(kSampleCsv, {u"--complete-postcodes"_s, u"--remove-incomplete"_s, u"postcode"_s})
                .lines()
                .size(),
            30);
  EXPECT_EQ(Records(kSampleCsv, {u"--remove-incomplete"_s, u"postcode"_s, u"--complete-postcodes"_s})
                .lines()
                .size(),
            30 - emptyPostcodes);
  // Numbers belong to the positions: still 1..n after records went.
  const QStringList merged = Records(kSampleCsv, {u"--merge-duplicates"_s}).lines();
  EXPECT_TRUE(merged.last().startsWith(u"29\t"_s));
}

TEST_F(BatchTool, EnvelopesAreOnePagePerRecordInTheStoredLayout) {
  const QString pdf = Path(u"envelopes.pdf"_s);
  const Outcome o = Run({u"envelopes"_s, kSampleCsv, u"--merge-duplicates"_s, u"-o"_s, pdf});
  ASSERT_EQ(o.exit, kSucceeded) << o.err.toStdString();
  EXPECT_EQ(o.err, data::kMergedDuplicatesDone.arg(1) + u'\n') << "only the tool's own lines on stderr";
  EXPECT_TRUE(QFile::exists(Path(u"data/kovapost/Par.mdb"_s))) << "the user's copy, as the program makes it";
  EXPECT_EQ(PageCount(pdf), 29);
  const Word first = FindWord(pdf, 1, u"张伟"_s);
  const Word second = FindWord(pdf, 2, u"李娜"_s);
  ASSERT_GE(first.x, 0);
  EXPECT_NEAR(first.x, second.x, 0.5) << "every envelope puts the name at the same place";
  EXPECT_NEAR(first.y, second.y, 0.5);
  EXPECT_GE(FindWord(pdf, 1, u"西湖区"_s).x, 0);

  // A PDF file has no margin to correct; a measured margin of 14 mm moves everything 4 mm left
  // and up.
  const QString shifted = Path(u"shifted.pdf"_s);
  ASSERT_EQ(
      Run({u"envelopes"_s, kSampleCsv, u"--end"_s, u"2"_s, u"--margins"_s, u"14,14"_s, u"-o"_s, shifted})
          .exit,
      kSucceeded);
  EXPECT_EQ(PageCount(shifted), 1);
  const Word moved = FindWord(shifted, 1, u"张伟"_s);
  EXPECT_NEAR(first.x - moved.x, 4 * kPointsPerMm, 0.3);
  EXPECT_NEAR(first.y - moved.y, 4 * kPointsPerMm, 0.3);
}

// A later release installed beside the tool, its template broken: the tool says so in one line
// and prints with the user's copy as it stands; the next run, with a sound template, updates.
TEST_F(BatchTool, AFailedTemplateUpdateIsOneLineAndStillPrints) {
  QDir(home_.path()).mkpath(u"bin"_s);
  const QString tool = Path(u"bin/kovapost-batch"_s), shipped = Path(u"bin/Par.mdb"_s);
  const QString copy = Path(u"data/kovapost/Par.mdb"_s), pdf = Path(u"one.pdf"_s);
  ASSERT_TRUE(QFile::copy(QStringLiteral(KOVA_BUILD_DIR "/kovapost-batch"), tool));
  ASSERT_TRUE(test::MakeTemplate(shipped));
  const QStringList print = {u"envelopes"_s, kSampleCsv, u"--end"_s, u"2"_s, u"-o"_s, pdf};
  ASSERT_EQ(Run(print, tool).exit, kSucceeded);

  const QString later = Path(u"later.mdb"_s);
  ASSERT_TRUE(test::MakeTemplate(later, "CREATE TABLE 新表 (Val TEXT);"));
  QFile whole(later), broken(shipped);
  ASSERT_TRUE(whole.open(QIODevice::ReadOnly) && broken.open(QIODevice::WriteOnly));
  broken.write(whole.read(whole.size() / 2));
  broken.close();
  QFile::remove(pdf);
  const Outcome failed = Run(print, tool);
  EXPECT_EQ(failed.exit, kSucceeded);
  EXPECT_EQ(failed.err, DataBase::kUpdateFailed.arg(copy) + u'\n');
  EXPECT_EQ(PageCount(pdf), 1);

  ASSERT_TRUE(QFile::remove(shipped) && QFile::copy(later, shipped));
  const Outcome updated = Run(print, tool);
  EXPECT_EQ(updated.exit, kSucceeded);
  EXPECT_EQ(updated.err, QString());
  EXPECT_EQ(test::RawSql(copy, DataBase::ConnectionPassword(), u"SELECT count(*) FROM 新表"_s),
            QStringList{u"0"_s});
}

// The window writes the user's copy over and over while three batch runs print from it: every
// run waits its turn and prints, and every write of the window goes in.
TEST_F(BatchTool, PrintsWhileTheWindowWritesTheSameCopy) {
  ASSERT_EQ(Records(kSampleCsv).exit, kSucceeded);  // makes the copy
  DataBase::SetDatabasePath(Path(u"data/kovapost/Par.mdb"_s));
  std::vector<std::unique_ptr<QProcess>> runs;
  for (int i = 0; i < 3; ++i) {
    auto run = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"XDG_CONFIG_HOME"_s, home_.path());
    env.insert(u"XDG_DATA_HOME"_s, Path(u"data"_s));
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    run->setProcessEnvironment(env);
    run->start(QStringLiteral(KOVA_BUILD_DIR "/kovapost-batch"),
               {u"envelopes"_s, kSampleCsv, u"--end"_s, u"5"_s, u"-o"_s, Path(u"run%1.pdf"_s.arg(i))});
    runs.push_back(std::move(run));
  }
  const int failures = DataBase::FailureCount();
  editor::EnvelopeModel window;
  int writes = 0;
  const auto running = [&] {
    QCoreApplication::processEvents();  // QProcess learns of its end here
    return std::any_of(runs.begin(), runs.end(),
                       [](const auto& r) { return r->state() != QProcess::NotRunning; });
  };
  for (; (running() || writes < 20) && writes < 5000; ++writes) OptionMemory::SaveLastSet(window);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    runs[i]->waitForFinished(120000);
    EXPECT_EQ(runs[i]->exitCode(), kSucceeded);
    EXPECT_EQ(runs[i]->readAllStandardError(), QByteArray());
    EXPECT_EQ(PageCount(Path(u"run%1.pdf"_s.arg(i))), 4);
  }
  EXPECT_EQ(DataBase::FailureCount(), failures) << "of " << writes << " writes";
  DataBase::SetDatabasePath(QString());
}

TEST_F(BatchTool, SizesAndRotationChangeThePage) {
  const QString dl = Path(u"dl.pdf"_s), c5 = Path(u"c5.pdf"_s), turned = Path(u"turned.pdf"_s);
  const QStringList first = {kSampleCsv, u"--end"_s, u"2"_s};
  ASSERT_EQ(Run(QStringList{u"envelopes"_s} + first + QStringList{u"--size"_s, u"DL"_s, u"-o"_s, dl}).exit,
            kSucceeded);
  ASSERT_EQ(Run(QStringList{u"envelopes"_s} + first + QStringList{u"--size"_s, u"C5"_s, u"-o"_s, c5}).exit,
            kSucceeded);
  const Outcome rotated = Run(QStringList{u"envelopes"_s} + first +
                              QStringList{u"--size"_s, u"DL"_s, u"--rotate"_s, u"-o"_s, turned});
  ASSERT_EQ(rotated.exit, kSucceeded) << rotated.err.toStdString();
  const Word upright = FindWord(dl, 1, u"张伟"_s);
  ASSERT_GE(upright.x, 0);
  EXPECT_GT(
      std::abs(FindWord(c5, 1, u"张伟"_s).x - upright.x) + std::abs(FindWord(c5, 1, u"张伟"_s).y - upright.y),
      1)
      << "a larger envelope puts the name elsewhere";
  // The turned envelope is a picture: no text left to find, but still one page.
  EXPECT_EQ(PageCount(turned), 1);
  EXPECT_LT(FindWord(turned, 1, u"张伟"_s).x, 0);
}

TEST_F(BatchTool, LabelsFillSheetsAcrossThenDown) {
  const QString pdf = Path(u"labels.pdf"_s);
  const Outcome o = Run({u"labels"_s, kSampleCsv, u"--across"_s, u"2"_s, u"--down"_s, u"3"_s, u"-o"_s, pdf});
  ASSERT_EQ(o.exit, kSucceeded) << o.err.toStdString();
  EXPECT_EQ(PageCount(pdf), 5);
  const Word one = FindWord(pdf, 1, u"张伟"_s), two = FindWord(pdf, 1, u"李娜"_s),
             three = FindWord(pdf, 1, u"王芳"_s);
  const Word fourthOnSecond = FindWord(pdf, 2, u"刘洋"_s);
  ASSERT_GE(one.x, 0);
  EXPECT_NEAR(one.y, two.y, 0.5) << "the second label is beside the first";
  EXPECT_GT(two.x, one.x + 50);
  EXPECT_NEAR(three.x, one.x, 0.5) << "the third starts the next row";
  EXPECT_GT(three.y, one.y + 50);
  EXPECT_LT(fourthOnSecond.x, 0) << "record 4 is on the first sheet only";
  EXPECT_GE(FindWord(pdf, 2, u"赵磊"_s).x, 0) << "record 7 starts the second sheet";

  // Only the chosen items are printed.
  const QString names = Path(u"names.pdf"_s);
  ASSERT_EQ(Run({u"labels"_s, kSampleCsv, u"--items"_s, u"name"_s, u"-o"_s, names}).exit, kSucceeded);
  EXPECT_EQ(PageCount(names), 1);
  EXPECT_GE(FindWord(names, 1, u"张"_s).x, 0) << "a name wider than its small cell wraps";
  EXPECT_LT(FindWord(names, 1, u"西湖区"_s).x, 0);
}

TEST_F(BatchTool, SortFilterAndCopiesDecideWhatIsPrintedInWhichOrder) {
  // The three 浙江 records by postcode, highest first; the one without a postcode comes last.
  const QString pdf = Path(u"zhejiang.pdf"_s);
  const Outcome o = Run({u"envelopes"_s, kSampleCsv, u"--filter"_s, u"address=浙江"_s, u"--sort"_s,
                         u"postcode:desc"_s, u"--copies"_s, u"2"_s, u"-o"_s, pdf});
  ASSERT_EQ(o.exit, kSucceeded) << o.err.toStdString();
  ASSERT_EQ(PageCount(pdf), 6);
  const QStringList expected = {u"李娜"_s, u"李娜"_s, u"张伟"_s, u"张伟"_s, u"王芳"_s, u"王芳"_s};
  for (int page = 1; page <= 6; ++page) EXPECT_GE(FindWord(pdf, page, expected[page - 1]).x, 0) << page;
  EXPECT_LT(FindWord(pdf, 1, u"刘洋"_s).x, 0) << "a record the filter hides is not printed";

  EXPECT_EQ(Records(kSampleCsv, {u"--filter"_s, u"province=浙江"_s, u"--filter"_s, u"postcode=31"_s}).lines(),
            (QStringList{u"1\t张伟\t310000\t浙江省杭州市西湖区文三路188号"_s,
                         u"2\t李娜\t315000\t浙江省宁波市海曙区中山西路56号"_s}));
  const Outcome none = Run({u"envelopes"_s, kSampleCsv, u"--filter"_s, u"name=没有此人"_s, u"-o"_s, pdf});
  EXPECT_EQ(none.exit, kFailed);
  EXPECT_EQ(none.err, kNothingToPrint + u'\n');
}

TEST_F(BatchTool, PostingListCountsEveryZoneAndTheTotalInThePdfAndTheWorkbook) {
  // The zones counted here from the records themselves.
  std::map<QString, int> zones;
  int total = 0;
  for (const QString& line : Records(kSampleCsv).lines()) {
    const QString postcode = line.split(u'\t').at(2);
    ++zones[postcode.size() == 6 ? postcode.left(3) : u"邮编不全"_s];
    ++total;
  }
  ASSERT_EQ(total, 30);
  ASSERT_GT(zones[u"邮编不全"_s], 0);

  const QString pdf = Path(u"list.pdf"_s), xlsx = Path(u"list.xlsx"_s);
  ASSERT_EQ(Run({u"posting-list"_s, kSampleCsv, u"-o"_s, pdf}).exit, kSucceeded);
  ASSERT_EQ(Run({u"posting-list"_s, kSampleCsv, u"-o"_s, xlsx}).exit, kSucceeded);

  ASSERT_EQ(PageCount(pdf), 2);
  const QString text = Poppler(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s})
                           .normalized(QString::NormalizationForm_KC)
                           .remove(u' ');
  EXPECT_EQ(text.count(u"共30件"_s), 2) << "the total in every page's header";
  EXPECT_TRUE(text.contains(u"第2/2"_s)) << "page numbers";
  EXPECT_TRUE(text.contains(u"\n合计30"_s)) << text.toStdString();
  for (const auto& [zone, count] : zones)
    EXPECT_TRUE(text.contains(u"\n"_s + zone + QString::number(count) + u'\n')) << zone.toStdString();

  data::Worksheet sheet;
  ASSERT_EQ(data::ReadWorksheet(xlsx, u"交寄清单"_s, sheet), 0);
  std::map<QString, int> zonesRead;
  QString previous, cell, count;
  int items = 0;
  bool summary = false;
  for (int row = 3; row <= sheet.LastRow(); ++row) {
    sheet.CellText(row, 1, cell);
    sheet.CellText(row, 2, count);
    if (cell.isEmpty()) {
      summary = true;
      continue;
    }
    if (!summary) {
      ++items;
      EXPECT_EQ(cell, QString::number(items)) << "numbered in postcode order";
      QString postcode;
      sheet.CellText(row, 3, postcode);
      EXPECT_TRUE(previous.isEmpty() || postcode.isEmpty() || previous <= postcode) << row;
      if (!postcode.isEmpty()) previous = postcode;
    } else if (cell == u"合计"_s) {
      EXPECT_EQ(count, u"30"_s);
    } else if (count.toInt() > 0) {
      zonesRead[cell] = count.toInt();
    }
  }
  EXPECT_EQ(items, 30);
  EXPECT_EQ(zonesRead, zones);

  const Outcome empty = Run({u"posting-list"_s, kSampleCsv, u"--filter"_s, u"name=没有此人"_s, u"-o"_s, pdf});
  EXPECT_EQ(empty.exit, kFailed);
  EXPECT_TRUE(empty.err.contains(u"没有记录"_s)) << empty.err.toStdString();
}

}  // namespace
}  // namespace batch
