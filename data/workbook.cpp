#include "data/workbook.h"

#include <QDate>
#include <QFile>
#include <QTemporaryFile>
#include <algorithm>
#include <bit>
#include <cmath>

#include "common/numbers.h"
#include "data/reading_process.h"

namespace data {
namespace {

constexpr char kOle2Magic[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

// Both readers run in a child process.
int ReadXls(const QString& path, const QString* sheetName, QStringList& names, Worksheet* sheet) {
  return detail::ReadInChildProcess(
      [&](QStringList& n, Worksheet* s) { return detail::ReadXlsFile(path, sheetName, n, s); }, names, sheet);
}

int ReadOrcus(const QByteArray& bytes, const QString* sheetName, QStringList& names, Worksheet* sheet) {
  return detail::ReadInChildProcess(
      [&](QStringList& n, Worksheet* s) { return detail::ReadOrcusBytes(bytes, sheetName, n, s); }, names,
      sheet);
}

// The format is told by the content, not the name.
int ReadWorkbookFile(const QString& path, const QString* sheetName, QStringList& names, Worksheet* sheet) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return kWorkbookCannotOpen;
  const QByteArray head = file.peek(8);
  // FreeXL reads from the file itself; everything else is parsed from memory.
  if (head == QByteArray(kOle2Magic, 8)) return ReadXls(path, sheetName, names, sheet);
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return kWorkbookCannotOpen;
  return ReadOrcus(bytes, sheetName, names, sheet);
}

constexpr qint32 kEndOfSheet = -1;

}  // namespace

void Worksheet::SetLimits(int maxRows, int maxColumns) {
  maxRows_ = std::min(maxRows, 1 << kRowBits);
  maxColumns_ = maxColumns;
}

void Worksheet::SetCell(int row, int column, QString text) {
  if (row < 0 || column < 0 || row >= maxRows_ || column >= maxColumns_ || text.isEmpty()) return;
  if (size_t(row) >= rows_.size()) rows_.resize(row + 1);
  std::vector<Cell>& cells = rows_[row];
  // The readers give a row's cells from left to right, so appending is the common case.
  if (cells.empty() || cells.back().column < column) {
    cells.push_back({column, std::move(text)});
    return;
  }
  const auto at = std::lower_bound(cells.begin(), cells.end(), column, ColumnBefore);
  if (at->column == column)
    at->text = std::move(text);
  else
    cells.insert(at, {column, std::move(text)});
}

void Worksheet::AddMergedArea(int firstRow, int firstColumn, int lastRow, int lastColumn) {
  if (firstRow < 0 || firstColumn < 0 || firstRow > lastRow || firstColumn > lastColumn) return;
  // An area past the format's last row or column ends there (only its top-left cell matters).
  if (firstRow >= maxRows_ || firstColumn >= maxColumns_) return;
  merged_.push_back(
      {firstRow, firstColumn, std::min(lastRow, maxRows_ - 1), std::min(lastColumn, maxColumns_ - 1)});
  mergedIndexed_ = false;
}

void Worksheet::IndexMerged() const {
  mergedByLevel_.assign(kRowBits + 1, {});
  for (int i = 0; i < int(merged_.size()); ++i) {
    const Area& a = merged_[i];
    const int level = std::bit_width(unsigned(a.firstRow ^ a.lastRow)) - 1;
    mergedByLevel_[level + 1].push_back({a.firstRow >> (level + 1), a.firstColumn, i});
  }
  for (std::vector<Indexed>& level : mergedByLevel_)
    std::sort(level.begin(), level.end(), [](const Indexed& x, const Indexed& y) {
      return x.node != y.node ? x.node < y.node : x.firstColumn < y.firstColumn;
    });
  mergedIndexed_ = true;
}

const Worksheet::Area* Worksheet::MergedAt(int row, int column) const {
  if (merged_.empty()) return nullptr;
  if (!mergedIndexed_) IndexMerged();
  for (int level = -1; level < kRowBits; ++level) {
    const std::vector<Indexed>& areas = mergedByLevel_[level + 1];
    const int node = row >> (level + 1);
    // The last area of the node that starts at or left of the column.
    auto at = std::upper_bound(areas.begin(), areas.end(), std::pair(node, column),
                               [](std::pair<int, int> key, const Indexed& x) {
                                 return key.first != x.node ? key.first < x.node : key.second < x.firstColumn;
                               });
    if (at == areas.begin() || (--at)->node != node) continue;
    const Area& a = merged_[at->area];
    if (column <= a.lastColumn && row >= a.firstRow && row <= a.lastRow) return &a;
  }
  return nullptr;
}

QDataStream& operator<<(QDataStream& out, const Worksheet& sheet) {
  out << qint32(sheet.maxRows_) << qint32(sheet.maxColumns_);
  for (size_t r = 0; r < sheet.rows_.size(); ++r)
    for (const Worksheet::Cell& cell : sheet.rows_[r]) out << qint32(r) << qint32(cell.column) << cell.text;
  out << kEndOfSheet;
  for (const Worksheet::Area& a : sheet.merged_)
    out << qint32(a.firstRow) << qint32(a.firstColumn) << qint32(a.lastRow) << qint32(a.lastColumn);
  return out << kEndOfSheet;
}

// A stream that is cut off before its end marks leaves the status at ReadPastEnd.
QDataStream& operator>>(QDataStream& in, Worksheet& sheet) {
  sheet = Worksheet();
  qint32 maxRows = 0, maxColumns = 0;
  in >> maxRows >> maxColumns;
  // A fresh sheet has the largest limits of any format; a garbled answer cannot ask for more.
  sheet.SetLimits(std::clamp(maxRows, 0, sheet.maxRows_), std::clamp(maxColumns, 0, sheet.maxColumns_));
  qint64 cells = 0;
  for (qint32 row = kEndOfSheet; in >> row, in.status() == QDataStream::Ok && row != kEndOfSheet;) {
    qint32 column = 0;
    QString text;
    in >> column >> text;
    // Past the cells of any sheet the import is meant for, the answer is taken as damaged.
    if (++cells > Worksheet::kMaxCells) {
      in.setStatus(QDataStream::ReadCorruptData);
      break;
    }
    sheet.SetCell(row, column, std::move(text));
  }
  for (qint32 firstRow = kEndOfSheet;
       in >> firstRow, in.status() == QDataStream::Ok && firstRow != kEndOfSheet;) {
    qint32 firstColumn = 0, lastRow = 0, lastColumn = 0;
    in >> firstColumn >> lastRow >> lastColumn;
    if (sheet.merged_.size() >= size_t(Worksheet::kMaxMergedAreas)) {
      in.setStatus(QDataStream::ReadCorruptData);
      break;
    }
    sheet.AddMergedArea(firstRow, firstColumn, lastRow, lastColumn);
  }
  return in;
}

const QString* Worksheet::Stored(int row, int column) const {
  if (size_t(row) >= rows_.size()) return nullptr;
  const std::vector<Cell>& cells = rows_[row];
  const auto at = std::lower_bound(cells.begin(), cells.end(), column, ColumnBefore);
  return at != cells.end() && at->column == column ? &at->text : nullptr;
}

int Worksheet::CellText(int row, int column, QString& text) const {
  if (row < 1 || column < 1 || row > maxRows_ || column > maxColumns_) return kWorkbookCellOutOfRange;
  const int r = row - 1;
  const int c = column - 1;
  const QString* stored = Stored(r, c);
  // Only the top-left cell of a merged area holds its value; the others show it too.
  if (!stored)
    if (const Area* area = MergedAt(r, c)) stored = Stored(area->firstRow, area->firstColumn);
  text = stored ? *stored : QString();
  return kWorkbookOk;
}

int Worksheet::LastRow() const {
  int last = 0;
  for (size_t r = rows_.size(); r-- > 0;) {
    if (!rows_[r].empty()) {
      last = int(r) + 1;
      break;
    }
  }
  for (const Area& area : merged_)
    if (area.lastRow + 1 > last && Stored(area.firstRow, area.firstColumn))
      last = std::min(area.lastRow + 1, maxRows_);
  return last;
}

bool IsWorkbookPath(const QString& path) {
  return path.endsWith(u".xls", Qt::CaseInsensitive) || path.endsWith(u".xlsx", Qt::CaseInsensitive) ||
         path.endsWith(u".ods", Qt::CaseInsensitive);
}

int ReadSheetNames(const QString& path, QStringList& names) {
  names.clear();
  return ReadWorkbookFile(path, nullptr, names, nullptr);
}

int ReadWorksheet(const QString& path, const QString& sheetName, Worksheet& sheet) {
  QStringList names;
  return ReadWorkbookFile(path, &sheetName, names, &sheet);
}

int ReadWorkbookBytes(const QByteArray& bytes, const QString* sheetName, QStringList& names,
                      Worksheet* sheet) {
  names.clear();
  if (!bytes.startsWith(QByteArray(kOle2Magic, 8))) return ReadOrcus(bytes, sheetName, names, sheet);
  QTemporaryFile file;
  if (!file.open() || file.write(bytes) != bytes.size() || !file.flush()) return kWorkbookCannotOpen;
  return ReadXls(file.fileName(), sheetName, names, sheet);
}

QString detail::SerialDateText(double serial, bool hasDate, bool hasTime) {
  if (!std::isfinite(serial) || serial < 0 || serial > 2958465.99999) return common::NumberText(serial);
  double day = std::floor(serial);
  int seconds = common::RoundToInt((serial - day) * 86400.0);
  if (seconds >= 86400) {
    seconds -= 86400;
    day += 1;
  }
  // Day 60 is the 29 February 1900 that never was; days before it count from 31 December 1899.
  const QDate epoch = day < 61 ? QDate(1899, 12, 31) : QDate(1899, 12, 30);
  const QString date = epoch.addDays(qint64(day)).toString(u"yyyy-MM-dd");
  const QString time = QStringLiteral("%1:%2:%3")
                           .arg(seconds / 3600, 2, 10, QChar(u'0'))
                           .arg(seconds / 60 % 60, 2, 10, QChar(u'0'))
                           .arg(seconds % 60, 2, 10, QChar(u'0'));
  if (!hasTime || (hasDate && seconds == 0)) return date;
  if (!hasDate) return time;
  return date + u' ' + time;
}

}  // namespace data
