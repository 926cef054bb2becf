#include "app/main_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "app/app_texts.h"
#include "app/help_texts.h"
#include "common/numbers.h"
#include "common/prompts.h"
#include "data/postcode_table.h"
#include "data/ui/filter_bar.h"
#include "data/ui/record_grid.h"
#include "editor/custom_size.h"
#include "editor/digits_only_key_filter.h"
#include "editor/editor_texts.h"
#include "editor/format_store.h"
#include "editor/layout_editor.h"
#include "editor/option_memory.h"
#include "editor/ui/envelope_canvas.h"
#include "editor/ui/layout_gestures.h"
#include "editor/ui/popup_menus.h"
#include "labels/ui/label_tab.h"
#include "print/calibration.h"
#include "print/print_texts.h"
#include "print/ui/envelope_commands.h"
#include "print/ui/print_command.h"
#include "store/database.h"
#include "store/registry.h"
#include "store/store_texts.h"

using editor::TwipsToPixels;

namespace {

// Where the copies per record are remembered.
const QString kListSection = QStringLiteral("List");
const QString kCopiesKey = QStringLiteral("Copies");

// VB-style tab strip: SST's twips count from its top edge, the pages start this far down.
constexpr int kTabStripTwips = 300;
// Client area round the tabs: a few pixels right and below, and the tip line under SST.
constexpr int kClientMargin = 4;
constexpr int kTipBelowTabs = 40 + editor::kTipLineHeight;

// The etched separator right of the canvas: a grey line and a white one beside it.
class EtchedLine final : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setPen(QColor(160, 160, 160));
    painter.drawLine(0, 0, 0, height());
    painter.setPen(Qt::white);
    painter.drawLine(1, 0, 1, height());
  }
};

// A caption with room for a box in it ("第　　　　个信封"): the box sits over the blanks.
QLabel* CaptionAroundBox(const QString& caption, QLineEdit* box, QWidget* parent, int widen = 0) {
  auto* label = new QLabel(caption, parent);
  box->setParent(label);
  const QFontMetrics metrics(label->font());
  const qsizetype blanks = caption.indexOf(u'　');
  qsizetype end = blanks;
  while (end < caption.size() && caption[end] == u'　') ++end;
  const int left = metrics.horizontalAdvance(caption.left(blanks));
  const int width = metrics.horizontalAdvance(caption.mid(blanks, end - blanks));
  const int height = std::max(metrics.height() + 6, box->sizeHint().height());
  label->setMinimumSize(metrics.horizontalAdvance(caption) + 2, height);
  box->setGeometry(left - widen, 0, width + 2 * widen, height);
  box->setAlignment(Qt::AlignCenter);
  return label;
}

QScrollArea* Panel(QWidget* content, const QString& name, QWidget* parent) {
  auto* panel = new QScrollArea(parent);
  panel->setObjectName(name);
  panel->setFrameShape(QFrame::NoFrame);
  panel->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  panel->setWidgetResizable(true);
  panel->setWidget(content);
  auto* column = static_cast<QBoxLayout*>(content->layout());
  column->setSpacing(2);
  for (QGroupBox* frame : content->findChildren<QGroupBox*>()) {
    frame->layout()->setContentsMargins(6, 2, 6, 4);
    frame->layout()->setSpacing(2);
  }
  return panel;
}

}  // namespace

MF::MF(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("MF"));
  setWindowTitle(app::kCaption);
  setMouseTracking(true);
  openUrl_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };

  sst_ = new QTabWidget(this);
  sst_->setObjectName(QStringLiteral("SST"));
  for (int tab = 0; tab < int(pages_.size()); ++tab) {
    pages_[tab] = new QWidget;
    sst_->addTab(pages_[tab], app::kTabCaptions[tab]);
  }
  BuildEnvelopeTab();
  BuildGridTab();
  BuildLabelTab();
  BuildHelpTab();

  t2_ = new QLabel(app::kTipEmpty, this);
  t2_->setObjectName(QStringLiteral("T2"));
  BuildBoxEditing();

  adRun_ = new QTimer(this);
  adRun_->setObjectName(QStringLiteral("ADRun"));
  adRun_->setSingleShot(true);
  adRun_->setInterval(1000);
  connect(adRun_, &QTimer::timeout, this, &MF::RefuseLaterInstance);

  WatchRecordChanges();
  connect(sst_, &QTabWidget::currentChanged, this, &MF::SST_Click);
  connect(&envelope_, &editor::EnvelopeModel::sizeChanged, this, &MF::ShowSizes);
  connect(&envelope_, &editor::EnvelopeModel::optionsChanged, this, &MF::ShowOptions);
  ShowSizes();
  ShowOptions();
}

MF::~MF() = default;

QPushButton* MF::MakeCommand(int index, QWidget* parent) {
  auto* button = new QPushButton(app::kCommands[index].caption, parent);
  button->setObjectName(QStringLiteral("CB(%1)").arg(index));
  connect(button, &QPushButton::clicked, this, [this, index] { CB_Click(index); });
  button->installEventFilter(this);  // tip line on hover, edit keys for the envelope-tab buttons
  cb_[index] = button;
  return button;
}

void MF::BuildEnvelopeTab() {
  QWidget* page = pages_[kEnvelopeTab];
  ep_ = new editor::EnvelopeCanvas(envelope_, page);
  ns_ = new QScrollBar(Qt::Horizontal, page);
  ns_->setObjectName(QStringLiteral("NS"));
  ns_->setRange(1, 1);
  ns_->setSingleStep(1);
  separator_ = new EtchedLine(page);

  auto* content = new QWidget;
  auto* column = new QVBoxLayout(content);
  column->setContentsMargins(0, 0, 4, 0);

  // F4: the envelope counters.
  auto* f4 = new QGroupBox(app::kCountFrame, content);
  f4->setObjectName(QStringLiteral("F4"));
  auto* counts = new QGridLayout(f4);
  counts->addWidget(new QLabel(app::kCountHeading, f4), 0, 0);
  for (int i = 0; i < 2; ++i) {
    num_[i] = new QLineEdit;
    num_[i]->setObjectName(QStringLiteral("Num(%1)").arg(i));
    num_[i]->setReadOnly(true);
    counts->addWidget(CaptionAroundBox(i == 0 ? app::kCurrentEnvelope : app::kEnvelopeTotal, num_[i], f4), i,
                      1);
  }
  copies_ = new QSpinBox(f4);
  copies_->setObjectName(QStringLiteral("Copies"));
  copies_->setRange(1, 99);
  copies_->setToolTip(app::kCopiesTip);
  copies_->setValue(
      std::clamp(Registry::GetSetting(kListSection, kCopiesKey, QStringLiteral("1")).toInt(), 1, 99));
  connect(copies_, &QSpinBox::valueChanged, this,
          [](int n) { Registry::SaveSetting(kListSection, kCopiesKey, QString::number(n)); });
  auto* copiesRow = new QHBoxLayout;
  copiesRow->addWidget(new QLabel(app::kCopiesCaption, f4));
  copiesRow->addWidget(copies_);
  copiesRow->addStretch();
  counts->addLayout(copiesRow, 2, 1);

  // F3: calibration, lock and ruler.
  auto* f3 = new QGroupBox(app::kCalibrationFrame, content);
  f3->setObjectName(QStringLiteral("F3"));
  auto* calibration = new QGridLayout(f3);
  calibration->addWidget(MakeCommand(2, f3), 0, 0, 1, 2);
  const std::array<QString, 3> o2Captions = {app::kRulerCaption, app::kLockCaption, app::kGuideCaption};
  const std::array<QString, 3> o2Tips = {app::kRulerTip, app::kLockTip, app::kGuideTip};
  for (int i = 0; i < 3; ++i) {
    o2_[i] = new QCheckBox(o2Captions[i], f3);
    o2_[i]->setObjectName(QStringLiteral("O2(%1)").arg(i));
    o2_[i]->setToolTip(o2Tips[i]);
    connect(o2_[i], &QCheckBox::clicked, this, &MF::TakeOptions);
  }
  calibration->addWidget(o2_[1], 1, 0);
  calibration->addWidget(o2_[0], 1, 1);
  calibration->addWidget(o2_[2], 2, 1);

  // F1: the envelope sizes. The custom size boxes on the left, the sizes to choose on the right.
  auto* f1 = new QGroupBox(editor::kSizeFrameCaption, content);
  f1->setObjectName(QStringLiteral("F1"));
  f1->setMouseTracking(true);
  f1->installEventFilter(this);
  auto* sizes = new QGridLayout(f1);
  auto* left = new QVBoxLayout;
  left->addWidget(MakeCommand(12, f1));
  cb_[12]->setToolTip(app::kSaveFormatToolTip);
  const std::array<QString, 2> t1Labels = {editor::kCustomWidthLabel, editor::kCustomHeightLabel};
  const std::array<QString, 2> t1Tips = {editor::kCustomWidthTip, editor::kCustomHeightTip};
  for (int i = 0; i < 2; ++i) {
    t1_[i] = new QLineEdit;
    t1_[i]->setObjectName(QStringLiteral("T1(%1)").arg(i));
    t1_[i]->setMaxLength(3);
    t1_[i]->setToolTip(t1Tips[i]);
    t1_[i]->installEventFilter(new editor::DigitsOnlyKeyFilter(t1_[i]));
    // Text pasted from the box's menu is held to the same digits.
    t1_[i]->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), t1_[i]));
    t1_[i]->installEventFilter(this);  // focus lost: the custom size is taken
    connect(t1_[i], &QLineEdit::textEdited, this,
            [this] { envelope_.SetCustomSizeText(t1_[0]->text(), t1_[1]->text()); });
    // A little wider than the blanks, so that three digits show inside the frame.
    left->addWidget(CaptionAroundBox(t1Labels[i], t1_[i], f1, 3));
  }
  left->addStretch();
  sizes->addLayout(left, 0, 0);
  auto* right = new QVBoxLayout;
  right->setSpacing(0);
  sizeGroup_ = new QButtonGroup(this);
  for (int i = 0; i < editor::kSizeCount; ++i) {
    const editor::SizeOption& design = editor::DesignSizeOptions()[i];
    o1_[i] = new QRadioButton(design.caption, f1);
    o1_[i]->setObjectName(QStringLiteral("O1(%1)").arg(i));
    o1_[i]->setToolTip(design.tip);
    o1_[i]->setProperty("Tag", design.tag);
    sizeGroup_->addButton(o1_[i], i);
    right->addWidget(o1_[i]);
  }
  connect(sizeGroup_, &QButtonGroup::idClicked, this, &MF::SizeChange);
  sizes->addLayout(right, 0, 1);

  // F2: printing.
  auto* f2 = new QGroupBox(app::kPrintFrame, content);
  f2->setObjectName(QStringLiteral("F2"));
  auto* printing = new QGridLayout(f2);
  cRotate_ = new QCheckBox(app::kRotateCaption, f2);
  cRotate_->setObjectName(QStringLiteral("CRotate"));
  chk_ = new QCheckBox(app::kCentreFeedCaption, f2);
  chk_->setObjectName(QStringLiteral("CHK"));
  const std::array<QString, 2> o3Captions = {app::kPortraitCaption, app::kLandscapeCaption};
  auto* orientation = new QButtonGroup(this);
  for (int i = 0; i < 2; ++i) {
    o3_[i] = new QRadioButton(o3Captions[i], f2);
    o3_[i]->setObjectName(QStringLiteral("O3(%1)").arg(i));
    orientation->addButton(o3_[i], i);
    printing->addWidget(o3_[i], 0, i);
  }
  for (QAbstractButton* option :
       {static_cast<QAbstractButton*>(cRotate_), static_cast<QAbstractButton*>(chk_),
        static_cast<QAbstractButton*>(o3_[0]), static_cast<QAbstractButton*>(o3_[1])})
    connect(option, &QAbstractButton::clicked, this, &MF::TakeOptions);
  printing->addWidget(cRotate_, 1, 0);
  printing->addWidget(MakeCommand(0, f2), 1, 1);
  printing->addWidget(chk_, 2, 0);
  printing->addWidget(MakeCommand(16, f2), 2, 1);
  printing->addWidget(MakeCommand(1, f2), 3, 0, 1, 2);
  preview_ = new QPushButton(print::kPreviewCaption, f2);
  preview_->setObjectName(QStringLiteral("Preview"));
  // The preview pages through the imported envelopes as the navigator does.
  connect(preview_, &QPushButton::clicked, this, [this] {
    print::ShowPreview(this, envelope_, {ns_->maximum(), ns_->value(), [this](int n) { ns_->setValue(n); }});
  });
  printing->addWidget(preview_, 4, 0, 1, 2);

  frames_ = {f1, f2, f3, f4};
  column->addWidget(f4);
  column->addWidget(f3);
  column->addWidget(f1);
  column->addWidget(f2);
  column->addStretch();
  pic1_ = Panel(content, QStringLiteral("PIC1"), page);
}

void MF::BuildGridTab() {
  QWidget* page = pages_[kGridTab];
  msf_ = new QTableView(page);
  msf_->setObjectName(QStringLiteral("MSF"));
  msf_->setModel(&records_);
  tt_ = new QLineEdit(page);
  tt_->setObjectName(QStringLiteral("TT"));
  tt_->hide();

  auto* content = new QWidget;
  auto* column = new QVBoxLayout(content);
  column->setContentsMargins(0, 0, 4, 0);
  column->addWidget(MakeCommand(3, content));
  column->addWidget(MakeCommand(20, content));
  column->addWidget(MakeCommand(17, content));
  auto* frame1 = new QGroupBox(app::kCleaningFrame, content);
  frame1->setObjectName(QStringLiteral("Frame1"));
  auto* rules = new QVBoxLayout(frame1);
  cleaningGroup_ = new QButtonGroup(this);
  for (int i = 0; i < 3; ++i) {
    option1_[i] = new QRadioButton(app::kCleaningRules[i], frame1);
    option1_[i]->setObjectName(QStringLiteral("Option1(%1)").arg(i));
    cleaningGroup_->addButton(option1_[i], i);
    rules->addWidget(option1_[i]);
  }
  rules->addWidget(MakeCommand(4, frame1));
  column->addWidget(frame1);
  for (int index : {5, 6, 7, 13, 8, 18, 19}) column->addWidget(MakeCommand(index, content));
  auto* note = new QLabel(app::kLineBreakNote, content);
  note->setObjectName(QStringLiteral("Label4"));
  note->setWordWrap(true);
  column->addWidget(note);
  column->addStretch();
  pic2_ = Panel(content, QStringLiteral("PIC2"), page);
  filterBar_ = new data::ui::FilterBar(page);
  recordGrid_ =
      new data::ui::RecordGrid({msf_, ns_, num_[0], num_[1], tt_, filterBar_}, &records_, &envelope_, this);
  recordGrid_->SetPostcodeTableReader(生成邮编::ReadPostcodeTable);
  connect(recordGrid_, &data::ui::RecordGrid::Tip, this, &MF::SetTip);
}

void MF::BuildLabelTab() {
  QWidget* page = pages_[kLabelTab];
  labelTab_ =
      new labels::ui::LabelTab(page, envelope_, records_, MakeCommand(14, page), MakeCommand(15, page),
                               [this](const QRect& twips) { return OnPage(twips); });
  // One copies setting for envelopes and labels, shown on both tabs.
  labelTab_->SetCopies(copies_->value());
  connect(copies_, &QSpinBox::valueChanged, labelTab_, &labels::ui::LabelTab::SetCopies);
  connect(labelTab_, &labels::ui::LabelTab::CopiesChanged, copies_, &QSpinBox::setValue);
  connect(labelTab_, &labels::ui::LabelTab::Printed, this, &MF::RememberRun);
}

void MF::BuildHelpTab() {
  QWidget* page = pages_[kHelpTab];
  auto* column = new QVBoxLayout(page);
  thp_ = new QPlainTextEdit(page);
  thp_->setObjectName(QStringLiteral("THP"));
  thp_->setReadOnly(true);
  thp_->setPlainText(app::kHelpText);
  column->addWidget(thp_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(MakeCommand(10, page));
  buttons->addWidget(MakeCommand(11, page));
  column->addLayout(buttons);
}

editor::BoxWidget* MF::P1(int index) const { return ep_->box(index); }

void MF::BuildBoxEditing() {
  layout_ = std::make_unique<editor::LayoutEditor>(envelope_);
  menus_ = new editor::ui::菜单(this);
  gestures_ = new editor::ui::LayoutGestures(*layout_, *menus_, t2_, app::kCaption, this);
  for (int i = 0; i < editor::kBoxCount; ++i) gestures_->AttachBox(i, P1(i));
  gestures_->AttachCanvas(ep_);
  gestures_->AttachKeySource(this);
  for (int i : {0, 1, 2, 12}) gestures_->AttachKeySource(cb_[i]);
}

// --- Start and stop ----------------------------------------------------------------------

void MF::Load() {
  MarkCalibration();
  sst_->setCurrentIndex(kGridTab);
  data::ui::InitRecordGrid(msf_, &records_);
  sst_->setCurrentIndex(kEnvelopeTab);
  SST_Click(kEnvelopeTab);
  // Choosing the custom size first makes the chosen size's change run even when it is the
  // size already marked.
  SizeChange(editor::kCustomSize);
  SizeChange(格式模块::LoadChosenSize());
  格式模块::LoadBoxContents(envelope_);
  OptionMemory::LoadLastSet(envelope_, [this](int size) { SizeChange(size); });
  // From now on the options and the chosen size are saved as they change, so that a crash or a
  // kill keeps them too; the exit saves them once more.
  connect(&envelope_, &editor::EnvelopeModel::optionsChanged, this,
          [this] { OptionMemory::SaveLastSet(envelope_); });
  connect(&envelope_, &editor::EnvelopeModel::sizeChanged, this, [this] {
    格式模块::SaveChosenSize(envelope_);
    OptionMemory::SaveLastSet(envelope_);
  });
  adRun_->start();
}

void MF::Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  adRun_->stop();
  // The three saves tell the user once when they could not all be written.
  const int failures = DataBase::FailureCount();
  DataBase::OneMessage once;
  格式模块::SaveChosenSize(envelope_);
  格式模块::SaveBoxContents(envelope_);
  OptionMemory::SaveLastSet(envelope_);
  if (DataBase::FailureCount() != failures)
    DataBase::Tell(DataBase::kNotSavedAtExit.arg(QDir::toNativeSeparators(DataBase::DatabasePath())));
}

void MF::closeEvent(QCloseEvent* event) {
  if (!unloaded_ && !MayClose()) {
    event->ignore();
    return;
  }
  Unload();
  event->accept();
}

void MF::WatchRecordChanges() {
  const auto changed = [this] {
    if (!records_.refilteringOnly()) ++recordChanges_;  // showing other records changes none
  };
  connect(&records_, &QAbstractItemModel::modelReset, this, changed);
  connect(&records_, &QAbstractItemModel::rowsInserted, this, changed);
  connect(&records_, &QAbstractItemModel::rowsRemoved, this, changed);
  connect(&records_, &QAbstractItemModel::rowsMoved, this, changed);
  // Colours and tips of the postcode check are no change of the records.
  connect(&records_, &QAbstractItemModel::dataChanged, this,
          [changed](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
            if (roles.isEmpty() || roles.contains(Qt::DisplayRole) || roles.contains(Qt::EditRole)) changed();
          });
}

bool MF::RecordsChangedSinceExport() const {
  return records_.totalCount() > 0 && recordChanges_ != exportedChanges_;
}

bool MF::MayClose() {
  if (!RecordsChangedSinceExport()) return true;
  switch (common::prompts().AskYesNoCancel(app::kCloseQuestion, app::kCloseExport, app::kCloseNoExport,
                                           app::kCloseCancel)) {
    case common::Choice::kYes:
      // A cancelled or failed export keeps the window open, with the records.
      if (!recordGrid_->ExportRecords(data::ui::RecordGrid::Which::kAll)) return false;
      exportedChanges_ = recordChanges_;
      return true;
    case common::Choice::kNo:
      return true;
    case common::Choice::kCancel:
      return false;
  }
  return false;
}

void MF::MarkCalibration() {
  // A chosen printer that was never calibrated: the button says so in bold.
  QFont font = cb_[2]->font();
  font.setBold(!print::IsCalibrated(print::EffectivePrinterName()));
  cb_[2]->setFont(font);
}

void MF::SetInstanceCheck(std::function<bool()> anotherInstance) {
  anotherInstance_ = std::move(anotherInstance);
}

void MF::SetUrlOpener(std::function<bool(const QUrl&)> opener) { openUrl_ = std::move(opener); }

void MF::RefuseLaterInstance() {
  if (!anotherInstance_ || !anotherInstance_()) return;
  common::prompts().Message(app::kAlreadyRunningLater);
  close();
}

// --- Tabs and layout ---------------------------------------------------------------------

void MF::SST_Click(int tab) {
  switch (tab) {
    case kEnvelopeTab:
      LayoutEnvelopeTab();
      break;
    case kGridTab:
      LayoutGridTab();
      break;
    case kLabelTab:
      labelTab_->LayoutLabelTab(QSize(editor::PixelsToTwips(sst_->width()),
                                      editor::PixelsToTwips(sst_->height() - TabStripExtra())));
      break;
    default:
      break;  // the help page fills the tab through its own layout
  }
}

QSize MF::ClientSize(const editor::EnvelopeTabLayout& layout) const {
  // The window's frame and caption are the desktop's; the client area ends under the tip line.
  return {
      TwipsToPixels(layout.tabs.width()) + kClientMargin,
      TwipsToPixels(layout.tabs.height() + kTipBelowTabs) + TabStripExtra() + TipLineExtra() + kClientMargin};
}

int MF::TabStripExtra() const {
  // Qt's tab strip may be taller than the layout's; SST grows by the difference.
  const int strip = sst_->tabBar()->sizeHint().height() + 2;
  return std::max(strip - TwipsToPixels(kTabStripTwips), 0);
}

int MF::TipLineExtra() const {
  // The same for the tip line, whose font may be taller than the layout's line.
  return std::max(t2_->sizeHint().height() - TwipsToPixels(editor::kTipLineHeight), 0);
}

QRect MF::OnPage(const QRect& twips) const {
  QRect pixels = TwipsToPixels(twips).translated(0, -TwipsToPixels(kTabStripTwips));
  if (pixels.top() < 0) pixels.setTop(0);
  return pixels;
}

void MF::LayoutEnvelopeTab() {
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  const QSize screenTwips = screen->availableGeometry().size() * editor::kTwipsPerPixel;
  // The room less what ClientSize adds round SST, so that the window stays on the screen.
  const QSize added(kClientMargin, kClientMargin + TabStripExtra() + TipLineExtra());
  const editor::EnvelopeTabLayout layout = editor::LayoutEnvelopeTab(
      EnvelopeInput(editor::RoomOnScreen(screenTwips) - added * editor::kTwipsPerPixel));
  laying_ = true;
  const QSize client = ClientSize(layout);
  // Centred as the window really is: the client area with the desktop's frame round it (the
  // layout's margin while the frame is not known yet, before the window is first shown).
  const QSize frame =
      (frameGeometry().size() - size()).expandedTo({TwipsToPixels(editor::kWindowMarginWidth), 0});
  const QSize outer = client + frame;
  const QPoint corner =
      editor::PlaceOnScreen(screenTwips, outer * editor::kTwipsPerPixel) / editor::kTwipsPerPixel;
  move(screen->availableGeometry().topLeft() + corner);
  resize(client);
  laying_ = false;
  ApplyEnvelopeLayout(layout);
}

editor::EnvelopeTabInput MF::EnvelopeInput(QSize room) const {
  // The scroll bar's width is kept free, so that nothing hides behind it when the panel scrolls.
  const QSize content = pic1_->widget()->minimumSizeHint();
  const int panelWidth = content.width() + pic1_->verticalScrollBar()->sizeHint().width();
  return {room,
          std::max(kPanelWidth, editor::PixelsToTwips(panelWidth)),
          kNavigatorHeight,
          envelope_.W(),
          envelope_.H(),
          editor::PixelsToTwips(pic1_->widget()->sizeHint().height())};
}

void MF::ApplyEnvelopeLayout(const editor::EnvelopeTabLayout& layout) {
  laying_ = true;
  const int extra = TabStripExtra();
  sst_->setGeometry(TwipsToPixels(layout.tabs).adjusted(0, 0, 0, extra));
  const QRect canvas = OnPage(layout.canvas);
  ep_->setGeometry(canvas);
  envelope_.SetCanvasSize(canvas.size() * editor::kTwipsPerPixel);
  ns_->setGeometry(OnPage(layout.navigator));
  pic1_->setGeometry(OnPage(layout.panel));
  const QLine& line = layout.separatorDark;
  const QRect etched = OnPage(QRect(line.x1(), line.y1(), 0, line.y2() - line.y1()));
  separator_->setGeometry(etched.left(), etched.top(), 2, etched.height());
  t2_->setGeometry(TwipsToPixels(layout.tip).translated(0, extra).adjusted(0, 0, 0, TipLineExtra()));
  laying_ = false;
  DrawRuler();
}

void MF::LayoutGridTab() {
  const QSize tabs(editor::PixelsToTwips(sst_->width()),
                   editor::PixelsToTwips(sst_->height() - TabStripExtra()));
  const int panelWidth =
      pic2_->widget()->minimumSizeHint().width() + pic2_->verticalScrollBar()->sizeHint().width();
  const editor::GridTabLayout layout =
      editor::LayoutGridTab(tabs, std::max(kGridPanelWidth, editor::PixelsToTwips(panelWidth)));
  // The filter bar takes the top of the grid's place.
  const QRect grid = OnPage(layout.grid);
  const int bar = filterBar_->heightForWidth(grid.width());
  filterBar_->setGeometry(grid.x(), grid.y(), grid.width(), bar);
  msf_->setGeometry(grid.adjusted(0, bar, 0, 0));
  pic2_->setGeometry(OnPage(layout.panel));
}

void MF::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (laying_) return;
  // The user resized the window: the tabs take the new room, the canvas keeps its proportions.
  const QSize room(
      editor::PixelsToTwips(width() - kClientMargin),
      editor::PixelsToTwips(height() - TabStripExtra() - TipLineExtra() - kClientMargin) - kTipBelowTabs);
  const editor::EnvelopeTabLayout layout = editor::LayoutEnvelopeTab(EnvelopeInput(room));
  ApplyEnvelopeLayout(layout);
  if (sst_->currentIndex() == kGridTab) LayoutGridTab();
}

// --- Sizes, ruler and options --------------------------------------------------------------

void MF::SizeChange(int index) {
  if (index < 0 || index >= editor::kSizeCount) return;
  const bool custom = index == editor::kCustomSize;
  t1_[0]->setEnabled(custom);
  t1_[1]->setEnabled(custom);
  // Loading the size's format shows its W and H in T1 and lays out the tab before any box moves.
  格式模块::SizeOptionClick(envelope_, index, [this] { LayoutEnvelopeTab(); });
  PlacePostCodeLabel();
}

void MF::AcceptCustomSize() {
  // The boxes can only be typed in while the custom size is chosen; a focus change that lands
  // after another size was clicked has nothing to take.
  if (envelope_.chosenSize() != editor::kCustomSize) return;
  const std::optional<editor::WholeSize> size = editor::AcceptCustomSize(t1_[0]->text(), t1_[1]->text());
  if (!size) {
    // Back to the last accepted custom size, so the canvas never sees a size it cannot draw.
    // The message waits until the focus has settled: a modal box inside a focus change would
    // swallow the click that moved it.
    const QString& caption = envelope_.sizeCaption(editor::kCustomSize);
    envelope_.SetCustomSizeText(common::NumberText(editor::CaptionWidth(caption)),
                                common::NumberText(editor::CaptionHeight(caption)));
    QTimer::singleShot(0, this, [] { common::prompts().Message(editor::kBadProportions); });
    return;
  }
  envelope_.SetCustomSizeText(QString::number(size->W), QString::number(size->H));
  envelope_.SetSizeCaption(editor::kCustomSize, editor::CustomSizeCaption(*size));
  LayoutEnvelopeTab();
}

void MF::DrawRuler() { ep_->DrawRuler(); }

void MF::PlacePostCodeLabel() { ep_->PlacePostCodeLabel(); }

void MF::ShowSizes() {
  const int chosen = envelope_.chosenSize();
  sizeGroup_->setExclusive(chosen >= 0);
  for (int i = 0; i < editor::kSizeCount; ++i) {
    o1_[i]->setText(envelope_.sizeCaption(i));
    o1_[i]->setChecked(i == chosen);
  }
  sizeGroup_->setExclusive(true);
  if (t1_[0]->text() != envelope_.customWidthText()) t1_[0]->setText(envelope_.customWidthText());
  if (t1_[1]->text() != envelope_.customHeightText()) t1_[1]->setText(envelope_.customHeightText());
}

void MF::ShowOptions() {
  const editor::TabOptions& options = envelope_.options();
  o3_[0]->setChecked(options.portrait);
  o3_[1]->setChecked(options.landscape);
  o2_[0]->setChecked(options.ruler);
  o2_[1]->setChecked(options.lock);
  o2_[2]->setChecked(options.guide);
  chk_->setChecked(options.centreFeed);
  cRotate_->setChecked(options.rotate);
}

void MF::TakeOptions() {
  editor::TabOptions options;
  options.portrait = o3_[0]->isChecked();
  options.landscape = o3_[1]->isChecked();
  options.ruler = o2_[0]->isChecked();
  options.lock = o2_[1]->isChecked();
  options.guide = o2_[2]->isChecked();
  options.centreFeed = chk_->isChecked();
  options.rotate = cRotate_->isChecked();
  envelope_.SetOptions(options);
}

// --- Tip line and events -----------------------------------------------------------------

void MF::SetTip(const QString& text) { t2_->setText(text); }

void MF::mouseMoveEvent(QMouseEvent* event) {
  SetTip(QString());
  QWidget::mouseMoveEvent(event);
}

void MF::keyPressEvent(QKeyEvent* event) {
  // Keys of child controls arrive here too when they pass them on; those route themselves.
  const QWidget* focus = QApplication::focusWidget();
  if (!focus || focus == this) emit ep_->editKey(event->key(), event->modifiers());
  QWidget::keyPressEvent(event);
}

bool MF::eventFilter(QObject* watched, QEvent* event) {
  if (watched == frames_[0] && (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter))
    SetTip(editor::kSizeFrameTip);
  if ((watched == t1_[0] || watched == t1_[1]) && event->type() == QEvent::FocusOut) {
    // The pair is checked as the user leaves it, width and height together, so that a size
    // such as 220 x 111 -> 324 x 229 is reached whichever box is typed first. Only a move to a
    // control outside the pair counts; switching windows or opening a menu does not. It is
    // taken at once, so that a click on "保存 当前格式" that moved the focus saves the new size.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    const QWidget* next = QApplication::focusWidget();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && next != t1_[0] &&
        next != t1_[1])
      AcceptCustomSize();
  }
  for (int index = 0; index < app::kCommandCount; ++index) {
    if (watched != cb_[index] || !cb_[index]) continue;
    if (event->type() == QEvent::Enter && !app::kCommands[index].tipLine.isEmpty())
      SetTip(app::kCommands[index].tipLine);
    if (event->type() == QEvent::KeyPress && (index <= 2 || index == 12)) {
      const auto* key = static_cast<QKeyEvent*>(event);
      emit ep_->editKey(key->key(), key->modifiers());
    }
  }
  return QWidget::eventFilter(watched, event);
}
