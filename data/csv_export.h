#pragma once
// "导出数据": the records as a CSV file that spreadsheet programs open directly, so a cleaned and
// completed list outlives the program. The header row comes first; a field holding a comma, a
// quote or a line break is quoted, with its quotes doubled. Lines end in CR LF. The "//" marks
// stay as they are, so importing the file again gives the same records.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

#include "data/record_table.h"

namespace data {

enum class CsvEncoding {
  kUtf8,     // with a byte-order mark, which spreadsheet programs need to read UTF-8
  kGb18030,  // the Chinese ANSI code page of older programs, no mark
};

// The whole file's bytes. Every character has a GB18030 form, so nothing is lost in either.
QByteArray RecordsToCsv(const std::vector<Record>& records, CsvEncoding encoding);

// Writes the file in one go (a failed write leaves an existing file as it was). Returns the empty
// text on success, else the system's reason.
QString ExportRecords(const QString& path, const std::vector<Record>& records, CsvEncoding encoding);

// Rows of any length, quoted the same way, as UTF-8 with its mark; written as ExportRecords does.
QString WriteCsvRows(const QString& path, const std::vector<QStringList>& rows);

}  // namespace data
