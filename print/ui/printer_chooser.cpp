#include "print/ui/printer_chooser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/prompts.h"
#include "print/current_printer.h"
#include "print/pdf_printer.h"
#include "print/print_texts.h"
#include "print/ui/print_command.h"
#include "store/registry.h"

namespace print {

PrnSel::PrnSel(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("PrnSel"));
  setWindowTitle(kChoosePrinterCaption);
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  com_ = new QComboBox(this);
  com_->setObjectName(QStringLiteral("Com"));
  // Editable only so that a stored name that is no longer installed can still be shown; the
  // keys are all discarded, so the text changes only by picking from the list.
  com_->setEditable(true);
  com_->lineEdit()->setReadOnly(true);
  com_->installEventFilter(this);
  com_->lineEdit()->installEventFilter(this);
  com_->setMinimumWidth(320);
  com_->addItems(PrinterNames());
  QString text = EffectivePrinterName();
  const QString stored = Registry::GetSetting(Registry::kCollateSection, kPrinterKey);
  if (!stored.isEmpty()) text = stored;
  com_->setCurrentText(text);

  // Only the PDF printer makes envelope-size pages.
  envelopePages_ = new QCheckBox(kEnvelopePagesCaption, this);
  envelopePages_->setObjectName(QStringLiteral("EnvelopePages"));
  envelopePages_->setChecked(EnvelopePagesChosen());
  const auto showPdfChoice = [this] { envelopePages_->setVisible(IsPdfPrinter(com_->currentText())); };
  connect(com_, &QComboBox::currentTextChanged, this, showPdfChoice);
  showPdfChoice();

  ok_ = new QPushButton(kChooserOk, this);
  ok_->setObjectName(QStringLiteral("CM0"));
  ok_->setDefault(true);
  cancel_ = new QPushButton(kChooserCancel, this);
  cancel_->setObjectName(QStringLiteral("CM1"));
  connect(ok_, &QPushButton::clicked, this, &PrnSel::Confirm);
  connect(cancel_, &QPushButton::clicked, this, &PrnSel::Cancel);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(com_);
  layout->addWidget(envelopePages_);
  layout->addLayout(buttons);
}

bool PrnSel::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
    // Enter and Esc still answer the window; nothing else reaches the combo box.
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key != Qt::Key_Escape && key != Qt::Key_Return && key != Qt::Key_Enter;
  }
  if (event->type() == QEvent::InputMethod) return true;
  return QDialog::eventFilter(watched, event);
}

void PrnSel::Confirm() {
  SetChosenPrinterName(QString());
  const QString text = com_->currentText();
  if (IsPdfPrinter(text))
    Registry::SaveSetting(Registry::kCollateSection, kEnvelopePagesKey,
                          envelopePages_->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
  if (PrinterNames().contains(text)) {
    Registry::SaveSetting(Registry::kCollateSection, kPrinterKey, text);
    SetCurrentPrinterName(text);
  }
  if (PrinterReachable(EffectivePrinterName())) {
    SetChosenPrinterName(text);
  } else {
    common::prompts().Message(kNotConnected);
  }
  accept();
}

void PrnSel::Cancel() {
  SetChosenPrinterName(QString());
  reject();
}

QString ChoosePrinter(QWidget* parent) {
  SetChosenPrinterName(QString());
  PrnSel chooser(parent);
  chooser.exec();
  return ChosenPrinterName();
}

}  // namespace print
