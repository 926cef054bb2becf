#pragma once
// The label sheet as the label tab describes it: how many labels across and down, the shrink
// factor, the paper size, which items each label carries, the first cell to use on the first
// sheet, and the page shown. Values are kept as the user typed them and read the way the
// program reads numbers (common::Val, halves to even), so that the preview, the page count and
// printing all agree on what a text means. The sheet is kept between runs by labels/label_memory.h.

#include <QPointF>
#include <QRect>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace labels {

// The check boxes CK(0)..CK(6).
enum Check : int {
  kPostcodeCheck = 0,
  kAddressCheck,
  kNameCheck,
  kSenderAddressCheck,
  kSenderPostcodeCheck,
  kTagCheck,
  kLinesCheck,
  kCheckCount
};

// The text boxes TNum(0)..TNum(9); 5 is the start cell, 6 to 9 the margins and gaps in mm of a
// real label sheet (all 0: the sheet is cut into equal cells edge to edge).
enum Number : int {
  kAcross = 0,
  kDown,
  kShrink,
  kPaperWidth,
  kPaperHeight,
  kStartCell,
  kMarginTop,
  kMarginLeft,
  kGapAcross,
  kGapDown,
  kNumberCount
};

struct LabelSheet {
  std::array<QString, kNumberCount> numbers = {
      QStringLiteral("4"),   QStringLiteral("15"), QStringLiteral("1.5"), QStringLiteral("210"),
      QStringLiteral("297"), QStringLiteral("1"),  QStringLiteral("0"),   QStringLiteral("0"),
      QStringLiteral("0"),   QStringLiteral("0"),
  };
  std::array<bool, kCheckCount> ticked = {true, true, true, false, false, false, true};
  bool landscape = false;  // TagDir
  int page = 1;            // TagHS.Value
  int pageCount = 1;       // TagHS.Max
};

// The whole number a text stands for: its Val rounded, halves to even.
int WholeNumber(const QString& text);

// Across and down for the page arithmetic: whole numbers raised to 1.
int Across(const LabelSheet& sheet);
int Down(const LabelSheet& sheet);
std::int64_t PerPage(const LabelSheet& sheet);
// Fonts are divided by this; below 1 (or no number) counts as 1.
double ShrinkFactor(const LabelSheet& sheet);
// Paper size in mm, as typed (not rounded).
double PaperWidth(const LabelSheet& sheet);
double PaperHeight(const LabelSheet& sheet);
// The cell of the first sheet the first record goes to, 1-based, within the sheet.
int StartCell(const LabelSheet& sheet);

// Whether the preview draws a sheet of this many labels (down up to 100, across up to 200) and
// whether printing prints it (across up to 100, down up to 200). Counts below 1 are refused.
bool PreviewDraws(const LabelSheet& sheet);
bool PrintPrints(const LabelSheet& sheet);

// Pages needed for `records` records, at least one (an empty grid still shows a sheet).
int PageCount(const LabelSheet& sheet, int records);
// The record for cell `cell` (0-based, row by row) of page `page` (1-based). Below 1 for a
// cell left free on the first sheet; above `records` past the last record.
std::int64_t RecordAt(const LabelSheet& sheet, int page, std::int64_t cell);

// Where the labels lie on the paper, in the paper's units: the first label's top-left corner,
// a label's size, and the distance from one label to the next (size + gap). The right and bottom
// margins equal the left and top ones, as on the sheets sold.
struct LabelGrid {
  QPointF origin;
  QSizeF label;
  QSizeF pitch;
  // The cell of column c and row r (from 0), and the separator between neighbours: in the
  // middle of the gap.
  QPointF At(int c, int r) const { return origin + QPointF(c * pitch.width(), r * pitch.height()); }
};
// The grid on `paper`; nullopt when a margin or gap is negative or no room is left for a label.
std::optional<LabelGrid> GridOf(const LabelSheet& sheet, QSizeF paper);

// The common A4 label sheets sold in China: labels across and down, margins and gaps in mm.
struct LabelPreset {
  int across, down;
  double top, left, gapAcross, gapDown;
};
const std::vector<LabelPreset>& LabelPresets();
// "3 × 8  70 × 37 毫米": counts and the label size on A4.
QString PresetCaption(const LabelPreset& preset);
// Sets counts, A4 portrait paper, margins and gaps; the shrink factor and start cell stay.
void ApplyPreset(LabelSheet& sheet, const LabelPreset& preset);

// PPS: "1/3".
QString PageText(int page, int pageCount);

// TagDir: the paper's width and height change places; the new height is the old width as a
// whole number.
void SwapPaperSides(LabelSheet& sheet);

// Where LayoutLabelTab puts the tab's controls, in twips relative to the tab page.
struct LabelTabLayout {
  QRect tag1;        // the viewport
  QRect sheet;       // PTag(0), relative to Tag1
  QRect shadow;      // PTag(1), relative to Tag1
  QRect vertical;    // TagVS, relative to Tag1
  QRect horizontal;  // TagHS, relative to Tag1
  QRect panel;       // FRM2
  int verticalMax;   // TagVS.Max
};
// `tab` is the size of the tab control SST; the panel and scroll bar sizes are the widgets' own.
LabelTabLayout LayoutLabelTab(const LabelSheet& sheet, QSize tab, int panelWidth, int verticalBarWidth,
                              int horizontalBarHeight);
// TagVS_Change: the sheet's top for a scroll value.
int SheetTopForScroll(int value, int viewportHeight);

}  // namespace labels
