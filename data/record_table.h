#pragma once
// The imported address records: the rows of the grid MSF. Record r (1 .. recordCount()) is grid
// row r; the header row 0 lives in the model's header data. Column 0 "序号" is the record
// number, 1 "收件人" the name, 2 "邮　编" the postcode, 3 "地　址" the address. Records are
// never stored; they live here until the program ends.
//
// Rows are kept in one contiguous vector so that a million records fit and are walked fast.

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace 生成邮编 {
class PostcodeIndex;
}

namespace data {

constexpr int kColumnCount = 4;
enum Column : int { kNumberColumn = 0, kNameColumn = 1, kPostcodeColumn = 2, kAddressColumn = 3 };

using Record = std::array<QString, kColumnCount>;

class RecordTable : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit RecordTable(QObject* parent = nullptr);

  // MSF.Rows - 1.
  int recordCount() const { return int(records_.size()); }
  // Cell of record r (1-based, as in the grid) and column c.
  const QString& cell(int record, int column) const { return records_.at(record - 1).at(column); }
  const Record& record(int record) const { return records_.at(record - 1); }
  void SetCell(int record, int column, const QString& text);

  // Replacing all records (an import, "删除 所有记录"), announced to views as one reset.
  void Clear();
  void ReplaceAll(std::vector<Record> records);
  const std::vector<Record>& records() const { return records_; }
  // A change that removes or moves records (the cleaning commands), announced as one reset.
  void Modify(const std::function<void(std::vector<Record>&)>& change);
  // A change of many cells that keeps every record in its place (removing spaces, completing
  // postcodes): views keep their scroll position, current cell and selection.
  void ModifyCells(const std::function<void(std::vector<Record>&)>& change);

  // The postcode check: with an index, a postcode cell whose first two digits do not fit the
  // province named in the address is shown with a colour and a tip. The cell is never changed.
  void SetPostcodeCheck(std::shared_ptr<const 生成邮编::PostcodeIndex> index);
  bool PostcodeDisagrees(int record) const;
  static QColor PostcodeMismatchColor();

  // QAbstractTableModel: view rows are records 1..n at view row 0..n-1.
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  // The name, postcode and address are editable; the record number is not.
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

 private:
  std::vector<Record> records_;
  std::shared_ptr<const 生成邮编::PostcodeIndex> postcodeCheck_;
};

}  // namespace data
