#pragma once
// The "打印预览" window: the page the next envelope print would produce on the current printer,
// drawn by the printing code itself, with the envelope's outline. It follows the canvas: a
// change of a box, a size or an option redraws it.

#include <QDialog>

#include "editor/envelope_model.h"
#include "print/preview.h"

class QLabel;

namespace print {

// What the preview needs to know of the current printer.
PreviewTarget CurrentPreviewTarget();

class PreviewWindow : public QDialog {
  Q_OBJECT

 public:
  PreviewWindow(const editor::EnvelopeModel& envelope, QWidget* parent);

  void Redraw();
  const Preview& preview() const { return preview_; }

 private:
  void FitOnScreen();

  const editor::EnvelopeModel& envelope_;
  QLabel* page_;
  QLabel* caption_;
  Preview preview_;
};

}  // namespace print
