#pragma once
// CollateForm "输入打印边距": the two margins the user measured on the calibration page of one
// printer. It reads that printer's stored margins when it is first shown for it and is only
// hidden afterwards, so that a second showing for the same printer keeps what was typed,
// stored or not.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace print {

class CollateForm : public QDialog {
  Q_OBJECT

 public:
  explicit CollateForm(QWidget* parent = nullptr);

  // The printer the margins are for; a printer other than the last reads its own margins.
  void SetPrinter(const QString& printer);
  const QString& printer() const { return printer_; }

  QLineEdit* TextX() const { return textX_; }
  QLineEdit* TextY() const { return textY_; }

  // COM(0): store both margins and hide. COM(1): hide without storing.
  void Confirm();
  void Cancel();

  // The one dialog of the program, made on first use.
  static CollateForm& Instance(QWidget* parent);

 signals:
  void marginsStored();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* textX_;
  QLineEdit* textY_;
  QLabel* printerLabel_;
  QString printer_;
};

// PrintCalibrationFigure on the current printer, then the margin dialog for it (not modal).
// The PDF printer needs none: the user is told so. Returns the tip-line text.
QString CalibratePrinter(QWidget* parent);

}  // namespace print
