// The import at the workbook bounds the README states, each .xlsx written here (shared strings,
// deflated) and imported in a fresh process of its own:
// - merged: 100,000 rows whose company name is merged over two columns (D:E), so 100,000 merged
//   areas, imported through the mapping A / B / C,E, where every E cell takes D's text;
// - stretched: one row whose address cell is merged down to the last row of the format;
// - largest: 1,000,000 rows of ten columns, the largest workbook the import is meant for.
// Prints the best of three imports (one for the largest): wall time, processor time of both
// processes (on a shared machine the wall clock also counts other programs' work), and the peak
// resident memory of the importing process and of its reading process.
#include <sys/resource.h>
#include <zlib.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <cstdio>

#include "data/record_table.h"
#include "data/workbook_import.h"
#include "data/workbook_package.h"

namespace {

using namespace Qt::Literals::StringLiterals;

// merged: D:E of every row merged, or with one row, C2 merged down to the format's last row.
QByteArray SheetXml(int rows, int columns, bool merged) {
  QByteArray xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<worksheet "
      "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
  xml += "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c></row>";
  for (int i = 2; i <= rows + 1; ++i) {
    const QByteArray r = QByteArray::number(i);
    xml += "<row r=\"" + r + "\"><c r=\"A" + r + "\" t=\"s\"><v>" + QByteArray::number(2 + i % 7) +
           "</v></c><c r=\"B" + r + "\"><v>" + QByteArray::number(100000 + i % 800000) + "</v></c><c r=\"C" +
           r + "\" t=\"s\"><v>" + QByteArray::number(9 + i % 5) + "</v></c><c r=\"D" + r + "\" t=\"s\"><v>" +
           QByteArray::number(14 + i % 3) + "</v></c>";
    for (int c = 4; c < columns; ++c)
      xml += "<c r=\"" + QByteArray(1, char('A' + c)) + r + "\" t=\"s\"><v>" +
             QByteArray::number(9 + (i + c) % 5) + "</v></c>";
    xml += "</row>";
  }
  xml += "</sheetData>";
  if (merged && rows == 1) {
    xml += "<mergeCells count=\"1\"><mergeCell ref=\"C2:C1048576\"/></mergeCells>";
  } else if (merged) {
    xml += "<mergeCells count=\"" + QByteArray::number(rows) + "\">";
    for (int i = 2; i <= rows + 1; ++i)
      xml += "<mergeCell ref=\"D" + QByteArray::number(i) + ":E" + QByteArray::number(i) + "\"/>";
    xml += "</mergeCells>";
  }
  return xml + "</worksheet>";
}

QByteArray Deflated(const QByteArray& data) {
  const QByteArray zlib = qCompress(data, 6);  // 4 bytes of length, then a zlib stream
  return zlib.mid(6, zlib.size() - 10);
}

QByteArray Workbook(int rows, int columns, bool merged) {
  const QStringList strings = {u"姓名"_s,
                               u"邮编"_s,
                               u"张伟"_s,
                               u"王芳"_s,
                               u"李娜"_s,
                               u"赵敏"_s,
                               u"陈静"_s,
                               u"刘丽"_s,
                               u"杨强"_s,
                               u"北京市海淀区中关村大街1号"_s,
                               u"上海市浦东新区世纪大道2号"_s,
                               u"广州市天河区天河路3号"_s,
                               u"成都市武侯区人民南路4号"_s,
                               u"杭州市西湖区文三路5号"_s,
                               u"某某有限公司"_s,
                               u"某某研究所"_s,
                               u"某某大学"_s};
  QByteArray shared =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<sst "
      "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
  for (const QString& s : strings) shared += "<si><t>" + s.toUtf8() + "</t></si>";
  shared += "</sst>";
  data::detail::ZipWriter zip;
  zip.Add(
      u"[Content_Types].xml"_s,
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Types "
      "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default Extension=\"rels\" "
      "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
      "ContentType=\"application/xml\"/><Override PartName=\"/xl/workbook.xml\" "
      "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/><Override "
      "PartName=\"/xl/worksheets/sheet1.xml\" "
      "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/><Override "
      "PartName=\"/xl/sharedStrings.xml\" "
      "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/></"
      "Types>");
  zip.Add(u"_rels/.rels"_s,
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Relationships "
          "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
          "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
          "Target=\"xl/workbook.xml\"/></Relationships>");
  zip.Add(u"xl/workbook.xml"_s,
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<workbook "
          "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
          "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets><sheet "
          "name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
  zip.Add(u"xl/_rels/workbook.xml.rels"_s,
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Relationships "
          "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
          "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
          "Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" "
          "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" "
          "Target=\"sharedStrings.xml\"/></Relationships>");
  const QByteArray sheet = SheetXml(rows, columns, merged);
  zip.Add(u"xl/worksheets/sheet1.xml"_s, 8,
          quint32(crc32(0, reinterpret_cast<const Bytef*>(sheet.constData()), uInt(sheet.size()))),
          Deflated(sheet), sheet.size());
  zip.Add(u"xl/sharedStrings.xml"_s, shared);
  return zip.Finish();
}

// One import in this process: prints seconds, peak resident MB of this process and of the
// reading process, records, and the last record's address.
int RunOne(const QString& path, int rows, const QString& mapping) {
  data::RecordTable grid;
  data::Expressions expressions = {u"A"_s, u"B"_s, mapping};
  QElapsedTimer timer;
  timer.start();
  // One row stands for a sheet whose merged area makes it longer: the import follows its last row.
  const std::optional<int> end = rows == 1 ? std::nullopt : std::optional<int>(rows + 1);
  const int error = data::ImportWorkbook(grid, path, u"Sheet1"_s, 2, end, expressions, false);
  const double seconds = timer.nsecsElapsed() / 1e9;
  rusage self{}, reader{};
  getrusage(RUSAGE_SELF, &self);
  getrusage(RUSAGE_CHILDREN, &reader);
  const auto cpu = [](const rusage& u) {
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
  };
  std::printf(
      "%.3f %.3f %.0f %.0f %d %s\n", seconds, cpu(self) + cpu(reader), self.ru_maxrss / 1024.0,
      reader.ru_maxrss / 1024.0, error ? -error : grid.recordCount(),
      qUtf8Printable(grid.recordCount() ? grid.cell(grid.recordCount(), data::kAddressColumn) : QString()));
  return error;
}

}  // namespace

int main(int argc, char* argv[]) {
  QGuiApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() == 5 && args[1] == u"--run"_s) return RunOne(args[2], args[3].toInt(), args[4]);
  const struct {
    const char* name;
    int rows, columns;
    bool merged;
    QString mapping;
    int runs;
  } cases[] = {
      {"100,000 rows, no merged areas", 100000, 5, false, u"C,D"_s, 3},
      {"100,000 rows, 100,000 merged areas", 100000, 5, true, u"C,E"_s, 3},
      {"1 row, merged down to row 1,048,576", 1, 5, true, u"C,D"_s, 3},
      {"1,000,000 rows of 10 columns", 1000000, 10, false, u"C,D"_s, 1},
  };
  std::printf(
      "| Workbook | .xlsx (MB) | Records, last address | Time (s) | CPU, both processes (s) | Peak resident "
      "(MB) | "
      "Reading process (MB) |\n|---|---|---|---|---|---|---|\n");
  // --quick leaves out the largest workbook (about a minute and 1.5 GB in each of two processes).
  const bool quick = args.contains(u"--quick"_s);
  for (const auto& c : cases) {
    if (quick && c.rows == 1000000) continue;
    const QString path =
        QDir(QDir::tempPath())
            .filePath(QStringLiteral("kovapost-bench-%1x%2.xlsx").arg(c.rows).arg(c.columns));
    const QByteArray bytes = Workbook(c.rows, c.columns, c.merged);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return 1;
    file.close();
    double best = 1e9, bestCpu = 1e9, memory = 0, readerMemory = 0;
    QString records;
    for (int run = 0; run < c.runs; ++run) {
      QProcess child;
      child.start(app.applicationFilePath(), {u"--run"_s, path, QString::number(c.rows), c.mapping});
      child.waitForFinished(600000);
      const QStringList out = QString::fromUtf8(child.readAllStandardOutput()).trimmed().split(u' ');
      if (out.size() < 5) break;
      best = std::min(best, out[0].toDouble());
      bestCpu = std::min(bestCpu, out[1].toDouble());
      memory = std::max(memory, out[2].toDouble());
      readerMemory = std::max(readerMemory, out[3].toDouble());
      records = out[4] + u' ' + out.value(5);
    }
    std::printf("| %s | %.1f | %s | %.3f | %.3f | %.0f | %.0f |\n", c.name, bytes.size() / 1e6,
                qUtf8Printable(records), best, bestCpu, memory, readerMemory);
    QFile::remove(path);
  }
  return 0;
}
