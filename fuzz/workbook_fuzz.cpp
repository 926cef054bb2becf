// Arbitrary bytes as a workbook: FreeXL for compound files, liborcus for the rest, each in its
// reading process. Any input must give an error number or a sheet, never a crash or a hang of
// the program.
#include <cstddef>
#include <cstdint>

#include "data/workbook.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const QByteArray content(reinterpret_cast<const char*>(bytes), qsizetype(size));
  QStringList names;
  data::Worksheet sheet;
  const QString wanted = QStringLiteral("地址");
  const int error = data::ReadWorkbookBytes(content, &wanted, names, &sheet);
  if (error == 0) {
    QString text;
    for (int row = 1; row <= 12; ++row)
      for (int column = 1; column <= 8; ++column) sheet.CellText(row, column, text);
  }
  return 0;
}
