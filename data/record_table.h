#pragma once
// The imported address records: the rows of the grid MSF. Record r (1 .. recordCount()) is grid
// row r; the header row 0 lives in the model's header data. Column 0 "序号" is the record
// number, 1 "收件人" the name, 2 "邮　编" the postcode, 3 "地　址" the address. Records are
// never stored; they live here until the program ends.
//
// Rows are kept in one contiguous vector so that a million records fit and are walked fast.
//
// Every data command (an import, the cleaning commands, postcode completion) is one undo step. A
// step keeps only what the command took away: the removed records, the old texts of changed
// cells, or the whole old list when the command replaced it; the texts themselves are shared, not
// copied. Edits of single cells are not steps.

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace 生成邮编 {
class PostcodeIndex;
}

namespace data {

constexpr int kColumnCount = 4;
enum Column : int { kNumberColumn = 0, kNameColumn = 1, kPostcodeColumn = 2, kAddressColumn = 3 };

struct Record : std::array<QString, kColumnCount> {
  // The postcode was filled in by postcode completion and has not been edited since.
  bool postcodeGenerated = false;
  bool operator==(const Record&) const = default;
};

// What one data command did to the records.
struct ChangeCounts {
  int removedRecords = 0;
  int changedCells = 0;
};

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
  ChangeCounts Clear();
  void ReplaceAll(std::vector<Record> records);
  const std::vector<Record>& records() const { return records_; }
  // A change that removes or moves records (the cleaning commands), announced as one reset.
  ChangeCounts Modify(const std::function<void(std::vector<Record>&)>& change);
  // A change of many cells that keeps every record in its place (removing spaces, completing
  // postcodes): views keep their scroll position, current cell and selection.
  ChangeCounts ModifyCells(const std::function<void(std::vector<Record>&)>& change);

  // Takes back the last data command, restoring the records as they were before it (edits made
  // since to records it did not touch stay). False when there is nothing to take back.
  static constexpr int kUndoSteps = 10;
  bool Undo();
  int undoSteps() const { return int(undo_.size()); }

  // The postcode check: with an index, a postcode cell whose first two digits do not fit the
  // province named in the address is shown with a colour and a tip. The cell is never changed.
  void SetPostcodeCheck(std::shared_ptr<const 生成邮编::PostcodeIndex> index);
  bool PostcodeDisagrees(int record) const;
  static QColor PostcodeMismatchColor();
  // Generated postcodes are shown in their own colour until edited.
  static QColor GeneratedPostcodeColor();

  // QAbstractTableModel: view rows are records 1..n at view row 0..n-1.
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  // The name, postcode and address are editable; the record number is not.
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

 private:
  struct ChangedCell {
    int record;  // index into records_
    int column;
    QString before;
    bool generatedBefore;  // the postcode's mark, for the postcode column
  };
  struct UndoStep {
    std::optional<std::vector<Record>> whole;  // the list a command replaced
    // Records a command removed, by their old index (ascending); the survivors kept their order
    // and the record numbers stayed with the positions, so the numbers of the last positions went.
    std::vector<std::pair<int, Record>> removed;
    std::vector<QString> droppedNumbers;
    std::vector<ChangedCell> changed;
  };
  // Compares the records before a change with now and keeps the difference as a step.
  ChangeCounts PushStep(std::vector<Record> before);
  void PushStep(UndoStep step);

  std::vector<Record> records_;
  std::deque<UndoStep> undo_;
  std::shared_ptr<const 生成邮编::PostcodeIndex> postcodeCheck_;
};

}  // namespace data
