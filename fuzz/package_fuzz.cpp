// Arbitrary bytes as a workbook package: the zip directory check and the repair of .xlsx and .ods
// packages, in the fuzzer's own process. Whatever the directory says, an accepted entry lies
// inside the file and unpacks to no more than a part may, liborcus lists the same entries, and a
// repaired copy is itself accepted.
#include <cstddef>
#include <cstdint>

#include "data/workbook_package.h"

using namespace data::detail;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const QByteArray content(reinterpret_cast<const char*>(bytes), qsizetype(size));
  if (const std::optional<std::vector<ZipEntry>> entries = ReadZipDirectory(content)) {
    for (const ZipEntry& e : *entries)
      if (e.dataAt < 0 || e.packedSize < 0 || e.dataAt + e.packedSize > content.size() ||
          e.size > kMaxPartBytes)
        __builtin_trap();
    // liborcus must see the entries the check saw, no others.
    WorkbookPackage package;
    if (package.Load(content)) {
      if (package.PartNames().size() != entries->size()) __builtin_trap();
      for (const QString& name : package.PartNames())
        if (!package.StoredPart(name)) __builtin_trap();
    }
  }
  const QString wanted = QStringLiteral("地址");
  QByteArray readable;
  if (ReadableXlsx(content, &wanted, readable) == 0 && readable != content) {
    WorkbookPackage copy;
    if (!copy.Load(readable)) __builtin_trap();
  }
  std::vector<MergedArea> merged;
  ReadableOds(content, &wanted, readable, merged);
  for (const MergedArea& a : merged)
    if (a.firstRow > a.lastRow || a.firstColumn > a.lastColumn || a.firstRow < 0 || a.firstColumn < 0)
      __builtin_trap();
  return 0;
}
