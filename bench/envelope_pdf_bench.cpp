// Renders 1,000 and 10,000 DL envelopes of synthetic Chinese addresses into one PDF each, the
// way a print run does (without the window's pause), and reports time per envelope and the
// peak memory of the process.
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>

#include "bench/bench_support.h"
#include "common/allocator.h"
#include "common/font_substitutes.h"
#include "data/show_record.h"
#include "editor/envelope_model.h"
#include "print/envelope_renderer.h"
#include "print/pdf_device.h"
#include "print/print_texts.h"

namespace {

void RunBatch(int count, const QString& folder) {
  editor::EnvelopeModel envelope;
  envelope.SetChosenSize(editor::kDefaultSize);
  const QString path = folder + QStringLiteral("/envelopes_%1.pdf").arg(count);
  print::PdfDevice pdf(path, print::kPdfPrinterName);
  print::FontSizeCache cache;
  const std::vector<data::Record> records = bench::GenerateAddressList(count, bench::ShippedPostcodeTable());
  QElapsedTimer timer;
  timer.start();
  const double cpuStart = bench::CpuSeconds();
  int failed = 0;
  for (int n = 0; n < count; ++n) {
    data::ShowRecordOn(envelope, &records[size_t(n)]);
    if (print::RenderEnvelope(pdf, envelope, 3, 3, &cache) != print::PrintStatus::kPrinted) ++failed;
  }
  const qint64 renderMs = timer.elapsed();
  pdf.Finish();
  const qint64 totalMs = timer.elapsed();
  const double cpuMs = (bench::CpuSeconds() - cpuStart) * 1000;
  std::printf(
      "%6d envelopes: %6.3f ms/envelope wall (%6.3f rendering), %6.3f ms/envelope CPU, %5.1f s total, "
      "%d pages, %.1f MB file, peak RSS %.0f MB, %d failed\n",
      count, double(totalMs) / count, double(renderMs) / count, cpuMs / count, totalMs / 1000.0,
      pdf.pageCount(), QFileInfo(path).size() / 1e6, bench::PeakResidentMb(), failed);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[]) {
  common::KeepFreedMemoryForReuse();  // as the programs start
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  common::InstallFontSubstitutes();
  QTemporaryDir dir;
  std::printf("DL envelopes into one PDF (font sizes searched once per box font, then cached)\n");
  for (int count :
       {qEnvironmentVariableIntValue("KOVA_BENCH_COUNT") ? qEnvironmentVariableIntValue("KOVA_BENCH_COUNT")
                                                         : 1000,
        10000})
    RunBatch(count, dir.path());
  return 0;
}
