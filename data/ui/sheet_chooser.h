#pragma once
// Sheets: the chooser of the worksheet to import. It lists the workbook's sheets with the first
// one ticked; pressing a row ticks it alone, pressing the ticked row unticks it. OK makes the
// ticked sheet the import sheet, Cancel leaves it empty.

#include <QDialog>

class QPushButton;
class QTableWidget;

namespace data {

class Sheets : public QDialog {
  Q_OBJECT

 public:
  // Lists the sheets of the import file; when they cannot be listed the user is told and the
  // chooser is not worth showing (listed() is false).
  explicit Sheets(int selectionMode, QWidget* parent = nullptr);

  bool listed() const { return listed_; }
  int selectionMode() const { return selectionMode_; }
  QTableWidget* SHL() const { return list_; }
  QPushButton* IMG(int index) const { return index == 0 ? ok_ : cancel_; }

  // The tick rule for a press on row `row` (0-based sheet row).
  void PressRow(int row);

 private:
  void Finish(bool ok);

  QTableWidget* list_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  int selectionMode_;
  bool listed_ = false;
};

}  // namespace data
