#pragma once
// The record grid MSF on the grid tab, the in-place editor TT over it, the record navigator NS
// under the canvas with its counters Num(0) and Num(1), and the data commands that change the
// records. The window owns the widgets; this class gives them their behaviour.

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

#include "data/cleaning.h"
#include "data/postcodes.h"
#include "data/record_table.h"
#include "editor/envelope_model.h"

class QLineEdit;
class QScrollBar;
class QTableView;

namespace data::ui {

class FilterBar;

// The buttons CB(i) whose commands concern the records.
enum Command : int {
  kImport = 3,
  kRemoveIncomplete = 4,
  kRemoveSpaces = 5,
  kRemoveLineBreaks = 6,
  kMergeDuplicates = 7,
  kDeleteAll = 8,
  kDeleteSelected = 13,
  kPrintSelected = 16,
  kCompletePostcodes = 17,
  kExport = 18,  // "导出数据", after the buttons of the original set
  kPostingList = 19,
  kReimport = 20,  // "重新导入": the last import again, with its mapping
};

// Sets up MSF: the records as its model, the four headers, column widths and alignment, and rows
// of one fixed height so that a million records scroll without measuring any of them.
void InitRecordGrid(QTableView* msf, RecordTable* records);

// Reads the postcode table 邮编; nullopt when the database has no such table.
using PostcodeTableReader = std::function<std::optional<生成邮编::PostcodeTable>()>;

class RecordGrid : public QObject {
  Q_OBJECT

 public:
  struct Widgets {
    QTableView* msf;
    QScrollBar* ns;
    QLineEdit* num0;          // current record
    QLineEdit* num1;          // record count
    QLineEdit* tt = nullptr;  // the in-place editor; made over the grid when not given
    FilterBar* filterBar = nullptr;
  };
  RecordGrid(const Widgets& widgets, RecordTable* records, editor::EnvelopeModel* envelope,
             QObject* parent = nullptr);

  // Shows record NS.Value on the canvas and in the counters; with no records nothing changes.
  void ShowRecord();
  void NS_Change() { ShowRecord(); }
  // Brings the navigator up to date after a data command: range 1 .. record count, at record 1
  // when asked (after an import), and shows the record.
  void RefreshNavigator(bool toFirstRecord);

  // MSF.Row and MSF.RowSel as record numbers: the current row and the other end of the selected
  // range (both the current row when nothing is selected); 0 when there is no current row.
  std::pair<int, int> SelectedRows() const;

  // The dispatcher's first steps for CB(index): false when the command is not to run, because the
  // grid is empty (4 to 8 and the export do nothing; 16 is refused with a message).
  bool Accepts(int index) const;
  // Carries out the record command CB(index) (4 to 8, 13, 17, the export); `rule` is the ticked
  // cleaning rule, -1 for none. False when index is not one of them.
  bool Run(int index, int rule);
  // The dispatcher's last step: after the import and the cleaning commands the navigator
  // follows the records.
  void AfterCommand(int index);

  // The commands of the grid tab. Each leaves the navigator to the caller's refresh.
  void RemoveIncompleteRecords(int rule);  // -1: no rule ticked, nothing happens
  void RemoveSpaces();
  void RemoveLineBreakMarks();
  void MergeDuplicates();
  void DeleteAllRecords();
  void DeleteSelectedRecords();
  // Fills the empty postcodes from the table and shows the current record again.
  void CompletePostcodes();
  // Asks for a file and saves the records there as CSV or .xlsx; true when they were saved.
  // "导出数据" saves the shown records in the shown order; before closing every record is saved.
  enum class Which { kShown, kAll };
  bool ExportRecords(Which which = Which::kShown);
  // The records the last print run printed, for the posting list.
  // "交寄清单": asks whether for the last run's records or the shown ones, then for a file, and
  // writes the list there; true when it was written.
  // Ctrl+Z: takes back the last data command.
  void UndoDataCommand();

  // A click on a column header: sorts by it, ascending, then descending on the next click.
  void SortBy(int column);
  // Shows the records that pass and says how many of all these are.
  void ApplyFilter(const RecordFilter& filter);
  // Moves the current cell to the next (previous) shown record with `text` in a cell.
  void Find(const QString& text, bool backward);

  // Where the postcode table comes from; it also gives the grid's postcode check, read once when
  // records first arrive.
  void SetPostcodeTableReader(PostcodeTableReader reader) { readTable_ = std::move(reader); }

  QLineEdit* tt() const { return tt_; }
  int editRow() const { return editRow_; }
  int editColumn() const { return editColumn_; }

 signals:
  // What a data command did, for the tip line T2.
  void Tip(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BeginEdit();
  void EndEdit();
  void WriteBack(const QString& text);
  void InstallPostcodeCheck();
  // Emits the tip for a command, with a word on undo steps the command made the history drop.
  void Report(const QString& text);
  void ShowCount();

  QTableView* msf_;
  QScrollBar* ns_;
  QLineEdit* num0_;
  QLineEdit* num1_;
  QLineEdit* tt_;  // a child of the grid, gone with it
  RecordTable* records_;
  editor::EnvelopeModel* envelope_;
  PostcodeTableReader readTable_;
  bool checkInstalled_ = false;
  FilterBar* filterBar_;
  int sortColumn_ = -1;
  bool sortDescending_ = false;
  int droppedSteps_ = 0;  // not yet reported
  int editRow_ = 0;       // record number, 0 when not editing
  int editColumn_ = 0;
};

}  // namespace data::ui
