// Arbitrary bytes through the CSV decoding, the record splitter and the reading of records from
// the lines of a file.
#include <cstddef>
#include <cstdint>

#include "data/csv_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const QString text =
      data::DecodeCsvBytes(QByteArray(reinterpret_cast<const char*>(bytes), qsizetype(size)));
  const std::optional<QStringList> fields = data::SplitCsvRecord(text);
  // A complete record has at least one field, and no field is longer than the record.
  if (fields) {
    if (fields->isEmpty()) __builtin_trap();
    for (const QString& field : *fields)
      if (field.size() > text.size()) __builtin_trap();
  }
  data::CountOccurrences(text, QStringView(text).left(2));
  // Whatever the line ends, every line break that reaches a cell is a "//" mark, and every
  // record is numbered in order.
  const data::Expressions expressions = {QStringLiteral("A"), QStringLiteral("B"),
                                         QStringLiteral("C,\"-\",D")};
  const std::vector<data::Record> records = data::CsvRecords(text, 2, std::nullopt, expressions, false);
  for (size_t i = 0; i < records.size(); ++i) {
    if (records[i][data::kNumberColumn] != QString::number(i + 1)) __builtin_trap();
    for (const QString& cell : records[i])
      if (cell.contains(u'\r') || cell.contains(u'\n')) __builtin_trap();
  }
  return 0;
}
