// The window's print run against the batch tool's, per envelope. The window prints every record
// through "当前信封开始 打 印" to the PDF printer (the printer chooser answered as a user
// would): each envelope is shown on the canvas first, and the window repaints and takes input
// between envelopes. kovapost-batch then prints the same records, written to a CSV file, as a
// process of its own. While the window runs, a timer asks for the event loop every 5 ms: the
// longest time it waited is how long the window was deaf to input, and the progress counts it saw
// show that the progress moved.
//
//   window_print_bench [records] [Par.mdb]   (default: 1,000 records, the Par.mdb the build made)
//
// Offscreen unless QT_QPA_PLATFORM says otherwise; settings go to a temporary folder.
#include <sys/resource.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <set>

#include "app/main_window.h"
#include "bench/bench_support.h"
#include "common/allocator.h"
#include "common/font_substitutes.h"
#include "data/csv_export.h"
#include "data/ui/record_grid.h"
#include "print/current_printer.h"
#include "print/print_texts.h"
#include "print/ui/printer_chooser.h"
#include "print/ui/run_progress.h"
#include "store/database.h"
#include "store/registry.h"

namespace {

// Presses OK in the printer chooser as soon as it is open.
void AnswerChooser() {
  QTimer::singleShot(0, [] {
    if (auto* chooser = qobject_cast<print::PrnSel*>(QApplication::activeModalWidget()))
      chooser->okButton()->click();
    else
      AnswerChooser();
  });
}

// What the window showed of itself during a run.
struct Responsiveness {
  qint64 longestWaitMs = 0;
  std::set<QString> counts;  // the texts the progress window showed
};

// CPU seconds of the children waited for, user and system.
double ChildCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char* argv[]) {
  common::KeepFreedMemoryForReuse();
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QStandardPaths::setTestModeEnabled(true);
  QApplication application(argc, argv);
  common::InstallFontSubstitutes();
  QTemporaryDir dir;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.filePath(QStringLiteral("settings")));
  const int n = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 1000;
  const QString source = argc > 2 ? QString::fromLocal8Bit(argv[2])
                                  : QCoreApplication::applicationDirPath() + QStringLiteral("/../Par.mdb");
  const QString database = dir.filePath(QStringLiteral("Par.mdb"));
  if (!QFile::copy(source, database)) {
    std::fprintf(stderr, "cannot copy %s\n", qUtf8Printable(source));
    return 1;
  }
  DataBase::SetDatabasePath(database);
  const QString pdfFolder = dir.filePath(QStringLiteral("pdf"));
  QDir().mkpath(pdfFolder);
  Registry::SaveSetting(Registry::kCollateSection, print::kPdfFolderKey, pdfFolder);
  Registry::SaveSetting(Registry::kCollateSection, print::kPrinterKey, print::kPdfPrinterName);
  print::SetCurrentPrinterName(print::kPdfPrinterName);

  std::vector<data::Record> records = bench::GenerateAddressList(n, bench::ShippedPostcodeTable());
  MF window;
  window.Load();
  window.show();
  window.records().ReplaceAll(records);
  window.recordGrid()->AfterCommand(3);
  window.NS()->setValue(1);

  // The window's run, timed from the click to the written PDF.
  Responsiveness seen;
  QElapsedTimer sinceTurn;
  QTimer watch;
  watch.setInterval(5);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (sinceTurn.isValid()) seen.longestWaitMs = std::max(seen.longestWaitMs, sinceTurn.elapsed());
    sinceTurn.restart();
    if (auto* progress = window.findChild<print::RunProgress*>())
      seen.counts.insert(progress->counter()->text());
  });
  AnswerChooser();
  watch.start();
  const double windowCpu0 = bench::CpuSeconds();
  QElapsedTimer wall;
  wall.start();
  window.CB(1)->click();
  const double windowWall = wall.nsecsElapsed() / 1e9;
  const double windowCpu = bench::CpuSeconds() - windowCpu0;
  watch.stop();
  const int pdfs = int(QDir(pdfFolder).entryList(QDir::Files).size());

  // The same records through the batch tool, whole process, with the same parameter database.
  const QString list = dir.filePath(QStringLiteral("list.csv"));
  if (const QString error = data::ExportRecords(list, records, data::CsvEncoding::kUtf8); !error.isEmpty()) {
    std::fprintf(stderr, "cannot write the list: %s\n", qUtf8Printable(error));
    return 1;
  }
  QProcess batch;
  batch.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  wall.restart();
  batch.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../kovapost-batch"),
              {QStringLiteral("envelopes"), list, QStringLiteral("--size"), QStringLiteral("DL"),
               QStringLiteral("--database"), database, QStringLiteral("-o"),
               dir.filePath(QStringLiteral("batch.pdf"))});
  batch.waitForFinished(-1);
  const double batchWall = wall.nsecsElapsed() / 1e9;
  const double batchCpu = ChildCpuSeconds();
  if (batch.exitCode() != 0) std::fprintf(stderr, "kovapost-batch failed\n");

  std::printf("| %d DL envelopes to PDF | wall | CPU | CPU per envelope |\n|---|---|---|---|\n", n);
  std::printf("| the window, 当前信封开始 打 印 | %.2f s | %.2f s | %.3f ms |\n", windowWall, windowCpu,
              windowCpu * 1000 / n);
  std::printf("| kovapost-batch, whole process | %.2f s | %.2f s | %.3f ms |\n", batchWall, batchCpu,
              batchCpu * 1000 / n);
  std::printf(
      "\nPDF files written by the window: %d; progress counts seen: %zu; the longest the window "
      "waited for its event loop: %lld ms\n",
      pdfs, seen.counts.size(), static_cast<long long>(seen.longestWaitMs));
  window.records().ReplaceAll({});  // nothing to ask about on close
  return 0;
}
