#include "print/ui/envelope_commands.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QShortcut>
#include <QWidget>

#include "print/print_run.h"
#include "print/print_texts.h"
#include "print/ui/preview_window.h"
#include "print/ui/print_command.h"
#include "print/ui/run_progress.h"

namespace print {
namespace {

constexpr int kYieldEveryMs = 16;

}  // namespace

void YieldTimes(int n) {
  for (int i = 0; i < n; ++i) QCoreApplication::processEvents();
}

QString PrintShownEnvelope(const editor::EnvelopeModel& envelope, int envelopeNumber) {
  const auto command = PrintCommand::Open(QStringLiteral("信封"));
  if (!command) return {};
  FontSizeCache cache;
  PrintCurrentEnvelope(command->device(), envelope, envelopeNumber, &cache);
  return command->Finish();
}

QString RunEnvelopeCommand(QWidget* window, const editor::EnvelopeModel& envelope, int first, int last,
                           const std::function<void(int)>& showRecord, int copies) {
  // The pauses process input, so a click could start a second run inside the first.
  static bool running = false;
  if (running) return {};
  const auto command = PrintCommand::Open(QStringLiteral("信封"));
  if (!command) return {};
  running = true;
  RunProgress progress(window);
  QShortcut escape(QKeySequence(Qt::Key_Escape), window);
  escape.setContext(Qt::ApplicationShortcut);
  QObject::connect(&escape, &QShortcut::activated, &progress, &RunProgress::RequestStop);

  FontSizeCache cache;
  RunWindow hooks;
  hooks.showRecord = showRecord;
  // The window repaints and takes input some sixty times a second; doing so before every
  // envelope took longer than printing it.
  QElapsedTimer sinceYield;
  hooks.pause = [&sinceYield] {
    if (sinceYield.isValid() && sinceYield.elapsed() < kYieldEveryMs) return;
    QCoreApplication::processEvents();
    sinceYield.restart();
  };
  hooks.stopRequested = [&progress] { return progress.stopRequested(); };
  hooks.progress = [&progress](int done, int total) { progress.Show(done, total); };
  const RunResult result =
      RunEnvelopes(command->device(), envelope, RunRecords(first, last, copies), hooks, &cache);
  running = false;
  const QString written = command->Finish();
  if (!result.stopped) return written;
  // A stopped run says so, also when its envelopes went into a PDF file.
  return command->writtenPdf().isEmpty() ? kRunStopped.arg(result.printed)
                                         : kRunStoppedPdf.arg(result.printed).arg(command->writtenPdf());
}

void ShowPreview(QWidget* window, const editor::EnvelopeModel& envelope, PreviewPages pages) {
  auto* preview = new PreviewWindow(envelope, window, std::move(pages));
  preview->setAttribute(Qt::WA_DeleteOnClose);
  preview->show();
}

}  // namespace print
