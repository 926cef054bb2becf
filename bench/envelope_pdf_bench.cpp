// Renders 1,000 and 10,000 DL envelopes of synthetic Chinese addresses into one PDF each, the
// way a print run does (without the window's pause), and reports time per envelope and the
// peak memory of the process.
#include <QElapsedTimer>
#include <QFont>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QFileInfo>
#include <cstdio>
#include <sys/resource.h>

#include "common/font_substitutes.h"
#include "editor/envelope_model.h"
#include "print/envelope_renderer.h"
#include "print/pdf_device.h"
#include "print/print_texts.h"

namespace {

struct Record {
  QString name, postcode, address;
};

// Deterministic synthetic records: names, postcodes and two-line addresses from small pools.
Record Synthetic(int n) {
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
  Record r;
  r.name = surnames[n % surnames.size()] + given[(n / 7) % given.size()];
  r.postcode = QStringLiteral("%1").arg(100000 + (n * 7919) % 800000, 6, 10, QLatin1Char('0'));
  r.address = cities[n % cities.size()] + QStringLiteral("\r\n") + streets[(n / 5) % streets.size()] +
              QString::number(n % 300 + 1) + QStringLiteral("号") + QString::number(n % 20 + 1) +
              QStringLiteral("幢");
  return r;
}

long PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

// CPU time of the process in ms: on a shared machine the wall clock also counts others' work.
double CpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

void RunBatch(int count, const QString& folder) {
  editor::EnvelopeModel envelope;
  envelope.SetChosenSize(editor::kDefaultSize);
  const QString path = folder + QStringLiteral("/envelopes_%1.pdf").arg(count);
  print::PdfDevice pdf(path, print::kPdfPrinterName);
  print::FontSizeCache cache;
  QElapsedTimer timer;
  timer.start();
  const double cpuStart = CpuMs();
  int failed = 0;
  for (int n = 0; n < count; ++n) {
    const Record r = Synthetic(n);
    for (int d = 0; d < 6; ++d) envelope.SetBoxText(d, r.postcode.mid(d, 1));
    envelope.SetBoxText(editor::kAddressBox, r.address);
    envelope.SetBoxText(editor::kNameBox, r.name);
    if (print::RenderEnvelope(pdf, envelope, 3, 3, &cache) != print::PrintStatus::kPrinted) ++failed;
  }
  const qint64 renderMs = timer.elapsed();
  pdf.Finish();
  const qint64 totalMs = timer.elapsed();
  const double cpuMs = CpuMs() - cpuStart;
  std::printf("%6d envelopes: %6.3f ms/envelope wall (%6.3f rendering), %6.3f ms/envelope CPU, %5.1f s total, "
              "%d pages, %.1f MB file, peak RSS %ld MB, %d failed\n",
              count, double(totalMs) / count, double(renderMs) / count, cpuMs / count, totalMs / 1000.0,
              pdf.pageCount(), QFileInfo(path).size() / 1e6, PeakMegabytes(), failed);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  common::InstallFontSubstitutes();
  QTemporaryDir dir;
  std::printf("DL envelopes into one PDF (font sizes searched once per box font, then cached)\n");
  for (int count : {qEnvironmentVariableIntValue("KOVA_BENCH_COUNT") ? qEnvironmentVariableIntValue("KOVA_BENCH_COUNT") : 1000, 10000}) RunBatch(count, dir.path());
  return 0;
}
