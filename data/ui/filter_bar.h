#pragma once
// The bar over the record grid: the filter settings and the find field. It only collects what
// the user types; the record grid applies it.

#include <QWidget>
#include <array>

#include "data/record_view.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTimer;

namespace data::ui {

class FilterBar : public QWidget {
  Q_OBJECT

 public:
  explicit FilterBar(QWidget* parent = nullptr);

  RecordFilter filter() const;
  // Shows `filter` without announcing it (after the list cleared it).
  void Show(const RecordFilter& filter);
  QLineEdit* findField() const { return find_; }

  // The bar takes two rows where the grid is wide enough, and four on a narrow one.
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;

 signals:
  void FilterEdited(const data::RecordFilter& filter);
  void FindRequested(const QString& text, bool backward);

 private:
  void Announce();
  int GroupsPerRow(int width) const;
  void Arrange(int width);
  void resizeEvent(QResizeEvent* event) override;

  std::array<QWidget*, 4> groups_;
  int groupsPerRow_ = 0;

  QLineEdit* text_;
  QComboBox* column_;
  QLineEdit* prefix_;
  QLineEdit* province_;
  QCheckBox* problems_;
  QCheckBox* generated_;
  QLineEdit* find_;
  QTimer* typing_;  // a million records are not filtered again on every keystroke
};

}  // namespace data::ui
