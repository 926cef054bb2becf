#pragma once
// The merged areas of an .xls worksheet, which FreeXL does not report: read from the MERGEDCELLS
// records of the workbook stream inside the compound file. Every read is bounded by the file: a
// stream is read no further than its declared size, no sector twice, and no size is taken beyond
// the file's own, so a damaged file gives fewer areas, never a fault or more memory than about
// five times its size.

#include <QByteArray>
#include <QString>
#include <vector>

namespace data::detail {

struct MergedArea {
  int firstRow, firstColumn, lastRow, lastColumn;  // 0-based
  bool operator==(const MergedArea&) const = default;
};

// The merged areas of the named worksheet; none when the file or the sheet cannot be read.
std::vector<MergedArea> ReadXlsMergedAreas(const QByteArray& file, const QString& sheetName);

}  // namespace data::detail
