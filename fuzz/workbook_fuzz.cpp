// Arbitrary bytes as a workbook: FreeXL for compound files, liborcus for the rest, each in its
// reading process. Any input must give an error number or a sheet, never a crash or a hang of
// the program. The check and repair of .xlsx packages also runs here in the fuzzer's own process,
// where its coverage guides the fuzzer.
#include <cstddef>
#include <cstdint>

#include "data/workbook.h"
#include "data/workbook_package.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const QByteArray content(reinterpret_cast<const char*>(bytes), qsizetype(size));
  const QString wanted = QStringLiteral("地址");
  QByteArray readable;
  if (data::detail::ReadableXlsx(content, &wanted, readable) == 0) {
    // A repaired package reads as a package again, and needs no second repair.
    QByteArray again;
    if (readable != content &&
        (data::detail::ReadableXlsx(readable, &wanted, again) != 0 || again != readable))
      __builtin_trap();
  }
  QStringList names;
  data::Worksheet sheet;
  const int error = data::ReadWorkbookBytes(content, &wanted, names, &sheet);
  if (error == 0) {
    QString text;
    for (int row = 1; row <= 12; ++row)
      for (int column = 1; column <= 8; ++column) sheet.CellText(row, column, text);
  }
  return 0;
}
