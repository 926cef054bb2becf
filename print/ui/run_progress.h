#pragma once
// The small window of a print run: "n / m" and a stop button; Esc stops as well. Stopping takes
// effect before the next envelope.

#include <QDialog>

class QLabel;
class QPushButton;

namespace print {

class RunProgress : public QDialog {
  Q_OBJECT

 public:
  explicit RunProgress(QWidget* parent);

  void Show(int done, int total);
  bool stopRequested() const { return stop_; }
  void RequestStop() { stop_ = true; }
  QPushButton* stopButton() const { return button_; }
  QLabel* counter() const { return label_; }

 protected:
  void reject() override { RequestStop(); }  // Esc and the window's close box

 private:
  QLabel* label_;
  QPushButton* button_;
  bool stop_ = false;
};

}  // namespace print
