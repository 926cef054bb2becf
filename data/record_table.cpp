#include "data/record_table.h"

namespace data {

RecordTable::RecordTable(QObject* parent) : QAbstractTableModel(parent) {}

void RecordTable::SetCell(int record, int column, const QString& text) {
  QString& target = records_.at(record - 1).at(column);
  if (target == text) return;
  target = text;
  const QModelIndex changed = index(record - 1, column);
  emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}

void RecordTable::Clear() { ReplaceAll({}); }

void RecordTable::ReplaceAll(std::vector<Record> records) {
  beginResetModel();
  records_ = std::move(records);
  endResetModel();
}

int RecordTable::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : recordCount(); }

int RecordTable::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant RecordTable::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= recordCount()) return {};
  if (role == Qt::DisplayRole || role == Qt::EditRole) return records_[index.row()][index.column()];
  return {};
}

QVariant RecordTable::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumnCount)
    return QAbstractTableModel::headerData(section, orientation, role);
  static const std::array<QString, kColumnCount> headers = {
      QStringLiteral("序号"), QStringLiteral("收件人"), QStringLiteral("邮　编"), QStringLiteral("地　址")};
  return headers[section];
}

}  // namespace data
