#pragma once
// Workbooks written for spreadsheet programs: one sheet whose every cell is text, so postcodes
// keep their leading zeros and nothing is read back as a number or a date. The file appears
// whole or not at all: it is written beside the target under another name and then renamed.

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "data/record_table.h"

namespace data {

// Writes `rowCount` rows; row(i, cells) fills the cells of row i. Returns the empty text on
// success, else the reason for the user.
QString WriteTextWorkbook(const QString& path, const QString& sheetName, int rowCount,
                          const std::function<void(int row, QStringList& cells)>& row);

// The header row and the records, as the CSV export writes them.
QString ExportRecordsXlsx(const QString& path, const std::vector<Record>& records);

}  // namespace data
