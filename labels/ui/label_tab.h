#pragma once
// The label tab (tab 2 of SST): the viewport Tag1 with the sheet preview PTag(0), its shadow
// PTag(1) and the scroll bars TagHS (pages) and TagVS (up and down), and the settings panel
// FRM2 with TNum(0..5), TagDir, CK(0..6), PPS and the print buttons CB(14), CB(15). The widgets
// only show the sheet and pass their events on; the sheet, the geometry and the drawing are
// the core's (labels/).

#include <QObject>
#include <QRect>
#include <array>
#include <functional>
#include <memory>

#include "data/record_table.h"
#include "editor/envelope_model.h"
#include "labels/label_renderer.h"
#include "labels/label_sheet.h"
#include "labels/sheet_device.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QScrollBar;
class QSpinBox;
class QWidget;

namespace labels::ui {

class SheetView;

class LabelTab : public QObject {
  Q_OBJECT

 public:
  // Builds the controls on `page`. `onPage` turns SST-relative twips into the page's pixels;
  // the two buttons are moved into the settings panel.
  LabelTab(QWidget* page, const editor::EnvelopeModel& envelope, const data::RecordTable& records,
           QPushButton* printPage, QPushButton* printFromPage, std::function<QRect(const QRect&)> onPage);
  ~LabelTab() override;

  // Lays the tab out for a tab control of `sst` twips and recounts the pages.
  void LayoutLabelTab(QSize sst);

  // CB(14) and CB(15) on the current printer. Return the tip-line text the command leaves
  // (the PDF file written), empty when there is none.
  QString PrintCurrentPage();
  QString PrintFromCurrentPage();

  // Each record's label `copies` times, one after another, in the preview and in print.
  void SetCopies(int copies);
  int copies() const { return copies_; }

  const LabelSheet& sheet() const { return sheet_; }
  // The sheet preview as last drawn.
  const QImage& picture() const;

  // Event handlers, public for the tests.
  // A box's text is taken as it is typed when the sheet still has room for a label; when the
  // box is left, a figure that leaves no room is refused with a message, and the sheet is saved.
  void TNum_Change(int index);
  void TNum_Left(int index);
  void TagHS_Change();
  void TagVS_Change();
  void TagDir_Click();
  void CK_Click(int index);
  // A sheet from the drop-down of common label sheets (item 0 is the sheet as typed).
  void ChoosePreset(int item);
  // The list shows the preset the sheet's figures are, "自定义" when they are none.
  void ShowPreset();

 signals:
  // The copies box was changed by the user.
  void CopiesChanged(int copies);
  // A print command sent pages holding the labels of shown records first..last.
  void Printed(int first, int last);

 private:
  void BuildPanel(QPushButton* printPage, QPushButton* printFromPage);
  void RecountPages();
  void DrawLabelPage();
  QString PrintPages(int first, int last);
  LabelSource Source() const { return {sheet_, envelope_, records_, copies_}; }

  const editor::EnvelopeModel& envelope_;
  const data::RecordTable& records_;
  std::function<QRect(const QRect&)> onPage_;
  LabelSheet sheet_;
  QSize sheetTwips_;
  QSize sst_;
  int tag1Height_ = 1;  // twips
  std::unique_ptr<SheetDevice> device_;
  int copies_ = 1;

  QWidget* page_;
  QFrame* tag1_ = nullptr;
  SheetView* sheetView_ = nullptr;  // PTag(0)
  QWidget* shadow_ = nullptr;       // PTag(1)
  QScrollBar* tagHS_ = nullptr;
  QScrollBar* tagVS_ = nullptr;
  QGroupBox* frm2_ = nullptr;
  QScrollArea* panel_ = nullptr;  // holds FRM2, scrolling it on a screen too short for it
  std::array<QLineEdit*, kNumberCount> tnum_{};
  std::array<QCheckBox*, kCheckCount> ck_{};
  QCheckBox* tagDir_ = nullptr;
  QComboBox* presets_ = nullptr;
  QLabel* pps_ = nullptr;
  QSpinBox* copiesBox_ = nullptr;
};

}  // namespace labels::ui
