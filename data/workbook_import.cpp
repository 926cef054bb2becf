#include "data/workbook_import.h"

#include "common/prompts.h"
#include "data/record_table.h"
#include "data/workbook.h"

namespace data {
namespace {

int Report(int error) {
  if (error) common::prompts().Message(WorkbookErrorMessage(error));
  return error;
}

}  // namespace

int PreviewWorkbook(const QString& path, const QString& sheetName, PreviewCells& cells, int* rowCount) {
  cells = {};
  if (rowCount) *rowCount = 0;
  Worksheet sheet;
  if (const int error = ReadWorksheet(path, sheetName, sheet)) return Report(error);
  if (rowCount) *rowCount = sheet.LastRow();
  for (int r = 0; r < kPreviewRows; ++r)
    for (int c = 0; c < kPreviewColumns; ++c) sheet.CellText(r + 1, c + 1, cells[r][c]);
  return 0;
}

int ImportWorkbook(RecordTable& grid, const QString& path, const QString& sheetName, int start,
                   std::optional<int> end, Expressions& expressions, bool filterLineBreaks) {
  Worksheet sheet;
  if (const int error = ReadWorksheet(path, sheetName, sheet)) return Report(error);

  std::vector<Record> records(ImportRowCount(start, end.value_or(sheet.LastRow())));
  for (size_t i = 0; i < records.size(); ++i) records[i][kNumberColumn] = QString::number(i + 1);
  for (QString& expression : expressions) expression = NormaliseExpression(expression);

  const CellReader read = [&sheet](int row, int column, QString& text) {
    return sheet.CellText(row, column, text);
  };
  int error = 0;
  int emptyRowsLeft = 5;
  for (size_t i = 0; i < records.size(); ++i) {
    const MappingResult mapped = EvaluateMapping(expressions, int(start + i), filterLineBreaks, read);
    if (mapped.error) {
      error = mapped.error;
      break;
    }
    const MappedFields& fields = mapped.fields;
    if (fields[0].isEmpty() && fields[1].isEmpty() && fields[2].isEmpty()) {
      if (--emptyRowsLeft < 1) break;
      continue;
    }
    records[i][kNameColumn] = fields[kRecipientField];
    records[i][kPostcodeColumn] = fields[kPostcodeField];
    records[i][kAddressColumn] = fields[kAddressField];
    emptyRowsLeft = 5;
  }
  grid.ReplaceAll(std::move(records));
  return Report(error);
}

}  // namespace data
