// A mapping expression (the first line of the input) evaluated on a row whose cells are the
// remaining lines, as a workbook row and as CSV fields.
#include <cstddef>
#include <cstdint>

#include "data/column_mapping.h"
#include "data/csv_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const QString input = QString::fromUtf8(reinterpret_cast<const char*>(bytes), qsizetype(size));
  const qsizetype lineEnd = input.indexOf(u'\n');
  const QString expression = lineEnd < 0 ? input : input.left(lineEnd);
  const QStringList cells = lineEnd < 0 ? QStringList() : input.mid(lineEnd + 1).split(u'\t');
  const QString normalised = data::NormaliseExpression(expression);
  const data::Expressions expressions = {normalised, normalised, normalised};
  const data::CellReader read = [&cells](int row, int column, QString& text) {
    if (row < 1 || column < 1) return 1004;
    text = cells.value(column - 1);
    return 0;
  };
  for (const bool filter : {false, true}) {
    const data::MappingResult result = data::EvaluateMapping(expressions, 1, filter, read);
    if (!result.error && result.fields[data::kPostcodeField].size() > 0 &&
        result.fields[data::kPostcodeField].size() < 6)
      __builtin_trap();  // postcodes are padded
    data::MapCsvRecord(expressions, cells, filter);
  }
  return 0;
}
