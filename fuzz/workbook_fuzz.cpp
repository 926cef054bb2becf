// Arbitrary bytes as a workbook: FreeXL for compound files, liborcus for the rest, each in its
// reading process. Any input must give an error number or a sheet, never a crash or a hang of
// the program; a sheet is only ever given for a name the workbook has. The program's own parts
// of the readers have targets of their own (package_fuzz, xls_merged_fuzz), where their
// coverage guides the fuzzer.
#include <cstddef>
#include <cstdint>

#include "data/workbook.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const QByteArray content(reinterpret_cast<const char*>(bytes), qsizetype(size));
  const QString wanted = QStringLiteral("地址");
  QStringList names;
  data::Worksheet sheet;
  const int error = data::ReadWorkbookBytes(content, &wanted, names, &sheet);
  if (error == 0) {
    if (!names.contains(wanted)) __builtin_trap();
    QString text;
    for (int row = 1; row <= 12; ++row)
      for (int column = 1; column <= 8; ++column) sheet.CellText(row, column, text);
  }
  return 0;
}
