#include "data/ui/import_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "common/numbers.h"
#include "common/prompts.h"
#include "data/csv_reader.h"
#include "data/import_state.h"
#include "data/import_texts.h"
#include "data/ui/recent_imports.h"
#include "data/workbook.h"
#include "data/workbook_import.h"
#include "store/registry.h"

namespace data {
namespace {

using namespace Qt::Literals::StringLiterals;

// Grid widths are given in twips; the screen has 15 twips to a pixel.
constexpr int kTwipsPerPixel = 15;

QLineEdit* Box(const QString& text, const QString& tip = QString()) {
  auto* box = new QLineEdit(text);
  box->setToolTip(tip);
  return box;
}

// An empty box is row 0.
int RowNumber(const QLineEdit* box) { return common::RoundToInt(common::Val(box->text())); }

}  // namespace

fOpen::fOpen(RecordTable& grid, QWidget* parent) : QDialog(parent), grid_(grid) {
  setObjectName(u"fOpen"_s);
  setWindowTitle(texts::kImportCaption);
  setWindowFlag(Qt::WindowStaysOnTopHint);
  // The main window stays disabled while the dialog is open.
  setWindowModality(Qt::ApplicationModal);

  boxes_ = {Box(u"2"_s), Box(u"A"_s, texts::kRecipientTip), Box(u"B"_s, texts::kPostcodeTip),
            Box(u"C"_s, texts::kAddressTip), Box(u"10"_s)};
  for (int i = 2; i <= 6; ++i) {
    TT(i)->setObjectName(u"TT(%1)"_s.arg(i));
    TT(i)->installEventFilter(this);
  }
  // Row numbers: digits only; anything else typed is dropped.
  for (int i : {2, 6})
    TT(i)->setValidator(new QRegularExpressionValidator(QRegularExpression(u"[0-9]*"_s), TT(i)));

  auto* rows = new QGroupBox(texts::kRowFrame);
  rows->setObjectName(u"Frame2"_s);
  auto* rowForm = new QFormLayout(rows);
  rowForm->addRow(texts::kStartRowLabel, TT(2));
  rowForm->addRow(texts::kEndRowLabel, TT(6));
  dataRowsLabel_ = new QLabel;
  dataRowsLabel_->setObjectName(u"DataRows"_s);
  rowForm->addRow(QString(), dataRowsLabel_);
  connect(TT(6), &QLineEdit::textEdited, this, [this] { endRowTyped_ = true; });

  auto* mapping = new QGroupBox(texts::kMappingFrame);
  mapping->setObjectName(u"Frame1"_s);
  auto* mappingForm = new QFormLayout(mapping);
  mappingForm->addRow(texts::kRecipientLabel, TT(3));
  mappingForm->addRow(texts::kPostcodeLabel, TT(4));
  mappingForm->addRow(texts::kAddressLabel, TT(5));

  filter_ = new QCheckBox(texts::kFilterLineBreaks);
  filter_->setObjectName(u"CHK"_s);

  preview_ = new QTableWidget(kPreviewRows, kPreviewColumns);
  preview_->setObjectName(u"MSF"_s);
  preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  preview_->verticalHeader()->setFixedWidth(300 / kTwipsPerPixel);
  preview_->setMinimumSize(560, 260);

  ok_ = new QPushButton(texts::kImportOk);
  ok_->setObjectName(u"COM(0)"_s);
  cancel_ = new QPushButton(texts::kImportCancel);
  cancel_->setObjectName(u"COM(1)"_s);
  connect(ok_, &QPushButton::clicked, this, &fOpen::Accept);
  connect(cancel_, &QPushButton::clicked, this, &fOpen::reject);

  auto* parameters = new QHBoxLayout;
  parameters->addWidget(rows);
  parameters->addWidget(mapping, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(filter_);
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  recent_ = new QComboBox;
  recent_->setObjectName(u"Recent"_s);
  recent_->addItem(texts::kRecentPlaceholder);
  for (const RecentImport& r : RecentImports()) {
    const QFileInfo file(r.file);
    recent_->addItem(r.sheet.isEmpty() ? file.fileName() : file.fileName() + u" – "_s + r.sheet);
    recent_->setItemData(recent_->count() - 1, r.file, Qt::ToolTipRole);
    if (!file.exists())  // greyed and not selectable
      if (auto* model = qobject_cast<QStandardItemModel*>(recent_->model()))
        model->item(recent_->count() - 1)->setEnabled(false);
  }
  connect(recent_, &QComboBox::activated, this, &fOpen::ChooseRecent);
  auto* recentRow = new QHBoxLayout;
  recentRow->addWidget(new QLabel(texts::kRecentLabel));
  recentRow->addWidget(recent_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(recentRow);
  layout->addLayout(parameters);
  layout->addWidget(new QLabel(texts::kPreviewLabel));
  layout->addWidget(preview_, 1);
  layout->addLayout(buttons);

  adjustSize();
  if (const QScreen* screen = this->screen())
    move(screen->geometry().center() - QPoint(width() / 2, height() / 2));

  DisplayXls();
  for (int i = 2; i <= 6; ++i) {
    const QString stored = Registry::GetSetting(Registry::kOpenParaSection, QString::number(i));
    if (!stored.isEmpty()) TT(i)->setText(stored);
  }
  endRowTyped_ = !Registry::GetSetting(Registry::kOpenParaSection, u"6"_s).isEmpty();
  if (!endRowTyped_ && dataRows_ > 0) TT(6)->setText(QString::number(dataRows_));
}

void fOpen::DisplayXls() {
  preview_->clearContents();
  QStringList letters;
  for (int c = 1; c <= kPreviewColumns; ++c) letters << QString(QChar(u'A' + c - 1));
  preview_->setHorizontalHeaderLabels(letters);

  dataRows_ = 0;
  dataRowsLabel_->clear();
  ImportState& state = importState();
  PreviewCells cells;
  if (IsCsvPath(state.file)) {
    cells = PreviewCsv(state.file, &dataRows_);
  } else if (!IsWorkbookPath(state.file)) {
    common::prompts().Message(texts::kUnsupportedFile);
    state.file.clear();
    return;
  } else if (PreviewWorkbook(state.file, state.sheet, cells, &dataRows_) != 0) {
    return;
  }
  dataRowsLabel_->setText(texts::kDataRows.arg(dataRows_));
  for (int r = 0; r < kPreviewRows; ++r)
    for (int c = 0; c < kPreviewColumns; ++c)
      if (!cells[r][c].isEmpty()) preview_->setItem(r, c, new QTableWidgetItem(cells[r][c]));
}

bool fOpen::eventFilter(QObject* watched, QEvent* event) {
  // A box that receives the focus has its whole text selected, ready to be typed over.
  if (event->type() == QEvent::FocusIn)
    if (auto* box = qobject_cast<QLineEdit*>(watched)) QTimer::singleShot(0, box, &QLineEdit::selectAll);
  return QDialog::eventFilter(watched, event);
}

void fOpen::Accept() {
  const ImportState& state = importState();
  const bool importing = (!state.file.isEmpty() && !state.sheet.isEmpty()) || IsCsvPath(state.file);
  const int start = RowNumber(TT(2));
  const int end = TT(6)->text().isEmpty() ? dataRows_ : RowNumber(TT(6));
  if (importing && qint64(end) < qint64(start) - 1) {
    common::prompts().Message(texts::kEndBeforeStart);
    return;
  }
  if (importing && qint64(end) - qint64(start) + 1 > kMaxImportRows) {
    common::prompts().Message(texts::kRangeTooLarge);
    return;
  }
  for (int i = 2; i <= 5; ++i)
    Registry::SaveSetting(Registry::kOpenParaSection, QString::number(i), TT(i)->text());
  // An end row that only followed this file's data is not carried over to the next file.
  Registry::SaveSetting(Registry::kOpenParaSection, u"6"_s, endRowTyped_ ? TT(6)->text() : QString());
  if (importing) Import(start, end);
  accept();
}

void fOpen::Import(int start, int end) {
  ImportState& state = importState();
  state.expressions = {TT(3)->text(), TT(4)->text(), TT(5)->text()};
  const bool filter = filter_->isChecked();
  const RecentImport asTyped{
      state.file,        state.sheet, start, endRowTyped_ ? std::optional(end) : std::nullopt,
      state.expressions, filter};
  bool imported = false;
  if (IsCsvPath(state.file)) {
    imported = ImportCsv(grid_, state.file, start, end, state.expressions, filter);
    if (!imported) common::prompts().Message(texts::kCsvUnreadable);
  } else if (IsWorkbookPath(state.file)) {
    imported = ImportWorkbook(grid_, state.file, state.sheet, start, end, state.expressions, filter) == 0;
  }
  if (imported) RememberImport(asTyped);
}

void fOpen::ChooseRecent(int index) {
  const std::vector<RecentImport> recent = RecentImports();
  if (index < 1 || index > int(recent.size())) return;
  const RecentImport& r = recent[std::size_t(index - 1)];
  ImportState& state = importState();
  state.file = r.file;
  state.sheet = r.sheet;
  TT(2)->setText(QString::number(r.start));
  for (int i = 0; i < 3; ++i) TT(3 + i)->setText(r.expressions[i]);
  filter_->setChecked(r.filterLineBreaks);
  DisplayXls();
  endRowTyped_ = r.end.has_value();
  TT(6)->setText(r.end ? QString::number(*r.end) : QString::number(dataRows_));
}

}  // namespace data
