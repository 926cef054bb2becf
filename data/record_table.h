#pragma once
// The imported address records: the rows of the grid MSF. The grid shows the records that pass
// the filter, in the list's order; shown record r (1 .. recordCount()) is grid row r, and every
// command that works on "the records" (the navigator, printing, labels, export) works on the shown
// ones in that order. The header row 0 lives in the model's header data. Column 0 "序号" is the record
// number, 1 "收件人" the name, 2 "邮　编" the postcode, 3 "地　址" the address. Records are
// never stored; they live here until the program ends.
//
// Rows are kept in one contiguous vector so that a million records fit and are walked fast.
//
// Every data command (an import, the cleaning commands, postcode completion, a sort) is one undo
// step. A step keeps only what the command took away: the removed records, the old texts of
// changed cells, the old order, or the whole old list when the command replaced it; the texts
// themselves are shared, not copied. Edits of single cells are not steps. The history is bounded
// by the cells its steps hold, so that imports of big lists do not pile up in memory.

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <cstdint>
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

// The filter bar's settings (see record_view.h).
struct RecordFilter;

class RecordTable : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit RecordTable(QObject* parent = nullptr);

  ~RecordTable() override;

  // MSF.Rows - 1: the shown records.
  int recordCount() const { return int(shown_.size()); }
  // All records, shown or not.
  int totalCount() const { return int(records_.size()); }
  // Cell of shown record r (1-based, as in the grid) and column c.
  const QString& cell(int record, int column) const {
    return records_.at(std::size_t(shown_.at(record - 1))).at(column);
  }
  const Record& record(int record) const { return records_.at(std::size_t(shown_.at(record - 1))); }
  void SetCell(int record, int column, const QString& text);

  // Replacing all records (an import, "删除 所有记录"), announced to views as one reset. The
  // filter is cleared: it was meant for the old list.
  ChangeCounts Clear();
  void ReplaceAll(std::vector<Record> records);
  // Every record in list order, whether shown or not.
  const std::vector<Record>& records() const { return records_; }
  // The shown records in the shown order.
  std::vector<Record> shownRecords() const;
  // Indices into records() of the shown records, in the shown order.
  const std::vector<int>& shownIndices() const { return shown_; }

  // Sorts the whole list by a column (see SortOrder) as one undo step.
  void Sort(int column, bool descending);
  // Shows only the records that pass; an inactive filter shows them all. Not an undo step: the
  // filter bar shows it and clearing it brings every record back.
  void SetFilter(const RecordFilter& filter);
  const RecordFilter& filter() const { return *filter_; }
  bool filtered() const;
  // True while the views are reset for a new filter alone: no record changed.
  bool refilteringOnly() const { return refilteringOnly_; }
  // The shown row after (or before) shown row `from` (0-based, -1 for none) with `text` in any
  // column, wrapping around; -1 when there is none.
  int Find(int from, const QString& text, bool backward) const;
  // A change that removes or moves records (the cleaning commands), announced as one reset.
  ChangeCounts Modify(const std::function<void(std::vector<Record>&)>& change);
  // A change of many cells that keeps every record in its place (removing spaces, completing
  // postcodes): views keep their scroll position, current cell and selection.
  ChangeCounts ModifyCells(const std::function<void(std::vector<Record>&)>& change);

  // Takes back the last data command, restoring the records as they were before it (edits made
  // since to records it did not touch stay). False when there is nothing to take back.
  static constexpr int kUndoSteps = 10;
  // The cells the history may hold (a removed or replaced record counts as four, a changed cell
  // and a sorted record as one); the oldest steps go beyond it. The newest step always stays.
  static constexpr std::size_t kUndoCells = 5'000'000;
  bool Undo();
  int undoSteps() const { return int(undo_.size()); }
  void SetUndoCellLimit(std::size_t cells) { undoCellLimit_ = cells; }

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

 signals:
  // Old undo steps were dropped to keep the history within its bound.
  void UndoStepsDropped(int steps);
  // The filter changed (set, or cleared by a new list).
  void FilterChanged();

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
    std::vector<int> order;  // a sort: order[i] is the old index of the record now at i
    std::size_t cells() const;
  };
  // Compares the records before a change with now and keeps the difference as a step.
  ChangeCounts PushStep(std::vector<Record> before);
  void PushStep(UndoStep step);

  // Shows the records that pass the filter again, announced as one reset.
  void Refilter();
  // Works out which records the filter shows, in list order; views are reset by the caller.
  void UpdateShown();
  std::vector<int> AllIndices() const;

  std::vector<Record> records_;
  std::vector<int> shown_;  // indices into records_, in the shown order
  std::unique_ptr<RecordFilter> filter_;
  std::deque<UndoStep> undo_;
  std::size_t undoCells_ = 0;
  bool refilteringOnly_ = false;
  std::size_t undoCellLimit_ = kUndoCells;
  std::shared_ptr<const 生成邮编::PostcodeIndex> postcodeCheck_;
  // The province of each record's address, in list order, once a filter needed them: empty until
  // then and after a change of many records, kUnreadProvince for an address edited since.
  std::vector<std::int16_t> provinces_;
};

}  // namespace data
