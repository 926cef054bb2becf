#include "labels/label_renderer.h"

#include <QList>
#include <functional>

#include "common/line_break.h"
#include "labels/label_texts.h"
#include "print/print_texts.h"

namespace labels {
namespace {

// A label cell of a page: its top-left corner and the record it holds.
struct Cell {
  QPointF at;
  int record;
};

// The cells of page `page` that carry a record, row by row from `origin`, each `size` big,
// positions accumulated by repeated addition. Cells left free on the first sheet are skipped;
// filling stops at the last record.
QList<Cell> PageCells(const LabelSource& source, int page, QPointF origin, QSizeF size) {
  QList<Cell> cells;
  const int records = source.records.recordCount();
  if (records < 1) return cells;
  const int across = Across(source.sheet), down = Down(source.sheet);
  std::int64_t record = RecordAt(source.sheet, page, 0);
  double y = origin.y();
  for (int r = 0; r < down && record <= records; ++r) {
    double x = origin.x();
    for (int c = 0; c < across && record <= records; ++c) {
      if (record >= 1) cells.append({QPointF(x, y), int(record)});
      x += size.width();
      ++record;
    }
    y += size.height();
  }
  return cells;
}

QString ItemText(const LabelSource& source, const LabelItem& item, int record) {
  if (item.column == LabelItem::kOwnText) return source.envelope.box(item.box).text;
  return source.records.cell(record, item.column);
}

// Where an item of the cell at `cell` starts: its box's place on the canvas scaled to the cell,
// separately across and down.
QPointF ItemPosition(const LabelSource& source, const editor::Box& box, QPointF cell, QSizeF size) {
  const QSize canvas = source.envelope.canvasSize();
  return {cell.x() + size.width() / canvas.width() * box.geometry.left(),
          cell.y() + size.height() / canvas.height() * box.geometry.top()};
}

// Draws the ticked items of every cell. Items go item by item over the page rather than label
// by label: the picture is the same, and the device changes fonts six times per page instead
// of six times per label. `applyFont` gives the device an item's font.
void DrawItems(print::PrinterDevice& device, const LabelSource& source, const QList<Cell>& cells, QSizeF size,
               const std::function<void(const editor::Box&)>& applyFont) {
  const QSize canvas = source.envelope.canvasSize();
  if (cells.isEmpty() || canvas.width() <= 0 || canvas.height() <= 0) return;
  for (const LabelItem& item : kLabelItems) {
    if (!source.sheet.ticked[item.check]) continue;
    const editor::Box& box = source.envelope.box(item.box);
    const double maxWidth = double(box.geometry.width()) / canvas.width() * size.width();
    bool fontSet = false;
    for (const Cell& cell : cells) {
      const QString text = ItemText(source, item, cell.record);
      if (text.isEmpty()) continue;
      if (!fontSet) {
        applyFont(box);
        fontSet = true;
      }
      PrintLabelText(device, text, ItemPosition(source, box, cell.at, size), maxWidth, item.wrap);
    }
  }
}

// The cells of the first sheet that the start position leaves free.
QList<QPointF> FreeCells(const LabelSource& source, int page, QSizeF size) {
  QList<QPointF> free;
  if (page != 1) return free;
  const int across = Across(source.sheet);
  for (int k = 0; k < StartCell(source.sheet) - 1; ++k)
    free.append(QPointF(k % across * size.width(), k / across * size.height()));
  return free;
}

// Where a character of `line` ends: after `i` code units, moved off the middle of a pair.
qsizetype CharacterEnd(const QString& line, qsizetype i) {
  return i < line.size() && i > 0 && line[i].isLowSurrogate() && line[i - 1].isHighSurrogate() ? i + 1 : i;
}

// The longest start of `line` not wider than `maxWidth`, and at least its first character:
// what taking characters off the end one by one until the rest fits would leave. Widths grow
// with the length, so the answer is bisected rather than walked to.
qsizetype FittingLength(const print::PrinterDevice& device, const QString& line, double maxWidth) {
  if (device.TextWidth(line) <= maxWidth) return line.size();
  qsizetype lo = CharacterEnd(line, 1), hi = line.size();  // lo is taken whatever its width; hi does not fit
  while (CharacterEnd(line, lo + 1) < hi) {
    const qsizetype mid = CharacterEnd(line, lo + (hi - lo) / 2);
    if (mid >= hi) break;
    if (mid <= lo) {
      lo = CharacterEnd(line, lo + 1);
      continue;
    }
    (device.TextWidth(line.left(mid)) <= maxWidth ? lo : hi) = mid;
  }
  return lo;
}

}  // namespace

QSizeF SheetPaper(const LabelSheet& sheet) {
  if (WholeNumber(sheet.numbers[kPaperWidth]) < 10 || WholeNumber(sheet.numbers[kPaperHeight]) < 10)
    return {210, 297};
  return {PaperWidth(sheet), PaperHeight(sheet)};
}

void PrintLabelText(print::PrinterDevice& device, QString text, QPointF at, double maxWidth, bool wrap) {
  if (text.isEmpty()) return;
  text.replace(common::kLineBreakMark, QStringLiteral("\r\n"));
  const QStringList lines = text.split(QStringLiteral("\r\n"));
  const double lineHeight = device.TextHeight(kLineHeightSample);
  const double x = at.x();
  double y = at.y();
  device.SetCurrentPosition(at);
  for (QString line : lines) {
    if (!wrap) {
      device.PrintText(line);
    } else {
      while (!line.isEmpty()) {
        const qsizetype fits = FittingLength(device, line, maxWidth);
        device.PrintText(line.left(fits));
        line.remove(0, fits);
        if (!line.isEmpty()) {
          y += lineHeight;
          device.SetCurrentPosition(QPointF(x, y));
        }
      }
    }
    y += lineHeight;
    device.SetCurrentPosition(QPointF(x, y));
  }
}

bool DrawLabelPage(print::PrinterDevice& picture, const LabelSource& source) {
  if (!PreviewDraws(source.sheet)) return false;
  const QSizeF sheet = picture.DrawableSize();
  const int across = Across(source.sheet), down = Down(source.sheet);
  const QSizeF cell(sheet.width() / across, sheet.height() / down);

  picture.FillRect(QRectF(QPointF(0, 0), sheet), kSheetColor);
  for (const QPointF& free : FreeCells(source, source.sheet.page, cell))
    picture.FillRect(QRectF(free, cell), kUsedCellColor);
  if (source.sheet.ticked[kLinesCheck]) {
    double x = 0;
    for (int k = 1; k < across; ++k) {
      x += cell.width();
      picture.DrawLine(QPointF(x, 0), QPointF(x, sheet.height()), kSeparatorColor);
    }
    double y = 0;
    for (int k = 1; k < down; ++k) {
      y += cell.height();
      picture.DrawLine(QPointF(0, y), QPointF(sheet.width(), y), kSeparatorColor);
    }
  }

  // The sheet shows fonts zoomed like the canvas: as printed, relative to the paper.
  const double zoom =
      sheet.width() / SheetPaper(source.sheet).width() * kTwipsPerMm / editor::kReferenceTwipsPerMm;
  const double shrink = ShrinkFactor(source.sheet);
  DrawItems(picture, source, PageCells(source, source.sheet.page, QPointF(0, 0), cell), cell,
            [&](const editor::Box& box) {
              print::CopyBoxFont(picture, box);
              picture.SetFontSize(box.font.size / shrink * zoom);
            });
  return picture.EndDoc();
}

float FitLabelFontSize(print::PrinterDevice& printer, double size, const common::FontChoice& font,
                       double mmPerTwip, print::FontSizeCache* cache) {
  const print::FontSizeCache::Key key{font.name, font.bold, font.italic, size, mmPerTwip};
  if (cache) {
    if (const float* known = cache->Find(key)) {
      printer.SetFontSize(*known);
      return *known;
    }
  }
  // The sample measured on the sheet in the item's own font, so that the printed proportions
  // follow what the preview shows for this item.
  SheetDevice sheet;
  sheet.SetFont(font);
  sheet.SetFontSize(size);
  const double target = sheet.TextWidth(print::kFontSample) * kTwipsPerMm * mmPerTwip;
  const float found =
      print::SearchFontSize(size, target, 0.01f, -0.1f, print::kSmallestFontSize, [&](double points) {
        printer.SetFontSize(points);  // a refused size leaves the last accepted one
        return printer.TextWidth(print::kFontSample);
      });
  printer.SetFontSize(found);
  if (cache) cache->Store(key, found);
  return found;
}

void SetupLabelPage(print::PrinterDevice& printer, const LabelSheet& sheet) {
  // Each step may be refused; the next one still runs.
  printer.SetUnitMillimetres();
  printer.SetPaperSize(QPageSize::A4);
  printer.SetOrientation(sheet.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  printer.SetOrigin(QPointF(0, 0));
}

namespace {

// Centre feed on a portrait sheet: paper narrower than A4 runs in the middle of the feeder.
double CentreFeedShift(const LabelSource& source, double paperWidth) {
  return !source.sheet.landscape && source.envelope.options().centreFeed ? (210 - paperWidth) / 2 : 0;
}

void PrintPageLabels(print::PrinterDevice& printer, const LabelSource& source, int page,
                     const print::PrinterOffsets& offsets, print::FontSizeCache* cache) {
  const QSizeF paper = SheetPaper(source.sheet);
  const QSizeF cell(paper.width() / Across(source.sheet), paper.height() / Down(source.sheet));
  const QPointF origin(-offsets.x + CentreFeedShift(source, paper.width()), -offsets.y);
  const double shrink = ShrinkFactor(source.sheet);
  // Font sizes belong to the reference scale, whatever size the preview sheet has on screen.
  const double mmPerTwip = 1.0 / editor::kReferenceTwipsPerMm;
  DrawItems(printer, source, PageCells(source, page, origin, cell), cell, [&](const editor::Box& box) {
    print::CopyBoxFont(printer, box);
    FitLabelFontSize(printer, box.font.size / shrink, box.font, mmPerTwip, cache);
  });
}

// The cutting lines, the far edges included: labels at the right and bottom edge get a line too.
void PrintSeparatorLines(print::PrinterDevice& printer, const LabelSource& source,
                         const print::PrinterOffsets& offsets) {
  const QSizeF paper = SheetPaper(source.sheet);
  const double offX = paper.width() < 210 ? 0 : offsets.x, offY = offsets.y;
  // The lines follow the labels when centre feed moves them across.
  const double shift = CentreFeedShift(source, paper.width());
  const int across = Across(source.sheet), down = Down(source.sheet);
  const double cw = paper.width() / across, ch = paper.height() / down;
  for (int k = 1; k <= down; ++k) {
    const double y = k * ch - offY;
    printer.DrawLine(QPointF(shift, y), QPointF(shift + paper.width() - 2 * offX, y), kSeparatorColor);
  }
  for (int k = 1; k <= across; ++k) {
    const double x = shift + k * cw - offX;
    printer.DrawLine(QPointF(x, 0), QPointF(x, paper.height() - 2 * offY), kSeparatorColor);
  }
}

}  // namespace

PagePrinted PrintLabelPage(print::PrinterDevice& printer, const LabelSource& source, int page,
                           const print::PrinterOffsets& offsets, print::FontSizeCache* cache) {
  if (!PrintPrints(source.sheet)) return PagePrinted::kTooMany;
  SetupLabelPage(printer, source.sheet);
  PrintPageLabels(printer, source, page, offsets, cache);
  if (source.sheet.ticked[kLinesCheck]) PrintSeparatorLines(printer, source, offsets);
  return printer.EndDoc() ? PagePrinted::kPrinted : PagePrinted::kNotSent;
}

int PrintLabelPages(print::PrinterDevice& printer, const LabelSource& source, int first, int last,
                    print::FontSizeCache* cache) {
  if (!PrintPrints(source.sheet)) {
    common::prompts().Message(kTooManyToPrint);
    return 0;
  }
  const print::PrinterOffsets offsets = print::ReadPrinterOffsets();
  int sent = 0;
  bool reported = false;
  for (int page = first; page <= last; ++page) {
    if (PrintLabelPage(printer, source, page, offsets, cache) == PagePrinted::kPrinted) {
      ++sent;
    } else if (!reported) {
      common::prompts().Message(print::kPrintError);
      reported = true;
    }
  }
  return sent;
}

}  // namespace labels
