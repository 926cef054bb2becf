#include "labels/label_sheet.h"

#include <algorithm>

#include "common/numbers.h"
#include "labels/label_texts.h"

namespace labels {

int WholeNumber(const QString& text) { return common::RoundToInt(common::Val(text)); }

int Across(const LabelSheet& sheet) { return std::max(1, WholeNumber(sheet.numbers[kAcross])); }
int Down(const LabelSheet& sheet) { return std::max(1, WholeNumber(sheet.numbers[kDown])); }
std::int64_t PerPage(const LabelSheet& sheet) { return std::int64_t(Across(sheet)) * Down(sheet); }

double ShrinkFactor(const LabelSheet& sheet) {
  const double x = common::Val(sheet.numbers[kShrink]);
  return x >= 1 ? x : 1;
}

double PaperWidth(const LabelSheet& sheet) { return common::Val(sheet.numbers[kPaperWidth]); }
double PaperHeight(const LabelSheet& sheet) { return common::Val(sheet.numbers[kPaperHeight]); }

int StartCell(const LabelSheet& sheet) {
  const std::int64_t cell = WholeNumber(sheet.numbers[kStartCell]);
  return int(std::clamp<std::int64_t>(cell, 1, std::min<std::int64_t>(PerPage(sheet), 1 << 30)));
}

bool PreviewDraws(const LabelSheet& sheet) {
  const int across = WholeNumber(sheet.numbers[kAcross]), down = WholeNumber(sheet.numbers[kDown]);
  return down >= 1 && down <= 100 && across >= 1 && across <= 200;
}

bool PrintPrints(const LabelSheet& sheet) {
  const int across = WholeNumber(sheet.numbers[kAcross]), down = WholeNumber(sheet.numbers[kDown]);
  return down >= 1 && down <= 200 && across >= 1 && across <= 100;
}

int PageCount(const LabelSheet& sheet, int records) {
  // The cells left free on the first sheet count as used, so that every record gets a page.
  const std::int64_t per = PerPage(sheet);
  const std::int64_t filled = std::int64_t(std::max(0, records)) + StartCell(sheet) - 1;
  return int(std::max<std::int64_t>(1, (filled + per - 1) / per));
}

std::int64_t RecordAt(const LabelSheet& sheet, int page, std::int64_t cell) {
  return PerPage(sheet) * (page - 1) + cell + 1 - (StartCell(sheet) - 1);
}

std::optional<LabelGrid> GridOf(const LabelSheet& sheet, QSizeF paper) {
  const double top = common::Val(sheet.numbers[kMarginTop]), left = common::Val(sheet.numbers[kMarginLeft]);
  const double gapX = common::Val(sheet.numbers[kGapAcross]), gapY = common::Val(sheet.numbers[kGapDown]);
  if (top < 0 || left < 0 || gapX < 0 || gapY < 0) return std::nullopt;
  const int across = Across(sheet), down = Down(sheet);
  const QSizeF label((paper.width() - 2 * left - (across - 1) * gapX) / across,
                     (paper.height() - 2 * top - (down - 1) * gapY) / down);
  if (!(label.width() > 0 && label.height() > 0)) return std::nullopt;
  return LabelGrid{QPointF(left, top), label, QSizeF(label.width() + gapX, label.height() + gapY)};
}

const std::vector<LabelPreset>& LabelPresets() {
  // Label sizes follow from A4 (210 x 297 mm), the margins and the gaps.
  static const std::vector<LabelPreset> presets = {
      {2, 4, 13.1, 4.65, 2.5, 0},   // 99.1 x 67.7
      {2, 5, 6, 4.65, 2.5, 0},      // 99.1 x 57
      {2, 7, 15.15, 4.65, 2.5, 0},  // 99.1 x 38.1
      {3, 7, 15.15, 7.25, 2.5, 0},  // 63.5 x 38.1
      {3, 8, 0, 0, 0, 0},           // 70 x 37.1
      {3, 9, 0, 0, 0, 0},           // 70 x 33
      {3, 10, 0, 0, 0, 0},          // 70 x 29.7
      {4, 10, 0, 0, 0, 0},          // 52.5 x 29.7
      {5, 13, 10.7, 4.75, 2.5, 0},  // 38.1 x 21.2
  };
  return presets;
}

QString PresetCaption(const LabelPreset& preset) {
  LabelSheet sheet;
  ApplyPreset(sheet, preset);
  const LabelGrid grid = *GridOf(sheet, {210, 297});
  const auto mm = [](double v) { return QString::number(common::RoundToHundredths(v), 'g', 5); };
  return QString::number(preset.across) + QStringLiteral(" × ") + QString::number(preset.down) +
         QStringLiteral("  ") + mm(grid.label.width()) + QStringLiteral(" × ") + mm(grid.label.height()) +
         u' ' + kMillimetres;
}

void ApplyPreset(LabelSheet& sheet, const LabelPreset& preset) {
  const auto text = [](double v) { return QString::number(v, 'g', 6); };
  sheet.numbers[kAcross] = QString::number(preset.across);
  sheet.numbers[kDown] = QString::number(preset.down);
  sheet.numbers[kPaperWidth] = QStringLiteral("210");
  sheet.numbers[kPaperHeight] = QStringLiteral("297");
  sheet.numbers[kMarginTop] = text(preset.top);
  sheet.numbers[kMarginLeft] = text(preset.left);
  sheet.numbers[kGapAcross] = text(preset.gapAcross);
  sheet.numbers[kGapDown] = text(preset.gapDown);
  sheet.landscape = false;
}

QString PageText(int page, int pageCount) {
  return QString::number(page) + u'/' + QString::number(pageCount);
}

void SwapPaperSides(LabelSheet& sheet) {
  const int width = WholeNumber(sheet.numbers[kPaperWidth]);
  sheet.numbers[kPaperWidth] = sheet.numbers[kPaperHeight];
  sheet.numbers[kPaperHeight] = QString::number(width);
}

LabelTabLayout LayoutLabelTab(const LabelSheet& sheet, QSize tab, int panelWidth, int verticalBarWidth,
                              int horizontalBarHeight) {
  int W = WholeNumber(sheet.numbers[kPaperWidth]), H = WholeNumber(sheet.numbers[kPaperHeight]);
  if (W < 10 || H < 10) {
    W = 210;
    H = 297;
  }
  LabelTabLayout l;
  l.tag1 = QRect(40, 440, tab.width() - panelWidth - 240, tab.height() - 520);
  const int sheetWidth = std::max(1, l.tag1.width() - 400 - 200 - verticalBarWidth);
  // Very long paper would make the sheet taller than any widget can be.
  const int sheetHeight = int(std::clamp(double(sheetWidth) / W * H, 1.0, 8.0e6));
  l.sheet = QRect(200, 200, sheetWidth, sheetHeight);
  l.shadow = l.sheet.translated(200, 200);
  l.vertical =
      QRect(l.tag1.width() - verticalBarWidth, 0, verticalBarWidth, l.tag1.height() - horizontalBarHeight);
  l.horizontal =
      QRect(0, l.tag1.height() - horizontalBarHeight, l.tag1.width() - verticalBarWidth, horizontalBarHeight);
  l.verticalMax = l.tag1.height() > 0 ? sheetHeight / l.tag1.height() * 3 + 1 : 1;
  l.panel = QRect(l.tag1.width() + l.tag1.left() + 120, 340, panelWidth, l.tag1.height() + 100);
  return l;
}

int SheetTopForScroll(int value, int viewportHeight) {
  return common::RoundToInt(200 - (value / 3.0) * viewportHeight);
}

}  // namespace labels
