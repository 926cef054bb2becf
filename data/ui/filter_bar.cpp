#include "data/ui/filter_bar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include "data/data_texts.h"

namespace data::ui {
namespace {

constexpr int kTypingPauseMs = 250;

}  // namespace

FilterBar::FilterBar(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("FilterBar"));
  text_ = new QLineEdit(this);
  text_->setObjectName(QStringLiteral("FilterText"));
  text_->setToolTip(kFilterTextTip);
  text_->setClearButtonEnabled(true);
  column_ = new QComboBox(this);
  column_->setObjectName(QStringLiteral("FilterColumn"));
  column_->addItem(kFilterAnyColumn, -1);
  for (int c : {kNameColumn, kPostcodeColumn, kAddressColumn}) column_->addItem(kHeaderTexts[c], c);
  prefix_ = new QLineEdit(this);
  prefix_->setObjectName(QStringLiteral("FilterPostcode"));
  prefix_->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,6}")), prefix_));
  prefix_->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 12);
  province_ = new QLineEdit(this);
  province_->setObjectName(QStringLiteral("FilterProvince"));
  province_->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("内蒙古自治区")) + 12);
  problems_ = new QCheckBox(kProblemsOnly, this);
  problems_->setObjectName(QStringLiteral("FilterProblems"));
  generated_ = new QCheckBox(kGeneratedOnly, this);
  generated_->setObjectName(QStringLiteral("FilterGenerated"));
  auto* clear = new QPushButton(kClearFilter, this);
  clear->setObjectName(QStringLiteral("ClearFilter"));
  find_ = new QLineEdit(this);
  find_->setObjectName(QStringLiteral("FindText"));
  find_->setClearButtonEnabled(true);
  auto* next = new QPushButton(kFindNext, this);
  next->setObjectName(QStringLiteral("FindNext"));
  auto* previous = new QPushButton(kFindPrevious, this);
  previous->setObjectName(QStringLiteral("FindPrevious"));

  auto* filters = new QHBoxLayout;
  filters->addWidget(new QLabel(kFilterLabel, this));
  filters->addWidget(text_, 1);
  filters->addWidget(column_);
  filters->addWidget(new QLabel(kPostcodePrefixLabel, this));
  filters->addWidget(prefix_);
  filters->addWidget(new QLabel(kProvinceLabel, this));
  filters->addWidget(province_);
  auto* second = new QHBoxLayout;
  second->addWidget(problems_);
  second->addWidget(generated_);
  second->addWidget(clear);
  second->addSpacing(12);
  second->addWidget(new QLabel(kFindLabel, this));
  second->addWidget(find_, 1);
  second->addWidget(previous);
  second->addWidget(next);
  auto* rows = new QVBoxLayout(this);
  rows->setContentsMargins(0, 0, 0, 2);
  rows->addLayout(filters);
  rows->addLayout(second);

  typing_ = new QTimer(this);
  typing_->setSingleShot(true);
  typing_->setInterval(kTypingPauseMs);
  connect(typing_, &QTimer::timeout, this, &FilterBar::Announce);
  for (QLineEdit* field : {text_, prefix_, province_})
    connect(field, &QLineEdit::textEdited, typing_, qOverload<>(&QTimer::start));
  for (QLineEdit* field : {text_, prefix_, province_})
    connect(field, &QLineEdit::returnPressed, this, &FilterBar::Announce);
  connect(column_, &QComboBox::currentIndexChanged, this, &FilterBar::Announce);
  connect(problems_, &QCheckBox::toggled, this, &FilterBar::Announce);
  connect(generated_, &QCheckBox::toggled, this, &FilterBar::Announce);
  connect(clear, &QPushButton::clicked, this, [this] {
    Show(RecordFilter());
    Announce();
  });
  connect(find_, &QLineEdit::returnPressed, this, [this] { emit FindRequested(find_->text(), false); });
  connect(next, &QPushButton::clicked, this, [this] { emit FindRequested(find_->text(), false); });
  connect(previous, &QPushButton::clicked, this, [this] { emit FindRequested(find_->text(), true); });
}

RecordFilter FilterBar::filter() const {
  RecordFilter f;
  f.text = text_->text();
  f.textColumn = column_->currentData().toInt();
  f.postcodePrefix = prefix_->text();
  f.province = province_->text().trimmed();
  f.problemsOnly = problems_->isChecked();
  f.generatedOnly = generated_->isChecked();
  return f;
}

void FilterBar::Show(const RecordFilter& filter) {
  const QSignalBlocker quiet(this);
  const QSignalBlocker quietColumn(column_), quietProblems(problems_), quietGenerated(generated_);
  typing_->stop();
  text_->setText(filter.text);
  column_->setCurrentIndex(std::max(0, column_->findData(filter.textColumn)));
  prefix_->setText(filter.postcodePrefix);
  province_->setText(filter.province);
  problems_->setChecked(filter.problemsOnly);
  generated_->setChecked(filter.generatedOnly);
}

void FilterBar::Announce() {
  typing_->stop();
  emit FilterEdited(filter());
}

}  // namespace data::ui
