#include "data/ui/record_grid.h"

#include <QDate>
#include <QDir>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QTableView>

#include "common/numbers.h"
#include "common/prompts.h"
#include "data/csv_export.h"
#include "data/data_texts.h"
#include "data/show_record.h"
#include "data/ui/filter_bar.h"
#include "data/xlsx_export.h"

namespace data::ui {
namespace {

constexpr int kColumnWidthsTwips[kColumnCount] = {400, 800, 650, 6400};
// The editor is a little wider than its cell, so the cell's right border stays covered.
constexpr int kEditorExtraTwips = 10;

int Pixels(int twips) { return common::RoundToInt(double(twips) / editor::kTwipsPerPixel); }

// The design widths were made for a small bitmap font; in today's fonts a six-digit postcode or a
// seven-digit record number would be cut off, so a column is never narrower than its content needs.
int FittingWidth(const QTableView* msf, const QString& sample) {
  return msf->fontMetrics().horizontalAdvance(sample) +
         2 * msf->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 8;
}

void FitColumns(QTableView* msf, int recordCount) {
  const QString widestNumber(QString::number(std::max(recordCount, 1)).size(), u'0');
  const QString samples[kColumnCount] = {widestNumber, QString(), QStringLiteral("000000"), QString()};
  for (int c = 0; c < kColumnCount; ++c) {
    const int fitting = std::max(FittingWidth(msf, samples[c]), FittingWidth(msf, kHeaderTexts[c]));
    msf->setColumnWidth(c, std::max(Pixels(kColumnWidthsTwips[c]), fitting));
  }
}

}  // namespace

void InitRecordGrid(QTableView* msf, RecordTable* records) {
  msf->setModel(records);
  msf->setWordWrap(false);
  msf->setEditTriggers(QAbstractItemView::NoEditTriggers);  // TT edits, on a double-click
  msf->setSelectionMode(QAbstractItemView::ContiguousSelection);
  msf->setSelectionBehavior(QAbstractItemView::SelectItems);
  msf->verticalHeader()->hide();  // column 0 carries the record numbers
  msf->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  msf->verticalHeader()->setDefaultSectionSize(msf->fontMetrics().height() + 4);
  msf->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  msf->horizontalHeader()->setStretchLastSection(false);
  msf->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
  FitColumns(msf, records->recordCount());
}

RecordGrid::RecordGrid(const Widgets& widgets, RecordTable* records, editor::EnvelopeModel* envelope,
                       QObject* parent)
    : QObject(parent),
      msf_(widgets.msf),
      ns_(widgets.ns),
      num0_(widgets.num0),
      num1_(widgets.num1),
      tt_(widgets.tt),
      records_(records),
      envelope_(envelope),
      filterBar_(widgets.filterBar) {
  if (!tt_) {
    tt_ = new QLineEdit(msf_->viewport());
    tt_->setObjectName(QStringLiteral("TT"));
  }
  tt_->setParent(msf_->viewport());
  tt_->setFrame(false);
  tt_->hide();
  tt_->installEventFilter(this);
  msf_->installEventFilter(this);

  ns_->setRange(1, std::max(1, records_->recordCount()));
  ns_->setSingleStep(1);
  ns_->setPageStep(10);
  connect(ns_, &QScrollBar::valueChanged, this, &RecordGrid::NS_Change);

  connect(msf_, &QTableView::doubleClicked, this, &RecordGrid::BeginEdit);
  connect(msf_, &QTableView::pressed, this, &RecordGrid::EndEdit);
  connect(msf_->verticalScrollBar(), &QScrollBar::valueChanged, this, &RecordGrid::EndEdit);
  connect(msf_->horizontalScrollBar(), &QScrollBar::valueChanged, this, &RecordGrid::EndEdit);
  connect(records_, &QAbstractItemModel::modelAboutToBeReset, this, &RecordGrid::EndEdit);
  connect(tt_, &QLineEdit::textChanged, this, &RecordGrid::WriteBack);

  // Ctrl+Z anywhere on the grid tab; the editor TT keeps its own text undo while it has focus.
  auto* undo = new QShortcut(QKeySequence::Undo, msf_->parentWidget() ? msf_->parentWidget() : msf_);
  undo->setContext(Qt::WidgetWithChildrenShortcut);
  connect(undo, &QShortcut::activated, this, &RecordGrid::UndoDataCommand);

  msf_->horizontalHeader()->setSortIndicatorShown(false);
  connect(msf_->horizontalHeader(), &QHeaderView::sectionClicked, this, &RecordGrid::SortBy);
  connect(records_, &RecordTable::UndoStepsDropped, this, [this](int steps) { droppedSteps_ += steps; });
  if (filterBar_) {
    connect(filterBar_, &FilterBar::FilterEdited, this, &RecordGrid::ApplyFilter);
    connect(filterBar_, &FilterBar::FindRequested, this, &RecordGrid::Find);
    connect(records_, &RecordTable::FilterChanged, this, [this] { filterBar_->Show(records_->filter()); });
    auto* find = new QShortcut(QKeySequence::Find, msf_->parentWidget() ? msf_->parentWidget() : msf_);
    find->setContext(Qt::WidgetWithChildrenShortcut);
    connect(find, &QShortcut::activated, this, [this] {
      filterBar_->findField()->setFocus();
      filterBar_->findField()->selectAll();
    });
  }
}

void RecordGrid::ShowRecord() {
  const int count = records_->recordCount();
  if (count < 1) return;  // the canvas keeps what it shows
  const int k = ns_->value();
  num0_->setText(QString::number(k));
  num1_->setText(QString::number(ns_->maximum()));
  ShowRecordOn(*envelope_, k >= 1 && k <= count ? &records_->record(k) : nullptr);
}

void RecordGrid::RefreshNavigator(bool toFirstRecord) {
  const int count = records_->recordCount();
  if (count > 0) {
    InstallPostcodeCheck();
    const int numberWidth = FittingWidth(msf_, QString(QString::number(count).size(), u'0'));
    if (msf_->columnWidth(kNumberColumn) < numberWidth) msf_->setColumnWidth(kNumberColumn, numberWidth);
    ns_->setMaximum(count);
    if (toFirstRecord) ns_->setValue(1);
    NS_Change();
    return;
  }
  ns_->setRange(1, 1);
  ns_->setValue(1);
  // The canvas keeps the last envelope, but the counters must not promise records that are gone:
  // the print runs count on Num(1).
  num0_->setText(QStringLiteral("0"));
  num1_->setText(QStringLiteral("0"));
}

std::pair<int, int> RecordGrid::SelectedRows() const {
  const QModelIndex current = msf_->currentIndex();
  if (!current.isValid()) return {0, 0};
  const int row = current.row() + 1;
  for (const QItemSelectionRange& range : msf_->selectionModel()->selection()) {
    if (!range.contains(current)) continue;
    return {row, (range.top() == current.row() ? range.bottom() : range.top()) + 1};
  }
  return {row, row};
}

bool RecordGrid::Accepts(int index) const {
  const bool empty = records_->recordCount() == 0;
  // A filter that shows nothing leaves nothing to print, not even the envelope on the canvas.
  const bool printing = index == 0 || index == 1 || index == 14 || index == 15 || index == kPrintSelected;
  if (empty && records_->filtered() && printing) {
    common::prompts().Message(kNothingShownToPrint);
    return false;
  }
  if (empty && ((index >= kRemoveIncomplete && index <= kDeleteAll) || index == kExport)) return false;
  if (empty && index == kPrintSelected) {
    common::prompts().Message(kNoRecordsToPrint);
    return false;
  }
  return true;
}

bool RecordGrid::Run(int index, int rule) {
  switch (index) {
    case kRemoveIncomplete:
      RemoveIncompleteRecords(rule);
      return true;
    case kRemoveSpaces:
      RemoveSpaces();
      return true;
    case kRemoveLineBreaks:
      RemoveLineBreakMarks();
      return true;
    case kMergeDuplicates:
      MergeDuplicates();
      return true;
    case kDeleteAll:
      DeleteAllRecords();
      return true;
    case kDeleteSelected:
      DeleteSelectedRecords();
      return true;
    case kCompletePostcodes:
      CompletePostcodes();
      return true;
    case kExport:
      ExportRecords();
      return true;
    default:
      return false;
  }
}

void RecordGrid::AfterCommand(int index) {
  if ((index >= kImport && index <= kDeleteAll) || index == kDeleteSelected || index == kReimport)
    RefreshNavigator(index == kImport || index == kReimport);
  if (droppedSteps_ > 0) Report(QString());  // the import says nothing of its own
}

void RecordGrid::Report(const QString& text) {
  QString tip = text;
  if (records_->filtered())
    tip += QStringLiteral("  ") + kShownCount.arg(records_->recordCount()).arg(records_->totalCount());
  if (droppedSteps_ > 0) tip += kUndoStepsDropped.arg(droppedSteps_);
  droppedSteps_ = 0;
  emit Tip(tip.trimmed());
}

void RecordGrid::ShowCount() {
  emit Tip(kShownCount.arg(records_->recordCount()).arg(records_->totalCount()));
}

void RecordGrid::SortBy(int column) {
  EndEdit();
  if (records_->totalCount() == 0) return;
  sortDescending_ = column == sortColumn_ && !sortDescending_;
  sortColumn_ = column;
  records_->Sort(column, sortDescending_);
  msf_->horizontalHeader()->setSortIndicatorShown(true);
  msf_->horizontalHeader()->setSortIndicator(column,
                                             sortDescending_ ? Qt::DescendingOrder : Qt::AscendingOrder);
  RefreshNavigator(false);
  Report(kSortedTip.arg(QString(kHeaderTexts[column]).remove(QChar(0x3000)),
                        sortDescending_ ? kDescending : kAscending));
}

void RecordGrid::ApplyFilter(const RecordFilter& filter) {
  EndEdit();
  records_->SetFilter(filter);
  RefreshNavigator(true);
  ShowCount();
}

void RecordGrid::Find(const QString& text, bool backward) {
  if (text.isEmpty()) return;
  const QModelIndex current = msf_->currentIndex();
  const int row = records_->Find(current.isValid() ? current.row() : -1, text, backward);
  if (row < 0) {
    emit Tip(kNotFound.arg(text));
    return;
  }
  int column = kNumberColumn;
  for (int c = 0; c < kColumnCount; ++c)
    if (records_->cell(row + 1, c).contains(text, Qt::CaseInsensitive)) {
      column = c;
      break;
    }
  const QModelIndex found = records_->index(row, column);
  msf_->setCurrentIndex(found);
  msf_->scrollTo(found);
  ns_->setValue(row + 1);  // the canvas shows the record found
}

void RecordGrid::RemoveIncompleteRecords(int rule) {
  if (rule < 0 || rule > 2) {
    emit Tip(kNoRuleChosen);
    return;
  }
  const ChangeCounts done =
      records_->Modify([rule](std::vector<Record>& r) { data::RemoveIncomplete(r, Rule(rule)); });
  Report(kRemovedIncompleteDone.arg(done.removedRecords));
}

void RecordGrid::RemoveSpaces() {
  Report(kRemovedSpacesDone.arg(records_->ModifyCells(data::RemoveSpaces).changedCells));
}

void RecordGrid::RemoveLineBreakMarks() {
  Report(kRemovedLineBreaksDone.arg(records_->ModifyCells(data::RemoveLineBreakMarks).changedCells));
}

void RecordGrid::MergeDuplicates() {
  Report(kMergedDuplicatesDone.arg(records_->Modify(data::MergeDuplicates).removedRecords));
}

void RecordGrid::DeleteAllRecords() { Report(kDeletedAllDone.arg(records_->Clear().removedRecords)); }

void RecordGrid::DeleteSelectedRecords() {
  const auto [row, rowSel] = SelectedRows();
  if (row == 0) return;
  // With a filter the selected rows are not next to each other in the list.
  std::vector<int> indices;
  for (int k = std::min(row, rowSel); k <= std::max(row, rowSel); ++k)
    indices.push_back(records_->shownIndices().at(std::size_t(k - 1)));
  const ChangeCounts done =
      records_->Modify([&indices](std::vector<Record>& r) { data::DeleteRecordsAt(r, indices); });
  Report(kDeletedSelectedDone.arg(done.removedRecords));
}

void RecordGrid::CompletePostcodes() {
  std::optional<生成邮编::PostcodeTable> table = readTable_ ? readTable_() : std::nullopt;
  if (!table) {
    common::prompts().Message(kNoPostcodeTable);
    return;
  }
  auto index = std::make_shared<const 生成邮编::PostcodeIndex>(std::move(*table));
  生成邮编::CompletionCounts counts;
  if (records_->recordCount() > 0)
    records_->ModifyCells([&](std::vector<Record>& r) { counts = 生成邮编::CompletePostcodes(r, *index); });
  records_->SetPostcodeCheck(index);
  checkInstalled_ = true;
  NS_Change();
  Report(kCompletedPostcodesDone.arg(counts.filled).arg(counts.unrecognised));
}

void RecordGrid::UndoDataCommand() {
  EndEdit();
  if (!records_->Undo()) {
    emit Tip(kNothingToUndo);
    return;
  }
  msf_->horizontalHeader()->setSortIndicatorShown(false);
  sortColumn_ = -1;
  RefreshNavigator(false);
  Report(kUndoDone.arg(records_->undoSteps()));
}

bool RecordGrid::ExportRecords(Which which) {
  if ((which == Which::kAll ? records_->totalCount() : records_->recordCount()) == 0) return false;
  QString filter;
  QString path = common::prompts().SaveFileName(
      kExportTitle, kExportFilter + QStringLiteral(";;") + kExportXlsxFilter, &filter);
  if (path.isEmpty()) return false;
  const bool xlsx =
      path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive) || filter == kExportXlsxFilter;
  const QString suffix = xlsx ? QStringLiteral(".xlsx") : QStringLiteral(".csv");
  if (!path.endsWith(suffix, Qt::CaseInsensitive)) path += suffix;
  const CsvEncoding encoding =
      filter.contains(QStringLiteral("GB18030")) ? CsvEncoding::kGb18030 : CsvEncoding::kUtf8;
  const std::vector<Record> records = which == Which::kAll ? records_->records() : records_->shownRecords();
  const QString error =
      xlsx ? data::ExportRecordsXlsx(path, records) : data::ExportRecords(path, records, encoding);
  common::prompts().Message(error.isEmpty() ? kExportDone + QDir::toNativeSeparators(path)
                                            : kExportFailed + QDir::toNativeSeparators(path) +
                                                  QStringLiteral("\n") + error);
  return error.isEmpty();
}

void RecordGrid::InstallPostcodeCheck() {
  if (checkInstalled_ || !readTable_) return;
  checkInstalled_ = true;  // read once; a missing table leaves the check off
  if (std::optional<生成邮编::PostcodeTable> table = readTable_())
    records_->SetPostcodeCheck(std::make_shared<const 生成邮编::PostcodeIndex>(std::move(*table)));
}

void RecordGrid::BeginEdit() {
  const QModelIndex cell = msf_->currentIndex();
  if (!cell.isValid() || cell.column() == kNumberColumn) return;
  const QRect rect = msf_->visualRect(cell);
  tt_->setGeometry(rect.x(), rect.y(), rect.width() + Pixels(kEditorExtraTwips), rect.height());
  editRow_ = cell.row() + 1;
  editColumn_ = cell.column();
  tt_->show();
  tt_->setFocus();
  tt_->setText(records_->cell(editRow_, editColumn_));
}

void RecordGrid::EndEdit() {
  editRow_ = 0;
  if (tt_) tt_->hide();
}

void RecordGrid::WriteBack(const QString& text) {
  if (editRow_ < 1 || editRow_ > records_->recordCount()) return;
  records_->SetCell(editRow_, editColumn_, text);
  // Editing the record on the canvas updates the canvas with every keystroke.
  if (ns_->value() == editRow_) NS_Change();
}

bool RecordGrid::eventFilter(QObject* watched, QEvent* event) {
  if (watched == tt_ && event->type() == QEvent::FocusOut) {
    EndEdit();
  } else if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (watched == msf_ && (enter || key == Qt::Key_F2) && !tt_->isVisible()) {
      BeginEdit();
      return true;
    }
    if (watched == tt_ && (enter || key == Qt::Key_Escape)) {
      EndEdit();
      msf_->setFocus();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace data::ui
