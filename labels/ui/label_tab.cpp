#include "labels/ui/label_tab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

#include "common/prompts.h"
#include "editor/window_layout.h"
#include "labels/label_memory.h"
#include "labels/label_renderer.h"
#include "labels/label_texts.h"
#include "print/ui/print_command.h"

namespace labels::ui {

// PTag(0): shows the sheet picture the renderer drew, scaled to the widget should the two
// differ for a moment (a relayout before the next drawing).
class SheetView final : public QWidget {
 public:
  explicit SheetView(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("PTag(0)")); }
  void SetPicture(const QImage& picture) {
    picture_ = picture;
    update();
  }
  const QImage& picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    if (picture_.isNull())
      p.fillRect(rect(), kSheetColor);
    else
      p.drawImage(rect(), picture_);
  }

 private:
  QImage picture_;
};

namespace {

constexpr int kPanelTwips = 3300;  // FRM2's width

int Twips(int pixels) { return editor::PixelsToTwips(pixels); }

// Whether `text` is a figure box `index` can take at all, before the sheet is asked for room.
bool SheetFigure(int index, const QString& text) {
  bool ok = false;
  const double v = text.trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(v)) return false;
  switch (index) {
    case kAcross:
    case kDown:
    case kStartCell:
      return v >= 1 && v == std::floor(v);
    case kShrink:
    case kPaperWidth:
    case kPaperHeight:
      return v > 0;
    default:
      return v >= 0;
  }
}

}  // namespace

LabelTab::LabelTab(QWidget* page, const editor::EnvelopeModel& envelope, const data::RecordTable& records,
                   QPushButton* printPage, QPushButton* printFromPage,
                   std::function<QRect(const QRect&)> onPage)
    : QObject(page), envelope_(envelope), records_(records), onPage_(std::move(onPage)), page_(page) {
  tag1_ = new QFrame(page);
  tag1_->setObjectName(QStringLiteral("Tag1"));
  shadow_ = new QWidget(tag1_);
  shadow_->setObjectName(QStringLiteral("PTag(1)"));
  shadow_->setAutoFillBackground(true);
  QPalette grey = shadow_->palette();
  grey.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
  shadow_->setPalette(grey);
  sheetView_ = new SheetView(tag1_);
  tagHS_ = new QScrollBar(Qt::Horizontal, tag1_);
  tagHS_->setObjectName(QStringLiteral("TagHS"));
  tagVS_ = new QScrollBar(Qt::Vertical, tag1_);
  tagVS_->setObjectName(QStringLiteral("TagVS"));
  connect(tagHS_, &QScrollBar::valueChanged, this, &LabelTab::TagHS_Change);
  connect(tagVS_, &QScrollBar::valueChanged, this, &LabelTab::TagVS_Change);
  sheet_ = LoadLabelSheet();
  BuildPanel(printPage, printFromPage);
}

LabelTab::~LabelTab() {
  SaveLabelSheet(sheet_);  // a figure typed into a box that was never left is kept too
}

void LabelTab::BuildPanel(QPushButton* printPage, QPushButton* printFromPage) {
  panel_ = new QScrollArea(page_);
  panel_->setFrameShape(QFrame::NoFrame);
  panel_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  panel_->setWidgetResizable(true);
  frm2_ = new QGroupBox;
  frm2_->setObjectName(QStringLiteral("FRM2"));
  auto* grid = new QGridLayout;
  const auto addNumber = [&](int index, int row, const QString& before, const QString& after) {
    auto* box = new QLineEdit(sheet_.numbers[index], frm2_);
    box->setObjectName(QStringLiteral("TNum(%1)").arg(index));
    box->setMaximumWidth(70);
    tnum_[index] = box;
    grid->addWidget(new QLabel(before, frm2_), row, 0);
    grid->addWidget(box, row, 1);
    grid->addWidget(new QLabel(after, frm2_), row, 2);
    connect(box, &QLineEdit::textChanged, this, [this, index] { TNum_Change(index); });
    connect(box, &QLineEdit::editingFinished, this, [this, index] { TNum_Left(index); });
  };
  addNumber(kAcross, 0, kAcrossCaption, kCountUnit);
  addNumber(kDown, 1, kDownCaption, kCountUnit);
  addNumber(kShrink, 2, kShrinkBefore, kShrinkAfter);
  addNumber(kPaperWidth, 3, kPaperWidthCaption, kMillimetres);
  addNumber(kPaperHeight, 4, kPaperHeightCaption, kMillimetres);
  addNumber(kStartCell, 5, kStartCellCaption, kCountUnit);
  tnum_[kStartCell]->setToolTip(kStartCellTip);
  addNumber(kMarginTop, 6, kMarginTopCaption, kMillimetres);
  addNumber(kMarginLeft, 7, kMarginLeftCaption, kMillimetres);
  addNumber(kGapAcross, 8, kGapAcrossCaption, kMillimetres);
  addNumber(kGapDown, 9, kGapDownCaption, kMillimetres);

  pps_ = new QLabel(PageText(1, 1), frm2_);
  pps_->setObjectName(QStringLiteral("PPS"));
  grid->addWidget(new QLabel(kPagesCaption, frm2_), 10, 0);
  grid->addWidget(pps_, 10, 1, 1, 2);
  copiesBox_ = new QSpinBox(frm2_);
  copiesBox_->setObjectName(QStringLiteral("TagCopies"));
  copiesBox_->setRange(1, 99);
  copiesBox_->setToolTip(kCopiesTip);
  connect(copiesBox_, &QSpinBox::valueChanged, this, [this](int n) {
    SetCopies(n);
    emit CopiesChanged(n);
  });
  grid->addWidget(new QLabel(kCopiesCaption, frm2_), 11, 0);
  copiesBox_->setMaximumWidth(70);  // as wide as the figure boxes above it
  grid->addWidget(copiesBox_, 11, 1);

  auto* column = new QVBoxLayout(frm2_);
  column->addWidget(new QLabel(kPresetCaption, frm2_));
  presets_ = new QComboBox(frm2_);
  presets_->setObjectName(QStringLiteral("TagPreset"));
  presets_->addItem(kPresetNone);
  for (const LabelPreset& preset : LabelPresets()) presets_->addItem(PresetCaption(preset));
  connect(presets_, &QComboBox::activated, this, &LabelTab::ChoosePreset);
  column->addWidget(presets_);
  column->addLayout(grid);
  tagDir_ = new QCheckBox(kLandscapeCaption, frm2_);
  tagDir_->setObjectName(QStringLiteral("TagDir"));
  tagDir_->setChecked(sheet_.landscape);
  connect(tagDir_, &QCheckBox::clicked, this, &LabelTab::TagDir_Click);
  column->addWidget(tagDir_);
  for (int i = 0; i < kCheckCount; ++i) {
    auto* check = new QCheckBox(kItemCaptions[i], frm2_);
    check->setObjectName(QStringLiteral("CK(%1)").arg(i));
    check->setChecked(sheet_.ticked[i]);
    ck_[i] = check;
    connect(check, &QCheckBox::clicked, this, [this, i] { CK_Click(i); });
    column->addWidget(check);
  }
  column->addStretch();
  printPage->setParent(frm2_);
  printPage->setToolTip(kPrintPageTip);
  printFromPage->setParent(frm2_);
  printFromPage->setToolTip(kPrintFromPageTip);
  column->addWidget(printPage);
  column->addWidget(printFromPage);
  panel_->setWidget(frm2_);
  ShowPreset();
}

const QImage& LabelTab::picture() const { return sheetView_->picture(); }

void LabelTab::LayoutLabelTab(QSize sst) {
  sst_ = sst;
  // The panel is as wide as its widest control, with the scroll bar's width kept free.
  const int panelTwips = std::max(
      kPanelTwips, Twips(frm2_->minimumSizeHint().width() + panel_->verticalScrollBar()->sizeHint().width()));
  const LabelTabLayout l = labels::LayoutLabelTab(sheet_, sst, panelTwips, Twips(tagVS_->sizeHint().width()),
                                                  Twips(tagHS_->sizeHint().height()));
  const QRect tag1 = onPage_(l.tag1);
  tag1_->setGeometry(tag1);
  // Inside Tag1 the twips count from its own corner.
  const auto inTag1 = [](const QRect& twips) { return editor::TwipsToPixels(twips); };
  sheetView_->setGeometry(inTag1(l.sheet));
  shadow_->setGeometry(inTag1(l.shadow));
  tagVS_->setGeometry(inTag1(l.vertical));
  tagHS_->setGeometry(inTag1(l.horizontal));
  panel_->setGeometry(onPage_(l.panel));
  sheetTwips_ = l.sheet.size();
  tag1Height_ = std::max(1, l.tag1.height());
  {
    const QSignalBlocker quiet(tagVS_);
    tagVS_->setRange(0, l.verticalMax);
    tagVS_->setValue(0);
    tagVS_->setSingleStep(1);
    tagVS_->setPageStep(1);
  }
  device_ = std::make_unique<SheetDevice>(sheetTwips_);
  RecountPages();
}

void LabelTab::SetCopies(int copies) {
  if (copies == copies_) return;
  copies_ = copies;
  {
    const QSignalBlocker quiet(copiesBox_);
    copiesBox_->setValue(copies);
  }
  RecountPages();
}

void LabelTab::RecountPages() {
  sheet_.pageCount = PageCount(sheet_, int(LabelCount(Source())));
  sheet_.page = 1;
  {
    const QSignalBlocker quiet(tagHS_);
    tagHS_->setRange(1, sheet_.pageCount);
    tagHS_->setValue(1);
    tagHS_->setSingleStep(1);
    tagHS_->setPageStep(1);
  }
  pps_->setText(PageText(sheet_.page, sheet_.pageCount));
  DrawLabelPage();
}

void LabelTab::DrawLabelPage() {
  if (!device_) return;  // not laid out yet
  if (labels::DrawLabelPage(*device_, Source())) sheetView_->SetPicture(device_->picture());
}

void LabelTab::ChoosePreset(int item) {
  if (item < 1 || item > int(LabelPresets().size())) return;
  ApplyPreset(sheet_, LabelPresets()[size_t(item - 1)]);
  tagDir_->setChecked(sheet_.landscape);
  for (int i = 0; i < kNumberCount; ++i) {
    const QSignalBlocker quiet(tnum_[i]);
    tnum_[i]->setText(sheet_.numbers[i]);
  }
  SaveLabelSheet(sheet_);
  if (device_) LayoutLabelTab(sst_);
}

void LabelTab::ShowPreset() {
  int shown = 0;
  for (size_t i = 0; i < LabelPresets().size() && shown == 0; ++i) {
    LabelSheet preset = sheet_;
    ApplyPreset(preset, LabelPresets()[i]);
    if (preset.numbers == sheet_.numbers && preset.landscape == sheet_.landscape) shown = int(i) + 1;
  }
  presets_->setCurrentIndex(shown);
}

void LabelTab::TNum_Change(int index) {
  LabelSheet changed = sheet_;
  changed.numbers[index] = tnum_[index]->text();
  // Figures that leave no room for a label wait, half typed, until the box is left.
  if (!SheetFigure(index, changed.numbers[index]) || !GridOf(changed, SheetPaper(changed))) return;
  sheet_ = changed;
  if (presets_) ShowPreset();
  switch (index) {
    case kAcross:
    case kDown:
    case kStartCell:
      RecountPages();
      break;
    case kShrink:
    case kMarginTop:
    case kMarginLeft:
    case kGapAcross:
    case kGapDown:
      DrawLabelPage();
      break;
    case kPaperWidth:
    case kPaperHeight:
      // The landscape swap changes the width while the box is disabled: one layout, not two.
      if (tnum_[index]->isEnabled() && device_) LayoutLabelTab(sst_);
      break;
    default:
      break;
  }
}

void LabelTab::TNum_Left(int index) {
  if (tnum_[index]->text() != sheet_.numbers[index]) {
    // No figure, or counts, paper, margins or gaps that leave no room for a label: the last
    // good figure stays.
    const QSignalBlocker quiet(tnum_[index]);
    const QString refused = tnum_[index]->text();
    tnum_[index]->setText(sheet_.numbers[index]);
    common::prompts().Message(SheetFigure(index, refused) ? kNoRoomForLabels : kNotASheetFigure);
  }
  SaveLabelSheet(sheet_);
}

void LabelTab::TagHS_Change() {
  sheet_.page = tagHS_->value();
  DrawLabelPage();
  pps_->setText(PageText(sheet_.page, sheet_.pageCount));
}

void LabelTab::TagVS_Change() {
  const int top = editor::TwipsToPixels(SheetTopForScroll(tagVS_->value(), tag1Height_));
  sheetView_->move(sheetView_->x(), top);
  shadow_->move(shadow_->x(), top + editor::TwipsToPixels(200));
}

void LabelTab::TagDir_Click() {
  sheet_.landscape = tagDir_->isChecked();
  SaveLabelSheet(sheet_);
  LabelSheet swapped = sheet_;
  SwapPaperSides(swapped);
  tnum_[kPaperWidth]->setEnabled(false);
  tnum_[kPaperWidth]->setText(swapped.numbers[kPaperWidth]);
  tnum_[kPaperWidth]->setEnabled(true);
  tnum_[kPaperHeight]->setText(swapped.numbers[kPaperHeight]);
  SaveLabelSheet(sheet_);
}

void LabelTab::CK_Click(int index) {
  sheet_.ticked[index] = ck_[index]->isChecked();
  SaveLabelSheet(sheet_);
  DrawLabelPage();
}

QString LabelTab::PrintCurrentPage() { return PrintPages(sheet_.page, sheet_.page); }
QString LabelTab::PrintFromCurrentPage() { return PrintPages(sheet_.page, sheet_.pageCount); }

QString LabelTab::PrintPages(int first, int last) {
  if (!PrintPrints(sheet_)) {  // say so before a PDF folder is asked for
    common::prompts().Message(kTooManyToPrint);
    return {};
  }
  if (!GridOf(sheet_, SheetPaper(sheet_))) {
    common::prompts().Message(kNoRoomForLabels);
    return {};
  }
  std::unique_ptr<print::PrintCommand> command = print::PrintCommand::Open(kPdfPrefix);
  if (!command) return {};
  const LabelSource source = Source();
  print::FontSizeCache cache;
  int tooFull = 0;
  const int sent = PrintLabelPages(command->device(), source, first, last, &cache, &tooFull);
  const QString tip = command->Finish();
  const std::int64_t firstLabel = std::max<std::int64_t>(1, RecordAt(sheet_, first, 0));
  const std::int64_t lastLabel = std::min(LabelCount(source), RecordAt(sheet_, last, PerPage(sheet_) - 1));
  if (sent > 0 && firstLabel <= lastLabel)
    emit Printed(RecordOfLabel(source, firstLabel), RecordOfLabel(source, lastLabel));
  return tooFull > 0 ? (tip.isEmpty() ? QString() : tip + u' ') + kTooFullLabels.arg(tooFull) : tip;
}

}  // namespace labels::ui
