#pragma once
// CollateForm "输入打印边距": the two margins the user measured on the calibration page. It
// reads the stored margins when it is first made and is only hidden afterwards, so that a
// second showing keeps what was typed, stored or not.

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace print {

class CollateForm : public QDialog {
  Q_OBJECT

 public:
  explicit CollateForm(QWidget* parent = nullptr);

  QLineEdit* TextX() const { return textX_; }
  QLineEdit* TextY() const { return textY_; }

  // COM(0): store both margins and hide. COM(1): hide without storing.
  void Confirm();
  void Cancel();

  // The one dialog of the program, made on first use.
  static CollateForm& Instance(QWidget* parent);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* textX_;
  QLineEdit* textY_;
};

// PrintCalibrationFigure on the current printer, then the margin dialog (not modal). Returns the
// tip-line text when the PDF printer wrote a file.
QString CalibratePrinter(QWidget* parent);

}  // namespace print
