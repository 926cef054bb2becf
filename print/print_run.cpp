#include "print/print_run.h"

#include <algorithm>

#include "common/prompts.h"
#include "print/calibration.h"
#include "print/print_texts.h"
#include "print/rotated_renderer.h"

namespace print {

PrintStatus PrintCurrentEnvelope(PrinterDevice& device, const editor::EnvelopeModel& envelope,
                                 int envelopeNumber, FontSizeCache* cache) {
  const PrinterOffsets off = ReadPrinterOffsets(device.DeviceName());
  // An envelope-size page is for a press that takes the envelope upright.
  const PrintStatus status = envelope.options().rotate && !device.EnvelopeSizedPages()
                                 ? RenderRotated(device, envelope, off.x, off.y, RotationDpi())
                                 : RenderEnvelope(device, envelope, off.x, off.y, cache);
  if (status == PrintStatus::kPaperRefused)
    common::prompts().Message(PaperRefusedText(device.DeviceName(), envelope.W(), envelope.H()));
  else if (status != PrintStatus::kPrinted)
    common::prompts().Message(EnvelopeFailedText(envelopeNumber, ErrorNumber(status)));
  return status;
}

RunResult RunEnvelopes(PrinterDevice& device, const editor::EnvelopeModel& envelope, int first, int last,
                       const RunWindow& window, FontSizeCache* cache) {
  RunResult result;
  const int total = std::max(0, last - first + 1);
  for (int n = first; n <= last; ++n) {
    if (window.stopRequested && window.stopRequested()) {
      result.stopped = true;
      break;
    }
    if (last > 1 && window.showRecord) window.showRecord(n);
    if (window.progress) window.progress(n - first + 1, total);
    if (window.pause) window.pause();
    const PrintStatus status = PrintCurrentEnvelope(device, envelope, n, cache);
    ++result.printed;
    if (status == PrintStatus::kPaperRefused) {
      result.paperRefused = true;
      break;
    }
  }
  return result;
}

std::vector<int> RunRecords(int first, int last, int copies) {
  std::vector<int> records;
  for (int n = first; n <= last; ++n) records.insert(records.end(), std::size_t(std::max(copies, 1)), n);
  return records;
}

RunResult RunEnvelopes(PrinterDevice& device, const editor::EnvelopeModel& envelope,
                       const std::vector<int>& records, const RunWindow& window, FontSizeCache* cache) {
  RunResult result;
  const int total = int(records.size());
  // A run of record 1 alone prints the canvas as shown, as the first..last run does.
  const bool showRecords = std::any_of(records.begin(), records.end(), [](int n) { return n > 1; });
  int shown = 0;
  for (int i = 0; i < total; ++i) {
    if (window.stopRequested && window.stopRequested()) {
      result.stopped = true;
      break;
    }
    const int n = records[std::size_t(i)];
    if (showRecords && n != shown && window.showRecord)
      window.showRecord(n);  // copies print the record shown
    shown = n;
    if (window.progress) window.progress(i + 1, total);
    if (window.pause) window.pause();
    const PrintStatus status = PrintCurrentEnvelope(device, envelope, i + 1, cache);
    ++result.printed;
    if (status == PrintStatus::kPaperRefused) {
      result.paperRefused = true;
      break;
    }
  }
  return result;
}

std::pair<int, int> SelectedRecords(int row, int rowSel, int fixedRows) {
  const int first = row - fixedRows + 1, last = rowSel - fixedRows + 1;
  return first <= last ? std::pair{first, last} : std::pair{last, first};
}

}  // namespace print
