#include "print/ui/run_progress.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "print/print_texts.h"

namespace print {

RunProgress::RunProgress(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("RunProgress"));
  setWindowTitle(kStopRun);
  setModal(false);
  label_ = new QLabel(this);
  label_->setObjectName(QStringLiteral("RunCounter"));
  label_->setAlignment(Qt::AlignCenter);
  QFont big = label_->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  label_->setFont(big);
  button_ = new QPushButton(kStopRun, this);
  button_->setObjectName(QStringLiteral("StopRun"));
  connect(button_, &QPushButton::clicked, this, &RunProgress::RequestStop);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label_);
  layout->addWidget(button_);
  setMinimumWidth(220);
}

void RunProgress::Show(int done, int total) {
  label_->setText(kRunProgress.arg(done).arg(total));
  if (!isVisible()) show();
}

}  // namespace print
