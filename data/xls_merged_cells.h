#pragma once
// The merged areas of an .xls worksheet, which FreeXL does not report: read from the MERGEDCELLS
// records of the workbook stream inside the compound file. Every read is bounded by the file, so
// a damaged file gives fewer areas, never a fault.

#include <QByteArray>
#include <QString>
#include <vector>

namespace data::detail {

struct MergedArea {
  int firstRow, firstColumn, lastRow, lastColumn;  // 0-based
};

// The merged areas of the named worksheet; none when the file or the sheet cannot be read.
std::vector<MergedArea> ReadXlsMergedAreas(const QByteArray& file, const QString& sheetName);

}  // namespace data::detail
