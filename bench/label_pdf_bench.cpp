// Prints synthetic address lists as 4 x 15 label sheets on A4 into one PDF, page by page as
// "当 前 页 开 始 打 印" does, and reports the time and the process's memory along the way
// (resident memory now and at its peak), to show that memory stays flat however many sheets.
// KOVA_BENCH_KEEP=folder keeps the PDFs there.
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>

#include "bench/bench_support.h"
#include "common/allocator.h"
#include "common/font_substitutes.h"
#include "labels/label_renderer.h"
#include "print/pdf_device.h"
#include "print/print_texts.h"

namespace {

void RunBatch(int count, const QString& folder) {
  editor::EnvelopeModel envelope;
  data::RecordTable records;
  records.ReplaceAll(bench::GenerateAddressList(count, bench::ShippedPostcodeTable()));
  labels::LabelSheet sheet;
  const labels::LabelSource source{sheet, envelope, records};
  const int pages = labels::PageCount(sheet, count);

  const QString path = folder + QStringLiteral("/labels_%1.pdf").arg(count);
  const double startMb = bench::ResidentMb();
  QElapsedTimer timer;
  timer.start();
  const double cpuStart = bench::CpuSeconds();
  print::PdfDevice pdf(path, print::kPdfPrinterName);
  print::FontSizeCache cache;
  int failed = 0;
  for (int page = 1; page <= pages; ++page) {
    if (labels::PrintLabelPage(pdf, source, page, {3, 3}, &cache) != labels::PagePrinted::kPrinted) ++failed;
    if (page == pages / 10 || page == pages / 2)
      std::printf("  after %4d sheets: %5.1f s, resident %.0f MB\n", page, timer.elapsed() / 1000.0,
                  bench::ResidentMb());
  }
  pdf.Finish();
  const double seconds = timer.elapsed() / 1000.0;
  std::printf(
      "%6d records, %4d sheets: %5.1f s wall, %5.1f s CPU, %.2f ms/sheet, %.1f MB file, "
      "resident %.0f MB before, %.0f MB after, peak %.0f MB, %d failed\n",
      count, pdf.pageCount(), seconds, bench::CpuSeconds() - cpuStart, seconds * 1000 / pages,
      QFileInfo(path).size() / 1e6, startMb, bench::ResidentMb(), bench::PeakResidentMb(), failed);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[]) {
  common::KeepFreedMemoryForReuse();  // as the programs start
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  common::InstallFontSubstitutes();
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
