#include "labels/label_renderer.h"

#include <QList>
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <vector>

#include "common/line_break.h"
#include "labels/label_texts.h"
#include "print/print_texts.h"

namespace labels {

std::int64_t LabelCount(const LabelSource& source) {
  return std::int64_t(source.records.recordCount()) * std::max(source.copies, 1);
}

int RecordOfLabel(const LabelSource& source, std::int64_t label) {
  return int((label - 1) / std::max(source.copies, 1) + 1);
}

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

// The cells of page `page` that carry a label, row by row, moved by `shift`. Cells left free
// on the first sheet are skipped; filling stops at the last label.
QList<Cell> PageCells(const LabelSource& source, int page, const LabelGrid& grid, QPointF shift) {
  QList<Cell> cells;
  const std::int64_t labels = LabelCount(source);
  if (labels < 1) return cells;
  const int across = Across(source.sheet), down = Down(source.sheet);
  std::int64_t label = RecordAt(source.sheet, page, 0);
  for (int r = 0; r < down && label <= labels; ++r) {
    for (int c = 0; c < across && label <= labels; ++c) {
      if (label >= 1) cells.append({grid.At(c, r) + shift, RecordOfLabel(source, label)});
      ++label;
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

// The smallest type an address is printed in, in printed points.
constexpr double kSmallestAddressPoints = 8;
// The steps in which fitting tries sizes, in printed points.
constexpr double kSizeStep = 0.25;
// What wrapped text keeps free at the label's right edge, as a share of its width.
constexpr double kWrapMargin = 0.04;

// An item of one label as it is laid out: its text, type size and lines, and its place and
// width within the cell.
struct Placed {
  const LabelItem* item;
  const editor::Box* box;
  QString text;
  double start = 0;   // the size the item's font gives, before fitting
  double points = 0;  // the size it is printed at
  double floor = 0;   // the smallest size fitting may give it
  QPointF offset;     // from the cell's corner
  double maxWidth = 0;
  QStringList lines;
  double lineHeight = 0;
  // The layouts worked out for this label, by size and joining: fitting tries the same few
  // sizes of an item again while it tries the others' sizes.
  struct Layout {
    double points;
    bool joined;
    QStringList lines;
    double lineHeight;
  };
  std::vector<Layout> laid;
};

// Lays out one label's items top-down: each starts where its box is on the canvas, or just
// below the item above it when that one runs longer. `compact` moves every item right under
// the one above it, and the first one near the top. The height the items take from the cell's top.
double Stack(print::PrinterDevice& device, std::vector<Placed>& items, const std::vector<QPointF>& canvasAt,
             bool compact, bool joined, const std::function<void(const Placed&)>& applyFont) {
  double bottom = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    Placed& p = items[i];
    const auto known = std::find_if(p.laid.begin(), p.laid.end(), [&](const Placed::Layout& l) {
      return l.points == p.points && l.joined == joined;
    });
    if (known != p.laid.end()) {
      p.lines = known->lines;
      p.lineHeight = known->lineHeight;
    } else {
      applyFont(p);
      const QString text =
          joined ? QString(p.text).replace(common::kLineBreakMark, QStringLiteral(" ")) : p.text;
      p.lines = LabelLines(device, text, p.maxWidth, p.item->wrap);
      p.lineHeight = device.TextHeight(kLineHeightSample);
      p.laid.push_back({p.points, joined, p.lines, p.lineHeight});
    }
    // Closed up, the first item also moves up most of the way to the cell's edge.
    double top = !compact ? canvasAt[i].y() : i == 0 ? canvasAt[i].y() / 4 : 0;
    for (size_t j = 0; j < i; ++j) {  // below the items above it that share its columns
      const Placed& above = items[j];
      if (above.offset.x() < p.offset.x() + p.maxWidth && p.offset.x() < above.offset.x() + above.maxWidth)
        top = std::max(top, above.offset.y() + above.lines.size() * above.lineHeight);
    }
    p.offset.setY(top);
    bottom = std::max(bottom, top + p.lines.size() * p.lineHeight);
  }
  return bottom;
}

// Draws the ticked items of every cell. Each label is fitted on its own: its items keep their
// places on the canvas and their sizes while they fit; otherwise the name, the postcode and the
// other items shrink first (down to the address's size), then everything down to the smallest
// address type, then the items close up, then the address's lines run on with a space between
// them. A label that still does not fit is printed at the smallest sizes and counted.
// `pointScale` is the device's points per printed point (the preview's zoom); `applyFont` gives
// the device an item's font at its fitted size.
int DrawItems(print::PrinterDevice& device, const LabelSource& source, const QList<Cell>& cells, QSizeF size,
              double pointScale, const std::function<void(const editor::Box&)>& applyFont) {
  const QSize canvas = source.envelope.canvasSize();
  if (cells.isEmpty() || canvas.width() <= 0 || canvas.height() <= 0) return 0;
  // Items top-down as the canvas places them.
  std::vector<const LabelItem*> order;
  for (const LabelItem& item : kLabelItems)
    if (source.sheet.ticked[item.check]) order.push_back(&item);
  std::stable_sort(order.begin(), order.end(), [&](const LabelItem* a, const LabelItem* b) {
    return source.envelope.box(a->box).geometry.top() < source.envelope.box(b->box).geometry.top();
  });
  // Each box's font at its own size, worked out once.
  std::map<int, double> startSize;
  for (const LabelItem* item : order) {
    applyFont(source.envelope.box(item->box));
    startSize[item->box] = device.Font().size;
  }
  const double smallest = kSmallestAddressPoints * pointScale;
  const auto setFont = [&](const Placed& p) {
    common::FontChoice font = p.box->font;
    font.size = p.points;
    device.SetFont(font);
  };

  int tooFull = 0;
  std::vector<Placed> items;
  std::vector<QPointF> canvasAt;
  for (const Cell& cell : cells) {
    items.clear();
    canvasAt.clear();
    for (const LabelItem* item : order) {
      const editor::Box& box = source.envelope.box(item->box);
      QString text = ItemText(source, *item, cell.record);
      if (text.isEmpty()) continue;
      const QPointF at = ItemPosition(source, box, QPointF(0, 0), size);
      // Wrapped text may run on to near the label's far edge.
      // The whole postcode runs over all six digit boxes.
      const int right =
          item->box == editor::kFirstDigitBox
              ? std::max(box.geometry.right(), source.envelope.box(editor::kLastDigitBox).geometry.right())
              : box.geometry.right();
      const double boxWidth = double(right + 1 - box.geometry.left()) / canvas.width() * size.width();
      const double margin = std::min(at.x(), size.width() * kWrapMargin);
      const double width = item->wrap ? std::max(boxWidth, size.width() - at.x() - margin) : boxWidth;
      Placed p;
      p.item = item;
      p.box = &box;
      p.text = std::move(text);
      p.start = startSize[item->box];
      p.offset = at;
      p.maxWidth = width;
      items.push_back(std::move(p));
      canvasAt.push_back(at);
    }
    if (items.empty()) continue;
    const auto found = std::find_if(items.begin(), items.end(),
                                    [](const Placed& p) { return p.item->check == kAddressCheck; });
    Placed* address = found != items.end() ? &*found : nullptr;
    const double addressStart = address ? std::max(address->start, smallest) : smallest;
    for (Placed& p : items) {
      p.points = &p == address ? addressStart : p.start;
      if (p.item->check == kNameCheck) p.points = std::min(p.points, 2 * addressStart);
      p.start = p.points;
    }
    const auto fits = [&](bool compact, bool joined) {
      return Stack(device, items, canvasAt, compact, joined, setFont) <= size.height() + 1e-9;
    };
    // Sizes between each item's start (t = 1) and its floor (t = 0); the largest t that fits.
    const auto shrink = [&](bool compact, bool joined) {
      // Sizes go in steps of a quarter point: the same few sizes come back label after label,
      // and their fonts and metrics are kept.
      const double step = kSizeStep * pointScale;
      const auto at = [&](double t) {
        for (Placed& p : items)
          p.points = std::max(p.floor, std::floor((p.floor + t * (p.start - p.floor)) / step) * step);
      };
      double lo = 0, hi = 1;
      at(0);
      if (!fits(compact, joined)) return false;
      for (int step = 0; step < 6; ++step) {
        const double mid = (lo + hi) / 2;
        at(mid);
        (fits(compact, joined) ? lo : hi) = mid;
      }
      at(lo);
      fits(compact, joined);
      return true;
    };
    bool done = fits(false, false);
    if (!done) {  // the others first, down to the address's size
      const double addressNow = address ? address->points : smallest;
      for (Placed& p : items)
        p.floor = &p == address ? p.points : std::min(p.start, std::max(smallest, addressNow));
      done = shrink(false, false);
    }
    for (const bool compact : {false, true}) {
      for (const bool joined : {false, true}) {
        if (done || (joined && !compact)) continue;
        for (Placed& p : items) p.floor = std::min(p.start, smallest);
        done = shrink(compact, joined);
      }
    }
    if (!done) {  // printed at the smallest sizes all the same, and counted
      for (Placed& p : items) p.points = p.floor;
      Stack(device, items, canvasAt, true, true, setFont);
      ++tooFull;
    }
    for (const Placed& p : items) {
      setFont(p);
      PrintLabelLines(device, p.lines, cell.at + p.offset, p.item->wrap);
    }
  }
  return tooFull;
}

// The cells of the first sheet that the start position leaves free.
QList<QPointF> FreeCells(const LabelSource& source, int page, const LabelGrid& grid) {
  QList<QPointF> free;
  if (page != 1) return free;
  const int across = Across(source.sheet);
  for (int k = 0; k < StartCell(source.sheet) - 1; ++k) free.append(grid.At(k % across, k / across));
  return free;
}

// Punctuation that belongs to the end of the text before it.
const QString kNoLineStart = QStringLiteral(",.;:!?)]}，。、；：！？）》」』】”’");

// Digits and Latin letters: a run of them is a number or a word.
bool InRun(QChar c) { return c.isDigit() || (c.isLetter() && c.script() == QChar::Script_Latin); }

// Where a character of `line` ends: after `i` code units, moved off the middle of a pair.
qsizetype CharacterEnd(QStringView line, qsizetype i) {
  return i < line.size() && i > 0 && line[i].isLowSurrogate() && line[i - 1].isHighSurrogate() ? i + 1 : i;
}

// Where the character of `line` that ends at `i` starts.
qsizetype CharacterStart(QStringView line, qsizetype i) {
  return i > 1 && line[i - 1].isLowSurrogate() && line[i - 2].isHighSurrogate() ? i - 2 : i - 1;
}

// The longest start of `line` not wider than `maxWidth`, and at least its first character:
// what taking characters off the end one by one until the rest fits would leave. Widths grow
// with the length. A measurement may shape the text anew, so the cut is first guessed from the
// widths of the single characters (kept by the device) and then only checked on the text:
// mostly two measurements instead of one per halving. The pieces measured are views of `line`,
// not copies.
qsizetype FittingLength(const print::PrinterDevice& device, QStringView line, double maxWidth) {
  const auto width = [&](qsizetype from, qsizetype to) {
    return device.TextWidth(QString::fromRawData(line.data() + from, to - from));
  };
  if (width(0, line.size()) <= maxWidth) return line.size();
  const qsizetype first = CharacterEnd(line, 1);  // taken whatever its width; the whole line does not fit
  qsizetype guess = first;
  double sum = 0;
  for (qsizetype i = 0; i < line.size();) {
    const qsizetype end = CharacterEnd(line, i + 1);
    sum += width(i, end);
    if (sum > maxWidth || end >= line.size()) break;
    guess = std::max(guess, end);
    i = end;
  }
  const auto fits = [&](qsizetype n) { return width(0, n) <= maxWidth; };
  // Brackets the cut between `lo`, which fits (or is the first character), and `hi`, which does
  // not, widening by doubling steps from the guess; then halves between them.
  qsizetype lo = first, hi = line.size();
  if (guess > first && !fits(guess)) {
    hi = guess;
    for (qsizetype step = 1;; step *= 2) {
      qsizetype below = hi;
      for (qsizetype k = 0; k < step && below > first; ++k) below = CharacterStart(line, below);
      if (below <= first) break;
      if (fits(below)) {
        lo = below;
        break;
      }
      hi = below;
    }
  } else {
    lo = guess;
    for (qsizetype step = 1;; step *= 2) {
      qsizetype above = lo;
      for (qsizetype k = 0; k < step && above < hi; ++k) above = CharacterEnd(line, above + 1);
      if (above >= hi) break;
      if (!fits(above)) {
        hi = above;
        break;
      }
      lo = above;
    }
  }
  while (CharacterEnd(line, lo + 1) < hi) {
    const qsizetype mid = CharacterEnd(line, lo + (hi - lo) / 2);
    if (mid >= hi) break;
    if (mid <= lo) {
      lo = CharacterEnd(line, lo + 1);
      continue;
    }
    (fits(mid) ? lo : hi) = mid;
  }
  return lo;
}

}  // namespace

QSizeF SheetPaper(const LabelSheet& sheet) {
  if (WholeNumber(sheet.numbers[kPaperWidth]) < 10 || WholeNumber(sheet.numbers[kPaperHeight]) < 10)
    return {210, 297};
  return {PaperWidth(sheet), PaperHeight(sheet)};
}

QStringList LabelLines(const print::PrinterDevice& device, const QString& text, double maxWidth, bool wrap) {
  QStringList printed;
  if (text.isEmpty()) return printed;
  // Lines end at a record's line break, "//" or CR LF, whichever comes first.
  qsizetype from = 0;
  while (from <= text.size()) {
    const qsizetype mark = text.indexOf(common::kLineBreakMark, from);
    const qsizetype crlf = text.indexOf(QStringLiteral("\r\n"), from);
    const qsizetype end = mark < 0 ? crlf : crlf < 0 ? mark : std::min(mark, crlf);
    QStringView line = QStringView(text).sliced(from, (end < 0 ? text.size() : end) - from);
    from = end < 0 ? text.size() + 1 : end + 2;
    if (!wrap || line.isEmpty()) {
      printed << line.toString();
      continue;
    }
    while (!line.isEmpty()) {
      qsizetype fits = FittingLength(device, line, maxWidth);
      // A house number or a Latin word is not cut in two, unless it alone is wider than the line.
      qsizetype runStart = fits;
      while (runStart > 0 && runStart < line.size() && InRun(line[runStart - 1]) && InRun(line[runStart]))
        --runStart;
      if (runStart > 0) fits = runStart;
      // Nor does a line begin with a comma or a closing mark: the character before it goes along.
      if (fits > 1 && fits < line.size() && kNoLineStart.contains(line[fits])) --fits;
      printed << line.first(fits).toString();
      line = line.sliced(fits);
      if (line.startsWith(u' ')) line = line.sliced(1);  // a space at the break is not carried over
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

bool DrawLabelPage(print::PrinterDevice& picture, const LabelSource& source, int* tooFull) {
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

  // The sheet shows fonts zoomed like the canvas: as printed, relative to the paper. The fitting's
  // smallest address and its steps are printed points, which the sheet shows at its own scale.
  const double sheetScale = sheet.width() / paper.width();
  const double zoom = sheetScale * kTwipsPerMm / editor::kReferenceTwipsPerMm;
  const double shrink = ShrinkFactor(source.sheet);
  const int full = DrawItems(picture, source, PageCells(source, source.sheet.page, grid, QPointF(0, 0)), cell,
                             sheetScale, [&](const editor::Box& box) {
                               print::CopyBoxFont(picture, box);
                               picture.SetFontSize(box.font.size / shrink * zoom);
                             });
  if (tooFull) *tooFull = full;
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

int PrintPageLabels(print::PrinterDevice& printer, const LabelSource& source, int page,
                    const print::PrinterOffsets& offsets, print::FontSizeCache* cache) {
  const QSizeF paper = SheetPaper(source.sheet);
  const std::optional<LabelGrid> grid = GridOf(source.sheet, paper);
  if (!grid) return 0;
  const QSizeF cell = grid->label;
  const QPointF shift(-offsets.x + CentreFeedShift(source, paper.width()), -offsets.y);
  const double shrink = ShrinkFactor(source.sheet);
  // Font sizes belong to the reference scale, whatever size the preview sheet has on screen.
  const double mmPerTwip = 1.0 / editor::kReferenceTwipsPerMm;
  return DrawItems(printer, source, PageCells(source, page, *grid, shift), cell, 1,
                   [&](const editor::Box& box) {
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
                           const print::PrinterOffsets& offsets, print::FontSizeCache* cache, int* tooFull) {
  if (!PrintPrints(source.sheet)) return PagePrinted::kTooMany;
  if (!GridOf(source.sheet, SheetPaper(source.sheet))) return PagePrinted::kNoRoom;
  SetupLabelPage(printer, source.sheet);
  const int full = PrintPageLabels(printer, source, page, offsets, cache);
  if (tooFull) *tooFull += full;
  if (source.sheet.ticked[kLinesCheck]) PrintSeparatorLines(printer, source, offsets);
  return printer.EndDoc() ? PagePrinted::kPrinted : PagePrinted::kNotSent;
}

int PrintLabelPages(print::PrinterDevice& printer, const LabelSource& source, int first, int last,
                    print::FontSizeCache* cache, int* tooFull) {
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
    if (PrintLabelPage(printer, source, page, offsets, cache, tooFull) == PagePrinted::kPrinted) {
      ++sent;
    } else if (!reported) {
      common::prompts().Message(print::kPrintError);
      reported = true;
    }
  }
  return sent;
}

}  // namespace labels
