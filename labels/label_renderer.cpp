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

// The grid in the units of a surface whose sheet is `sheet` big (the paper's mm in print, the
// preview picture's own units on screen).
LabelGrid ScaledGrid(const LabelGrid& grid, QSizeF paper, QSizeF sheet) {
  const double sx = sheet.width() / paper.width(), sy = sheet.height() / paper.height();
  return {QPointF(grid.origin.x() * sx, grid.origin.y() * sy),
          QSizeF(grid.label.width() * sx, grid.label.height() * sy),
          QSizeF(grid.pitch.width() * sx, grid.pitch.height() * sy)};
}

// The cells of page `page` that carry a record, row by row, moved by `shift`. Cells left free
// on the first sheet are skipped; filling stops at the last record.
QList<Cell> PageCells(const LabelSource& source, int page, const LabelGrid& grid, QPointF shift) {
  QList<Cell> cells;
  const int records = source.records.recordCount();
  if (records < 1) return cells;
  const int across = Across(source.sheet), down = Down(source.sheet);
  std::int64_t record = RecordAt(source.sheet, page, 0);
  for (int r = 0; r < down && record <= records; ++r) {
    for (int c = 0; c < across && record <= records; ++c) {
      if (record >= 1) cells.append({grid.At(c, r) + shift, int(record)});
      ++record;
    }
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

// The canvas span an item takes across: the whole postcode runs over all six digit boxes.
std::pair<int, int> ItemSpan(const editor::EnvelopeModel& envelope, const LabelItem& item) {
  const QRect& first = envelope.box(item.box).geometry;
  const QRect& last =
      envelope.box(item.box == editor::kFirstDigitBox ? editor::kLastDigitBox : item.box).geometry;
  return {first.left(), std::max(first.right(), last.right())};
}

// How far down the cell (as a share of its height) an item may run before it meets the next
// ticked item below it, or the cell's bottom edge.
double RoomBelow(const LabelSource& source, const LabelItem& item) {
  const editor::EnvelopeModel& envelope = source.envelope;
  const int top = envelope.box(item.box).geometry.top();
  const auto [left, right] = ItemSpan(envelope, item);
  int limit = envelope.canvasSize().height();
  for (const LabelItem& other : kLabelItems) {
    if (&other == &item || !source.sheet.ticked[other.check]) continue;
    const int otherTop = envelope.box(other.box).geometry.top();
    const auto [otherLeft, otherRight] = ItemSpan(envelope, other);
    if (otherTop > top && otherLeft <= right && otherRight >= left) limit = std::min(limit, otherTop);
  }
  return double(limit - top) / envelope.canvasSize().height();
}

constexpr double kSmallestLabelPoints = 4;

// Draws the ticked items of every cell, item by item over the page rather than label by label:
// the picture is the same, and the device changes fonts six times per page instead of six times
// per label. `applyFont` gives the device an item's font. An item's text that would run into the
// item below it, or off its label, is set smaller for that label (down to a smallest legible
// size), so that no item prints over another.
void DrawItems(print::PrinterDevice& device, const LabelSource& source, const QList<Cell>& cells, QSizeF size,
               const std::function<void(const editor::Box&)>& applyFont) {
  const QSize canvas = source.envelope.canvasSize();
  if (cells.isEmpty() || canvas.width() <= 0 || canvas.height() <= 0) return;
  for (const LabelItem& item : kLabelItems) {
    if (!source.sheet.ticked[item.check]) continue;
    const editor::Box& box = source.envelope.box(item.box);
    const double maxWidth = double(box.geometry.width()) / canvas.width() * size.width();
    const double room = RoomBelow(source, item) * size.height();
    bool fontSet = false;
    double fitted = 0;
    for (const Cell& cell : cells) {
      const QString text = ItemText(source, item, cell.record);
      if (text.isEmpty()) continue;
      if (!fontSet) {
        applyFont(box);
        fitted = device.Font().size;
        fontSet = true;
      }
      double points = fitted;
      QString shown = text;
      QStringList lines = LabelLines(device, shown, maxWidth, item.wrap);
      const double smallest = std::min(fitted, kSmallestLabelPoints);
      for (int step = 0; step < 8; ++step) {
        const double line = device.TextHeight(kLineHeightSample);
        if (lines.size() * line <= room) break;
        if (points <= smallest) {
          if (line > room) {
            // A label too small for one legible line: smaller type would not keep the items
            // apart, so the text keeps its size.
            points = fitted;
            device.SetFontSize(points);
          } else if (item.wrap && shown.contains(common::kLineBreakMark)) {
            // Still too long: the address runs on across its line breaks, wrapped to the width.
            shown.remove(common::kLineBreakMark);
            lines = LabelLines(device, shown, maxWidth, item.wrap);
            continue;
          }
          lines = LabelLines(device, shown, maxWidth, item.wrap);
          break;
        }
        points = std::max(smallest, points * std::max(0.5, room / (lines.size() * line)));
        device.SetFontSize(points);
        lines = LabelLines(device, shown, maxWidth, item.wrap);
      }
      PrintLabelLines(device, lines, ItemPosition(source, box, cell.at, size), item.wrap);
      if (points != fitted) device.SetFontSize(fitted);
    }
  }
}

// The cells of the first sheet that the start position leaves free.
QList<QPointF> FreeCells(const LabelSource& source, int page, const LabelGrid& grid) {
  QList<QPointF> free;
  if (page != 1) return free;
  const int across = Across(source.sheet);
  for (int k = 0; k < StartCell(source.sheet) - 1; ++k) free.append(grid.At(k % across, k / across));
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

QStringList LabelLines(const print::PrinterDevice& device, QString text, double maxWidth, bool wrap) {
  QStringList printed;
  if (text.isEmpty()) return printed;
  text.replace(common::kLineBreakMark, QStringLiteral("\r\n"));
  for (QString line : text.split(QStringLiteral("\r\n"))) {
    if (!wrap || line.isEmpty()) {
      printed << line;
      continue;
    }
    while (!line.isEmpty()) {
      const qsizetype fits = FittingLength(device, line, maxWidth);
      printed << line.left(fits);
      line.remove(0, fits);
    }
  }
  return printed;
}

void PrintLabelText(print::PrinterDevice& device, const QString& text, QPointF at, double maxWidth,
                    bool wrap) {
  PrintLabelLines(device, LabelLines(device, text, maxWidth, wrap), at, wrap);
}

void PrintLabelLines(print::PrinterDevice& device, const QStringList& lines, QPointF at, bool wrap) {
  const double lineHeight = device.TextHeight(kLineHeightSample);
  double y = at.y();
  for (const QString& line : lines) {
    device.SetCurrentPosition(QPointF(at.x(), y));
    if (!wrap || !line.isEmpty()) device.PrintText(line);
    y += lineHeight;
  }
  device.SetCurrentPosition(QPointF(at.x(), y));
}

bool DrawLabelPage(print::PrinterDevice& picture, const LabelSource& source) {
  if (!PreviewDraws(source.sheet)) return false;
  const QSizeF sheet = picture.DrawableSize();
  const QSizeF paper = SheetPaper(source.sheet);
  const std::optional<LabelGrid> onPaper = GridOf(source.sheet, paper);
  if (!onPaper) return false;
  const LabelGrid grid = ScaledGrid(*onPaper, paper, sheet);
  const int across = Across(source.sheet), down = Down(source.sheet);
  const QSizeF cell = grid.label;

  picture.FillRect(QRectF(QPointF(0, 0), sheet), kSheetColor);
  for (const QPointF& free : FreeCells(source, source.sheet.page, grid))
    picture.FillRect(QRectF(free, cell), kUsedCellColor);
  if (source.sheet.ticked[kLinesCheck]) {
    // Between neighbours, in the middle of the gap.
    const QSizeF gap = grid.pitch - grid.label;
    for (int k = 1; k < across; ++k) {
      const double x = grid.At(k, 0).x() - gap.width() / 2;
      picture.DrawLine(QPointF(x, 0), QPointF(x, sheet.height()), kSeparatorColor);
    }
    for (int k = 1; k < down; ++k) {
      const double y = grid.At(0, k).y() - gap.height() / 2;
      picture.DrawLine(QPointF(0, y), QPointF(sheet.width(), y), kSeparatorColor);
    }
  }

  // The sheet shows fonts zoomed like the canvas: as printed, relative to the paper.
  const double zoom = sheet.width() / paper.width() * kTwipsPerMm / editor::kReferenceTwipsPerMm;
  const double shrink = ShrinkFactor(source.sheet);
  DrawItems(picture, source, PageCells(source, source.sheet.page, grid, QPointF(0, 0)), cell,
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
  const std::optional<LabelGrid> grid = GridOf(source.sheet, paper);
  if (!grid) return;
  const QSizeF cell = grid->label;
  const QPointF shift(-offsets.x + CentreFeedShift(source, paper.width()), -offsets.y);
  const double shrink = ShrinkFactor(source.sheet);
  // Font sizes belong to the reference scale, whatever size the preview sheet has on screen.
  const double mmPerTwip = 1.0 / editor::kReferenceTwipsPerMm;
  DrawItems(printer, source, PageCells(source, page, *grid, shift), cell, [&](const editor::Box& box) {
    print::CopyBoxFont(printer, box);
    FitLabelFontSize(printer, box.font.size / shrink, box.font, mmPerTwip, cache);
  });
}

// The cutting lines, the far edges included: labels at the right and bottom edge get a line too.
void PrintSeparatorLines(print::PrinterDevice& printer, const LabelSource& source,
                         const print::PrinterOffsets& offsets) {
  const QSizeF paper = SheetPaper(source.sheet);
  const std::optional<LabelGrid> grid = GridOf(source.sheet, paper);
  if (!grid) return;
  const double offX = paper.width() < 210 ? 0 : offsets.x, offY = offsets.y;
  // The lines follow the labels when centre feed moves them across; they run in the middle of
  // the gaps (on the cells' edges when there are none).
  const double shift = CentreFeedShift(source, paper.width());
  const int across = Across(source.sheet), down = Down(source.sheet);
  const QSizeF gap = grid->pitch - grid->label;
  for (int k = 1; k <= down; ++k) {
    const double y = grid->At(0, k).y() - gap.height() / 2 - offY;
    printer.DrawLine(QPointF(shift, y), QPointF(shift + paper.width() - 2 * offX, y), kSeparatorColor);
  }
  for (int k = 1; k <= across; ++k) {
    const double x = shift + grid->At(k, 0).x() - gap.width() / 2 - offX;
    printer.DrawLine(QPointF(x, 0), QPointF(x, paper.height() - 2 * offY), kSeparatorColor);
  }
}

}  // namespace

PagePrinted PrintLabelPage(print::PrinterDevice& printer, const LabelSource& source, int page,
                           const print::PrinterOffsets& offsets, print::FontSizeCache* cache) {
  if (!PrintPrints(source.sheet)) return PagePrinted::kTooMany;
  if (!GridOf(source.sheet, SheetPaper(source.sheet))) return PagePrinted::kNoRoom;
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
  if (!GridOf(source.sheet, SheetPaper(source.sheet))) {
    common::prompts().Message(kNoRoomForLabels);
    return 0;
  }
  const print::PrinterOffsets offsets = print::ReadPrinterOffsets(printer.DeviceName());
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
