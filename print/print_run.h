#pragma once
// Print runs: the shown envelope, or records first..last, each shown on the canvas, given a
// moment to repaint and printed as its own job. A failed envelope is reported with its number
// and the run goes on; the user may stop a run between two envelopes.

#include <functional>
#include <vector>

#include "editor/envelope_model.h"
#include "print/envelope_renderer.h"
#include "print/printer_device.h"

namespace print {

// What a run needs of the main window.
struct RunWindow {
  std::function<void(int record)> showRecord;         // set the navigator to the record and show it
  std::function<void()> pause;                        // let the window repaint and take input
  std::function<bool()> stopRequested;                // asked before every envelope
  std::function<void(int done, int total)> progress;  // before envelope `done` of `total` is printed
};

// Prints the envelope on the canvas, normally or turned by 180 degrees as its options say, with
// the offsets stored now for the device's printer. A failure shows the numbered message for
// `envelopeNumber`; a paper the printer does not have is named in a message of its own.
PrintStatus PrintCurrentEnvelope(PrinterDevice& device, const editor::EnvelopeModel& envelope,
                                 int envelopeNumber, FontSizeCache* cache = nullptr);

struct RunResult {
  int printed = 0;  // envelopes attempted
  bool stopped = false;
  bool paperRefused = false;  // the run ended early: the printer lacks the envelope's paper
};

// Records first..last in ascending order. With last at most 1 the canvas is printed as shown,
// without showing a record anew. A refused paper ends the run: every envelope has that size.
RunResult RunEnvelopes(PrinterDevice& device, const editor::EnvelopeModel& envelope, int first, int last,
                       const RunWindow& window, FontSizeCache* cache = nullptr);

// The records a run prints, in order: first..last, each `copies` times one after another.
std::vector<int> RunRecords(int first, int last, int copies);
// The run over those records; an envelope's number in messages is its place in the run.
RunResult RunEnvelopes(PrinterDevice& device, const editor::EnvelopeModel& envelope,
                       const std::vector<int>& records, const RunWindow& window,
                       FontSizeCache* cache = nullptr);

// The record numbers of a grid selection from row `row` to row `rowSel`, ascending.
std::pair<int, int> SelectedRecords(int row, int rowSel, int fixedRows);

}  // namespace print
