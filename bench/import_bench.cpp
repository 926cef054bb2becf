// Import speed and memory: a 100,000-record CSV file in GB18030 and in UTF-8, a 65,000-row .xls
// and a 100,000-row .xlsx, each read into the record grid through the mapping A / B / C,D.
//
// Run without arguments: it writes synthetic Chinese address lists to a temporary folder (the
// workbooks converted from CSV by LibreOffice, `soffice`, when it is installed; otherwise those
// cases are skipped), then imports each file in a fresh process of its own and prints the time
// of the import and the peak resident memory of that process.
#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QStringEncoder>
#include <cstdio>

#include "data/csv_reader.h"
#include "data/record_table.h"
#include "data/workbook_import.h"

namespace {

using namespace Qt::Literals::StringLiterals;

const QStringList kSurnames = {u"张"_s, u"王"_s, u"李"_s, u"赵"_s, u"陈"_s, u"刘"_s, u"杨"_s, u"黄"_s};
const QStringList kGiven = {u"伟"_s, u"芳"_s, u"娜"_s, u"敏"_s, u"静"_s, u"丽"_s, u"强"_s, u"磊"_s, u"军"_s};
const QStringList kCities = {u"北京市海淀区"_s, u"上海市浦东新区"_s, u"广州市天河区"_s, u"成都市武侯区"_s,
                             u"杭州市西湖区"_s, u"南京市鼓楼区"_s,   u"武汉市洪山区"_s};
const QStringList kStreets = {u"中关村大街"_s, u"人民路"_s, u"解放路"_s, u"建设路"_s, u"和平路"_s};

// Record i of a synthetic address list: name, postcode (some with a leading zero lost), address
// (some quoted with a comma in them), company.
QString Line(int i) {
  const QString name =
      kSurnames[i % kSurnames.size()] + kGiven[i * 7 % kGiven.size()] + kGiven[i * 3 % kGiven.size()];
  const QString postcode = QString::number(10000 + i * 37 % 890000);
  QString address = kCities[i % kCities.size()] + kStreets[i * 5 % kStreets.size()] +
                    QString::number(i % 300 + 1) + u"号"_s;
  if (i % 10 == 0) address = u"\""_s + address + u", "_s + QString::number(i % 20 + 1) + u"楼\""_s;
  return name + u',' + postcode + u',' + address + u",某某有限公司第"_s + QString::number(i % 97) +
         u"分部\r\n"_s;
}

QString AddressList(int records) {
  QString text = u"姓名,邮编,地址,公司\r\n"_s;
  for (int i = 0; i < records; ++i) text += Line(i);
  return text;
}

bool Write(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A workbook made by LibreOffice from a UTF-8 CSV file; empty when that is not possible.
QString Convert(const QString& csv, const QString& format, const QString& folder) {
  const QString target = QFileInfo(csv).completeBaseName() + u'.' + format;
  const QString path = QDir(folder).filePath(target);
  if (QFile::exists(path)) return path;
  if (QStandardPaths::findExecutable(u"soffice"_s).isEmpty()) return {};
  QProcess soffice;
  soffice.start(u"soffice"_s, {u"--headless"_s, u"--infilter=CSV:44,34,76"_s, u"--convert-to"_s, format,
                               u"--outdir"_s, folder, csv});
  soffice.waitForFinished(600000);
  return QFile::exists(path) ? path : QString();
}

// One import in this process: prints seconds and peak resident megabytes.
int RunOne(const QString& path, int rows) {
  data::RecordTable grid;
  data::Expressions expressions = {u"A"_s, u"B"_s, u"C,D"_s};
  QElapsedTimer timer;
  timer.start();
  // LibreOffice names the sheet of a converted CSV file after the file.
  const QString sheet = QFileInfo(path).completeBaseName();
  const bool ok = data::IsCsvPath(path)
                      ? data::ImportCsv(grid, path, 2, rows + 1, expressions, false)
                      : data::ImportWorkbook(grid, path, sheet, 2, rows + 1, expressions, false) == 0;
  const double seconds = timer.nsecsElapsed() / 1e9;
  // .xls files are read in a child process of the import; its peak is reported beside ours.
  rusage usage{}, reader{};
  getrusage(RUSAGE_SELF, &usage);
  getrusage(RUSAGE_CHILDREN, &reader);
  std::printf("%.3f %.0f %.0f %d %s\n", seconds, usage.ru_maxrss / 1024.0, reader.ru_maxrss / 1024.0,
              ok ? grid.recordCount() : -1,
              qUtf8Printable(grid.recordCount() ? grid.cell(grid.recordCount(), 1) : QString()));
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
  QGuiApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() == 4 && args[1] == u"--run"_s) return RunOne(args[2], args[3].toInt());

  const QString folder = QDir(QDir::tempPath()).filePath(u"kovapost-bench"_s);
  QDir().mkpath(folder);
  const QString gb = QDir(folder).filePath(u"records_gb18030.csv"_s);
  const QString utf8 = QDir(folder).filePath(u"records_utf8.csv"_s);
  const QString xlsSource = QDir(folder).filePath(u"rows65000.csv"_s);
  const QString xlsxSource = QDir(folder).filePath(u"rows100000.csv"_s);
  const QString list = AddressList(100000);
  QStringEncoder gb18030("GB18030");
  Write(gb, gb18030(list));
  Write(utf8, list.toUtf8());
  Write(xlsSource, AddressList(65000).toUtf8());
  Write(xlsxSource, list.toUtf8());

  const struct {
    const char* name;
    QString path;
    int rows;
  } cases[] = {
      {"CSV, GB18030, 100,000 records", gb, 100000},
      {"CSV, UTF-8, 100,000 records", utf8, 100000},
      {".xls, 65,000 rows", Convert(xlsSource, u"xls"_s, folder), 65000},
      {".xlsx, 100,000 rows", Convert(xlsxSource, u"xlsx"_s, folder), 100000},
  };
  std::printf("| Import | Records | Time (s) | Peak resident (MB) | Reading process (MB) |\n|---|---|---|---|---|\n");
  for (const auto& c : cases) {
    if (c.path.isEmpty()) {
      std::printf("| %s | skipped: soffice not found | | | |\n", c.name);
      continue;
    }
    // The best of three fresh processes, so that each peak is the import's own.
    double best = 1e9, memory = 0, readerMemory = 0;
    int records = 0;
    for (int run = 0; run < 3; ++run) {
      QProcess child;
      child.start(app.applicationFilePath(), {u"--run"_s, c.path, QString::number(c.rows)});
      child.waitForFinished(600000);
      const QStringList out = QString::fromUtf8(child.readAllStandardOutput()).split(u' ');
      if (out.size() < 4) break;
      best = std::min(best, out[0].toDouble());
      memory = std::max(memory, out[1].toDouble());
      readerMemory = std::max(readerMemory, out[2].toDouble());
      records = out[3].toInt();
    }
    std::printf("| %s | %d | %.3f | %.0f | %s |\n", c.name, records, best, memory,
                readerMemory > 0 ? qPrintable(QString::number(readerMemory, 'f', 0)) : "");
  }
  return 0;
}
