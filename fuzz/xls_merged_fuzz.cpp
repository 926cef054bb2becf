// Arbitrary bytes as an .xls file for the merged-cell reader, in the fuzzer's own process, and
// the areas it finds (or, when it finds none, areas taken from the bytes themselves) looked up
// through the sheet's index. The reader may give no more areas than the file has room for; the
// index must find, for every cell, the area a plain search finds, as long as no two areas overlap.
#include <cstddef>
#include <cstdint>

#include "data/little_endian.h"
#include "data/workbook.h"
#include "data/xls_merged_cells.h"

using namespace data::detail;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const QByteArray content(reinterpret_cast<const char*>(bytes), qsizetype(size));
  std::vector<MergedArea> areas = ReadXlsMergedAreas(content, QStringLiteral("地址"));
  if (areas.size() > size / 8) __builtin_trap();  // each area takes 8 bytes of the file
  if (areas.empty()) {
    // Small areas near each other, so that the index's levels all come into play.
    for (qsizetype at = 0; at + 8 <= content.size() && areas.size() < 32; at += 8) {
      const int row = int(U32At(content, at) % 70000), column = int(U16At(content, at + 4) % 40);
      areas.push_back(
          {row, column, row + int(quint8(content[at + 6]) % 70), column + int(quint8(content[at + 7]) % 4)});
    }
  }
  std::erase_if(areas,
                [](const MergedArea& a) { return a.firstRow > a.lastRow || a.firstColumn > a.lastColumn; });
  if (areas.size() > 32) areas.resize(32);
  for (size_t i = 0; i < areas.size(); ++i)
    for (size_t j = i + 1; j < areas.size(); ++j) {
      const MergedArea &a = areas[i], &b = areas[j];
      if (a.firstRow <= b.lastRow && b.firstRow <= a.lastRow && a.firstColumn <= b.lastColumn &&
          b.firstColumn <= a.lastColumn)
        return 0;  // overlapping areas: no file written by a spreadsheet has them
    }
  data::Worksheet sheet;
  for (size_t i = 0; i < areas.size(); ++i) {
    const MergedArea& a = areas[i];
    sheet.SetCell(a.firstRow, a.firstColumn, QString::number(i));
    sheet.AddMergedArea(a.firstRow, a.firstColumn, a.lastRow, a.lastColumn);
  }
  for (const MergedArea& a : areas) {
    // Every cell of the area and the cells around it.
    for (int row = a.firstRow - 1; row <= a.lastRow + 1 && row <= a.firstRow + 6; ++row)
      for (int column = a.firstColumn - 1; column <= a.lastColumn + 1 && column <= a.firstColumn + 4;
           ++column) {
        QString expected;
        for (size_t i = 0; i < areas.size(); ++i) {
          const MergedArea& b = areas[i];
          if (row >= b.firstRow && row <= b.lastRow && column >= b.firstColumn && column <= b.lastColumn)
            expected = QString::number(i);
        }
        QString text;
        if (sheet.CellText(row + 1, column + 1, text) == 0 && text != expected) __builtin_trap();
      }
  }
  return 0;
}
