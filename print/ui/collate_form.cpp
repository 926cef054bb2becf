#include "print/ui/collate_form.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>

#include "common/prompts.h"
#include "print/calibration.h"
#include "print/pdf_printer.h"
#include "print/print_texts.h"
#include "print/ui/print_command.h"

namespace print {
namespace {

// Image1: the corner of a sheet with the square and the two margins to measure.
QPixmap CalibrationPicture() {
  QPixmap picture(180, 180);
  picture.fill(Qt::white);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::gray, 1));
  p.drawLine(10, 10, 170, 10);  // the paper's top and left edges
  p.drawLine(10, 10, 10, 170);
  p.fillRect(70, 70, 50, 50, Qt::black);
  p.setPen(QPen(QColor(0, 90, 200), 1, Qt::DashLine));
  p.drawLine(12, 95, 68, 95);  // horizontal margin
  p.drawLine(95, 12, 95, 68);  // vertical margin
  return picture;
}

}  // namespace

CollateForm::CollateForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("CollateForm"));
  setWindowTitle(kCollateCaption);
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  auto* instruction = new QLabel(kCollateInstruction, this);
  instruction->setObjectName(QStringLiteral("Label2"));
  instruction->setWordWrap(true);
  auto* image = new QLabel(this);
  image->setObjectName(QStringLiteral("Image1"));
  image->setPixmap(CalibrationPicture());

  textX_ = new QLineEdit(this);
  textX_->setObjectName(QStringLiteral("TextX"));
  textY_ = new QLineEdit(this);
  textY_->setObjectName(QStringLiteral("TextY"));
  printerLabel_ = new QLabel(this);
  printerLabel_->setObjectName(QStringLiteral("PrinterName"));
  for (QLineEdit* box : {textX_, textY_}) box->installEventFilter(this);

  auto* ok = new QPushButton(kCollateOk, this);
  ok->setObjectName(QStringLiteral("COM0"));
  auto* cancel = new QPushButton(kCollateCancel, this);
  cancel->setObjectName(QStringLiteral("COM1"));
  connect(ok, &QPushButton::clicked, this, &CollateForm::Confirm);
  connect(cancel, &QPushButton::clicked, this, &CollateForm::Cancel);

  auto* fields = new QGridLayout;
  fields->addWidget(new QLabel(kMoveLeft, this), 0, 0);
  fields->addWidget(textX_, 0, 1);
  fields->addWidget(new QLabel(kHorizontalMargin, this), 0, 2);
  fields->addWidget(new QLabel(kMoveUp, this), 1, 0);
  fields->addWidget(textY_, 1, 1);
  fields->addWidget(new QLabel(kVerticalMargin, this), 1, 2);
  auto* left = new QVBoxLayout;
  left->addWidget(instruction);
  left->addWidget(printerLabel_);
  left->addLayout(fields);
  auto* top = new QHBoxLayout;
  top->addLayout(left, 1);
  top->addWidget(image);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(buttons);
  setMinimumWidth(560);
  SetPrinter(EffectivePrinterName());
}

void CollateForm::SetPrinter(const QString& printer) {
  if (!printer_.isNull() && printer == printer_) return;
  printer_ = printer;
  printerLabel_->setText(kCollatePrinter.arg(printer));
  const std::optional<QPointF> stored = StoredMargins(printer);
  textX_->setText(MarginShown(stored ? std::optional(stored->x()) : std::nullopt));
  textY_->setText(MarginShown(stored ? std::optional(stored->y()) : std::nullopt));
}

bool CollateForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && (watched == textX_ || watched == textY_)) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    // Keys that type nothing (arrows, Tab, Backspace, Enter) keep their meaning.
    if (key->key() == Qt::Key_Backspace || text.isEmpty() || !text.at(0).isPrint()) return false;
    if (text.size() == 1 && MarginKeyAllowed(text.at(0))) return false;
    common::prompts().Message(kDigitsOnly);
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void CollateForm::Confirm() {
  StoreMargins(printer_, textX_->text(), textY_->text());
  hide();
  emit marginsStored();
}

void CollateForm::Cancel() { hide(); }

CollateForm& CollateForm::Instance(QWidget* parent) {
  static QPointer<CollateForm> form;
  if (!form) form = new CollateForm(parent);
  return *form;
}

QString CalibratePrinter(QWidget* parent) {
  const QString printer = EffectivePrinterName();
  if (IsPdfPrinter(printer)) {
    common::prompts().Message(kPdfNeedsNoCalibration);
    return {};
  }
  QString tip;
  if (AskForCalibrationFigure()) {
    if (auto command = PrintCommand::Open(QStringLiteral("校准"))) {
      PrintCalibrationSquare(command->device());
      tip = command->Finish();
    }
  }
  CollateForm& form = CollateForm::Instance(parent);
  form.SetPrinter(printer);
  form.show();
  form.raise();
  form.activateWindow();
  return tip;
}

}  // namespace print
