#pragma once
// PrnSel "请选择打印机": the user confirms or changes the printer before every print command.
// OK makes the choice the current printer, remembers it under "Envelop Collate"/"Printer" and
// reports it as the chosen printer; cancel, or a printer that cannot be reached, reports none.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace print {

class PrnSel : public QDialog {
  Q_OBJECT

 public:
  explicit PrnSel(QWidget* parent = nullptr);

  QComboBox* Com() const { return com_; }
  QPushButton* okButton() const { return ok_; }
  QPushButton* cancelButton() const { return cancel_; }

  // CM(0) and CM(1).
  void Confirm();
  void Cancel();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QComboBox* com_;
  QCheckBox* envelopePages_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

// Shows the chooser and waits until it is closed; returns the chosen printer name (empty when
// cancelled or not reachable).
QString ChoosePrinter(QWidget* parent);

}  // namespace print
