#include "print/ui/preview_window.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "common/numbers.h"
#include "print/pdf_device.h"
#include "print/pdf_printer.h"
#include "print/print_texts.h"
#include "print/rotated_renderer.h"
#include "print/ui/print_command.h"
#include "print/ui/system_printer_device.h"

namespace print {
namespace {

constexpr double kPreviewDpi = 100;

}  // namespace

PreviewTarget CurrentPreviewTarget() {
  PreviewTarget target;
  target.printerName = EffectivePrinterName();
  if (IsPdfPrinter(target.printerName)) {
    target.resolution = PdfDevice::kResolution;
    return target;
  }
  const QPrinterInfo info = QPrinterInfo::printerInfo(target.printerName);
  if (info.isNull()) return target;
  QPrinter printer(info, QPrinter::HighResolution);
  target.resolution = printer.resolution();
  target.unprintable = DriverMargins(printer, QPageSize(QPageSize::A4), QPageLayout::Portrait);
  target.takesA3 = PrinterTakes(info, QPageSize::A3);
  return target;
}

PreviewWindow::PreviewWindow(const editor::EnvelopeModel& envelope, QWidget* parent, PreviewPages pages)
    : QDialog(parent), envelope_(envelope), pages_(std::move(pages)) {
  setObjectName(QStringLiteral("PreviewWindow"));
  setWindowTitle(kPreviewCaption);
  page_ = new QLabel(this);
  page_->setAlignment(Qt::AlignCenter);
  scroll_ = new QScrollArea(this);
  scroll_->setWidget(page_);
  scroll_->setWidgetResizable(true);
  scroll_->setAlignment(Qt::AlignCenter);
  scroll_->setBackgroundRole(QPalette::Dark);
  scroll_->viewport()->installEventFilter(this);  // Ctrl+wheel zooms
  caption_ = new QLabel(this);
  caption_->setWordWrap(true);

  auto* tools = new QHBoxLayout;
  const auto button = [this, tools](const QString& text, auto slot) {
    auto* b = new QPushButton(text, this);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, slot);
    tools->addWidget(b);
    return b;
  };
  button(kFitPage, &PreviewWindow::FitPage);
  button(kFitWidth, &PreviewWindow::FitWidth);
  button(kZoomIn, &PreviewWindow::ZoomIn);
  button(kZoomOut, &PreviewWindow::ZoomOut);
  tools->addStretch();
  turn_[0] = button(kFirstPage, [this] { ShowPage(1); });
  turn_[1] = button(kPreviousPage, [this] { ShowPage(pages_.current - 1); });
  pageNumber_ = new QLabel(this);
  tools->addWidget(pageNumber_);
  turn_[2] = button(kNextPage, [this] { ShowPage(pages_.current + 1); });
  turn_[3] = button(kLastPage, [this] { ShowPage(pages_.count); });
  for (const QKeySequence& keys :
       {QKeySequence(QKeySequence::ZoomIn), QKeySequence(Qt::CTRL | Qt::Key_Equal)})
    connect(new QShortcut(keys, this), &QShortcut::activated, this, &PreviewWindow::ZoomIn);
  connect(new QShortcut(QKeySequence::ZoomOut, this), &QShortcut::activated, this, &PreviewWindow::ZoomOut);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(tools);
  layout->addWidget(scroll_, 1);
  layout->addWidget(caption_);
  FitOnScreen();
  connect(&envelope_, &editor::EnvelopeModel::boxChanged, this, &PreviewWindow::Redraw);
  connect(&envelope_, &editor::EnvelopeModel::sizeChanged, this, &PreviewWindow::Redraw);
  connect(&envelope_, &editor::EnvelopeModel::canvasChanged, this, &PreviewWindow::Redraw);
  connect(&envelope_, &editor::EnvelopeModel::optionsChanged, this, &PreviewWindow::Redraw);
  ShowPage(pages_.current);
  Redraw();
}

void PreviewWindow::FitOnScreen() {
  // Room for the window's frame and caption on every side, so that a 1366 x 768 screen shows
  // the whole window with its title bar.
  constexpr int kFrame = 40;
  const QScreen* s = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
  const QRect room =
      s ? s->availableGeometry().adjusted(kFrame, kFrame, -kFrame, -kFrame) : QRect(0, 0, 900, 800);
  resize(std::min(900, room.width()), std::min(800, room.height()));
  move(room.center() - QPoint(width() / 2, height() / 2));
}

void PreviewWindow::ShowPage(int n) {
  n = std::clamp(n, 1, std::max(1, pages_.count));
  pages_.current = n;
  pageNumber_->setText(kPageOf.arg(n).arg(std::max(1, pages_.count)));
  turn_[0]->setEnabled(n > 1);
  turn_[1]->setEnabled(n > 1);
  turn_[2]->setEnabled(n < pages_.count);
  turn_[3]->setEnabled(n < pages_.count);
  if (pages_.show) pages_.show(n);  // the canvas changes, and the preview with it
}

void PreviewWindow::FitPage() {
  fit_ = Fit::kPage;
  ShowZoomed();
}

void PreviewWindow::FitWidth() {
  fit_ = Fit::kWidth;
  ShowZoomed();
}

void PreviewWindow::ZoomIn() { SetZoom(zoom_ * 1.25); }

void PreviewWindow::ZoomOut() { SetZoom(zoom_ / 1.25); }

void PreviewWindow::SetZoom(double zoom) {
  fit_ = Fit::kNone;
  zoom_ = std::clamp(zoom, 0.05, 8.0);
  ShowZoomed();
}

void PreviewWindow::ShowZoomed() {
  if (preview_.page.isNull()) {
    page_->setPixmap(QPixmap());
    return;
  }
  const QSize image = preview_.page.size();
  // The room inside the scroll area, less a scroll bar's width where one will show.
  const QSize room = scroll_->viewport()->size() - QSize(4, 4);
  if (fit_ == Fit::kPage) {
    zoom_ = std::min(double(room.width()) / image.width(), double(room.height()) / image.height());
  } else if (fit_ == Fit::kWidth) {
    zoom_ = double(room.width()) / image.width();
    // A page taller than the room makes the vertical bar show; its width is kept free for it.
    QScrollBar* bar = scroll_->verticalScrollBar();
    if (image.height() * zoom_ > room.height() && !bar->isVisible())
      zoom_ = double(room.width() - bar->sizeHint().width()) / image.width();
  }
  zoom_ = std::max(zoom_, 0.01);
  const QSize shown = (QSizeF(image) * zoom_).toSize().expandedTo({1, 1});
  page_->setPixmap(
      QPixmap::fromImage(preview_.page.scaled(shown, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

bool PreviewWindow::eventFilter(QObject* watched, QEvent* event) {
  // A fitted page follows the room it has.
  if (watched == scroll_->viewport() && event->type() == QEvent::Resize && fit_ != Fit::kNone) ShowZoomed();
  if (watched == scroll_->viewport() && event->type() == QEvent::Wheel) {
    const auto* wheel = static_cast<QWheelEvent*>(event);
    if (wheel->modifiers() & Qt::ControlModifier) {
      const int steps = wheel->angleDelta().y();
      if (steps > 0) ZoomIn();
      if (steps < 0) ZoomOut();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void PreviewWindow::Redraw() {
  const PreviewTarget target = CurrentPreviewTarget();
  const PrinterOffsets offsets = ReadPrinterOffsets(target.printerName);
  preview_ = RenderPreview(envelope_, target, offsets, RotationDpi(), kPreviewDpi);
  ShowZoomed();
  if (preview_.paperRefused) {
    caption_->setText(PaperRefusedText(target.printerName, envelope_.W(), envelope_.H()));
    return;
  }
  caption_->setText(kPreviewDetails.arg(target.printerName)
                        .arg(common::NumberText(common::RoundToHundredths(preview_.paper.width())))
                        .arg(common::NumberText(common::RoundToHundredths(preview_.paper.height())))
                        .arg(common::NumberText(offsets.x))
                        .arg(common::NumberText(offsets.y)));
}

}  // namespace print
