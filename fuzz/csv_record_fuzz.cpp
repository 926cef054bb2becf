// Arbitrary bytes through the CSV decoding and the record splitter.
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
  return 0;
}
