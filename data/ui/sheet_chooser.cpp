#include "data/ui/sheet_chooser.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/prompts.h"
#include "data/import_state.h"
#include "data/import_texts.h"
#include "data/workbook.h"

namespace data {
namespace {

using namespace Qt::Literals::StringLiterals;

enum SheetColumn : int { kNumber = 0, kTick = 1, kName = 2 };
constexpr int kTwipsPerPixel = 15;

}  // namespace

Sheets::Sheets(int selectionMode, QWidget* parent) : QDialog(parent), selectionMode_(selectionMode) {
  setObjectName(u"Sheets"_s);
  setWindowTitle(texts::kSheetsCaption);
  setWindowFlag(Qt::WindowStaysOnTopHint);
  setWindowModality(Qt::ApplicationModal);

  list_ = new QTableWidget(0, 3);
  list_->setObjectName(u"SHL"_s);
  list_->setHorizontalHeaderLabels(
      {texts::kSheetNumberHeader, texts::kSheetTickHeader, texts::kSheetNameHeader});
  list_->verticalHeader()->hide();
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setSelectionMode(QAbstractItemView::NoSelection);
  const int widths[] = {500, 600, 4400};
  for (int c = 0; c < 3; ++c) list_->setColumnWidth(c, widths[c] / kTwipsPerPixel);
  list_->horizontalHeader()->setStretchLastSection(true);
  list_->setMinimumWidth((500 + 600 + 4400) / kTwipsPerPixel + 4);
  connect(list_, &QTableWidget::cellPressed, this, [this](int row, int) { PressRow(row); });

  ok_ = new QPushButton(texts::kSheetsOk);
  ok_->setObjectName(u"IMG(0)"_s);
  cancel_ = new QPushButton(texts::kSheetsCancel);
  cancel_->setObjectName(u"IMG(1)"_s);
  connect(ok_, &QPushButton::clicked, this, [this] { Finish(true); });
  connect(cancel_, &QPushButton::clicked, this, [this] { Finish(false); });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(texts::kSheetsInstruction));
  layout->addWidget(list_, 1);
  layout->addLayout(buttons);
  adjustSize();
  if (const QScreen* screen = this->screen())
    move(screen->geometry().center() - QPoint(width() / 2, height() / 2));

  QStringList names;
  if (ReadSheetNames(importState().file, names) != 0) {
    common::prompts().Message(texts::kCannotListSheets);
    return;
  }
  listed_ = true;
  list_->setRowCount(int(names.size()));
  for (int r = 0; r < names.size(); ++r) {
    list_->setItem(r, kNumber, new QTableWidgetItem(QString::number(r + 1)));
    auto* tick = new QTableWidgetItem(r == 0 ? texts::kTick : QString());
    tick->setTextAlignment(Qt::AlignCenter);
    list_->setItem(r, kTick, tick);
    list_->setItem(r, kName, new QTableWidgetItem(names[r]));
  }
}

void Sheets::PressRow(int row) {
  if (row < 0 || row >= list_->rowCount()) return;
  const bool ticked = !list_->item(row, kTick)->text().isEmpty();
  for (int r = 0; r < list_->rowCount(); ++r) list_->item(r, kTick)->setText(QString());
  if (!ticked) list_->item(row, kTick)->setText(texts::kTick);
}

void Sheets::Finish(bool ok) {
  QStringList ticked;
  for (int r = 0; ok && r < list_->rowCount(); ++r)
    if (!list_->item(r, kTick)->text().isEmpty()) ticked << list_->item(r, kName)->text();
  importState().sheet = ticked.join(texts::kSheetJoiner);
  ok ? accept() : reject();
}

}  // namespace data
