#include "editor/ui/font_dialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/numbers.h"
#include "editor/editor_texts.h"
#include "editor/layout_editor.h"

namespace editor::ui {
namespace {

constexpr double kListedSizes[] = {5,  5.5, 6.5, 7.5, 8,  9,  9.75, 10, 10.5, 11, 12, 14,
                                   15, 16,  18,  20,  22, 24, 26,   28, 36,   42, 48, 72};

QIcon Swatch(const QColor& color) {
  QPixmap pixmap(24, 14);
  pixmap.fill(color);
  return QIcon(pixmap);
}

}  // namespace

FontDialog::FontDialog(const common::FontChoice& start, QWidget* parent)
    : QDialog(parent),
      name_(new QFontComboBox(this)),
      size_(new QComboBox(this)),
      bold_(new QCheckBox(kBoldCaption, this)),
      italic_(new QCheckBox(kItalicCaption, this)),
      underline_(new QCheckBox(kUnderlineCaption, this)),
      strikeout_(new QCheckBox(kStrikeoutCaption, this)),
      colorButton_(new QPushButton(kColorButton, this)),
      sample_(new QLabel(kSampleText, this)),
      startName_(start.name) {
  setWindowTitle(kFontDialogTitle);

  name_->setCurrentFont(QFont(start.name));
  name_->setEditText(start.name);  // a substituted family keeps the name the box asked for

  size_->setEditable(true);
  for (double points : kListedSizes) size_->addItem(common::NumberText(points));
  size_->setValidator(new QDoubleValidator(0.01, kMaxFontSize, 2, size_));
  size_->setEditText(common::NumberText(start.size));

  bold_->setChecked(start.bold);
  italic_->setChecked(start.italic);
  underline_->setChecked(start.underline);
  strikeout_->setChecked(start.strikeout);
  SetColor(start.color);

  auto* form = new QFormLayout;
  form->addRow(kFontNameLabel, name_);
  form->addRow(kFontSizeLabel, size_);
  auto* effects = new QHBoxLayout;
  for (QCheckBox* box : {bold_, italic_, underline_, strikeout_}) effects->addWidget(box);
  form->addRow(effects);
  form->addRow(kColorLabel, colorButton_);

  auto* sampleFrame = new QGroupBox(kSampleLabel, this);
  auto* sampleLayout = new QVBoxLayout(sampleFrame);
  sample_->setMinimumSize(320, 80);
  sample_->setAlignment(Qt::AlignCenter);
  sample_->setAutoFillBackground(true);
  sampleLayout->addWidget(sample_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(sampleFrame);
  layout->addWidget(buttons);

  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(name_, &QComboBox::currentTextChanged, this, &FontDialog::UpdateSample);
  connect(size_, &QComboBox::currentTextChanged, this, &FontDialog::UpdateSample);
  for (QCheckBox* box : {bold_, italic_, underline_, strikeout_})
    connect(box, &QCheckBox::toggled, this, &FontDialog::UpdateSample);
  connect(colorButton_, &QPushButton::clicked, this, [this] {
    const QColor picked = QColorDialog::getColor(color_, this, kColorDialogTitle);
    if (picked.isValid()) SetColor(picked);
  });
  UpdateSample();
}

void FontDialog::SetColor(const QColor& color) {
  color_ = color.isValid() ? color : QColor(Qt::black);
  colorButton_->setIcon(Swatch(color_));
  UpdateSample();
}

double FontDialog::TypedSize() const {
  QString typed = size_->currentText();
  int pos = 0;
  if (size_->validator()->validate(typed, pos) != QValidator::Acceptable) return 0;
  return common::Val(typed);
}

common::FontChoice FontDialog::choice() const {
  common::FontChoice c;
  c.name = name_->currentText().trimmed();
  if (c.name.isEmpty()) c.name = startName_;
  c.size = TypedSize();
  c.bold = bold_->isChecked();
  c.italic = italic_->isChecked();
  c.underline = underline_->isChecked();
  c.strikeout = strikeout_->isChecked();
  c.color = color_;
  return c;
}

void FontDialog::UpdateSample() {
  const common::FontChoice c = choice();
  // A size that cannot be used leaves nothing to accept; the sample keeps the last good size.
  if (ok_) ok_->setEnabled(c.size > 0);
  QFont font(c.name);
  if (c.size > 0) font.setPointSizeF(std::min(c.size, 72.0));
  font.setBold(c.bold);
  font.setItalic(c.italic);
  font.setUnderline(c.underline);
  font.setStrikeOut(c.strikeout);
  sample_->setFont(font);
  QPalette palette = sample_->palette();
  palette.setColor(QPalette::Window, Qt::white);
  palette.setColor(QPalette::WindowText, c.color);
  sample_->setPalette(palette);
}

std::optional<common::FontChoice> FontDialog::Choose(const common::FontChoice& start, QWidget* parent) {
  FontDialog dialog(start, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.choice();
}

}  // namespace editor::ui
