#include "data/record_table.h"

#include <QColor>
#include <numeric>

#include "common/prefetch.h"
#include "data/data_texts.h"
#include "data/postcodes.h"
#include "data/record_view.h"

namespace data {

RecordTable::RecordTable(QObject* parent)
    : QAbstractTableModel(parent), filter_(std::make_unique<RecordFilter>()) {}

RecordTable::~RecordTable() = default;

namespace {

constexpr int kFields[] = {kNameColumn, kPostcodeColumn, kAddressColumn};

bool SameFields(const Record& a, const Record& b) {
  return a.postcodeGenerated == b.postcodeGenerated && a[kNameColumn] == b[kNameColumn] &&
         a[kPostcodeColumn] == b[kPostcodeColumn] && a[kAddressColumn] == b[kAddressColumn];
}

}  // namespace

void RecordTable::SetCell(int record, int column, const QString& text) {
  Record& r = records_.at(std::size_t(shown_.at(record - 1)));
  QString& target = r.at(column);
  if (target == text) return;
  target = text;
  if (column == kPostcodeColumn) r.postcodeGenerated = false;  // the user's own now
  if (column == kAddressColumn && !provinces_.empty())
    provinces_[std::size_t(shown_.at(record - 1))] = kUnreadProvince;
  const QModelIndex changed = index(record - 1, column);
  emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole, Qt::ForegroundRole});
  // A new address may settle or raise the postcode check.
  if (column == kAddressColumn && postcodeCheck_) {
    const QModelIndex postcode = index(record - 1, kPostcodeColumn);
    emit dataChanged(postcode, postcode, {Qt::BackgroundRole, Qt::ToolTipRole});
  }
}

ChangeCounts RecordTable::Clear() {
  const int count = recordCount();
  ReplaceAll({});
  return {count, 0};
}

void RecordTable::ReplaceAll(std::vector<Record> records) {
  const bool wasFiltered = filtered();
  beginResetModel();
  std::swap(records_, records);
  provinces_.clear();
  *filter_ = RecordFilter();
  shown_ = AllIndices();
  endResetModel();
  if (wasFiltered) emit FilterChanged();
  UndoStep step;
  step.whole = std::move(records);
  PushStep(std::move(step));
}

std::vector<Record> RecordTable::shownRecords() const {
  std::vector<Record> shown;
  shown.reserve(shown_.size());
  for (int i : shown_) shown.push_back(records_[std::size_t(i)]);
  return shown;
}

ChangeCounts RecordTable::Modify(const std::function<void(std::vector<Record>&)>& change) {
  std::vector<Record> before = records_;  // shares every text; only the list is copied
  beginResetModel();
  change(records_);
  provinces_.clear();
  UpdateShown();
  endResetModel();
  return PushStep(std::move(before));
}

ChangeCounts RecordTable::ModifyCells(const std::function<void(std::vector<Record>&)>& change) {
  std::vector<Record> before = records_;
  const std::size_t count = records_.size();
  change(records_);
  Q_ASSERT(records_.size() == count);
  provinces_.clear();
  if (filtered())
    Refilter();  // changed cells may pass the filter now, or no longer
  else if (count > 0)
    emit dataChanged(index(0, 0), index(recordCount() - 1, kColumnCount - 1));
  return PushStep(std::move(before));
}

namespace {

// Puts the record at order[i] at place i, moving each record once along the cycles of the
// permutation: no second list of a million records is made (its fresh pages alone cost more than
// the moves). Each step of a cycle depends on the one before, so the memory would serve them one
// at a time; a cursor running ahead along the cycle asks for the records before they are moved.
void Permute(std::vector<Record>& records, const std::vector<int>& order) {
  constexpr int kAhead = 16;
  std::vector<bool> placed(records.size(), false);
  for (std::size_t start = 0; start < records.size(); ++start) {
    if (placed[start]) continue;
    std::size_t ahead = start;
    bool aheadAtEnd = false;
    const auto runAhead = [&] {
      if (aheadAtEnd) return;
      ahead = std::size_t(order[ahead]);
      aheadAtEnd = ahead == start;
      common::PrefetchObject(records[ahead]);
    };
    for (int k = 0; k < kAhead; ++k) runAhead();
    Record held = std::move(records[start]);
    std::size_t at = start;
    for (std::size_t from = std::size_t(order[at]); from != start; from = std::size_t(order[at])) {
      records[at] = std::move(records[from]);
      placed[at] = true;
      at = from;
      runAhead();
    }
    records[at] = std::move(held);
    placed[at] = true;
  }
}

// The entries of a small per-record list in the new order.
template <typename T>
std::vector<T> Permuted(const std::vector<T>& list, const std::vector<int>& order) {
  std::vector<T> permuted(list.size());
  for (std::size_t i = 0; i < order.size(); ++i) permuted[i] = list[std::size_t(order[i])];
  return permuted;
}

}  // namespace

void RecordTable::Sort(int column, bool descending) {
  if (records_.empty()) return;
  std::vector<int> order = SortOrder(records_, column, descending);
  beginResetModel();
  Permute(records_, order);
  if (!provinces_.empty()) provinces_ = Permuted(provinces_, order);
  UpdateShown();
  endResetModel();
  UndoStep step;
  step.order = std::move(order);
  PushStep(std::move(step));
}

void RecordTable::SetFilter(const RecordFilter& filter) {
  if (filter == *filter_) return;
  *filter_ = filter;
  refilteringOnly_ = true;
  Refilter();
  refilteringOnly_ = false;
  emit FilterChanged();
}

bool RecordTable::filtered() const { return filter_->active(); }

void RecordTable::Refilter() {
  beginResetModel();
  UpdateShown();
  endResetModel();
}

void RecordTable::UpdateShown() {
  if (!filtered()) {
    shown_ = AllIndices();
    return;
  }
  if (filter_->readsProvinces()) {
    // Read once for the whole list; the next filter, and the same one after a sort, reads none.
    if (provinces_.size() != records_.size()) provinces_.assign(records_.size(), kUnreadProvince);
    ReadProvinces(records_, provinces_);
  }
  shown_ = FilterRecords(records_, *filter_, postcodeCheck_.get(),
                         provinces_.size() == records_.size() ? &provinces_ : nullptr);
}

std::vector<int> RecordTable::AllIndices() const {
  std::vector<int> all(records_.size());
  std::iota(all.begin(), all.end(), 0);
  return all;
}

int RecordTable::Find(int from, const QString& text, bool backward) const {
  return FindRecord(records_, shown_, from, text, backward);
}

ChangeCounts RecordTable::PushStep(std::vector<Record> before) {
  UndoStep step;
  const std::size_t n = before.size();
  const std::size_t k = records_.size();
  if (k == n) {
    for (std::size_t i = 0; i < n; ++i) {
      for (int c = 0; c < kColumnCount; ++c)
        if (before[i][c] != records_[i][c] ||
            (c == kPostcodeColumn && before[i].postcodeGenerated != records_[i].postcodeGenerated))
          step.changed.push_back({int(i), c, std::move(before[i][c]), before[i].postcodeGenerated});
    }
  } else if (k < n) {
    // The survivors are the records now in the list, in the same order: match them greedily.
    std::vector<int> removed;
    std::size_t j = 0;
    for (std::size_t i = 0; i < n; ++i) {
      if (j < k && SameFields(before[i], records_[j]))
        ++j;
      else
        removed.push_back(int(i));
    }
    if (j == k) {  // else not a removal after all: the whole list is kept
      for (std::size_t i = k; i < n; ++i) step.droppedNumbers.push_back(before[i][kNumberColumn]);
      for (int i : removed) step.removed.emplace_back(i, std::move(before[i]));
    }
  }
  ChangeCounts counts{int(n) - int(k), int(step.changed.size())};
  if (step.changed.empty() && step.removed.empty() && n == k) return counts;  // nothing happened
  if (step.removed.empty() && step.changed.empty()) step.whole = std::move(before);
  PushStep(std::move(step));
  return counts;
}

std::size_t RecordTable::UndoStep::cells() const {
  return (whole ? whole->size() : 0) * kColumnCount + removed.size() * kColumnCount + changed.size() +
         order.size();
}

void RecordTable::PushStep(UndoStep step) {
  undoCells_ += step.cells();
  undo_.push_back(std::move(step));
  int dropped = 0;
  while (undo_.size() > 1 && (int(undo_.size()) > kUndoSteps || undoCells_ > undoCellLimit_)) {
    undoCells_ -= undo_.front().cells();
    undo_.pop_front();
    ++dropped;
  }
  if (dropped > 0) emit UndoStepsDropped(dropped);
}

bool RecordTable::Undo() {
  if (undo_.empty()) return false;
  UndoStep step = std::move(undo_.back());
  undo_.pop_back();
  undoCells_ -= step.cells();
  // Records come back as they were; only a sort keeps their addresses.
  if (step.order.empty()) provinces_.clear();
  if (step.whole) {
    const bool wasFiltered = filtered();
    beginResetModel();
    records_ = std::move(*step.whole);
    *filter_ = RecordFilter();  // it was set for the list that goes
    shown_ = AllIndices();
    endResetModel();
    if (wasFiltered) emit FilterChanged();
  } else if (!step.order.empty()) {
    // The record at i came from order[i]: the inverse order puts it back.
    std::vector<int> back(step.order.size());
    for (std::size_t i = 0; i < step.order.size(); ++i) back[std::size_t(step.order[i])] = int(i);
    Permute(records_, back);
    if (!provinces_.empty()) provinces_ = Permuted(provinces_, back);
    Refilter();
  } else if (!step.removed.empty()) {
    const std::size_t k = records_.size();
    const std::size_t n = k + step.removed.size();
    std::vector<Record> restored(n);
    std::size_t next = 0;  // into step.removed
    std::size_t j = 0;     // into records_
    for (std::size_t i = 0; i < n; ++i) {
      Record& r = restored[i];
      if (next < step.removed.size() && std::size_t(step.removed[next].first) == i) {
        r = std::move(step.removed[next++].second);
      } else {
        Record& survivor = records_[j++];
        for (int c : kFields) r[c] = std::move(survivor[c]);
        r.postcodeGenerated = survivor.postcodeGenerated;
      }
      r[kNumberColumn] = i < k ? records_[i][kNumberColumn] : step.droppedNumbers[i - k];
    }
    records_ = std::move(restored);
    Refilter();
  } else {
    int first = recordCount();
    int last = -1;
    for (ChangedCell& cell : step.changed) {
      Record& r = records_.at(cell.record);
      r[cell.column] = std::move(cell.before);
      if (cell.column == kPostcodeColumn) r.postcodeGenerated = cell.generatedBefore;
      first = std::min(first, cell.record);
      last = std::max(last, cell.record);
    }
    if (filtered())
      Refilter();
    else if (last >= first)
      emit dataChanged(index(first, 0), index(last, kColumnCount - 1));
  }
  return true;
}

void RecordTable::SetPostcodeCheck(std::shared_ptr<const 生成邮编::PostcodeIndex> index) {
  postcodeCheck_ = std::move(index);
  if (filter_->problemsOnly)
    Refilter();
  else if (recordCount() > 0)
    emit dataChanged(this->index(0, kPostcodeColumn), this->index(recordCount() - 1, kPostcodeColumn),
                     {Qt::BackgroundRole, Qt::ToolTipRole});
}

bool RecordTable::PostcodeDisagrees(int record) const {
  const Record& r = this->record(record);
  return postcodeCheck_ && postcodeCheck_->DisagreesWithAddress(r[kPostcodeColumn], r[kAddressColumn]);
}

QColor RecordTable::PostcodeMismatchColor() { return QColor(255, 204, 204); }

QColor RecordTable::GeneratedPostcodeColor() { return QColor(0, 102, 204); }

int RecordTable::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : recordCount(); }

int RecordTable::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant RecordTable::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= recordCount()) return {};
  const Record& r = record(index.row() + 1);
  if (role == Qt::DisplayRole || role == Qt::EditRole) return r[index.column()];
  // Column 0 is aligned like a spreadsheet's "general" cells: numbers right, text left.
  if (role == Qt::TextAlignmentRole) {
    bool number = false;
    if (index.column() == kNumberColumn) r[kNumberColumn].toDouble(&number);
    return QVariant::fromValue(Qt::Alignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
  }
  if (role == Qt::ForegroundRole && index.column() == kPostcodeColumn && r.postcodeGenerated)
    return GeneratedPostcodeColor();
  if (role == Qt::ToolTipRole && index.column() == kPostcodeColumn && r.postcodeGenerated &&
      !PostcodeDisagrees(index.row() + 1))
    return kGeneratedPostcodeTip;
  // The check runs for the cells on screen only, so a million records cost nothing until seen.
  if ((role == Qt::BackgroundRole || role == Qt::ToolTipRole) && index.column() == kPostcodeColumn &&
      PostcodeDisagrees(index.row() + 1))
    return role == Qt::BackgroundRole ? QVariant(PostcodeMismatchColor()) : QVariant(kPostcodeMismatchTip);
  return {};
}

Qt::ItemFlags RecordTable::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (index.isValid() && index.column() != kNumberColumn) f |= Qt::ItemIsEditable;
  return f;
}

bool RecordTable::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !index.isValid() || index.column() == kNumberColumn ||
      index.row() >= recordCount())
    return false;
  SetCell(index.row() + 1, index.column(), value.toString());
  return true;
}

QVariant RecordTable::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumnCount)
    return QAbstractTableModel::headerData(section, orientation, role);
  return kHeaderTexts[section];
}

}  // namespace data
