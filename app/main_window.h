#pragma once
// MF, the main window: owns every control and the run-time state (the envelope model and the
// imported records). Controls keep the program's short names as objectName; members of a
// control array are named with their index in brackets: "CB(12)", "P1(9)", "O1(6)", "T1(0)",
// "O2(0)", "O3(1)", "Num(1)", "Option1(2)". CB(9) does not exist (CB(9) returns nullptr).
//
// Where each subsystem plugs in:
//  - start and stop steps: Load() runs the start sequence in order (margins mark, tab 0, the
//    chosen size and its format, box texts, options), Unload() the stop sequence (chosen size,
//    box texts, options); the record grid and the popup menus add their steps there.
//  - commands: every CB click goes to CB_Click (app/commands.cpp), one case per index.
//  - box editing: the canvas EP() sends every mouse and key event of itself and of its boxes
//    (signals of editor::EnvelopeCanvas and editor::BoxWidget); MF routes the key-downs of
//    CB(0), CB(1), CB(2), CB(12) and of the window itself to EP()->editKey as well.
//    The gestures themselves (editor::ui::LayoutGestures) watch the canvas, the boxes, the
//    window and those buttons through an event filter, so each key edits the layout once.
//  - record grid: MSF() shows records(); TT() is the hidden in-place editor; NS() and Num(i)
//    are the navigator and its counters on the envelope tab.
//  - labels: LabelPage() is tab 2's empty page (CB(14), CB(15) already sit on it).
//  - the tip line: SetTip() writes T2.

#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "data/record_table.h"
#include "editor/envelope_model.h"
#include "editor/window_layout.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QScrollBar;
class QTabWidget;
namespace labels::ui {
class LabelTab;
}
class QSpinBox;
class QTableView;
class QTimer;
class QUrl;

namespace data::ui {
class FilterBar;
class RecordGrid;
}  // namespace data::ui

namespace editor {
class BoxWidget;
class DigitsOnlyKeyFilter;
class EnvelopeCanvas;
class LayoutEditor;
namespace ui {
class LayoutGestures;
class 菜单;
}  // namespace ui
}  // namespace editor

class MF : public QWidget {
  Q_OBJECT

 public:
  enum Tab : int { kEnvelopeTab = 0, kGridTab = 1, kLabelTab = 2, kHelpTab = 3 };

  explicit MF(QWidget* parent = nullptr);
  ~MF() override;

  // The start sequence, in order (after Sub_main's single-instance test), and the stop sequence
  // run when the window closes.
  void Load();
  void Unload();

  // The click handler of the whole CB array (app/commands.cpp).
  void CB_Click(int index);

  // Tabs: a click on SST lays out the chosen tab.
  void SST_Click(int tab);
  void LayoutEnvelopeTab();
  void LayoutGridTab();

  // Envelope size: a click on O1(index); the custom size boxes losing the focus.
  void SizeChange(int index);
  void AcceptCustomSize();
  void DrawRuler();
  void PlacePostCodeLabel();

  // T2.
  void SetTip(const QString& text);

  // Records on the canvas (data/ui/record_grid.h): record NS.Value into the boxes, and the
  // navigator's change event that does it.
  void ShowRecord();
  void NS_Change();
  // The ticked Option1 cleaning rule, -1 when none.
  int SelectedRule() const;
  data::ui::RecordGrid* recordGrid() const { return recordGrid_; }
  // The grid holds records changed since the last import or export: closing asks first.
  bool RecordsChangedSinceExport() const;

  // The timer ADRun repeats the single-instance test once, a second after the start.
  // `anotherInstance` answers whether another running program holds the instance lock.
  void SetInstanceCheck(std::function<bool()> anotherInstance);
  // How CB(11) hands the user guide to the desktop; replaced in tests.
  void SetUrlOpener(std::function<bool(const QUrl&)> opener);

  // State.
  editor::EnvelopeModel& envelope() { return envelope_; }
  data::RecordTable& records() { return records_; }
  // Box editing: moves, resizes and fonts with their undo history, and the hidden window 菜单
  // with the popup menus.
  editor::LayoutEditor& layoutEditor() { return *layout_; }
  editor::ui::菜单* PopupMenus() const { return menus_; }

  // Controls.
  QTabWidget* SST() const { return sst_; }
  editor::EnvelopeCanvas* EP() const { return ep_; }
  editor::BoxWidget* P1(int index) const;
  QScrollBar* NS() const { return ns_; }
  QLineEdit* Num(int index) const { return num_.at(index); }
  QPushButton* CB(int index) const { return cb_.at(index); }
  QRadioButton* O1(int index) const { return o1_.at(index); }
  QLineEdit* T1(int index) const { return t1_.at(index); }
  QCheckBox* O2(int index) const { return o2_.at(index); }
  QRadioButton* O3(int index) const { return o3_.at(index); }
  QCheckBox* CHK() const { return chk_; }
  QCheckBox* CRotate() const { return cRotate_; }
  QScrollArea* PIC1() const { return pic1_; }
  QGroupBox* F(int index) const { return frames_.at(index - 1); }  // F1..F4
  QTableView* MSF() const { return msf_; }
  QLineEdit* TT() const { return tt_; }
  QScrollArea* PIC2() const { return pic2_; }
  QRadioButton* Option1(int index) const { return option1_.at(index); }
  QWidget* LabelPage() const { return pages_[kLabelTab]; }
  labels::ui::LabelTab* labelTab() const { return labelTab_; }
  QPlainTextEdit* THP() const { return thp_; }
  QLabel* T2() const { return t2_; }
  QTimer* ADRun() const { return adRun_; }
  QPushButton* PreviewButton() const { return preview_; }

  // Widths in twips that the tab layouts work with.
  static constexpr int kPanelWidth = 4200;      // PIC1
  static constexpr int kGridPanelWidth = 2500;  // PIC2
  static constexpr int kNavigatorHeight = 255;  // NS

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildEnvelopeTab();
  void BuildGridTab();
  void BuildLabelTab();
  void BuildHelpTab();
  QPushButton* MakeCommand(int index, QWidget* parent);
  void MarkCalibration();
  void ShowSizes();
  void ShowOptions();
  void TakeOptions();
  void ApplyEnvelopeLayout(const editor::EnvelopeTabLayout& layout);
  // What the envelope tab is laid out from: the room for SST, and PIC1 as wide as its widest
  // control and as tall as all of them together need.
  editor::EnvelopeTabInput EnvelopeInput(QSize room) const;
  // SST-relative twips to a page's pixels: the page starts under the tab strip.
  QRect OnPage(const QRect& twips) const;
  int TabStripExtra() const;
  int TipLineExtra() const;
  QSize ClientSize(const editor::EnvelopeTabLayout& layout) const;
  void RefuseLaterInstance();
  void ShowAbout();
  void OpenUserGuide();
  void BuildBoxEditing();
  // The printer chooser before a print command; false when no printer was chosen.
  bool AwaitPrinterChooser(int index);
  // The envelope print commands 0, 1 and 16.
  void PrintEnvelopes(int index);
  // What a print run printed, shown records first..last, for the posting list; copies count once.
  void RememberRun(int first, int last);
  void ShowPrintTip(const QString& tip);
  // 交寄清单: of the last print run or of the shown records, as PDF, .xlsx or CSV.
  void WritePostingList();
  void WatchRecordChanges();
  // Asks whether to export changed records before closing; false when the window stays open.
  bool MayClose();

  editor::EnvelopeModel envelope_;
  data::RecordTable records_;
  std::vector<data::Record> lastRun_;  // what the last envelope or label run printed
  bool canvasBehind_ = false;          // a print run changed the envelope; the canvas shows it soon
  std::unique_ptr<editor::LayoutEditor> layout_;

  QTabWidget* sst_ = nullptr;
  std::array<QWidget*, 4> pages_{};
  editor::EnvelopeCanvas* ep_ = nullptr;
  QScrollBar* ns_ = nullptr;
  QScrollArea* pic1_ = nullptr;
  QWidget* separator_ = nullptr;
  std::array<QGroupBox*, 4> frames_{};
  std::array<QLineEdit*, 2> num_{};
  std::array<QPushButton*, 21> cb_{};
  std::array<QRadioButton*, editor::kSizeCount> o1_{};
  std::array<QLineEdit*, 2> t1_{};
  std::array<QCheckBox*, 3> o2_{};
  std::array<QRadioButton*, 2> o3_{};
  QCheckBox* chk_ = nullptr;
  QCheckBox* cRotate_ = nullptr;
  QButtonGroup* sizeGroup_ = nullptr;
  QButtonGroup* cleaningGroup_ = nullptr;
  QTableView* msf_ = nullptr;
  QSpinBox* copies_ = nullptr;  // each record's envelopes in a run
  labels::ui::LabelTab* labelTab_ = nullptr;
  data::ui::RecordGrid* recordGrid_ = nullptr;
  data::ui::FilterBar* filterBar_ = nullptr;
  QLineEdit* tt_ = nullptr;
  QScrollArea* pic2_ = nullptr;
  std::array<QRadioButton*, 3> option1_{};
  QPlainTextEdit* thp_ = nullptr;
  QLabel* t2_ = nullptr;
  QTimer* adRun_ = nullptr;
  QPushButton* preview_ = nullptr;
  editor::ui::菜单* menus_ = nullptr;
  editor::ui::LayoutGestures* gestures_ = nullptr;

  std::function<bool()> anotherInstance_;
  std::function<bool(const QUrl&)> openUrl_;
  bool laying_ = false;  // a layout is resizing the window itself
  bool unloaded_ = false;
  // Changes of the records seen so far, and how many of them the last import or export covered.
  int recordChanges_ = 0;
  int exportedChanges_ = 0;
};
