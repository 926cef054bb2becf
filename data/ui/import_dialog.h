#pragma once
// fOpen: the import dialog. It previews the chosen file, asks for the rows to import and the
// three mapping expressions, stores them in the settings section "OpenPara" on OK and reads the
// file into the record grid. Cancel or closing stores and imports nothing.
//
// The end row follows the data: it starts at the last row of the file or sheet that holds data,
// unless the user typed an end row (now or in an earlier import). Only a typed end row is
// stored; an empty end row box again means the last row that holds data.

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace data {

class RecordTable;

class fOpen : public QDialog {
  Q_OBJECT

 public:
  explicit fOpen(RecordTable& grid, QWidget* parent = nullptr);

  // TT(2) start row, TT(3) recipient, TT(4) postcode, TT(5) address, TT(6) end row.
  QLineEdit* TT(int index) const { return boxes_.at(index - 2); }
  QCheckBox* CHK() const { return filter_; }
  QTableWidget* MSF() const { return preview_; }
  // The number of rows the file or sheet holds, as shown beside the end row.
  int dataRows() const { return dataRows_; }
  QPushButton* COM(int index) const { return index == 0 ? ok_ : cancel_; }

  // Fills the preview with the first ten rows and twenty columns of the import file.
  void DisplayXls();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Accept();
  void Import(int start, int end);

  RecordTable& grid_;
  std::array<QLineEdit*, 5> boxes_{};
  QCheckBox* filter_ = nullptr;
  QTableWidget* preview_ = nullptr;
  QLabel* dataRowsLabel_ = nullptr;
  int dataRows_ = 0;
  bool endRowTyped_ = false;
  QComboBox* recent_ = nullptr;  // the last imports; those whose file has gone are greyed
  void ChooseRecent(int index);
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace data
