// Prints synthetic address lists as 4 x 15 label sheets on A4 into one PDF, page by page as
// "当 前 页 开 始 打 印" does, and reports the time and the process's memory along the way
// (resident memory now and at its peak), to show that memory stays flat however many sheets.
// KOVA_BENCH_KEEP=folder keeps the PDFs there.
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

#include "labels/label_renderer.h"
#include "print/pdf_device.h"
#include "print/print_texts.h"

namespace {

// Deterministic synthetic records from small pools; the address carries a line-break mark.
data::Record Synthetic(int n) {
  static const QStringList surnames = {QStringLiteral("王"), QStringLiteral("李"), QStringLiteral("张"),
                                       QStringLiteral("刘"), QStringLiteral("陈"), QStringLiteral("欧阳")};
  static const QStringList given = {QStringLiteral("伟"), QStringLiteral("芳"), QStringLiteral("秀英"),
                                    QStringLiteral("建国"), QStringLiteral("丽"), QStringLiteral("志强")};
  static const QStringList cities = {QStringLiteral("浙江省杭州市西湖区"), QStringLiteral("北京市海淀区"),
                                     QStringLiteral("广东省广州市天河区"), QStringLiteral("四川省成都市锦江区"),
                                     QStringLiteral("上海市浦东新区")};
  static const QStringList streets = {QStringLiteral("文三路"), QStringLiteral("中关村大街"),
                                      QStringLiteral("天河北路"), QStringLiteral("春熙路"),
                                      QStringLiteral("世纪大道")};
  return {QString::number(n + 1), surnames[n % surnames.size()] + given[(n / 7) % given.size()],
          QStringLiteral("%1").arg(100000 + (n * 7919) % 800000, 6, 10, QLatin1Char('0')),
          cities[n % cities.size()] + QStringLiteral("//") + streets[(n / 5) % streets.size()] +
              QString::number(n % 300 + 1) + QStringLiteral("号")};
}

long PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

long ResidentMegabytes() {
  QFile status(QStringLiteral("/proc/self/statm"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  const QList<QByteArray> fields = status.readAll().split(' ');
  return fields.size() > 1 ? fields[1].toLong() * 4096 / (1024 * 1024) : -1;
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto s = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return s(usage.ru_utime) + s(usage.ru_stime);
}

void RunBatch(int count, const QString& folder) {
  editor::EnvelopeModel envelope;
  data::RecordTable records;
  std::vector<data::Record> rows;
  rows.reserve(count);
  for (int n = 0; n < count; ++n) rows.push_back(Synthetic(n));
  records.ReplaceAll(std::move(rows));
  labels::LabelSheet sheet;
  const labels::LabelSource source{sheet, envelope, records};
  const int pages = labels::PageCount(sheet, count);

  const QString path = folder + QStringLiteral("/labels_%1.pdf").arg(count);
  const long startMb = ResidentMegabytes();
  QElapsedTimer timer;
  timer.start();
  const double cpuStart = CpuSeconds();
  print::PdfDevice pdf(path, print::kPdfPrinterName);
  print::FontSizeCache cache;
  int failed = 0;
  for (int page = 1; page <= pages; ++page) {
    if (labels::PrintLabelPage(pdf, source, page, {3, 3}, &cache) != labels::PagePrinted::kPrinted) ++failed;
    if (page == pages / 10 || page == pages / 2)
      std::printf("  after %4d sheets: %5.1f s, resident %ld MB\n", page, timer.elapsed() / 1000.0,
                  ResidentMegabytes());
  }
  pdf.Finish();
  const double seconds = timer.elapsed() / 1000.0;
  std::printf("%6d records, %4d sheets: %5.1f s wall, %5.1f s CPU, %.2f ms/sheet, %.1f MB file, "
              "resident %ld MB before, %ld MB after, peak %ld MB, %d failed\n",
              count, pdf.pageCount(), seconds, CpuSeconds() - cpuStart, seconds * 1000 / pages,
              QFileInfo(path).size() / 1e6, startMb, ResidentMegabytes(), PeakMegabytes(), failed);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QFont::insertSubstitutions(QStringLiteral("宋体"),
                             {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN")});
  QTemporaryDir dir;
  const QString keep = qEnvironmentVariable("KOVA_BENCH_KEEP");
  const QString folder = keep.isEmpty() ? dir.path() : keep;
  std::printf("4 x 15 label sheets on A4 into one PDF\n");
  const int big = qEnvironmentVariableIntValue("KOVA_BENCH_COUNT");
  if (big > 0)
    RunBatch(big, folder);
  else
    for (int count : {10000, 100000}) RunBatch(count, folder);
  return 0;
}
