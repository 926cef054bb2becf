#pragma once
// Label sheets drawn through the printer device: the on-screen preview of one page (onto the
// sheet picture) and the printed pages (onto any printer). Both place the same items at the
// same scaled canvas positions with the same line breaking, so the two cannot drift apart;
// they differ only where the sheet differs from paper: the preview's fonts are the box sizes
// divided by the shrink factor, printed fonts are searched to keep the preview's proportions,
// and print adds the printer offsets, the centre-feed shift and the separator lines on the far
// edges.

#include <QPointF>
#include <QSizeF>
#include <array>

#include "data/record_table.h"
#include "editor/envelope_model.h"
#include "labels/label_sheet.h"
#include "labels/sheet_device.h"
#include "print/calibration.h"
#include "print/envelope_renderer.h"
#include "print/printer_device.h"

namespace labels {

// What a label page is made of. Printed fonts do not depend on the preview's size on screen.
// Each record's label comes `copies` times, one after another.
struct LabelSource {
  const LabelSheet& sheet;
  const editor::EnvelopeModel& envelope;
  const data::RecordTable& records;
  int copies = 1;
};

// The labels a source fills: every shown record's, `copies` times.
std::int64_t LabelCount(const LabelSource& source);
// The shown record that label `label` (1-based, as RecordAt counts) is a copy of.
int RecordOfLabel(const LabelSource& source, std::int64_t label);

// One item of a label: its check box, the canvas box that gives its place and font, where its
// text comes from (a record column, or the box's own text) and whether it wraps.
struct LabelItem {
  Check check;
  int box;
  int column;  // kOwnText: the box's text
  bool wrap;
  static constexpr int kOwnText = -1;
};
// In drawing order. The whole postcode goes at the first digit box, in its font, and never wraps.
inline constexpr std::array<LabelItem, 6> kLabelItems = {{
    {kPostcodeCheck, editor::kFirstDigitBox, data::kPostcodeColumn, false},
    {kAddressCheck, editor::kAddressBox, data::kAddressColumn, true},
    {kNameCheck, editor::kNameBox, data::kNameColumn, true},
    {kSenderAddressCheck, editor::kSenderAddressBox, LabelItem::kOwnText, true},
    {kSenderPostcodeCheck, editor::kSenderPostcodeBox, LabelItem::kOwnText, true},
    {kTagCheck, editor::kTagBox, LabelItem::kOwnText, true},
}};

// The separator lines' colour, on screen and on paper.
inline const QColor kSeparatorColor{0xFF, 0x22, 0xFF};
// The empty sheet, and the cells of the first sheet left free for labels already used.
inline const QColor kSheetColor{0xEE, 0xEE, 0xEE};
inline const QColor kUsedCellColor{0xC8, 0xC8, 0xC8};

// Prints one item's text with its top-left corner at `at`, in the device's current font:
// "//" starts a new line, and with `wrap` a line longer than `maxWidth` is broken between
// characters, never inside a run of digits or Latin letters unless the run alone is wider
// (a single character wider than that is printed whole). Lines are spaced by the
// height of two full-width characters; an empty line still takes one line.
void PrintLabelText(print::PrinterDevice& device, const QString& text, QPointF at, double maxWidth,
                    bool wrap);
// The lines PrintLabelText prints, in the device's current font, and the printing of them.
QStringList LabelLines(const print::PrinterDevice& device, const QString& text, double maxWidth, bool wrap);
void PrintLabelLines(print::PrinterDevice& device, const QStringList& lines, QPointF at, bool wrap);

// The preview: draws page `sheet.page` onto the sheet picture (a SheetDevice; the sheet is its
// drawable size). False, leaving the previous
// picture, when the preview does not draw that many labels (down above 100, across above 200).
// `tooFull` gets the number of labels on it whose text does not fit even at the smallest type
// (printed all the same, running over their cell).
bool DrawLabelPage(print::PrinterDevice& picture, const LabelSource& source, int* tooFull = nullptr);

// The printer font size for an item of `size` points (box size / shrink) in `font`: the font
// sample is as wide, relative to the paper, as on the preview sheet. mmPerTwip is the paper
// width over the sheet's width in twips. The device's size is left at the result.
float FitLabelFontSize(print::PrinterDevice& printer, double size, const common::FontChoice& font,
                       double mmPerTwip, print::FontSizeCache* cache = nullptr);

// Page setup for a sheet: A4, millimetres, landscape when TagDir is ticked, origin (0, 0).
void SetupLabelPage(print::PrinterDevice& printer, const LabelSheet& sheet);

// How printing a page ended.
enum class PagePrinted {
  kPrinted,
  kTooMany,  // printing does not take that many labels: nothing printed, no job started
  kNoRoom,   // the margins and gaps leave no room for a label: likewise
  kNotSent,  // the printer could not take the job
};

// Prints page `page` of the sheet as one job: the labels, then the separator lines when ticked.
// The labels too full to fit are added to `tooFull`.
PagePrinted PrintLabelPage(print::PrinterDevice& printer, const LabelSource& source, int page,
                           const print::PrinterOffsets& offsets, print::FontSizeCache* cache = nullptr,
                           int* tooFull = nullptr);

// CB(14) and CB(15): pages `first` to `last` in ascending order, each one job, with the
// printer offsets stored now. A sheet with too many labels to print, or a page the printer
// could not take, is reported once. Returns the number of pages sent.
int PrintLabelPages(print::PrinterDevice& printer, const LabelSource& source, int first, int last,
                    print::FontSizeCache* cache = nullptr, int* tooFull = nullptr);

// The paper a sheet is laid out on, in mm: as typed, or A4 when a side is below 10 mm, the
// same rule the tab's layout follows.
QSizeF SheetPaper(const LabelSheet& sheet);

}  // namespace labels
