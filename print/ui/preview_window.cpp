#include "print/ui/preview_window.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

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
  target.unprintable = DriverMargins(printer, info, QPageSize::A4, QPageLayout::Portrait);
  target.takesA3 = PrinterTakes(info, QPageSize::A3);
  return target;
}

PreviewWindow::PreviewWindow(const editor::EnvelopeModel& envelope, QWidget* parent)
    : QDialog(parent), envelope_(envelope) {
  setObjectName(QStringLiteral("PreviewWindow"));
  setWindowTitle(kPreviewCaption);
  page_ = new QLabel(this);
  page_->setAlignment(Qt::AlignCenter);
  auto* scroll = new QScrollArea(this);
  scroll->setWidget(page_);
  scroll->setWidgetResizable(true);
  scroll->setBackgroundRole(QPalette::Dark);
  caption_ = new QLabel(this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(scroll, 1);
  layout->addWidget(caption_);
  FitOnScreen();
  connect(&envelope_, &editor::EnvelopeModel::boxChanged, this, &PreviewWindow::Redraw);
  connect(&envelope_, &editor::EnvelopeModel::sizeChanged, this, &PreviewWindow::Redraw);
  connect(&envelope_, &editor::EnvelopeModel::canvasChanged, this, &PreviewWindow::Redraw);
  connect(&envelope_, &editor::EnvelopeModel::optionsChanged, this, &PreviewWindow::Redraw);
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

void PreviewWindow::Redraw() {
  const PreviewTarget target = CurrentPreviewTarget();
  const PrinterOffsets offsets = ReadPrinterOffsets(target.printerName);
  preview_ = RenderPreview(envelope_, target, offsets, RotationDpi(), kPreviewDpi);
  page_->setPixmap(QPixmap::fromImage(preview_.page));
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
