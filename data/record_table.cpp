#include "data/record_table.h"

#include <QColor>

#include "data/data_texts.h"
#include "data/postcodes.h"

namespace data {

RecordTable::RecordTable(QObject* parent) : QAbstractTableModel(parent) {}

void RecordTable::SetCell(int record, int column, const QString& text) {
  QString& target = records_.at(record - 1).at(column);
  if (target == text) return;
  target = text;
  const QModelIndex changed = index(record - 1, column);
  emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
  // A new address may settle or raise the postcode check.
  if (column == kAddressColumn && postcodeCheck_) {
    const QModelIndex postcode = index(record - 1, kPostcodeColumn);
    emit dataChanged(postcode, postcode, {Qt::BackgroundRole, Qt::ToolTipRole});
  }
}

void RecordTable::Clear() { ReplaceAll({}); }

void RecordTable::ReplaceAll(std::vector<Record> records) {
  beginResetModel();
  records_ = std::move(records);
  endResetModel();
}

void RecordTable::Modify(const std::function<void(std::vector<Record>&)>& change) {
  beginResetModel();
  change(records_);
  endResetModel();
}

void RecordTable::ModifyCells(const std::function<void(std::vector<Record>&)>& change) {
  const std::size_t count = records_.size();
  change(records_);
  Q_ASSERT(records_.size() == count);
  if (count > 0) emit dataChanged(index(0, 0), index(recordCount() - 1, kColumnCount - 1));
}

void RecordTable::SetPostcodeCheck(std::shared_ptr<const 生成邮编::PostcodeIndex> index) {
  postcodeCheck_ = std::move(index);
  if (!records_.empty())
    emit dataChanged(this->index(0, kPostcodeColumn), this->index(recordCount() - 1, kPostcodeColumn),
                     {Qt::BackgroundRole, Qt::ToolTipRole});
}

bool RecordTable::PostcodeDisagrees(int record) const {
  const Record& r = records_.at(record - 1);
  return postcodeCheck_ && postcodeCheck_->DisagreesWithAddress(r[kPostcodeColumn], r[kAddressColumn]);
}

QColor RecordTable::PostcodeMismatchColor() { return QColor(255, 204, 204); }

int RecordTable::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : recordCount(); }

int RecordTable::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant RecordTable::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= recordCount()) return {};
  if (role == Qt::DisplayRole || role == Qt::EditRole) return records_[index.row()][index.column()];
  // Column 0 is aligned like a spreadsheet's "general" cells: numbers right, text left.
  if (role == Qt::TextAlignmentRole) {
    bool number = false;
    if (index.column() == kNumberColumn) records_[index.row()][kNumberColumn].toDouble(&number);
    return QVariant::fromValue(Qt::Alignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
  }
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
