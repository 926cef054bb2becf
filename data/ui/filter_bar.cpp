#include "data/ui/filter_bar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QTimer>

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

  // Four groups: the text filter, the postcode and province, the check boxes, and find.
  const auto group = [this](std::initializer_list<std::pair<QWidget*, int>> widgets) {
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    for (const auto& [widget, stretch] : widgets) {
      widget->setParent(box);
      row->addWidget(widget, stretch);
    }
    return box;
  };
  groups_ = {group({{new QLabel(kFilterLabel), 0}, {text_, 1}, {column_, 0}}),
             group({{new QLabel(kPostcodePrefixLabel), 0},
                    {prefix_, 0},
                    {new QLabel(kProvinceLabel), 0},
                    {province_, 1}}),
             group({{problems_, 0}, {generated_, 0}, {clear, 0}}),
             group({{new QLabel(kFindLabel), 0}, {find_, 1}, {previous, 0}, {next, 0}})};
  (new QGridLayout(this))->setContentsMargins(0, 0, 0, 2);
  Arrange(0);

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

namespace data::ui {

int FilterBar::GroupsPerRow(int width) const {
  const int spacing = static_cast<const QGridLayout*>(layout())->horizontalSpacing();
  for (int i = 0; i < 4; i += 2)
    if (groups_[i]->minimumSizeHint().width() + spacing + groups_[i + 1]->minimumSizeHint().width() > width)
      return 1;
  return 2;
}

void FilterBar::Arrange(int width) {
  const int perRow = GroupsPerRow(width);
  if (perRow == groupsPerRow_) return;
  groupsPerRow_ = perRow;
  auto* rows = static_cast<QGridLayout*>(layout());
  for (QWidget* g : groups_) rows->removeWidget(g);
  for (int i = 0; i < 4; ++i) rows->addWidget(groups_[i], i / perRow, i % perRow);
}

int FilterBar::heightForWidth(int width) const {
  const int rows = 4 / GroupsPerRow(width);
  int row = 0;
  for (const QWidget* g : groups_) row = std::max(row, g->sizeHint().height());
  const QMargins margins = layout()->contentsMargins();
  const int spacing = static_cast<const QGridLayout*>(layout())->verticalSpacing();
  return rows * row + (rows - 1) * spacing + margins.top() + margins.bottom();
}

void FilterBar::resizeEvent(QResizeEvent* event) {
  Arrange(width());
  QWidget::resizeEvent(event);
}

}  // namespace data::ui
