// Arbitrary bytes as a workbook: FreeXL for compound files, liborcus for the rest, each in its
// reading process. Any input must give an error number or a sheet, never a crash or a hang of
// the program. The program's own parts of the readers (the check and repair of packages, the
// merged areas of .xls files) also run here in the fuzzer's own process, where their coverage
// guides the fuzzer.
#include <cstddef>
#include <cstdint>

#include "data/workbook.h"
#include "data/workbook_package.h"
#include "data/xls_merged_cells.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const QByteArray content(reinterpret_cast<const char*>(bytes), qsizetype(size));
  const QString wanted = QStringLiteral("地址");
  QByteArray readable;
  if (data::detail::ReadableXlsx(content, &wanted, readable) == 0 && readable != content) {
    // A repaired copy is a zip archive the readers can open.
    data::detail::WorkbookPackage copy;
    if (!copy.Load(readable)) __builtin_trap();
  }
  std::vector<data::detail::MergedArea> odsMerged;
  data::detail::ReadableOds(content, &wanted, readable, odsMerged);
  for (const data::detail::MergedArea& area : data::detail::ReadXlsMergedAreas(content, wanted))
    if (area.firstRow < 0 || area.firstColumn < 0) __builtin_trap();  // 16-bit numbers from the file
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
