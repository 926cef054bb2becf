#pragma once
// The "打印预览" window: the page the next envelope print would produce on the current printer,
// drawn by the printing code itself, with the envelope's outline. It follows the canvas: a
// change of a box, a size or an option redraws it. It opens with the whole page in view; the
// page can be fitted to the width and zoomed, and a run of envelopes is paged through.

#include <QDialog>
#include <array>
#include <functional>

#include "editor/envelope_model.h"
#include "print/preview.h"

class QLabel;
class QPushButton;
class QScrollArea;

namespace print {

// What the preview needs to know of the current printer.
PreviewTarget CurrentPreviewTarget();

// The envelopes a run would print, one page each: `count` of them, `current` shown; `show`
// puts envelope n on the canvas (which the preview follows). A single envelope has no pages
// to turn.
struct PreviewPages {
  int count = 1;
  int current = 1;
  std::function<void(int)> show;
};

class PreviewWindow : public QDialog {
  Q_OBJECT

 public:
  PreviewWindow(const editor::EnvelopeModel& envelope, QWidget* parent, PreviewPages pages = {});

  void Redraw();
  const Preview& preview() const { return preview_; }

  // Fit the whole page, fit its width, or zoom by steps; the window opens fitted to the page.
  void FitPage();
  void FitWidth();
  void ZoomIn();
  void ZoomOut();
  // The shown page's size on the screen in pixels, to the page's own at `dpi` pixels per inch.
  double zoom() const { return zoom_; }
  QScrollArea* scrollArea() const { return scroll_; }
  QLabel* pageLabel() const { return page_; }
  QLabel* pageNumber() const { return pageNumber_; }
  void ShowPage(int n);
  int currentPage() const { return pages_.current; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class Fit { kPage, kWidth, kNone };
  void FitOnScreen();
  void ShowZoomed();
  void SetZoom(double zoom);

  const editor::EnvelopeModel& envelope_;
  PreviewPages pages_;
  QScrollArea* scroll_;
  QLabel* page_;
  QLabel* caption_;
  QLabel* pageNumber_;
  std::array<QPushButton*, 4> turn_{};  // first, previous, next, last
  Preview preview_;
  Fit fit_ = Fit::kPage;
  double zoom_ = 1;
};

}  // namespace print
