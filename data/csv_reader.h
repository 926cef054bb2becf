#pragma once
// Reading comma-separated text files: the preview of the first records and the import of a
// range of records through the column mapping into the record grid.
//
// A line ends at CR LF, LF or CR. A record is one line, or several lines while a quoted section
// is open; a line break inside quotes is kept as one line feed, whatever its form in the file. A quote run of
// odd length opens or closes a quoted section (one quote of it is the delimiter, the rest are literal quotes
// in pairs); an even run stands for half as many quotes. Commas inside a quoted section belong to the field.

#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <optional>
#include <vector>

#include "data/column_mapping.h"
#include "data/record_table.h"

namespace data {

class RecordTable;

constexpr int kPreviewRows = 10;
constexpr int kPreviewColumns = 20;
// Cells (1..10, 1..20) of the preview grid, at [row - 1][column - 1].
using PreviewCells = std::array<std::array<QString, kPreviewColumns>, kPreviewRows>;

// Number of consecutive `c` from `start` (0-based) on.
int CountRun(QStringView text, QChar c, qsizetype start);
// Number of non-overlapping occurrences of `search`.
int CountOccurrences(QStringView text, QStringView search);

// The fields of a record, or nullopt while a quoted section is still open (the record goes on
// in the next line).
std::optional<QStringList> SplitCsvRecord(QStringView record);

// The text of a CSV file: UTF-16 with a byte-order mark, or without one when it plainly is
// UTF-16; UTF-8 (with or without a byte-order mark) when the bytes are valid UTF-8; otherwise
// GB18030, the superset of the Chinese Windows code page. A file joined from a UTF-8 and a
// GB18030 export is decoded line by line.
QString DecodeCsvBytes(const QByteArray& bytes);

// True when the path names a CSV file (the ending compared ignoring case).
bool IsCsvPath(const QString& path);

// The first ten records, twenty fields each at most; an empty line leaves an empty row. An
// unreadable file gives an empty preview. `rowCount`, when given, receives the number of rows
// the file holds: its records up to the last one that is not an empty line.
PreviewCells PreviewCsv(const QString& path, int* rowCount = nullptr);

// Replaces the grid's records by end - start + 1 numbered rows and fills them from the records
// that begin at physical line `start` (1-based): one record per row, an empty line leaving its
// row empty. Without an end, every record to the last one that is not an empty line. Returns
// false, leaving the grid untouched, when the file cannot be read.
bool ImportCsv(RecordTable& grid, const QString& path, int start, std::optional<int> end,
               Expressions& expressions, bool filterLineBreaks);

// The records of ImportCsv from a file's decoded text, through normalised expressions.
std::vector<Record> CsvRecords(QString text, int start, std::optional<int> end, const Expressions& normalised,
                               bool filterLineBreaks);

// The normalised expressions cut into items once per import: a literal's text, or the 0-based
// field a column item names (-1 when it names none, so it reads nothing).
struct CompiledItem {
  bool isLiteral = false;
  QString literal;
  qsizetype field = -1;
};
using CompiledExpressions = std::array<std::vector<CompiledItem>, 3>;
CompiledExpressions CompileCsvExpressions(const Expressions& normalised);

// Evaluates the expressions on one record's fields, as the CSV import does. A column item whose
// field the record lacks contributes nothing.
MappedFields MapCsvRecord(const CompiledExpressions& compiled, const QStringList& fields,
                          bool filterLineBreaks);
MappedFields MapCsvRecord(const Expressions& normalised, const QStringList& fields, bool filterLineBreaks);

// The most rows one import fills: the rows of the largest worksheet.
constexpr int kMaxImportRows = 1048576;
// The number of rows an import of start..end fills: never negative, never above the maximum.
int ImportRowCount(int start, int end);

}  // namespace data
