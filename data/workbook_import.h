#pragma once
// The workbook side of the import: the preview of a sheet in the import dialog and the import
// of a range of its rows through the column mapping into the record grid. Failures are shown
// to the user with the message for their error number.

#include <QString>
#include <optional>

#include "data/column_mapping.h"
#include "data/csv_reader.h"

namespace data {

class RecordTable;

// Cells (1..10, 1..20) of the named sheet and, when asked for, the number of its last row that
// holds data. Returns 0 or the error number (already shown).
int PreviewWorkbook(const QString& path, const QString& sheet, PreviewCells& cells, int* rowCount = nullptr);

// Replaces the grid's records by end - start + 1 numbered rows and fills them from source rows
// start.. through the mapping; five rows in a row whose three fields are all empty end the
// reading. Without an end, the rows up to the sheet's last row that holds data. A workbook that
// cannot be read leaves the grid untouched; a failing cell stops the import with the rows so
// far in the grid. The expressions are stored back normalised.
// Returns 0 or the error number (already shown).
int ImportWorkbook(RecordTable& grid, const QString& path, const QString& sheet, int start,
                   std::optional<int> end, Expressions& expressions, bool filterLineBreaks);

}  // namespace data
