#pragma once
// The font dialog of the box menu: name, size, bold, italic, underline, strikethrough and text
// colour in one window, with a sample that shows the choice as it is made.

#include <QDialog>
#include <optional>

#include "common/prompts.h"

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;
class QPushButton;

namespace editor::ui {

class FontDialog : public QDialog {
  Q_OBJECT

 public:
  explicit FontDialog(const common::FontChoice& start, QWidget* parent = nullptr);

  // What the dialog shows now.
  common::FontChoice choice() const;

  // Shows the dialog modally; nullopt when cancelled.
  static std::optional<common::FontChoice> Choose(const common::FontChoice& start, QWidget* parent);

  // Parts a test drives.
  QFontComboBox* nameBox() const { return name_; }
  QComboBox* sizeBox() const { return size_; }
  QCheckBox* boldBox() const { return bold_; }
  QCheckBox* italicBox() const { return italic_; }
  QCheckBox* underlineBox() const { return underline_; }
  QCheckBox* strikeoutBox() const { return strikeout_; }
  QPushButton* colorButton() const { return colorButton_; }
  void SetColor(const QColor& color);

 private:
  void UpdateSample();
  double TypedSize() const;

  QFontComboBox* name_;
  QComboBox* size_;
  QCheckBox* bold_;
  QCheckBox* italic_;
  QCheckBox* underline_;
  QCheckBox* strikeout_;
  QPushButton* colorButton_;
  QLabel* sample_;
  QPushButton* ok_ = nullptr;
  QColor color_;
  QString startName_;  // kept when the list does not know the font
};

}  // namespace editor::ui
