#pragma once
// Workbooks as the import sees them: a list of sheet names and, for one sheet, the text of each
// cell. .xls files are read with FreeXL, .xlsx and .ods (and XML spreadsheets) with liborcus;
// the format is taken from the file's content, so a workbook with the wrong ending still opens.
// Each is read in a reading process of its own (reading_process.h).
//
// Cell text: whole numbers without a fraction (10001, however the writer stored it), other
// numbers to 15 significant digits, dates as YYYY-MM-DD (with the time when there is one),
// formulas as their cached values, text kept in the sheet itself (.xlsx inline strings, which
// liborcus skips and xlsx_inline_strings.h reads), and every cell of a merged area as its top-left value (for
// .xlsx and .ods; FreeXL does not report merged areas).

#include <QByteArray>
#include <QDataStream>
#include <QString>
#include <QStringList>
#include <vector>

#include "data/workbook_errors.h"

namespace data {

// The cells of one worksheet as text.
class Worksheet {
 public:
  // The address space of the sheet's format: a cell beyond it does not exist.
  void SetLimits(int maxRows, int maxColumns);
  // Rows and columns counted from 1. Returns kWorkbookCellOutOfRange for row or column 0 or
  // beyond the format's last row or column; an empty cell is empty text.
  int CellText(int row, int column, QString& text) const;
  // The last row (1-based) with text in it, a merged area counting to its bottom row; 0 when
  // the sheet is empty.
  int LastRow() const;

  // Filled by the readers, 0-based.
  void SetCell(int row, int column, QString text);
  void AddMergedArea(int firstRow, int firstColumn, int lastRow, int lastColumn);
  // The most cells a sheet from a reading process may bring: a million rows of ten columns, and
  // half as much again.
  static constexpr qint64 kMaxCells = 15000000;
  // And merged areas: a 10 MB .xls can hold a million.
  static constexpr qint64 kMaxMergedAreas = 2000000;
  // The whole sheet, for the way from the reading process (see reading_process.h).
  friend QDataStream& operator<<(QDataStream& out, const Worksheet& sheet);
  friend QDataStream& operator>>(QDataStream& in, Worksheet& sheet);

 private:
  const QString* Stored(int row, int column) const;

  struct Area {
    int firstRow, firstColumn, lastRow, lastColumn;
  };
  // The merged area a cell lies in; nullptr for none. See MergedIndex.
  const Area* MergedAt(int row, int column) const;
  void IndexMerged() const;
  struct Cell {
    int column;
    QString text;
  };
  static bool ColumnBefore(const Cell& cell, int column) { return cell.column < column; }
  // Each row holds only its filled cells, ordered by column: a single cell far to the right
  // costs no more than one at the left.
  std::vector<std::vector<Cell>> rows_;
  std::vector<Area> merged_;
  // The merged areas for look-up, made when first needed. Rows are the leaves of a binary tree
  // over the rows 0 .. 2^20 - 1; an area belongs to the lowest node whose halves it spans (level: the highest
  // bit in which its first and last rows differ, -1 for a one-row area). The areas of one node
  // all hold the rows either side of its middle, so areas that do not overlap have distinct
  // columns there: a cell is found by one binary search per level, at most 21 of them.
  static constexpr int kRowBits = 20;  // rows of the largest format: 2^20
  struct Indexed {
    int node, firstColumn, area;  // node: the row's bits above the level
  };
  mutable std::vector<std::vector<Indexed>> mergedByLevel_;  // level + 1 -> by (node, firstColumn)
  mutable bool mergedIndexed_ = false;
  int maxRows_ = 1048576;
  int maxColumns_ = 16384;
};

// True when the path names a workbook (.xls, .xlsx or .ods; the ending compared ignoring case).
bool IsWorkbookPath(const QString& path);

// The sheet names in the workbook's order.
int ReadSheetNames(const QString& path, QStringList& names);
// The cells of the named sheet.
int ReadWorksheet(const QString& path, const QString& sheetName, Worksheet& sheet);

// The same from a file's bytes (the .xls reader goes through a temporary file).
int ReadWorkbookBytes(const QByteArray& bytes, const QString* sheetName, QStringList& names,
                      Worksheet* sheet);

namespace detail {
// The readers behind ReadWorkbookBytes, run in this process: names always, the sheet's cells
// when asked for. The public functions above run them through ReadInChildProcess.
int ReadXlsFile(const QString& path, const QString* sheetName, QStringList& names, Worksheet* sheet);
int ReadOrcusBytes(const QByteArray& bytes, const QString* sheetName, QStringList& names, Worksheet* sheet);
// Excel's day numbers (1900 date system) as text: a date, a date with time, or a time.
QString SerialDateText(double serial, bool hasDate, bool hasTime);
}  // namespace detail

}  // namespace data
