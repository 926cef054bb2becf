#pragma once
// The envelope print commands as the main window starts them, after the printer chooser: the
// shown envelope, a run over records with its "n / m" progress and a stop button (Esc too),
// and the preview.

#include <functional>

#include "editor/envelope_model.h"
#include "print/ui/preview_window.h"

class QWidget;

namespace print {

// Command 0: prints the envelope on the canvas once. Returns the tip-line text (the PDF file
// written), or an empty text.
QString PrintShownEnvelope(const editor::EnvelopeModel& envelope, int envelopeNumber);

// Commands 1 and 16: records first..last, each shown with `showRecord` before it is printed.
// The window stays responsive; the run can be stopped between envelopes. A second run cannot
// start while one goes on. Returns the tip-line text.
QString RunEnvelopeCommand(QWidget* window, const editor::EnvelopeModel& envelope, int first, int last,
                           const std::function<void(int)>& showRecord, int copies = 1);

// Lets the window process pending messages n times.
void YieldTimes(int n);

// "打印预览": what the next envelope print would put on the paper of the current printer.
void ShowPreview(QWidget* window, const editor::EnvelopeModel& envelope, PreviewPages pages = {});

}  // namespace print
